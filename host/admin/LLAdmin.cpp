#include "host/admin/LLAdmin.h"

#include "host/objects/LLDatabase.h"
#include "host/objects/LLErrors.h"
#include "host/objects/LLObjectCatalog.h"
#include "host/objects/LLPassword.h"
#include "host/objects/LLSchema.h"
#include "host/objects/LLSqlTranslator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace LLObjectsCOM {

namespace {

// The seed statements of a new company, one per ';' that ends a line, in
// the program's own SQL (translated like any other statement).
QStringList seedStatements() {
    QFile file(QStringLiteral(":/ledgerline/schema/newcompany.sql"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList statements;
    QString current;
    for (const QString& raw : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("--")))
            continue;
        current += (current.isEmpty() ? QString() : QStringLiteral(" ")) + line;
        if (line.endsWith(u';')) {
            current.chop(1);
            statements << current;
            current.clear();
        }
    }
    return statements;
}

bool runTranslated(Database& db, int serverType, const QString& statement, QString* error) {
    SqlTranslator translator(serverType);
    QString sql, why;
    if (!translator.translate(statement, sql, why)) {
        setError(error, why);
        return false;
    }
    return db.exec(sql, error);
}

std::unique_ptr<Database> openCompany(const Server& server, const QString& database,
                                      QString* error) {
    const QString path = server.databasePath(database);
    if (path.isEmpty()) {
        setError(error, QStringLiteral("The server has no database '%1'").arg(database));
        return nullptr;
    }
    std::unique_ptr<Database> db = Database::open(server, path, error);
    if (db && !db->isCompany()) {
        setError(error, QStringLiteral("'%1' is not a company database").arg(database));
        return nullptr;
    }
    return db;
}

} // namespace

bool Admin::addPeriodCategory(Database& db, int year, QString* error) {
    const QString category = QString::number(year);
    const QString format = QStringLiteral("yyyy-MM-dd 00:00:00");
    if (!insertRow(
            db, QStringLiteral("OACP"),
            {{QStringLiteral("PeriodCat"), category},
             {QStringLiteral("PeriodName"), category},
             {QStringLiteral("BeginningofFinancialYear"), QDate(year, 1, 1).toString(format)},
             {QStringLiteral("NumberOfPeriods"), 12}},
            error))
        return false;
    // Periods are numbered across categories: a second category goes on
    // where the first ends.
    QSqlQuery last(db.connection());
    if (!last.exec(QStringLiteral("SELECT IFNULL(MAX(AbsEntry), 0) FROM OFPR")) || !last.next()) {
        setError(error, last.lastError().databaseText());
        return false;
    }
    const int base = last.value(0).toInt();
    last.finish();
    for (int month = 1; month <= 12; ++month) {
        const QDate first(year, month, 1);
        const QDate last = first.addMonths(1).addDays(-1);
        const QString code = QStringLiteral("%1-%2").arg(year).arg(month, 2, 10, QLatin1Char('0'));
        if (!insertRow(db, QStringLiteral("OFPR"),
                       {{QStringLiteral("AbsEntry"), base + month},
                        {QStringLiteral("Code"), code},
                        {QStringLiteral("Name"), code},
                        {QStringLiteral("PeriodCat"), category},
                        {QStringLiteral("SubNum"), month},
                        {QStringLiteral("PostFrom"), first.toString(format)},
                        {QStringLiteral("PostTo"), last.toString(format)},
                        {QStringLiteral("DueFrom"), first.toString(format)},
                        {QStringLiteral("DueTo"), last.toString(format)},
                        {QStringLiteral("DocFrom"), first.toString(format)},
                        {QStringLiteral("DocTo"), last.toString(format)}},
                       error))
            return false;
    }
    return true;
}

