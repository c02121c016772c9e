#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

namespace platform {

// What the voice reports about itself; RunningState 2 means speaking, 1 done.
struct VoiceStatus {
    int RunningState = 1;
};

// A speech voice that plays wave files as numbered streams. Events reach the
// thread the voice lives on, always after the call that caused them returned.
class IVoice : public QObject {
    Q_OBJECT
public:
    // Flags of Speak: 1 asynchronous, 2 purge before speak, 4 the text is a file name.
    static constexpr int SVSFlagsAsync = 1;
    static constexpr int SVSFPurgeBeforeSpeak = 2;
    static constexpr int SVSFIsFilename = 4;
    static constexpr int SRSEDone = 1;
    static constexpr int SRSEIsSpeaking = 2;

    using QObject::QObject;
    ~IVoice() override = default;

    // Queues the wave file `text` (flags with SVSFIsFilename) and returns its
    // stream number; with SVSFPurgeBeforeSpeak first drops every playing and
    // queued stream. An empty text only purges and returns 0. Raises
    // PlatformError when the file is missing or not a wave file.
    virtual int Speak(const QString& text, int flags) = 0;
    virtual VoiceStatus Status() const = 0;

signals:
    void StartStream(qint32 StreamNumber, QVariant StreamPosition);
    void EndStream(qint32 StreamNumber, QVariant StreamPosition);
    // The sound output failed while stream StreamNumber played (the sound
    // server went away, for one): that stream and every one queued behind it
    // are dropped, no end event comes for them, and the voice is idle.
    void StreamFailed(qint32 StreamNumber, QString why);
};

} // namespace platform
