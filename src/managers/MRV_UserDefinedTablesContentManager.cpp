#include "managers/MRV_UserDefinedTablesContentManager.h"

#include "di/MRV_CompanySql.h"
#include "host/objects/LLComError.h"
#include "managers/MRV_UserDefinedElements.h"
#include "tsframework/CLogBase.h"

#include <QMap>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

const QString Code = u"Code"_s;
const QString Name = u"Name"_s;

} // namespace

MRV_UserDefinedTablesContentManager::MRV_UserDefinedTablesContentManager(
    MRV_ConnectionContext* context, const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"TableName"_s, Code};
    m_listColumns = {u"TableName"_s, Code, Name};
    m_columnFlags = {0, 0, 1};
    // The catalogue of the tables: listed, never written by this category.
    const MRV_Sql excluded = MRV_UserDefinedElements::exclusionCondition(u"TableName"_s, QString());
    declareTable({
        .name = u"OUTB"_s,
        .keyColumns = {u"TableName"_s},
        .descriptionColumn = u"Descr"_s,
        .filter = {u"ObjectType = '0' AND "_s + excluded.plain,
                   u"\"ObjectType\" = '0' AND "_s + excluded.quoted},
    });
}

bool MRV_UserDefinedTablesContentManager::isContentTable(const QString& table) {
    static const QRegularExpression name(u"^@[A-Za-z0-9_]{1,19}$"_s);
    return name.match(table).hasMatch() && !MRV_UserDefinedElements::isExcluded(table);
}

const MRV_TableDeclaration& MRV_UserDefinedTablesContentManager::declared(const QString& table) {
    if (const MRV_TableDeclaration* known = this->table(table))
        return *known;
    declareTable({
        .name = table,
        .keyColumns = {Code},
        .descriptionColumn = Name,
    });
    return tables().last();
}

QStringList MRV_UserDefinedTablesContentManager::baseTables(MRV_CompanySql& base) {
    const MRV_TableDeclaration& catalogue = mainTable();
    MRV_SQLBuilder select = base.builder(catalogue.name);
    select.addSelectColumn(u"TableName"_s);
    const QString statement = select.buildSelect() + u" WHERE "_s +
                              base.condition(catalogue.filter) + u" ORDER BY "_s +
                              base.column(u"TableName"_s);
    QStringList names;
    for (const QVariantList& row : base.query(statement).values) {
        const QString table = u'@' + MRV_CompanySql::text(row.value(0));
        if (isContentTable(table))
            names << table;
        else
            logReadFailure(table.left(60),
                           u"'%1' cannot be a user table's name"_s.arg(table.left(60)));
    }
    return names;
}

void MRV_UserDefinedTablesContentManager::readFromDatabase(MRV_KeyList keys, BOMTableList& tables) {
    CLogBase log(u"MRV", u"MRV_UserDefinedTablesContentManager::readFromDatabase");
    tables.clear();
    MRV_CompanySql base(baseCompany());
    const QStringList names = baseTables(base);
    for (const QString& name : names)
        declared(name);
    // The selected rows, by table; a table the base has no more is told.
    QMap<QString, MRV_KeyList> selected;
    for (const QVariantList& key : keys) {
        const QString table = MRV_CompanySql::text(key.value(0));
        if (names.contains(table))
            selected[table] << QVariantList{key.value(1)};
        else
            logReadFailure(table + u", "_s + MRV_CompanySql::text(key.value(1)),
                           u"The base company has no user table %1 of content"_s.arg(table));
    }
    for (const QString& name : names) {
        if (!keys.isEmpty() && !selected.contains(name))
            continue;
        MRV_BOMTable entry{name, {}};
        if (keys.isEmpty())
            readRows(base, *table(name), {}, {}, entry);
        else
            readRows(base, *table(name), {Code}, selected.value(name), entry);
        if (!entry.documents.isEmpty())
            tables << entry;
    }
    log.LogDbg1(u"%s: %d table(s) read", getCategoryString(), int(tables.size()));
}

void MRV_UserDefinedTablesContentManager::addListRows(const QString& table,
                                                      const QList<QVariantList>& values) {
    for (const QVariantList& v : values) {
        MRV_DIDataSet::Row row;
        const QString code = MRV_CompanySql::text(v.value(0));
        row.keys = {table, code};
        row.values = {table, code, MRV_CompanySql::text(v.value(1))};
        row.description = row.values.last();
        dataSet().addRow(std::move(row));
    }
}

MRV_DIDataSet* MRV_UserDefinedTablesContentManager::listFromDatabase() {
    initialize();
    dataSet().clearRows();
    MRV_CompanySql base(baseCompany());
    for (const QString& name : baseTables(base)) {
        MRV_SQLBuilder select = base.builder(name);
        select.addSelectColumn(Code);
        select.addSelectColumn(Name);
        addListRows(name,
                    base.query(select.buildSelect() + u" ORDER BY "_s + base.column(Code)).values);
    }
    return &dataSet();
}

MRV_DIDataSet*
MRV_UserDefinedTablesContentManager::listFromConfiguration(const BOMTableList& tables) {
    dataSet().clearRows();
    if (tables.isEmpty())
        return &dataSet();
    initialize();
    for (const MRV_BOMTable& entry : tables) {
        if (!isContentTable(entry.name))
            continue;
        QList<QVariantList> values;
        for (const MRV_BOMDocument& document : entry.documents) {
            MRV_BOMRecord record;
            const MRV_BOMRecord::Group* group =
                record.parse(document.xml) ? record.group(MRV_BOMRecord::groupName(entry.name))
                                           : nullptr;
            for (const MRV_BOMRecord::Row& r : group ? group->rows : QList<MRV_BOMRecord::Row>())
                values << QVariantList{r.value(Code), r.value(Name)};
        }
        addListRows(entry.name, values);
    }
    return &dataSet();
}

HRESULT MRV_UserDefinedTablesContentManager::writeToTarget(const BOMTableList& tables,
                                                           int copyMethod) {
    // Only user tables' rows are written here; a file's entry of any other
    // table (the catalogue itself, an excluded table) fails its line.
    BOMTableList own;
    QStringList refused;
    for (const MRV_BOMTable& entry : tables) {
        if (isContentTable(entry.name)) {
            declared(entry.name);
            own << entry;
        } else if (effectiveMethod(copyMethod) != RemovalPhase) {
            refused << entry.name;
        }
    }
    const HRESULT written = MRV_DIInterface::writeToTarget(own, copyMethod);
    for (const QString& name : refused) {
        Outcome outcome;
        outcome.operation = effectiveMethod(copyMethod) == UpdateExisting ? UpdateExisting : AddNew;
        outcome.baseCode = name.left(60);
        outcome.error =
            u"The table %1 is no user table whose content may be copied"_s.arg(name.left(60));
        logOutcome(outcome);
    }
    return written == S_OK && !refused.isEmpty() ? S_FALSE : written;
}
