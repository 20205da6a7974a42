#include "config/MRV_IntermediateFile.h"

#include "tsframework/CLogBase.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kPrefix = QStringLiteral("MRV_Config_");

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Whether the process that made a file of this name still runs.
bool runs(pid_t pid) {
    return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM);
}

} // namespace

QString MRV_IntermediateFile::privateFolder(QString* error) {
    const QString runtime = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    const QString folder = runtime.isEmpty() ? QDir::tempPath() + QStringLiteral("/mirrova-") +
                                                   QString::number(getuid())
                                             : runtime + QStringLiteral("/mirrova");
    const QByteArray name = QFile::encodeName(folder);
    if (mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
        *error =
            QStringLiteral("the private folder %1 cannot be made: %2").arg(folder, systemError());
        return QString();
    }
    // lstat, not stat: a link planted under the folder's name would lead
    // the run's base data wherever its owner likes.
    struct stat info {};
    if (lstat(name.constData(), &info) != 0) {
        *error =
            QStringLiteral("the private folder %1 cannot be read: %2").arg(folder, systemError());
        return QString();
    }
    if (S_ISLNK(info.st_mode)) {
        *error = QStringLiteral("the private folder %1 is a symbolic link; remove it").arg(folder);
        return QString();
    }
    if (!S_ISDIR(info.st_mode)) {
        *error = QStringLiteral("the private folder %1 is not a folder; remove it").arg(folder);
        return QString();
    }
    if (info.st_uid != getuid()) {
        *error = QStringLiteral("the private folder %1 belongs to another user (uid %2); remove it")
                     .arg(folder)
                     .arg(info.st_uid);
        return QString();
    }
    if ((info.st_mode & 0777) != 0700 && chmod(name.constData(), 0700) != 0) {
        *error = QStringLiteral("the private folder %1 cannot be made private: %2")
                     .arg(folder, systemError());
        return QString();
    }
    return folder;
}

void MRV_IntermediateFile::removeLeftovers(const QString& folder) {
    const QStringList names =
        QDir(folder).entryList({kPrefix + QStringLiteral("*.xml")}, QDir::Files | QDir::System);
    for (const QString& file : names) {
        const pid_t pid = file.mid(kPrefix.size()).section(u'_', 0, 0).toInt();
        if (!runs(pid))
            QFile::remove(folder + u'/' + file);
    }
}

MRV_IntermediateFile::MRV_IntermediateFile() {
    CLogBase log(u"MRV", u"MRV_IntermediateFile::MRV_IntermediateFile");
    const QString folder = privateFolder(&m_error);
    if (folder.isEmpty()) {
        log.LogError(u"%s", m_error);
        return;
    }
    removeLeftovers(folder);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString path = folder + u'/' + kPrefix + QString::number(getpid()) + u'_' +
                             QString::number(QRandomGenerator::system()->generate64(), 36) +
                             QStringLiteral(".xml");
        const int fd = open(QFile::encodeName(path).constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            close(fd);
            m_path = path;
            return;
        }
        if (errno != EEXIST) {
            m_error = QStringLiteral("the run's file cannot be made in %1: %2")
                          .arg(folder, systemError());
            log.LogError(u"%s", m_error);
            return;
        }
    }
    m_error =
        QStringLiteral("the run's file cannot be made in %1: every name is taken").arg(folder);
    log.LogError(u"%s", m_error);
}

MRV_IntermediateFile::~MRV_IntermediateFile() {
    if (!m_path.isEmpty())
        QFile::remove(m_path);
}
