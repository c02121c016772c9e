#include "LauncherFixture.h"

#include "HotLabel.h"

#include <QPushButton>

using platform::RegRoot;
using platform::RegValue;

namespace {

struct RegistryCase {
    const char* name;
    bool uninstallKey;
    bool appPathsValue;
    bool programFile;
    bool runShown;
};

const RegistryCase registryCases[] = {
    {"NoUninstallKey", false, true, true, false},
    {"KeyWithoutAppPaths", true, false, true, false},
    {"AppPathsNamingMissingFile", true, true, false, false},
    {"Installed", true, true, true, true},
};

class RegistryStates : public LauncherFixture,
                       public ::testing::WithParamInterface<RegistryCase> {};

} // namespace

TEST_P(RegistryStates, ChooseRunOrInstallButton) {
    const RegistryCase c = GetParam();
    const QString exe = appDir() + "installed/Verbaro.exe";
    if (c.programFile)
        writeFile("installed/Verbaro.exe", "program");
    if (c.uninstallKey)
        fake.registryWriter.setValue(RegRoot::LocalMachine, UninstallKey, "DisplayName",
                                     RegValue::string("Verbaro"));
    if (c.appPathsValue)
        fake.registryWriter.setValue(RegRoot::LocalMachine, AppPathsKey, QString(),
                                     RegValue::string(exe));
    TForm1& w = window();
    EXPECT_EQ(w.SpeedButtonrun->isVisibleTo(&w), c.runShown);
    EXPECT_EQ(w.SpeedButtonset->isVisibleTo(&w), !c.runShown);
    EXPECT_EQ(w.InstalledExe, c.uninstallKey && c.appPathsValue ? exe : QString());
    // Looking the keys up must not write the registry.
    EXPECT_EQ(QDir(fake.registryDir.path()).entryList(QDir::Files).size(),
              c.uninstallKey || c.appPathsValue ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Launcher, RegistryStates, ::testing::ValuesIn(registryCases),
                         [](const auto& info) { return std::string(info.param.name); });

class LauncherWindow : public LauncherFixture {
protected:
    QString install() {
        const QString exe = appDir() + "installed/Verbaro.exe";
        writeFile("installed/Verbaro.exe", "program");
        fake.registryWriter.createKey(RegRoot::LocalMachine, UninstallKey);
        fake.registryWriter.setValue(RegRoot::LocalMachine, AppPathsKey, QString(),
                                     RegValue::string(exe));
        return exe;
    }
};

TEST_F(LauncherWindow, LaysOutTheBorderlessWindowAndItsHotAreas) {
    TForm1& w = window();
    EXPECT_EQ(w.size(), QSize(640, 480));
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(w.windowTitle(), "Verbaro V1.0");
    EXPECT_EQ(w.Label1->geometry(), QRect(527, 341, 51, 60));
    EXPECT_EQ(w.Label1->toolTip(), "退出程序");
    EXPECT_EQ(w.Labelpl->geometry(), QRect(425, 340, 51, 60));
    EXPECT_EQ(w.Labelpl->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(w.Label6->toolTip(), "帮助");
    EXPECT_EQ(w.FlatComboBox1->count(), 90);
    EXPECT_EQ(w.FlatComboBox1->itemText(0), "初次见面");
    EXPECT_EQ(w.FlatComboBox1->itemText(89), "呼救");
    EXPECT_EQ(w.FlatComboBox1->currentIndex(), -1);
    EXPECT_EQ(w.FlatComboBox1->placeholderText(), "请选择课程....");
}

TEST_F(LauncherWindow, RunStartsTheInstalledProgram) {
    const QString exe = install();
    TForm1& w = window();
    w.show();
    w.SpeedButtonrunClick();
    ASSERT_EQ(fake.processes.opened.size(), 1);
    EXPECT_EQ(fake.processes.opened.front(), exe);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(LauncherWindow, RunAfterTheProgramWasDeletedAsksToInstallAndStays) {
    const QString exe = install();
    TForm1& w = window();
    w.show();
    ASSERT_TRUE(w.SpeedButtonrun->isVisible());
    QFile::remove(exe);
    w.SpeedButtonrunClick();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "请点击[安装]按钮进行安装,并重新启动计算机！");
    EXPECT_EQ(fake.messages.shown[0].title, "提示");
    EXPECT_TRUE(fake.processes.opened.isEmpty());
    EXPECT_TRUE(w.isVisible());
}

TEST_F(LauncherWindow, InstallAndHelpStartTheirFilesOnlyWhenPresent) {
    TForm1& w = window();
    w.show();
    w.Label6Click();
    w.SpeedButtonsetClick();
    EXPECT_TRUE(fake.processes.opened.isEmpty());
    EXPECT_TRUE(w.isVisible());
    writeFile("qvhelp.chm", "help");
    writeFile("setup.exe", "setup");
    w.Label6Click();
    EXPECT_TRUE(w.isVisible());
    w.SpeedButtonsetClick();
    EXPECT_EQ(fake.processes.opened,
              QStringList({appDir() + "qvhelp.chm", appDir() + "setup.exe"}));
    EXPECT_FALSE(w.isVisible());
}

TEST_F(LauncherWindow, QuitDeletesTheIntroMarker) {
    TForm1& w = window();
    const QString marker = fake.pathLookup.resolve("c:\\temptemp\\zorvik.swf");
    QDir().mkpath(QFileInfo(marker).absolutePath());
    QFile(marker).open(QIODevice::WriteOnly);
    w.show();
    w.Label1Click();
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_FALSE(w.isVisible());
    w.show();
    w.Label1Click(); // without a marker it just closes
    EXPECT_FALSE(w.isVisible());
}

TEST_F(LauncherWindow, LargeFontsScreenIsRefused) {
    // 120 dpi, with Qt's pixels scaled to match: 15 twips per Qt pixel.
    fake.screen = FakeScreenMetrics(15.0);
    fake.screen.dpiX = 120;
    TForm1& w = window();
    EXPECT_TRUE(w.endRequested());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "推荐您在小字体下使用本程序，请在设置后重新运行！");
    EXPECT_EQ(fake.messages.shown[0].title, "Verbaro V1.0");
    EXPECT_EQ(w.IntroCopy, "c:\\temptemp\\zorvik.swf");
}

TEST_F(LauncherWindow, BrokenBackgroundLeavesTheBlackPanel) {
    writeFile("launcher.jpg", QByteArray("\xFF\xD8\xFF\xE0") + " not really a picture");
    TForm1& w = window();
    EXPECT_TRUE(w.Image1->pixmap().isNull());
    EXPECT_TRUE(w.SpeedButtonset->isVisibleTo(&w));
}

TEST_F(LauncherWindow, GoodBackgroundIsShown) {
    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    ASSERT_TRUE(picture.save(appDir() + "launcher.jpg", "JPG"));
    TForm1& w = window();
    EXPECT_EQ(w.Image1->pixmap().size(), QSize(640, 480));
}
