// Start-up time: from process start to the unit list shown, on the demo
// installation, with the real platform services.
//
//   eval "$(bash scripts/services.sh start /tmp/bench-svc)"
//   build/default/bench/startup/bench_startup [program folder] [runs]
//
// Each run is a fresh process (this program started again with --child). The
// clock starts just before the process is created and stops when the unit
// menu's grid has painted its rows.
#include "RealPlatform.h"
#include "core/Program.h"
#include "core/Setxianshi.h"
#include "core/Start.h"
#include "process/GuardedApplication.h"
#include "widgets/DataGrid.h"
#include "windows/frmUnit.h"

#include <QProcess>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

qint64 monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

// Stops the clock at the first paint of the unit list.
class ShownWatcher : public QObject {
public:
    ShownWatcher(Program& program, qint64 startNs) : m_program(program), m_startNs(startNs) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_done && event->type() == QEvent::Paint && m_program.forms.isLoaded<frmUnit>() &&
            watched == m_program.forms.get<frmUnit>().DataGrid1->viewport()) {
            m_done = true;
            const double ms = (monotonicNs() - m_startNs) / 1e6;
            std::printf("%.3f\n", ms);
            std::fflush(stdout);
            SetDisplayMode(m_program, m_program.vars.StartWidth, m_program.vars.StartHeight);
            QCoreApplication::exit(0);
        }
        return false;
    }

private:
    Program& m_program;
    qint64 m_startNs;
    bool m_done = false;
};

int runChild(int argc, char** argv, const QString& folder, qint64 startNs) {
    platform::GuardedApplication app(argc, argv);
    platform::RealPlatform real;
    app.setProgramEnd(real.services().programEnd);
    Program program(real.services());
    ShownWatcher watcher(program, startNs);
    app.installEventFilter(&watcher);
    StartUp(program, folder);
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && QByteArray(argv[1]) == "--child")
        return runChild(argc, argv, QString::fromLocal8Bit(argv[2]),
                        QByteArray(argv[3]).toLongLong());

    const QString given = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString folder = given.isEmpty() ? QStringLiteral(VERBARO_DEMO_PROGRAM_DIR) : given;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 7;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        const qint64 start = monotonicNs();
        child.start(QString::fromLocal8Bit(argv[0]), {"--child", folder, QString::number(start)});
        if (!child.waitForFinished(60000) || child.exitCode() != 0) {
            std::fprintf(stderr, "run %d failed: %s\n", i + 1,
                         child.readAllStandardError().constData());
            return 1;
        }
        times.push_back(child.readAllStandardOutput().trimmed().toDouble());
    }
    std::sort(times.begin(), times.end());
    std::printf("start-up to unit list, %d runs on %s\n", runs, qPrintable(folder));
    std::printf("  min %.1f ms   median %.1f ms   max %.1f ms\n", times.front(),
                times[times.size() / 2], times.back());
    return 0;
}
