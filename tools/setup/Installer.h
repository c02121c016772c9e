#pragma once

#include <QString>

namespace platform {
class IRegistry;
}

// Installs the trainer from the CD folder: copies the CD's "program" folder
// to the target folder, adds the launcher as "start.exe" with its picture,
// lesson files and intro movie (so the user returns to it when the trainer
// ends), registers the control libraries the program folder carries
// ("Glyphon.ocx", "Fitform.ocx": every "*.ocx", from their installed place)
// and writes the two registry entries the launcher looks for. The control
// libraries register themselves, in the per-user registry, as the platform's
// registration tool has them do. Where the desktop has a system-information
// program, it registers that too, for the trainer's about window.
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
    // Only the registry entries, for a program folder installed otherwise.
    bool writeRegistry(QString* error);

private:
    bool copyTree(const QString& from, const QString& to, QString* error) const;
    bool copyFile(const QString& from, const QString& to, QString* error) const;
    bool registerControls(QString* error) const;

public:
    // Loads the library and calls its registration entry point.
    bool registerControl(const QString& library, QString* error) const;

private:
    QString m_cdDir;
    QString m_targetDir;
    platform::IRegistry& m_registry;
};
