#pragma once

#include <QString>
#include <algorithm>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// A socket that takes connections but never says a word, like a hung server.
class SilentServer {
public:
    explicit SilentServer(const QString& path) : m_fd(socket(AF_UNIX, SOCK_STREAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = path.toLocal8Bit();
        if (static_cast<std::size_t>(name.size()) >= sizeof address.sun_path)
            return; // too long for a socket name: not listening
        std::copy(name.begin(), name.end(), address.sun_path);
        m_listening = m_fd >= 0 &&
                      bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                      listen(m_fd, 4) == 0;
    }
    ~SilentServer() {
        if (m_fd >= 0)
            close(m_fd);
    }
    bool listening() const { return m_listening; }

private:
    int m_fd;
    bool m_listening = false;
};
