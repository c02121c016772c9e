#pragma once

#include "ini/IIniFiles.h"

#include <QByteArray>

namespace platform {

class IPathLookup;

// INI files decoded from GBK with iconv. The file is read afresh on every
// call, as the platform does; its name goes through the path lookup, so the
// letter case of the name does not matter. Lines look like "[Section]" and
// "Key=Value"; lines starting with ";" and lines without "=" are skipped; the
// first occurrence of a key in the first matching section wins.
class GbkIniFiles : public IIniFiles {
public:
    explicit GbkIniFiles(const IPathLookup& paths) : m_paths(paths) {}

    QString readString(const QString& file, const QString& section, const QString& key,
                       const QString& fallback = {}) const override;

    // GBK bytes as text; undecodable bytes become U+FFFD.
    static QString decodeGbk(const QByteArray& bytes);

private:
    const IPathLookup& m_paths;
};

} // namespace platform
