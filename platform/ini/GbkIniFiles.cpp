#include "ini/GbkIniFiles.h"

#include "paths/IPathLookup.h"
#include "text/IconvDecoder.h"

#include <QFile>

#include <optional>

namespace platform {

namespace {

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
    return IconvDecoder::decode(bytes, "GBK").value_or(QString::fromLatin1(bytes));
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
