#include "host/objects/LLUserTables.h"

#include "host/objects/LLDatabase.h"
#include "host/objects/LLErrors.h"
#include "host/objects/LLSchema.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

namespace LLObjectsCOM {

namespace {

bool isPlainName(const QString& name, int maxLength) {
    // Anchored on the whole text: "$" alone would let a final line break in.
    static const QRegularExpression form(
        QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z0-9_]+")));
    return !name.isEmpty() && name.size() <= maxLength && form.match(name).hasMatch();
}

// The catalogue's descriptions (OUTB.Descr, CUFD.Descr) hold 30 characters.
constexpr int DescriptionLength = 30;

// A description the catalogue can keep exactly. Checked here because the
// database's own length check stops counting at a NUL, so such a text
// would slip past it and be stored.
bool checkDescription(const QString& description, QString* error) {
    if (description.contains(QChar(0))) {
        setError(error, QStringLiteral("A description must not contain a NUL character"));
        return false;
    }
    // Counted as the database counts: by characters, not UTF-16 units.
    const qsizetype length = description.toUcs4().size();
    if (length > DescriptionLength) {
        setError(error, QStringLiteral("A description holds at most %1 characters, not %2")
                            .arg(DescriptionLength)
                            .arg(length));
        return false;
    }
    return true;
}

// A savepoint that is rolled back unless committed, so a failing step
// leaves neither a catalogue row without its table nor the reverse. Named,
// so it nests inside the caller's own transaction.
class Savepoint {
public:
    Savepoint(Database& db, QString* error) : m_db(db) {
        m_open = m_db.exec(QStringLiteral("SAVEPOINT llusertables"), error);
    }
    ~Savepoint() {
        if (m_open) {
            m_db.exec(QStringLiteral("ROLLBACK TO llusertables"));
            m_db.exec(QStringLiteral("RELEASE llusertables"));
        }
    }
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;

    bool isOpen() const { return m_open; }
    bool commit(QString* error) {
        if (!m_db.exec(QStringLiteral("RELEASE llusertables"), error))
            return false;
        m_open = false;
        return true;
    }

private:
    Database& m_db;
    bool m_open = false;
};

// Runs a step; on failure the error names what was being done.
bool step(Database& db, const QString& what, const QString& sql, QString* error,
          const QVariantList& values = QVariantList()) {
    QString why;
    if (db.exec(sql, &why, values))
        return true;
    setError(error, QStringLiteral("%1: %2").arg(what, why));
    return false;
}

// The database's own name of a table, compared without regard to case as
// SQLite compares table names; empty when there is no such table.
QString storedTableName(Database& db, const QString& name) {
    QSqlQuery q(db.connection());
    q.prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ? "
                             "COLLATE NOCASE"));
    q.addBindValue(name);
    if (q.exec() && q.next())
        return q.value(0).toString();
    return QString();
}

// The table as the catalogue names it: a user table by its OUTB row, any
// other by the schema. Empty when it is neither or not in the database.
QString catalogueTableName(Database& db, const QString& table) {
    if (table.startsWith(u'@')) {
        if (const std::optional<UserTables::Table> t = UserTables::table(db, table.mid(1)))
            return u'@' + t->name;
    }
    QString name;
    for (const Schema::Table& t : Schema::standard().tables()) {
        if (t.name.compare(table, Qt::CaseInsensitive) == 0) {
            name = t.name;
            break;
        }
    }
    if (name.isEmpty() || storedTableName(db, name).isEmpty())
        return QString();
    return name;
}

struct FieldRow {
    int fieldId = -1;
    QString alias;
};

std::optional<FieldRow> fieldRow(Database& db, const QString& table, const QString& alias) {
    QSqlQuery q(db.connection());
    q.prepare(QStringLiteral(
        "SELECT FieldID, AliasID FROM CUFD WHERE TableID = ? AND AliasID = ? COLLATE NOCASE"));
    q.addBindValue(table);
    q.addBindValue(alias);
    if (q.exec() && q.next())
        return FieldRow{q.value(0).toInt(), q.value(1).toString()};
    return std::nullopt;
}

bool hasColumn(Database& db, const QString& table, const QString& column) {
    // table_xinfo, not table_info: a generated column takes its name too.
    QSqlQuery q(db.connection());
    q.prepare(QStringLiteral("SELECT count(*) FROM pragma_table_xinfo(?) WHERE name = ? "
                             "COLLATE NOCASE"));
    q.addBindValue(table);
    q.addBindValue(column);
    return q.exec() && q.next() && q.value(0).toInt() > 0;
}

