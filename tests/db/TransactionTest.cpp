#include "LessonDbFixture.h"

#include "PlatformError.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "db/Recordset.h"

#include <QDate>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::PlatformError;
using platform::db::AffectEnum;
using platform::db::Connection;
using platform::db::Database;
using platform::db::EditModeEnum;
using platform::db::QueryResult;
using platform::db::Recordset;

namespace {

const char* const kDay = "2026-12-10";

// The five rows one judged attempt writes, in the order it writes them:
// today's totals, the sentence, the part, the lesson and the unit.
struct AttemptRows {
    Recordset day, sentence, part, lesson, unit;

    void open(Connection& cn) {
        day.Open("SELECT * FROM TAB_Box WHERE NowData = ?", cn, {kDay});
        sentence.Open("SELECT * FROM TAB_Dlg WHERE UnitID = ? ORDER BY DlgNum", cn, {"010101"});
        part.Open("SELECT * FROM TAB_Unit WHERE UnitID = ?", cn, {"010000"});
        lesson.Open("SELECT * FROM TAB_Unit WHERE UnitID = ?", cn, {"010101"});
        unit.Open("SELECT * FROM TAB_Unit WHERE UnitID = ?", cn, {"010100"});
    }
    std::array<Recordset*, 5> all() { return {&day, &sentence, &part, &lesson, &unit}; }
};

void add(Recordset& rs, const QString& field, int amount) {
    const QVariant v = rs.Field(field);
    rs.SetField(field, v.isValid() ? v.toLongLong() + amount : amount);
    rs.Update();
}

// A right answer worth `points`: ten row writes, points first, then counts.
void scoreAttempt(AttemptRows& rows, int points) {
    add(rows.day, "NowChengji", points);
    for (Recordset* rs : {&rows.sentence, &rows.part, &rows.lesson, &rows.unit})
        add(*rs, "chengji", points);
    add(rows.day, "NowCishu", 1);
    for (Recordset* rs : {&rows.sentence, &rows.part, &rows.lesson, &rows.unit})
        add(*rs, "cishu", 1);
}

QueryResult everyRow(Database& db) {
    QueryResult all;
    for (const char* sql :
         {"SELECT * FROM TAB_Unit ORDER BY UnitID", "SELECT * FROM TAB_Dlg ORDER BY DlgID",
          "SELECT * FROM TAB_Box ORDER BY NowData"}) {
        QueryResult r = db.query(sql);
        all.rows.insert(all.rows.end(), r.rows.begin(), r.rows.end());
    }
    return all;
}

// What each recordset's current row shows against what its table stores.
void expectRecordsetsShowStoredRows(AttemptRows& rows, Database& db) {
    for (Recordset* rs : rows.all()) {
        const QString table = rs == &rows.day        ? "TAB_Box"
                              : rs == &rows.sentence ? "TAB_Dlg"
                                                     : "TAB_Unit";
        const QString key = rs == &rows.day ? "NowData" : rs == &rows.sentence ? "DlgID" : "UnitID";
        const QueryResult stored =
            db.query("SELECT * FROM " + table + " WHERE " + key + " = ?", {rs->Field(key)});
        ASSERT_EQ(stored.rows.size(), 1u);
        for (int c = 0; c < stored.columns.size(); ++c)
            EXPECT_EQ(rs->Field(stored.columns[c]), stored.rows[0][static_cast<size_t>(c)])
                << table.toStdString() << "." << stored.columns[c].toStdString();
    }
}

class TransactionTest : public ::testing::Test {
protected:
    void SetUp() override {
        f.db().exec("INSERT INTO TAB_Box (NowData, NowChengji, NowCishu) VALUES (?, 0, 0)", {kDay});
        cn.SetConnectionString(f.connectionString());
        cn.Open();
        rows.open(cn);
    }

    LessonDbFixture f;
    Connection cn;
    AttemptRows rows;
};

} // namespace

TEST_F(TransactionTest, CommittedAttemptIsOnDiskAfterReopening) {
    EXPECT_EQ(cn.database()->journalMode(), "wal");
    EXPECT_EQ(cn.database()->query("PRAGMA synchronous").rows.at(0).at(0).toInt(), 2); // FULL
    EXPECT_EQ(cn.BeginTrans(), 1);
    EXPECT_TRUE(cn.InTransaction());
    scoreAttempt(rows, 3);
    cn.CommitTrans();
    EXPECT_FALSE(cn.InTransaction());
    for (Recordset* rs : rows.all())
        rs->Close();
    cn.Close();
    f.closeDb();

    Connection again;
    again.SetConnectionString(f.connectionString());
    again.Open();
    AttemptRows reread;
    reread.open(again);
    EXPECT_EQ(reread.day.Field("NowChengji").toInt(), 3);
    EXPECT_EQ(reread.day.Field("NowCishu").toInt(), 1);
    for (Recordset* rs : {&reread.sentence, &reread.part, &reread.lesson, &reread.unit}) {
        EXPECT_EQ(rs->Field("chengji").toInt(), 3);
        EXPECT_EQ(rs->Field("cishu").toInt(), 1);
    }
}

