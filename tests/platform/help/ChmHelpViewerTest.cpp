#include "help/ChmHelpViewer.h"
#include "HelpFixtures.h"
#include "help/ChmBrowser.h"
#include "help/HelpViewerWindow.h"
#include "paths/PathLookup.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using platform::ChmHelpViewer;
using platform::HelpViewerWindow;

namespace {

class ChmHelpViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner = std::make_unique<QWidget>();
        ASSERT_TRUE(QFile::copy(helpFixture("fixture.chm"), dir.filePath("QVhelp.chm")));
    }

    static int viewerWindows() {
        int count = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            count += qobject_cast<HelpViewerWindow*>(w) != nullptr && w->isVisible() ? 1 : 0;
        return count;
    }

    QString write(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }

    QTemporaryDir drives;
    QTemporaryDir dir;
    platform::PathLookup paths{drives.path()};
    std::unique_ptr<QWidget> owner;
    ChmHelpViewer viewer{paths};
};

TEST_F(ChmHelpViewerTest, ShowsTheFileAboveItsOwnerWithoutBlockingIt) {
    ASSERT_TRUE(viewer.displayTopic(dir.filePath("QVhelp.chm"), owner.get()));
    HelpViewerWindow* window = viewer.windowFor(dir.filePath("QVhelp.chm"));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->parentWidget(), owner.get());
    EXPECT_EQ(window->windowModality(), Qt::NonModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(window->browser()->source().path(), "/pages/start.htm");
}

TEST_F(ChmHelpViewerTest, RefusesFilesThatAreNotHelpAndShowsNothing) {
    QFile real(helpFixture("fixture.chm"));
    ASSERT_TRUE(real.open(QIODevice::ReadOnly));
    const QByteArray chmBytes = real.readAll();
    const QStringList refused{
        dir.filePath("missing.chm"),
        write("text.chm", "just text, not a help file"),
        write("empty.chm", {}),
        write("header.chm", chmBytes.left(64)),
        // Opens (the directory is there) but its pages are cut off.
        write("cut.chm", chmBytes.left(chmBytes.size() / 4)),
        dir.path(),
    };
    for (const QString& path : refused) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(viewer.displayTopic(path, owner.get()));
        EXPECT_EQ(viewer.windowFor(path), nullptr);
    }
    EXPECT_EQ(viewerWindows(), 0);
}

TEST_F(ChmHelpViewerTest, AskingAgainRaisesTheSameWindowAtTheDefaultTopic) {
    ASSERT_TRUE(viewer.displayTopic(dir.filePath("QVhelp.chm"), owner.get()));
    HelpViewerWindow* first = viewer.windowFor(dir.filePath("QVhelp.chm"));
    ASSERT_NE(first, nullptr);
    first->browser()->setSource(platform::ChmBrowser::urlFor("/pages/two.htm"));
    first->hide();

    // The program names the file in another case than it is stored in.
    ASSERT_TRUE(viewer.displayTopic(dir.filePath("qvhelp.chm"), owner.get()));
    EXPECT_EQ(viewer.windowFor(dir.filePath("QVhelp.chm")), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->browser()->source().path(), "/pages/start.htm");
    EXPECT_EQ(viewerWindows(), 1);
}

TEST_F(ChmHelpViewerTest, ClosedWindowIsOpenedAfresh) {
    ASSERT_TRUE(viewer.displayTopic(dir.filePath("QVhelp.chm"), owner.get()));
    viewer.windowFor(dir.filePath("QVhelp.chm"))->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(viewer.windowFor(dir.filePath("QVhelp.chm")), nullptr);

    ASSERT_TRUE(viewer.displayTopic(dir.filePath("QVhelp.chm"), nullptr));
    HelpViewerWindow* again = viewer.windowFor(dir.filePath("QVhelp.chm"));
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->isVisible());
    EXPECT_EQ(viewerWindows(), 1);
}

} // namespace
