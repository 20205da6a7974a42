#include "host/objects/LLDatabase.h"

#include "host/objects/LLErrors.h"
#include "host/objects/LLSchema.h"
#include "host/objects/LLServer.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

#include <sqlite3.h>

namespace LLObjectsCOM {

namespace {

QAtomicInt connectionCounter;

sqlite3* handleOf(QSqlDatabase& db) {
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(v.constData());
}

// Text compared as the MSSQL family compares it: without regard to case, in
// every script, not only ASCII.
int compareWithoutCase(void*, int leftBytes, const void* left, int rightBytes, const void* right) {
    const QStringView a(static_cast<const QChar*>(left), leftBytes / 2);
    const QStringView b(static_cast<const QChar*>(right), rightBytes / 2);
    return a.compare(b, Qt::CaseInsensitive);
}

QString literal(const QString& text) {
    return u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\'';
}

} // namespace

Database::Database(QString name, QString path)
    : m_name(std::move(name)), m_path(std::move(path)),
      m_db(QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name)) {}

Database::~Database() {
    // Statements go before their connection, also those still held.
    m_structureCache.clear();
    m_statements.clear();
    for (const std::weak_ptr<Statement>& made : m_made)
        if (const std::shared_ptr<Statement> held = made.lock())
            held->detach();
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

std::unique_ptr<Database> Database::open(const Server& server, const QString& path,
                                         QString* error) {
    if (!QFileInfo(path).isFile()) {
        setError(error, QStringLiteral("%1 does not exist").arg(path));
        return nullptr;
    }
    std::unique_ptr<Database> db(new Database(
        QStringLiteral("llobjects-%1").arg(connectionCounter.fetchAndAddRelaxed(1)), path));
    if (!db->setUp(server, false, error))
        return nullptr;
    return db;
}

std::unique_ptr<Database> Database::create(const Server& server, const QString& path,
                                           QString* error) {
    if (QFileInfo::exists(path)) {
        setError(error, QStringLiteral("%1 exists already").arg(path));
        return nullptr;
    }
    std::unique_ptr<Database> db(new Database(
        QStringLiteral("llobjects-%1").arg(connectionCounter.fetchAndAddRelaxed(1)), path));
    if (!db->setUp(server, true, error))
        return nullptr;
    return db;
}

bool Database::setUp(const Server& server, bool create, QString* error) {
    m_db.setDatabaseName(m_path);
    // A company another program holds is waited for as a server waits for
    // a lock; LEDGERLINE_BUSY_TIMEOUT_MS shortens the wait (tests).
    bool custom = false;
    const int waitMs = qEnvironmentVariableIntValue("LEDGERLINE_BUSY_TIMEOUT_MS", &custom);
    m_db.setConnectOptions(
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(custom && waitMs >= 0 ? waitMs : 5000));
    if (!m_db.open()) {
        setError(error, QStringLiteral("%1: %2").arg(m_path, m_db.lastError().text()));
        return false;
    }
    m_handle = handleOf(m_db);
    if (sqlite3* handle = m_handle) {
        // "x" must never fall back to being the text x.
        sqlite3_db_config(handle, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
        sqlite3_db_config(handle, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
        sqlite3_create_collation(handle, Schema::CaseInsensitiveCollation, SQLITE_UTF16_ALIGNED,
                                 nullptr, compareWithoutCase);
    }
    // The first real read tells whether the file is an SQLite database at all.
    QSqlQuery probe(m_db);
    if (!probe.exec(QStringLiteral("PRAGMA schema_version"))) {
        setError(error, QStringLiteral("%1 is not a database file: %2")
                            .arg(m_path, probe.lastError().databaseText()));
        return false;
    }
    probe.finish();
    QStringList setup{QStringLiteral("PRAGMA foreign_keys = ON")};
    if (create)
        setup << QStringLiteral("PRAGMA journal_mode = WAL");
    setup << (server.caseInsensitive() ? QStringLiteral("PRAGMA case_sensitive_like = OFF")
                                       : QStringLiteral("PRAGMA case_sensitive_like = ON"));
    // The server made its backup history when it was set up; a folder
    // without one simply has no msdb to ask.
    if (QFileInfo(server.msdbPath()).isFile())
        setup << QStringLiteral("ATTACH DATABASE %1 AS msdb").arg(literal(server.msdbPath()));
    for (const QString& sql : setup) {
        if (!exec(sql, error))
            return false;
    }
    return true;
}

bool Database::isCompany() {
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                               "name IN ('OADM', 'CINF', 'OUSR')")) ||
        !q.next())
        return false;
    return q.value(0).toInt() == 3;
}

