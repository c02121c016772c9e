#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Turns the bytes of a help file's pages and strings into text. Help files of
// the Windows era keep their texts in the ANSI code page of their language
// (GBK for simplified Chinese); newer ones use UTF-8. Pages say which in their
// <meta> charset; names and titles say nothing, so valid UTF-8 is taken as
// UTF-8 and anything else as the file's code page.
class HelpTextDecoder {
public:
    // The iconv name of the ANSI code page of a Windows language id;
    // Windows-1252 for languages not listed.
    static QByteArray codePageForLcid(quint32 lcid);

    // The charset a page declares through a byte-order mark or <meta>; empty
    // when it declares none.
    static QByteArray declaredCharset(const QByteArray& html);

    // A page by its declared charset, else as a name (see decodeName).
    static QString decodePage(const QByteArray& html, const QByteArray& fallbackCharset);

    // UTF-8 when the bytes are valid UTF-8, otherwise `fallbackCharset`.
    static QString decodeName(const QByteArray& bytes, const QByteArray& fallbackCharset);

    // The bytes in `charset` (an HTML label or iconv name); bytes that do not
    // decode become U+FFFD. An unknown charset decodes as UTF-8.
    static QString decode(const QByteArray& bytes, const QByteArray& charset);

private:
    static QByteArray iconvName(const QByteArray& label);
    static QString decodeWithIconv(const QByteArray& bytes, const QByteArray& iconvCharset,
                                   bool* known);
};

} // namespace platform
