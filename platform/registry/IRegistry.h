#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace platform {

// The registry roots the programs and the control libraries use.
enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine };

enum class RegType { String, DWord };

// One registry value: a string, or a 32-bit number.
struct RegValue {
    RegType type = RegType::String;
    QString text;
    std::uint32_t number = 0;

    static RegValue string(QString s) { return {RegType::String, std::move(s), 0}; }
    static RegValue dword(std::uint32_t n) { return {RegType::DWord, {}, n}; }
    bool operator==(const RegValue&) const = default;
};

// The system registry: keys are paths such as "CLSID\{...}\InprocServer32"
// below a root, separated by backslashes; key and value names ignore case
// (and keep the case they were created with). The empty value name is the
// key's default value. Writes fail (return false) on a store opened read-only.
class IRegistry {
public:
    virtual ~IRegistry() = default;

    virtual bool keyExists(RegRoot root, const QString& key) const = 0;
    virtual std::optional<RegValue> value(RegRoot root, const QString& key,
                                          const QString& name) const = 0;
    // Direct sub-key names, and value names, as stored.
    virtual QStringList subKeys(RegRoot root, const QString& key) const = 0;
    virtual QStringList valueNames(RegRoot root, const QString& key) const = 0;

    // Creates the key and any missing parents.
    virtual bool createKey(RegRoot root, const QString& key) = 0;
    // Creates the key as needed and sets the value.
    virtual bool setValue(RegRoot root, const QString& key, const QString& name,
                          const RegValue& value) = 0;
    // Removes the key with everything below it; false when it was not there.
    virtual bool deleteTree(RegRoot root, const QString& key) = 0;
    virtual bool deleteValue(RegRoot root, const QString& key, const QString& name) = 0;
};

} // namespace platform