bool Database::exec(const QString& sql, QString* error, const QVariantList& values) {
    Statement* q = run(sql, values, error);
    if (q)
        q->finish();
    return q != nullptr;
}

QString Database::bindable(const QString& sql, const QVariantList& values, QVariantList& bound) {
    const auto hasMark = [](const QVariant& v) {
        return v.typeId() == QMetaType::QString && v.toString().startsWith(QChar(0xFEFF));
    };
    if (std::none_of(values.begin(), values.end(), hasMark)) {
        bound = values;
        return sql;
    }
    // Our statements hold "?" only as placeholders, outside quotes.
    QString rewritten;
    qsizetype next = 0;
    QChar quote;
    for (const QChar c : sql) {
        if (!quote.isNull()) {
            quote = c == quote ? QChar() : quote;
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'?' && next < values.size()) {
            const QVariant& v = values[next++];
            if (hasMark(v)) {
                rewritten += QStringLiteral("(char(65279) || ?)");
                bound << QVariant(v.toString().mid(1));
            } else {
                rewritten += c;
                bound << v;
            }
            continue;
        }
        rewritten += c;
    }
    return rewritten;
}

bool Database::prepare(QSqlQuery& q, const QString& sql, const QVariantList& values) {
    QVariantList bound;
    if (!q.prepare(bindable(sql, values, bound)))
        return false;
    for (const QVariant& v : bound)
        q.addBindValue(v);
    return true;
}

void Database::checkStructure() {
    Statement* q = run(QStringLiteral("PRAGMA schema_version"), {});
    const qint64 version = q && q->next() ? q->integer(0) : -1;
    if (q)
        q->finish();
    if (version != m_schemaVersion || version < 0) {
        m_columns.clear();
        m_structureCache.clear();
        m_schemaVersion = version;
    }
}

std::shared_ptr<const void>& Database::structureCache(const QString& key) {
    checkStructure();
    return m_structureCache[key];
}

const QStringList& Database::columns(const QString& table) {
    checkStructure();
    auto it = m_columns.find(table);
    if (it == m_columns.end()) {
        QStringList names;
        QSqlQuery q(m_db);
        if (q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(literal(table))))
            while (q.next())
                names << q.value(1).toString();
        it = m_columns.insert(table, names);
    }
    return *it;
}

std::shared_ptr<Statement> Database::statement(const QString& sql, QString* error) {
    std::shared_ptr<Statement>& q = m_statements[sql];
    if (!q) {
        q = std::make_shared<Statement>(m_handle, sql);
        m_made.push_back(q);
        if (!q->isValid()) {
            setError(error, q->error());
            std::shared_ptr<Statement> failed;
            m_statements.remove(sql);
            return failed;
        }
    }
    return q;
}

Statement* Database::run(const QString& sql, const QVariantList& values, QString* error) {
    const std::shared_ptr<Statement> q = statement(sql, error);
    if (!q)
        return nullptr;
    if (!q->exec(values)) {
        setError(error, q->error());
        return nullptr;
    }
    return q.get();
}

QList<Database::CompanyInfo> Database::companies(const Server& server) {
    QList<CompanyInfo> list;
    for (const QString& name : server.databases()) {
        std::unique_ptr<Database> db = open(server, server.newDatabasePath(name));
        if (!db || !db->isCompany())
            continue;
        QSqlQuery q(db->connection());
        if (q.exec(QStringLiteral(
                "SELECT OADM.CompnyName, CINF.LawsSet, CINF.Version FROM OADM, CINF")) &&
            q.next())
            list.append({name, q.value(0).toString(), q.value(1).toString(), q.value(2).toInt()});
    }
    return list;
}

