#pragma once

#include <optional>

#include <QMap>
#include <QSet>
#include <QStringList>
#include <QTextStream>

namespace LLObjectsCOM {

// ledgerline-admin: servers, companies, users, backups and SQL for the
// people who run the host. run() takes the arguments after the program name
// and returns the exit status: 0 done, 1 failed, 2 wrong command line.
class AdminCli {
public:
    AdminCli(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}

    int run(const QStringList& args);

    static QString usage();

private:
    int fail(const QString& message);
    int usageError(const QString& message);

    int serverCommand(const QStringList& words);
    int companyCommand(const QStringList& words);
    int userCommand(const QStringList& words);
    int backupCommand(const QStringList& words);
    int checkCommand(const QStringList& words);
    int sqlCommand(const QStringList& words);
    int demoCommand(const QStringList& words);
    void printTable(const QStringList& header, const QList<QStringList>& rows);
    // The password for user: environment, file or prompt; never an option.
    std::optional<QString> password(const QString& user, QString* error);

    QTextStream& m_out;
    QTextStream& m_err;
    QString m_server;
    QMap<QString, QString> m_options; // --name value
    QSet<QString> m_flags;            // --superuser, --xml
};

} // namespace LLObjectsCOM
