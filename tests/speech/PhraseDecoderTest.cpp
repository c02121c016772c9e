#include "speech/PhraseDecoder.h"
#include "SpeechTestSupport.h"
#include "speech/WaveFile.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>

using platform::PhraseDecoder;
using platform::Utterance;

namespace {

const QStringList kLesson{"How are you", "How old are you", "I like tea",
                          "Where is the bus station", "Nice to meet you too"};

class PhraseDecoderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (speechtest::speak("hello").isEmpty())
            return;
        s_decoder = std::make_unique<PhraseDecoder>();
        s_decoder->setPhrases(kLesson);
    }
    static void TearDownTestSuite() { s_decoder.reset(); }

    void SetUp() override {
        if (!s_decoder) {
            if (speechtest::servicesRequired())
                FAIL() << "espeak-ng is required";
            GTEST_SKIP() << "espeak-ng is missing";
        }
    }

    // The first utterance the decoder makes of `text` said by espeak-ng.
    static std::optional<Utterance> hear(const QString& text, const QString& voice, int speed) {
        return hearWith(*s_decoder, text, voice, speed);
    }

    static std::optional<Utterance> hearWith(PhraseDecoder& decoder, const QString& text,
                                             const QString& voice, int speed) {
        const QString wave = speechtest::speak(text, voice, speed);
        if (wave.isEmpty())
            return std::nullopt;
        std::vector<std::int16_t> audio(8000, 0);
        const auto speech = platform::WaveFile::read(wave).toMono16k();
        audio.insert(audio.end(), speech.begin(), speech.end());
        audio.resize(audio.size() + 16000, 0);
        for (std::size_t at = 0; at < audio.size(); at += 480) {
            const auto step =
                decoder.process(audio.data() + at, std::min<std::size_t>(480, audio.size() - at));
            if (step.ended)
                return step.ended;
        }
        return std::nullopt;
    }

    static inline std::unique_ptr<PhraseDecoder> s_decoder;
};

TEST_F(PhraseDecoderTest, QuickSpeechTooFastForTheModelIsHeardSlowedDown) {
    // Quicker than the model's shortest phones allow: only the slowed-down
    // second pass finds the sentence.
    const auto heard = hear("Nice to meet you too", "en-us+Andy", 260);
    ASSERT_TRUE(heard);
    EXPECT_EQ(heard->phrase, 4);
    EXPECT_TRUE(heard->slowed);
    EXPECT_GE(heard->confidence, 10);
}

TEST_F(PhraseDecoderTest, TheFirstSentenceANewDecoderHearsIsJudgedLikeTheNext) {
    // A lesson's first sentence said right after the lesson opened once came
    // back as nothing: the feature normalisation had not yet met any speech.
    const QStringList lesson{"Hello I'm Li Ming I'm the new designer", "Nice to meet you",
                             "I'm Anna from the sales department"};
    for (const char* voice : {"en-us", "en-us+m3", "en-gb+m4"}) {
        PhraseDecoder fresh;
        fresh.setPhrases(lesson);
        const auto first = hearWith(fresh, lesson[0], voice, 160);
        ASSERT_TRUE(first) << voice;
        EXPECT_EQ(first->phrase, 0) << voice;
        EXPECT_GE(first->confidence, 10) << voice;
    }
}

struct NearMiss {
    const char* said;
    int madeFrom;
    int difficulty; // the lowest at which it must already be turned down
};

TEST_F(PhraseDecoderTest, NearMissesAreNotAcceptedAsTheirSentence) {
    const NearMiss cases[] = {
        {"How are you doing", 0, 1},    // a word added at the end
        {"Nice to meet you", 4, 1},     // the last word dropped
        {"Where is bus station", 3, 5}, // a word dropped in the middle
        // A word changed: each fits its phrase well but for that word.
        {"How tall are you", 1, 6},
        {"We like tea", 2, 3},
    };
    for (const NearMiss& c : cases) {
        const auto heard = hear(c.said, "en-us+m3", 160);
        ASSERT_TRUE(heard) << c.said;
        EXPECT_FALSE(heard->phrase == c.madeFrom && heard->confidence >= c.difficulty * 10)
            << c.said << " accepted with confidence " << heard->confidence;
    }
}

} // namespace
