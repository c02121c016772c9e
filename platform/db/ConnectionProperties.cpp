#include "db/ConnectionProperties.h"

#include "PlatformError.h"

namespace platform::db {

namespace {

bool isQuote(QChar c) {
    return c == '"' || c == '\'';
}

// Reads "Key=Value" pairs one after another.
class PairReader {
public:
    explicit PairReader(const QString& text) : m_text(text) {}

    // The next pair; false at the end of the text.
    bool next(QString& key, QString& value) {
        while (m_pos < m_text.size() && (m_text[m_pos] == ';' || m_text[m_pos].isSpace()))
            ++m_pos;
        if (m_pos >= m_text.size())
            return false;
        const qsizetype eq = m_text.indexOf('=', m_pos);
        const qsizetype semicolon = m_text.indexOf(';', m_pos);
        if (eq < 0 || (semicolon >= 0 && semicolon < eq))
            throw PlatformError(
                QString("Connection string item without \"=\": %1")
                    .arg(m_text.mid(m_pos, semicolon < 0 ? -1 : semicolon - m_pos)));
        key = m_text.mid(m_pos, eq - m_pos).simplified();
        m_pos = eq + 1;
        skipBlanks();
        value = m_pos < m_text.size() && isQuote(m_text[m_pos]) ? quotedValue() : plainValue();
        return true;
    }

private:
    void skipBlanks() {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace() && m_text[m_pos] != ';')
            ++m_pos;
    }

    QString plainValue() {
        const qsizetype end = m_text.indexOf(';', m_pos);
        const QString value = m_text.mid(m_pos, end < 0 ? -1 : end - m_pos).trimmed();
        m_pos = end < 0 ? m_text.size() : end;
        return value;
    }

    QString quotedValue() {
        const QChar quote = m_text[m_pos++];
        QString value;
        for (;;) {
            if (m_pos >= m_text.size())
                throw PlatformError("Connection string has an unclosed quote");
            const QChar c = m_text[m_pos++];
            if (c != quote) {
                value += c;
            } else if (m_pos < m_text.size() && m_text[m_pos] == quote) {
                value += quote; // a doubled quote stands for one
                ++m_pos;
            } else {
                break;
            }
        }
        skipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] != ';')
            throw PlatformError(
                QString("Connection string has text after a quoted value: %1").arg(value));
        return value;
    }

    const QString& m_text;
    qsizetype m_pos = 0;
};

} // namespace

ConnectionProperties ConnectionProperties::parse(const QString& connectionString) {
    ConnectionProperties props;
    PairReader reader(connectionString);
    QString key;
    QString value;
    while (reader.next(key, value)) {
        if (key.compare("Data Source", Qt::CaseInsensitive) == 0)
            props.dataSource = value;
        else if (key.compare("Jet OLEDB:Database Password", Qt::CaseInsensitive) == 0)
            props.password = value;
    }
    return props;
}

QString ConnectionProperties::quote(const QString& value) {
    const bool plain = !value.contains(';') && !value.contains('"') && !value.contains('\'') &&
                       value.trimmed() == value;
    if (plain)
        return value;
    QString inner = value;
    inner.replace('"', QStringLiteral("\"\""));
    return '"' + inner + '"';
}

} // namespace platform::db
