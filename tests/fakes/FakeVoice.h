#pragma once

#include "speech/IVoice.h"

#include <QSet>
#include <QStringList>
#include <deque>

// A voice that plays nothing: it records what was queued and raises the
// stream events only when the test says so, numbered as the real voice does
// (1 for the first stream queued while idle).
class FakeVoice : public platform::IVoice {
    Q_OBJECT
public:
    int Speak(const QString& text, int flags) override;
    platform::VoiceStatus Status() const override;

    // Raises the start event of the next queued stream; false when none is queued.
    bool startNext();
    // Raises the end event of the stream that started last.
    bool endCurrent();
    // startNext() then endCurrent().
    bool playNext();
    // The sound output fails under the stream that started last: it and the
    // queued streams are dropped and StreamFailed is raised, as the real voice
    // does when the sound server goes away.
    bool failCurrent(const QString& why = QStringLiteral("Connection terminated"));

    QStringList spoken;    // every file queued, in order
    QSet<QString> refused; // files whose Speak raises PlatformError
    int purges = 0;

private:
    struct Stream {
        qint32 number;
        QString path;
    };
    std::deque<Stream> m_queue;
    qint32 m_current = 0;
    qint32 m_nextNumber = 1;
};
