#include "core/ImageButtons.h"
#include "FakePlatform.h"
#include "Installer.h"
#include "ScopedDataHome.h"
#include "core/ResPicture.h"
#include "registry/FileRegistry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::FileRegistry;
using platform::RegAccess;
using platform::RegRoot;

namespace {

// A per-user folder of its own (so the per-user registry is the test's) and
// a platform whose registry is that store.
class ImageButtonsTest : public ::testing::Test {
protected:
    void SetUp() override { fake.platform.registry = &registry; }

    // Lays out a CD folder whose program folder carries the control
    // libraries, and installs from it.
    bool install(QString* error) {
        const QDir cd(cdDir.path());
        cd.mkpath("program");
        QFile exe(cd.filePath("program/Verbaro.exe"));
        if (!exe.open(QIODevice::WriteOnly))
            return false;
        exe.close();
        QFile::copy(GLYPHON_PATH, cd.filePath("program/Glyphon.ocx"));
        QFile::copy(FITFORM_PATH, cd.filePath("program/Fitform.ocx"));
        QFile start(cd.filePath("start.exe"));
        start.open(QIODevice::WriteOnly);
        start.close();
        FileRegistry writer(RegAccess::ReadWrite);
        return Installer(cd.path(), target.path() + "/Verbaro", writer).run(error);
    }
    static void move(QWidget* control, QPointF at) {
        auto* back = control->findChild<QWidget*>("ImgBack");
        ASSERT_NE(back, nullptr);
        QMouseEvent event(QEvent::MouseMove, at, back->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(back, &event);
    }

    QTemporaryDir home;
    ScopedDataHome scope{home.path()};
    QTemporaryDir cdDir;
    QTemporaryDir target;
    FileRegistry registry{RegAccess::ReadOnly};
    FakePlatform fake;
    QWidget window;
};

TEST_F(ImageButtonsTest, MadeByProgIdAfterTheInstallerRegisteredTheLibraries) {
    QString error;
    ASSERT_TRUE(install(&error)) << error.toStdString();
    const auto progId = registry.value(RegRoot::ClassesRoot, "Glyphon.ImageLabel\\CLSID", {});
    ASSERT_TRUE(progId.has_value());
    const auto server =
        registry.value(RegRoot::ClassesRoot, "CLSID\\" + progId->text + "\\InprocServer32", {});
    ASSERT_TRUE(server.has_value());
    EXPECT_TRUE(server->text.startsWith(QFileInfo(target.path()).canonicalFilePath()))
        << server->text.toStdString();
    EXPECT_TRUE(registry.keyExists(RegRoot::ClassesRoot, "Fit_form.Fitform\\CLSID"));

    fake.screen.x = fake.screen.y = 12;
    ImageButtons buttons(fake.platform);
    ASSERT_TRUE(buttons.available());
    ImageButton* cmd = buttons.create(&window);
    ASSERT_NE(cmd, nullptr);
    EXPECT_EQ(cmd->control()->parentWidget(), &window);
    EXPECT_STREQ(cmd->control()->metaObject()->className(), "ImageLabel");

    ASSERT_TRUE(cmd->SetPictureByName("READALL-1"));
    EXPECT_EQ(cmd->Picture().toImage(), LoadResPicture("readall-1").toImage());
    EXPECT_FALSE(cmd->SetPictureByName("no-such-picture"));
    EXPECT_EQ(cmd->Picture().toImage(), LoadResPicture("readall-1").toImage());
    cmd->Move(1200, 2400, 1215, 420);
    EXPECT_EQ(cmd->control()->geometry(), QRect(100, 200, 101, 35));
    EXPECT_DOUBLE_EQ(cmd->Left(), 1200);
    cmd->SetToolTipText("上一课");
    EXPECT_EQ(cmd->ToolTipText(), "上一课");

    // The hover swap and the click as a window does them.
    QObject::connect(cmd, &ImageButton::MouseEnter, [cmd] { cmd->SetPictureByName("readall-2"); });
    QObject::connect(cmd, &ImageButton::MouseExit, [cmd] { cmd->SetPictureByName("readall-1"); });
    QSignalSpy clicks(cmd, &ImageButton::Click);
    move(cmd->control(), {20, 10});
    EXPECT_EQ(cmd->Picture().toImage(), LoadResPicture("readall-2").toImage());
    move(cmd->control(), {0, 10});
    EXPECT_EQ(cmd->Picture().toImage(), LoadResPicture("readall-1").toImage());
    QMetaObject::invokeMethod(cmd->control(), "Click");
    EXPECT_EQ(clicks.count(), 1);

    cmd->SetEnabled(false);
    EXPECT_FALSE(cmd->Enabled());
    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_FALSE(fake.programEnd.endedWith.has_value());
}

TEST_F(ImageButtonsTest, AnUnregisteredClassIsReportedOnceAndEndsTheProgram) {
    ImageButtons buttons(fake.platform);
    EXPECT_FALSE(buttons.available());
    EXPECT_EQ(buttons.create(&window), nullptr);
    EXPECT_EQ(buttons.create(&window), nullptr);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].title, "错误");
    EXPECT_TRUE(fake.messages.shown[0].text.contains("Glyphon.ImageLabel"));
    EXPECT_TRUE(fake.messages.shown[0].text.contains("没有注册"));
    EXPECT_EQ(fake.programEnd.endedWith, 1);
    EXPECT_TRUE(window.findChildren<QWidget*>().isEmpty());
}

TEST_F(ImageButtonsTest, ABrokenControlLibraryStopsTheInstallation) {
    const QDir cd(cdDir.path());
    cd.mkpath("program");
    for (const char* file : {"program/Verbaro.exe", "start.exe"}) {
        QFile f(cd.filePath(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QFile broken(cd.filePath("program/Glyphon.ocx"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a library");
    broken.close();
    FileRegistry writer(RegAccess::ReadWrite);
    QString error;
    EXPECT_FALSE(Installer(cd.path(), target.path() + "/Verbaro", writer).run(&error));
    EXPECT_TRUE(error.contains("Glyphon.ocx")) << error.toStdString();
    EXPECT_FALSE(registry.keyExists(RegRoot::ClassesRoot, "Glyphon.ImageLabel"));
}

} // namespace
