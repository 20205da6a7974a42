#include "di/MRV_DIReferences.h"

#include "di/MRV_BOMRecord.h"
#include "di/MRV_CompanySql.h"
#include "di/MRV_TableDeclaration.h"
#include "tsframework/TSFormat.h"

namespace {

QString groupOf(const MRV_TableDeclaration& table, const MRV_Reference& reference) {
    return reference.group.isEmpty() ? MRV_BOMRecord::groupName(table.name) : reference.group;
}

// The table a group of a record document stands for, as CUFD names it.
QString tableOfGroup(const MRV_TableDeclaration& table, const QString& group) {
    return group == MRV_BOMRecord::groupName(table.name) ? table.name : group;
}

bool isUserField(const QString& name) {
    return name.startsWith(QLatin1String("U_")) && name != u"U_NAME";
}

// The row's reference names the row itself (a base price list is its own
// base).
bool isSelfReference(const MRV_TableDeclaration& table, const MRV_Reference& reference,
                     const MRV_BOMRecord::Row& row, const QString& value) {
    const QString& key = table.isObject() ? table.keyElements.value(0) : table.keyColumns.value(0);
    return reference.table == table.name && reference.group.isEmpty() && !key.isEmpty() &&
           row.value(key) == value;
}

// The declaration holds for the row: its conditions are met and the value
// carries its prefix.
bool holds(const MRV_Reference& reference, const MRV_BOMRecord::Row& row) {
    for (const auto& [field, value] : reference.when)
        if (row.value(field) != value)
            return false;
    return reference.prefix.isEmpty() || row.value(reference.field).startsWith(reference.prefix);
}

bool conditional(const MRV_Reference& reference) {
    return !reference.when.isEmpty() || !reference.prefix.isEmpty();
}

} // namespace

void MRV_DIReferences::addDependencies(const MRV_TableDeclaration& table, MRV_BOMRecord& record) {
    for (const MRV_Reference& ref : table.references) {
        MRV_BOMRecord::Group* group = record.group(groupOf(table, ref));
        if (!group)
            continue;
        for (MRV_BOMRecord::Row& row : group->rows) {
            if (!holds(ref, row))
                continue;
            const QString value = row.value(ref.field).mid(ref.prefix.size());
            if (value.isEmpty() || ref.keptValues.contains(value) || row.dependency(ref.field) ||
                isSelfReference(table, ref, row, value))
                continue;
            // A key that names nothing in the base travels without values;
            // the target then cannot resolve it and refuses the record.
            row.dependencies << MRV_BOMRecord::Dependency{
                ref.table, ref.field, ref.identifyingColumns, identifyingValues(ref, value, row)};
        }
    }
}

QStringList MRV_DIReferences::selfReferences(const MRV_TableDeclaration& table,
                                             const MRV_BOMRecord::Row& row) {
    QStringList fields;
    for (const MRV_Reference& ref : table.references)
        if (!row.dependency(ref.field) && isSelfReference(table, ref, row, row.value(ref.field)))
            fields << ref.field;
    return fields;
}

QStringList MRV_DIReferences::identifyingValues(const MRV_Reference& reference, const QString& key,
                                                const MRV_BOMRecord::Row& row) {
    QString cacheKey = reference.table + u'|' + reference.keyColumn + u'|' + key;
    for (const auto& [field, column] : reference.matching)
        cacheKey += u'|' + row.value(field);
    const auto known = m_identities.constFind(cacheKey);
    if (known != m_identities.cend())
        return *known;
    MRV_SQLBuilder select = m_sql.builder(reference.table);
    for (const QString& column : reference.identifyingColumns)
        select.addSelectColumn(column);
    select.addCondition(reference.keyColumn, key,
                        m_sql.valueType(reference.table, reference.keyColumn));
    for (const auto& [field, column] : reference.matching)
        select.addCondition(column, row.value(field), m_sql.valueType(reference.table, column));
    QStringList values;
    if (select.isValid()) {
        const MRV_CompanySql::Rows rows = m_sql.select(select);
        if (!rows.values.isEmpty())
            for (const QVariant& v : rows.values.first())
                values << MRV_CompanySql::text(v);
    }
    m_identities.insert(cacheKey, values);
    return values;
}

bool MRV_DIReferences::userFieldExists(const QString& table, const QString& alias) {
    const QString cacheKey = table + u'|' + alias;
    const auto known = m_userFields.constFind(cacheKey);
    if (known != m_userFields.cend())
        return *known;
    // Both values are escaped: a field name can come from any configuration
    // file and must not become SQL of its own.
    const QString statement =
        m_sql.serverType() == 5
            ? TSFormatArgs(u"SELECT \"FieldID\" FROM CUFD WHERE \"AliasID\" = '%s' AND "
                           u"\"TableID\" = '%s'",
                           MRV_SQLBuilder::escapeText(alias), MRV_SQLBuilder::escapeText(table))
            : TSFormatArgs(u"SELECT FieldID FROM CUFD WHERE AliasID = '%s' AND TableID = '%s'",
                           MRV_SQLBuilder::escapeText(alias), MRV_SQLBuilder::escapeText(table));
    const bool exists = !m_sql.scalar(statement).isNull();
    m_userFields.insert(cacheKey, exists);
    return exists;
}

