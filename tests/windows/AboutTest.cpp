#include "WindowsFixture.h"
#include "windows/AboutButton.h"
#include "windows/frmAbout.h"
#include "windows/frmUnit.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>

using platform::RegRoot;
using platform::RegValue;
using platform::WindowStyle;

namespace {

const QString kMsInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QString kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

class AboutTest : public WindowsFixture {
protected:
    void TearDown() override {
        program.forms.unload<frmAbout>();
        program.forms.unload<frmUnit>();
        WindowsFixture::TearDown();
    }
    frmAbout& loadedAbout() {
        frmAbout& about = program.forms.get<frmAbout>();
        about.Form_Load();
        return about;
    }
    // A file in the fake machine's drive folder ("c:\...").
    QString driveFile(const QString& relative) {
        const QString path = fake.driveDir.path() + "/drive_c/" + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.close();
        f.setPermissions(f.permissions() | QFile::ExeOwner);
        return path;
    }
    void sendMove(QWidget* to) {
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), to->mapToGlobal(QPointF(5, 5)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(to, &move);
    }
};

TEST_F(AboutTest, ShowsTitleVersionAndButtons) {
    frmAbout& about = loadedAbout();
    EXPECT_EQ(about.windowTitle(), "关于 Verbaro");
    EXPECT_EQ(about.lblTitle->text(), "Verbaro");
    EXPECT_EQ(about.lblVersion->text(), "版本 1.0.0");
    EXPECT_EQ(about.lblDescription->text(), "");
    EXPECT_FALSE(about.lblDisclaimer->text().isEmpty());
    EXPECT_EQ(about.cmdOK->text(), "确 定");
    EXPECT_EQ(about.cmdsysinfo->text(), "系统信息");
    // Both buttons wear the picture of Image2.
    ASSERT_FALSE(about.Image2->pixmap().isNull());
    EXPECT_EQ(about.cmdOK->picture().cacheKey(), about.Image2->pixmap().cacheKey());
    EXPECT_EQ(about.cmdsysinfo->picture().cacheKey(), about.Image2->pixmap().cacheKey());
}

TEST_F(AboutTest, ButtonsRiseUnderThePointerAndFallOverTheWindow) {
    frmAbout& about = loadedAbout();
    about.show();
    EXPECT_EQ(about.cmdOK->Style(), 0);
    EXPECT_EQ(about.cmdsysinfo->Style(), 0);
    sendMove(about.cmdOK);
    EXPECT_EQ(about.cmdOK->Style(), 4);
    EXPECT_EQ(about.cmdsysinfo->Style(), 0);
    sendMove(about.cmdsysinfo);
    EXPECT_EQ(about.cmdsysinfo->Style(), 4);
    sendMove(&about);
    EXPECT_EQ(about.cmdOK->Style(), 0);
    EXPECT_EQ(about.cmdsysinfo->Style(), 0);
}

TEST_F(AboutTest, OkClosesAndUnloadsTheModalWindow) {
    frmUnit& menu = program.forms.get<frmUnit>();
    bool wasModal = false;
    whileModal([&] { menu.ShowAbout(); },
               [&] {
                   frmAbout& about = program.forms.get<frmAbout>();
                   wasModal = about.isVisible() && about.isModal();
                   EXPECT_EQ(about.windowTitle(), "关于 Verbaro") << "loaded when shown";
                   about.cmdOK->click();
               });
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(program.forms.isLoaded<frmAbout>());
}

TEST_F(AboutTest, StartsTheRegisteredSystemInformationProgram) {
    const QString tool = driveFile("tools/sysinfo");
    const QString msinfo = driveFile("Program Files/Common Files/MSINFO/msinfo32.exe");
    struct Case {
        const char* what;
        std::function<void()> registerTool;
        QString started;
    } cases[] = {
        {"its path",
         [&] {
             fake.registryWriter.setValue(RegRoot::LocalMachine, kMsInfoKey, "PATH",
                                          RegValue::string(tool));
         },
         tool},
        {"a drive path, any case",
         [&] {
             fake.registryWriter.setValue(RegRoot::LocalMachine, kMsInfoKey, "path",
                                          RegValue::string("C:\\TOOLS\\SysInfo"));
         },
         tool},
        {"the tools' folder",
         [&] {
             fake.registryWriter.setValue(
                 RegRoot::LocalMachine, kLocationKey, "MSINFO",
                 RegValue::string("c:\\Program Files\\Common Files\\MSINFO"));
         },
         msinfo},
    };
    for (const Case& c : cases) {
        fake.registryWriter.deleteTree(RegRoot::LocalMachine, "SOFTWARE");
        fake.processes.started.clear();
        c.registerTool();
        loadedAbout().cmdsysinfo->click();
        ASSERT_EQ(fake.processes.started.size(), 1u) << c.what;
        EXPECT_EQ(fake.processes.started[0].first, c.started) << c.what;
        EXPECT_EQ(fake.processes.started[0].second, WindowStyle::NormalFocus) << c.what;
        EXPECT_TRUE(fake.messages.shown.empty()) << c.what;
    }
}

TEST_F(AboutTest, WithoutTheToolSaysSoAndStaysOpen) {
    struct Case {
        const char* what;
        std::function<void()> prepare;
    } cases[] = {
        {"nothing registered", [] {}},
        {"the registered program does not start",
         [&] {
             fake.registryWriter.setValue(RegRoot::LocalMachine, kMsInfoKey, "PATH",
                                          RegValue::string("/nowhere/sysinfo"));
             fake.processes.startSucceeds = false;
         }},
        {"the tools' folder without the program",
         [&] {
             fake.registryWriter.setValue(RegRoot::LocalMachine, kLocationKey, "MSINFO",
                                          RegValue::string("c:\\Program Files\\Nothing"));
         }},
        {"the tools' folder as a number",
         [&] {
             fake.registryWriter.setValue(RegRoot::LocalMachine, kLocationKey, "MSINFO",
                                          RegValue::dword(7));
         }},
    };
    for (const Case& c : cases) {
        fake.registryWriter.deleteTree(RegRoot::LocalMachine, "SOFTWARE");
        fake.messages.shown.clear();
        fake.processes.startSucceeds = true;
        c.prepare();
        frmAbout& about = loadedAbout();
        about.show();
        about.cmdsysinfo->click();
        ASSERT_EQ(fake.messages.shown.size(), 1u) << c.what;
        EXPECT_EQ(fake.messages.shown[0].text, "此时系统信息不可用") << c.what;
        EXPECT_EQ(fake.messages.shown[0].buttons, platform::MsgButtons::Ok) << c.what;
        EXPECT_TRUE(about.isVisible()) << c.what;
        EXPECT_TRUE(program.forms.isLoaded<frmAbout>()) << c.what;
        about.hide();
    }
}

TEST_F(AboutTest, GetKeyValueReadsStringsAndNumbers) {
    const QString key = "SOFTWARE\\Verbaro Test";
    fake.registryWriter.setValue(RegRoot::LocalMachine, key, "Text", RegValue::string("甲 b"));
    fake.registryWriter.setValue(RegRoot::LocalMachine, key, "Small", RegValue::dword(15));
    fake.registryWriter.setValue(RegRoot::LocalMachine, key, "Bytes", RegValue::dword(0x0A0F));
    fake.registryWriter.setValue(RegRoot::LocalMachine, key, "Zero", RegValue::dword(0));
    fake.registryWriter.setValue(RegRoot::LocalMachine, key, "Top", RegValue::dword(0xFFFFFFFF));
    fake.registryWriter.setValue(RegRoot::LocalMachine, key, "Fits",
                                 RegValue::string(QString(1023, 'x')));
    fake.registryWriter.setValue(RegRoot::LocalMachine, key, "TooLong",
                                 RegValue::string(QString(1024, 'x')));
    struct Case {
        RegRoot root;
        QString key;
        const char* name;
        bool found;
        QString value;
    } cases[] = {
        {RegRoot::LocalMachine, key, "Text", true, "甲 b"},
        {RegRoot::LocalMachine, key.toUpper(), "text", true, "甲 b"},
        {RegRoot::LocalMachine, key, "Small", true, "15"},
        {RegRoot::LocalMachine, key, "Bytes", true, "2575"}, // 0x0A0F
        {RegRoot::LocalMachine, key, "Zero", true, "0"},
        {RegRoot::LocalMachine, key, "Top", true, "4294967295"},
        {RegRoot::LocalMachine, key, "Fits", true, QString(1023, 'x')},
        {RegRoot::LocalMachine, key, "TooLong", false, ""},
        {RegRoot::LocalMachine, key, "Missing", false, ""},
        {RegRoot::LocalMachine, key + "\\Missing", "Text", false, ""},
        {RegRoot::CurrentUser, key, "Text", false, ""},
    };
    frmAbout& about = loadedAbout();
    for (const Case& c : cases) {
        QString value = "left over";
        EXPECT_EQ(about.GetKeyValue(c.root, c.key, c.name, value), c.found) << c.name;
        EXPECT_EQ(value, c.value) << c.name;
    }
}

} // namespace
