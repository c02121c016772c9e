#include "VirtualMicrophone.h"

#include "E2ESupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <random>
#include <unistd.h>
#include <vector>

namespace e2e {

namespace {

// The writer's step: small enough that an utterance ends on time.
constexpr int kChunkMs = 20;
constexpr std::size_t kChunkBytes = VirtualMicrophone::SampleRate / 1000 * kChunkMs * 2;
// Peak of the room's hiss, about 66 dB below full scale: a quiet room and a
// decent microphone.
constexpr int kRoomNoise = 16;

QByteArray silence(int ms) {
    return QByteArray(VirtualMicrophone::SampleRate / 1000 * ms * 2, '\0');
}

} // namespace

VirtualMicrophone::VirtualMicrophone() {
    m_dir = QDir::tempPath() + "/verbaro-mic-" + QUuid::createUuid().toString(QUuid::Id128);
    QDir().mkpath(m_dir);
    m_sourceName = "verbaro_mic_" + QUuid::createUuid().toString(QUuid::Id128).left(8);
    const QString fifo = m_dir + "/mic.fifo";
    m_formerDefault = run("pactl", {"get-default-source"}).trimmed();
    // The module makes the fifo itself; one made beforehand is not read.
    int status = -1;
    m_moduleIndex =
        run("pactl",
            {"load-module", "module-pipe-source", "source_name=" + m_sourceName, "file=" + fifo,
             "format=s16le", "rate=" + QString::number(SampleRate), "channels=1"},
            &status)
            .trimmed();
    if (status != 0 || m_moduleIndex.isEmpty()) {
        m_error = "PulseAudio did not load module-pipe-source";
        return;
    }
    run("pactl", {"set-default-source", m_sourceName}, &status);
    if (status != 0) {
        m_error = "the pipe source cannot be made the default source";
        return;
    }
    // The server holds the fifo open for reading, so this does not block.
    m_fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) {
        m_error = "cannot open the pipe source's fifo: " + QString::fromLocal8Bit(strerror(errno));
        return;
    }
    m_writer = std::thread([this] { feed(); });
}

VirtualMicrophone::~VirtualMicrophone() {
    m_stop = true;
    if (m_writer.joinable())
        m_writer.join();
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_formerDefault.isEmpty())
        run("pactl", {"set-default-source", m_formerDefault});
    if (!m_moduleIndex.isEmpty())
        run("pactl", {"unload-module", m_moduleIndex});
    QDir(m_dir).removeRecursively();
}

int VirtualMicrophone::say(const QString& text, const QString& voice, int wordsPerMinute) {
    const QString wave = m_dir + "/speech.wav";
    const QString raw = m_dir + "/speech.raw";
    if (QProcess::execute("espeak-ng", {"-v", voice, "-s", QString::number(wordsPerMinute), "-w",
                                        wave, text}) != 0)
        return -1;
    if (QProcess::execute("sox", {wave, "-t", "raw", "-r", QString::number(SampleRate), "-c", "1",
                                  "-b", "16", "-e", "signed-integer", "-L", raw}) != 0)
        return -1;
    QFile file(raw);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    QByteArray samples = file.readAll();
    samples += silence(1000);
    play(samples);
    return static_cast<int>(samples.size() / 2 * 1000 / SampleRate);
}

void VirtualMicrophone::play(const QByteArray& samples) {
    std::lock_guard lock(m_mutex);
    m_queue.insert(m_queue.end(), samples.begin(), samples.end());
}

bool VirtualMicrophone::speaking() {
    std::lock_guard lock(m_mutex);
    return !m_queue.empty();
}

bool VirtualMicrophone::waitUntilSaid(int ms) {
    std::unique_lock lock(m_mutex);
    return m_drained.wait_for(lock, std::chrono::milliseconds(ms),
                              [this] { return m_queue.empty() || m_stop; });
}

// One chunk every 20 ms on a steady clock. Silence that the pipe has no room
// for is dropped (nobody records); speech waits for room, so none is lost.
void VirtualMicrophone::feed() {
    using Clock = std::chrono::steady_clock;
    auto next = Clock::now();
    std::vector<char> chunk(kChunkBytes);
    while (!m_stop) {
        next += std::chrono::milliseconds(kChunkMs);
        std::this_thread::sleep_until(next);
        if (Clock::now() - next > std::chrono::milliseconds(200))
            next = Clock::now(); // fell behind (a busy machine): do not burst to catch up
        bool speech = false;
        {
            std::lock_guard lock(m_mutex);
            std::fill(chunk.begin(), chunk.end(), '\0');
            const std::size_t n = std::min(kChunkBytes, m_queue.size());
            std::copy(m_queue.begin(), m_queue.begin() + static_cast<std::ptrdiff_t>(n),
                      chunk.begin());
            m_queue.erase(m_queue.begin(), m_queue.begin() + static_cast<std::ptrdiff_t>(n));
            speech = n > 0;
            if (m_queue.empty())
                m_drained.notify_all();
        }
        addRoomNoise(chunk);
        if (speech)
            writeAll(chunk.data(), chunk.size());
        else
            (void)::write(m_fd, chunk.data(), chunk.size());
    }
    std::lock_guard lock(m_mutex);
    m_drained.notify_all();
}

// A real microphone never gives digital silence: a faint hiss of the room.
void VirtualMicrophone::addRoomNoise(std::vector<char>& chunk) {
    std::uniform_int_distribution<int> noise(-kRoomNoise, kRoomNoise);
    for (std::size_t i = 0; i + 1 < chunk.size(); i += 2) {
        auto sample = static_cast<std::int16_t>(static_cast<unsigned char>(chunk[i]) |
                                                static_cast<unsigned char>(chunk[i + 1]) << 8);
        const int noisy = std::clamp(sample + noise(m_random), -32768, 32767);
        chunk[i] = static_cast<char>(noisy & 0xff);
        chunk[i + 1] = static_cast<char>((noisy >> 8) & 0xff);
    }
}

bool VirtualMicrophone::writeAll(const char* data, std::size_t size) {
    while (size > 0 && !m_stop) {
        const ssize_t n = ::write(m_fd, data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else {
            pollfd p{m_fd, POLLOUT, 0};
            ::poll(&p, 1, 100);
        }
    }
    return size == 0;
}

} // namespace e2e
