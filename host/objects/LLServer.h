#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace LLObjectsCOM {

// A database server of the stand-in host: a folder holding server.ini (the
// database server type it emulates, database logins, OS users it trusts),
// one SQLite file per company, msdb.db (the backup history), LL_SHR/ (the
// server's share) and backups/.
class Server {
public:
    static constexpr int DefaultType = 6;

    // Makes folder a server of the given type (1 to 6). The OS user who runs
    // this is trusted. Refuses a folder that is a server already.
    static bool init(const QString& folder, int type, QString* error = nullptr);
    // The server whose folder is folder; nothing when it holds no server.ini.
    static std::optional<Server> open(const QString& folder, QString* error = nullptr);
    // The server a name denotes: ".", "(local)", "localhost" and this
    // machine's host name mean the default local server; other names are
    // looked up in the registry, then taken as a folder. A port after a comma
    // is ignored; names compare without regard to case.
    static std::optional<Server> find(const QString& name, QString* error = nullptr);

    // $LEDGERLINE_HOME, else <XDG data>/ledgerline/server.
    static QString defaultLocalFolder();
    // <XDG config>/ledgerline/servers.ini: name = folder.
    static QString registryPath();
    static bool registerServer(const QString& name, const QString& folder,
                               QString* error = nullptr);
    // Registered names and their folders, the local server first.
    static QList<std::pair<QString, QString>> registeredServers();
    // True for the names that mean this machine's default server.
    static bool isLocalName(const QString& name);

    // "\\name\LL_SHR\rest" (either slash, port after a comma ignored) becomes
    // "<server folder>/LL_SHR/rest"; any other path comes back with its
    // backslashes turned into slashes.
    static QString resolveSharePath(const QString& path);

    // A database name must be a plain file name: letters, digits, "_", "-",
    // "." and blanks, not starting with "." or a blank, at most 100
    // characters, and not "msdb".
    static bool isValidDatabaseName(const QString& name);

    const QString& folder() const { return m_folder; }
    int type() const { return m_type; }
    // Text comparisons ignore case on the MSSQL family (1, 3, 4, 6).
    bool caseInsensitive() const { return m_type != 2 && m_type != 5; }
    QString sharePath() const { return m_folder + QStringLiteral("/LL_SHR"); }
    QString backupsPath() const { return m_folder + QStringLiteral("/backups"); }
    QString msdbPath() const { return m_folder + QStringLiteral("/msdb.db"); }
    // The file of a database: the exact name, else (on a case-insensitive
    // server) a file whose name differs only in case; empty when none.
    QString databasePath(const QString& database) const;
    // The file a new database of that name gets.
    QString newDatabasePath(const QString& database) const;
    // The database files of the server, by name, sorted.
    QStringList databases() const;

    bool checkLogin(const QString& user, const QString& password) const;
    bool trusts(const QString& osUser) const;
    bool setLogin(const QString& user, const QString& password, QString* error = nullptr);
    // The OS user running this process.
    static QString currentOsUser();

private:
    Server(QString folder, int type) : m_folder(std::move(folder)), m_type(type) {}
    QString iniPath() const { return m_folder + QStringLiteral("/server.ini"); }

    QString m_folder;
    int m_type;
};

} // namespace LLObjectsCOM
