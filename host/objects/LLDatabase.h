#pragma once

#include <QDateTime>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include "host/objects/LLStatement.h"

#include <memory>
#include <vector>

namespace LLObjectsCOM {

class Server;

// One SQLite connection to a company file of a server, set up the way the
// emulated database server behaves: foreign keys on, double-quoted text
// always an identifier, LIKE case-sensitive on servers that compare exactly,
// and the server's backup history attached as "msdb". Closed and removed
// from Qt's connection list when destroyed.
class Database {
public:
    // Opens an existing file (never creates one); null with an error text
    // when the file cannot be opened or is not an SQLite database.
    static std::unique_ptr<Database> open(const Server& server, const QString& path,
                                          QString* error = nullptr);
    // Creates a new, empty file at path; null with an error when it exists.
    static std::unique_ptr<Database> create(const Server& server, const QString& path,
                                            QString* error = nullptr);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    QSqlDatabase& connection() { return m_db; }
    const QString& path() const { return m_path; }

    // A transaction is open on the connection.
    bool inTransaction() const;
    // True when the file holds the system tables of a company.
    bool isCompany();
    // Runs SQLite SQL that needs no result; false with the driver's text.
    bool exec(const QString& sql, QString* error = nullptr,
              const QVariantList& values = QVariantList());

    // Prepares sql on q and binds values to its "?" in order. SQLite takes a
    // leading U+FEFF of bound UTF-16 text for a byte-order mark and drops
    // it, so such a value is bound without it and the character is put back
    // in the statement.
    static bool prepare(QSqlQuery& q, const QString& sql, const QVariantList& values);

    // Runs sql with values on a statement prepared once per text and kept
    // for the life of the connection (the business objects run the same few
    // statements again and again). The statement stays valid until the next
    // run of the same text; call finish() on it when done reading. Null,
    // with SQLite's text, when the statement fails.
    Statement* run(const QString& sql, const QVariantList& values, QString* error = nullptr);

    // A statement prepared once per text and kept for the connection's life;
    // null, with SQLite's text, when it does not prepare.
    std::shared_ptr<Statement> statement(const QString& sql, QString* error = nullptr);

    // The columns a table has now, in order; kept until the database's
    // structure changes.
    const QStringList& columns(const QString& table);
    // A slot for something derived from the database's structure, under
    // key; emptied whenever the structure changes (by any statement, also
    // a rollback).
    std::shared_ptr<const void>& structureCache(const QString& key);

    // What identifies a company file of a server.
    struct CompanyInfo {
        QString database;
        QString name;
        QString localization;
        int version = 0;
    };
    // The companies of a server, by database name; files in the folder that
    // are not companies are passed over.
    static QList<CompanyInfo> companies(const Server& server);

    // The backup history of a server, created when missing.
    static bool ensureBackupHistory(const QString& msdbPath, QString* error = nullptr);

    // Copies the company into the server's backups/ folder as fileName (a
    // plain file name; a name of its own when empty) and records the finish
    // time in the backup history. finished: the time to record (the current
    // time when invalid). backupFile receives the path. Not inside a
    // transaction: a backup holds only what was committed.
    bool backup(const Server& server, const QString& fileName, QDateTime finished,
                QString* backupFile = nullptr, QString* error = nullptr);
    // Removes a company database of server with its journal files.
    static bool drop(const Server& server, const QString& database, QString* error = nullptr);
    // Makes database anew from the backup fileName of the server's backups
    // folder; database must not exist yet.
    static bool restore(const Server& server, const QString& fileName, const QString& database,
                        QString* error = nullptr);
    // What SQLite's integrity and foreign-key checks find wrong in the
    // file, one line each; empty when it is sound.
    QStringList integrityProblems();

private:
    Database(QString name, QString path);
    bool setUp(const Server& server, bool create, QString* error);

    // sql and values as they are bound (see prepare).
    static QString bindable(const QString& sql, const QVariantList& values, QVariantList& bound);

    QString m_name;
    QString m_path;
    QSqlDatabase m_db;
    QHash<QString, std::shared_ptr<Statement>> m_statements;
    // Every statement made, to let go of the connection when it closes
    // even where an object still holds one.
    std::vector<std::weak_ptr<Statement>> m_made;
    sqlite3* m_handle = nullptr;
    // Drops what was derived from the structure when it changed.
    void checkStructure();

    QHash<QString, QStringList> m_columns;
    QHash<QString, std::shared_ptr<const void>> m_structureCache;
    qint64 m_schemaVersion = -1;
};

} // namespace LLObjectsCOM
