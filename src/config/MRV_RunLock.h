#pragma once

#include <QFile>
#include <QString>

// Keeps two copy runs out of one target company: a run holds the lock of
// its target from its first write to its end, and a second run into the
// same company is refused, told who holds it. The lock is a file in the
// program's folder of the server's share, locked with flock, so a run that
// dies lets go of it with its process and never blocks the next one.
class MRV_RunLock {
public:
    MRV_RunLock() = default;
    ~MRV_RunLock();
    MRV_RunLock(const MRV_RunLock&) = delete;
    MRV_RunLock& operator=(const MRV_RunLock&) = delete;

    // Takes the lock for copies into database on server; run: a line
    // saying who runs and what, kept in the lock for a second run to read.
    // False when another run holds it (holder then says who, as that run
    // described itself) or the lock cannot be made (holder says why).
    bool acquire(const QString& server, const QString& database, const QString& run,
                 QString& holder);
    void release();
    bool held() const { return m_file.isOpen(); }

    // The lock file for database on server: in the program's folder of the
    // server's share, else in the user's runtime folder (which keeps out
    // only this user's runs, and is logged as such).
    static QString lockPath(const QString& server, const QString& database);
    // This process's line: user, machine, process id, start time and
    // worksheet.
    static QString describeRun(const QString& user, const QString& worksheet);

private:
    QFile m_file;
};
