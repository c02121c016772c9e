#pragma once

#include "speech/GrammarFile.h"
#include "speech/ISpeechGrammar.h"

#include <QStringList>
#include <vector>

// A grammar that reads real grammar files (so malformed ones fail) and
// records what was asked of it.
class FakeSpeechGrammar : public platform::ISpeechGrammar {
public:
    void CmdLoadFromFile(const QString& FileName, int LoadOption) override;
    void CmdSetRuleIdState(int RuleId, int State) override;

    // Whether `text` is a phrase of an active rule.
    bool accepts(const QString& text) const;
    bool anyActive() const;

    QStringList loadedFiles;
    std::vector<int> stateCalls; // the State of every CmdSetRuleIdState, in order
    std::vector<platform::GrammarRule> rules;
    std::vector<bool> active;
};
