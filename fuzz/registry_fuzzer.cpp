// The registry's store files. Whatever a file holds, reading it and writing
// it back must keep everything: a second round changes nothing.
#include "FuzzInput.h"
#include "registry/RegistryHive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::RegistryHive first;
    first.parse(fuzz::bytes(data, size));
    const QByteArray written = first.serialize(QStringLiteral("HKEY_CURRENT_USER"));
    platform::RegistryHive second;
    second.parse(written);
    fuzz::require(second.serialize(QStringLiteral("HKEY_CURRENT_USER")) == written,
                  "a store read back and written again is unchanged");
    for (const QString& key : first.subKeys({})) {
        for (const QString& name : first.valueNames(key))
            fuzz::require(first.value(key, name) == second.value(key, name),
                          "values survive a write");
    }
    return 0;
}
