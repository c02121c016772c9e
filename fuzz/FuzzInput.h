#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace fuzz {

inline QByteArray bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// The input as a file for readers that open a path: a memory file, named
// through /proc so that no disk is touched.
class MemoryFile {
public:
    MemoryFile(const std::uint8_t* data, std::size_t size) {
        m_fd = ::memfd_create("fuzz-input", MFD_CLOEXEC);
        if (m_fd < 0)
            std::abort();
        for (std::size_t done = 0; done < size;) {
            const ssize_t n = ::write(m_fd, data + done, size - done);
            if (n <= 0)
                std::abort();
            done += static_cast<std::size_t>(n);
        }
    }
    ~MemoryFile() { ::close(m_fd); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    QString path() const { return QStringLiteral("/proc/self/fd/%1").arg(m_fd); }

private:
    int m_fd = -1;
};

// Stops the run with a message when a property every input must keep fails.
inline void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

} // namespace fuzz