// The schema's column of a field type, so a user column gets exactly the
// affinity, collation and length check that a schema column of that type
// has.
Schema::Column columnOf(QChar type, const QString& name, int size) {
    Schema::Column c;
    c.name = name;
    switch (type.unicode()) {
    case 'A':
        c.type = QStringLiteral("nvarchar");
        c.length = size;
        break;
    case 'M':
        c.type = QStringLiteral("ntext");
        break;
    case 'N':
        c.type = QStringLiteral("int");
        break;
    case 'B':
        c.type = QStringLiteral("numeric");
        c.precision = 19;
        c.scale = 6;
        break;
    default:
        c.type = QStringLiteral("datetime");
        break;
    }
    return c;
}

// The column definition that Schema::createStatement writes for column,
// taken out of the statement of a table holding only that column.
std::optional<QString> columnDefinition(const QString& table, const Schema::Column& column,
                                        bool caseInsensitive) {
    Schema::Table t;
    t.name = table;
    t.columns.append(column);
    const QString sql = Schema::createStatement(t, caseInsensitive);
    const QString head = QStringLiteral("CREATE TABLE %1 (").arg(Schema::quoted(table));
    if (!sql.startsWith(head) || !sql.endsWith(u')'))
        return std::nullopt;
    return sql.mid(head.size(), sql.size() - head.size() - 1);
}

int editSize(QChar type, int size) {
    switch (type.unicode()) {
    case 'A':
        return size;
    case 'N':
        return 11;
    case 'B':
        return 19;
    case 'D':
        return 8;
    default:
        return 0;
    }
}

} // namespace

bool UserTables::isFieldType(QChar type) {
    return !typeId(type).isNull();
}

QChar UserTables::typeId(QChar type) {
    static const QString types = QStringLiteral("AMNDB");
    const qsizetype i = type.isNull() ? -1 : types.indexOf(type);
    return i < 0 ? QChar() : QChar(u'0' + char16_t(i));
}

QChar UserTables::typeFromId(QChar id) {
    static const QString types = QStringLiteral("AMNDB");
    const int i = id.unicode() - u'0';
    return i >= 0 && i < types.size() ? types[i] : QChar();
}

std::optional<UserTables::Table> UserTables::table(Database& db, const QString& name) {
    QSqlQuery q(db.connection());
    q.prepare(QStringLiteral(
        "SELECT TableName, Descr, ObjectType FROM OUTB WHERE TableName = ? COLLATE NOCASE"));
    q.addBindValue(name);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return Table{q.value(0).toString(), q.value(1).toString(), q.value(2).toInt()};
}

QList<UserTables::Table> UserTables::tables(Database& db) {
    QList<Table> list;
    QSqlQuery q(db.connection());
    if (!q.exec(QStringLiteral("SELECT TableName, Descr, ObjectType FROM OUTB ORDER BY TableName")))
        return list;
    while (q.next())
        list.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toInt()});
    return list;
}

bool UserTables::addTable(Database& db, bool caseInsensitive, const QString& name,
                          const QString& description, int objectType, QString* error) {
    if (!isPlainName(name, 19)) {
        setError(error, QStringLiteral("'%1' cannot be a user table name: 1 to 19 letters, digits "
                                       "or '_', without the '@'")
                            .arg(name));
        return false;
    }
    if (objectType < 0 || objectType > 4) {
        setError(error, QStringLiteral("%1 is not a user table type (0 to 4)").arg(objectType));
        return false;
    }
    if (!checkDescription(description, error))
        return false;
    const QString sqlName = u'@' + name;
    if (table(db, name) || !storedTableName(db, sqlName).isEmpty()) {
        setError(error, QStringLiteral("The table %1 exists already").arg(sqlName));
        return false;
    }
    Schema::Table t;
    t.name = sqlName;
    Schema::Column code;
    code.name = QStringLiteral("Code");
    code.type = QStringLiteral("nvarchar");
    code.length = 50;
    code.notNull = true;
    Schema::Column rowName = code;
    rowName.name = QStringLiteral("Name");
    rowName.length = 100;
    t.columns = {code, rowName};
    t.key = {QStringLiteral("Code")};

    Savepoint savepoint(db, error);
    if (!savepoint.isOpen())
        return false;
    const QString what = QStringLiteral("Cannot add the table %1").arg(sqlName);
    if (!step(db, what,
              QStringLiteral("INSERT INTO OUTB (TableName, Descr, ObjectType, Archivable) "
                             "VALUES (?, ?, ?, 'N')"),
              error, {name, description, objectType}))
        return false;
    if (!step(db, what, Schema::createStatement(t, caseInsensitive), error))
        return false;
    return savepoint.commit(error);
}

