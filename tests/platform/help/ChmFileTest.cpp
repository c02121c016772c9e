#include "help/ChmFile.h"
#include "HelpFixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::ChmFile;

namespace {

struct DefaultTopicCase {
    const char* file;
    const char* topic;
};

class DefaultTopicTest : public ::testing::TestWithParam<DefaultTopicCase> {};

// The project's default topic first; without one the root home page, else
// the first page of the topic list (not the first page by name).
TEST_P(DefaultTopicTest, FindsTheFirstPageToShow) {
    const auto chm = ChmFile::open(helpFixture(GetParam().file));
    ASSERT_NE(chm, nullptr);
    EXPECT_EQ(chm->defaultTopic(), QString::fromLatin1(GetParam().topic));
    EXPECT_TRUE(chm->read(chm->defaultTopic()).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Files, DefaultTopicTest,
    ::testing::Values(DefaultTopicCase{"fixture.chm", "/pages/start.htm"},
                      DefaultTopicCase{"home.chm", "/index.htm"},
                      DefaultTopicCase{"notopic.chm", "/pages/two.htm"}),
    [](const auto& info) {
        return QString::fromLatin1(info.param.file).section('.', 0, 0).toStdString();
    });

TEST(ChmFileTest, ReadsTitleAndLanguageFromTheSystemFile) {
    const auto chm = ChmFile::open(helpFixture("fixture.chm"));
    ASSERT_NE(chm, nullptr);
    EXPECT_EQ(chm->title(), QString::fromUtf8("测试帮助")); // stored in GBK
    EXPECT_EQ(chm->codePage(), "GB18030");

    const auto untitled = ChmFile::open(helpFixture("notopic.chm"));
    ASSERT_NE(untitled, nullptr);
    EXPECT_TRUE(untitled->title().isEmpty());
    EXPECT_EQ(untitled->codePage(), "CP1252");
}

TEST(ChmFileTest, ResolvesObjectsAsHelpProjectsNameThem) {
    const auto chm = ChmFile::open(helpFixture("fixture.chm"));
    ASSERT_NE(chm, nullptr);
    for (const char* name : {"/pages/two.htm", "pages\\two.htm", "/PAGES/Two.HTM"}) {
        SCOPED_TRACE(name);
        const auto bytes = chm->read(QString::fromLatin1(name));
        ASSERT_TRUE(bytes.has_value());
        EXPECT_TRUE(bytes->contains("The second page."));
    }
    EXPECT_FALSE(chm->contains("/pages/none.htm"));
    EXPECT_FALSE(chm->read("/pages/none.htm").has_value());

    const auto png = chm->read("/pages/red.png");
    ASSERT_TRUE(png.has_value());
    EXPECT_TRUE(png->startsWith("\x89PNG"));
    EXPECT_TRUE(chm->objects().contains("/pages/red.png"));
    EXPECT_FALSE(chm->objects().contains("/#SYSTEM"));
}

TEST(ChmFileTest, RefusesWhatIsNotAHelpFile) {
    QTemporaryDir dir;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    QFile real(helpFixture("fixture.chm"));
    ASSERT_TRUE(real.open(QIODevice::ReadOnly));
    const QByteArray chmBytes = real.readAll();

    const QStringList refused{
        dir.filePath("missing.chm"),
        write("empty.chm", {}),
        write("text.chm", "<html><body>not compiled</body></html>"),
        write("header.chm", chmBytes.left(64)),
        dir.path(),
    };
    for (const QString& path : refused) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(ChmFile::open(path), nullptr);
    }
}

} // namespace
