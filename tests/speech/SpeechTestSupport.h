#pragma once

#include <QString>

// Helpers shared by the speech tests: services, folders and generated audio.
namespace speechtest {

// True when a PulseAudio server answers; otherwise the caller skips, or fails
// when VERBARO_REQUIRE_SERVICES=1.
bool pulseAvailable();
bool servicesRequired();
// A folder for files the test writes (under VERBARO_TEST_TMP when set).
QString tempDir();
// Runs the event loop for `ms` milliseconds.
void pump(int ms);
// Speech made by espeak-ng (cached in tempDir()); empty when espeak-ng is missing.
QString speak(const QString& text, const QString& voice = "en-us", int wordsPerMinute = 160);
// Writes a mono 16-bit wave file of a sine tone.
void writeTone(const QString& path, double seconds, int sampleRate = 16000);

} // namespace speechtest

#define SKIP_WITHOUT_PULSE()                                                                       \
    do {                                                                                           \
        if (!speechtest::pulseAvailable()) {                                                       \
            if (speechtest::servicesRequired())                                                    \
                FAIL() << "PulseAudio is required but does not answer";                            \
            GTEST_SKIP() << "no PulseAudio server";                                                \
        }                                                                                          \
    } while (false)
