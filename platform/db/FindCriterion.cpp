#include "db/FindCriterion.h"

#include "PlatformError.h"

namespace platform::db {

namespace {

[[noreturn]] void reject(const QString& criteria) {
    throw PlatformError(
        QString("Find criterion not understood (expected Field = 'value'): %1").arg(criteria));
}

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == '_';
}

// Reads the quoted value starting at `pos` (on the opening quote); returns the
// position after the closing quote.
qsizetype readQuoted(const QString& s, qsizetype pos, QString& out, const QString& criteria) {
    for (qsizetype i = pos + 1; i < s.size(); ++i) {
        if (s[i] != '\'') {
            out += s[i];
        } else if (i + 1 < s.size() && s[i + 1] == '\'') {
            out += '\'';
            ++i;
        } else {
            return i + 1;
        }
    }
    reject(criteria);
}

} // namespace

FindCriterion FindCriterion::parse(const QString& criteria) {
    const QString s = criteria.trimmed();
    FindCriterion c;
    qsizetype pos = 0;
    if (s.startsWith('[')) {
        const qsizetype close = s.indexOf(']');
        if (close < 2)
            reject(criteria);
        c.field = s.mid(1, close - 1);
        pos = close + 1;
    } else {
        while (pos < s.size() && isNameChar(s[pos]))
            ++pos;
        c.field = s.left(pos);
    }
    if (c.field.trimmed().isEmpty())
        reject(criteria);
    while (pos < s.size() && s[pos].isSpace())
        ++pos;
    if (pos >= s.size() || s[pos] != '=')
        reject(criteria);
    ++pos;
    while (pos < s.size() && s[pos].isSpace())
        ++pos;
    if (pos >= s.size() || s[pos] != '\'')
        reject(criteria);
    if (readQuoted(s, pos, c.value, criteria) != s.size())
        reject(criteria);
    return c;
}

bool FindCriterion::matches(const QVariant& fieldValue) const {
    if (!fieldValue.isValid() || fieldValue.isNull())
        return false;
    return fieldValue.toString().compare(value, Qt::CaseInsensitive) == 0;
}

} // namespace platform::db
