#include "registry/RegistryHive.h"

#include <QRegularExpression>

namespace platform {

namespace {

const QByteArray kUtf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");
// The first line of every file written; not kept as a line of its own.
const QByteArray kHeaderComment = QByteArrayLiteral("; Verbaro registry:");

QString escaped(const QString& s) {
    QString out;
    out.reserve(s.size() + 2);
    for (QChar c : s) {
        switch (c.unicode()) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Reads a quoted string starting at `pos` (on the opening quote); returns the
// position after the closing quote, or -1 when the string is not closed.
qsizetype readQuoted(const QString& line, qsizetype pos, QString& out) {
    static const QMap<QChar, QChar> escapes{
        {'\\', '\\'}, {'"', '"'}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'}};
    out.clear();
    for (qsizetype i = pos + 1; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == '"')
            return i + 1;
        if (c == '\\' && i + 1 < line.size()) {
            ++i;
            out += escapes.value(line[i], line[i]);
            continue;
        }
        out += c;
    }
    return -1;
}

// A value line: @=... or "name"=..., the value "text" or dword:hhhhhhhh.
bool parseValueLine(const QString& line, QString& name, RegValue& value) {
    qsizetype pos = 0;
    name.clear();
    if (line.startsWith('"')) {
        pos = readQuoted(line, 0, name);
        if (pos < 0)
            return false;
    } else if (line.startsWith('@')) {
        pos = 1;
    } else {
        return false;
    }
    if (pos >= line.size() || line[pos] != '=')
        return false;
    const QString rest = line.mid(pos + 1);
    if (rest.startsWith('"')) {
        QString text;
        if (readQuoted(rest, 0, text) != rest.size())
            return false;
        value = RegValue::string(text);
        return true;
    }
    static const QRegularExpression dword("^dword:([0-9a-fA-F]{1,8})$");
    const auto m = dword.match(rest);
    if (!m.hasMatch())
        return false;
    value = RegValue::dword(m.captured(1).toUInt(nullptr, 16));
    return true;
}

QString valueLine(const QString& name, const RegValue& v) {
    const QString lhs = name.isEmpty() ? QString("@") : '"' + escaped(name) + '"';
    if (v.type == RegType::DWord)
        return lhs + QString("=dword:%1").arg(v.number, 8, 16, QChar('0'));
    return lhs + "=\"" + escaped(v.text) + '"';
}

} // namespace

QString RegistryHive::normalize(const QString& key) {
    return key.split('\\', Qt::SkipEmptyParts).join('\\');
}

void RegistryHive::parse(const QByteArray& text) {
    m_keys.clear();
    m_head.clear();
    QString current; // the key value lines belong to; empty when none
    QString bucket;  // the key that keeps the lines not understood; empty: the head
    const QByteArray body = text.startsWith(kUtf8Bom) ? text.mid(kUtf8Bom.size()) : text;
    for (QByteArray raw : body.split('\n')) {
        while (raw.endsWith('\r'))
            raw.chop(1);
        const QByteArray bytes = raw.trimmed();
        if (bytes.isEmpty() || bytes.startsWith(kHeaderComment))
            continue;
        if (!bytes.isValidUtf8()) {
            if (bytes.startsWith('[') && bytes.endsWith(']'))
                current.clear(); // a key we cannot name: its values are not ours
            keep(bucket, raw);
            continue;
        }
        const QString line = QString::fromUtf8(bytes).trimmed();
        if (line.startsWith('[') && line.endsWith(']')) {
            current.clear();
            const QString key = normalize(line.mid(1, line.size() - 2));
            if (!key.isEmpty() && createKey(key)) {
                current = key;
                bucket = id(key);
                continue;
            }
        } else if (!current.isEmpty()) {
            QString name;
            RegValue value;
            if (parseValueLine(line, name, value) && setValue(current, name, value))
                continue;
        }
        keep(bucket, raw);
    }
}

void RegistryHive::keep(const QString& bucket, const QByteArray& line) {
    (bucket.isEmpty() ? m_head : m_keys[bucket].unread).append(line);
}

QByteArray RegistryHive::serialize(const QString& rootName) const {
    QByteArray out = kHeaderComment + ' ' + rootName.toUtf8() + '\n';
    for (const QByteArray& line : m_head)
        out += line + '\n';
    for (const Key& k : m_keys) {
        out += "\n[" + k.path.toUtf8() + "]\n";
        for (const auto& [name, value] : k.values)
            out += valueLine(name, value).toUtf8() + '\n';
        for (const QByteArray& line : k.unread)
            out += line + '\n';
    }
    return out;
}

const RegistryHive::Key* RegistryHive::find(const QString& key) const {
    const auto it = m_keys.constFind(id(normalize(key)));
    return it == m_keys.cend() ? nullptr : &*it;
}

bool RegistryHive::keyExists(const QString& key) const {
    return normalize(key).isEmpty() || find(key) != nullptr;
}

std::optional<RegValue> RegistryHive::value(const QString& key, const QString& name) const {
    const Key* k = find(key);
    if (!k)
        return std::nullopt;
    for (const auto& [n, v] : k->values) {
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return v;
    }
    return std::nullopt;
}

QStringList RegistryHive::subKeys(const QString& key) const {
    const QString base = normalize(key);
    const QString prefix = base.isEmpty() ? QString() : id(base) + '\\';
    QStringList names;
    for (auto it = m_keys.lowerBound(prefix); it != m_keys.cend(); ++it) {
        if (!it.key().startsWith(prefix))
            break;
        const QString rest = it->path.mid(prefix.size());
        if (!rest.isEmpty() && !rest.contains('\\'))
            names << rest;
    }
    return names;
}

QStringList RegistryHive::valueNames(const QString& key) const {
    QStringList names;
    if (const Key* k = find(key)) {
        for (const auto& entry : k->values)
            names << entry.first;
    }
    return names;
}

bool RegistryHive::createKey(const QString& key) {
    const QStringList parts = normalize(key).split('\\', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return true;
    for (const QString& part : parts) {
        if (part.contains('\n') || part.contains('\r')) // a key is one line of the file
            return false; // before any parent is made: a refused key leaves nothing behind
    }
    QString path;
    for (const QString& part : parts) {
        path += (path.isEmpty() ? "" : "\\") + part;
        if (!m_keys.contains(id(path)))
            m_keys.insert(id(path), Key{path, {}, {}});
        else
            path = m_keys.value(id(path)).path; // keep the stored case of parents
    }
    return true;
}

bool RegistryHive::setValue(const QString& key, const QString& name, const RegValue& value) {
    if (normalize(key).isEmpty() || !createKey(key))
        return false;
    Key& k = m_keys[id(normalize(key))];
    for (auto& entry : k.values) {
        if (entry.first.compare(name, Qt::CaseInsensitive) == 0) {
            entry.second = value;
            return true;
        }
    }
    k.values.append({name, value});
    return true;
}

bool RegistryHive::deleteTree(const QString& key) {
    const QString base = id(normalize(key));
    if (base.isEmpty() || !m_keys.contains(base))
        return false;
    m_keys.remove(base);
    const QString prefix = base + '\\';
    for (auto it = m_keys.lowerBound(prefix); it != m_keys.end() && it.key().startsWith(prefix);)
        it = m_keys.erase(it);
    return true;
}

bool RegistryHive::deleteValue(const QString& key, const QString& name) {
    const auto it = m_keys.find(id(normalize(key)));
    if (it == m_keys.end())
        return false;
    auto& values = it->values;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (values[i].first.compare(name, Qt::CaseInsensitive) == 0) {
            values.removeAt(i);
            return true;
        }
    }
    return false;
}

} // namespace platform
