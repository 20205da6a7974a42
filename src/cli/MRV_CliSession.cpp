#include "cli/MRV_CliSession.h"

#include "cli/MRV_CliArgs.h"
#include "cli/MRV_TerminalInteraction.h"
#include "di/MRV_SettingsManager.h"
#include "di/MRV_UDTManager.h"
#include "di/MRV_Util.h"
#include "host/objects/LLCompany.h"
#include "tsframework/CTSBSTR.h"

MRV_CliSession::~MRV_CliSession() {
    m_context.reset();
    if (m_context.company && m_context.company->Connected())
        MRV_Util::Disconnect(*m_context.company);
}

bool MRV_CliSession::open(const MRV_CliArgs& args, QString* error, bool setUp) {
    return open(args.value(QStringLiteral("server")), args.value(QStringLiteral("db")),
                args.value(QStringLiteral("user")), args, error, setUp);
}

bool MRV_CliSession::open(const QString& server, const QString& database, const QString& user,
                          const MRV_CliArgs& args, QString* error, bool setUp) {
    if (server.isEmpty() || database.isEmpty()) {
        *error = QStringLiteral("the company needs --server and --db");
        return false;
    }
    auto company = std::make_shared<LLObjectsCOM::Company>();
    company->Server = server;
    company->CompanyDB = database;
    company->UserName = user.isEmpty() ? QStringLiteral("lobster") : user;
    if (args.has(QStringLiteral("password-file")))
        m_ui.passwordFile = args.value(QStringLiteral("password-file"));
    const std::optional<QString> password = m_ui.password(company->UserName);
    if (!password) {
        *error = QStringLiteral("no password for %1 (MIRROVA_PASSWORD, --password-file or a "
                                "terminal to ask on)")
                     .arg(company->UserName);
        return false;
    }
    company->Password = *password;
    // The database login: the server's own login when one is named, else
    // the trusted connection of the user running the program.
    company->UseTrusted = !args.has(QStringLiteral("db-user"));
    company->DbUserName = args.value(QStringLiteral("db-user"));
    company->DbPassword = QString::fromLocal8Bit(qgetenv("MIRROVA_DB_PASSWORD"));
    if (MRV_Util::Connect(*company, m_context) != S_OK || !company->Connected()) {
        *error = QStringLiteral("cannot log in to %1 on %2").arg(database, server);
        return false;
    }
    m_context.company = company;
    bool superUser = false;
    if (MRV_Util::CheckSuperUser(*company, superUser) != S_OK || !superUser) {
        CTSBSTR text(m_ui.language());
        text.FormatId(10035, company->UserName);
        *error = text;
        return false;
    }
    if (!setUp)
        return true;
    // As at start-up: the program's tables and the stored settings.
    if (MRV_UDTManager(&m_context).checkCompany() < 0) {
        *error = QStringLiteral("the program's user tables cannot be set up in %1").arg(database);
        return false;
    }
    MRV_SettingsManager settings(&m_context);
    if (settings.checkSettings() < 0 || settings.updateSettingsFromDatabase() < 0) {
        *error = QStringLiteral("the settings of %1 cannot be read").arg(database);
        return false;
    }
    return true;
}
