#include "LessonDbFixture.h"

#include "PlatformError.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "db/Recordset.h"

#include <QDate>
#include <gtest/gtest.h>
#include <vector>

using platform::PlatformError;
using platform::db::Connection;
using platform::db::EditModeEnum;
using platform::db::LockTypeEnum;
using platform::db::ObjectState;
using platform::db::Recordset;

namespace {

// Records the emissions of one recordset signal.
struct SignalLog {
    template <typename Signal> SignalLog(Recordset& rs, Signal signal) {
        QObject::connect(&rs, signal, &rs, [this](auto... args) { calls.push_back({args...}); });
    }
    int count() const { return static_cast<int>(calls.size()); }
    std::vector<std::vector<int>> calls;
};

const QString kUnits = "SELECT * FROM TAB_Unit ORDER BY UnitID";

class RecordsetTest : public ::testing::Test {
protected:
    void SetUp() override {
        cn.SetConnectionString(f.connectionString());
        cn.Open();
    }
    void reopen(Recordset& rs, const QString& sql, const QVariantList& params = {}) {
        if (rs.State() == ObjectState::Open)
            rs.Close();
        rs.Open(sql, cn, params);
    }

    LessonDbFixture f;
    Connection cn;
    Recordset rs;
};

} // namespace

TEST_F(RecordsetTest, EmptySetHasBothBofAndEof) {
    rs.Open("SELECT * FROM TAB_Box", cn);
    EXPECT_EQ(rs.State(), ObjectState::Open);
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_TRUE(rs.IsBOF());
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_EQ(rs.AbsolutePosition(), Recordset::PosUnknown);
    rs.MoveFirst();
    rs.MoveLast();
    EXPECT_TRUE(rs.IsBOF() && rs.IsEOF());
    EXPECT_THROW(rs.MoveNext(), PlatformError);
    EXPECT_THROW(rs.MovePrevious(), PlatformError);
    EXPECT_THROW(rs.SetAbsolutePosition(1), PlatformError);
    EXPECT_THROW(rs.Field("NowData"), PlatformError);
    EXPECT_EQ(rs.ColumnNames(), QStringList({"NowData", "NowChengji", "NowCishu"}));
    rs.Close();
    EXPECT_EQ(rs.State(), ObjectState::Closed);
    EXPECT_THROW(rs.MoveFirst(), PlatformError);
}

TEST_F(RecordsetTest, ScrollsBothWaysWithAdoBofEof) {
    rs.Open(kUnits, cn);
    ASSERT_EQ(rs.RecordCount(), 5);
    EXPECT_FALSE(rs.IsBOF());
    EXPECT_EQ(rs.AbsolutePosition(), 1);
    EXPECT_EQ(rs.Field("UnitID").toString(), "010000");

    QStringList forward;
    while (!rs.IsEOF()) {
        forward << rs.Field("unitid").toString();
        rs.MoveNext();
    }
    EXPECT_EQ(forward, QStringList({"010000", "010100", "010101", "010102", "020000"}));
    EXPECT_EQ(rs.AbsolutePosition(), Recordset::PosEOF);
    EXPECT_THROW(rs.MoveNext(), PlatformError);

    rs.MovePrevious();
    EXPECT_EQ(rs.Field("UnitID").toString(), "020000");
    rs.MoveFirst();
    rs.MovePrevious();
    EXPECT_TRUE(rs.IsBOF());
    EXPECT_FALSE(rs.IsEOF());
    EXPECT_EQ(rs.AbsolutePosition(), Recordset::PosBOF);
    EXPECT_THROW(rs.MovePrevious(), PlatformError);
    rs.MoveNext();
    EXPECT_EQ(rs.AbsolutePosition(), 1);

    rs.SetAbsolutePosition(3);
    EXPECT_EQ(rs.Field("UnitID").toString(), "010101");
    EXPECT_EQ(rs.ValueAt(4, rs.FieldIndex("CNAME")).toString(), "Lesson two");
    rs.MoveLast();
    EXPECT_EQ(rs.AbsolutePosition(), 5);
    EXPECT_THROW(rs.SetAbsolutePosition(0), PlatformError);
    EXPECT_THROW(rs.SetAbsolutePosition(6), PlatformError);
    EXPECT_EQ(rs.AbsolutePosition(), 5);
    EXPECT_THROW(rs.Field("NoSuchField"), PlatformError);
    EXPECT_THROW(rs.Open(kUnits, cn), PlatformError) << "already open";
}

TEST_F(RecordsetTest, NullFieldsAreInvalidVariants) {
    rs.Open("SELECT * FROM TAB_Unit WHERE UnitID = ?", cn, {"010000"});
    const QVariant v = rs.Field("DlgObjE");
    EXPECT_FALSE(v.isValid());
    EXPECT_TRUE(v.isNull());
    EXPECT_EQ(rs.Field("CName").toString(), "Part one");
}

