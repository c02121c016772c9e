// A learner's attempts are never half-written: a process killed outright
// while it scores attempts leaves the sentence, lesson, unit, part and day
// totals agreeing with whole attempts only.
#include "ExerFixture.h"
#include "core/MyDataEm.h"
#include "db/Database.h"
#include "exercise/ExerScoring.h"
#include "exercise/frmExer.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <cstdio>

using platform::db::Database;

namespace {

const char* const kChildVariable = "VERBARO_SCORING_CHILD";

class ScoringCrashTest : public ExerFixture {};

// The child: scores attempts on the monologue lesson until it is killed.
TEST_F(ScoringCrashTest, ChildScoresUntilKilled) {
    if (qEnvironmentVariableIsEmpty(kChildVariable))
        GTEST_SKIP() << "run by KilledWhileScoringLeavesWholeAttempts";
    folder.setAutoRemove(false);
    frmExer& w = LoadLesson("030101");
    program->vars.AgentChar = fake.agent.character("Merlin");
    std::printf("folder %s\n", qPrintable(folder.path()));
    std::fflush(stdout);
    for (int i = 0;; ++i) {
        program->MyDataEm.rsSelUnitContent.SetAbsolutePosition(1 + i % 3);
        w.Fenshu = static_cast<std::int16_t>(1 + i % 10);
        if (i % 3 == 2) {
            w.scoring().InOneTransaction([&w] { w.scoring().jiacishu(); });
            w.scoring().dafen(0);
        } else {
            w.scoring().dafen(1);
        }
    }
}

TEST(ScoringCrash, KilledWhileScoringLeavesWholeAttempts) {
    if (!qEnvironmentVariableIsEmpty(kChildVariable))
        GTEST_SKIP();
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kChildVariable, "1");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=ScoringCrashTest.ChildScoresUntilKilled"});
    QString folder;
    QElapsedTimer clock;
    clock.start();
    QByteArray output;
    while (folder.isEmpty() && clock.elapsed() < 60000 && child.state() != QProcess::NotRunning) {
        child.waitForReadyRead(200);
        output += child.readAllStandardOutput();
        for (const QByteArray& line : output.split('\n'))
            if (line.startsWith("folder ") && output.contains(line + '\n'))
                folder = QString::fromLocal8Bit(line.mid(7)).trimmed();
    }
    ASSERT_FALSE(folder.isEmpty()) << child.readAllStandardError().constData();
    const QString file = folder + "/data/qvedbdemo.aaa";
    // Let it score for a while, then kill it at an unknown point.
    auto attempts = [&] {
        auto db = Database::open(file, "pqlomvek", Database::OpenMode::ExistingOnly);
        const auto r = db->query("SELECT cishu FROM TAB_Unit WHERE UnitID = '030101'");
        return r.rows.empty() || r.rows[0][0].isNull() ? 0 : r.rows[0][0].toInt();
    };
    while (attempts() < 40 && clock.elapsed() < 60000)
        QThread::msleep(20);
    child.kill(); // SIGKILL
    child.waitForFinished(10000);

    auto db = Database::open(file, "pqlomvek", Database::OpenMode::ExistingOnly);
    const auto sentences =
        db->query("SELECT SUM(chengji), SUM(cishu) FROM TAB_Dlg WHERE UnitID = '030101'");
    const qlonglong points = sentences.rows[0][0].toLongLong();
    const qlonglong count = sentences.rows[0][1].toLongLong();
    EXPECT_GE(count, 40);
    for (const char* id : {"030101", "030100", "030000"}) {
        const auto r =
            db->query("SELECT chengji, cishu FROM TAB_Unit WHERE UnitID = ?", {QString(id)});
        EXPECT_EQ(r.rows[0][0].toLongLong(), points) << id;
        EXPECT_EQ(r.rows[0][1].toLongLong(), count) << id;
    }
    const auto day = db->query("SELECT NowChengji, NowCishu FROM TAB_Box WHERE NowData = ?",
                               {MyDataEm::Day(QDate::currentDate())});
    ASSERT_EQ(day.rows.size(), 1u);
    EXPECT_EQ(day.rows[0][0].toLongLong(), points);
    EXPECT_EQ(day.rows[0][1].toLongLong(), count);
    db.reset();
    QDir(folder).removeRecursively();
}

} // namespace
