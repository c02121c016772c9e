#pragma once

#include <QByteArray>
#include <QString>

// Points XDG_DATA_HOME (and so the per-user registry) at a test folder for
// the object's lifetime.
class ScopedDataHome {
public:
    explicit ScopedDataHome(const QString& folder)
        : m_hadValue(qEnvironmentVariableIsSet("XDG_DATA_HOME")),
          m_saved(qgetenv("XDG_DATA_HOME")) {
        qputenv("XDG_DATA_HOME", folder.toUtf8());
    }
    ~ScopedDataHome() {
        if (m_hadValue)
            qputenv("XDG_DATA_HOME", m_saved);
        else
            qunsetenv("XDG_DATA_HOME");
    }
    ScopedDataHome(const ScopedDataHome&) = delete;
    ScopedDataHome& operator=(const ScopedDataHome&) = delete;

private:
    bool m_hadValue;
    QByteArray m_saved;
};
