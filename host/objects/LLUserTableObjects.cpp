// The user-table (153) and user-field (152) business objects. Their records
// are catalogue rows (OUTB, CUFD) whose table or column must exist exactly
// while the row does, so adding and removing goes through UserTables,
// which changes both together.
#include "host/objects/LLBusinessObject.h"

#include "host/objects/LLCompanyState.h"
#include "host/objects/LLSchema.h"
#include "host/objects/LLTableShape.h"
#include "host/objects/LLUserTables.h"

namespace LLObjectsCOM {

namespace {

bool caseInsensitive(const CompanyState& company) {
    return !company.server || company.server->caseInsensitive();
}

QString tableKey(const QString& name) {
    return name.startsWith(u'@') ? name.mid(1) : name;
}

} // namespace

bool BusinessObject::addUserTable(const TableShape& main) {
    const QString name = tableKey(mainValue(main, QStringLiteral("TableName")));
    if (name.isEmpty())
        return fail(errRequired, QStringLiteral("TableName is required")) == 0;
    if (UserTables::table(*m_company->database, name))
        return fail(errRecordExists,
                    QStringLiteral("The user table @%1 exists already").arg(name)) == 0;
    bool ok = true;
    const QString typeText = mainValue(main, QStringLiteral("ObjectType"));
    const int type = typeText.isEmpty() ? 0 : typeText.trimmed().toInt(&ok);
    if (!ok)
        return fail(errWrongType,
                    QStringLiteral("TableType: '%1' is not a table type").arg(typeText.left(40))) ==
               0;
    QString why;
    if (!UserTables::addTable(*m_company->database, caseInsensitive(*m_company), name,
                              mainValue(main, QStringLiteral("Descr")), type, &why))
        return fail(errInvalidArgument, why) == 0;
    setMainValue(main, QStringLiteral("TableName"), name);
    return updateColumns(main, {QStringLiteral("Archivable")}, {name});
}

bool BusinessObject::addUserField(const TableShape& main) {
    const QString table = mainValue(main, QStringLiteral("TableID"));
    const QString alias = mainValue(main, QStringLiteral("AliasID"));
    if (table.isEmpty())
        return fail(errRequired, QStringLiteral("TableName is required")) == 0;
    if (alias.isEmpty())
        return fail(errRequired, QStringLiteral("Name is required")) == 0;
    QString typeText = mainValue(main, QStringLiteral("TypeID"));
    if (typeText.isEmpty())
        typeText = QStringLiteral("0");
    const QChar type = typeText.size() == 1 ? UserTables::typeFromId(typeText[0]) : QChar();
    if (type.isNull())
        return fail(errWrongType, QStringLiteral("Type: '%1' is not a field type (0 to 4)")
                                      .arg(typeText.left(40))) == 0;
    Database& db = *m_company->database;
    for (const UserTables::Field& f : UserTables::fields(db, table))
        if (f.alias.compare(alias, Qt::CaseInsensitive) == 0)
            return fail(errRecordExists, QStringLiteral("The table %1 has a field U_%2 already")
                                             .arg(f.table, alias)) == 0;
    const int size = mainValue(main, QStringLiteral("EditSize")).toInt();
    QString why;
    if (!UserTables::addField(db, caseInsensitive(*m_company), table, alias,
                              mainValue(main, QStringLiteral("Descr")), type, size, &why))
        return fail(errInvalidArgument, why) == 0;
    // The host numbers the field; the record takes the catalogue's own
    // table name and number so its lines link to it.
    const QList<UserTables::Field> fields = UserTables::fields(db, table);
    const auto added = std::find_if(fields.begin(), fields.end(), [&](const UserTables::Field& f) {
        return f.alias.compare(alias, Qt::CaseInsensitive) == 0;
    });
    if (added == fields.end())
        return fail(errSql,
                    QStringLiteral("The field U_%1 vanished while it was added").arg(alias)) == 0;
    setMainValue(main, QStringLiteral("TableID"), added->table);
    setMainValue(main, QStringLiteral("FieldID"), QString::number(added->fieldId));
    setMainValue(main, QStringLiteral("TypeID"), QString(UserTables::typeId(type)));
    setMainValue(main, QStringLiteral("EditSize"), QString::number(added->size));
    // What the catalogue keeps beyond the column itself.
    return updateColumns(main,
                         {QStringLiteral("EditType"), QStringLiteral("Dflt"),
                          QStringLiteral("NotNull"), QStringLiteral("RTable")},
                         {added->table, added->fieldId}) &&
           writeChildren(main, false);
}

bool BusinessObject::keepsUserFieldColumn(const TableShape& main, const QVariantList& keys) const {
    const int fieldId = keys.value(1).toInt();
    for (const UserTables::Field& f :
         UserTables::fields(*m_company->database, keys.value(0).toString())) {
        if (f.fieldId != fieldId)
            continue;
        QStringList changed;
        const QString alias = mainValue(main, QStringLiteral("AliasID"));
        if (!alias.isEmpty() && alias.compare(f.alias, Qt::CaseInsensitive) != 0)
            changed << QStringLiteral("name U_%1 to U_%2").arg(f.alias, alias.left(40));
        const QString typeText = mainValue(main, QStringLiteral("TypeID"));
        const QChar type = typeText.size() == 1 ? UserTables::typeFromId(typeText[0]) : QChar();
        if (!typeText.isEmpty() && type != f.type)
            changed << QStringLiteral("type %1 to %2")
                           .arg(QString(UserTables::typeId(f.type)), typeText.left(40));
        const QString sizeText = mainValue(main, QStringLiteral("EditSize"));
        if (f.type == u'A' && type == u'A' && !sizeText.isEmpty() && sizeText.toInt() != f.size)
            changed << QStringLiteral("size %1 to %2").arg(f.size).arg(sizeText.left(40));
        if (changed.isEmpty())
            return true;
        return fail(errInvalidArgument,
                    QStringLiteral("The field U_%1 of %2 cannot change its %3: the column stays "
                                   "as it was made")
                        .arg(f.alias, f.table, changed.join(QStringLiteral(", ")))) == 0;
    }
    return fail(errRecordMissing, QStringLiteral("No field %1 in the table %2")
                                      .arg(fieldId)
                                      .arg(keys.value(0).toString())) == 0;
}

bool BusinessObject::removeUserTable(const TableShape& main) {
    QVariantList keys;
    if (!existingKey(main, keys) || inUse(keys))
        return false;
    QString why;
    if (!UserTables::removeTable(*m_company->database, keys.first().toString(), &why))
        return fail(errInvalidArgument, why) == 0;
    return true;
}

bool BusinessObject::removeUserField(const TableShape& main) {
    QVariantList keys;
    if (!existingKey(main, keys))
        return false;
    Database& db = *m_company->database;
    const QString table = keys.value(0).toString();
    const int fieldId = keys.value(1).toInt();
    for (const UserTables::Field& f : UserTables::fields(db, table)) {
        if (f.fieldId != fieldId)
            continue;
        QString why;
        if (!UserTables::removeField(db, f.table, f.alias, &why))
            return fail(errInvalidArgument, why) == 0;
        return true;
    }
    return fail(errRecordMissing,
                QStringLiteral("No field %1 in the table %2").arg(fieldId).arg(table)) == 0;
}

} // namespace LLObjectsCOM
