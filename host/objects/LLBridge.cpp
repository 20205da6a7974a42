#include "host/objects/LLBridge.h"

#include "host/objects/LLComError.h"
#include "host/objects/LLCompanyService.h"
#include "host/objects/LLCompanyState.h"
#include "host/objects/LLObjectCatalog.h"
#include "host/objects/LLSchema.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariantMap>

namespace LLObjectsCOM {

namespace {

enum Member { memberGetPermission = 1, memberSetPermission, memberGetFieldDescriptions };

const QList<std::pair<const char*, int>> kMembers{
    {"GetPermission", memberGetPermission},
    {"SetPermission", memberSetPermission},
    {"GetFieldDescriptions", memberGetFieldDescriptions}};

const QString kNone = QStringLiteral("N");
const QStringList kPermissions{QStringLiteral("F"), QStringLiteral("R"), kNone};

// Every user table has these two before its user fields.
constexpr int kUserTableCodeSize = 50;
constexpr int kUserTableNameSize = 100;

Bridge::FieldType typeOf(const Schema::Column& c) {
    if (c.type == u"ntext" || c.type == u"image")
        return Bridge::Memo;
    if (c.isInteger())
        return Bridge::Numeric;
    if (c.type == u"numeric")
        return Bridge::Float;
    if (c.type == u"datetime")
        return Bridge::Date;
    return Bridge::Alphanumeric;
}

// "ManufacturerName" -> "Manufacturer Name", "BPTypeCode" -> "BP Type Code",
// "PhoneNumber1" -> "Phone Number 1".
QString readable(const QString& name) {
    QString out;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c == u'_') {
            out += u' ';
            continue;
        }
        if (i > 0) {
            const QChar before = name[i - 1];
            const bool lowerNext = i + 1 < name.size() && name[i + 1].isLower();
            if ((c.isUpper() &&
                 (before.isLower() || before.isDigit() || (before.isUpper() && lowerNext))) ||
                (c.isDigit() && before.isLetter()))
                out += u' ';
        }
        out += c;
    }
    return out.simplified();
}

// The property under which a business object shows the column: the name
// people know the field by. The column's own name where no object has it.
QString describe(const QString& table, const QString& column) {
    for (const ObjectDefinition& object : ObjectCatalog::standard().objects()) {
        const ObjectDefinition::Field* field = nullptr;
        if (object.table == table)
            field = object.fieldByColumn(column);
        else if (const ObjectDefinition::Child* child = object.child(table))
            field = child->fieldByColumn(column);
        if (field)
            return readable(field->property);
    }
    return readable(column);
}

} // namespace

Bridge::Bridge(std::shared_ptr<CompanyState> company) : m_company(std::move(company)) {}

void Bridge::checkPermissionId(int permissionId) {
    if (permissionId <= 0)
        m_company->fail(errInvalidArgument,
                        QStringLiteral("%1 is not a permission id").arg(permissionId));
}

QString Bridge::GetPermission(int userKey, int permissionId) {
    service::requireUser(*m_company, userKey);
    checkPermissionId(permissionId);
    QSqlQuery q(m_company->database->connection());
    if (!Database::prepare(
            q, QStringLiteral("SELECT Permission FROM OPRM WHERE UserSign = ? AND PermId = ?"),
            {userKey, permissionId}) ||
        !q.exec())
        m_company->fail(errSql, q.lastError().databaseText());
    const QString value = q.next() ? q.value(0).toString() : QString();
    m_company->setLastError(0, QString());
    return value.isEmpty() ? kNone : value;
}

void Bridge::SetPermission(int userKey, int permissionId, const QString& value) {
    service::requireUser(*m_company, userKey);
    checkPermissionId(permissionId);
    if (!kPermissions.contains(value))
        m_company->fail(errWrongType,
                        QStringLiteral("A permission is F, R or N, not '%1'").arg(value.left(40)));
    QString why;
    if (!m_company->database->exec(
            QStringLiteral("INSERT INTO OPRM (UserSign, PermId, Permission) VALUES (?, ?, ?) "
                           "ON CONFLICT (UserSign, PermId) DO UPDATE SET Permission = "
                           "excluded.Permission"),
            &why, {userKey, permissionId, value}))
        m_company->fail(errSql, why);
    m_company->setLastError(0, QString());
}