TEST_F(TransactionTest, RollbackLeavesEveryRowAsBeforeAndResyncShowsThem) {
    add(rows.sentence, "chengji", 5); // stored before the transaction
    const QueryResult before = everyRow(f.db());
    cn.BeginTrans();
    scoreAttempt(rows, 7);
    cn.RollbackTrans();
    EXPECT_EQ(everyRow(f.db()).rows, before.rows);
    EXPECT_EQ(rows.sentence.Field("chengji").toInt(), 12) << "not yet resynced";

    for (Recordset* rs : rows.all())
        rs->Resync(AffectEnum::Current);
    expectRecordsetsShowStoredRows(rows, f.db());
    EXPECT_EQ(rows.sentence.Field("chengji").toInt(), 5);
    EXPECT_FALSE(rows.lesson.Field("cishu").isValid()) << "Null as before";
}

TEST_F(TransactionTest, NestingAndUnmatchedCallsAreRefused) {
    EXPECT_THROW(cn.CommitTrans(), PlatformError);
    EXPECT_THROW(cn.RollbackTrans(), PlatformError);
    cn.BeginTrans();
    try {
        cn.BeginTrans();
        ADD_FAILURE() << "a nested transaction was started";
    } catch (const PlatformError& e) {
        EXPECT_NE(e.message().indexOf("already in progress"), -1) << e.what();
    }
    EXPECT_TRUE(cn.InTransaction()) << "the outer transaction goes on";
    cn.CommitTrans();
    EXPECT_THROW(cn.CommitTrans(), PlatformError);

    cn.BeginTrans();
    add(rows.lesson, "cishu", 1);
    for (Recordset* rs : rows.all())
        rs->Close();
    cn.Close(); // closing rolls the open transaction back
    EXPECT_FALSE(f.scalar("SELECT cishu FROM TAB_Unit WHERE UnitID = '010101'").isValid());
    EXPECT_THROW(cn.BeginTrans(), PlatformError);
}

// A trigger makes one chosen row write of the attempt fail.
TEST_F(TransactionTest, AFailedWriteRollsTheWholeAttemptBack) {
    struct Case {
        const char* what;
        const char* trigger;
    };
    const Case cases[] = {
        {"1st write: today's points", "BEFORE UPDATE ON TAB_Box"},
        {"4th write: the lesson's points", "BEFORE UPDATE ON TAB_Unit WHEN NEW.UnitID = '010101' "
                                           "AND NEW.chengji IS NOT OLD.chengji"},
        {"10th write: the unit's count", "BEFORE UPDATE ON TAB_Unit WHEN NEW.UnitID = '010100' "
                                         "AND NEW.cishu IS NOT OLD.cishu"},
    };
    cn.BeginTrans();
    scoreAttempt(rows, 2); // an earlier attempt, stored
    cn.CommitTrans();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        f.db().execScript(QString("CREATE TRIGGER fail %1 BEGIN SELECT RAISE(ABORT, "
                                  "'injected failure'); END;")
                              .arg(c.trigger));
        const QueryResult before = everyRow(f.db());
        cn.BeginTrans();
        try {
            scoreAttempt(rows, 4);
            ADD_FAILURE() << "the injected failure did not happen";
        } catch (const PlatformError& e) {
            EXPECT_NE(e.message().indexOf("injected failure"), -1) << e.what();
        }
        cn.RollbackTrans();
        EXPECT_EQ(everyRow(f.db()).rows, before.rows);
        for (Recordset* rs : rows.all())
            rs->Resync();
        for (Recordset* rs : rows.all())
            EXPECT_EQ(rs->EditMode(), EditModeEnum::None);
        expectRecordsetsShowStoredRows(rows, f.db());
        f.db().execScript("DROP TRIGGER fail;");
    }
    cn.BeginTrans();
    scoreAttempt(rows, 4); // the next attempt works from the stored values
    cn.CommitTrans();
    EXPECT_EQ(f.scalar("SELECT chengji FROM TAB_Unit WHERE UnitID = '010100'").toInt(), 6);
    EXPECT_EQ(f.scalar("SELECT NowCishu FROM TAB_Box").toInt(), 2);
}

