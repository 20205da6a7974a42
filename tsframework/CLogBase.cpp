#include "tsframework/CLogBase.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QStandardPaths>

#include <cstdio>

namespace {

// A log larger than this is moved aside to "<name>.1" when the process
// first opens it, so the log never grows without bound.
constexpr qint64 kRotateSize = 8 * 1024 * 1024;

struct Sink {
    QMutex mutex;
    bool configured = false;
    CLogBase::Level level = CLogBase::Info;
    QString path;
    std::FILE* stream = nullptr; // stdout or stderr when asked for
    QFile file;
    bool failed = false; // the file could not be opened: drop lines quietly

    void configure() {
        file.close();
        failed = false;
        stream = nullptr;
        level = parseLevel(qEnvironmentVariable("MIRROVA_LOG_LEVEL"));
        path = qEnvironmentVariable("MIRROVA_LOG_FILE");
        if (path == u"stderr") {
            stream = stderr;
        } else if (path == u"stdout") {
            stream = stdout;
        } else if (path.isEmpty()) {
            QString state = qEnvironmentVariable("XDG_STATE_HOME");
            if (state.isEmpty() || QDir::isRelativePath(state))
                state = QDir::homePath() + QStringLiteral("/.local/state");
            path = state + QStringLiteral("/mirrova/mirrova.log");
        }
        configured = true;
    }

    static CLogBase::Level parseLevel(const QString& v) {
        const QString s = v.trimmed().toLower();
        if (s == u"off" || s == u"none" || s == u"0")
            return CLogBase::Off;
        if (s == u"error" || s == u"1")
            return CLogBase::Error;
        if (s == u"debug0" || s == u"3")
            return CLogBase::Debug0;
        if (s == u"debug1" || s == u"4")
            return CLogBase::Debug1;
        if (s == u"debug2" || s == u"debug" || s == u"5")
            return CLogBase::Debug2;
        return CLogBase::Info;
    }

    bool open() {
        if (stream || file.isOpen())
            return true;
        if (failed)
            return false;
        QFileInfo info(path);
        QDir().mkpath(info.absolutePath());
        if (info.exists() && info.size() > kRotateSize) {
            QFile::remove(path + QStringLiteral(".1"));
            QFile::rename(path, path + QStringLiteral(".1"));
        }
        file.setFileName(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            failed = true;
            return false;
        }
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        return true;
    }

    void write(const QByteArray& line) {
        if (!open())
            return;
        if (stream) {
            std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stream);
            std::fflush(stream);
        } else {
            file.write(line);
            file.flush(); // a crash must not swallow the lines before it
        }
    }
};

Sink& sink() {
    static Sink s;
    return s;
}

const char* levelName(CLogBase::Level level) {
    switch (level) {
    case CLogBase::Error:
        return "ERROR";
    case CLogBase::Info:
        return "INFO ";
    case CLogBase::Debug0:
        return "DBG0 ";
    case CLogBase::Debug1:
        return "DBG1 ";
    default:
        return "DBG2 ";
    }
}

} // namespace

CLogBase::CLogBase(QStringView component, QStringView scope)
    : m_component(component.toString()), m_scope(scope.toString()) {
    if (enabled(Debug2))
        writeLine(Debug2, QStringLiteral("enter"));
}

CLogBase::~CLogBase() {
    if (enabled(Debug2))
        writeLine(Debug2, QStringLiteral("leave"));
}

bool CLogBase::enabled(Level l) {
    return l != Off && l <= level();
}

CLogBase::Level CLogBase::level() {
    Sink& s = sink();
    QMutexLocker lock(&s.mutex);
    if (!s.configured)
        s.configure();
    return s.level;
}

QString CLogBase::filePath() {
    Sink& s = sink();
    QMutexLocker lock(&s.mutex);
    if (!s.configured)
        s.configure();
    return s.path;
}

void CLogBase::reconfigure() {
    Sink& s = sink();
    QMutexLocker lock(&s.mutex);
    s.configure();
}

void CLogBase::writeLine(Level level, const QString& text) const {
    // One entry, one line: line breaks inside a message are written as \n.
    QString body = text;
    if (body.endsWith(u'\n'))
        body.chop(1);
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"))
        .replace(u'\n', QStringLiteral("\\n"))
        .replace(u'\r', QStringLiteral("\\r"));
    const QString line = QStringLiteral("%1 [%2] %3 %4 %5: %6\n")
                             .arg(QDateTime::currentDateTime().toString(Qt::ISODateWithMs))
                             .arg(QCoreApplication::applicationPid())
                             .arg(QLatin1String(levelName(level)), m_component, m_scope, body);
    Sink& s = sink();
    QMutexLocker lock(&s.mutex);
    s.write(line.toUtf8());
}
