// Files of an installation that a learner may lose or find damaged (cut
// short by a copy, overwritten, emptied): a sentence's recording, a reward
// sound, a character file, the help file. Each is refused by the real
// component that reads it, and the program says so or carries on without it;
// nothing ends the program or stops the practice.
#include "ExerFixture.h"
#include "PlatformError.h"
#include "agent/AgentControl.h"
#include "exercise/ExerModes.h"
#include "exercise/frmExer.h"
#include "help/ChmHelpViewer.h"
#include "sound/PulseSound.h"
#include "speech/IVoice.h"
#include "speech/PulseVoice.h"
#include "widgets/FlexGrid.h"
#include "windows/frmUnit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

namespace {

// How a file may be damaged; `magic` is the start of a real file of its kind.
struct Damage {
    const char* name;
    bool present;
    QByteArray bytes;
};

std::vector<Damage> Damages(const QByteArray& magic) {
    return {{"missing", false, {}},
            {"empty", true, {}},
            {"something else", true, "This is not what its name says.\n"},
            {"cut short", true, magic}};
}

void Place(const QString& path, const Damage& damage) {
    QFile::remove(path);
    if (!damage.present)
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(damage.bytes);
}

const QByteArray kWaveStart("RIFF\x24\x10\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00", 22);
const QByteArray kChmStart("ITSF\x03\x00\x00\x00\x60\x00\x00\x00", 12);

TEST(DamagedFilesTest, RecordingIsRefusedByTheVoiceWhichTheWindowReports) {
    // The window shows "无法播放当前的声音流！" for any refusal (ModesTest);
    // here the real voice refuses each damaged recording, before it needs a
    // sound server.
    QTemporaryDir folder;
    const QString path = folder.path() + "/030101000012.wav";
    platform::PulseVoice voice;
    for (const Damage& d : Damages(kWaveStart)) {
        Place(path, d);
        EXPECT_THROW(
            voice.Speak(path, platform::IVoice::SVSFlagsAsync | platform::IVoice::SVSFIsFilename),
            platform::PlatformError)
            << d.name;
        EXPECT_EQ(voice.Status().RunningState, platform::IVoice::SRSEDone) << d.name;
    }
}

TEST(DamagedFilesTest, CharacterFileIsRefusedByTheAgentService) {
    QTemporaryDir folder;
    platform::PathLookup paths(folder.path());
    platform::AgentControl agents(paths);
    const QString path = folder.path() + "/CHAR/Merlin.acs";
    for (const Damage& d : Damages(QByteArray("VRBAGENT\x01\x00", 10))) {
        Place(path, d);
        EXPECT_THROW(agents.Load("Merlin", path), platform::PlatformError) << d.name;
        EXPECT_THROW(agents.Characters("Merlin"), platform::PlatformError) << d.name;
    }
}

class DamagedFilesWindowTest : public ExerFixture {
protected:
    // Follows the first sentence of the monologue lesson, said right or wrong.
    void Attempt(bool right) {
        frmExer& w = exer();
        w.EGrid->SetRow(1);
        w.modes().CmdFollowOne_Click();
        ASSERT_TRUE(voice().playNext());
        ASSERT_TRUE(reco().hear(right ? w.TargetText : QStringLiteral("Something else")));
    }
    void ExpectNothingEnded() {
        EXPECT_FALSE(fake.programEnd.endedWith);
        EXPECT_TRUE(fake.programEnd.runtimeErrors.isEmpty())
            << qPrintable(fake.programEnd.runtimeErrors.join("; "));
    }
};

TEST_F(DamagedFilesWindowTest, RewardSoundThatCannotPlayLeavesTheAttemptScored) {
    platform::PulseSound sound;
    fake.platform.sound = &sound;
    frmExer& w = LoadLesson("030101");
    program->vars.AgentChar = fake.agent.character("Merlin");
    program->vars.ScoreSound = 1; // the voice set: "good.wav", "try another.wav"
    int attempts = 0;
    for (const Damage& d : Damages(kWaveStart)) {
        Place(folder.path() + "/wave/good.wav", d);
        Place(folder.path() + "/wave/try another.wav", d);
        Attempt(true);
        Attempt(false);
        attempts += 2;
        // Both stored: the right one's point and the two practices.
        EXPECT_EQ(w.EGrid->TextMatrix(1, 3), QString::number(attempts)) << d.name;
        EXPECT_EQ(w.EGrid->TextMatrix(1, 4), QString::number(attempts / 2)) << d.name;
    }
    EXPECT_EQ(w.LbRCTip->text(), QString(" %1分").arg(attempts / 2));
    EXPECT_TRUE(fake.messages.shown.empty());
    ExpectNothingEnded();
}

TEST_F(DamagedFilesWindowTest, WithoutMerlinsFileTheMenuOpensLessonsAndPractiseGoesOn) {
    platform::AgentControl agents(fake.pathLookup);
    fake.platform.agent = &agents;
    program->vars.MerlinPath = folder.path() + "/CHAR/Merlin.acs";
    program->vars.AgentChoice = 0;
    for (const Damage& d : Damages(QByteArray("VRBAGENT\x01\x00", 10))) {
        Place(program->vars.MerlinPath, d);
        frmUnit& menu = program->forms.get<frmUnit>();
        menu.Form_Activate();
        EXPECT_TRUE(menu.canGo) << d.name << ": lessons open without the character";
        EXPECT_EQ(program->vars.AgentChar, nullptr) << d.name;
        program->forms.unload<frmUnit>();
    }
    frmExer& w = LoadLesson("030101");
    Attempt(true);
    EXPECT_EQ(w.EGrid->TextMatrix(1, 4), QStringLiteral("1"));
    EXPECT_TRUE(fake.messages.shown.empty());
    ExpectNothingEnded();
}

TEST_F(DamagedFilesWindowTest, HelpFileThatCannotBeShownIsTold) {
    platform::ChmHelpViewer viewer(fake.pathLookup);
    fake.platform.help = &viewer;
    frmUnit& menu = program->forms.get<frmUnit>();
    for (const Damage& d : Damages(kChmStart)) {
        Place(folder.path() + "/QVhelp.chm", d);
        fake.messages.shown.clear();
        menu.CmdDo_Click(1);
        ASSERT_EQ(fake.messages.shown.size(), 1u) << d.name;
        EXPECT_EQ(fake.messages.shown[0].text, QStringLiteral("无法打开帮助文件！")) << d.name;
        EXPECT_EQ(fake.messages.shown[0].title, QStringLiteral("错误")) << d.name;
    }
    ExpectNothingEnded();
}

} // namespace
