#include "db/ConnectionProperties.h"

#include "PlatformError.h"

#include <QStringList>

namespace platform::db {

namespace {

// Splits at ";" outside quotes.
QStringList splitPairs(const QString& s) {
    QStringList parts;
    QString current;
    QChar quote;
    for (const QChar c : s) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            current += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
            current += c;
        } else if (c == ';') {
            parts << current;
            current.clear();
        } else {
            current += c;
        }
    }
    if (!quote.isNull())
        throw PlatformError("Connection string has an unclosed quote");
    parts << current;
    return parts;
}

QString unquote(const QString& value) {
    const QString v = value.trimmed();
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

} // namespace

ConnectionProperties ConnectionProperties::parse(const QString& connectionString) {
    ConnectionProperties props;
    for (const QString& pair : splitPairs(connectionString)) {
        if (pair.trimmed().isEmpty())
            continue;
        const qsizetype eq = pair.indexOf('=');
        if (eq < 0)
            throw PlatformError(QString("Connection string item without \"=\": %1").arg(pair));
        const QString key = pair.left(eq).simplified();
        const QString value = unquote(pair.mid(eq + 1));
        if (key.compare("Data Source", Qt::CaseInsensitive) == 0)
            props.dataSource = value;
        else if (key.compare("Jet OLEDB:Database Password", Qt::CaseInsensitive) == 0)
            props.password = value;
    }
    return props;
}

} // namespace platform::db
