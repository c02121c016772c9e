#pragma once

#include <QFile>
#include <QRegularExpression>

// How far the process's resident memory rose at its peak while an object of
// this class lived: catches a parser that allocates (and fills) far more
// than its input warrants. The peak is reset through /proc/self/clear_refs.
class PeakMemory {
public:
    PeakMemory() {
        QFile reset("/proc/self/clear_refs");
        if (reset.open(QIODevice::WriteOnly))
            reset.write("5");
        m_start = field("VmHWM");
    }
    qint64 risenMiB() const { return (field("VmHWM") - m_start) / 1024; }

private:
    // A field of /proc/self/status in KiB.
    static qint64 field(const char* name) {
        QFile status("/proc/self/status");
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        const QRegularExpression re(QString("%1:\\s+(\\d+) kB").arg(name));
        return re.match(QString::fromLatin1(status.readAll())).captured(1).toLongLong();
    }
    qint64 m_start = 0;
};
