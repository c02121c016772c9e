// The per-user part of a packaged installation: the starters' `usersetup`
// run on a program folder against a fresh per-user registry.
#include "registry/FileRegistry.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::FileRegistry;
using platform::RegAccess;
using platform::RegRoot;
using platform::RegValue;

namespace {

const QString kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                              "{E3672521-0E79-11D7-AE39-001047510C04}";
const QString kAppPathsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Verbaro.exe";

QByteArray contents(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& file, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

class UserSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFile::copy(GLYPHON_PATH, program("Glyphon.ocx")));
        ASSERT_TRUE(QFile::copy(FITFORM_PATH, program("Fitform.ocx")));
        ASSERT_TRUE(writeFile(program("Verbaro.exe"), "trainer"));
    }
    QString program(const QString& name) const { return programDir.path() + "/" + name; }
    QString registryFolder() const { return dataHome.path() + "/verbaro"; }

    struct Run {
        int exitCode;
        QString err;
    };
    Run usersetup() const {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", dataHome.path());
        p.setProcessEnvironment(env);
        p.start(USERSETUP_PATH, {programDir.path()});
        p.waitForFinished(60000);
        return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardError())};
    }
    // The library the registry names for a ProgID, or "<none>".
    QString serverOf(const QString& progId) const {
        const auto clsid = registry.value(RegRoot::ClassesRoot, progId + "\\CLSID", {});
        if (!clsid)
            return "<none>";
        const auto server =
            registry.value(RegRoot::ClassesRoot, "CLSID\\" + clsid->text + "\\InprocServer32", {});
        return server ? server->text : "<none>";
    }
    QString installedProgram() const {
        const auto v = registry.value(RegRoot::LocalMachine, kAppPathsKey, {});
        return v ? v->text : "<none>";
    }
    // The registry files with their times: a rewrite with the same contents shows too.
    QByteArray registryFiles() const {
        QByteArray all;
        for (RegRoot root : {RegRoot::ClassesRoot, RegRoot::CurrentUser, RegRoot::LocalMachine}) {
            const QString file = registry.fileOf(root);
            all += QByteArray::number(QFileInfo(file).lastModified().toMSecsSinceEpoch()) + '\n' +
                   contents(file) + '\n';
        }
        return all;
    }

    QTemporaryDir programDir;
    QTemporaryDir dataHome;
    FileRegistry registry{registryFolder(), RegAccess::ReadWrite};
};

TEST_F(UserSetupTest, FirstStartRegistersControlsAndTheInstallationOnce) {
    const Run first = usersetup();
    ASSERT_EQ(first.exitCode, 0) << qPrintable(first.err);
    EXPECT_EQ(serverOf("Glyphon.ImageLabel"), program("Glyphon.ocx"));
    EXPECT_EQ(serverOf("Fit_form.Fitform"), program("Fitform.ocx"));
    EXPECT_TRUE(registry.keyExists(RegRoot::LocalMachine, kUninstallKey));
    EXPECT_EQ(installedProgram(), program("Verbaro.exe"));

    const QByteArray before = registryFiles();
    const Run second = usersetup();
    EXPECT_EQ(second.exitCode, 0) << qPrintable(second.err);
    EXPECT_EQ(registryFiles(), before) << "nothing is written when all is in place";
}

TEST_F(UserSetupTest, AnotherInstallationOfTheTrainerIsKept) {
    const QString other = dataHome.path() + "/drive_c/Program Files/Verbaro/Verbaro.exe";
    ASSERT_TRUE(writeFile(other, "trainer"));
    registry.setValue(RegRoot::LocalMachine, kUninstallKey, "DisplayName",
                      RegValue::string("Verbaro V1.0"));
    registry.setValue(RegRoot::LocalMachine, kAppPathsKey, {}, RegValue::string(other));
    ASSERT_EQ(usersetup().exitCode, 0);
    EXPECT_EQ(installedProgram(), other);

    // Once that installation is gone, the launcher is pointed here.
    QFile::remove(other);
    ASSERT_EQ(usersetup().exitCode, 0);
    EXPECT_EQ(installedProgram(), program("Verbaro.exe"));
}

TEST_F(UserSetupTest, ControlsRegisteredForAVanishedFolderAreRegisteredAgain) {
    ASSERT_EQ(usersetup().exitCode, 0);
    QTemporaryDir moved;
    const QString elsewhere = moved.path() + "/Glyphon.ocx";
    ASSERT_TRUE(QFile::copy(program("Glyphon.ocx"), elsewhere));
    const auto clsid = registry.value(RegRoot::ClassesRoot, "Glyphon.ImageLabel\\CLSID", {});
    ASSERT_TRUE(clsid);
    registry.setValue(RegRoot::ClassesRoot, "CLSID\\" + clsid->text + "\\InprocServer32", {},
                      RegValue::string(moved.path() + "/Gone.ocx"));
    ASSERT_EQ(usersetup().exitCode, 0);
    EXPECT_EQ(serverOf("Glyphon.ImageLabel"), program("Glyphon.ocx"));
}

TEST_F(UserSetupTest, LibraryThatCannotRegisterIsReportedAndTheRestIsDone) {
    ASSERT_TRUE(writeFile(program("Broken.ocx"), "not a library"));
    const Run run = usersetup();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Broken.ocx")) << qPrintable(run.err);
    EXPECT_EQ(serverOf("Glyphon.ImageLabel"), program("Glyphon.ocx"));
    EXPECT_EQ(installedProgram(), program("Verbaro.exe"));
}

} // namespace