bool UserTables::removeTable(Database& db, const QString& name, QString* error) {
    const std::optional<Table> t = table(db, name);
    if (!t) {
        setError(error, QStringLiteral("There is no user table @%1").arg(name));
        return false;
    }
    QSqlQuery q(db.connection());
    q.prepare(QStringLiteral(
        "SELECT Code FROM OUDO WHERE TableName = ? COLLATE NOCASE UNION SELECT Code FROM UDO1 "
        "WHERE TableName = ? COLLATE NOCASE"));
    q.addBindValue(t->name);
    q.addBindValue(t->name);
    if (q.exec() && q.next()) {
        setError(error, QStringLiteral("The table @%1 belongs to the user-defined object %2")
                            .arg(t->name, q.value(0).toString()));
        return false;
    }
    q.finish();
    const QString sqlName = u'@' + t->name;
    Savepoint savepoint(db, error);
    if (!savepoint.isOpen())
        return false;
    const QString what = QStringLiteral("Cannot remove the table %1").arg(sqlName);
    if (!step(db, what, QStringLiteral("DELETE FROM UFD1 WHERE TableID = ?"), error, {sqlName}) ||
        !step(db, what, QStringLiteral("DELETE FROM CUFD WHERE TableID = ?"), error, {sqlName}) ||
        !step(db, what, QStringLiteral("DELETE FROM OUTB WHERE TableName = ?"), error, {t->name}))
        return false;
    if (!storedTableName(db, sqlName).isEmpty() &&
        !step(db, what, QStringLiteral("DROP TABLE %1").arg(Schema::quoted(sqlName)), error))
        return false;
    return savepoint.commit(error);
}

bool UserTables::addField(Database& db, bool caseInsensitive, const QString& table,
                          const QString& alias, const QString& description, QChar type, int size,
                          QString* error) {
    const QString name = catalogueTableName(db, table);
    if (name.isEmpty()) {
        setError(error, QStringLiteral("There is no table %1 for a user field").arg(table));
        return false;
    }
    if (!isPlainName(alias, 18)) {
        setError(error, QStringLiteral("'%1' cannot be a field name: 1 to 18 letters, digits or "
                                       "'_', without 'U_'")
                            .arg(alias));
        return false;
    }
    if (!isFieldType(type)) {
        setError(error, QStringLiteral("'%1' is not a field type (A, M, N, B or D)").arg(type));
        return false;
    }
    if (type == u'A' && (size < 1 || size > 254)) {
        setError(
            error,
            QStringLiteral("An alphanumeric field holds 1 to 254 characters, not %1").arg(size));
        return false;
    }
    if (!checkDescription(description, error))
        return false;
    const QString column = QStringLiteral("U_") + alias;
    if (fieldRow(db, name, alias) || hasColumn(db, name, column)) {
        setError(error, QStringLiteral("The table %1 has a field %2 already").arg(name, column));
        return false;
    }
    const std::optional<QString> definition =
        columnDefinition(name, columnOf(type, column, type == u'A' ? size : 0), caseInsensitive);
    if (!definition) {
        setError(error, QStringLiteral("Cannot write the column definition of %1").arg(column));
        return false;
    }
    Savepoint savepoint(db, error);
    if (!savepoint.isOpen())
        return false;
    QSqlQuery q(db.connection());
    q.prepare(QStringLiteral("SELECT COALESCE(MAX(FieldID) + 1, 0) FROM CUFD WHERE TableID = ?"));
    q.addBindValue(name);
    if (!q.exec() || !q.next()) {
        setError(error, q.lastError().text());
        return false;
    }
    const int fieldId = q.value(0).toInt();
    q.finish();
    const QString what = QStringLiteral("Cannot add the field %1 to %2").arg(column, name);
    if (!step(db, what,
              QStringLiteral("INSERT INTO CUFD (TableID, FieldID, AliasID, Descr, TypeID, "
                             "EditSize, \"NotNull\", SYS) VALUES (?, ?, ?, ?, ?, ?, 'N', 'N')"),
              error,
              {name, fieldId, alias, description, QString(typeId(type)), editSize(type, size)}))
        return false;
    if (!step(db, what,
              QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(Schema::quoted(name), *definition),
              error))
        return false;
    return savepoint.commit(error);
}

