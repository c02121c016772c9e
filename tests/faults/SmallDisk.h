#pragma once

#include <QString>

// A real file system of a few hundred KiB (tmpfs) mounted on a folder of the
// test, so that a disk can really run full or be read-only (as root, who may
// write any file, only a read-only mount refuses writes). Mounting needs
// root or CAP_SYS_ADMIN: mounted() tells whether it worked, why() why not.
class SmallDisk {
public:
    SmallDisk(const QString& folder, int kib);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }
    QString why() const { return m_why; }
    QString path() const { return m_folder; }

    // Remounts it read-only (true) or writable again (false).
    bool setReadOnly(bool readOnly);
    // Fills every free block with a file; false unless the disk said ENOSPC.
    bool fill();
    // Removes what fill() wrote.
    bool free();

private:
    QString m_folder;
    QByteArray m_options;
    bool m_mounted = false;
    QString m_why;
};
