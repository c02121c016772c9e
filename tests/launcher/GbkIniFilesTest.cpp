#include "ini/GbkIniFiles.h"
#include "paths/PathLookup.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class GbkIni : public ::testing::Test {
protected:
    void write(const QByteArray& bytes) {
        QFile file(dir.filePath("Texts.INI"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QString read(const QString& section, const QString& key, const QString& fallback = "-") {
        // Any letter case of the name finds the file.
        return ini.readString(dir.filePath("texts.ini"), section, key, fallback);
    }

    QTemporaryDir dir;
    QTemporaryDir drive;
    platform::PathLookup paths{drive.path()};
    platform::GbkIniFiles ini{paths};
};

} // namespace

TEST_F(GbkIni, DecodesCodePage936) {
    // "你好，李明。" and "外出旅行时" in GBK.
    write("[cd]\r\n010101000010=\xC4\xE3\xBA\xC3\xA3\xAC\xC0\xEE\xC3\xF7\xA1\xA3\r\n"
          "k2=\xCD\xE2\xB3\xF6\xC2\xC3\xD0\xD0\xCA\xB1\r\n");
    EXPECT_EQ(read("cd", "010101000010"), QStringLiteral("你好，李明。"));
    EXPECT_EQ(read("cd", "k2"), QStringLiteral("外出旅行时"));
}

TEST_F(GbkIni, FollowsThePlatformsLookupRules) {
    write("; comment\n[Other]\nkey=other\n[ED]\n  Key  =  spaced value  \nempty=\nnoequals\n"
          "key=second\n");
    const struct {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"ed", "KEY", "spaced value"}, // case-insensitive, trimmed, first wins
        {"ED", "empty", ""},           {"ed", "missing", "-"},  {"nosection", "key", "-"},
        {"other", "key", "other"},     {"ed", "noequals", "-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read(c.section, c.key), QString::fromUtf8(c.expected))
            << c.section << "/" << c.key;
}

TEST_F(GbkIni, MissingFileAndBrokenBytesGiveDefaultsAndReplacement) {
    EXPECT_EQ(read("ed", "k"), "-");
    write("[ed]\nk=A\xFF"
          "B\n");
    EXPECT_EQ(read("ed", "k"), QStringLiteral("A\uFFFDB"));
}
