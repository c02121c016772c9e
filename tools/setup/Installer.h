#pragma once

#include <QString>

namespace platform {
class IRegistry;
}

// Installs the trainer from the CD folder: copies the CD's "program" folder
// to the target folder, adds the launcher as "start.exe" with its picture,
// lesson files and intro movie (so the user returns to it when the trainer
// ends), and writes the two registry entries the launcher looks for. Where
// the desktop has a system-information program, it registers that too, for
// the trainer's about window.
class Installer {
public:
    static const QString UninstallKey;
    static const QString AppPathsKey;
    static const QString SystemInfoKey; // its value "PATH" names the program

    // The first system-information program found on the search path, or empty.
    static QString findSystemInfoProgram();

    Installer(QString cdDir, QString targetDir, platform::IRegistry& registry)
        : m_cdDir(std::move(cdDir)), m_targetDir(std::move(targetDir)), m_registry(registry) {}

    // False with `error` set when a file cannot be copied or the registry
    // cannot be written.
    bool run(QString* error);
    QString installedProgram() const;

private:
    bool copyTree(const QString& from, const QString& to, QString* error) const;
    bool copyFile(const QString& from, const QString& to, QString* error) const;
    bool writeRegistry(QString* error);

    QString m_cdDir;
    QString m_targetDir;
    platform::IRegistry& m_registry;
};
