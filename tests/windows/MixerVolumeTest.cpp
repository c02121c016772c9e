#include "FakePlatform.h"
#include "windows/clsCtlVolume.h"

#include <gtest/gtest.h>

using platform::MixerLine;
using platform::MsgIcon;

namespace {

struct Levels {
    std::int32_t speakerMin, speakerMax, speaker, micMin, micMax, mic;
};

Levels levelsOf(const clsCtlVolume& v) {
    return {v.prSpeakerMinVolume(), v.prSpeakerMaxVolume(), v.prSpeakerVolume(),
            v.prMicMinVolume(),     v.prMicMaxVolume(),     v.prMicVolume()};
}

void expectLevels(const Levels& got, const Levels& want, const char* what) {
    EXPECT_EQ(got.speakerMin, want.speakerMin) << what;
    EXPECT_EQ(got.speakerMax, want.speakerMax) << what;
    EXPECT_EQ(got.speaker, want.speaker) << what;
    EXPECT_EQ(got.micMin, want.micMin) << what;
    EXPECT_EQ(got.micMax, want.micMax) << what;
    EXPECT_EQ(got.mic, want.mic) << what;
}

TEST(MixerVolumeTest, OpeningReadsTheLinesTheCardHas) {
    struct Case {
        const char* what;
        bool available;
        bool speaker;
        bool microphone;
        bool errorShown;
        Levels levels;
    } cases[] = {
        {"both lines", true, true, true, false, {0, 65535, 40000, 0, 65535, 20000}},
        {"no microphone line", true, true, false, false, {0, 65535, 40000, 0, 0, 0}},
        {"no speaker line", true, false, true, false, {0, 0, 0, 0, 65535, 20000}},
        {"no mixer", false, true, true, true, {0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        FakePlatform fake;
        fake.mixer.available = c.available;
        fake.mixer.lines[MixerLine::Speaker].present = c.speaker;
        fake.mixer.lines[MixerLine::Microphone].present = c.microphone;
        clsCtlVolume volume(fake.platform);
        volume.meOpenMixer();
        expectLevels(levelsOf(volume), c.levels, c.what);
        EXPECT_EQ(volume.prMixerErr() != 0, !c.available) << c.what;
        if (c.errorShown) {
            ASSERT_EQ(fake.messages.shown.size(), 1u) << c.what;
            EXPECT_EQ(fake.messages.shown[0].text, "不能打开混音器！");
            EXPECT_EQ(fake.messages.shown[0].title, "提示");
            EXPECT_EQ(fake.messages.shown[0].icon, MsgIcon::Critical);
        } else {
            EXPECT_TRUE(fake.messages.shown.empty()) << c.what;
        }
    }
}

// A level written is kept and read back even where the mixer could not take it.
TEST(MixerVolumeTest, WritesAreStoredAndSentWhereThereIsALine) {
    struct Case {
        const char* what;
        bool available;
        bool microphone;
        bool refuses;
        std::int32_t level;
        bool speakerSent;
        bool micSent;
    } cases[] = {
        {"both lines", true, true, false, 30000, true, true},
        {"no microphone line", true, false, false, 30000, true, false},
        {"the mixer refuses", true, true, true, 30000, false, false},
        {"beyond the range", true, true, false, 70000, false, false},
        {"below the range", true, true, false, -2, false, false},
        {"no mixer", false, true, false, 30000, false, false},
    };
    for (const Case& c : cases) {
        FakePlatform fake;
        fake.mixer.available = c.available;
        fake.mixer.lines[MixerLine::Microphone].present = c.microphone;
        fake.mixer.refusesWrites = c.refuses;
        clsCtlVolume volume(fake.platform);
        volume.meOpenMixer();
        volume.setPrSpeakerVolume(c.level);
        volume.setPrMicVolume(c.level);
        EXPECT_EQ(volume.prSpeakerVolume(), c.level) << c.what;
        EXPECT_EQ(volume.prMicVolume(), c.level) << c.what;
        EXPECT_EQ(fake.mixer.lines[MixerLine::Speaker].level,
                  c.speakerSent ? std::uint32_t(c.level) : 40000u)
            << c.what;
        EXPECT_EQ(fake.mixer.lines[MixerLine::Microphone].level,
                  c.micSent ? std::uint32_t(c.level) : 20000u)
            << c.what;
    }
}

TEST(MixerVolumeTest, TheMixerIsClosedWhenTheObjectEnds) {
    FakePlatform fake;
    {
        clsCtlVolume volume(fake.platform);
        EXPECT_EQ(fake.mixer.openDevices, 0) << "opened only by meOpenMixer";
        volume.meOpenMixer();
        EXPECT_EQ(fake.mixer.openDevices, 1);
        volume.meOpenMixer();
        EXPECT_EQ(fake.mixer.openDevices, 1) << "opening again replaces the first";
        EXPECT_EQ(fake.mixer.opens, 2);
    }
    EXPECT_EQ(fake.mixer.openDevices, 0);
}

} // namespace
