#include "ExerFixture.h"
#include "FakeRecoContext.h"
#include "FakeSpeechGrammar.h"
#include "exercise/ExerButtons.h"
#include "exercise/ExerModes.h"
#include "exercise/frmExer.h"
#include "widgets/UpDown.h"
#include "windows/FrmSet.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>

using platform::MixerLine;

namespace {

class SettingsTest : public ExerFixture {
protected:
    FrmSet& Open() {
        FrmSet& set = program->forms.get<FrmSet>();
        set.Form_Load();
        return set;
    }
    // Loads the window as its Show() does, without the modal wait.
    FrmSet& Loaded() {
        FrmSet& set = program->forms.get<FrmSet>();
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (set.isVisible()) {
                poll.stop();
                set.hide();
            }
        });
        poll.start();
        set.Show();
        return set;
    }
    int Threshold(const char* name) {
        return reco().properties.GetPropertyNumber(QString::fromLatin1(name));
    }
    std::vector<std::uint32_t> MicWrites() {
        std::vector<std::uint32_t> levels;
        for (const auto& [line, level] : fake.mixer.writes)
            if (line == MixerLine::Microphone)
                levels.push_back(level);
        return levels;
    }
};

TEST_F(SettingsTest, CaptionsAreTheWindowsOwn) {
    LoadLesson("010101");
    FrmSet& set = program->forms.get<FrmSet>();
    EXPECT_EQ(set.windowTitle(), "设置");
    EXPECT_EQ(set.fraAgent->title(), "人物选项");
    const char* const agents[] = {"Genine", "Merlin", "Peedy", "Robby", "None"};
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(set.COption[i]->text(), agents[i - 1]);
    EXPECT_EQ(set.fraSound->title(), "声音打分");
    EXPECT_EQ(set.fraSpeed->title(), "声音选项");
    EXPECT_EQ(set.fraRC->title(), "识别控制");
    EXPECT_EQ(set.fraVolume->title(), "声音控制");
    EXPECT_EQ(set.Command1->text(), "关 闭");
}

TEST_F(SettingsTest, LoadSelectsTheCurrentValues) {
    frmExer& w = LoadLesson("010101");
    GlobalVars& g = program->vars;
    g.ScoreSound = 3;
    g.ReadSpeed = "1";
    w.RETRYNUMS = 4;
    w.Fenshu = 6;
    FrmSet& set = Open();
    EXPECT_TRUE(set.COption[2]->isChecked());
    EXPECT_TRUE(set.Option_Sound[3]->isChecked());
    EXPECT_TRUE(set.duyin[0]->isChecked());
    EXPECT_EQ(set.txtNum->text(), "4");
    EXPECT_EQ(set.sldRCRate->value(), 6);
    // Loading changes nothing the learner has chosen.
    EXPECT_EQ(g.ScoreSound, 3);
    EXPECT_EQ(g.ReadSpeed, "1");
    EXPECT_EQ(w.Fenshu, 6);
    EXPECT_EQ(w.RETRYNUMS, 4);
}

TEST_F(SettingsTest, OptionHandlersSetTheirValues) {
    LoadLesson("010101");
    FrmSet& set = Open();
    GlobalVars& g = program->vars;
    for (int i = 1; i <= 4; ++i) {
        set.Option_Sound[i]->click();
        EXPECT_EQ(g.ScoreSound, i);
    }
    set.duyin[0]->click();
    EXPECT_EQ(g.ReadSpeed, "1");
    set.duyin[1]->click();
    EXPECT_EQ(g.ReadSpeed, "2");
}

TEST_F(SettingsTest, SliderSetsDifficultyOptionAndThresholds) {
    frmExer& w = LoadLesson("010101");
    FrmSet& set = Loaded();
    set.sldRCRate->setValue(7);
    EXPECT_EQ(w.Fenshu, 7);
    EXPECT_TRUE(w.SbOpn[6]->isChecked());
    for (const char* name :
         {"HighConfidenceThreshold", "NormalConfidenceThreshold", "LowConfidenceThreshold"})
        EXPECT_EQ(Threshold(name), 70) << name;
    // The grammar is left listening.
    EXPECT_TRUE(Listening());
}

TEST_F(SettingsTest, AttemptsTakeOnlyWholeNumbersFromOne) {
    frmExer& w = LoadLesson("010101");
    FrmSet& set = Open();
    set.updNum->StepUp();
    EXPECT_EQ(w.RETRYNUMS, 2);
    EXPECT_EQ(w.txtNum->text(), "2");
    for (const char* refused : {"", "abc", "0", "-3", "2.5", "1e3", "100000"}) {
        set.txtNum->setText(QString::fromLatin1(refused));
        set.updNum_Change();
        EXPECT_EQ(w.RETRYNUMS, 2) << refused;
        EXPECT_EQ(w.txtNum->text(), "2") << refused;
    }
    set.txtNum->setText("7");
    set.updNum_Change();
    EXPECT_EQ(w.RETRYNUMS, 7);
    EXPECT_EQ(w.txtNum->text(), "7");
}

