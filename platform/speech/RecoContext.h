#pragma once

#include "IAudioSource.h"
#include "IRecoContext.h"
#include "PhraseDecoder.h"
#include "RecognizerProperties.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace platform {

class SpeechGrammar;

// The recognition context over PocketSphinx. A listener thread reads the
// audio source all the time and feeds one warm PhraseDecoder; an utterance is
// judged only when the same set of active rules held from the start of its
// speech until its event is delivered on the context's thread (each change of
// the active rules starts a new "epoch"). The phrases of every loaded rule
// form one search; a phrase of an inactive rule, a confidence below the
// normal threshold, or no phrase at all is a false recognition.
class RecoContext : public IRecoContext {
    Q_OBJECT
public:
    // Starts the source; raises PlatformError when it or the model fails.
    explicit RecoContext(std::unique_ptr<IAudioSource> source, QObject* parent = nullptr);
    ~RecoContext() override;

    std::unique_ptr<ISpeechGrammar> CreateGrammar(qint64 GrammarId) override;
    IRecognizer& Recognizer() override { return m_properties; }
    qint64 EventInterests() const override { return m_interests; }
    void SetEventInterests(qint64 interests) override { m_interests = interests; }

    // Called by the grammars of this context.
    void grammarChanged(bool phrasesChanged);
    void ruleActivated();
    void forget(SpeechGrammar* grammar);

private:
    struct Owner {
        const SpeechGrammar* grammar;
        std::size_t rule;
    };
    struct Heard {
        quint64 epoch = 0;
        quint64 version = 0;
        qint32 number = 0;
        qint64 position = 0;
        Utterance utterance;
    };

    void listen();
    bool reopenSource();
    void takeNewPhrases();
    void deliver(const Heard& heard);
    bool ruleActive(const Owner& owner) const;

    // Context thread.
    std::vector<SpeechGrammar*> m_grammars;
    std::vector<QString> m_phraseTexts;
    std::vector<Owner> m_phraseOwners;
    RecognizerProperties m_properties;
    qint64 m_interests = SREAllEvents & ~SREAudioLevel;
    quint64 m_epochCounter = 0;
    quint64 m_versionCounter = 0;

    // Shared with the listener thread.
    std::atomic<quint64> m_epoch{0}; // 0 while no rule is active
    std::atomic<quint64> m_version{0};
    std::atomic<bool> m_phrasesPending{false};
    // From the loss of the microphone's audio until it is opened again.
    std::atomic<bool> m_sourceLost{false};
    std::mutex m_mutex;
    QStringList m_pendingPhrases;
    quint64 m_pendingVersion = 0;

    // Listener thread.
    quint64 m_decoderVersion = 0;
    std::unique_ptr<IAudioSource> m_source;
    std::unique_ptr<PhraseDecoder> m_decoder;
    std::thread m_listener;
    // Closing: set by the destructor; the source is started (again) and
    // stopped under the mutex, so a stop never falls between the two.
    std::mutex m_sourceMutex;
    std::condition_variable m_sourceWake;
    bool m_closing = false;
};

} // namespace platform
