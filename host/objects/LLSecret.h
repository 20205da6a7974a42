#pragma once

#include <QString>

#include <optional>
#include <termios.h>

namespace LLObjectsCOM {

// Passwords never travel on a command line, where every user of the machine
// can read them in the process list: they come from the environment, from a
// file only its owner can read, or from the terminal without echo.

// The first line of a password file, without its line end. Refused, with
// why in error, when it cannot be read or when its group or others may read
// or write it (as ssh refuses such a key).
std::optional<QString> readPasswordFile(const QString& path, QString* error);

// Echo off on the terminal of standard input for the life of a scope;
// nothing when standard input is no terminal.
class NoEcho {
public:
    NoEcho();
    ~NoEcho();
    NoEcho(const NoEcho&) = delete;
    NoEcho& operator=(const NoEcho&) = delete;

private:
    termios m_saved{};
    bool m_ok;
};

} // namespace LLObjectsCOM
