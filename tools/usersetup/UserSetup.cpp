#include "UserSetup.h"

#include "Installer.h"
#include "Registrar.h"
#include "registry/IRegistry.h"

#include <QDir>
#include <QFileInfo>

using platform::RegRoot;

namespace {

QString canonical(const QString& path) {
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? QFileInfo(path).absoluteFilePath() : c;
}

} // namespace

bool UserSetup::isRegistered(const QString& library) const {
    const QString wanted = canonical(library);
    for (const QString& clsid : m_registry.subKeys(RegRoot::ClassesRoot, "CLSID")) {
        const auto server =
            m_registry.value(RegRoot::ClassesRoot, "CLSID\\" + clsid + "\\InprocServer32", {});
        if (server && server->type == platform::RegType::String &&
            canonical(server->text) == wanted)
            return true;
    }
    return false;
}

bool UserSetup::isProgramRegistered() const {
    if (!m_registry.keyExists(RegRoot::LocalMachine, Installer::UninstallKey))
        return false;
    const auto program = m_registry.value(RegRoot::LocalMachine, Installer::AppPathsKey, {});
    return program && program->type == platform::RegType::String &&
           QFileInfo(program->text).isFile();
}

QStringList UserSetup::registerControls() {
    QStringList problems;
    const QDir folder(m_programDir);
    const QStringList libraries =
        folder.entryList({"*.ocx"}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : libraries) {
        const QString library = folder.filePath(name);
        if (isRegistered(library))
            continue;
        const Registrar::Outcome outcome = Registrar::registerLibrary(library, false, m_registry);
        if (outcome.exitCode != 0)
            problems << outcome.message;
    }
    return problems;
}

QString UserSetup::registerProgram() {
    if (isProgramRegistered())
        return {};
    QString error;
    Installer installer({}, QDir(m_programDir).absolutePath(), m_registry);
    return installer.writeRegistry(&error) ? QString() : error;
}

QStringList UserSetup::run() {
    QStringList problems = registerControls();
    const QString program = registerProgram();
    if (!program.isEmpty())
        problems << program;
    return problems;
}
