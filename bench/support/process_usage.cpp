#include "support/process_usage.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include <unistd.h>

#include <algorithm>

namespace {

QByteArray proc_file(qint64 pid, const char* name) {
    QFile file(QString("/proc/%1/%2").arg(pid).arg(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// User plus system time of all the process's threads.
double cpu_seconds(qint64 pid) {
    const QByteArray stat = proc_file(pid, "stat");
    // The command name in parentheses may hold blanks: fields count after it.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) return 0;
    const double ticks = fields[11].toDouble() + fields[12].toDouble();  // utime, stime
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace

double resident_mib(qint64 pid) {
    for (const QByteArray& line : proc_file(pid, "status").split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

PlaybackUsage watch_process(qint64 pid, double seconds, const std::function<void(int ms)>& between_samples) {
    PlaybackUsage usage;
    QElapsedTimer clock;
    clock.start();
    const double cpu_at_start = cpu_seconds(pid);
    while (clock.elapsed() < seconds * 1000) {
        between_samples(100);
        usage.peak_resident_mib = std::max(usage.peak_resident_mib, resident_mib(pid));
    }
    usage.cpu_share = (cpu_seconds(pid) - cpu_at_start) / (clock.nsecsElapsed() / 1e9);
    return usage;
}
