#include "managers/MRV_ListedNames.h"

#include "di/MRV_BOMRecord.h"
#include "di/MRV_CompanySql.h"
#include "di/MRV_DIDataSet.h"

namespace MRV_ListedNames {

QHash<QString, QString> inCompany(MRV_CompanySql& sql, const QString& table,
                                  const QString& keyColumn, const QString& nameColumn) {
    MRV_SQLBuilder select = sql.builder(table);
    select.addSelectColumn(keyColumn);
    select.addSelectColumn(nameColumn);
    QHash<QString, QString> names;
    for (const QVariantList& row : sql.query(select.buildSelect()).values)
        names.insert(MRV_CompanySql::text(row.value(0)), MRV_CompanySql::text(row.value(1)));
    return names;
}

QHash<QString, QString> inDocuments(const BOMTableList& tables, const QString& table,
                                    const QString& field) {
    QHash<QString, QString> names;
    const QString group = MRV_BOMRecord::groupName(table);
    for (const MRV_BOMTable& entry : tables) {
        if (entry.name != table)
            continue;
        for (const MRV_BOMDocument& document : entry.documents) {
            MRV_BOMRecord record;
            const MRV_BOMRecord::Group* rows =
                record.parse(document.xml) ? record.group(group) : nullptr;
            for (const MRV_BOMRecord::Row& row : rows ? rows->rows : QList<MRV_BOMRecord::Row>())
                if (const MRV_BOMRecord::Dependency* dep = row.dependency(field))
                    names.insert(row.value(field), dep->keyValues.join(u'/'));
        }
    }
    return names;
}

void show(MRV_DIDataSet& set, const QString& column, const QHash<QString, QString>& names) {
    set.showColumn(set.columnIndex(column),
                   [&](const QString& value) { return names.value(value, value); });
}

} // namespace MRV_ListedNames
