#include "help/HelpTextDecoder.h"

#include <gtest/gtest.h>

using platform::HelpTextDecoder;

namespace {

// "勤奋指数" in GBK.
const QByteArray kGbk("\xC7\xDA\xB7\xDC\xD6\xB8\xCA\xFD");
const QString kText = QString::fromUtf8("勤奋指数");

struct PageCase {
    const char* name;
    QByteArray page;
    QByteArray fallback;
    QString text;
};

class DecodePageTest : public ::testing::TestWithParam<PageCase> {};

TEST_P(DecodePageTest, DecodesByDeclaredCharsetElseUtf8ElseFileCodePage) {
    EXPECT_TRUE(HelpTextDecoder::decodePage(GetParam().page, GetParam().fallback)
                    .contains(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Pages, DecodePageTest,
    ::testing::Values(
        PageCase{"MetaGb2312",
                 "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">" + kGbk,
                 "CP1252", kText},
        PageCase{"Html5MetaGbk", "<META CHARSET='GBK'><p>" + kGbk, "UTF-8", kText},
        PageCase{"MetaUtf8OverridesFileCodePage", "<meta charset=utf-8>" + kText.toUtf8(),
                 "GB18030", kText},
        PageCase{"NoMetaValidUtf8", "<p>" + kText.toUtf8(), "GB18030", kText},
        PageCase{"NoMetaFileCodePage", "<p>" + kGbk, "GB18030", kText},
        PageCase{"Utf8Bom", "\xEF\xBB\xBF<p>" + kText.toUtf8(), "GB18030", kText},
        PageCase{"UnknownCharsetReadsAsUtf8", "<meta charset=x-nonsense>" + kText.toUtf8(),
                 "CP1252", kText}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HelpTextDecoderTest, MarksBadBytesAndKeepsTheRest) {
    // A byte that starts no character, then a lead byte cut off at the end.
    const QString text = HelpTextDecoder::decode("\xFF" + kGbk.left(4) + "end\x81", "gbk");
    EXPECT_EQ(text, QChar(0xFFFD) + QString::fromUtf8("勤奋end") + QChar(0xFFFD));
}

TEST(HelpTextDecoderTest, CodePageFollowsTheFilesLanguage) {
    EXPECT_EQ(HelpTextDecoder::codePageForLcid(0x0804), "GB18030");
    EXPECT_EQ(HelpTextDecoder::codePageForLcid(0x0404), "BIG5");
    EXPECT_EQ(HelpTextDecoder::codePageForLcid(0x0411), "CP932");
    EXPECT_EQ(HelpTextDecoder::codePageForLcid(0x0409), "CP1252");
}

} // namespace
