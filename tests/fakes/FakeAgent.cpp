#include "FakeAgent.h"

#include "PlatformError.h"

void FakeAgentCharacter::Show() {
    visible = true;
    calls << "Show";
}

void FakeAgentCharacter::Hide() {
    visible = false;
    calls << "Hide";
}

void FakeAgentCharacter::MoveTo(int x, int y, int speed) {
    calls << QString("MoveTo %1,%2,%3").arg(x).arg(y).arg(speed);
    left = x;
    top = y;
}

void FakeAgentCharacter::Play(const QString& animation) {
    if (!animations.isEmpty() && !animations.contains(animation))
        throw platform::PlatformError("unknown animation " + animation);
    calls << "Play " + animation;
}

void FakeAgentCharacter::Stop() {
    calls << "Stop";
}

void FakeAgentControl::Load(const QString& name, const QString& file) {
    calls << QString("Load %1 %2").arg(name, file);
    if (missingFiles.contains(file))
        throw platform::PlatformError("character file not found: " + file);
    if (m_loaded.contains(name.toLower()))
        throw platform::PlatformError("already loaded: " + name);
    m_loaded.insert(name.toLower(), std::make_shared<FakeAgentCharacter>());
}

void FakeAgentControl::Unload(const QString& name) {
    calls << "Unload " + name;
    if (auto c = m_loaded.take(name.toLower()))
        m_unloaded << c;
}

platform::IAgentCharacter& FakeAgentControl::Characters(const QString& name) {
    if (FakeAgentCharacter* c = character(name))
        return *c;
    throw platform::PlatformError("not loaded: " + name);
}

FakeAgentCharacter* FakeAgentControl::character(const QString& name) const {
    return m_loaded.value(name.toLower()).get();
}
