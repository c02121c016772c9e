#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <optional>

// Sets an environment variable for the life of the object, then puts back
// the value it had (or removes it again).
class EnvOverride {
public:
    EnvOverride(const char* name, const QByteArray& value) : m_name(name) {
        if (qEnvironmentVariableIsSet(name))
            m_old = qgetenv(name);
        qputenv(name, value);
    }
    ~EnvOverride() {
        if (m_old)
            qputenv(m_name, *m_old);
        else
            qunsetenv(m_name);
    }
    EnvOverride(const EnvOverride&) = delete;
    EnvOverride& operator=(const EnvOverride&) = delete;

private:
    const char* m_name;
    std::optional<QByteArray> m_old;
};
