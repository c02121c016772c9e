#pragma once

#include "media/IMediaPlayer.h"

#include <QObject>

#include <atomic>
#include <memory>
#include <thread>

namespace platform {

// Wave playback on the default PulseAudio sink (libsndfile decodes) on a
// thread of its own, so the window thread stays free; the completion notice
// is posted back to the window thread once the end has been heard. A close
// or a new play stops the sound at once: what the server still holds is
// dropped, not played out, and the window thread waits only for the worker
// to notice. Without a sound server a play ends at once (and still sends its
// notice).
class PulseMediaPlayer : public IMediaPlayer {
public:
    PulseMediaPlayer();
    ~PulseMediaPlayer() override;

    bool open(const QString& path, QString* error) override;
    bool play(std::function<void()> notify) override;
    MediaMode mode() const override;
    void close() override;

private:
    struct Run;
    static void playFile(const QString& path, Run& run);
    void finishPlayback();

    QString m_path;
    bool m_open = false;
    std::shared_ptr<Run> m_run;
    std::thread m_thread;
    std::unique_ptr<QObject> m_context;
};

} // namespace platform