TEST_F(SettingsTest, FirstOpeningSetsTheMicrophoneToItsMaximumLaterOnesRestore) {
    LoadLesson("010101");
    FrmSet& first = Open();
    EXPECT_EQ(first.vsMic->value(), 65535 / 2);
    EXPECT_EQ(MicWrites(), std::vector<std::uint32_t>{65534});
    EXPECT_EQ(program->vars.MicLevel, 65534);
    // The speaker bar shows the level found, halved.
    EXPECT_EQ(first.vsVolume->value(), 20000);
    first.vsMic->setValue(9000);
    EXPECT_EQ(program->vars.MicLevel, 18000);
    first.Unload();
    QApplication::processEvents();

    fake.mixer.writes.clear();
    FrmSet& again = Open();
    EXPECT_EQ(again.vsMic->value(), 9000);
    EXPECT_EQ(MicWrites(), std::vector<std::uint32_t>{18000});
    again.vsVolume->setValue(30000);
    ASSERT_FALSE(fake.mixer.writes.empty());
    EXPECT_EQ(fake.mixer.writes.back(), std::make_pair(MixerLine::Speaker, 60000u));
    again.Unload();
    QApplication::processEvents();
    EXPECT_EQ(fake.mixer.openDevices, 0);
}

TEST_F(SettingsTest, WithoutAMixerTheWindowStaysUsable) {
    LoadLesson("010101");
    fake.mixer.available = false;
    FrmSet& set = Open();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "不能打开混音器！");
    set.Option_Sound[2]->click();
    EXPECT_EQ(program->vars.ScoreSound, 2);
    EXPECT_TRUE(fake.mixer.writes.empty());
}

TEST_F(SettingsTest, ClosingPlacesTheChosenCharacter) {
    struct Case {
        int option;
        const char* name; // nullptr: no character
        std::int16_t choice;
    };
    const Case cases[] = {
        {2, "Merlin", 2}, {1, "Genie", 1}, {3, "Peedy", 3}, {4, "Robby", 4}, {5, nullptr, 5}};
    LoadLesson("010101");
    GlobalVars& g = program->vars;
    g.GeniePath = g.AppPath + "CHAR/Genie.acs";
    g.MerlinPath = g.AppPath + "CHAR/Merlin.acs";
    g.PeedyPath = g.AppPath + "CHAR/Peedy.acs";
    g.RobbyPath = g.AppPath + "CHAR/Robby.acs";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        fake.agent.calls.clear();
        FrmSet& set = Open();
        set.COption[c.option]->setChecked(true);
        set.Command1->click();
        QApplication::processEvents();
        EXPECT_FALSE(program->forms.isLoaded<FrmSet>());
        EXPECT_EQ(program->vars.AgentChoice, c.choice);
        if (!c.name) {
            EXPECT_EQ(program->vars.AgentChar, nullptr);
            EXPECT_FALSE(fake.agent.calls.join(' ').contains("Load "));
            continue;
        }
        EXPECT_TRUE(fake.agent.calls.contains(QString("Load %1 ").arg(c.name) +
                                              program->vars.AppPath + "CHAR/" + c.name + ".acs"))
            << qPrintable(fake.agent.calls.join(", "));
        const FakeAgentCharacter* shown = fake.agent.character(c.name);
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(program->vars.AgentChar, shown);
        EXPECT_TRUE(shown->visible);
        EXPECT_EQ(shown->left, 850);
        EXPECT_EQ(shown->top, 550);
    }
}

TEST_F(SettingsTest, ACharacterThatWillNotLoadLeavesNoneAndTheProgramRuns) {
    LoadLesson("010101");
    program->vars.PeedyPath = program->vars.AppPath + "CHAR/Peedy.acs";
    fake.agent.missingFiles.insert(program->vars.PeedyPath);
    FrmSet& set = Open();
    set.COption[3]->setChecked(true);
    set.Unload();
    EXPECT_EQ(program->vars.AgentChoice, 5);
    EXPECT_EQ(program->vars.AgentChar, nullptr);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains("Peedy"));
    EXPECT_FALSE(fake.programEnd.endedWith);
    EXPECT_TRUE(fake.programEnd.runtimeErrors.empty());
}

TEST_F(SettingsTest, SettingsButtonStopsTheModeAndWaitsForTheWindow) {
    frmExer& w = LoadLesson("010101");
    w.modes().CmdReadAll_Click();
    ASSERT_EQ(w.CurMode, 1);
    bool sawWindow = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!program->forms.isLoaded<FrmSet>() || !program->forms.get<FrmSet>().isVisible())
            return;
        poll.stop();
        sawWindow = true;
        program->forms.get<FrmSet>().close();
    });
    poll.start();
    w.buttons().CmdSet_Click();
    EXPECT_TRUE(sawWindow);
    EXPECT_EQ(w.CurMode, 0);
    EXPECT_FALSE(program->forms.isLoaded<FrmSet>());
    EXPECT_EQ(program->vars.AgentChoice, 2);
}

} // namespace
