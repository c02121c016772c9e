#include "GrammarFile.h"

#include "PlatformError.h"
#include "paths/PathLookup.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <array>
#include <optional>

namespace platform {

namespace {

// Windows-1252 where it differs from Latin-1 (bytes 0x80..0x9F); the five
// bytes it leaves undefined keep their Latin-1 meaning, as Windows maps them.
constexpr std::array<char16_t, 32> kCp1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromCp1252(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b));
    }
    return text;
}

// The encoding named by an XML declaration at the start, empty when none.
QString declaredEncoding(const QByteArray& bytes) {
    static const QRegularExpression declaration(
        QStringLiteral(R"(^\s*<\?xml\s[^>]*?encoding\s*=\s*["']([A-Za-z0-9._\-]+)["'])"));
    const QRegularExpressionMatch m = declaration.match(QString::fromLatin1(bytes.left(200)));
    return m.hasMatch() ? m.captured(1) : QString();
}

bool named(const QXmlStreamReader& xml, const char* name) {
    return xml.name().compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

QStringView attribute(const QXmlStreamReader& xml, const char* name) {
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return a.value();
    return {};
}

// Expands the elements of one rule into its phrases, within the limits.
class RuleReader {
public:
    // `built` counts the characters made for every rule of the file.
    RuleReader(QXmlStreamReader& xml, qsizetype& built) : m_xml(xml), m_built(built) {}

    // The sequence from the current start element to its end element.
    QStringList sequence() {
        QStringList paths{QString()};
        content([&](const QStringList& part) { paths = join(paths, part); });
        return paths;
    }

private:
    QStringList alternatives() {
        QStringList paths;
        content([&](const QStringList& part) {
            if (paths.size() + part.size() > GrammarFile::kMaxPhrases)
                tooMany();
            else
                paths << part;
        });
        return paths;
    }

    QStringList element() {
        if (++m_depth > GrammarFile::kMaxDepth) {
            m_xml.raiseError(
                QStringLiteral("elements nested more than %1 deep").arg(GrammarFile::kMaxDepth));
            return {};
        }
        QStringList paths;
        if (named(m_xml, "P"))
            paths = sequence();
        else if (named(m_xml, "L"))
            paths = alternatives();
        else if (named(m_xml, "O"))
            paths = sequence() << QString();
        else
            m_xml.raiseError(
                QStringLiteral("unsupported element <%1> in a rule").arg(m_xml.name()));
        --m_depth;
        return paths;
    }

    // Reads up to the end element, handing each text run (entities already
    // replaced, trimmed) and each child element's phrases to `take`.
    template <typename Take> void content(Take take) {
        QString text;
        auto flush = [&] {
            if (const QString t = text.trimmed(); !t.isEmpty())
                take(QStringList{t});
            text.clear();
        };
        while (!m_xml.atEnd() && !m_xml.hasError()) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::Characters:
                text += m_xml.text();
                break;
            case QXmlStreamReader::StartElement: {
                flush();
                const QStringList inner = element();
                if (!m_xml.hasError())
                    take(inner);
                break;
            }
            case QXmlStreamReader::EndElement:
                flush();
                return;
            default:
                break;
            }
        }
    }

    QStringList join(const QStringList& heads, const QStringList& tails) {
        if (heads.size() * tails.size() > GrammarFile::kMaxPhrases)
            return tooMany();
        QStringList paths;
        for (const QString& head : heads) {
            for (const QString& tail : tails) {
                if (head.size() + tail.size() + 1 > GrammarFile::kMaxPhraseLength) {
                    m_xml.raiseError(QStringLiteral("a phrase longer than %1 characters")
                                         .arg(GrammarFile::kMaxPhraseLength));
                    return {};
                }
                paths << (head.isEmpty() || tail.isEmpty() ? head + tail : head + ' ' + tail);
                m_built += paths.back().size();
            }
            if (m_built > GrammarFile::kMaxBuiltCharacters) {
                m_xml.raiseError(QStringLiteral("the rules expand to more than %1 characters")
                                     .arg(GrammarFile::kMaxBuiltCharacters));
                return {};
            }
        }
        return paths;
    }

    QStringList tooMany() {
        m_xml.raiseError(
            QStringLiteral("a rule with more than %1 phrases").arg(GrammarFile::kMaxPhrases));
        return {};
    }

    QXmlStreamReader& m_xml;
    int m_depth = 0;
    qsizetype& m_built; // characters of every phrase made so far, partial ones included
};

} // namespace

QString GrammarFile::decode(const QByteArray& bytes, const QString& origin) {
    const QString name = declaredEncoding(bytes);
    std::optional<QStringConverter::Encoding> bom =
        QStringConverter::encodingForData(bytes, char16_t('<'));
    if (name.isEmpty() && (!bom || *bom == QStringConverter::Latin1))
        return fromCp1252(bytes);
    if (name.compare(QLatin1String("windows-1252"), Qt::CaseInsensitive) == 0 ||
        name.compare(QLatin1String("cp1252"), Qt::CaseInsensitive) == 0)
        return fromCp1252(bytes);
    QStringDecoder decoder =
        name.isEmpty() ? QStringDecoder(*bom) : QStringDecoder(name.toLatin1().constData());
    if (!decoder.isValid())
        throw PlatformError(
            QStringLiteral("The grammar file %1 declares an unknown encoding \"%2\"")
                .arg(origin, name));
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        throw PlatformError(QStringLiteral("The grammar file %1 is not valid %2")
                                .arg(origin, name.isEmpty() ? QStringLiteral("Unicode") : name));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

std::vector<GrammarRule> GrammarFile::load(const QString& path) {
    QFile file(PathLookup().resolve(path));
    if (!file.open(QIODevice::ReadOnly))
        throw PlatformError(
            QStringLiteral("Cannot read the grammar file %1: %2").arg(path, file.errorString()));
    if (file.size() > kMaxFileBytes)
        throw PlatformError(QStringLiteral("The grammar file %1 is larger than %2 bytes")
                                .arg(path)
                                .arg(kMaxFileBytes));
    return parse(file.readAll(), path);
}

std::vector<GrammarRule> GrammarFile::parse(const QByteArray& bytes, const QString& origin) {
    QXmlStreamReader xml(decode(bytes, origin));
    std::vector<GrammarRule> rules;
    bool sawGrammar = false;
    qsizetype built = 0;
    while (!xml.atEnd() && !xml.hasError()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (named(xml, "GRAMMAR") && !sawGrammar) {
            sawGrammar = true;
        } else if (named(xml, "RULE") && sawGrammar) {
            GrammarRule rule;
            rule.name = attribute(xml, "NAME").toString();
            rule.id = attribute(xml, "ID").toInt();
            rule.activeOnLoad =
                attribute(xml, "TOPLEVEL").compare(QLatin1String("ACTIVE"), Qt::CaseInsensitive) ==
                0;
            rule.phrases = RuleReader(xml, built).sequence();
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

} // namespace platform