TEST_F(RecordsetTest, FindMovesForwardFromTheCurrentRow) {
    rs.Open(kUnits, cn);
    rs.Find("UnitID = '010101'");
    EXPECT_EQ(rs.AbsolutePosition(), 3);
    rs.Find("UnitID = '010101'"); // the current row counts
    EXPECT_EQ(rs.AbsolutePosition(), 3);
    rs.Find("unitid='010000'"); // lies behind: not found
    EXPECT_TRUE(rs.IsEOF());
    rs.MoveFirst();
    rs.Find("UnitID = '999999'");
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_FALSE(rs.IsBOF());
    rs.Find("UnitID = '010000'"); // at EOF nothing lies ahead
    EXPECT_TRUE(rs.IsEOF());
    rs.MoveFirst();
    rs.MovePrevious();
    rs.Find("[CName] = 'lesson ONE'"); // from BOF; text compares without case
    EXPECT_EQ(rs.Field("UnitID").toString(), "010101");
}

TEST_F(RecordsetTest, FindCriterionForms) {
    f.db().exec("INSERT INTO TAB_Unit (UnitID, CName) VALUES ('030000', 'O''Brien''s')");
    rs.Open(kUnits, cn);
    rs.Find("CName = 'O''Brien''s'");
    EXPECT_EQ(rs.Field("UnitID").toString(), "030000");

    rs.MoveFirst();
    const char* rejected[] = {"UnitID = 010101",   "UnitID > '010101'", "UnitID = '010101' OR 1",
                              "UnitID LIKE '01%'", "= '010101'",        "UnitID = 'unclosed",
                              "NoField = '1'"};
    for (const char* c : rejected) {
        SCOPED_TRACE(c);
        EXPECT_THROW(rs.Find(c), PlatformError);
        EXPECT_EQ(rs.AbsolutePosition(), 1) << "a rejected criterion does not move";
    }
}

TEST_F(RecordsetTest, UpdateOfCurrentRowPersists) {
    rs.Open(kUnits, cn);
    rs.Find("UnitID = '010101'");
    EXPECT_EQ(rs.LockType(), LockTypeEnum::Optimistic);
    SignalLog changed(rs, &Recordset::rowChanged);
    rs.SetField("chengji", 7);
    rs.SetField("CISHU", QVariant(QString("2"))); // column affinity makes it a number
    EXPECT_EQ(rs.EditMode(), EditModeEnum::InProgress);
    rs.Update();
    EXPECT_EQ(rs.EditMode(), EditModeEnum::None);
    EXPECT_EQ(rs.Field("cishu"), QVariant(qlonglong(2)));
    ASSERT_GT(changed.count(), 0);
    EXPECT_EQ(changed.calls.back(), std::vector<int>{3});

    // A Null can be written back too, and a text with a quote in it.
    rs.MoveFirst();
    rs.SetField("CName", "It's; DROP TABLE TAB_Unit");
    rs.Update();
    rs.Close();
    cn.Close();
    cn.Open();
    rs.Open(kUnits, cn);
    rs.Find("UnitID = '010101'");
    EXPECT_EQ(rs.Field("chengji").toInt(), 7);
    EXPECT_EQ(rs.Field("cishu").toInt(), 2);
    rs.MoveFirst();
    EXPECT_EQ(rs.Field("CName").toString(), "It's; DROP TABLE TAB_Unit");
    EXPECT_EQ(f.scalar("SELECT count(*) FROM TAB_Unit").toInt(), 5);
}

TEST_F(RecordsetTest, MovingWithAPendingEditWritesIt) {
    rs.Open(kUnits, cn);
    rs.SetField("cishu", 4);
    rs.MoveNext();
    EXPECT_EQ(f.scalar("SELECT cishu FROM TAB_Unit WHERE UnitID='010000'").toInt(), 4);
    rs.SetField("cishu", 5);
    EXPECT_THROW(rs.Close(), PlatformError) << "an edit is pending";
    rs.CancelUpdate();
    EXPECT_FALSE(rs.Field("cishu").isValid());
    rs.Close();
    EXPECT_FALSE(f.scalar("SELECT cishu FROM TAB_Unit WHERE UnitID='010100'").isValid());
}

TEST_F(RecordsetTest, OptimisticUpdateFailsWhenTheRowChangedMeanwhile) {
    rs.Open(kUnits, cn);
    f.db().exec("UPDATE TAB_Unit SET cishu = 9 WHERE UnitID = '010000'");
    rs.SetField("cishu", 1);
    EXPECT_THROW(rs.Update(), PlatformError);
    EXPECT_EQ(f.scalar("SELECT cishu FROM TAB_Unit WHERE UnitID='010000'").toInt(), 9);
    rs.CancelUpdate();
    // Another row, unchanged meanwhile, still writes.
    rs.MoveNext();
    rs.SetField("cishu", 1);
    EXPECT_NO_THROW(rs.Update());
}

