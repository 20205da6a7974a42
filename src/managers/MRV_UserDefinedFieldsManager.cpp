#include "managers/MRV_UserDefinedFieldsManager.h"

#include "di/MRV_CompanySql.h"
#include "host/objects/LLComError.h"
#include "managers/MRV_UserDefinedElements.h"
#include "tsframework/CLogBase.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace {

const QString Table = u"CUFD"_s;
const QString TableElement = u"TableName"_s;
const QString NameElement = u"Name"_s;
const QString NumberElement = u"FieldID"_s;

// The field type's texts: "Alphanumeric" (43) to "Float" (47).
constexpr int FirstTypeText = 43;
constexpr int LastType = 4;
constexpr qsizetype TypeColumn = 2;

MRV_Sql fieldCondition() {
    const MRV_Sql excluded = MRV_UserDefinedElements::exclusionCondition(u"TableID"_s, u"@"_s);
    // A field without a SYS mark is no system field.
    return {excluded.plain + u" AND TableID NOT LIKE 'A%' AND (SYS IS NULL OR SYS <> 'Y')"_s,
            excluded.quoted +
                u" AND \"TableID\" NOT LIKE 'A%' AND (\"SYS\" IS NULL OR \"SYS\" <> 'Y')"_s};
}

} // namespace

MRV_UserDefinedFieldsManager::MRV_UserDefinedFieldsManager(MRV_ConnectionContext* context,
                                                           const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"TableID"_s, u"FieldID"_s};
    m_descriptionElements = {u"Description"_s};
    m_listColumns = {u"AliasID"_s, u"Descr"_s, u"TypeID"_s};
    m_listElements = {NameElement, u"Description"_s, u"Type"_s};
    m_writeFields = {NameElement, u"Description"_s};
    m_columnFlags = {0, 1, 0};
    declareTable({
        .name = Table,
        .objectType = 152,
        .keyColumns = {u"TableID"_s, u"FieldID"_s},
        .keyElements = {TableElement, NumberElement},
        .descriptionColumn = u"AliasID"_s,
        .descriptionElement = NameElement,
        .filter = fieldCondition(),
    });
}

MRV_DIDataSet* MRV_UserDefinedFieldsManager::listFromConfiguration(const BOMTableList& tables) {
    return MRV_UserDefinedElements::withCodeTexts(MRV_DIInterface::listFromConfiguration(tables),
                                                  TypeColumn, FirstTypeText, LastType);
}

MRV_DIDataSet* MRV_UserDefinedFieldsManager::listFromDatabase() {
    return MRV_UserDefinedElements::withCodeTexts(MRV_DIInterface::listFromDatabase(), TypeColumn,
                                                  FirstTypeText, LastType);
}

QList<MRV_BOMDocument>
MRV_UserDefinedFieldsManager::numberedForTarget(const QList<MRV_BOMDocument>& documents) {
    MRV_CompanySql target(targetCompany());
    // The target's fields of each table by name (the host tells names apart
    // without regard to case), and the next number no field of it has.
    QHash<QString, QHash<QString, QString>> numbers;
    QHash<QString, qlonglong> next;
    const auto known = [&](const QString& table) -> QHash<QString, QString>& {
        const auto found = numbers.find(table);
        if (found != numbers.end())
            return *found;
        QHash<QString, QString> byName;
        qlonglong highest = -1;
        MRV_SQLBuilder select = target.builder(Table);
        select.addSelectColumn(u"AliasID"_s);
        select.addSelectColumn(u"FieldID"_s);
        select.addCondition(u"TableID"_s, table, MRV_SQLBuilder::Text);
        if (select.isValid())
            for (const QVariantList& row : target.query(select.buildSelect()).values) {
                const QString number = MRV_CompanySql::text(row.value(1));
                byName.insert(MRV_CompanySql::text(row.value(0)).toCaseFolded(), number);
                highest = std::max(highest, number.toLongLong());
            }
        next.insert(table, highest + 1);
        return *numbers.insert(table, byName);
    };
    QList<MRV_BOMDocument> numbered;
    for (const MRV_BOMDocument& document : documents) {
        MRV_BOMRecord record;
        MRV_BOMRecord::Group* group = record.parse(document.xml) ? record.group(Table) : nullptr;
        if (!group || group->rows.isEmpty()) {
            numbered << document; // the engine fails its line with the reason
            continue;
        }
        MRV_BOMRecord::Row& row = group->rows.first();
        const QString table = row.value(TableElement);
        const QString name = row.value(NameElement);
        const QHash<QString, QString>& fields = known(table);
        const auto found = fields.constFind(name.toCaseFolded());
        const bool exists = !name.isEmpty() && found != fields.cend();
        // The field's lines name it by its number: they follow.
        const QString number = exists ? *found : QString::number(next[table]++);
        row.setValue(NumberElement, number);
        for (MRV_BOMRecord::Group& lines : record.groups())
            if (&lines != group)
                for (MRV_BOMRecord::Row& line : lines.rows)
                    if (line.has(NumberElement))
                        line.setValue(NumberElement, number);
        numbered << MRV_BOMDocument{record.toXml(), exists ? 1 : 0};
    }
    return numbered;
}

HRESULT MRV_UserDefinedFieldsManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    if (effectiveMethod(copyMethod) == RemovalPhase)
        return MRV_DIInterface::writeToTarget(tables, copyMethod);
    BOMTableList numbered;
    try {
        for (const MRV_BOMTable& entry : tables)
            numbered << MRV_BOMTable{entry.name, entry.name == Table
                                                     ? numberedForTarget(entry.documents)
                                                     : entry.documents};
    } catch (const ComError& e) {
        CLogBase(u"MRV", u"MRV_UserDefinedFieldsManager::writeToTarget")
            .LogError(u"Failed to write %s: %s", getCategoryString(), e.errorMessage());
        return E_FAIL;
    }
    return MRV_DIInterface::writeToTarget(numbered, copyMethod);
}