bool MRV_DIReferences::checkUserFields(const MRV_TableDeclaration& table, MRV_BOMRecord& record,
                                       bool ignoreMissing, QString& error) {
    // Every missing field of the record is named, with its table, so that
    // the user sees which fields the target still needs.
    QStringList missing;
    for (MRV_BOMRecord::Group& group : record.groups()) {
        const QString tableId = tableOfGroup(table, group.name);
        QStringList ofTable;
        for (MRV_BOMRecord::Row& row : group.rows) {
            for (qsizetype i = row.fields.size() - 1; i >= 0; --i) {
                const QString& name = row.fields[i].name;
                if (!isUserField(name) || userFieldExists(tableId, name.mid(2)))
                    continue;
                if (!ignoreMissing) {
                    if (!ofTable.contains(name))
                        ofTable.prepend(name);
                    continue;
                }
                row.fields.removeAt(i);
            }
        }
        if (!ofTable.isEmpty())
            missing << QStringLiteral("%1 of %2").arg(ofTable.join(QStringLiteral(", ")), tableId);
    }
    if (missing.isEmpty())
        return true;
    error = QStringLiteral("Missing User Defined Fields: ") + missing.join(QStringLiteral("; "));
    return false;
}

bool MRV_DIReferences::targetKey(const MRV_Reference& reference, const QStringList& values,
                                 const MRV_BOMRecord::Row& row, QString& key, QString& error) {
    const auto missing = [&] {
        // No values: the base itself has no record the field names, which
        // the target can be no help with.
        error = values.isEmpty()
                    ? QStringLiteral("%1 '%2' names no record of %3 in the base company")
                          .arg(reference.field, row.value(reference.field), reference.table)
                    : QStringLiteral("%1 refers to %2 %3 '%4', which is not in the target company")
                          .arg(reference.field, reference.table,
                               reference.identifyingColumns.join(u'/'), values.join(u'/'));
        return false;
    };
    if (values.size() != reference.identifyingColumns.size() || values.isEmpty())
        return missing();
    const QStringList keys = lookUp(reference, values, row);
    if (keys.isEmpty())
        return missing();
    // Values that name several records name none of them: taking the first
    // would tie the record to one the user never meant.
    if (keys.size() > 1) {
        error = QStringLiteral("%1 refers to %2 %3 '%4', which names %5 records in the target "
                               "company, not one")
                    .arg(reference.field, reference.table, reference.identifyingColumns.join(u'/'),
                         values.join(u'/'))
                    .arg(keys.size());
        return false;
    }
    key = keys.first();
    return true;
}

QStringList MRV_DIReferences::lookUp(const MRV_Reference& reference, const QStringList& values,
                                     const MRV_BOMRecord::Row& row) {
    QStringList all = values;
    if (reference.matchInTarget)
        for (const auto& [field, column] : reference.matching)
            all << row.value(field);
    TargetIndex* index = indexFor(reference);
    if (index) {
        const std::optional<QString> wanted = m_sql.comparable(index->table, index->columns, all);
        if (!wanted)
            return {};
        const auto found = index->keys.constFind(*wanted);
        if (found != index->keys.cend())
            return *found;
        if (m_changing && !m_changing->contains(reference.table))
            return {};
    }
    // A table that may have changed unheard of is asked itself.
    MRV_SQLBuilder select = m_sql.builder(reference.table);
    select.addSelectColumn(reference.keyColumn);
    for (qsizetype i = 0; i < values.size(); ++i)
        select.addCondition(reference.identifyingColumns[i], values[i],
                            m_sql.valueType(reference.table, reference.identifyingColumns[i]));
    if (reference.matchInTarget)
        for (const auto& [field, column] : reference.matching)
            select.addCondition(column, row.value(field), m_sql.valueType(reference.table, column));
    if (!select.isValid())
        return {};
    QStringList keys;
    for (const QVariantList& found : m_sql.select(select).values)
        keys << MRV_CompanySql::text(found.value(0));
    if (index)
        for (const QString& key : keys)
            refresh(*index, key);
    return keys;
}

