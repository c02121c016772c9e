// Scoring of judged attempts over the real lesson database: the rows of the
// sentence, lesson, unit, part and day, the labels and the grids, and the
// one transaction each attempt is written in.
#include "ExerFixture.h"
#include "core/MyDataEm.h"
#include "db/Database.h"
#include "exercise/ExerModes.h"
#include "exercise/ExerScoring.h"
#include "exercise/frmExer.h"
#include "widgets/FlexGrid.h"

#include <QDate>
#include <QLabel>
#include <QTimer>

using platform::db::Database;

namespace {

class ScoringTest : public ExerFixture {
protected:
    std::unique_ptr<Database> Db() {
        return Database::open(folder.path() + "/data/qvedbdemo.aaa", "pqlomvek",
                              Database::OpenMode::ExistingOnly);
    }
    static QString Text(const QVariant& v) { return v.isNull() ? QString("-") : v.toString(); }
    // "chengji/cishu" of the stored rows: sentence, lesson, unit, part, day.
    QString Stored(const QString& dlgId) {
        auto db = Db();
        QStringList parts;
        auto row = [&](const QString& sql, const QVariant& key) {
            const auto r = db->query(sql, {key});
            parts << (r.rows.empty() ? QString("none")
                                     : Text(r.rows[0][0]) + "/" + Text(r.rows[0][1]));
        };
        const QString lesson = dlgId.left(6);
        row("SELECT chengji, cishu FROM TAB_Dlg WHERE DlgID = ?", dlgId);
        for (const QString& id : {lesson, lesson.left(4) + "00", lesson.left(2) + "0000"})
            row("SELECT chengji, cishu FROM TAB_Unit WHERE UnitID = ?", id);
        row("SELECT NowChengji, NowCishu FROM TAB_Box WHERE NowData = ?",
            MyDataEm::Day(QDate::currentDate()));
        return parts.join(' ');
    }
    // The same five rows as the recordsets hold them now.
    QString Shown() {
        MyDataEm& d = program->MyDataEm;
        QStringList parts;
        for (auto* rs : {&d.rsSelUnitContent, &d.rsSelUnit, &d.rsselunited, &d.rsCommand1})
            parts << Text(rs->Field("chengji")) + "/" + Text(rs->Field("cishu"));
        parts << Text(d.rsSelRe.Field("NowChengji")) + "/" + Text(d.rsSelRe.Field("NowCishu"));
        return parts.join(' ');
    }
    // Grid columns 3 and 4 of a row, in both grids (which must agree).
    QString Cells(int row) {
        frmExer& w = exer();
        for (int col : {3, 4})
            EXPECT_EQ(w.EGrid->TextMatrix(row, col), w.CGrid->TextMatrix(row, col));
        return w.EGrid->TextMatrix(row, 3) + "|" + w.EGrid->TextMatrix(row, 4);
    }
    // Sentence `row` is being practised; the learner's answer is judged.
    frmExer& OnSentence(const QString& lesson, int row, int fenshu) {
        frmExer& w = LoadLesson(lesson);
        program->vars.AgentChar = fake.agent.character("Merlin");
        w.Fenshu = static_cast<std::int16_t>(fenshu);
        program->MyDataEm.rsSelUnitContent.SetAbsolutePosition(row);
        return w;
    }
    void Wrong() {
        exer().scoring().InOneTransaction([this] { exer().scoring().jiacishu(); });
        ++exer().TryCount;
        exer().scoring().dafen(0);
    }
};

TEST_F(ScoringTest, ARightAnswerAddsTheDifficultyAndOnePracticeEverywhere) {
    frmExer& w = OnSentence("030101", 2, 3);
    const QString today = Stored("030101000020").section(' ', 4);
    EXPECT_EQ(today, "0/0");
    w.scoring().dafen(1);
    EXPECT_EQ(Stored("030101000020"), "3/1 3/1 3/1 3/1 3/1");
    EXPECT_EQ(Shown(), "3/1 3/1 3/1 3/1 3/1");
    EXPECT_EQ(Cells(2), "1|3");
    EXPECT_EQ(Cells(1), "|");
    EXPECT_EQ(w.EGrid->RowSel(), 2);
    EXPECT_EQ(w.Label1->text(), QStringLiteral("3分"));
    EXPECT_EQ(w.LbRCTip->text(), QStringLiteral(" 3分"));
    EXPECT_EQ(program->vars.UnitScore, 3);
    EXPECT_TRUE(w.Timer1->isActive());

    // A second attempt adds to the same rows.
    w.scoring().dafen(1);
    EXPECT_EQ(Stored("030101000020"), "6/2 6/2 6/2 6/2 6/2");
    EXPECT_EQ(Cells(2), "2|6");
}

TEST_F(ScoringTest, AWrongAnswerCountsAPracticeOnly) {
    frmExer& w = OnSentence("030101", 1, 3);
    Wrong();
    EXPECT_EQ(Stored("030101000010"), "-/1 -/1 -/1 -/1 0/1");
    EXPECT_EQ(Shown(), "-/1 -/1 -/1 -/1 0/1");
    EXPECT_EQ(Cells(1), "1|");
    EXPECT_EQ(w.Label1->text(), QStringLiteral("0分"));
    EXPECT_EQ(w.LbRCTip->text(), QStringLiteral("还没得分呢"));
    EXPECT_EQ(fake.sound.played, QStringList{folder.path() + "/wave/try another.wav"});
}

TEST_F(ScoringTest, TheLessonTotalGrowsFromItsStoredValue) {
    frmExer& w = OnSentence("010102", 1, 3);
    EXPECT_EQ(w.LbRCTip->text(), QStringLiteral(" 12分"));
    Wrong();
    EXPECT_EQ(w.LbRCTip->text(), QStringLiteral(" 12分"));
    w.scoring().dafen(1);
    EXPECT_EQ(w.LbRCTip->text(), QStringLiteral(" 15分"));
    EXPECT_EQ(Db()->query("SELECT chengji FROM TAB_Unit WHERE UnitID = '010102'").rows[0][0],
              QVariant(15));
}

// The label and the grade (heard as the voice set's sound) by difficulty.
TEST_F(ScoringTest, LabelAndGradeFollowTheDifficulty) {
    struct Case {
        int fenshu;
        const char* label;
        const char* sound;
    };
    const Case cases[] = {{1, "1分", "good.wav"},      {3, "3分", "good.wav"},
                          {4, "4分", "ok.wav"},        {6, "6分", "ok.wav"},
                          {7, "7分", "well done.wav"}, {8, "8分", "well done.wav"},
                          {9, "9分", "perfect.wav"},   {10, "10分", "perfect.wav"}};
    frmExer& w = OnSentence("030101", 1, 1);
    int total = 0;
    for (const Case& c : cases) {
        fake.sound.played.clear();
        w.Fenshu = static_cast<std::int16_t>(c.fenshu);
        w.scoring().dafen(1);
        total += c.fenshu;
        EXPECT_EQ(w.Label1->text(), QString::fromUtf8(c.label));
        EXPECT_EQ(fake.sound.played, QStringList{folder.path() + "/wave/" + c.sound}) << c.fenshu;
    }
    EXPECT_EQ(w.LbRCTip->text(), QString(" %1分").arg(total));
    EXPECT_EQ(ExerScoring::GradeFor(0), -1);
    EXPECT_EQ(ExerScoring::GradeFor(11), -1);
}

// The fourth row of an attempt (the lesson row) cannot be written: nothing of
// the attempt stays, what the window shows is what is stored, the learner
// is told, and the next attempt is written whole.
TEST_F(ScoringTest, AFailedRowWriteRollsTheWholeAttemptBack) {
    Db()->execScript("CREATE TRIGGER refuse BEFORE UPDATE ON TAB_Unit WHEN OLD.UnitID = '030101' "
                     "BEGIN SELECT RAISE(ABORT, 'disk refused'); END;");
    frmExer& w = OnSentence("030101", 2, 4);
    const QString before = Stored("030101000020");
    EXPECT_EQ(before, "-/- -/- -/- -/- 0/0");

    w.scoring().dafen(1);
    EXPECT_EQ(Stored("030101000020"), before);
    EXPECT_EQ(Shown(), before);
    EXPECT_EQ(Cells(2), "|");
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].title, QStringLiteral("错误"));
    EXPECT_TRUE(fake.messages.shown[0].text.contains("disk refused"));
    EXPECT_EQ(program->vars.UnitScore, 0);
    EXPECT_EQ(w.LbRCTip->text(), QStringLiteral("还没得分呢"));
    EXPECT_FALSE(fake.programEnd.endedWith.has_value());

    Wrong(); // a practice alone fails the same way
    EXPECT_EQ(Stored("030101000020"), before);
    EXPECT_EQ(fake.messages.shown.size(), 2u);

    Db()->execScript("DROP TRIGGER refuse;");
    w.scoring().dafen(1);
    EXPECT_EQ(Stored("030101000020"), "4/1 4/1 4/1 4/1 4/1");
    EXPECT_EQ(Shown(), "4/1 4/1 4/1 4/1 4/1");
    EXPECT_EQ(Cells(2), "1|4");
    EXPECT_EQ(w.LbRCTip->text(), QStringLiteral(" 4分"));
}

} // namespace
