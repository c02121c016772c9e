#include "FakeSpeechGrammar.h"

#include <algorithm>

void FakeSpeechGrammar::CmdLoadFromFile(const QString& FileName, int LoadOption) {
    Q_UNUSED(LoadOption);
    rules = platform::GrammarFile::load(FileName);
    active.clear();
    for (const auto& rule : rules)
        active.push_back(rule.activeOnLoad);
    loadedFiles << FileName;
}

void FakeSpeechGrammar::CmdSetRuleIdState(int RuleId, int State) {
    stateCalls.push_back(State);
    for (std::size_t i = 0; i < rules.size(); ++i)
        if (RuleId == 0 || rules[i].id == RuleId)
            active[i] = State != SGDSInactive;
}

bool FakeSpeechGrammar::accepts(const QString& text) const {
    for (std::size_t i = 0; i < rules.size(); ++i)
        if (active[i] && rules[i].phrases.contains(text))
            return true;
    return false;
}

bool FakeSpeechGrammar::anyActive() const {
    return std::find(active.begin(), active.end(), true) != active.end();
}
