#include "SoundServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

SoundServer::SoundServer(const QString& folder) : m_folder(folder), m_socket(folder + "/native") {
    QDir().mkpath(folder);
}

SoundServer::~SoundServer() {
    kill();
}

bool SoundServer::start() {
    if (QStandardPaths::findExecutable("pulseaudio").isEmpty()) {
        m_why = "pulseaudio is not installed";
        return false;
    }
    QFile::remove(m_socket); // left by a killed server
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("PULSE_SERVER");
    env.insert("XDG_RUNTIME_DIR", m_folder);
    env.insert("HOME", m_folder);
    m_server.setProcessEnvironment(env);
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.setStandardOutputFile(m_folder + "/server.log", QIODevice::Append);
    m_server.start("pulseaudio",
                   {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                    "--disallow-exit",
                    "--load=module-native-protocol-unix auth-anonymous=1 socket=" + m_socket,
                    "--load=module-null-sink sink_name=nullsink",
                    "--load=module-null-source source_name=nullsource"});
    if (!m_server.waitForStarted(5000)) {
        m_why = "pulseaudio did not start: " + m_server.errorString();
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (!answers()) {
        if (clock.elapsed() > 10000 || m_server.state() != QProcess::Running) {
            m_why = "pulseaudio does not answer (see " + m_folder + "/server.log)";
            return false;
        }
        QThread::msleep(50);
    }
    QProcess::execute("pactl", {"-s", address(), "set-default-source", "nullsource"});
    return true;
}

void SoundServer::kill() {
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.kill();
    m_server.waitForFinished(5000);
}

QString SoundServer::list(const QString& what) const {
    QProcess pactl;
    pactl.start("pactl", {"-s", address(), "list", "short", what});
    pactl.waitForFinished(5000);
    return QString::fromLocal8Bit(pactl.readAllStandardOutput());
}

bool SoundServer::answers() const {
    QProcess pactl;
    pactl.start("pactl", {"-s", address(), "info"});
    return pactl.waitForFinished(2000) && pactl.exitStatus() == QProcess::NormalExit &&
           pactl.exitCode() == 0;
}
