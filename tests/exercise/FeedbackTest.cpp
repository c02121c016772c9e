// The agent's animation and the reward sound after an attempt, with the
// draws chosen by the test.
#include "ExerFixture.h"
#include "exercise/ExerFeedback.h"
#include "exercise/frmExer.h"

#include <deque>

namespace {

class FeedbackTest : public ExerFixture {
protected:
    void SetUp() override {
        ExerFixture::SetUp();
        for (const char* name : {"Genie", "Peedy", "Robby"})
            fake.agent.Load(name, QString(name) + ".acs");
        LoadLesson("030101");
    }
    // Feedback for a grade with the draws intRan, then r.
    void Feedback(int agentChoice, int scoreSound, int scores, int intRan, int r) {
        GlobalVars& g = program->vars;
        static const char* const names[] = {"Genie", "Merlin", "Peedy", "Robby"};
        g.AgentChoice = static_cast<std::int16_t>(agentChoice);
        g.AgentChar = agentChoice >= 1 && agentChoice <= 4
                          ? fake.agent.character(names[agentChoice - 1])
                          : fake.agent.character("Merlin");
        g.ScoreSound = static_cast<std::int16_t>(scoreSound);
        std::deque<int> draws{intRan, r};
        exer().feedback().SetRandom([draws]() mutable {
            const int d = draws.front();
            draws.pop_front();
            return d;
        });
        character = static_cast<FakeAgentCharacter*>(g.AgentChar);
        character->calls.clear();
        fake.sound.played.clear();
        exer().feedback().Show4DaFen(static_cast<std::int16_t>(scores));
    }
    QString Sound() const {
        if (fake.sound.played.isEmpty())
            return "none";
        return fake.sound.played.join(",").remove(folder.path() + "/wave/");
    }
    FakeAgentCharacter* character = nullptr;
};

TEST_F(FeedbackTest, EachCharacterPlaysItsAnimationForTheDraw) {
    struct Case {
        int agent;
        int scores;
        int intRan;
        const char* animation;
    };
    const Case cases[] = {
        {1, 1, 1, "Congratulate"},   {1, 2, 35, "Congratulate"},  {1, 3, 36, "Congratulate_2"},
        {1, 5, 71, "suggest"},       {1, 0, 33, "uncertain"},     {1, 0, 34, "stoplistening"},
        {1, 0, 80, "stoplistening"}, {1, 0, 81, "announce"},      {2, 1, 70, "Congratulate_2"},
        {2, 1, 100, "surprised"},    {2, 0, 1, "confused"},       {2, 0, 34, "dontrecognize"},
        {2, 0, 70, "dontrecognize"}, {2, 0, 71, "stoplistening"}, {3, 1, 20, "domagic1"},
        {3, 1, 21, "domagic2"},      {3, 1, 60, "congratulate"},  {3, 1, 61, "pleased"},
        {3, 1, 81, "surprised"},     {3, 0, 40, "confused"},      {3, 0, 50, "stoplistening"},
        {3, 0, 63, "stoplistening"}, {3, 0, 64, "decline"},       {3, 0, 70, "decline"},
        {3, 0, 81, "stoplistening"}, {4, 1, 50, "congratulate"},  {4, 1, 51, "surprised"},
        {4, 0, 50, "stoplistening"}, {4, 0, 51, "sad"},
    };
    for (const Case& c : cases) {
        Feedback(c.agent, 4, c.scores, c.intRan, 50);
        EXPECT_EQ(character->calls, QStringList({"Show", QString("Play ") + c.animation}))
            << c.agent << " " << c.scores << " " << c.intRan;
        EXPECT_EQ(Sound(), "none");
    }
}

TEST_F(FeedbackTest, TheSoundSetGradeAndDrawPickTheSound) {
    exer().TryCount = 1; // the one attempt allowed was made
    struct Case {
        int scoreSound;
        int scores;
        int r;
        const char* sound;
    };
    const Case cases[] = {
        {1, 1, 50, "good.wav"},    {1, 2, 50, "ok.wav"},      {1, 3, 50, "well done.wav"},
        {1, 5, 50, "perfect.wav"}, {1, 4, 50, "none"},        {1, 0, 50, "try another.wav"},
        {2, 1, 33, "win001.wav"},  {2, 2, 34, "win002.wav"},  {2, 5, 71, "win003.wav"},
        {2, 0, 1, "lost001.wav"},  {2, 0, 70, "lost002.wav"}, {2, 0, 100, "lost003.wav"},
        {3, 3, 33, "win201.wav"},  {3, 1, 70, "win202.wav"},  {3, 1, 71, "win203.wav"},
        {3, 0, 33, "lost201.wav"}, {3, 0, 34, "lost202.wav"}, {3, 0, 71, "lost203.wav"},
        {4, 1, 50, "none"},        {0, 1, 50, "none"},
    };
    for (const Case& c : cases) {
        Feedback(2, c.scoreSound, c.scores, 10, c.r);
        EXPECT_EQ(Sound(), c.sound) << c.scoreSound << " " << c.scores << " " << c.r;
        EXPECT_EQ(character->calls.size(), 2) << "the animation plays whatever the sound";
    }
}

TEST_F(FeedbackTest, AWrongAttemptWithAttemptsLeftSaysTryAgain) {
    exer().RETRYNUMS = 3;
    for (int tryCount : {1, 2, 3}) {
        exer().TryCount = static_cast<std::int16_t>(tryCount);
        Feedback(2, 1, 0, 10, 50);
        EXPECT_EQ(Sound(), tryCount < 3 ? "try again.wav" : "try another.wav") << tryCount;
    }
}

TEST_F(FeedbackTest, WithoutACharacterOnlyTheSoundPlays) {
    Feedback(5, 1, 1, 10, 50);
    EXPECT_TRUE(character->calls.isEmpty());
    EXPECT_EQ(Sound(), "good.wav");
    Feedback(0, 1, 1, 10, 50); // no choice made yet: nothing at all
    EXPECT_TRUE(character->calls.isEmpty());
    EXPECT_EQ(Sound(), "none");
}

} // namespace
