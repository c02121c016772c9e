#include "GrammarFile.h"

#include "PlatformError.h"
#include "paths/PathLookup.h"

#include <QFile>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace platform {

namespace {

// Guards against a grammar whose options multiply into more paths than a
// phrase search can hold.
constexpr qsizetype kMaxPhrases = 5000;

bool named(const QXmlStreamReader& xml, const char* name) {
    return xml.name().compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

QStringView attribute(const QXmlStreamReader& xml, const char* name) {
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return a.value();
    return {};
}

QString decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

} // namespace

std::vector<GrammarRule> GrammarFile::load(const QString& path) {
    QFile file(PathLookup().resolve(path));
    if (!file.open(QIODevice::ReadOnly))
        throw PlatformError(
            QStringLiteral("Cannot read the grammar file %1: %2").arg(path, file.errorString()));
    return parse(file.readAll(), path);
}

std::vector<GrammarRule> GrammarFile::parse(const QByteArray& bytes, const QString& origin) {
    QXmlStreamReader xml(decode(bytes));
    std::vector<GrammarRule> rules;
    bool sawGrammar = false;
    while (!xml.atEnd() && !xml.hasError()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (named(xml, "GRAMMAR")) {
            sawGrammar = true;
        } else if (named(xml, "RULE") && sawGrammar) {
            GrammarRule rule;
            rule.name = attribute(xml, "NAME").toString();
            rule.id = attribute(xml, "ID").toInt();
            rule.activeOnLoad =
                attribute(xml, "TOPLEVEL").compare(QLatin1String("ACTIVE"), Qt::CaseInsensitive) ==
                0;
            rule.phrases = sequence(xml);
            rule.phrases.removeAll(QString());
            rules.push_back(std::move(rule));
        } else {
            xml.raiseError(QStringLiteral("unexpected element <%1>").arg(xml.name()));
        }
    }
    if (!xml.hasError() && !sawGrammar)
        xml.raiseError(QStringLiteral("no <GRAMMAR> element"));
    if (xml.hasError())
        throw PlatformError(QStringLiteral("Malformed grammar file %1, line %2: %3")
                                .arg(origin)
                                .arg(xml.lineNumber())
                                .arg(xml.errorString()));
    return rules;
}

QStringList GrammarFile::sequence(QXmlStreamReader& xml) {
    QStringList paths{QString()};
    while (!xml.atEnd() && !xml.hasError()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::Characters:
            if (const QString text = xml.text().toString().trimmed(); !text.isEmpty())
                paths = join(paths, {text});
            break;
        case QXmlStreamReader::StartElement:
            paths = join(paths, element(xml));
            break;
        case QXmlStreamReader::EndElement:
            return paths;
        default:
            break;
        }
    }
    return paths;
}

QStringList GrammarFile::alternatives(QXmlStreamReader& xml) {
    QStringList paths;
    while (!xml.atEnd() && !xml.hasError()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::Characters:
            if (const QString text = xml.text().toString().trimmed(); !text.isEmpty())
                paths << text;
            break;
        case QXmlStreamReader::StartElement:
            paths << element(xml);
            break;
        case QXmlStreamReader::EndElement:
            return paths;
        default:
            break;
        }
    }
    return paths;
}

QStringList GrammarFile::element(QXmlStreamReader& xml) {
    if (named(xml, "P"))
        return sequence(xml);
    if (named(xml, "L"))
        return alternatives(xml);
    if (named(xml, "O"))
        return sequence(xml) << QString();
    xml.raiseError(QStringLiteral("unsupported element <%1> in a rule").arg(xml.name()));
    return {};
}

QStringList GrammarFile::join(const QStringList& heads, const QStringList& tails) {
    QStringList paths;
    for (const QString& head : heads) {
        for (const QString& tail : tails) {
            if (paths.size() >= kMaxPhrases)
                return paths;
            paths << (head.isEmpty() || tail.isEmpty() ? head + tail : head + ' ' + tail);
        }
    }
    return paths;
}

} // namespace platform
