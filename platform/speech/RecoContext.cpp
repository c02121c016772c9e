#include "RecoContext.h"

#include "PlatformError.h"
#include "SpeechGrammar.h"

namespace platform {

namespace {
constexpr std::size_t kBlockSamples = 480; // 30 ms
}

RecoContext::RecoContext(std::unique_ptr<IAudioSource> source, QObject* parent)
    : IRecoContext(parent), m_source(std::move(source)),
      m_decoder(std::make_unique<PhraseDecoder>()) {
    qRegisterMetaType<platform::RecoResult>();
    m_source->start();
    m_listener = std::thread([this] { listen(); });
}

RecoContext::~RecoContext() {
    {
        std::lock_guard lock(m_sourceMutex);
        m_closing = true;
        m_source->stop();
    }
    m_sourceWake.notify_all();
    m_listener.join();
    for (SpeechGrammar* grammar : m_grammars)
        grammar->detach();
}

std::unique_ptr<ISpeechGrammar> RecoContext::CreateGrammar(qint64 GrammarId) {
    Q_UNUSED(GrammarId);
    auto grammar = std::make_unique<SpeechGrammar>(this);
    m_grammars.push_back(grammar.get());
    return grammar;
}

void RecoContext::forget(SpeechGrammar* grammar) {
    std::erase(m_grammars, grammar);
    grammarChanged(true);
}

void RecoContext::grammarChanged(bool phrasesChanged) {
    bool anyActive = false;
    for (const SpeechGrammar* grammar : m_grammars)
        for (const auto& rule : grammar->rules())
            anyActive = anyActive || rule.active;
    if (phrasesChanged) {
        m_phraseTexts.clear();
        m_phraseOwners.clear();
        for (const SpeechGrammar* grammar : m_grammars) {
            for (std::size_t r = 0; r < grammar->rules().size(); ++r) {
                for (const QString& phrase : grammar->rules()[r].rule.phrases) {
                    m_phraseTexts.push_back(phrase);
                    m_phraseOwners.push_back({grammar, r});
                }
            }
        }
        std::lock_guard lock(m_mutex);
        m_pendingPhrases = QStringList(m_phraseTexts.begin(), m_phraseTexts.end());
        m_pendingVersion = ++m_versionCounter;
        m_version = m_pendingVersion;
        m_phrasesPending = true;
    }
    ++m_epochCounter;
    m_epoch = anyActive ? m_epochCounter : 0;
}

// Whoever starts listening while the microphone is lost would wait for
// speech that cannot come (a rule may have been left active while nobody
// listened, so every activation counts, not only a change).
void RecoContext::ruleActivated() {
    if (m_sourceLost)
        QMetaObject::invokeMethod(
            this, [this] { emit SourceLost(); }, Qt::QueuedConnection);
}

bool RecoContext::ruleActive(const Owner& owner) const {
    for (const SpeechGrammar* grammar : m_grammars)
        if (grammar == owner.grammar)
            return owner.rule < grammar->rules().size() && grammar->rules()[owner.rule].active;
    return false;
}

void RecoContext::takeNewPhrases() {
    QStringList phrases;
    {
        std::lock_guard lock(m_mutex);
        phrases = m_pendingPhrases;
        m_decoderVersion = m_pendingVersion;
        m_phrasesPending = false;
    }
    m_decoder->setPhrases(phrases);
}

void RecoContext::listen() {
    std::vector<std::int16_t> block(kBlockSamples);
    qint64 samples = 0;
    qint32 utterances = 0;
    quint64 epochAtStart = 0;
    for (;;) {
        const std::size_t n = m_source->read(block.data(), block.size());
        if (n == 0) {
            if (!reopenSource())
                return;
            continue;
        }
        if (m_phrasesPending)
            takeNewPhrases();
        const PhraseDecoder::Step step = m_decoder->process(block.data(), n);
        samples += static_cast<qint64>(n);
        if (step.speechStarted)
            epochAtStart = m_epoch;
        if (!step.ended)
            continue;
        ++utterances;
        if (epochAtStart == 0)
            continue;
        Heard heard{epochAtStart, m_decoderVersion, utterances, samples * 2, *step.ended};
        epochAtStart = 0;
        QMetaObject::invokeMethod(
            this, [this, heard] { deliver(heard); }, Qt::QueuedConnection);
    }
}

// The source ended without being stopped (the sound server went away): the
// window hears of it at once (and again whenever a rule is made active while
// it is still gone), and the source is opened again every second until
// that works or the context closes, so the learner is heard again once the
// server is back.
bool RecoContext::reopenSource() {
    {
        std::lock_guard lock(m_sourceMutex);
        if (m_closing)
            return false;
        m_sourceLost = true;
        QMetaObject::invokeMethod(
            this, [this] { emit SourceLost(); }, Qt::QueuedConnection);
    }
    for (;;) {
        std::unique_lock lock(m_sourceMutex);
        if (m_sourceWake.wait_for(lock, std::chrono::seconds(1), [this] { return m_closing; }))
            return false;
        try {
            m_source->start();
            m_sourceLost = false;
            return true;
        } catch (const std::exception&) {
            // still gone (or no memory to open it with): try again later
        }
    }
}

void RecoContext::deliver(const Heard& heard) {
    if (heard.epoch != m_epoch || heard.version != m_version)
        return; // the rules changed while the learner spoke
    const Utterance& u = heard.utterance;
    const bool known = u.phrase >= 0 && static_cast<std::size_t>(u.phrase) < m_phraseTexts.size();
    RecoResult result;
    result.PhraseInfo.text = known ? m_phraseTexts[static_cast<std::size_t>(u.phrase)] : QString();
    result.PhraseInfo.confidence = u.confidence;
    result.PhraseInfo.confidenceLevel = m_properties.levelOf(u.confidence);
    const bool recognised = known &&
                            ruleActive(m_phraseOwners[static_cast<std::size_t>(u.phrase)]) &&
                            m_properties.accepts(u.confidence);
    const QVariant position(heard.position);
    if (recognised && (m_interests & SRERecognition))
        emit Recognition(heard.number, position, SRTStandard, result);
    else if (!recognised && (m_interests & SREFalseRecognition))
        emit FalseRecognition(heard.number, position, result);
}

} // namespace platform
