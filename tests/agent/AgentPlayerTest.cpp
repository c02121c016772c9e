#include "AgentTestSupport.h"
#include "PlatformError.h"
#include "agent/AgentCharacter.h"
#include "agent/AgentControl.h"
#include "paths/PathLookup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

using platform::AgentCharacter;
using platform::PlatformError;

namespace {

class AgentPlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { AgentTestSupport::ensureApplication(); }

    AgentCharacter& load(const QString& name) {
        control.Load(name, AgentTestSupport::characterFile(name));
        return *control.find(name);
    }
    static bool idle(const AgentCharacter& c) { return !c.isBusy(); }

    QTemporaryDir drives;
    platform::PathLookup paths{drives.path()};
    platform::AgentControl control{paths};
};

TEST_F(AgentPlayerTest, EveryCharacterPlaysEachOfItsAnimationsWithoutWaiting) {
    for (const auto& c : AgentTestSupport::characters()) {
        AgentCharacter& character = load(c.name);
        for (const QString& animation : c.animations) {
            character.Play(animation);
            // Still running when the call is back: Play only started it.
            EXPECT_EQ(character.playingAnimation(), animation) << c.name.toStdString();
            ASSERT_TRUE(AgentTestSupport::waitUntil([&] { return idle(character); }))
                << animation.toStdString();
            EXPECT_TRUE(character.playingAnimation().isEmpty());
        }
        control.Unload(c.name);
    }
}

TEST_F(AgentPlayerTest, UnknownCharacterAnimationOrFileIsAnError) {
    AgentCharacter& merlin = load("Merlin");
    EXPECT_THROW(control.Characters("Genie"), PlatformError);
    EXPECT_THROW(merlin.Play("Fly"), PlatformError);
    EXPECT_THROW(merlin.Play(""), PlatformError);
    EXPECT_FALSE(merlin.isBusy()) << "a refused request is not queued";
    EXPECT_THROW(control.Load("Merlin", AgentTestSupport::characterFile("Merlin")), PlatformError)
        << "already loaded";
    EXPECT_THROW(control.Load("Ghost", drives.path() + "/CHAR/Ghost.acs"), PlatformError);
    EXPECT_EQ(control.find("Ghost"), nullptr);
}

