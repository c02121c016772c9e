// Links in the help file's own forms stay inside help files; links that leave
// them open only after the learner agrees.
#include "FakeMessageBox.h"
#include "HelpFixtures.h"
#include "help/ChmBrowser.h"
#include "help/ChmFile.h"
#include "help/HelpViewerWindow.h"

#include <QDesktopServices>
#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <memory>

using platform::ChmBrowser;
using platform::ChmFile;
using platform::HelpViewerWindow;
using platform::MsgAnswer;

// Takes the addresses the desktop would have opened.
class DesktopOpener : public QObject {
    Q_OBJECT
public:
    DesktopOpener() {
        for (const char* scheme : {"http", "https", "mailto"})
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~DesktopOpener() override {
        for (const char* scheme : {"http", "https", "mailto"})
            QDesktopServices::unsetUrlHandler(scheme);
    }
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }
};

namespace {

// The help file QVhelp.chm with the help file Other.CHM next to it.
class ChmBrowserLinks : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFile::copy(helpFixture("fixture.chm"), dir.filePath("QVhelp.chm")));
        ASSERT_TRUE(QFile::copy(helpFixture("home.chm"), dir.filePath("Other.CHM")));
        ASSERT_TRUE(QFile::copy(helpFixture("notopic.chm"), dir.filePath("sub.chm.txt")));
        auto file = ChmFile::open(dir.filePath("QVhelp.chm"));
        ASSERT_NE(file, nullptr);
        window = std::make_unique<HelpViewerWindow>(std::move(file), nullptr, &messages);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
    }

    void click(const QString& href) { emit browser()->anchorClicked(QUrl(href)); }
    ChmBrowser* browser() const { return window->browser(); }
    QString page() const { return browser()->source().path(QUrl::FullyDecoded); }
    QString text() const { return browser()->toPlainText(); }

    QTemporaryDir dir;
    FakeMessageBox messages;
    DesktopOpener desktop;
    std::unique_ptr<HelpViewerWindow> window;
};

} // namespace

TEST_F(ChmBrowserLinks, ItsLinksToThisFileOpenItsPages) {
    const struct {
        const char* href;
        const char* page;
        const char* fragment;
        const char* shows;
    } cases[] = {
        {"ms-its:QVhelp.chm::/pages/two.htm#second", "/pages/two.htm", "second",
         "The second page."},
        {"mk:@MSITStore:C:\\Program Files\\Verbaro\\qvhelp.CHM::/index.htm", "/index.htm", "",
         "Home page of the fixture."},
        {"MS-ITS:qvhelp.chm::pages\\two.htm", "/pages/two.htm", "", "The second page."},
        {"its:/opt/verbaro/QVhelp.chm::/pages/gbk.htm", "/pages/gbk.htm", "", ""},
        {"ms-its:QVhelp.chm", "/pages/start.htm", "", "Start page"},
    };
    for (const auto& c : cases) {
        click("ms-its:QVhelp.chm::/index.htm");
        click(c.href);
        EXPECT_EQ(page(), c.page) << c.href;
        EXPECT_EQ(browser()->source().fragment(), c.fragment) << c.href;
        EXPECT_TRUE(browser()->source().host().isEmpty()) << c.href;
        EXPECT_TRUE(text().contains(c.shows)) << c.href;
    }
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(desktop.opened.isEmpty());
}

TEST_F(ChmBrowserLinks, ItsLinkToAFileNextToItOpensThatFile) {
    click("mk:@MSITStore:other.chm::/pages/two.htm");
    EXPECT_EQ(page(), "/pages/two.htm");
    EXPECT_FALSE(browser()->source().host().isEmpty()) << "a page of the other file";
    EXPECT_TRUE(text().contains("The second page."));
    // Its relative links stay in it...
    click("../index.htm");
    EXPECT_EQ(page(), "/index.htm");
    EXPECT_FALSE(browser()->source().host().isEmpty());
    EXPECT_TRUE(text().contains("Home page of the fixture."));
    // ...and going back returns to the pages of the first file.
    browser()->backward();
    browser()->backward();
    EXPECT_EQ(page(), "/pages/start.htm");
    EXPECT_TRUE(browser()->source().host().isEmpty());
    EXPECT_TRUE(text().contains("Start page"));

    // A page that only the first file has is missing in the other one.
    click("ms-its:OTHER.chm::/pages/start.htm");
    EXPECT_TRUE(text().contains(QString::fromUtf8("找不到此页")));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ChmBrowserLinks, ItsLinkToAMissingFileSaysSoAndStays) {
    for (const char* href : {"ms-its:nothere.chm::/index.htm", "ms-its:sub.chm.txt::/index.htm",
                             "ms-its:..\\..\\etc\\QVhelp.chm.bak::/x.htm"}) {
        messages.shown.clear();
        click(href);
        EXPECT_EQ(page(), "/pages/start.htm") << href;
        ASSERT_EQ(messages.shown.size(), 1u) << href;
        EXPECT_TRUE(messages.shown[0].text.startsWith(QString::fromUtf8("找不到帮助文件"))) << href;
    }
}

TEST_F(ChmBrowserLinks, OutsideLinksOpenOnlyWhenTheLearnerAgrees) {
    const char* hrefs[] = {"https://example.com/a?b=1", "http://example.com/",
                           "mailto:help@example.com"};
    for (const char* href : hrefs) {
        messages.answers = {MsgAnswer::No};
        click(href);
    }
    EXPECT_TRUE(desktop.opened.isEmpty());
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[0].buttons, platform::MsgButtons::YesNo);
    EXPECT_TRUE(messages.shown[0].text.contains("https://example.com/a?b=1"));
    EXPECT_EQ(page(), "/pages/start.htm");

    for (const char* href : hrefs) {
        messages.answers = {MsgAnswer::Yes};
        click(href);
    }
    ASSERT_EQ(desktop.opened.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(desktop.opened[i], QUrl(hrefs[i]));
    EXPECT_EQ(page(), "/pages/start.htm");
}

TEST_F(ChmBrowserLinks, PicturesNamedAsItsLinksComeFromTheHelpFiles) {
    const auto load = [this](const char* href) {
        return browser()->loadResource(QTextDocument::ImageResource, QUrl(href));
    };
    const QVariant own = load("ms-its:QVhelp.chm::/pages/red.png");
    const QVariant other = load("mk:@MSITStore:other.chm::/pages/red.png");
    ASSERT_EQ(own.typeId(), QMetaType::QByteArray);
    EXPECT_TRUE(own.toByteArray().startsWith("\x89PNG"));
    EXPECT_EQ(other.toByteArray(), own.toByteArray());
    EXPECT_FALSE(load("ms-its:nothere.chm::/pages/red.png").isValid());
}

#include "ChmBrowserLinksTest.moc"