MRV_DIReferences::TargetIndex* MRV_DIReferences::indexFor(const MRV_Reference& reference) {
    QStringList columns = reference.identifyingColumns;
    if (reference.matchInTarget)
        for (const auto& [field, column] : reference.matching)
            columns << column;
    const QString name = reference.table + u'|' + reference.keyColumn + u'|' + columns.join(u'|');
    const auto known = m_targets.find(name);
    if (known != m_targets.end())
        return known->usable ? &*known : nullptr;
    TargetIndex index{reference.table, reference.keyColumn, columns, {}, {}};
    // A date compares as the server reads its literal.
    index.usable = m_sql.comparesAsText(reference.table, columns);
    TargetIndex& entered = *m_targets.insert(name, index);
    if (!entered.usable)
        return nullptr;
    m_sql.forEachRow(selectOf(entered).buildSelect(),
                     [&](const QVariantList& row) { enter(entered, row); });
    return &entered;
}

void MRV_DIReferences::enter(TargetIndex& index, const QVariantList& row) {
    QStringList values;
    for (qsizetype i = 1; i < row.size(); ++i) {
        // Nothing equals a null value.
        if (row[i].isNull())
            return;
        values << MRV_CompanySql::text(row[i]);
    }
    const std::optional<QString> text = m_sql.comparable(index.table, index.columns, values);
    if (!text)
        return;
    const QString key = MRV_CompanySql::text(row.value(0));
    index.keys[*text] << key;
    index.valuesOfKey.insert(key, *text);
}

MRV_SQLBuilder MRV_DIReferences::selectOf(const TargetIndex& index) const {
    MRV_SQLBuilder select = m_sql.builder(index.table);
    select.addSelectColumn(index.keyColumn);
    for (const QString& column : index.columns)
        select.addSelectColumn(column);
    return select;
}

void MRV_DIReferences::forget(TargetIndex& index, const QString& key) {
    const auto former = index.valuesOfKey.constFind(key);
    if (former == index.valuesOfKey.cend())
        return;
    const auto entry = index.keys.find(*former);
    if (entry != index.keys.end()) {
        entry->removeAll(key);
        if (entry->isEmpty())
            index.keys.erase(entry);
    }
    index.valuesOfKey.erase(former);
}

void MRV_DIReferences::refresh(TargetIndex& index, const QString& key) {
    forget(index, key);
    MRV_SQLBuilder select = selectOf(index);
    select.addCondition(index.keyColumn, key, m_sql.valueType(index.table, index.keyColumn));
    if (!select.isValid())
        return;
    for (const QVariantList& row : m_sql.select(select).values)
        enter(index, row);
}

void MRV_DIReferences::written(const MRV_TableDeclaration& table, const QStringList& keys,
                               const MRV_BOMRecord::Row* row) {
    for (auto it = m_targets.begin(); it != m_targets.end();) {
        if (it->table != table.name || !it->usable) {
            ++it;
            continue;
        }
        if (table.keyColumns.size() != 1 || table.keyColumns.first() != it->keyColumn ||
            keys.value(0).isEmpty()) {
            // Named by other columns than its key: read again when next
            // needed.
            it = m_targets.erase(it);
            continue;
        }
        // The values the record was written with, where it carries every
        // column the index compares; else the target is asked.
        QVariantList written{keys.first()};
        for (const QString& column : it->columns) {
            const QString element = row ? table.elementOf(column) : QString();
            // An empty value may be stored as null, which nothing equals.
            if (element.isEmpty() || row->value(element).isEmpty())
                break;
            written << row->value(element);
        }
        if (written.size() == it->columns.size() + 1) {
            forget(*it, keys.first());
            enter(*it, written);
        } else {
            refresh(*it, keys.first());
        }
        ++it;
    }
}

bool MRV_DIReferences::resolveDependencies(const MRV_TableDeclaration& table, MRV_BOMRecord& record,
                                           QString& error) {
    for (const MRV_Reference& ref : table.references) {
        MRV_BOMRecord::Group* group = record.group(groupOf(table, ref));
        if (!group)
            continue;
        for (MRV_BOMRecord::Row& row : group->rows) {
            const MRV_BOMRecord::Dependency* dep = row.dependency(ref.field);
            if (!dep || !holds(ref, row))
                continue;
            // The file's own names of the identifying columns are not
            // trusted: the declaration's are used, with the file's values.
            QString key;
            if (targetKey(ref, dep->keyValues, row, key, error)) {
                row.setValue(ref.field, ref.prefix + key);
                // Resolved, the field is no longer the base's: a later
                // declaration of it must leave it alone.
                if (conditional(ref))
                    row.dependencies.removeAt(dep - row.dependencies.constData());
            } else if (ref.optional) {
                m_notes << error + QStringLiteral("; written without it");
                error.clear();
                row.removeField(ref.field);
            } else {
                return false;
            }
        }
    }
    for (MRV_BOMRecord::Group& group : record.groups())
        for (MRV_BOMRecord::Row& row : group.rows)
            row.dependencies.clear();
    return true;
}
