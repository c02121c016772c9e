#include "SpeechGrammar.h"

#include "PlatformError.h"
#include "RecoContext.h"

namespace platform {

SpeechGrammar::SpeechGrammar(RecoContext* context) : m_context(context) {}

SpeechGrammar::~SpeechGrammar() {
    if (m_context)
        m_context->forget(this);
}

RecoContext& SpeechGrammar::context() const {
    if (!m_context)
        throw PlatformError(QStringLiteral("The grammar's recognition context was released"));
    return *m_context;
}

void SpeechGrammar::CmdLoadFromFile(const QString& FileName, int LoadOption) {
    Q_UNUSED(LoadOption); // static and dynamic loads behave alike here
    RecoContext& owner = context();
    std::vector<Rule> rules;
    for (GrammarRule& rule : GrammarFile::load(FileName)) {
        const bool active = rule.activeOnLoad;
        rules.push_back({std::move(rule), active});
    }
    m_rules = std::move(rules);
    owner.grammarChanged(true);
}

void SpeechGrammar::CmdSetRuleIdState(int RuleId, int State) {
    RecoContext& owner = context();
    bool changed = false;
    bool found = RuleId == 0;
    for (Rule& r : m_rules) {
        if (RuleId != 0 && r.rule.id != RuleId)
            continue;
        found = true;
        changed = changed || r.active != (State != SGDSInactive);
        r.active = State != SGDSInactive;
    }
    if (!found)
        throw PlatformError(QStringLiteral("The grammar has no rule with id %1").arg(RuleId));
    if (changed)
        owner.grammarChanged(false);
    if (State != SGDSInactive)
        owner.ruleActivated();
}

} // namespace platform