TEST_F(RecordsetTest, AddNewAppendsARow) {
    rs.Open("select * from TAB_Box where NowData=?", cn, {QDate(2026, 12, 10)});
    ASSERT_EQ(rs.RecordCount(), 0);
    SignalLog inserted(rs, &Recordset::rowInserted);
    rs.AddNew();
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(inserted.count(), 1);
    rs.SetField("NowData", QDate(2026, 12, 10));
    rs.SetField("NowChengji", 0);
    rs.SetField("NowCishu", 0);
    rs.Update();
    EXPECT_EQ(rs.Field("NowData").toString(), "2026-12-10");
    EXPECT_EQ(rs.AbsolutePosition(), 1);

    rs.Close();
    rs.Open("select * from TAB_Box where NowData=?", cn, {"2026-12-10"});
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Field("NowCishu"), QVariant(qlonglong(0)));

    // A cancelled add leaves nothing behind and returns to the former row.
    rs.AddNew();
    rs.SetField("NowData", "2026-12-11");
    rs.CancelUpdate();
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.AbsolutePosition(), 1);
    EXPECT_EQ(f.scalar("SELECT count(*) FROM TAB_Box").toInt(), 1);

    // A duplicate key fails and writes nothing.
    rs.AddNew();
    rs.SetField("NowData", "2026-12-10");
    EXPECT_THROW(rs.Update(), PlatformError);
    rs.CancelUpdate();
    EXPECT_EQ(f.scalar("SELECT count(*) FROM TAB_Box").toInt(), 1);
}

TEST_F(RecordsetTest, WritesAreRefusedWhereTheyCannotBeLocated) {
    rs.SetLockType(LockTypeEnum::ReadOnly);
    rs.Open(kUnits, cn);
    EXPECT_THROW(rs.SetLockType(LockTypeEnum::Optimistic), PlatformError);
    EXPECT_THROW(rs.SetField("cishu", 1), PlatformError);
    EXPECT_THROW(rs.AddNew(), PlatformError);
    rs.Close();
    rs.SetLockType(LockTypeEnum::Optimistic);

    const QString noKey[] = {
        "SELECT CName, cishu FROM TAB_Unit",
        "SELECT u.UnitID, d.DlgID FROM TAB_Unit u JOIN TAB_Dlg d USING (UnitID)",
        "SELECT count(*) AS n FROM TAB_Unit"};
    for (const QString& sql : noKey) {
        SCOPED_TRACE(sql.toStdString());
        reopen(rs, sql);
        EXPECT_THROW(rs.SetField(rs.ColumnNames().first(), 1), PlatformError);
    }
    reopen(rs, "SELECT UnitID, cishu + 1 AS more FROM TAB_Unit");
    EXPECT_THROW(rs.SetField("more", 1), PlatformError);
    EXPECT_NO_THROW(rs.SetField("UnitID", "019999"));
    rs.CancelUpdate();
}

TEST_F(RecordsetTest, QueryErrorsRaise) {
    EXPECT_THROW(rs.Open("SELECT * FROM NoTable", cn), PlatformError);
    EXPECT_THROW(rs.Open("SELECT * FROM TAB_Unit WHERE UnitID = ?", cn), PlatformError);
    EXPECT_THROW(rs.Open("SELECT 1; DELETE FROM TAB_Unit", cn), PlatformError);
    EXPECT_EQ(rs.State(), ObjectState::Closed);
    EXPECT_EQ(f.scalar("SELECT count(*) FROM TAB_Unit").toInt(), 5);
}

// SQLite sorts Nulls first ascending and last descending, as Jet does.
TEST_F(RecordsetTest, NullOrderingMatchesJet) {
    f.db().exec("UPDATE TAB_Unit SET cishu = 3 WHERE UnitID = '010100'");
    f.db().exec("UPDATE TAB_Unit SET cishu = 1 WHERE UnitID = '010101'");
    const auto ids = [this](const QString& sql) {
        reopen(rs, sql);
        QStringList out;
        for (int i = 1; i <= rs.RecordCount(); ++i)
            out << rs.ValueAt(i, rs.FieldIndex("UnitID")).toString();
        return out;
    };
    EXPECT_EQ(ids("SELECT * FROM TAB_Unit ORDER BY cishu, UnitID"),
              QStringList({"010000", "010102", "020000", "010101", "010100"}));
    EXPECT_EQ(ids("SELECT * FROM TAB_Unit ORDER BY cishu DESC, UnitID"),
              QStringList({"010100", "010101", "010000", "010102", "020000"}));
}

TEST_F(RecordsetTest, SignalsLetABoundGridFollow) {
    SignalLog reset(rs, &Recordset::rowsReset);
    SignalLog current(rs, &Recordset::currentChanged);
    rs.Open(kUnits, cn);
    EXPECT_EQ(reset.count(), 1);
    const int afterOpen = current.count();
    EXPECT_GE(afterOpen, 1);
    rs.MoveNext();
    rs.SetAbsolutePosition(4);
    rs.Find("UnitID = '020000'");
    EXPECT_EQ(current.count(), afterOpen + 3);
    rs.SetAbsolutePosition(5); // already there
    EXPECT_EQ(current.count(), afterOpen + 3);
    rs.Close();
    EXPECT_EQ(reset.count(), 2);
    EXPECT_EQ(rs.RecordCount(), 0);
}
