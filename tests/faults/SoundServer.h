#pragma once

#include <QProcess>
#include <QString>

// A PulseAudio server of the test's own (a null sink and a null source on a
// socket in `folder`), which the test can kill outright and start again on
// the same address, as a learner's sound server crashes and is restarted.
class SoundServer {
public:
    explicit SoundServer(const QString& folder);
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    // Starts it and waits until it answers; false (and why()) when it cannot.
    bool start();
    // SIGKILL: gone at once, without saying goodbye to its clients.
    void kill();
    // The value of PULSE_SERVER that reaches it.
    QString address() const { return "unix:" + m_socket; }
    QString why() const { return m_why; }
    // pactl's short list of something ("source-outputs", "sink-inputs").
    QString list(const QString& what) const;

private:
    bool answers() const;

    QString m_folder;
    QString m_socket;
    QProcess m_server;
    QString m_why;
};