TEST_F(TransactionTest, ResyncDropsARowAddedInARolledBackTransaction) {
    Recordset days;
    days.Open("SELECT * FROM TAB_Box ORDER BY NowData", cn);
    cn.BeginTrans();
    days.AddNew();
    days.SetField("NowData", QDate(2026, 12, 11));
    days.SetField("NowChengji", 0);
    days.SetField("NowCishu", 0);
    days.Update();
    EXPECT_EQ(days.RecordCount(), 2);
    cn.RollbackTrans();
    days.Resync();
    EXPECT_EQ(days.RecordCount(), 1);
    EXPECT_TRUE(days.IsEOF()) << "the current row was the one dropped";
    days.MoveFirst();
    EXPECT_EQ(days.Field("NowData").toString(), kDay);

    Recordset closed;
    EXPECT_THROW(closed.Resync(), PlatformError);
    Recordset joined;
    joined.Open("SELECT d.DlgID, u.CName FROM TAB_Dlg d JOIN TAB_Unit u USING (UnitID)", cn);
    EXPECT_THROW(joined.Resync(), PlatformError);
}

namespace {

// Waits up to 30 s for one byte from `fd`; 0 on timeout or end.
char readByte(int fd) {
    pollfd p{fd, POLLIN, 0};
    char c = 0;
    if (poll(&p, 1, 30000) != 1 || read(fd, &c, 1) != 1)
        return 0;
    return c;
}

// The child: attempts in a loop, each one transaction; it says "m" half-way
// through each and "c" after each commit. With `stall` it waits, half-way
// through the attempt after `stallAfter` commits, for a byte that never comes.
[[noreturn]] void attemptsUntilKilled(const QString& connection, int out, int stallOn, int never) {
    try {
        Connection cn;
        cn.SetConnectionString(connection);
        cn.Open();
        AttemptRows rows;
        rows.open(cn);
        for (int i = 0;; ++i) {
            cn.BeginTrans();
            add(rows.day, "NowChengji", 3);
            add(rows.sentence, "chengji", 3);
            add(rows.part, "chengji", 3);
            (void)!write(out, "m", 1);
            if (i == stallOn) {
                char c;
                (void)!read(never, &c, 1);
            }
            add(rows.lesson, "chengji", 3);
            add(rows.unit, "chengji", 3);
            add(rows.day, "NowCishu", 1);
            for (Recordset* rs : {&rows.sentence, &rows.part, &rows.lesson, &rows.unit})
                add(*rs, "cishu", 1);
            cn.CommitTrans();
            (void)!write(out, "c", 1);
        }
    } catch (...) {
    }
    _exit(3);
}

} // namespace

// A process killed at any moment leaves a file that opens, passes the
// integrity check and holds whole attempts only.
TEST_F(TransactionTest, KilledProcessLeavesWholeAttemptsOnly) {
    struct Case {
        const char* what;
        int stallOn; // attempt the child stops in, half-way; -1: killed while running
        int killAfterCommits;
    };
    const Case cases[] = {{"killed half-way through the 21st attempt", 20, 20},
                          {"killed while running", -1, 15}};
    for (Recordset* rs : rows.all())
        rs->Close();
    cn.Close();
    f.closeDb();
    int committedBefore = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int progress[2], never[2];
        ASSERT_EQ(pipe(progress), 0);
        ASSERT_EQ(pipe(never), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(progress[0]);
            close(never[1]);
            attemptsUntilKilled(f.connectionString(), progress[1], c.stallOn, never[0]);
        }
        close(progress[1]);
        close(never[0]);
        int commits = 0;
        while (commits < c.killAfterCommits) {
            const char b = readByte(progress[0]);
            ASSERT_NE(b, 0) << "the child stopped after " << commits << " commits";
            commits += b == 'c';
        }
        if (c.stallOn >= 0) {
            ASSERT_EQ(readByte(progress[0]), 'm'); // it now waits half-way
        }
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        close(progress[0]);
        close(never[1]);

        Connection after;
        after.SetConnectionString(f.connectionString());
        after.Open();
        Database& db = *after.database();
        EXPECT_EQ(db.query("PRAGMA integrity_check").rows.at(0).at(0).toString(), "ok");
        const qlonglong attempts =
            db.query("SELECT NowCishu FROM TAB_Box").rows.at(0).at(0).toLongLong();
        if (c.stallOn >= 0) {
            EXPECT_EQ(attempts, committedBefore + commits);
        } else {
            EXPECT_GE(attempts, committedBefore + commits);
        }
        EXPECT_EQ(db.query("SELECT NowChengji FROM TAB_Box").rows.at(0).at(0).toLongLong(),
                  3 * attempts);
        const QueryResult totals = db.query(
            "SELECT cishu, chengji FROM TAB_Unit WHERE UnitID IN ('010000', '010100', '010101') "
            "UNION ALL SELECT cishu, chengji FROM TAB_Dlg WHERE DlgID = '010101000010'");
        ASSERT_EQ(totals.rows.size(), 4u);
        for (const auto& row : totals.rows) {
            EXPECT_EQ(row.at(0).toLongLong(), attempts);
            EXPECT_EQ(row.at(1).toLongLong(), 3 * attempts);
        }
        committedBefore = static_cast<int>(attempts);
    }
}
