#include "E2ESupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QThread>

namespace e2e {

QString run(const QString& program, const QStringList& args, int* exitCode) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(20000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

QSize screenSize() {
    const QRegularExpression current(R"(current (\d+) x (\d+))");
    const auto m = current.match(run("xrandr", {}));
    return m.hasMatch() ? QSize(m.captured(1).toInt(), m.captured(2).toInt()) : QSize();
}

void setScreen(const QString& mode) {
    const QString out = run("xrandr", {});
    const auto m =
        QRegularExpression(R"(^(\S+) connected)", QRegularExpression::MultilineOption).match(out);
    if (m.hasMatch())
        run("xrandr", {"--output", m.captured(1), "--mode", mode});
}

QStringList waitForWindows(const QString& title, int ms) {
    QStringList found;
    waitFor(
        [&] {
            const QString ids =
                run("xdotool", {"search", "--onlyvisible", "--name", title}).trimmed();
            found = ids.isEmpty() ? QStringList() : ids.split('\n');
            return !found.isEmpty();
        },
        ms);
    return found;
}

QString windowSize(const QString& id) {
    return run("xdotool", {"getwindowgeometry", id});
}

QRect windowGeometry(const QString& id) {
    const QString out = windowSize(id);
    const auto pos = QRegularExpression(R"(Position: (-?\d+),(-?\d+))").match(out);
    const auto size = QRegularExpression(R"(Geometry: (\d+)x(\d+))").match(out);
    if (!pos.hasMatch() || !size.hasMatch())
        return {};
    return {pos.captured(1).toInt(), pos.captured(2).toInt(), size.captured(1).toInt(),
            size.captured(2).toInt()};
}

QImage screenshot() {
    QTemporaryFile file(QDir::tempPath() + "/verbaro-e2e-XXXXXX.png");
    if (!file.open())
        return {};
    file.close();
    int status = -1;
    run("import", {"-silent", "-window", "root", file.fileName()}, &status);
    return status == 0 ? QImage(file.fileName()) : QImage();
}

bool waitFor(const std::function<bool()>& condition, int ms, int pollMs) {
    QElapsedTimer t;
    t.start();
    for (;;) {
        if (condition())
            return true;
        if (t.elapsed() >= ms)
            return false;
        QThread::msleep(pollMs);
    }
}

void click(const QPoint& at, int count) {
    moveMouse(at);
    run("xdotool", {"click", "--repeat", QString::number(count), "--delay", "80", "1"});
}

void moveMouse(const QPoint& to) {
    run("xdotool", {"mousemove", "--sync", QString::number(to.x()), QString::number(to.y())});
}

QString missingServices(Services needed) {
    if (needed != Services::Sound &&
        (qEnvironmentVariableIsEmpty("DISPLAY") || screenSize().isEmpty()))
        return QStringLiteral("no X server with RandR");
    if (needed != Services::X && run("pactl", {"info"}).isEmpty())
        return QStringLiteral("no sound server");
    return {};
}

bool servicesRequired() {
    return qEnvironmentVariable("VERBARO_REQUIRE_SERVICES") == QLatin1String("1");
}

QString openLessonFromMenu(const QString& menu, const QPoint& row, const QProcess& trainer) {
    const QPoint at = windowGeometry(menu).topLeft() + row;
    QString exercise;
    for (int attempt = 0; attempt < 3 && exercise.isEmpty(); ++attempt) {
        const QStringList all =
            run("xdotool", {"search", "--name", "^Verbaro$"}).trimmed().split('\n');
        if (attempt > 0 && all.size() > 1)
            attempt = 2; // opening already; just wait
        else
            click(at, 2);
        waitFor(
            [&] {
                for (const QString& id : waitForWindows("^Verbaro$", 1000))
                    if (id != menu)
                        exercise = id;
                return !exercise.isEmpty() || trainer.state() == QProcess::NotRunning;
            },
            60000, 200);
    }
    return exercise;
}

} // namespace e2e
