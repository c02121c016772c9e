#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class QXmlStreamReader;

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
// spaces. Element names ignore case. The file may be UTF-8 or a single-byte
// code page (read as Latin-1 when it is not valid UTF-8).
class GrammarFile {
public:
    // The path is found as every file of the programs is (PathLookup: "\"
    // and any letter case). Raises PlatformError when the file is missing,
    // unreadable or malformed.
    static std::vector<GrammarRule> load(const QString& path);
    static std::vector<GrammarRule> parse(const QByteArray& bytes, const QString& origin);

private:
    static QStringList sequence(QXmlStreamReader& xml);
    static QStringList alternatives(QXmlStreamReader& xml);
    static QStringList element(QXmlStreamReader& xml);
    static QStringList join(const QStringList& heads, const QStringList& tails);
};

} // namespace platform
