#pragma once

#include "GrammarFile.h"
#include "ISpeechGrammar.h"

#include <vector>

namespace platform {

class RecoContext;

// A grammar of a RecoContext: the rules of its file and which are active.
// It tells its context of every change; when the context goes first, every
// call raises PlatformError.
class SpeechGrammar : public ISpeechGrammar {
public:
    struct Rule {
        GrammarRule rule;
        bool active = false;
    };

    explicit SpeechGrammar(RecoContext* context);
    ~SpeechGrammar() override;

    void CmdLoadFromFile(const QString& FileName, int LoadOption) override;
    void CmdSetRuleIdState(int RuleId, int State) override;

    const std::vector<Rule>& rules() const { return m_rules; }
    void detach() { m_context = nullptr; }

private:
    RecoContext& context() const;

    RecoContext* m_context;
    std::vector<Rule> m_rules;
};

} // namespace platform
