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

TEST(GrammarFile, ReadsEntitiesBackAsCharacters) {
    const auto rules =
        GrammarFile::parse(programGrammar({"AT&amp;T", "Say &lt;hello&gt; to &quot;Anna&quot;",
                                           "It&apos;s &amp; more"}),
                           "t");
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].phrases, (QStringList{"AT&T", "Say <hello> to \"Anna\"", "It's & more"}));
}

// Without a declaration the file is in Windows-1252; with one, in the encoding declared.
TEST(GrammarFile, ReadsTheCodePageOrTheDeclaredEncoding) {
    const QString cafe = QString::fromUtf8("Caf\u00e9 au lait");
    const QString its = QString::fromUtf8("It\u2019s \u20ac5");
    const QString chinese = QString::fromUtf8("Caf\u00e9 \u4f60\u597d \u2019");
    // programGrammar writes each character as one byte: these are UTF-8's bytes.
    const QString utf8Bytes = QString::fromLatin1("Caf\xc3\xa9 au lait");
    QByteArray cp1252 = programGrammar({"Cafe au lait", "Its 5"});
    cp1252.replace("Cafe", "Caf\xe9")
        .replace("Its 5", "It\x92s \x80"
                          "5");
    const QByteArray declaredUtf8 =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" +
        programGrammar({}).replace("<L>", "<L>\r\n<P>" + chinese.toUtf8() + "</P>");
    const QByteArray declaredLatin1 = "<?xml version='1.0' encoding='ISO-8859-1'?>" +
                                      programGrammar({"Cafe au lait"}).replace("Cafe", "Caf\xe9");
    struct Case {
        const char* what;
        QByteArray bytes;
        QStringList phrases;
    };
    const Case cases[] = {
        {"Windows-1252", cp1252, {cafe, its}},
        {"UTF-8 declared", declaredUtf8, {chinese}},
        {"UTF-8 with a byte-order mark", "\xef\xbb\xbf" + programGrammar({utf8Bytes}), {cafe}},
        {"UTF-8 undeclared is read as the code page",
         programGrammar({utf8Bytes}),
         {QString::fromUtf8("Caf\u00c3\u00a9 au lait")}},
        {"ISO-8859-1 declared", declaredLatin1, {cafe}},
    };
    for (const Case& c : cases) {
        const auto rules = GrammarFile::parse(c.bytes, "t");
        ASSERT_EQ(rules.size(), 1u) << c.what;
        EXPECT_EQ(rules[0].phrases, c.phrases) << c.what;
    }

    const QByteArray wrong[] = {
        "<?xml version=\"1.0\" encoding=\"no-such-code\"?>" + programGrammar({"a"}),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" +
            programGrammar({QString::fromLatin1("Caf\xe9")}),
    };
    for (const QByteArray& bytes : wrong)
        EXPECT_THROW(GrammarFile::parse(bytes, "t"), PlatformError) << bytes.toStdString();
}

// A hostile or broken file is refused, never a stack overflow or an endless list.
TEST(GrammarFile, RefusesDeepNestingAndRunawayExpansion) {
    const int deep = 50000;
    const QByteArray nested = "<GRAMMAR><RULE NAME=\"dialog\">" + QByteArray("<P>").repeated(deep) +
                              "x" + QByteArray("</P>").repeated(deep) + "</RULE></GRAMMAR>";
    const QByteArray options = "<GRAMMAR><RULE NAME=\"r\"><P>" +
                               QByteArray("<O>a</O><O>b</O>").repeated(7) + "</P></RULE></GRAMMAR>";
    const QByteArray list = "<GRAMMAR><RULE NAME=\"r\"><L>" +
                            QByteArray("<P>hello</P>").repeated(GrammarFile::kMaxPhrases + 1) +
                            "</L></RULE></GRAMMAR>";
    const QByteArray longPhrase = programGrammar({QString("word ").repeated(500)});
    // Each of 3,000 words after a list of 4,000 phrases copies every phrase
    // again: billions of characters from 60 KB of XML.
    const QByteArray quadratic = "<GRAMMAR><RULE NAME=\"r\"><P><L>" +
                                 QByteArray("<P>hi</P>").repeated(4000) + "</L>" +
                                 QByteArray("<P>w</P>").repeated(3000) + "</P></RULE></GRAMMAR>";
    struct Case {
        const char* what;
        const QByteArray& bytes;
        const char* message;
    };
    const Case cases[] = {{"50,000 nested <P>", nested, "nested"},
                          {"2^14 option paths", options, "phrases"},
                          {"too many alternatives", list, "phrases"},
                          {"2,500-character phrase", longPhrase, "longer"},
                          {"list then a long sequence", quadratic, "expand to more"}};
    for (const Case& c : cases) {
        try {
            GrammarFile::parse(c.bytes, "t");
            ADD_FAILURE() << c.what << " was accepted";
        } catch (const PlatformError& e) {
            EXPECT_NE(e.message().indexOf(c.message), -1) << c.what << ": " << e.what();
        }
    }
    const QByteArray fine = "<GRAMMAR><RULE NAME=\"r\">" + QByteArray("<P>").repeated(20) + "x" +
                            QByteArray("</P>").repeated(20) + "</RULE></GRAMMAR>";
    EXPECT_EQ(GrammarFile::parse(fine, "t").at(0).phrases, QStringList{"x"});
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
