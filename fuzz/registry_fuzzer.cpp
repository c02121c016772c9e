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
    const QByteArray again = second.serialize(QStringLiteral("HKEY_CURRENT_USER"));
    if (again != written) {
        const QList<QByteArray> a = written.split('\n'), b = again.split('\n');
        for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i)
            if (a.value(i) != b.value(i)) {
                std::fprintf(stderr, "line %lld written: %s\nline %lld again:   %s\n",
                             static_cast<long long>(i), a.value(i).toHex(' ').constData(),
                             static_cast<long long>(i), b.value(i).toHex(' ').constData());
                break;
            }
    }
    fuzz::require(again == written, "a store read back and written again is unchanged");
    for (const QString& key : first.subKeys({})) {
        for (const QString& name : first.valueNames(key))
            fuzz::require(first.value(key, name) == second.value(key, name),
                          "values survive a write");
    }
    return 0;
}
