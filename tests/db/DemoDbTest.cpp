#include "LessonDbFixture.h"

#include "PlatformError.h"
#include "core/MyDataEm.h"
#include "db/Connection.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::PlatformError;
using platform::db::Connection;
using platform::db::Recordset;

namespace {

int runBuilder(const QStringList& args, QString* errors = nullptr) {
    QProcess p;
    p.start(MAKE_DEMO_DB, args);
    if (!p.waitForFinished(120000))
        return -1;
    if (errors)
        *errors = QString::fromLocal8Bit(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

TEST(DemoDb, BuilderOutputHoldsTheTwoLessons) {
    QTemporaryDir dir(LessonDbFixture::tempRoot() + "/demo-XXXXXX");
    const QString program = dir.path() + "/program/";
    ASSERT_EQ(runBuilder({DEMO_LESSONS_JSON, program + "data/qvedbdemo.aaa"}), 0);
    EXPECT_EQ(QDir(program + "data").entryList(QDir::Files), QStringList({"qvedbdemo.aaa"}));

    MyDataEm em;
    em.OpenDatabase(program);
    EXPECT_EQ(em.rsSelCom.RecordCount(), 0);
    QStringList ids;
    for (int i = 1; i <= em.rsSelUnit.RecordCount(); ++i)
        ids << em.rsSelUnit.ValueAt(i, em.rsSelUnit.FieldIndex("UnitID")).toString();
    EXPECT_EQ(ids, QStringList({"010000", "010100", "010101", "010102"}));

    em.rsSelUnit.Find("UnitID = '010101'");
    EXPECT_EQ(em.rsSelUnit.Field("CName").toString(), QString::fromUtf8("初次见面"));
    EXPECT_FALSE(em.rsSelUnit.Field("cishu").isValid());
    EXPECT_FALSE(em.rsSelUnit.Field("chengji").isValid());
    em.rsSelUnit.Find("UnitID = '010102'");
    EXPECT_EQ(em.rsSelUnit.Field("CName").toString(), QString::fromUtf8("碰到熟人"));

    for (const char* lesson : {"010101", "010102"}) {
        SCOPED_TRACE(lesson);
        em.Reopen(em.SelUnitContent, "UnitID", lesson);
        Recordset& rs = em.rsSelUnitContent;
        ASSERT_GE(rs.RecordCount(), 6);
        ASSERT_LE(rs.RecordCount(), 12);
        for (int n = 1; n <= rs.RecordCount(); ++n) {
            rs.SetAbsolutePosition(n);
            EXPECT_EQ(rs.Field("DlgNum").toInt(), n);
            EXPECT_EQ(rs.Field("DlgID").toString(),
                      QString(lesson) + QString("%1").arg(n, 5, 10, QChar('0')) + "0");
            EXPECT_FALSE(rs.Field("EDlgSB").toString().isEmpty());
            EXPECT_FALSE(rs.Field("chengji").isValid());
        }
    }

    Connection wrong;
    wrong.SetConnectionString("Data Source=" + program +
                              "data/qvedbdemo.aaa;Jet OLEDB:Database Password=pqlomvel");
    EXPECT_THROW(wrong.Open(), PlatformError);
}

TEST(DemoDb, BrokenSourceLeavesTheOldDatabaseInPlace) {
    QTemporaryDir dir(LessonDbFixture::tempRoot() + "/demo-XXXXXX");
    const QString out = dir.path() + "/data/qvedbdemo.aaa";
    ASSERT_EQ(runBuilder({DEMO_LESSONS_JSON, out}), 0);
    const qint64 size = QFileInfo(out).size();

    const QString broken = dir.path() + "/broken.json";
    QFile b(broken);
    ASSERT_TRUE(b.open(QIODevice::WriteOnly));
    b.write(R"({"rows":[{"UnitID":"010101","CName":"x","DlgObj":"A,B","ObjNums":2,
      "scene":"office","roles":[{"name":"A","voice":"en-us+m3","speed":150},
      {"name":"B","voice":"en-us+f3","speed":150}],
      "sentences":[{"DlgID":"010101000020","DlgObj":"A","EDlg":"Hi.","CDlg":"x","EDlgSB":"Hi"}]}]})");
    b.close();
    QString errors;
    EXPECT_NE(runBuilder({broken, out}, &errors), 0);
    EXPECT_TRUE(errors.contains("DlgID")) << errors.toStdString();
    EXPECT_EQ(QFileInfo(out).size(), size);
    EXPECT_EQ(QDir(dir.path() + "/data").entryList(QDir::Files), QStringList({"qvedbdemo.aaa"}));
}
