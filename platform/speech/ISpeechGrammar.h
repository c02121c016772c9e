#pragma once

#include <QString>

namespace platform {

// A grammar of a recognition context, loaded from an XML grammar file.
class ISpeechGrammar {
public:
    static constexpr int SLOStatic = 0;
    static constexpr int SLODynamic = 1;
    static constexpr int SGDSInactive = 0;
    static constexpr int SGDSActive = 1;

    virtual ~ISpeechGrammar() = default;
    // Replaces the grammar's rules with those of the file; raises
    // PlatformError when the file is missing or not a valid grammar.
    virtual void CmdLoadFromFile(const QString& FileName, int LoadOption) = 0;
    // Activates (1) or deactivates (0) the rule with this id; 0 = every rule.
    virtual void CmdSetRuleIdState(int RuleId, int State) = 0;
};

} // namespace platform
