#pragma once

#include <QString>

namespace platform {

class IAgentCharacter;

// The agent control: loads characters from character files under names of the
// caller's choice and hands them out by name. Names are matched without regard
// to case. Failures raise PlatformError.
class IAgentControl {
public:
    virtual ~IAgentControl() = default;

    // Characters.Load: reads the character file and makes the character
    // available (hidden) under `name`. Raises when the file is missing or is
    // not a valid character file, or when `name` is already loaded.
    virtual void Load(const QString& name, const QString& file) = 0;
    // Characters.Unload: the character disappears; later calls on its object
    // raise PlatformError. Unloading a name that is not loaded does nothing.
    virtual void Unload(const QString& name) = 0;
    // Characters(name): the loaded character; raises when none has that name.
    // The object stays owned by the control.
    virtual IAgentCharacter& Characters(const QString& name) = 0;
};

} // namespace platform
