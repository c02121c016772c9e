#include "ini/GbkIniFiles.h"

#include "paths/IPathLookup.h"

#include <QFile>

#include <iconv.h>

#include <cerrno>
#include <memory>
#include <optional>

namespace platform {

namespace {

struct IconvCloser {
    void operator()(iconv_t* cd) const {
        iconv_close(*cd);
        delete cd;
    }
};

// Finds the value of `key` in `section` of the decoded text.
std::optional<QString> findValue(const QString& text, const QString& section, const QString& key) {
    bool inSection = false;
    bool seenSection = false;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            const int end = line.indexOf(QLatin1Char(']'));
            const QString name = line.mid(1, end < 0 ? -1 : end - 1).trimmed();
            if (seenSection && inSection)
                return std::nullopt;
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            seenSection = seenSection || inSection;
            continue;
        }
        if (!inSection || line.startsWith(QLatin1Char(';')))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (line.left(eq).trimmed().compare(key.trimmed(), Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1).trimmed();
    }
    return std::nullopt;
}

} // namespace

QString GbkIniFiles::decodeGbk(const QByteArray& bytes) {
    std::unique_ptr<iconv_t, IconvCloser> cd(new iconv_t(iconv_open("UTF-8", "GBK")));
    if (*cd == reinterpret_cast<iconv_t>(-1)) {
        cd.release();
        return QString::fromLatin1(bytes);
    }
    QByteArray out;
    QByteArray in = bytes;
    char* src = in.data();
    size_t left = static_cast<size_t>(in.size());
    char buffer[4096];
    while (left > 0) {
        char* dst = buffer;
        size_t room = sizeof buffer;
        const size_t rc = iconv(*cd, &src, &left, &dst, &room);
        out.append(buffer, static_cast<qsizetype>(dst - buffer));
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            // An invalid or cut-off sequence: mark it and go on after its first byte.
            out.append("\xEF\xBF\xBD");
            ++src;
            --left;
        }
    }
    return QString::fromUtf8(out);
}

QString GbkIniFiles::readString(const QString& file, const QString& section, const QString& key,
                                const QString& fallback) const {
    QFile in(m_paths.resolve(file));
    if (!in.open(QIODevice::ReadOnly))
        return fallback;
    QString text = decodeGbk(in.readAll());
    text.remove(QLatin1Char('\r'));
    return findValue(text, section, key).value_or(fallback);
}

} // namespace platform
