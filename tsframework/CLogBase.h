#pragma once

#include "tsframework/TSFormat.h"

#include <QString>

// A log scope of the framework logger. Every non-trivial operation opens
// one, named "Class::method"; its lines go to the one log file of the
// process (under the XDG state folder), never to the terminal unless asked.
//
// Environment:
//   MIRROVA_LOG_LEVEL  off | error | info | debug0 | debug1 | debug2
//                      ("debug" = debug2); default info
//   MIRROVA_LOG_FILE   a path, or "stderr" / "stdout"; default
//                      $XDG_STATE_HOME/mirrova/mirrova.log
class CLogBase {
public:
    enum Level { Off = 0, Error = 1, Info = 2, Debug0 = 3, Debug1 = 4, Debug2 = 5 };

    CLogBase(QStringView component, QStringView scope);
    ~CLogBase();
    CLogBase(const CLogBase&) = delete;
    CLogBase& operator=(const CLogBase&) = delete;

    template <typename... Args> void LogError(QStringView format, const Args&... args) const {
        write(Error, format, args...);
    }
    template <typename... Args> void LogInfo(QStringView format, const Args&... args) const {
        write(Info, format, args...);
    }
    template <typename... Args> void LogDbg0(QStringView format, const Args&... args) const {
        write(Debug0, format, args...);
    }
    template <typename... Args> void LogDbg1(QStringView format, const Args&... args) const {
        write(Debug1, format, args...);
    }
    template <typename... Args> void LogDbg2(QStringView format, const Args&... args) const {
        write(Debug2, format, args...);
    }

    const QString& scope() const { return m_scope; }

    static bool enabled(Level level);
    // The level and file in force; read from the environment on first use.
    static Level level();
    static QString filePath();
    // Re-reads the environment (tests, and a front end that sets it late).
    static void reconfigure();

private:
    template <typename... Args>
    void write(Level level, QStringView format, const Args&... args) const {
        if (enabled(level))
            writeLine(level, TSFormatArgs(format, args...));
    }
    void writeLine(Level level, const QString& text) const;

    QString m_component;
    QString m_scope;
};
