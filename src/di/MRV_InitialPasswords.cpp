#include "di/MRV_InitialPasswords.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Letters and digits that cannot be taken for one another, and signs that
// need no quoting where a password is typed: 64 characters, so that each
// gives six bits, 120 bits in all.
constexpr char16_t Alphabet[] = u"ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz23456789-_.+=!#";
constexpr int AlphabetSize = int(std::size(Alphabet)) - 1;
constexpr int PasswordLength = 20;

const char Heading[] =
    "# The first passwords of the users the copy added. Each user must change it at the first\n"
    "# log-in. Hand each to its user and delete this file.\n";

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

MRV_InitialPasswords::MRV_InitialPasswords(const QString& logPath) : m_path(pathFor(logPath)) {}

MRV_InitialPasswords::~MRV_InitialPasswords() {
    if (m_fd >= 0)
        ::close(m_fd);
}

QString MRV_InitialPasswords::pathFor(const QString& logPath) {
    const QFileInfo log(logPath);
    return log.path() + u'/' + log.completeBaseName() + QStringLiteral(".passwords.txt");
}

QString MRV_InitialPasswords::generate() {
    static_assert(AlphabetSize == 64);
    QString password;
    password.reserve(PasswordLength);
    QRandomGenerator* random = QRandomGenerator::system();
    for (int i = 0; i < PasswordLength; ++i)
        password += QChar(Alphabet[random->bounded(AlphabetSize)]);
    return password;
}

bool MRV_InitialPasswords::open(QString& error) {
    if (m_fd >= 0)
        return true;
    // Made here, by this run, for the operator alone: a file that exists
    // already (another's, or a link) is never written into.
    m_fd = ::open(QFile::encodeName(m_path).constData(),
                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        error = QStringLiteral("The file for the new users' passwords %1 cannot be made: %2")
                    .arg(m_path, systemError());
        return false;
    }
    return true;
}

bool MRV_InitialPasswords::rewrite(QString& error) {
    QByteArray text(Heading);
    for (const Entry& e : std::as_const(m_entries))
        text += (e.userCode + u'\t' + e.password + u'\n').toUtf8();
    m_unsynced = true;
    if (::ftruncate(m_fd, 0) != 0 || ::lseek(m_fd, 0, SEEK_SET) != 0 || !writeAll(m_fd, text)) {
        error = cannotWrite();
        return false;
    }
    return true;
}

bool MRV_InitialPasswords::sync(QString& error) {
    if (!m_unsynced)
        return true;
    if (::fsync(m_fd) != 0) {
        error = cannotWrite();
        return false;
    }
    m_unsynced = false;
    return true;
}

QString MRV_InitialPasswords::cannotWrite() const {
    return QStringLiteral("The file for the new users' passwords %1 cannot be written: %2")
        .arg(m_path, systemError());
}

bool MRV_InitialPasswords::add(const QString& userCode, const QString& password, QString& error) {
    // A line end or tab in a code would make the file say something else.
    if (userCode.contains(u'\n') || userCode.contains(u'\r') || userCode.contains(u'\t')) {
        error = QStringLiteral("A user code with a line end or tab cannot be listed with its "
                               "password");
        return false;
    }
    if (!open(error))
        return false;
    // A user new to the list is one line more at the end, as a rewrite would
    // put it: a run adding thousands of users does not write the whole list
    // for each.
    const bool listed = std::any_of(m_entries.cbegin(), m_entries.cend(),
                                    [&](const Entry& e) { return e.userCode == userCode; });
    if (!listed) {
        m_entries << Entry{userCode, password};
        m_unsynced = true;
        if (::lseek(m_fd, 0, SEEK_END) >= 0 &&
            writeAll(m_fd, (userCode + u'\t' + password + u'\n').toUtf8()))
            return true;
        error = cannotWrite();
        // Whatever of the line reached the file goes.
        m_entries.removeLast();
        QString ignored;
        rewrite(ignored);
        return false;
    }
    // A user removed and added again within the run has the new password
    // only.
    const QList<Entry> before = m_entries;
    m_entries.removeIf([&](const Entry& e) { return e.userCode == userCode; });
    m_entries << Entry{userCode, password};
    if (rewrite(error))
        return true;
    m_entries = before;
    return false;
}

bool MRV_InitialPasswords::withdraw(const QString& userCode, QString& error) {
    const qsizetype before = m_entries.size();
    m_entries.removeIf([&](const Entry& e) { return e.userCode == userCode; });
    return m_entries.size() == before || rewrite(error);
}
