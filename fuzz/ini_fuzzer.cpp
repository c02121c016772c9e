// INI files in code page 936, read as the launcher reads its lesson lists
// and sentence texts.
#include "FuzzInput.h"
#include "ini/GbkIniFiles.h"
#include "paths/PathLookup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::MemoryFile file(data, size);
    const platform::PathLookup paths(QStringLiteral("/nonexistent"));
    const platform::GbkIniFiles ini(paths);
    static const char* const lookups[][2] = {
        {"cunit", "1"}, {"dir", "2"}, {"ed", "010101000010"}, {"cd", "010101000010"}, {"", ""}};
    for (const auto& [section, key] : lookups)
        (void)ini.readString(file.path(), QString::fromLatin1(section), QString::fromLatin1(key),
                             QStringLiteral("fallback"));
    return 0;
}
