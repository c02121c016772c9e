#include "FakeAgent.h"
#include "PlatformError.h"
#include "core/GlobalVars.h"
#include "core/Module_Show.h"

#include <gtest/gtest.h>

namespace {

class ModuleShowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Agent1.Load("Merlin", "/p/CHAR/Merlin.acs");
        merlin = Agent1.character("Merlin");
    }

    GlobalVars g;
    FakeAgentControl Agent1;
    FakeAgentCharacter* merlin = nullptr;
};

TEST_F(ModuleShowTest, ShowAgentMakesTheCharacterCurrentInEnglishWithoutBalloonAndShowsIt) {
    merlin->languageID = 2052;
    merlin->balloonStyle = 0x00200007; // balloon on, other style bits set
    ShowAgent(g, Agent1, "Merlin");
    EXPECT_EQ(g.AgentChar, merlin);
    EXPECT_EQ(merlin->languageID, 1033);
    EXPECT_EQ(merlin->balloonStyle, 0x00200006) << "only bit 0 is cleared";
    EXPECT_TRUE(merlin->visible);
    EXPECT_EQ(merlin->calls, QStringList{"Show"});
}

TEST_F(ModuleShowTest, ShowAgentKeepsAClearedBalloonBitCleared) {
    merlin->balloonStyle = 0x6;
    ShowAgent(g, Agent1, "Merlin");
    EXPECT_EQ(merlin->balloonStyle, 0x6);
}

TEST_F(ModuleShowTest, ShowAgentOfACharacterNotLoadedRaisesAndKeepsTheCurrentOne) {
    ShowAgent(g, Agent1, "Merlin");
    EXPECT_THROW(ShowAgent(g, Agent1, "Genie"), platform::PlatformError);
    EXPECT_EQ(g.AgentChar, merlin);
}

TEST_F(ModuleShowTest, ParkAgentGlidesToTheLowerLeftInOneSecondThenGesturesLeft) {
    // Halves go to the even neighbour: 12.5 -> 12, 662.5 -> 662, 7.5 -> 8, 397.5 -> 398.
    struct Case {
        double scale;
        const char* move;
    } cases[] = {
        {1.0, "MoveTo 10,530,1000"}, {0.8, "MoveTo 8,424,1000"},  {1.25, "MoveTo 12,662,1000"},
        {0.75, "MoveTo 8,398,1000"}, {1.5, "MoveTo 15,795,1000"},
    };
    ShowAgent(g, Agent1, "Merlin");
    for (const Case& c : cases) {
        merlin->calls.clear();
        g.ScaleFactor = c.scale;
        ParkAgent(g);
        EXPECT_EQ(merlin->calls, (QStringList{c.move, "Play GestureLeft"})) << c.scale;
    }
}

TEST_F(ModuleShowTest, ShowAgentAfterAFailedLoadRaises) {
    Agent1.missingFiles = {"/p/CHAR/Genie.acs"};
    EXPECT_THROW(Agent1.Load("Genie", "/p/CHAR/Genie.acs"), platform::PlatformError);
    EXPECT_THROW(ShowAgent(g, Agent1, "Genie"), platform::PlatformError);
    EXPECT_EQ(g.AgentChar, nullptr);
}

TEST_F(ModuleShowTest, ParkAgentWithoutACurrentCharacterRaises) {
    EXPECT_THROW(ParkAgent(g), platform::PlatformError);
}

TEST_F(ModuleShowTest, ParkAgentPassesAMissingAnimationOn) {
    merlin->animations = {"RestPose"};
    ShowAgent(g, Agent1, "Merlin");
    EXPECT_THROW(ParkAgent(g), platform::PlatformError);
}

TEST(RoundHalfEvenTest, RoundsToNearestAndHalvesToEven) {
    const std::pair<double, int> cases[] = {{0.5, 0},    {1.5, 2},     {2.5, 2},  {-0.5, 0},
                                            {-1.5, -2},  {-2.5, -2},   {2.49, 2}, {2.51, 3},
                                            {-2.51, -3}, {662.5, 662}, {0.0, 0},  {7.0, 7}};
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(RoundHalfEven(value), expected) << value;
}

} // namespace
