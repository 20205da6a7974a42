#include "config/MRV_RunLock.h"

#include "di/MRV_SettingsManager.h"
#include "tsframework/CLogBase.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QStandardPaths>
#include <QSysInfo>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <sys/file.h>
#include <unistd.h>

MRV_RunLock::~MRV_RunLock() {
    release();
}

QString MRV_RunLock::lockPath(const QString& server, const QString& database) {
    // Names may hold anything a file name cannot.
    const auto part = [](const QString& name) {
        return QString::fromLatin1(QUrl::toPercentEncoding(name, "", "~"));
    };
    // The share belongs to one server, however its name was written: the
    // database names the lock there.
    const QString share = MRV_SettingsManager::programShareFolder(server);
    if (!share.isEmpty())
        return QDir(share).filePath(
            QStringLiteral("copy-into-%1.lock").arg(part(database.toUpper())));
    CLogBase(u"MRV", u"MRV_RunLock::lockPath")
        .LogError(u"No share of server '%s': only this user's runs into '%s' are kept apart",
                  server, database);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("mirrova-copy-into-%1-%2.lock")
                                     .arg(part(server.toLower()), part(database.toUpper())));
}

QString MRV_RunLock::describeRun(const QString& user, const QString& worksheet) {
    return QStringLiteral("user %1 on %2 (process %3), started %4, worksheet %5")
        .arg(user, QSysInfo::machineHostName())
        .arg(QCoreApplication::applicationPid())
        .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
             worksheet.isEmpty() ? QStringLiteral("(none)") : worksheet);
}

bool MRV_RunLock::acquire(const QString& server, const QString& database, const QString& run,
                          QString& holder) {
    release();
    m_file.setFileName(lockPath(server, database));
    // Others of the share must be able to lock it too; a file another user
    // made may be open to us for reading only, which flock needs alone.
    if (!m_file.open(QIODevice::ReadWrite) && !m_file.open(QIODevice::ReadOnly)) {
        holder = QStringLiteral("the lock %1 cannot be opened: %2")
                     .arg(m_file.fileName(), m_file.errorString());
        return false;
    }
    m_file.setPermissions(m_file.permissions() | QFileDevice::ReadGroup | QFileDevice::ReadOther |
                          QFileDevice::WriteGroup);
    if (::flock(m_file.handle(), LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        const QString other = QString::fromUtf8(m_file.readAll()).trimmed();
        m_file.close();
        holder = error == EWOULDBLOCK
                     ? (other.isEmpty() ? QStringLiteral("another run (it has not said who yet)")
                                        : other)
                     : QStringLiteral("the lock %1 cannot be taken: %2")
                           .arg(m_file.fileName(), QString::fromLocal8Bit(std::strerror(error)));
        return false;
    }
    // Ours now: what the last holder wrote goes.
    if (m_file.isWritable() && m_file.resize(0)) {
        m_file.write(run.toUtf8() + '\n');
        m_file.flush();
    }
    return true;
}

void MRV_RunLock::release() {
    if (!m_file.isOpen())
        return;
    if (m_file.isWritable())
        m_file.resize(0);
    ::flock(m_file.handle(), LOCK_UN);
    m_file.close();
}
