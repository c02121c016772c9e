#include "SmallDisk.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

SmallDisk::SmallDisk(const QString& folder, int kib)
    : m_folder(folder), m_options("size=" + QByteArray::number(kib) + "k") {
    QDir().mkpath(folder);
    if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                m_options.constData()) == 0)
        m_mounted = true;
    else
        m_why = QString("a tmpfs cannot be mounted here (%1): this needs root or CAP_SYS_ADMIN")
                    .arg(QString::fromLocal8Bit(std::strerror(errno)));
}

SmallDisk::~SmallDisk() {
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

bool SmallDisk::setReadOnly(bool readOnly) {
    return m_mounted &&
           ::mount("tmpfs", QFile::encodeName(m_folder).constData(), "tmpfs",
                   MS_REMOUNT | (readOnly ? MS_RDONLY : 0), m_options.constData()) == 0;
}

bool SmallDisk::fill() {
    const int fd = ::open(QFile::encodeName(m_folder + "/filler").constData(),
                          O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return false;
    const QByteArray block(4096, 'x');
    while (::write(fd, block.constData(), static_cast<size_t>(block.size())) > 0) {
    }
    const int error = errno;
    ::close(fd);
    return error == ENOSPC;
}

bool SmallDisk::free() {
    return QFile::remove(m_folder + "/filler");
}
