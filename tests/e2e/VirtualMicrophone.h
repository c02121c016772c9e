#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace e2e {

// A microphone for the end-to-end tests: PulseAudio's pipe source (16 kHz
// mono s16le), made the default source of the test run's server, so every
// program that records from the default source hears it. A writer thread
// feeds the pipe at real-time pace: silence all the time, as a quiet room
// gives a real microphone, and speech when told to speak.
class VirtualMicrophone {
public:
    static constexpr int SampleRate = 16000;

    // Loads the source into the server named by PULSE_SERVER and makes it
    // the default; isValid() says whether that worked.
    VirtualMicrophone();
    // Stops feeding, gives the server its former default source back and
    // unloads the pipe source.
    ~VirtualMicrophone();
    VirtualMicrophone(const VirtualMicrophone&) = delete;
    VirtualMicrophone& operator=(const VirtualMicrophone&) = delete;

    bool isValid() const { return m_fd >= 0; }
    QString error() const { return m_error; }
    QString sourceName() const { return m_sourceName; }

    // Speech of `text` by espeak-ng, followed by a second of silence so that
    // voice activity detection ends the utterance; queued behind whatever
    // is still being said. Returns how long it lasts in milliseconds, or -1
    // when espeak-ng or sox failed.
    int say(const QString& text, const QString& voice = QStringLiteral("en-us+m3"),
            int wordsPerMinute = 160);
    // Queues raw samples (16 kHz mono s16le).
    void play(const QByteArray& samples);
    // Waits until everything queued has gone into the source.
    bool waitUntilSaid(int ms);
    bool speaking();

private:
    void feed();
    bool writeAll(const char* data, std::size_t size);
    void addRoomNoise(std::vector<char>& chunk);

    QString m_error;
    QString m_dir;
    QString m_sourceName;
    QString m_moduleIndex;
    QString m_formerDefault;
    int m_fd = -1;

    std::mutex m_mutex;
    std::condition_variable m_drained;
    std::deque<char> m_queue; // speech not yet written
    std::atomic<bool> m_stop{false};
    std::minstd_rand m_random{20261210};
    std::thread m_writer;
};

} // namespace e2e
