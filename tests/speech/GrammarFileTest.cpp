#include "speech/GrammarFile.h"
#include "PlatformError.h"
#include "SpeechTestSupport.h"
#include "speech/WaveFile.h"
#include "speech/WordPronouncer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::GrammarFile;
using platform::PlatformError;
using platform::WaveFile;
using platform::WordPronouncer;

namespace {

// The grammar file as the exercise window writes it: CR LF lines, no indentation.
QByteArray programGrammar(const QStringList& phrases) {
    QStringList lines{"<GRAMMAR LANGID=\"409\">", "<RULE NAME=\"dialog\" TOPLEVEL=\"ACTIVE\">",
                      "<P>", "<L>"};
    for (const QString& p : phrases)
        lines << "<P>" + p + "</P>";
    lines << "</L>"
          << "</P>"
          << "</RULE>"
          << "</GRAMMAR>";
    return (lines.join("\r\n") + "\r\n").toLatin1();
}

TEST(GrammarFile, ReadsTheDialogRulePhrasesAsWritten) {
    const auto rules = GrammarFile::parse(
        programGrammar({"Lucy Is that you", "Fish &amp; chips", "", "  Spaced  out "}), "t");
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].name, "dialog");
    EXPECT_TRUE(rules[0].activeOnLoad);
    EXPECT_EQ(rules[0].phrases, (QStringList{"Lucy Is that you", "Fish & chips", "Spaced  out"}));
}

TEST(GrammarFile, ExpandsSequencesListsAndOptions) {
    const auto rules = GrammarFile::parse("<grammar><rule name=\"r\" id=\"7\"><p>good <l><p>morning"
                                          "</p><p>night</p></l><o>Tom</o></p></rule></grammar>",
                                          "t");
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].id, 7);
    EXPECT_FALSE(rules[0].activeOnLoad);
    EXPECT_EQ(rules[0].phrases,
              (QStringList{"good morning Tom", "good morning", "good night Tom", "good night"}));
}

TEST(GrammarFile, RefusesMalformedAndMissingFiles) {
    const QByteArray malformed[] = {
        programGrammar({"Fish & chips"}),              // unescaped ampersand
        "<GRAMMAR><RULE NAME=\"dialog\"><P>hi</RULE>", // tags out of order
        "<GRAMMAR><RULE NAME=\"dialog\"><P>hi</P>",    // ends early
        "just text",
        "<SPEAK>hello</SPEAK>",
    };
    for (const QByteArray& text : malformed)
        EXPECT_THROW(GrammarFile::parse(text, "t"), PlatformError) << text.toStdString();
    EXPECT_THROW(GrammarFile::load(speechtest::tempDir() + "/no-such-grammar.xml"), PlatformError);
}

TEST(GrammarFile, ReadsSingleByteCodePageText) {
    const auto rules = GrammarFile::parse(
        programGrammar({QString::fromUtf8("Caf\u00e9 au lait")}).replace("Caf\xc3\xa9", "Caf\xe9"),
        "t");
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].phrases, QStringList{QString::fromUtf8("Caf\u00e9 au lait")});
}

// The program writes "~file.xml" and loads "~File.xml"; its paths may use
// "\\" and any letter case, as every file path of the program may.
TEST(SpeechFilePaths, GrammarAndWaveFilesAreFoundWithoutRegardToCase) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("lst/010101"));
    QFile grammar(dir.filePath("~file.xml"));
    ASSERT_TRUE(grammar.open(QIODevice::WriteOnly));
    grammar.write(programGrammar({"Good morning"}));
    grammar.close();
    speechtest::writeTone(dir.filePath("lst/010101/01010100001a2.wav"), 0.1);

    const auto rules = GrammarFile::load(dir.path() + "/~File.xml");
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].phrases, QStringList{"Good morning"});
    const WaveFile wave = WaveFile::read(dir.path() + "\\LST\\010101\\01010100001A2.WAV");
    EXPECT_EQ(wave.sampleRate, 16000);
    EXPECT_EQ(wave.frames(), 1600u);
    EXPECT_THROW(WaveFile::read(dir.path() + "/lst/010101/missing.wav"), PlatformError);
}

TEST(WordPronouncer, TokensAreLowerCaseDictionaryWords) {
    EXPECT_EQ(WordPronouncer::tokens("Hello, I'm Li-Ming & 'Tom'!"),
              (QStringList{"hello", "i'm", "li", "ming", "and", "tom"}));
    EXPECT_TRUE(WordPronouncer::tokens(" ,.! ").isEmpty());
}

TEST(WordPronouncer, GivesUnknownWordsModelPhones) {
    EXPECT_EQ(WordPronouncer::phonesFromIpa(QString::fromUtf8("z\u02c8o\u02d0\u0279v\u026ak")),
              "Z AO R V IH K");
    EXPECT_EQ(WordPronouncer::phonesFromLetters("ox2"), "AA K S T UW");
    const QString phones = WordPronouncer::phones("zorvik");
    EXPECT_FALSE(phones.isEmpty());
    for (const QString& phone : phones.split(' '))
        EXPECT_TRUE(phone.size() <= 2 && phone == phone.toUpper()) << phone.toStdString();
}

} // namespace