TEST_F(AgentPlayerTest, CorruptCharacterFileIsAnError) {
    QFile source(AgentTestSupport::characterFile("Peedy"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QByteArray bytes = source.readAll();
    bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x01);
    const QString broken = drives.path() + "/Peedy.acs";
    QFile out(broken);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    EXPECT_THROW(control.Load("Peedy", broken), PlatformError);
    EXPECT_THROW(control.Characters("Peedy"), PlatformError);
}

TEST_F(AgentPlayerTest, CharacterFileIsFoundWithoutRegardToCase) {
    QDir(drives.path()).mkpath("prog/CHAR");
    ASSERT_TRUE(QFile::copy(AgentTestSupport::characterFile("Robby"),
                            drives.path() + "/prog/CHAR/Robby.acs"));
    control.Load("Robby", drives.path() + "/prog/char/ROBBY.ACS");
    EXPECT_NO_THROW(control.Characters("robby").Play("sad"));
}

TEST_F(AgentPlayerTest, NamesAreHeldAsLoadedAndUnloadedCharactersRefuseCalls) {
    load("Genie");
    load("Robby");
    platform::IAgentCharacter& genie = control.Characters("Genie");
    genie.Show();
    control.Unload("Genie");
    control.Unload("Genie"); // not loaded any more: nothing happens
    EXPECT_THROW(control.Characters("Genie"), PlatformError);
    EXPECT_THROW(genie.Play("suggest"), PlatformError);
    EXPECT_THROW(genie.Show(), PlatformError);
    EXPECT_THROW(static_cast<void>(genie.Left()), PlatformError);
    EXPECT_NO_THROW(control.Characters("Robby").Play("sad"));
    load("Genie"); // the name is free again
    EXPECT_NE(&control.Characters("Genie"), &genie);
}

TEST_F(AgentPlayerTest, MoveToGlidesToTheTargetAndThenPlaysWhatWasQueued) {
    AgentCharacter& merlin = load("Merlin");
    merlin.setLeft(600);
    merlin.setTop(40);
    merlin.Show();
    merlin.MoveTo(8, 424, 300);
    merlin.Play("GestureLeft");
    EXPECT_EQ(merlin.Left(), 600) << "the glide waits for Showing";
    ASSERT_TRUE(AgentTestSupport::waitUntil([&] { return merlin.isMoving(); }));
    EXPECT_EQ(merlin.queuedActions(), 1);
    ASSERT_TRUE(AgentTestSupport::waitUntil([&] {
        return merlin.Left() < 600 && merlin.Left() > 8;
    })) << "the character passes points between start and target";
    ASSERT_TRUE(AgentTestSupport::waitUntil([&] { return !merlin.isMoving(); }));
    EXPECT_EQ(merlin.playingAnimation(), "GestureLeft");
    EXPECT_EQ(QPoint(merlin.Left(), merlin.Top()), QPoint(8, 424));
    EXPECT_EQ(merlin.window()->pos(), QPoint(8, 424));
    ASSERT_TRUE(AgentTestSupport::waitUntil([&] { return idle(merlin); }));
}

TEST_F(AgentPlayerTest, MoveWithNoDurationJumps) {
    AgentCharacter& robby = load("Robby");
    robby.MoveTo(77, 55, 0);
    EXPECT_EQ(QPoint(robby.Left(), robby.Top()), QPoint(77, 55));
    EXPECT_FALSE(robby.isBusy());
}

TEST_F(AgentPlayerTest, StopDropsTheQueuedActions) {
    AgentCharacter& peedy = load("Peedy");
    peedy.Play("domagic1");
    peedy.MoveTo(500, 500, 200);
    peedy.Play("pleased");
    EXPECT_EQ(peedy.queuedActions(), 2);
    peedy.Stop();
    EXPECT_FALSE(peedy.isBusy());
    EXPECT_EQ(peedy.queuedActions(), 0);
    AgentTestSupport::pump(400);
    EXPECT_TRUE(peedy.playingAnimation().isEmpty());
    EXPECT_EQ(QPoint(peedy.Left(), peedy.Top()), QPoint(0, 0)) << "the dropped move never ran";
    peedy.Play("decline"); // the queue works again after a stop
    EXPECT_EQ(peedy.playingAnimation(), "decline");
}

TEST_F(AgentPlayerTest, ShowAndHideChangeVisibilityAroundTheirAnimations) {
    AgentCharacter& genie = load("Genie");
    EXPECT_FALSE(genie.Visible());
    EXPECT_FALSE(genie.window()->isVisible());
    genie.Show();
    EXPECT_TRUE(genie.Visible());
    EXPECT_TRUE(genie.window()->isVisible());
    EXPECT_EQ(genie.playingAnimation(), "Showing");
    genie.Show(); // already shown: nothing more is queued
    EXPECT_EQ(genie.queuedActions(), 0);
    genie.Hide();
    EXPECT_FALSE(genie.Visible());
    EXPECT_TRUE(genie.window()->isVisible()) << "still showing, then hiding";
    ASSERT_TRUE(AgentTestSupport::waitUntil([&] { return !genie.window()->isVisible(); }));
    EXPECT_FALSE(genie.isBusy());

    genie.Show();
    genie.Play("announce");
    genie.Hide();
    genie.Stop(); // the hide still happens, without its animation
    EXPECT_FALSE(genie.window()->isVisible());
}

TEST_F(AgentPlayerTest, LanguageAndBalloonStyleAreKept) {
    AgentCharacter& merlin = load("Merlin");
    merlin.setLanguageID(2052);
    merlin.setBalloonStyle(0x00200006);
    EXPECT_EQ(merlin.LanguageID(), 2052);
    EXPECT_EQ(merlin.BalloonStyle(), 0x00200006);
}

TEST_F(AgentPlayerTest, ANewRequestInterruptsTheIdleAnimation) {
    AgentCharacter& robby = load("Robby");
    robby.Show();
    ASSERT_TRUE(AgentTestSupport::waitUntil([&] { return idle(robby); }));
    ASSERT_TRUE(
        AgentTestSupport::waitUntil([&] { return robby.playingAnimation() == "Idle"; }, 20000));
    EXPECT_FALSE(robby.isBusy()) << "idling is not a request";
    robby.Play("surprised");
    EXPECT_EQ(robby.playingAnimation(), "surprised");
}

} // namespace
