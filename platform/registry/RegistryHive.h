#pragma once

#include "registry/IRegistry.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>

namespace platform {

// The keys and values of one registry root held in memory, and their text
// form (one file per root):
//
//   ; comment lines start with a semicolon; blank lines are ignored
//   [Key\Path\Below\The\Root]
//   @="the key's default value"
//   "Name"="text"            strings escape \\ \" \n \r \t
//   "Number"=dword:0000000f  32-bit numbers in eight hex digits
//
// A key line opens the key that the value lines after it belong to; every key
// is written with its full path, parents before children. Names compare
// without regard to case and keep the case they were created with. Lines that
// cannot be read (comments, another tool's lines, broken or non-UTF-8 lines)
// are kept as they are, with the key they follow, and written back after its
// values: a store never loses what it did not understand.
class RegistryHive {
public:
    void parse(const QByteArray& text);
    QByteArray serialize(const QString& rootName) const;

    bool keyExists(const QString& key) const;
    std::optional<RegValue> value(const QString& key, const QString& name) const;
    QStringList subKeys(const QString& key) const;
    QStringList valueNames(const QString& key) const;

    bool createKey(const QString& key);
    bool setValue(const QString& key, const QString& name, const RegValue& value);
    bool deleteTree(const QString& key);
    bool deleteValue(const QString& key, const QString& name);

    // "A\\B\\" and "a\b" name the same key "A\B": empty parts are dropped.
    static QString normalize(const QString& key);

private:
    struct Key {
        QString path;
        QList<QPair<QString, RegValue>> values; // in the order they were set
        QList<QByteArray> unread;               // lines not understood, as read
    };
    void keep(const QString& bucket, const QByteArray& line);
    const Key* find(const QString& key) const;
    static QString id(const QString& path) { return path.toLower(); }

    QMap<QString, Key> m_keys; // by lower-case path; sorts parents before children
    QList<QByteArray> m_head;  // lines not understood before the first key
};

} // namespace platform
