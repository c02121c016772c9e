#include "help/ChmFile.h"
#include "help/HelpTextDecoder.h"

#include <QRegularExpression>
#include <QUrl>
#include <gtest/gtest.h>

using platform::ChmFile;

namespace {

// The demo program's help file as the build compiles it.
TEST(DemoHelpTest, OpensAtItsHomePageTitledInChinese) {
    const auto chm = ChmFile::open(QStringLiteral(DEMO_HELP_FILE));
    ASSERT_NE(chm, nullptr);
    EXPECT_EQ(chm->defaultTopic(), "/index.htm");
    EXPECT_EQ(chm->title(), QString::fromUtf8("Verbaro 使用帮助"));
}

TEST(DemoHelpTest, EveryLinkAndPictureIsInTheFile) {
    const auto chm = ChmFile::open(QStringLiteral(DEMO_HELP_FILE));
    ASSERT_NE(chm, nullptr);
    static const QRegularExpression reference(R"re((?:href|src)\s*=\s*"([^"]+)")re",
                                              QRegularExpression::CaseInsensitiveOption);
    int pages = 0;
    for (const QString& object : chm->objects()) {
        if (!object.endsWith(".htm"))
            continue;
        ++pages;
        const QString html =
            platform::HelpTextDecoder::decodePage(*chm->read(object), chm->codePage());
        for (const auto& match : reference.globalMatch(html)) {
            const QUrl target = QUrl("chm:" + object).resolved(QUrl(match.captured(1)));
            SCOPED_TRACE((object + " -> " + match.captured(1)).toStdString());
            ASSERT_TRUE(chm->contains(target.path()));
            if (target.hasFragment()) {
                const QByteArray page = *chm->read(target.path());
                EXPECT_TRUE(page.contains("name=\"" + target.fragment().toUtf8() + "\""));
            }
        }
    }
    EXPECT_GE(pages, 3);
}

} // namespace
