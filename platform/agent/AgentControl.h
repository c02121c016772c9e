#pragma once

#include "agent/IAgentControl.h"

#include <QString>
#include <map>
#include <memory>
#include <vector>

namespace platform {

class AgentCharacter;
class IPathLookup;

// The real agent control: characters read from our character files (see
// AgentFile), each in its own window. Character objects handed out stay valid
// until the control goes away; once unloaded they refuse every call.
class AgentControl : public IAgentControl {
public:
    explicit AgentControl(const IPathLookup& paths);
    ~AgentControl() override;

    void Load(const QString& name, const QString& file) override;
    void Unload(const QString& name) override;
    IAgentCharacter& Characters(const QString& name) override;

    // The loaded character of that name, or null.
    AgentCharacter* find(const QString& name) const;

private:
    const IPathLookup& m_paths;
    std::map<QString, std::unique_ptr<AgentCharacter>> m_loaded; // by lower-case name
    std::vector<std::unique_ptr<AgentCharacter>> m_unloaded;
};

} // namespace platform