bool Admin::insertRow(Database& db, const QString& table, const QVariantMap& values,
                      QString* error) {
    const Schema::Table* t = Schema::standard().table(table);
    if (!t) {
        setError(error, QStringLiteral("No table %1").arg(table));
        return false;
    }
    QStringList columns, marks;
    QVariantList bound;
    for (const Schema::Column& c : t->columns) {
        QVariant value;
        if (values.contains(c.name))
            value = values.value(c.name);
        else if (c.notNull && c.defaultValue.isEmpty())
            value = c.isText() ? QVariant(c.length == 1 ? QStringLiteral("N") : QString(""))
                               : QVariant(0);
        else
            continue;
        columns << Schema::quoted(c.name);
        marks << QStringLiteral("?");
        bound << value;
    }
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (!t->column(it.key())) {
            setError(error, QStringLiteral("%1 has no column %2").arg(table, it.key()));
            return false;
        }
    }
    return db.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                       .arg(Schema::quoted(table), columns.join(u','), marks.join(u',')),
                   error, bound);
}

bool Admin::createCompany(const Server& server, const QString& database, const QString& companyName,
                          const QString& localization, int version, QString* error) {
    if (!Server::isValidDatabaseName(database)) {
        setError(error, QStringLiteral("'%1' cannot be a database name").arg(database));
        return false;
    }
    if (!server.databasePath(database).isEmpty()) {
        setError(error, QStringLiteral("The database '%1' exists already").arg(database));
        return false;
    }
    if (companyName.trimmed().isEmpty() || version <= 0 || localization.isEmpty()) {
        setError(error, QStringLiteral("A company needs a name, a localization and a version"));
        return false;
    }
    const QString final = server.newDatabasePath(database);
    const QString building = final + QStringLiteral(".creating");
    QFile::remove(building);
    {
        std::unique_ptr<Database> db = Database::create(server, building, error);
        if (!db)
            return false;
        QString why;
        bool ok = db->exec(QStringLiteral("BEGIN"), &why);
        for (const QString& sql :
             Schema::standard().createStatements(server.caseInsensitive()) +
                 ObjectCatalog::standard().referenceIndexes(Schema::standard())) {
            if (!ok)
                break;
            ok = db->exec(sql, &why);
        }
        ok = ok && insertRow(*db, QStringLiteral("OADM"),
                             {{QStringLiteral("CompnyName"), companyName}}, &why);
        ok = ok && insertRow(*db, QStringLiteral("CINF"),
                             {{QStringLiteral("LawsSet"), localization},
                              {QStringLiteral("Version"), version}},
                             &why);
        ok = ok &&
             insertRow(*db, QStringLiteral("OUSR"),
                       {{QStringLiteral("INTERNAL_K"), 1},
                        {QStringLiteral("USERID"), 1},
                        {QStringLiteral("USER_CODE"), QStringLiteral("lobster")},
                        {QStringLiteral("U_NAME"), QStringLiteral("Lobster")},
                        {QStringLiteral("SUPERUSER"), QStringLiteral("Y")},
                        {QStringLiteral("PASSWORD"), Password::hash(QStringLiteral("lobster"))}},
                       &why);
        ok = ok && addPeriodCategory(*db, QDate::currentDate().year(), &why);
        for (const QString& statement : seedStatements()) {
            if (!ok)
                break;
            ok = runTranslated(*db, server.type(), statement, &why);
            if (!ok)
                why = QStringLiteral("newcompany.sql: %1: %2").arg(why, statement.left(80));
        }
        ok = ok && db->exec(QStringLiteral("COMMIT"), &why);
        if (!ok) {
            setError(error, QStringLiteral("Cannot create the company: %1").arg(why));
            db.reset();
            QFile::remove(building);
            QFile::remove(building + QStringLiteral("-wal"));
            QFile::remove(building + QStringLiteral("-shm"));
            return false;
        }
    }
    // The connection is closed: the log is folded in and the file complete.
    if (!QFile::rename(building, final)) {
        setError(error, QStringLiteral("Cannot rename %1 to %2").arg(building, final));
        QFile::remove(building);
        return false;
    }
    return true;
}

