#pragma once

#include "host/objects/LLDatabase.h"
#include "host/objects/LLErrors.h"
#include "host/objects/LLServer.h"

#include <QDateTime>
#include <QHash>

#include <functional>
#include <memory>
#include <optional>

namespace LLObjectsCOM {

// What a company object shares with the objects it hands out: the open
// database (none while disconnected), the server, the clock and the last
// error. A recordset keeps it alive, so a call after Disconnect fails
// cleanly instead of touching a closed connection.
struct CompanyState {
    std::optional<Server> server;
    std::unique_ptr<Database> database;
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };
    int serverType = 0;
    int lastErrorCode = 0;
    QString lastErrorText;
    // Statements with bound values, as the program wrote them -> SQLite's
    // text: a program writing many rows one way translates the statement
    // once. Emptied when it grows past a few hundred texts.
    QHash<QString, QString> boundStatements;

    bool connected() const { return database != nullptr; }
    void setLastError(int code, const QString& text) {
        lastErrorCode = code;
        lastErrorText = text;
    }
    // Records the error and throws it, as a failing host call does.
    [[noreturn]] void fail(int code, const QString& text);
};

} // namespace LLObjectsCOM
