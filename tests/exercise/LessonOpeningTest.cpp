#include "ExerFixture.h"
#include "core/ImageButtons.h"
#include "core/generalsub.h"
#include "db/Database.h"
#include "exercise/frmExer.h"
#include "windows/frmUnit.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <functional>

namespace {

class LessonOpeningTest : public ExerFixture {
protected:
    // Runs `act` once the exercise window is up modally (polling, since
    // opening lets pending events run before it loads the window).
    // The caller owns the returned poll and drops it once opening returned.
    std::unique_ptr<QTimer> WhileModal(std::function<void()> act) {
        auto poll = std::make_unique<QTimer>();
        poll->setInterval(5);
        QTimer* p = poll.get();
        QObject::connect(p, &QTimer::timeout, [this, p, act] {
            if (!program->forms.isLoaded<frmExer>() || !exer().isVisible())
                return;
            p->stop();
            act();
        });
        p->start();
        return poll;
    }

    struct Seen {
        bool shown = false;
        QString lesson;
        bool previous = false;
        bool next = false;
        bool menuVisibleBehind = false;
    };

    // Opens the selected row from the menu; while the exercise window is up,
    // notes what it shows and closes it.
    Seen Open() {
        frmUnit& menu = program->forms.get<frmUnit>();
        menu.show();
        menu.FrameTip->show();
        Seen seen;
        const auto poll = WhileModal([&] {
            frmExer& w = exer();
            seen.shown = w.isVisible() && w.isModal();
            seen.lesson = w.Lbunited->text();
            seen.previous = w.SelLesson[0]->Enabled();
            seen.next = w.SelLesson[1]->Enabled();
            seen.menuVisibleBehind = menu.isVisible();
            w.Unload();
        });
        OpenLesson(*program);
        QApplication::processEvents();
        return seen;
    }
};

TEST_F(LessonOpeningTest, PartUnitAndLessonRowsOpenTheirLesson) {
    struct Case {
        const char* selected;
        const char* opened;
        const char* name;
        bool previous;
        bool next;
    };
    const Case cases[] = {
        {"010000", "010101", "Lesson one", false, true},
        {"010100", "010101", "Lesson one", false, true},
        {"010101", "010101", "Lesson one", false, true},
        {"010102", "010102", "Lesson two", true, false},
        {"010103", "010103", "Lesson three", true, true},
        {"030000", "030101", "Monologue", true, true},
        {"030100", "030101", "Monologue", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.selected);
        SelectUnitRow(c.selected);
        program->forms.get<frmUnit>().canGo = false;
        const Seen seen = Open();
        EXPECT_TRUE(seen.shown);
        EXPECT_TRUE(seen.menuVisibleBehind);
        EXPECT_EQ(seen.lesson, c.name);
        EXPECT_EQ(seen.previous, c.previous);
        EXPECT_EQ(seen.next, c.next);
        EXPECT_EQ(program->vars.CurUnitID, c.opened);
        EXPECT_EQ(program->MyDataEm.rsSelUnit.Field("UnitID").toString(), c.opened);
        EXPECT_TRUE(program->forms.get<frmUnit>().canGo) << "set once the window has closed";
        EXPECT_TRUE(program->forms.get<frmUnit>().FrameTip->isHidden());
        EXPECT_FALSE(program->forms.isLoaded<frmExer>());
    }
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(LessonOpeningTest, LessonWithoutSentencesIsReportedAndTheMenuStaysUsable) {
    SelectUnitRow("010201");
    const Seen seen = Open();
    EXPECT_FALSE(seen.shown);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "没有对话内容！");
    EXPECT_FALSE(program->forms.isLoaded<frmExer>());
    EXPECT_EQ(program->vars.CurUnitID, "010201");
    EXPECT_EQ(program->vars.UnitName, "Empty lesson");
    EXPECT_TRUE(program->forms.get<frmUnit>().FrameTip->isHidden());
    EXPECT_TRUE(program->forms.get<frmUnit>().isEnabled());
}

TEST_F(LessonOpeningTest, HeadingWithoutLessonsIsReportedWithoutReadingPastTheEnd) {
    SelectUnitRow("020000");
    program->vars.UnitName = "before";
    const Seen seen = Open();
    EXPECT_FALSE(seen.shown);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "没有对话内容！");
    EXPECT_EQ(program->vars.UnitName, "before");
    EXPECT_EQ(program->MyDataEm.rsSelUnit.Field("UnitID").toString(), "020000")
        << "the menu keeps its row";
    EXPECT_TRUE(fake.programEnd.runtimeErrors.isEmpty());
}

TEST_F(LessonOpeningTest, EmptyUnitListOpensNothing) {
    {
        auto db = platform::db::Database::open(folder.path() + "/data/qvedbdemo.aaa", "pqlomvek",
                                               platform::db::Database::OpenMode::ExistingOnly);
        db->execScript("DELETE FROM TAB_Unit;");
    }
    program->MyDataEm.OpenDatabase(program->vars.DataPath);
    ASSERT_EQ(program->MyDataEm.rsSelUnit.RecordCount(), 0);
    const Seen seen = Open();
    EXPECT_FALSE(seen.shown);
    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_FALSE(program->forms.isLoaded<frmExer>());
}

TEST_F(LessonOpeningTest, MenuIntroducesMerlinThenOpensLessonsOnDoubleClick) {
    program->vars.AgentChoice = 0;
    program->vars.MerlinPath = program->vars.AppPath + "CHAR/Merlin.acs";
    program->vars.ScaleFactor = 1.25;
    frmUnit& menu = program->forms.get<frmUnit>();
    menu.Form_Load();
    EXPECT_FALSE(menu.canGo);
    SelectUnitRow("010102");
    menu.DataGrid1_DblClick();
    EXPECT_FALSE(program->forms.isLoaded<frmExer>()) << "no lesson before Merlin has parked";

    menu.Form_Activate();
    EXPECT_TRUE(menu.canGo);
    EXPECT_EQ(program->vars.AgentChoice, 2);
    FakeAgentCharacter* merlin = fake.agent.character("Merlin");
    ASSERT_NE(merlin, nullptr);
    EXPECT_EQ(merlin->calls.mid(merlin->calls.indexOf("Show")),
              QStringList({"Show", "MoveTo 12,662,1000", "Play GestureLeft"}));
    EXPECT_TRUE(fake.agent.calls.contains("Load Merlin " + program->vars.MerlinPath));

    bool shown = false;
    const auto poll = WhileModal([&] {
        shown = true;
        exer().Unload();
    });
    menu.DataGrid1_DblClick();
    EXPECT_TRUE(shown);
    EXPECT_EQ(program->vars.CurUnitID, "010102");
}

} // namespace
