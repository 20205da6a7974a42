#pragma once

#include "host/objects/LLDatabase.h"
#include "host/objects/LLServer.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariantMap>

#include <optional>

namespace LLObjectsCOM {

// The work of the people who run the host's servers: companies, users,
// backups and plain SQL, on the files directly (no company login).
class Admin {
public:
    static constexpr int DefaultVersion = 880202;

    using CompanyInfo = Database::CompanyInfo;
    struct UserInfo {
        int key = 0;
        QString code;
        QString name;
        bool superuser = false;
        bool locked = false;
    };

    // A new company as the host creates one: every table of the schema, the
    // company and version rows, the superuser "lobster" (password
    // "lobster"), numbering, a period category, system accounts and alerts.
    // Built under a temporary name and renamed when complete.
    static bool createCompany(const Server& server, const QString& database,
                              const QString& companyName, const QString& localization, int version,
                              QString* error = nullptr);
    static bool dropCompany(const Server& server, const QString& database,
                            QString* error = nullptr);
    static QList<CompanyInfo> companies(const Server& server);

    static bool addUser(const Server& server, const QString& database, const QString& code,
                        const QString& name, const QString& password, bool superuser,
                        QString* error = nullptr);
    static bool setPassword(const Server& server, const QString& database, const QString& code,
                            const QString& password, QString* error = nullptr);
    static std::optional<QList<UserInfo>> users(const Server& server, const QString& database,
                                                QString* error = nullptr);

    // Copies the company into backups/ with SQLite's online backup and
    // records the finish time in the backup history. finished: the time to
    // record (the current time when invalid). backupFile receives the path.
    static bool backup(const Server& server, const QString& database, QDateTime finished,
                       QString* backupFile = nullptr, QString* error = nullptr);
    // What the database's integrity check finds wrong (empty when sound);
    // nothing when the company cannot be opened.
    static std::optional<QStringList>
    integrityProblems(const Server& server, const QString& database, QString* error = nullptr);

    // A posting-period category for the calendar year with its twelve
    // monthly periods.
    static bool addPeriodCategory(Database& db, int year, QString* error = nullptr);

    // Inserts one row, giving NOT NULL columns without default that values
    // leaves out a neutral value (0, '' or 'N'), so seed data needs to name
    // only what matters.
    static bool insertRow(Database& db, const QString& table, const QVariantMap& values,
                          QString* error = nullptr);
};

} // namespace LLObjectsCOM
