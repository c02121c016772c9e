#pragma once

#include "ISpeechGrammar.h"
#include "RecoResult.h"

#include <QObject>
#include <QVariant>
#include <memory>

namespace platform {

class IRecognizer;

// A shared recognition context: it makes grammars, owns the recogniser's
// settings and raises recognition events on the thread it lives on, after the
// call that caused them returned, and only those asked for in EventInterests.
class IRecoContext : public QObject {
    Q_OBJECT
public:
    // Event interest bits.
    static constexpr qint64 SREStreamEnd = 1;
    static constexpr qint64 SRESoundStart = 2;
    static constexpr qint64 SRESoundEnd = 4;
    static constexpr qint64 SREPhraseStart = 8;
    static constexpr qint64 SRERecognition = 16;
    static constexpr qint64 SREHypothesis = 32;
    static constexpr qint64 SREBookmark = 64;
    static constexpr qint64 SREPropertyNumChange = 128;
    static constexpr qint64 SREPropertyStringChange = 256;
    static constexpr qint64 SREFalseRecognition = 512;
    static constexpr qint64 SREInterference = 1024;
    static constexpr qint64 SRERequestUI = 2048;
    static constexpr qint64 SREStateChange = 4096;
    static constexpr qint64 SREAdaptation = 8192;
    static constexpr qint64 SREStreamStart = 16384;
    static constexpr qint64 SRERecoOtherContext = 32768;
    static constexpr qint64 SREAudioLevel = 65536;
    static constexpr qint64 SREPrivate = 262144;
    static constexpr qint64 SREAllEvents = 393215;
    static constexpr int SRTStandard = 0;

    using QObject::QObject;
    ~IRecoContext() override = default;

    // A new, empty grammar of this context; the caller owns it.
    virtual std::unique_ptr<ISpeechGrammar> CreateGrammar(qint64 GrammarId) = 0;
    virtual IRecognizer& Recognizer() = 0;
    virtual qint64 EventInterests() const = 0;
    virtual void SetEventInterests(qint64 interests) = 0;

signals:
    void Recognition(qint32 StreamNumber, QVariant StreamPosition, int RecognitionType,
                     platform::RecoResult Result);
    void FalseRecognition(qint32 StreamNumber, QVariant StreamPosition,
                          platform::RecoResult Result);
    // The microphone's audio stopped coming (the sound server went away):
    // nothing is heard until it is back. The context keeps trying to open it
    // again and listens as before once that works. Raised once per loss, and
    // again each time a rule is set active while the microphone is still
    // lost, whatever the event interests.
    void SourceLost();
};

} // namespace platform
