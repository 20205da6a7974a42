#pragma once

#include "di/MRV_ConnectionContext.h"

#include <QString>
#include <QStringList>

class MRV_CliArgs;
class MRV_TerminalInteraction;

// The company a command works in, logged in as the program is at start-up:
// the user must be a superuser, and the first use of a company creates the
// program's user tables and settings.
class MRV_CliSession {
public:
    // The options that name the company and its login: --server, --db,
    // --user, --password-file, --db-user (the database login; its password
    // comes from MIRROVA_DB_PASSWORD; without it the connection is trusted).
    static QStringList options() {
        return {QStringLiteral("server"), QStringLiteral("db"), QStringLiteral("user"),
                QStringLiteral("password-file"), QStringLiteral("db-user")};
    }

    explicit MRV_CliSession(MRV_TerminalInteraction& ui) : m_ui(ui) {}
    ~MRV_CliSession();
    MRV_CliSession(const MRV_CliSession&) = delete;
    MRV_CliSession& operator=(const MRV_CliSession&) = delete;

    // Logs in to the company the options name (the user defaults to the
    // server's administrator login); false with the reason in error.
    // Without setUp the company is only read: the program's tables and
    // settings are not made where they are missing.
    bool open(const MRV_CliArgs& args, QString* error, bool setUp = true);
    // The same for a company named here; args give the rest of the login.
    bool open(const QString& server, const QString& database, const QString& user,
              const MRV_CliArgs& args, QString* error, bool setUp = true);

    MRV_ConnectionContext& context() { return m_context; }

private:
    MRV_TerminalInteraction& m_ui;
    MRV_ConnectionContext m_context;
};