bool Admin::dropCompany(const Server& server, const QString& database, QString* error) {
    return Database::drop(server, database, error);
}

QList<Admin::CompanyInfo> Admin::companies(const Server& server) {
    return Database::companies(server);
}

bool Admin::addUser(const Server& server, const QString& database, const QString& code,
                    const QString& name, const QString& password, bool superuser, QString* error) {
    std::unique_ptr<Database> db = openCompany(server, database, error);
    if (!db)
        return false;
    if (code.trimmed().isEmpty() || code != code.trimmed()) {
        setError(error,
                 QStringLiteral("A user code must not be empty or begin or end with blanks"));
        return false;
    }
    QSqlQuery q(db->connection());
    q.prepare(QStringLiteral("SELECT count(*) FROM OUSR WHERE USER_CODE = ?"));
    q.addBindValue(code);
    if (!q.exec() || !q.next()) {
        setError(error, q.lastError().text());
        return false;
    }
    if (q.value(0).toInt() > 0) {
        setError(error, QStringLiteral("The user '%1' exists already").arg(code));
        return false;
    }
    q.finish();
    if (!q.exec(QStringLiteral("SELECT IFNULL(MAX(INTERNAL_K), 0) + 1 FROM OUSR")) || !q.next()) {
        setError(error, q.lastError().text());
        return false;
    }
    const int key = q.value(0).toInt();
    q.finish();
    return insertRow(
        *db, QStringLiteral("OUSR"),
        {{QStringLiteral("INTERNAL_K"), key},
         {QStringLiteral("USERID"), key},
         {QStringLiteral("USER_CODE"), code},
         {QStringLiteral("U_NAME"), name.isEmpty() ? code : name},
         {QStringLiteral("SUPERUSER"), superuser ? QStringLiteral("Y") : QStringLiteral("N")},
         {QStringLiteral("PASSWORD"), Password::hash(password)}},
        error);
}

bool Admin::setPassword(const Server& server, const QString& database, const QString& code,
                        const QString& password, QString* error) {
    std::unique_ptr<Database> db = openCompany(server, database, error);
    if (!db)
        return false;
    QSqlQuery q(db->connection());
    q.prepare(QStringLiteral("UPDATE OUSR SET PASSWORD = ? WHERE USER_CODE = ?"));
    q.addBindValue(Password::hash(password));
    q.addBindValue(code);
    if (!q.exec()) {
        setError(error, q.lastError().text());
        return false;
    }
    if (q.numRowsAffected() != 1) {
        setError(error, QStringLiteral("No user '%1'").arg(code));
        return false;
    }
    return true;
}

std::optional<QList<Admin::UserInfo>> Admin::users(const Server& server, const QString& database,
                                                   QString* error) {
    std::unique_ptr<Database> db = openCompany(server, database, error);
    if (!db)
        return std::nullopt;
    QSqlQuery q(db->connection());
    if (!q.exec(QStringLiteral("SELECT INTERNAL_K, USER_CODE, U_NAME, SUPERUSER, Locked FROM OUSR "
                               "ORDER BY INTERNAL_K"))) {
        setError(error, q.lastError().text());
        return std::nullopt;
    }
    QList<UserInfo> list;
    while (q.next())
        list.append({q.value(0).toInt(), q.value(1).toString(), q.value(2).toString(),
                     q.value(3).toString() == u"Y", q.value(4).toString() == u"Y"});
    return list;
}

bool Admin::backup(const Server& server, const QString& database, QDateTime finished,
                   QString* backupFile, QString* error) {
    std::unique_ptr<Database> db = openCompany(server, database, error);
    return db && db->backup(server, QString(), finished, backupFile, error);
}

std::optional<QStringList> Admin::integrityProblems(const Server& server, const QString& database,
                                                    QString* error) {
    std::unique_ptr<Database> db = openCompany(server, database, error);
    if (!db)
        return std::nullopt;
    return db->integrityProblems();
}

} // namespace LLObjectsCOM
