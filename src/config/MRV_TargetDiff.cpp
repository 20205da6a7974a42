#include "config/MRV_TargetDiff.h"

#include "catalogue/MRV_DataInterfaceFactory.h"
#include "di/MRV_CompanySql.h"
#include "di/MRV_DIInterface.h"
#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetNode.h"

#include <QMap>
#include <QSet>

namespace {

struct Table {
    QStringList names;
    QMap<QString, QStringList> rows; // by key, in key order
};

// Every row of a table by its key; a row whose key another row has already
// is kept under its own ordinal, so that none is lost from the comparison.
Table readTable(LLObjectsCOM::Company& company, const QString& name,
                const QStringList& keyColumns) {
    MRV_CompanySql sql(company);
    Table table;
    QList<qsizetype> keyAt;
    sql.forEachRow(
        QStringLiteral("SELECT * FROM %1").arg(sql.table(name)),
        [&](const QVariantList& values) {
            if (keyAt.isEmpty())
                for (const QString& column : keyColumns)
                    keyAt << table.names.indexOf(column);
            QStringList texts;
            texts.reserve(values.size());
            for (const QVariant& value : values)
                texts << (value.isNull() ? QString() : MRV_CompanySql::text(value));
            QStringList key;
            for (const qsizetype at : std::as_const(keyAt))
                key << texts.value(at);
            QString joined = key.join(QStringLiteral(", "));
            if (table.rows.contains(joined))
                joined += QStringLiteral(" #%1").arg(table.rows.size());
            table.rows.insert(joined, texts);
        },
        &table.names);
    return table;
}

} // namespace

bool MRV_TargetDiff::kept(const QString& column) {
    static const QSet<QString> columns{QStringLiteral("UpdateDate"), QStringLiteral("UpdateTS"),
                                       QStringLiteral("UpdateTime"), QStringLiteral("UserSign2"),
                                       QStringLiteral("LogInstanc"), QStringLiteral("LogInstance")};
    return columns.contains(column);
}

void MRV_TargetDiff::forEachTable(
    MRV_ConnectionContext& context, const MRV_Worksheet& worksheet,
    const std::function<void(const QString&, const MRV_TableDeclaration&)>& use) {
    QHash<QString, bool> seen; // a table two categories declare counts once
    const MRV_DataInterfaceFactory factory(&context);
    for (const auto& node : worksheet.nodes) {
        if (!node->leaf || node->selected == MRV_WorksheetNode::NotSelected)
            continue;
        const std::unique_ptr<MRV_DIInterface> manager =
            factory.createDataInterface(node->categoryId);
        if (!manager)
            continue;
        for (const MRV_TableDeclaration& declared : manager->tables())
            if (declared.objectType != MRV_TableDeclaration::Settings &&
                !std::exchange(seen[declared.name], true))
                use(node->categoryId, declared);
    }
}

QList<MRV_TargetDiff::Row> MRV_TargetDiff::compare(MRV_ConnectionContext& context,
                                                   const MRV_Worksheet& worksheet,
                                                   LLObjectsCOM::Company& before,
                                                   LLObjectsCOM::Company& after) {
    QList<Row> changes;
    forEachTable(context, worksheet,
                 [&](const QString& categoryId, const MRV_TableDeclaration& declared) {
                     const Table old = readTable(before, declared.name, declared.keyColumns);
                     const Table now = readTable(after, declared.name, declared.keyColumns);
                     const QStringList& names = now.names.isEmpty() ? old.names : now.names;
                     const auto row = [&](const QString& key, Row::Kind kind) {
                         return Row{categoryId, declared.name, key, kind, {}};
                     };
                     for (auto it = now.rows.cbegin(); it != now.rows.cend(); ++it) {
                         const auto was = old.rows.constFind(it.key());
                         if (was == old.rows.cend()) {
                             changes << row(it.key(), Row::Added);
                             continue;
                         }
                         Row changed = row(it.key(), Row::Changed);
                         for (qsizetype c = 0; c < names.size(); ++c) {
                             const QString& column = names[c];
                             const qsizetype at = old.names.indexOf(column);
                             const QString previous = at < 0 ? QString() : was->value(at);
                             if (!kept(column) && previous != it->value(c))
                                 changed.fields << Field{column, previous, it->value(c)};
                         }
                         if (!changed.fields.isEmpty())
                             changes << changed;
                     }
                     for (auto it = old.rows.cbegin(); it != old.rows.cend(); ++it)
                         if (!now.rows.contains(it.key()))
                             changes << row(it.key(), Row::Removed);
                 });
    return changes;
}

void MRV_TargetDiff::forEachTableIn(
    MRV_ConnectionContext& context, const MRV_Worksheet& worksheet, LLObjectsCOM::Company& company,
    const std::function<void(const QString&, const QStringList&, const QList<QStringList>&)>& use) {
    forEachTable(context, worksheet, [&](const QString&, const MRV_TableDeclaration& declared) {
        const Table table = readTable(company, declared.name, declared.keyColumns);
        use(declared.name, table.names, table.rows.values());
    });
}
