#include "help/HelpViewerWindow.h"
#include "HelpFixtures.h"
#include "help/ChmBrowser.h"
#include "help/ChmFile.h"

#include <QImage>
#include <QPixmap>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

using platform::ChmBrowser;
using platform::ChmFile;
using platform::HelpViewerWindow;

namespace {

class HelpViewerWindowTest : public ::testing::Test {
protected:
    std::unique_ptr<HelpViewerWindow> open(const char* file) {
        auto chm = ChmFile::open(helpFixture(file));
        EXPECT_NE(chm, nullptr);
        auto window = std::make_unique<HelpViewerWindow>(std::move(chm), nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }

    // Clicks the link whose text is `text`, as a user would.
    static void clickLink(ChmBrowser* browser, const QString& text) {
        QTextCursor found = browser->document()->find(text);
        ASSERT_FALSE(found.isNull()) << text.toStdString();
        QTextCursor middle(browser->document());
        middle.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
        const QPoint at = browser->cursorRect(middle).center();
        QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, at);
    }

    static int redPixels(const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) == QColor(Qt::red) ? 1 : 0;
        }
        return count;
    }

    static QString page(ChmBrowser* browser) { return browser->source().path(QUrl::FullyDecoded); }
};

TEST_F(HelpViewerWindowTest, ShowsTheDefaultTopicTitledByTheFile) {
    const auto window = open("fixture.chm");
    EXPECT_EQ(page(window->browser()), "/pages/start.htm");
    EXPECT_TRUE(window->browser()->toPlainText().contains("Start page"));
    EXPECT_TRUE(window->browser()->toPlainText().contains(QString::fromUtf8("单元菜单")));
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("测试帮助"));
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->windowModality(), Qt::NonModal);
}

TEST_F(HelpViewerWindowTest, WithoutAFileTitleShowsThePageTitle) {
    const auto window = open("notopic.chm");
    EXPECT_EQ(window->windowTitle(), "Two");
}

TEST_F(HelpViewerWindowTest, LinksInsideTheFileLoadAndHistoryGoesBack) {
    const auto window = open("fixture.chm");
    ChmBrowser* browser = window->browser();
    clickLink(browser, "Second page");
    EXPECT_EQ(page(browser), "/pages/two.htm");
    EXPECT_EQ(browser->source().fragment(), "second");
    EXPECT_TRUE(browser->toPlainText().contains("The second page."));

    clickLink(browser, "Back to start");
    EXPECT_EQ(page(browser), "/pages/start.htm");
    browser->backward();
    EXPECT_EQ(page(browser), "/pages/two.htm");
    EXPECT_TRUE(browser->isForwardAvailable());
    browser->home();
    EXPECT_EQ(page(browser), "/pages/start.htm");
}

TEST_F(HelpViewerWindowTest, PicturesComeFromTheFile) {
    const auto window = open("fixture.chm");
    const QVariant image =
        window->browser()->loadResource(QTextDocument::ImageResource, QUrl("red.png"));
    QImage decoded;
    ASSERT_TRUE(decoded.loadFromData(image.toByteArray()));
    EXPECT_EQ(decoded.size(), QSize(6, 4));
    EXPECT_EQ(decoded.pixelColor(0, 0), QColor(Qt::red));

    // After moving to a page in another folder, its pictures are found
    // relative to that page and drawn.
    clickLink(window->browser(), "Root page");
    EXPECT_EQ(page(window->browser()), "/index.htm");
    EXPECT_GT(redPixels(window->browser()->viewport()->grab().toImage()), 40 * 40 / 2);
}

TEST_F(HelpViewerWindowTest, GbkPageDecodes) {
    const auto window = open("fixture.chm");
    clickLink(window->browser(), "GBK page");
    EXPECT_EQ(page(window->browser()), "/pages/gbk.htm");
    EXPECT_TRUE(window->browser()->toPlainText().contains(QString::fromUtf8("勤奋指数和能力指数")));
    EXPECT_EQ(window->browser()->documentTitle(), QString::fromUtf8("编码"));
}

TEST_F(HelpViewerWindowTest, MissingPageSaysSoInsteadOfShowingNothing) {
    const auto window = open("fixture.chm");
    window->browser()->setSource(ChmBrowser::urlFor("/pages/none.htm"));
    EXPECT_TRUE(window->browser()->toPlainText().contains("/pages/none.htm"));
}

} // namespace
