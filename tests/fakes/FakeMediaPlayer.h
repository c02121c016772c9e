#pragma once

#include "media/IMediaPlayer.h"

#include <QStringList>

#include <functional>

// A wave player whose plays end when the test says so: `finish()` ends the
// current play as if the sound had run out; a close or a new open ends it
// early; either way its notice is kept in `pending` until `deliverNotices()`
// runs them (as the window thread's event loop would, later).
class FakeMediaPlayer : public platform::IMediaPlayer {
public:
    bool open(const QString& path, QString* error) override {
        close();
        if (unopenable.contains(path)) {
            if (error)
                *error = QStringLiteral("cannot open %1").arg(path);
            return false;
        }
        opened << path;
        m_mode = platform::MediaMode::Stopped;
        return true;
    }
    bool play(std::function<void()> notify) override {
        if (m_mode == platform::MediaMode::NotOpen)
            return false;
        endPlay();
        m_mode = platform::MediaMode::Playing;
        m_notify = std::move(notify);
        return true;
    }
    platform::MediaMode mode() const override { return m_mode; }
    void close() override {
        endPlay();
        m_mode = platform::MediaMode::NotOpen;
    }

    void finish() {
        endPlay();
        m_mode = platform::MediaMode::Stopped;
    }
    void deliverNotices() {
        auto notices = std::move(pending);
        pending.clear();
        for (auto& n : notices)
            n();
    }
    // Finishes the playing file and delivers the notices, `times` times over.
    void playThrough(int times) {
        for (int i = 0; i < times; ++i) {
            finish();
            deliverNotices();
        }
    }

    QStringList opened;
    QStringList unopenable;
    std::vector<std::function<void()>> pending;

private:
    void endPlay() {
        if (m_notify)
            pending.push_back(std::move(m_notify));
        m_notify = nullptr;
        if (m_mode == platform::MediaMode::Playing)
            m_mode = platform::MediaMode::Stopped;
    }

    platform::MediaMode m_mode = platform::MediaMode::NotOpen;
    std::function<void()> m_notify;
};
