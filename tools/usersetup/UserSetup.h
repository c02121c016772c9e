#pragma once

#include <QString>
#include <QStringList>

namespace platform {
class IRegistry;
}

// What a program folder installed by the system's package manager still
// needs for each user, as setup.exe does it when it installs: the control
// libraries of the folder registered in the user's registry, and the entries
// that tell the CD launcher where the trainer is installed. Done on a user's
// first start, and again whenever something is missing; what is in place
// (also another installation's entries) is left as it is.
class UserSetup {
public:
    UserSetup(QString programDir, platform::IRegistry& registry)
        : m_programDir(std::move(programDir)), m_registry(registry) {}

    // The problems met, one line each; empty when everything is in place.
    QStringList run();

    // True when some class of the registry names this library file.
    bool isRegistered(const QString& library) const;
    // True when the launcher's entries name a trainer that exists.
    bool isProgramRegistered() const;

private:
    QStringList registerControls();
    QString registerProgram();

    QString m_programDir;
    platform::IRegistry& m_registry;
};
