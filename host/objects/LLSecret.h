#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QTextStream;

namespace LLObjectsCOM {

// Passwords never travel on a command line, where every user of the machine
// can read them in the process list: they come from the environment, from a
// file only its owner can read, or from the terminal without echo.

// The first line of a password file, without its line end. Refused, with
// why in error, when it cannot be read or when its group or others may read
// or write it (as ssh refuses such a key).
std::optional<QString> readPasswordFile(const QString& path, QString* error);

// The password given without a prompt: the environment variable's value,
// else the password file's first line (when file is not empty). Nothing,
// with error left empty, when neither is given: the caller asks then.
std::optional<QString> givenPassword(const char* variable, const QString& file, QString* error);

// A value no one can guess: bytes from the system's random source, in
// lower-case hexadecimal (two digits a byte).
QByteArray randomHex(int bytes);
// The text is such a value of that many bytes.
bool isRandomHex(QStringView text, int bytes);

// A line of in, read with the echo of the terminal on standard input off;
// a null string at the end of the input.
QString readLineWithoutEcho(QTextStream& in);

} // namespace LLObjectsCOM
