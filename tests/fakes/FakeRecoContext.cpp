#include "FakeRecoContext.h"

#include <algorithm>

namespace {

// Removes itself from its context's list when released; tells its context
// when a rule is set active.
class TrackedGrammar : public FakeSpeechGrammar {
public:
    explicit TrackedGrammar(FakeRecoContext& context) : m_context(context) {
        m_context.grammars.push_back(this);
    }
    ~TrackedGrammar() override { std::erase(m_context.grammars, this); }
    void CmdSetRuleIdState(int RuleId, int State) override {
        FakeSpeechGrammar::CmdSetRuleIdState(RuleId, State);
        if (State != SGDSInactive)
            m_context.ruleActivated();
    }

private:
    FakeRecoContext& m_context;
};

} // namespace

std::unique_ptr<platform::ISpeechGrammar> FakeRecoContext::CreateGrammar(qint64 GrammarId) {
    Q_UNUSED(GrammarId);
    return std::make_unique<TrackedGrammar>(*this);
}

void FakeRecoContext::ruleActivated() {
    if (sourceLost)
        QMetaObject::invokeMethod(
            this, [this] { emit SourceLost(); }, Qt::QueuedConnection);
}

bool FakeRecoContext::hear(const QString& text, int confidence) {
    const bool listening = std::any_of(grammars.begin(), grammars.end(),
                                       [](const FakeSpeechGrammar* g) { return g->anyActive(); });
    if (!listening)
        return false;
    const bool known = std::any_of(grammars.begin(), grammars.end(),
                                   [&](const FakeSpeechGrammar* g) { return g->accepts(text); });
    platform::RecoResult result;
    result.PhraseInfo.text = text;
    result.PhraseInfo.confidence = confidence;
    result.PhraseInfo.confidenceLevel = properties.levelOf(confidence);
    ++utterances;
    if (known && properties.accepts(confidence)) {
        if (!(interests & SRERecognition))
            return false;
        emit Recognition(utterances, QVariant(0), SRTStandard, result);
        return true;
    }
    if (!(interests & SREFalseRecognition))
        return false;
    emit FalseRecognition(utterances, QVariant(0), result);
    return true;
}
