#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QStringList>
#include <QTextStream>
#include <QVariant>

#include <gtest/gtest.h>

#include <ostream>

// What a command line gave: its exit status and what it printed.
struct CommandResult {
    int status;
    QString out;
    QString err;
};

// Runs a command-line class (constructed on an output and an error stream,
// with run(arguments) giving the exit status) on args.
template <typename Cli> CommandResult runCommand(const QStringList& args) {
    QString out, err;
    QTextStream o(&out), e(&err);
    const int status = Cli(o, e).run(args);
    return {status, out, err};
}

// Readable failure output for text in every test.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
// Database values, as rows compared in many tests show them.
inline void PrintTo(const QVariant& value, std::ostream* os) {
    if (value.isNull())
        *os << "NULL";
    else
        PrintTo(value.toString(), os);
}

// The shared list of hostile text values every text path must carry intact,
// read from path. A list that is missing, unreadable or empty fails the test
// that asked for it: a loop over no values would pass without testing
// anything. Qt's JSON reader drops a U+FEFF that starts a string value, so
// the raw character is turned into its escape first, which it keeps.
inline QStringList nastyStringsFrom(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "the hostile strings cannot be read from " << path.toStdString() << ": "
                      << file.errorString().toStdString();
        return {};
    }
    const QByteArray json = file.readAll().replace("\xEF\xBB\xBF", "\\ufeff");
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) {
        ADD_FAILURE() << path.toStdString() << " is not a JSON list of strings: at offset "
                      << error.offset << ", " << error.errorString().toStdString();
        return {};
    }
    QStringList list;
    for (const QJsonValue& v : document.array())
        list << v.toString();
    if (list.isEmpty())
        ADD_FAILURE() << path.toStdString() << " holds no hostile strings";
    return list;
}

inline QStringList nastyStrings() {
    return nastyStringsFrom(QStringLiteral(MIRROVA_SHARED_TESTDATA "/nasty-strings.json"));
}