bool Database::ensureBackupHistory(const QString& msdbPath, QString* error) {
    const QString name =
        QStringLiteral("llobjects-msdb-%1").arg(connectionCounter.fetchAndAddRelaxed(1));
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(msdbPath);
        if (db.open()) {
            QSqlQuery q(db);
            ok = q.exec(QStringLiteral(
                "CREATE TABLE IF NOT EXISTS backupset (backup_set_id INTEGER PRIMARY KEY, "
                "database_name TEXT NOT NULL COLLATE NOCASE, backup_start_date TEXT, "
                "backup_finish_date TEXT NOT NULL, physical_device_name TEXT)"));
            if (!ok)
                setError(error, q.lastError().text());
        } else {
            setError(error, db.lastError().text());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

bool Database::backup(const Server& server, const QString& fileName, QDateTime finished,
                      QString* backupFile, QString* error) {
    const QString name = QFileInfo(m_path).completeBaseName();
    const QDateTime started = QDateTime::currentDateTime();
    // A backup goes into the server's folder for them and nowhere else.
    if (!fileName.isEmpty() && (fileName.contains(u'/') || fileName.contains(u'\\') ||
                                fileName.startsWith(u'.') || fileName.contains(QChar(0)))) {
        setError(error, QStringLiteral("'%1' is not a plain file name").arg(fileName));
        return false;
    }
    const QString target =
        QDir(server.backupsPath())
            .filePath(fileName.isEmpty()
                          ? QStringLiteral("%1_%2.db")
                                .arg(name, started.toString(QStringLiteral("yyyyMMddHHmmsszzz")))
                          : fileName);
    if (QFileInfo::exists(target)) {
        setError(error, QStringLiteral("%1 exists already").arg(target));
        return false;
    }
    QDir().mkpath(server.backupsPath());
    // VACUUM INTO writes a consistent copy while others may read and write.
    if (!exec(QStringLiteral("VACUUM INTO ?"), error, {target}))
        return false;
    if (!finished.isValid())
        finished = QDateTime::currentDateTime();
    const QString format = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    if (!exec(QStringLiteral("INSERT INTO msdb.backupset (database_name, backup_start_date, "
                             "backup_finish_date, physical_device_name) VALUES (?, ?, ?, ?)"),
              error, {name, started.toString(format), finished.toString(format), target}))
        return false;
    if (backupFile)
        *backupFile = target;
    return true;
}

bool Database::drop(const Server& server, const QString& database, QString* error) {
    const QString path = server.databasePath(database);
    if (path.isEmpty()) {
        setError(error, QStringLiteral("The server has no database '%1'").arg(database));
        return false;
    }
    {
        std::unique_ptr<Database> db = Database::open(server, path, error);
        if (!db)
            return false;
        if (!db->isCompany()) {
            setError(error, QStringLiteral("'%1' is not a company database").arg(database));
            return false;
        }
    }
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        if (QFileInfo::exists(path + suffix) && !QFile::remove(path + suffix)) {
            setError(error, QStringLiteral("Cannot remove %1").arg(path + suffix));
            return false;
        }
    }
    return true;
}

bool Database::restore(const Server& server, const QString& fileName, const QString& database,
                       QString* error) {
    if (!Server::isValidDatabaseName(database) || fileName.isEmpty() || fileName.contains(u'/') ||
        fileName.startsWith(u'.')) {
        setError(error, QStringLiteral("Cannot restore '%1' as '%2'").arg(fileName, database));
        return false;
    }
    if (!server.databasePath(database).isEmpty() ||
        QFileInfo::exists(server.newDatabasePath(database))) {
        setError(error, QStringLiteral("The server has a database '%1' already").arg(database));
        return false;
    }
    const QString backup = QDir(server.backupsPath()).filePath(fileName);
    if (!QFileInfo(backup).isFile()) {
        setError(error, QStringLiteral("The server has no backup '%1'").arg(fileName));
        return false;
    }
    // Under a name of its own until whole, so no one logs in to half a copy.
    const QString target = server.newDatabasePath(database);
    const QString partial = target + QStringLiteral(".restoring");
    QFile::remove(partial);
    if (!QFile::copy(backup, partial) || !QFile::rename(partial, target)) {
        QFile::remove(partial);
        setError(error, QStringLiteral("Cannot restore %1 as %2").arg(backup, target));
        return false;
    }
    return true;
}

bool Database::inTransaction() const {
    return m_handle && !sqlite3_get_autocommit(m_handle);
}

QStringList Database::integrityProblems() {
    QStringList problems;
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("PRAGMA integrity_check")))
        return {q.lastError().text()};
    while (q.next())
        if (const QString line = q.value(0).toString(); line != u"ok")
            problems << line;
    if (!q.exec(QStringLiteral("PRAGMA foreign_key_check")))
        return problems << q.lastError().text();
    while (q.next())
        problems << QStringLiteral("%1 row %2 points at a missing row of %3")
                        .arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString());
    return problems;
}

} // namespace LLObjectsCOM
