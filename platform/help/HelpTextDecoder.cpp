#include "help/HelpTextDecoder.h"

#include "text/IconvDecoder.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <array>
#include <utility>

namespace platform {

namespace {

struct LcidCodePage {
    quint32 primaryOrFull; // a full language id, or a primary language (low 10 bits)
    const char* codePage;
};

// Full ids first: Chinese shares one primary language across GBK and Big5.
constexpr std::array kFullLcids{
    LcidCodePage{0x0804, "GB18030"},    // zh-CN
    LcidCodePage{0x1004, "GB18030"},    // zh-SG
    LcidCodePage{0x0404, "BIG5"},       // zh-TW
    LcidCodePage{0x0C04, "BIG5-HKSCS"}, // zh-HK
    LcidCodePage{0x1404, "BIG5"},       // zh-MO
};

constexpr std::array kPrimaryLcids{
    LcidCodePage{0x04, "GB18030"}, LcidCodePage{0x11, "CP932"},  LcidCodePage{0x12, "CP949"},
    LcidCodePage{0x19, "CP1251"},  LcidCodePage{0x22, "CP1251"}, LcidCodePage{0x23, "CP1251"},
    LcidCodePage{0x05, "CP1250"},  LcidCodePage{0x15, "CP1250"}, LcidCodePage{0x0E, "CP1250"},
    LcidCodePage{0x08, "CP1253"},  LcidCodePage{0x1F, "CP1254"}, LcidCodePage{0x0D, "CP1255"},
    LcidCodePage{0x01, "CP1256"},  LcidCodePage{0x1E, "CP874"},  LcidCodePage{0x2A, "CP1258"},
};

// HTML labels whose iconv name differs. The GB family is read as GB18030, a
// superset of GB2312 and GBK, as browsers do.
constexpr std::array<std::pair<const char*, const char*>, 12> kLabels{{
    {"gb2312", "GB18030"},
    {"gbk", "GB18030"},
    {"x-gbk", "GB18030"},
    {"cp936", "GB18030"},
    {"gb_2312-80", "GB18030"},
    {"chinese", "GB18030"},
    {"x-cp20936", "GB18030"},
    {"big5", "BIG5-HKSCS"},
    {"x-x-big5", "BIG5-HKSCS"},
    {"shift_jis", "CP932"},
    {"iso-8859-1", "CP1252"},
    {"unicode", "UTF-16"},
}};

bool isUtf8(const QByteArray& label) {
    const QByteArray l = label.toLower();
    return l == "utf-8" || l == "utf8";
}

} // namespace

QByteArray HelpTextDecoder::codePageForLcid(quint32 lcid) {
    for (const auto& e : kFullLcids) {
        if (e.primaryOrFull == (lcid & 0xFFFF))
            return e.codePage;
    }
    for (const auto& e : kPrimaryLcids) {
        if (e.primaryOrFull == (lcid & 0x3FF))
            return e.codePage;
    }
    return "CP1252";
}

QByteArray HelpTextDecoder::declaredCharset(const QByteArray& html) {
    if (html.startsWith("\xEF\xBB\xBF"))
        return "UTF-8";
    if (html.startsWith("\xFF\xFE") || html.startsWith("\xFE\xFF"))
        return "UTF-16";
    static const QRegularExpression meta(R"(<meta[^>]*charset\s*=\s*["']?\s*([A-Za-z0-9_.:\-]+))",
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = meta.match(QString::fromLatin1(html.left(4096)));
    return m.hasMatch() ? m.captured(1).toLatin1() : QByteArray();
}

QString HelpTextDecoder::decodePage(const QByteArray& html, const QByteArray& fallbackCharset) {
    const QByteArray declared = declaredCharset(html);
    if (declared.isEmpty())
        return decodeName(html, fallbackCharset);
    return decode(html, declared);
}

QString HelpTextDecoder::decodeName(const QByteArray& bytes, const QByteArray& fallbackCharset) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decode(bytes, fallbackCharset);
}

QString HelpTextDecoder::decode(const QByteArray& bytes, const QByteArray& charset) {
    const QByteArray name = iconvName(charset);
    if (!name.isEmpty() && !isUtf8(name)) {
        bool known = false;
        QString text = decodeWithIconv(bytes, name, &known);
        if (known)
            return text;
    }
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

QByteArray HelpTextDecoder::iconvName(const QByteArray& label) {
    const QByteArray l = label.trimmed().toLower();
    for (const auto& [html, iconv] : kLabels) {
        if (l == html)
            return iconv;
    }
    return label.trimmed().toUpper();
}

QString HelpTextDecoder::decodeWithIconv(const QByteArray& bytes, const QByteArray& iconvCharset,
                                         bool* known) {
    std::optional<QString> text = IconvDecoder::decode(bytes, iconvCharset.constData());
    *known = text.has_value();
    if (!text)
        return {};
    if (text->startsWith(QChar(0xFEFF)))
        text->remove(0, 1);
    return *text;
}

} // namespace platform
