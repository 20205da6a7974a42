#pragma once

// What every benchmark measures the same way: memory from the kernel's
// view of the process, CPU time against the wall clock, rates.

#include "host/admin/LLAdmin.h"
#include "host/objects/LLCompany.h"

#include <QByteArray>
#include <QFile>

#include <ctime>

namespace bench {

// A line of /proc/self/status in kB ("VmHWM", "VmRSS"); -1 when missing.
inline qint64 statusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Sets the peak resident size back to the present one (Linux 4.0 and
// later), so each stage's peak is its own; false where the kernel refuses.
inline bool resetPeak() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

// CPU time of the whole process so far: against the wall clock it shows
// how long a run waited (for the disk, mostly).
inline qint64 cpuNs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

inline double perSecond(qint64 count, qint64 nanoseconds) {
    return nanoseconds > 0 ? double(count) * 1e9 / double(nanoseconds) : 0;
}

inline double ms(qint64 nanoseconds) {
    return double(nanoseconds) / 1e6;
}

// Logs in to a company of the server as the trusted user every demo has.
inline bool connect(LLObjectsCOM::Company& company, const LLObjectsCOM::Server& server,
                    const QString& db) {
    company.Server = server.folder();
    company.CompanyDB = db;
    company.UserName = QStringLiteral("lobster");
    company.Password = QStringLiteral("lobster");
    company.UseTrusted = true;
    return company.Connect() == 0;
}

} // namespace bench
