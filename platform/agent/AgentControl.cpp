#include "agent/AgentControl.h"

#include "PlatformError.h"
#include "agent/AgentCharacter.h"
#include "paths/IPathLookup.h"

namespace platform {

AgentControl::AgentControl(const IPathLookup& paths) : m_paths(paths) {}

AgentControl::~AgentControl() = default;

void AgentControl::Load(const QString& name, const QString& file) {
    const QString key = name.toLower();
    if (key.isEmpty())
        throw PlatformError("a character needs a name");
    if (m_loaded.count(key))
        throw PlatformError(QString("the character \"%1\" is already loaded").arg(name));
    AgentFile data = AgentFile::load(m_paths.resolve(file));
    m_loaded[key] = std::make_unique<AgentCharacter>(name, std::move(data));
}

void AgentControl::Unload(const QString& name) {
    const auto it = m_loaded.find(name.toLower());
    if (it == m_loaded.end())
        return;
    it->second->retire();
    // The caller may still hold the object: keep it so that it can say it is gone.
    m_unloaded.push_back(std::move(it->second));
    m_loaded.erase(it);
}

IAgentCharacter& AgentControl::Characters(const QString& name) {
    if (AgentCharacter* character = find(name))
        return *character;
    throw PlatformError(QString("the character \"%1\" is not loaded").arg(name));
}

AgentCharacter* AgentControl::find(const QString& name) const {
    const auto it = m_loaded.find(name.toLower());
    return it == m_loaded.end() ? nullptr : it->second.get();
}

} // namespace platform
