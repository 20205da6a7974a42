#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include "host/objects/LLStatement.h"

#include <memory>

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

    // The columns a table has now, in order; kept until a statement changes
    // the database's structure.
    const QStringList& columns(const QString& table);

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

private:
    Database(QString name, QString path);
    bool setUp(const Server& server, bool create, QString* error);

    // sql and values as they are bound (see prepare).
    static QString bindable(const QString& sql, const QVariantList& values, QVariantList& bound);

    QString m_name;
    QString m_path;
    QSqlDatabase m_db;
    QHash<QString, std::shared_ptr<Statement>> m_statements;
    sqlite3* m_handle = nullptr;
    QHash<QString, QStringList> m_columns;
};

} // namespace LLObjectsCOM