QList<Bridge::FieldDescription> Bridge::GetFieldDescriptions(const QString& table) {
    service::requireConnected(*m_company);
    QList<FieldDescription> fields;
    QString sqlName; // as the database and CUFD name it
    if (table.startsWith(u'@')) {
        QSqlQuery q(m_company->database->connection());
        if (!Database::prepare(
                q, QStringLiteral("SELECT TableName FROM OUTB WHERE TableName = ? COLLATE NOCASE"),
                {table.mid(1)}) ||
            !q.exec())
            m_company->fail(errSql, q.lastError().databaseText());
        if (!q.next())
            m_company->fail(errInvalidArgument,
                            QStringLiteral("The company has no user table %1").arg(table));
        sqlName = u'@' + q.value(0).toString();
        fields.append(
            {QStringLiteral("Code"), QStringLiteral("Code"), Alphanumeric, kUserTableCodeSize});
        fields.append(
            {QStringLiteral("Name"), QStringLiteral("Name"), Alphanumeric, kUserTableNameSize});
    } else {
        const Schema::Table* t = Schema::standard().table(table);
        if (!t)
            m_company->fail(errInvalidArgument,
                            QStringLiteral("The company has no table %1").arg(table));
        sqlName = t->name;
        for (const Schema::Column& c : t->columns)
            fields.append(
                {c.name, describe(t->name, c.name), typeOf(c), c.isText() ? c.length : 0});
    }

    // A field counts once its column is there.
    QSet<QString> columns;
    QSqlQuery q(m_company->database->connection());
    if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(Schema::quoted(sqlName))))
        m_company->fail(errSql, q.lastError().databaseText());
    while (q.next())
        columns.insert(q.value(1).toString().toUpper());
    q.finish();
    if (!Database::prepare(
            q,
            QStringLiteral("SELECT AliasID, Descr, TypeID, EditSize FROM CUFD WHERE TableID = ? "
                           "ORDER BY FieldID"),
            {sqlName}) ||
        !q.exec())
        m_company->fail(errSql, q.lastError().databaseText());
    while (q.next()) {
        const QString column = QStringLiteral("U_") + q.value(0).toString();
        if (!columns.contains(column.toUpper()))
            continue;
        bool ok = false;
        const int id = q.value(2).toString().toInt(&ok);
        const FieldType type =
            ok && id >= Alphanumeric && id <= Float ? FieldType(id) : Alphanumeric;
        const QString description = q.value(1).toString();
        fields.append({column, description.isEmpty() ? q.value(0).toString() : description, type,
                       type == Alphanumeric ? q.value(3).toInt() : 0});
    }
    m_company->setLastError(0, QString());
    return fields;
}

int Bridge::GetIDOfName(const QString& name) const {
    return memberId(kMembers, name);
}

QVariant Bridge::Invoke(int member, const QVariantList& args) {
    switch (member) {
    case memberGetPermission:
        return QVariantList{GetPermission(
            service::intArgument(*m_company, args, 0, QStringLiteral("The user key")),
            service::intArgument(*m_company, args, 1, QStringLiteral("The permission id")))};
    case memberSetPermission:
        SetPermission(
            service::intArgument(*m_company, args, 0, QStringLiteral("The user key")),
            service::intArgument(*m_company, args, 1, QStringLiteral("The permission id")),
            args.value(2).toString());
        return QVariant();
    case memberGetFieldDescriptions: {
        QVariantList list;
        for (const FieldDescription& f : GetFieldDescriptions(args.value(0).toString()))
            list << QVariantMap{{QStringLiteral("Name"), f.name},
                                {QStringLiteral("Description"), f.description},
                                {QStringLiteral("Type"), int(f.type)},
                                {QStringLiteral("Size"), f.size}};
        return list;
    }
    default:
        throw ComError(errUnknownMember, QStringLiteral("Unknown member %1").arg(member));
    }
}

} // namespace LLObjectsCOM
