#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace platform {

// One rule of a grammar file with every phrase it accepts, each as written.
struct GrammarRule {
    QString name;
    int id = 0;
    bool activeOnLoad = false; // TOPLEVEL="ACTIVE"
    QStringList phrases;
};

// Reads the XML grammar files the program writes:
//   <GRAMMAR LANGID="409"><RULE NAME="dialog" TOPLEVEL="ACTIVE"><P><L>
//   <P>phrase</P>... </L></P></RULE></GRAMMAR>
// <P> is a sequence, <L> a list of alternatives, <O> an optional part; the
// rule's phrases are every path through it, its texts joined by single
// spaces, with the XML entities (&amp; &lt; ...) read back as the characters.
// Element names ignore case.
//
// Encoding: a file without an XML declaration naming its encoding is in the
// program's single-byte code page, Windows-1252; with one (UTF-8 when a
// phrase needs characters outside that code page) it is read in the encoding
// declared. A byte-order mark is followed as well.
//
// Limits keep a broken or hostile file from exhausting the stack or memory:
// nesting deeper than kMaxDepth, more than kMaxPhrases paths through a rule,
// a phrase longer than kMaxPhraseLength, rules whose expansion builds more
// than kMaxBuiltCharacters (partial phrases included: a list followed by a
// long sequence would otherwise cost time growing with the square of its
// length) or a file larger than kMaxFileBytes is refused with PlatformError.
class GrammarFile {
public:
    static constexpr int kMaxDepth = 32;
    static constexpr qsizetype kMaxPhrases = 5000;
    static constexpr qsizetype kMaxPhraseLength = 2000;
    static constexpr qsizetype kMaxBuiltCharacters = kMaxPhrases * kMaxPhraseLength;
    static constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

    // The path is found as every file of the programs is (PathLookup: "\"
    // and any letter case). Raises PlatformError when the file is missing,
    // unreadable or malformed.
    static std::vector<GrammarRule> load(const QString& path);
    static std::vector<GrammarRule> parse(const QByteArray& bytes, const QString& origin);

    // The text of a file in the encoding it declares, Windows-1252 without a
    // declaration; raises PlatformError for an unknown encoding or bytes that
    // are not valid in the one declared.
    static QString decode(const QByteArray& bytes, const QString& origin);
};

} // namespace platform
