#include "LessonDbFixture.h"

#include "PlatformError.h"
#include "core/MyDataEm.h"
#include "db/Database.h"
#include "paths/PathLookup.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::PlatformError;
using platform::db::LockTypeEnum;
using platform::db::ObjectState;
using platform::db::Recordset;

namespace {

QStringList column(Recordset& rs, const QString& field) {
    QStringList out;
    for (int i = 1; i <= rs.RecordCount(); ++i)
        out << rs.ValueAt(i, rs.FieldIndex(field)).toString();
    return out;
}

} // namespace

TEST(MyDataEm, ConnectionStringIsTheProgramsOwn) {
    EXPECT_EQ(MyDataEm::ConnectionStringFor("/opt/verbaro/"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/opt/verbaro/data/qvedbdemo.aaa;"
              "Persist Security Info=False;Jet OLEDB:Database Password=pqlomvek");
}

TEST(MyDataEm, CommandsCarryTheirQueries) {
    MyDataEm em;
    const struct {
        platform::db::Command& cmd;
        Recordset& rs;
        const char* name;
        const char* text;
        QStringList params;
    } expected[] = {
        {em.SelUnit, em.rsSelUnit, "SelUnit", "SELECT * FROM TAB_Unit ORDER BY UnitID", {}},
        {em.SelUnitContent,
         em.rsSelUnitContent,
         "SelUnitContent",
         "SELECT * FROM TAB_Dlg WHERE (UnitID = ?) ORDER BY chengji,cishu desc,DlgNum",
         {"UnitID"}},
        {em.Command1,
         em.rsCommand1,
         "Command1",
         "SELECT * FROM TAB_Unit WHERE UnitID = ? ",
         {"UnitID"}},
        {em.selunited, em.rsselunited, "selunited", "select * from TAB_Unit", {}},
        {em.SelCom, em.rsSelCom, "SelCom", "select * from TAB_Box order by NowData desc", {}},
        {em.SelRe, em.rsSelRe, "SelRe", "select * from TAB_Box where NowData=?", {"Date1"}},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(e.cmd.Name(), e.name);
        EXPECT_EQ(e.cmd.CommandText(), e.text);
        EXPECT_EQ(e.cmd.ParameterNames(), e.params);
        EXPECT_EQ(&e.cmd.recordset(), &e.rs);
        EXPECT_EQ(&e.cmd.connection(), &em.DbCn);
    }
    em.SelRe.SetParameter("date1", "2026-01-02");
    EXPECT_EQ(em.SelRe.Parameter("DATE1").toString(), "2026-01-02");
    EXPECT_THROW(em.SelRe.SetParameter("UnitID", "x"), PlatformError);
}

TEST(MyDataEm, OpenDatabaseOpensTheUnitListAndTheDays) {
    LessonDbFixture f;
    f.db().exec("INSERT INTO TAB_Box VALUES ('2026-12-01', 5, 3), ('2026-12-09', 1, 1)");
    f.closeDb();
    MyDataEm em;
    em.OpenDatabase(f.dataPath());
    EXPECT_EQ(em.DbCn.State(), ObjectState::Open);
    EXPECT_EQ(em.rsSelUnit.LockType(), LockTypeEnum::Optimistic);
    EXPECT_EQ(em.rsSelUnit.AbsolutePosition(), 1);
    EXPECT_EQ(column(em.rsSelUnit, "UnitID"),
              QStringList({"010000", "010100", "010101", "010102", "020000"}));
    EXPECT_EQ(column(em.rsSelCom, "NowData"), QStringList({"2026-12-09", "2026-12-01"}));

    // Opening again (the start-up may retry) replaces everything cleanly.
    em.rsSelUnit.MoveLast();
    em.OpenDatabase(f.dataPath());
    EXPECT_EQ(em.rsSelUnit.AbsolutePosition(), 1);
    EXPECT_EQ(em.rsSelCom.RecordCount(), 2);
}

// An install folder whose name holds a quote or a semicolon opens like any other.
TEST(MyDataEm, OpensUnderFoldersWithQuotesAndSemicolons) {
    LessonDbFixture f;
    f.closeDb();
    const QTemporaryDir root(LessonDbFixture::tempRoot() + "/quoted-XXXXXX");
    for (const QString name : {"o'brien", "say \"hi\"", "a;b", "x';\"y"}) {
        const QString folder = root.path() + "/" + name + "/";
        ASSERT_TRUE(QDir().mkpath(folder + "data")) << name.toStdString();
        ASSERT_TRUE(QFile::copy(f.dbFile(), folder + "data/qvedbdemo.aaa"));
        MyDataEm em;
        EXPECT_NO_THROW(em.OpenDatabase(folder)) << name.toStdString();
        EXPECT_EQ(em.DbCn.State(), ObjectState::Open) << name.toStdString();
        EXPECT_EQ(em.rsSelUnit.RecordCount(), 5) << name.toStdString();
    }
}

// The practice log's day is a date: looked up with a date or a date-time of
// that day, written and read back as a date.
TEST(MyDataEm, DaysOfThePracticeLogAreDates) {
    LessonDbFixture f;
    f.db().exec("INSERT INTO TAB_Box VALUES ('2026-12-01', 5, 3), ('2026-12-09', 1, 1)");
    f.closeDb();
    MyDataEm em;
    em.OpenDatabase(f.dataPath());
    const QDate day(2026, 12, 9);
    const QVariant lookups[] = {day, QDateTime(day, QTime(0, 0)), QDateTime(day, QTime(14, 30)),
                                "2026-12-09"};
    for (const QVariant& when : lookups) {
        em.Reopen(em.SelRe, "Date1", when);
        ASSERT_EQ(em.rsSelRe.RecordCount(), 1) << when.toString().toStdString();
        EXPECT_EQ(MyDataEm::Day(em.rsSelRe.Field("NowData")), day);
        EXPECT_EQ(em.rsSelRe.Field("NowCishu").toInt(), 1);
    }

    // A new day written from a date-time holds the date alone.
    const QDate next(2026, 12, 10);
    em.Reopen(em.SelRe, "Date1", QDateTime(next, QTime(8, 15)));
    ASSERT_EQ(em.rsSelRe.RecordCount(), 0);
    em.rsSelRe.AddNew();
    em.rsSelRe.SetField("NowData", MyDataEm::Day(QDateTime(next, QTime(8, 15))));
    em.rsSelRe.SetField("NowChengji", 0);
    em.rsSelRe.SetField("NowCishu", 0);
    em.rsSelRe.Update();
    em.Reopen(em.SelRe, "Date1", next);
    EXPECT_EQ(em.rsSelRe.RecordCount(), 1);
    em.rsSelCom.Close();
    em.SelCom.OpenRecordset();
    EXPECT_EQ(column(em.rsSelCom, "NowData"),
              QStringList({"2026-12-10", "2026-12-09", "2026-12-01"}));
    EXPECT_EQ(MyDataEm::Day(em.rsSelCom.Field("NowData")), next);
    EXPECT_FALSE(MyDataEm::Day(QVariant()).isValid()) << "Null is no day";
}

// The database binds a date-time of midnight as the date it is.
TEST(MyDataEm, MidnightDateTimeFindsItsDay) {
    LessonDbFixture f;
    f.db().exec("INSERT INTO TAB_Box VALUES ('2026-12-09', 1, 1)");
    const auto rows =
        f.db().query("select * from TAB_Box where NowData=?", {QDateTime(QDate(2026, 12, 9), {})});
    EXPECT_EQ(rows.rows.size(), 1u);
}

TEST(MyDataEm, OpenDatabaseFailsWithoutTheFile) {
    LessonDbFixture f;
    MyDataEm em;
    const QString elsewhere = f.dataPath() + "nothing/";
    EXPECT_THROW(em.OpenDatabase(elsewhere), PlatformError);
    EXPECT_EQ(em.DbCn.State(), ObjectState::Closed);
    EXPECT_FALSE(QFileInfo::exists(elsewhere + "data/qvedbdemo.aaa"));
}

TEST(MyDataEm, FindsTheFileWithoutRegardToCase) {
    LessonDbFixture f;
    ASSERT_TRUE(QDir().rename(f.dataPath() + "data", f.dataPath() + "DATA"));
    ASSERT_TRUE(
        QDir().rename(f.dataPath() + "DATA/qvedbdemo.aaa", f.dataPath() + "DATA/QVEDBDEMO.AAA"));
    platform::PathLookup paths(f.dataPath() + "drives");
    MyDataEm em(&paths);
    EXPECT_NO_THROW(em.OpenDatabase(f.dataPath()));
    EXPECT_EQ(em.rsSelUnit.RecordCount(), 5);
}

// A lesson's sentences: weakest first (Null totals first), then most
// practised, then in dialogue order.
TEST(MyDataEm, SentenceOrderFollowsScores) {
    LessonDbFixture f;
    MyDataEm em;
    em.OpenDatabase(f.dataPath());
    em.Reopen(em.SelUnitContent, "unitid", "010101");
    EXPECT_EQ(column(em.rsSelUnitContent, "DlgNum"), QStringList({"1", "2", "3", "4"}));

    // Score sentence 1 (3 points, 1 practice) and practise sentence 3 twice
    // without points, through the shared recordset.
    em.rsSelUnitContent.SetAbsolutePosition(1);
    em.rsSelUnitContent.SetField("chengji", 3);
    em.rsSelUnitContent.SetField("cishu", 1);
    em.rsSelUnitContent.Update();
    em.rsSelUnitContent.SetAbsolutePosition(3);
    em.rsSelUnitContent.SetField("cishu", 2);
    em.rsSelUnitContent.Update();
    // The open recordset keeps its order; the next opening sorts anew.
    EXPECT_EQ(column(em.rsSelUnitContent, "DlgNum"), QStringList({"1", "2", "3", "4"}));

    em.Reopen(em.SelUnitContent, "UnitID", "010101");
    EXPECT_EQ(column(em.rsSelUnitContent, "DlgNum"), QStringList({"3", "2", "4", "1"}));

    f.db().exec("UPDATE TAB_Dlg SET chengji = 0 WHERE DlgNum = 2 AND UnitID = '010101'");
    em.Reopen(em.SelUnitContent, "UnitID", "010101");
    EXPECT_EQ(column(em.rsSelUnitContent, "DlgNum"), QStringList({"3", "4", "2", "1"}));
}

TEST(MyDataEm, ReopenTakesTheNewParameter) {
    LessonDbFixture f;
    MyDataEm em;
    em.OpenDatabase(f.dataPath());
    em.Reopen(em.SelUnitContent, "UnitID", "010101");
    EXPECT_EQ(em.rsSelUnitContent.RecordCount(), 4);
    em.Reopen(em.SelUnitContent, "UnitID", "010102");
    EXPECT_EQ(column(em.rsSelUnitContent, "DlgID"), QStringList({"010102000010"}));
    em.Reopen(em.SelUnitContent, "UnitID", "020101");
    EXPECT_EQ(em.rsSelUnitContent.RecordCount(), 0);

    em.Reopen(em.Command1, "UnitID", "010000");
    EXPECT_EQ(em.rsCommand1.Field("CName").toString(), "Part one");

    em.Reopen(em.SelRe, "Date1", QDate(2026, 12, 10));
    EXPECT_EQ(em.rsSelRe.RecordCount(), 0);
    em.rsSelRe.AddNew();
    em.rsSelRe.SetField("NowData", QDate(2026, 12, 10));
    em.rsSelRe.SetField("NowChengji", 0);
    em.rsSelRe.SetField("NowCishu", 0);
    em.rsSelRe.Update();
    em.Reopen(em.SelRe, "Date1", QDate(2026, 12, 10));
    EXPECT_EQ(em.rsSelRe.RecordCount(), 1);
}

TEST(MyDataEm, UnitRowIsFoundWithABoundParameter) {
    LessonDbFixture f;
    MyDataEm em;
    em.OpenDatabase(f.dataPath());
    em.OpenUnitRow("010102");
    ASSERT_EQ(em.rsselunited.RecordCount(), 1);
    EXPECT_EQ(em.rsselunited.Field("UnitID").toString(), "010100");
    em.rsselunited.SetField("chengji", 4);
    em.rsselunited.Update();
    EXPECT_EQ(f.scalar("SELECT chengji FROM TAB_Unit WHERE UnitID = '010100'").toInt(), 4);

    // An id with a quote in it finds nothing and harms nothing.
    em.OpenUnitRow("01'; DELETE FROM TAB_Unit; --");
    EXPECT_EQ(em.rsselunited.RecordCount(), 0);
    EXPECT_EQ(f.scalar("SELECT count(*) FROM TAB_Unit").toInt(), 5);
}
