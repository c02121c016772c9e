#include "Installer.h"
#include "LauncherFixture.h"
#include "platform/EnvOverride.h"

namespace {

class Installing : public LauncherFixture {
protected:
    // A CD folder: the launcher, the program folder, the lesson files.
    void SetUp() override {
        writeFile("program/Verbaro.exe", "trainer");
        writeFile("program/data/qvedbdemo.aaa", "db");
        writeFile("program/lst/010101/010101000010.wav", "RIFF");
        writeFile("start.exe", "launcher");
        writeFile("2003.ini", "[cunit]\n1=x\n");
        writeFile("games/zorvik.swf", "FWS");
    }
    QTemporaryDir target;
};

} // namespace

TEST_F(Installing, CopiesTheProgramAndShowsTheRunButtonAfterwards) {
    Installer installer(appDir(), target.path(), fake.registryWriter);
    QString error;
    ASSERT_TRUE(installer.run(&error)) << error.toStdString();
    const QDir installed(target.path());
    for (const char* file : {"Verbaro.exe", "data/qvedbdemo.aaa", "lst/010101/010101000010.wav",
                             "start.exe", "2003.ini", "games/zorvik.swf"})
        EXPECT_TRUE(QFile::exists(installed.filePath(file))) << file;

    TForm1& w = window();
    EXPECT_TRUE(w.SpeedButtonrun->isVisibleTo(&w));
    EXPECT_EQ(w.InstalledExe, installed.filePath("Verbaro.exe"));
    w.show();
    w.SpeedButtonrunClick();
    EXPECT_EQ(fake.processes.opened, QStringList(installed.filePath("Verbaro.exe")));
}

TEST_F(Installing, IncompleteCdOrReadOnlyRegistryFails) {
    QFile::remove(appDir() + "program/Verbaro.exe");
    QString error;
    EXPECT_FALSE(Installer(appDir(), target.path(), fake.registryWriter).run(&error));
    EXPECT_FALSE(error.isEmpty());
    writeFile("program/Verbaro.exe", "trainer");
    EXPECT_FALSE(Installer(appDir(), target.path(), fake.registry).run(&error)); // read-only store
    EXPECT_TRUE(window().SpeedButtonset->isVisibleTo(&window()));
}

// The trainer's about window starts the program registered here.
TEST_F(Installing, RegistersTheDesktopsSystemInformationProgram) {
    QTemporaryDir bin;
    const auto install = [&] {
        EnvOverride path("PATH", bin.path().toUtf8());
        QString error;
        EXPECT_TRUE(Installer(appDir(), target.path(), fake.registryWriter).run(&error))
            << error.toStdString();
        return fake.registry.value(platform::RegRoot::LocalMachine, Installer::SystemInfoKey,
                                   "PATH");
    };
    EXPECT_FALSE(install()) << "a desktop without one gets no entry";

    for (const char* name : {"gnome-system-monitor", "hardinfo"}) {
        QFile tool(QDir(bin.path()).filePath(name));
        ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
        tool.write("#!/bin/sh\n");
        tool.close();
        tool.setPermissions(tool.permissions() | QFile::ExeOwner);
    }
    const std::optional<platform::RegValue> registered = install();
    ASSERT_TRUE(registered);
    EXPECT_EQ(registered->text, QDir(bin.path()).filePath("hardinfo")) << "the most detailed";
}