bool UserTables::removeField(Database& db, const QString& table, const QString& alias,
                             QString* error) {
    const QString name = catalogueTableName(db, table);
    const std::optional<FieldRow> row = name.isEmpty() ? std::nullopt : fieldRow(db, name, alias);
    if (!row) {
        setError(error, QStringLiteral("The table %1 has no user field U_%2").arg(table, alias));
        return false;
    }
    const QString column = QStringLiteral("U_") + row->alias;
    Savepoint savepoint(db, error);
    if (!savepoint.isOpen())
        return false;
    const QString what = QStringLiteral("Cannot remove the field %1 of %2").arg(column, name);
    if (!step(db, what, QStringLiteral("DELETE FROM UFD1 WHERE TableID = ? AND FieldID = ?"), error,
              {name, row->fieldId}) ||
        !step(db, what, QStringLiteral("DELETE FROM CUFD WHERE TableID = ? AND FieldID = ?"), error,
              {name, row->fieldId}))
        return false;
    if (hasColumn(db, name, column) && !step(db, what,
                                             QStringLiteral("ALTER TABLE %1 DROP COLUMN %2")
                                                 .arg(Schema::quoted(name), Schema::quoted(column)),
                                             error))
        return false;
    return savepoint.commit(error);
}

QList<UserTables::Field> UserTables::fields(Database& db, const QString& table) {
    QList<Field> list;
    const QString name = catalogueTableName(db, table);
    if (name.isEmpty())
        return list;
    QSqlQuery q(db.connection());
    q.prepare(QStringLiteral("SELECT FieldID, AliasID, Descr, TypeID, EditSize FROM CUFD WHERE "
                             "TableID = ? ORDER BY FieldID"));
    q.addBindValue(name);
    if (!q.exec())
        return list;
    while (q.next()) {
        const QString id = q.value(3).toString();
        list.append({name, q.value(0).toInt(), q.value(1).toString(), q.value(2).toString(),
                     typeFromId(id.isEmpty() ? QChar() : id[0]), q.value(4).toInt()});
    }
    return list;
}

} // namespace LLObjectsCOM

namespace LLObjectsCOM {

namespace {

// Index names are one namespace per database: the table's name goes first.
QString keyIndexName(const QString& table, const QString& name) {
    return table + u'_' + name;
}

} // namespace

bool UserTables::hasKey(Database& db, const QString& table, const QString& name) {
    const std::optional<Table> t =
        UserTables::table(db, table.startsWith(u'@') ? table.mid(1) : table);
    if (!t)
        return false;
    QSqlQuery q(db.connection());
    q.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ? "
                             "COLLATE NOCASE"));
    q.addBindValue(keyIndexName(u'@' + t->name, name));
    return q.exec() && q.next();
}

bool UserTables::addKey(Database& db, const QString& table, const QString& name, bool unique,
                        const QStringList& aliases, QString* error) {
    const std::optional<Table> t =
        UserTables::table(db, table.startsWith(u'@') ? table.mid(1) : table);
    if (!t) {
        setError(error, QStringLiteral("There is no user table %1 for a key").arg(table));
        return false;
    }
    const QString sqlName = u'@' + t->name;
    if (!isPlainName(name, 20)) {
        setError(
            error,
            QStringLiteral("'%1' cannot be a key name: 1 to 20 letters, digits or '_'").arg(name));
        return false;
    }
    if (hasKey(db, sqlName, name)) {
        setError(error, QStringLiteral("The table %1 has a key %2 already").arg(sqlName, name));
        return false;
    }
    if (aliases.isEmpty()) {
        setError(error, QStringLiteral("The key %1 names no field").arg(name));
        return false;
    }
    const QList<Field> known = fields(db, sqlName);
    QStringList columns;
    for (const QString& alias : aliases) {
        const auto field = std::find_if(known.begin(), known.end(), [&](const Field& f) {
            return f.alias.compare(alias, Qt::CaseInsensitive) == 0;
        });
        if (field == known.end()) {
            setError(error, QStringLiteral("The key %1 names U_%2, which is not a field of %3")
                                .arg(name, alias, sqlName));
            return false;
        }
        columns << Schema::quoted(field->column());
    }
    return step(db, QStringLiteral("Cannot add the key %1 to %2").arg(name, sqlName),
                QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                    .arg(unique ? QStringLiteral("UNIQUE ") : QString(),
                         Schema::quoted(keyIndexName(sqlName, name)), Schema::quoted(sqlName),
                         columns.join(u',')),
                error);
}

} // namespace LLObjectsCOM
