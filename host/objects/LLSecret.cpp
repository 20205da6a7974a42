#include "host/objects/LLSecret.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTextStream>

#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace LLObjectsCOM {

namespace {

// Echo off on the terminal for the life of a scope; nothing when standard
// input is no terminal.
class NoEcho {
public:
    NoEcho() : m_ok(::tcgetattr(STDIN_FILENO, &m_saved) == 0) {
        if (!m_ok)
            return;
        termios quiet = m_saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    ~NoEcho() {
        if (m_ok)
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_saved);
    }
    NoEcho(const NoEcho&) = delete;
    NoEcho& operator=(const NoEcho&) = delete;

private:
    termios m_saved{};
    bool m_ok;
};

} // namespace

std::optional<QString> readPasswordFile(const QString& path, QString* error) {
    const auto refuse = [&](const QString& why) -> std::optional<QString> {
        if (error)
            *error = QStringLiteral("the password file %1 %2").arg(path, why);
        return std::nullopt;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("cannot be read: ") + file.errorString());
    // Checked on the file opened, not on the name, which may change between.
    struct stat st {};
    if (::fstat(file.handle(), &st) != 0 || !S_ISREG(st.st_mode))
        return refuse(QStringLiteral("is not a plain file"));
    if (st.st_mode & 077)
        return refuse(QStringLiteral("may be read or written by others (mode %1): allow its "
                                     "owner alone (chmod 600)")
                          .arg(st.st_mode & 0777, 4, 8, QLatin1Char('0')));
    return QString::fromUtf8(file.readLine(4096)).remove(u'\r').remove(u'\n');
}

std::optional<QString> givenPassword(const char* variable, const QString& file, QString* error) {
    const QByteArray fromEnvironment = qgetenv(variable);
    if (!fromEnvironment.isNull())
        return QString::fromLocal8Bit(fromEnvironment);
    if (!file.isEmpty())
        return readPasswordFile(file, error);
    return std::nullopt;
}

QString readLineWithoutEcho(QTextStream& in) {
    const NoEcho quiet;
    return in.readLine();
}

QByteArray randomHex(int bytes) {
    // Whole 32-bit words from the source, cut to the length asked for.
    QByteArray words(((bytes + 3) / 4) * 4, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(words.data()),
                                          words.size() / 4);
    return words.left(bytes).toHex();
}

bool isRandomHex(QStringView text, int bytes) {
    if (text.size() != 2 * bytes)
        return false;
    for (const QChar c : text)
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return false;
    return true;
}

} // namespace LLObjectsCOM
