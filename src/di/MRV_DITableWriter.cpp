#include "di/MRV_DITableWriter.h"

#include "di/MRV_CompanySql.h"
#include "di/MRV_DIReferences.h"
#include "di/MRV_ParentOrder.h"
#include "di/MRV_RecordScope.h"
#include "di/MRV_TableDeclaration.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "tsframework/CLogBase.h"
#include "tsframework/TSFormat.h"

#include <algorithm>

namespace {

QStringList valuesOf(const MRV_BOMRecord::Row& row, const QStringList& columns) {
    QStringList values;
    for (const QString& column : columns)
        values << row.value(column);
    return values;
}

} // namespace

MRV_DITableWriter::MRV_DITableWriter(MRV_DIInterface& owner, MRV_CompanySql& target,
                                     MRV_DIReferences& references,
                                     const MRV_TableDeclaration& table)
    : m_owner(owner), m_target(target), m_references(references), m_table(table) {}

bool MRV_DITableWriter::atomically(const std::function<bool()>& work) {
    MRV_RecordScope scope(m_target.company());
    const bool ok = work(); // an exception undoes the record with the scope
    scope.finish(ok);
    return ok;
}

QList<MRV_DITableWriter::Row> MRV_DITableWriter::rowsOf(const MRV_TableDeclaration& table,
                                                        const QList<MRV_BOMDocument>& documents,
                                                        Outcome* failure) const {
    QList<Row> rows;
    for (const MRV_BOMDocument& document : documents) {
        MRV_BOMRecord record;
        QString why;
        if (!record.parse(document.xml, &why)) {
            if (failure)
                failure->error = QStringLiteral("The record is not a record document: ") + why;
            continue;
        }
        if (const MRV_BOMRecord::Group* g = record.group(MRV_BOMRecord::groupName(table.name)))
            rows += g->rows;
    }
    return rows;
}

QList<MRV_DITableWriter::Child> MRV_DITableWriter::childrenOf(const BOMTableList& tables) const {
    QList<Child> children;
    for (const MRV_TableDeclaration& t : m_owner.tables()) {
        if (t.parentTable != m_table.name)
            continue;
        Child child{&t, {}, {}};
        for (const MRV_BOMTable& entry : tables)
            if (entry.name == t.name)
                child.rows += rowsOf(t, entry.documents, nullptr);
        for (qsizetype i = 0; i < child.rows.size(); ++i) {
            QStringList link;
            for (const auto& [here, there] : t.links)
                link << child.rows[i].value(here);
            child.byParent[link] << i;
        }
        children << child;
    }
    return children;
}

void MRV_DITableWriter::write(const QList<MRV_BOMDocument>& documents, const BOMTableList& tables,
                              int copyMethod) {
    CLogBase log(u"MRV", u"MRV_DITableWriter::write");
    const int operation = copyMethod == MRV_DIInterface::UpdateExisting ? 2 : 3;
    // The rows of documents; a document that is none is logged as failed.
    const auto readable = [&](const QList<MRV_BOMDocument>& some) {
        Outcome unreadable;
        unreadable.operation = operation;
        const QList<Row> rows = rowsOf(m_table, some, &unreadable);
        if (!unreadable.error.isEmpty()) {
            log.LogError(u"%s: %s", m_table.name, unreadable.error);
            m_owner.logOutcome(unreadable);
        }
        return rows;
    };
    const QList<Child> children = childrenOf(tables);
    qsizetype written = 0;
    const auto writeAll = [&](const QList<Row>& rows) {
        for (const Row& row : rows) {
            Outcome outcome;
            outcome.operation = operation;
            outcome.baseCode = valuesOf(row, m_table.keyColumns).join(QStringLiteral(", "));
            outcome.baseDescription = m_owner.baseDescription(m_table, row);
            try {
                atomically([&] { return writeRow(row, children, copyMethod, outcome); });
            } catch (const ComError& e) {
                outcome.succeeded = false;
                outcome.error = MRV_DIInterface::errorText(e);
            }
            m_owner.logOutcome(outcome);
        }
        written += rows.size();
    };
    if (m_table.parentColumn.isEmpty()) {
        // One document at a time: the table's rows are never all held.
        for (const MRV_BOMDocument& document : documents)
            writeAll(readable({document}));
    } else {
        const QList<Row> rows = readable(documents);
        QStringList keys;
        QList<QStringList> parents;
        for (const Row& r : rows) {
            keys << r.value(m_table.keyColumns.value(0));
            QStringList own;
            for (const QString& column : m_table.parentColumns())
                own << r.value(column);
            parents << own;
        }
        QList<Row> ordered;
        for (const qsizetype i : MRV_ParentsFirst(keys, parents))
            ordered << rows[i];
        writeAll(ordered);
    }
    if (m_inserted && m_table.autoKeyObject > 0)
        moveKeyCounter();
    log.LogDbg1(u"%s: %d row(s) with copy method %d", m_table.name, int(written), copyMethod);
}

bool MRV_DITableWriter::prepare(const MRV_TableDeclaration& table, Row& row, Outcome& outcome) {
    // A row of another kind (a vendor group among customer groups) is not
    // the category's; a row without the kind gets it.
    for (const auto& [column, value] : table.kind) {
        const QString given = row.value(column);
        if (!given.isEmpty() && given.compare(value, Qt::CaseInsensitive) != 0) {
            outcome.error =
                QStringLiteral("The record is not one of this category: %1 is '%2', not '%3'")
                    .arg(column, given.left(40), value);
            return false;
        }
        row.setValue(column, value);
    }
    MRV_BOMRecord record;
    record.groups() << MRV_BOMRecord::Group{MRV_BOMRecord::groupName(table.name), {row}};
    if (!m_owner.prepareForTarget(table, record, outcome))
        return false;
    row = record.groups().first().rows.first();
    // Only columns the target's table has are written, spelt as it spells
    // them: a name from a file never reaches the statement unchecked.
    const QHash<QString, MRV_CompanySql::Field>& fields = m_target.fields(table.name);
    for (MRV_BOMRecord::Field& field : row.fields) {
        if (fields.contains(field.name))
            continue;
        const auto same = std::find_if(fields.keyBegin(), fields.keyEnd(), [&](const QString& c) {
            return c.compare(field.name, Qt::CaseInsensitive) == 0;
        });
        if (same == fields.keyEnd()) {
            outcome.error =
                QStringLiteral("Table %1 has no column %2").arg(table.name, field.name.left(60));
            return false;
        }
        field.name = *same;
    }
    return true;
}

MRV_SQLBuilder MRV_DITableWriter::keyConditions(const MRV_TableDeclaration& table,
                                                const QStringList& columns,
                                                const QStringList& values) {
    MRV_SQLBuilder where = m_target.builder(table.name);
    for (qsizetype i = 0; i < columns.size(); ++i)
        where.addCondition(columns[i], values.value(i), m_target.valueType(table.name, columns[i]));
    return where;
}

bool MRV_DITableWriter::exists(const MRV_TableDeclaration& table, const Row& row) {
    if (&table == &m_table && m_target.comparesAsText(table.name, table.keyColumns)) {
        const std::optional<QString> key =
            m_target.comparable(table.name, table.keyColumns, valuesOf(row, table.keyColumns));
        return key && existingKeys().contains(*key);
    }
    MRV_SQLBuilder select = keyConditions(table, table.keyColumns, valuesOf(row, table.keyColumns));
    for (const QString& key : table.keyColumns)
        select.addSelectColumn(key);
    // Bound: a line's lookup is prepared once per table, not per line.
    return select.isValid() && !m_target.select(select).values.isEmpty();
}

QSet<QString>& MRV_DITableWriter::existingKeys() {
    if (m_existing)
        return *m_existing;
    m_existing.emplace();
    MRV_SQLBuilder select = m_target.builder(m_table.name);
    for (const QString& key : m_table.keyColumns)
        select.addSelectColumn(key);
    m_target.forEachRow(select.buildSelect(), [&](const QVariantList& values) {
        QStringList texts;
        for (const QVariant& value : values) {
            if (value.isNull()) // nothing equals a null key
                return;
            texts << MRV_CompanySql::text(value);
        }
        if (const std::optional<QString> key =
                m_target.comparable(m_table.name, m_table.keyColumns, texts))
            m_existing->insert(*key);
    });
    return *m_existing;
}

QString MRV_DITableWriter::targetDescription(const Row& row) {
    if (m_table.descriptionColumn.isEmpty())
        return QString();
    MRV_SQLBuilder select =
        keyConditions(m_table, m_table.keyColumns, valuesOf(row, m_table.keyColumns));
    select.addSelectColumn(m_table.descriptionColumn);
    return select.isValid() ? MRV_CompanySql::text(m_target.scalar(select.buildSelect()))
                            : QString();
}

bool MRV_DITableWriter::insert(const MRV_TableDeclaration& table, const Row& row, QString& error) {
    MRV_SQLBuilder insert = m_target.builder(table.name);
    for (const MRV_BOMRecord::Field& field : row.fields)
        insert.addCondition(field.name, field.value, m_target.valueType(table.name, field.name));
    if (!insert.isValid()) {
        error = insert.invalidReason();
        return false;
    }
    // Bound: one statement per table and columns, prepared once.
    QVariantList values;
    const QString statement = insert.buildBoundInsert(values);
    m_target.execute(statement, values);
    if (&table == &m_table) {
        m_inserted = true;
        if (m_existing)
            if (const std::optional<QString> key = m_target.comparable(
                    table.name, table.keyColumns, valuesOf(row, table.keyColumns)))
                m_existing->insert(*key);
    }
    return true;
}

bool MRV_DITableWriter::update(const MRV_TableDeclaration& table, const Row& row, QString& error) {
    MRV_SQLBuilder set = m_target.builder(table.name);
    for (const MRV_BOMRecord::Field& field : row.fields)
        if (!table.keyColumns.contains(field.name))
            set.addCondition(field.name, field.value, m_target.valueType(table.name, field.name));
    const MRV_SQLBuilder where =
        keyConditions(table, table.keyColumns, valuesOf(row, table.keyColumns));
    for (const MRV_SQLBuilder* b : std::initializer_list<const MRV_SQLBuilder*>{&set, &where})
        if (!b->isValid()) {
            error = b->invalidReason();
            return false;
        }
    if (set.itemCount() > 0)
        m_target.execute(set.buildUpdate() + where.buildWhere());
    return true;
}

bool MRV_DITableWriter::writeRow(Row row, const QList<Child>& children, int copyMethod,
                                 Outcome& outcome) {
    const Row base = row;
    if (!prepare(m_table, row, outcome))
        return false;
    const QStringList identity = m_table.generatedKeyName.isEmpty()
                                     ? valuesOf(row, m_table.keyColumns)
                                     : QStringList{MRV_DIInterface::generatedName(m_table, row)};
    if (!m_owner.claimTarget(m_table, identity, outcome))
        return false;
    bool found = false;
    if (!m_table.generatedKeyName.isEmpty()) {
        // The base's key means nothing in the target: the record is the
        // target's row of the same name, or a new one with the next key.
        const QString keyColumn = m_table.keyColumns.value(0);
        QString key = row.value(keyColumn);
        found = m_owner.resolveTargetKey(identity.first(), m_table.name, key);
        row.setValue(keyColumn, key);
    } else {
        found = exists(m_table, row);
    }
    if (!MRV_DIInterface::admits(copyMethod, found, outcome))
        return false;
    outcome.operation = found ? MRV_DIInterface::UpdateExisting : MRV_DIInterface::AddNew;
    if (found)
        outcome.targetFormerDescription = targetDescription(row);
    if (!(found ? update(m_table, row, outcome.error) : insert(m_table, row, outcome.error)) ||
        !writeChildren(base, row, children, outcome))
        return false;
    if (!found && !m_table.generatedKeyName.isEmpty())
        m_owner.rememberName(m_table, identity.first(), row.value(m_table.keyColumns.value(0)));
    m_references.written(m_table, valuesOf(row, m_table.keyColumns), &row);
    outcome.targetCode = valuesOf(row, m_table.keyColumns).join(QStringLiteral(", "));
    outcome.targetDescription = row.value(m_table.descriptionColumn);
    outcome.succeeded = true;
    return true;
}

bool MRV_DITableWriter::writeChildren(const Row& base, const Row& parent,
                                      const QList<Child>& children, Outcome& outcome) {
    QString& error = outcome.error;
    for (const Child& child : children) {
        const MRV_TableDeclaration& table = *child.table;
        // The rows of this parent in the base, in their order; they take
        // the parent's key in the target.
        QStringList link;
        for (const auto& [here, there] : table.links)
            link << base.value(there);
        for (const qsizetype at : child.byParent.value(link)) {
            Row row = child.rows[at];
            for (const auto& [here, there] : table.links)
                row.setValue(here, parent.value(there));
            // A line's notes are its record's.
            if (!prepare(table, row, outcome))
                return false;
            // Lines travel with their record: each is added, or updated
            // where the target has it.
            if (!(exists(table, row) ? update(table, row, error) : insert(table, row, error)))
                return false;
        }
    }
    return true;
}

void MRV_DITableWriter::moveKeyCounter() {
    const QString key = m_table.keyColumns.value(0);
    const qlonglong next =
        MRV_CompanySql::text(
            m_target.scalar(QStringLiteral("SELECT MAX(%1) FROM %2")
                                .arg(m_target.column(key), m_target.table(m_table.name))))
            .toLongLong() +
        1;
    // The counter only moves on: keys handed out before (and perhaps still
    // named somewhere) are never handed out again.
    m_target.execute(
        m_target.serverType() == 5
            ? TSFormatArgs(u"UPDATE ONNM SET \"AutoKey\" = %d WHERE \"ObjectCode\" = '%d' AND "
                           u"\"AutoKey\" < %d",
                           next, m_table.autoKeyObject, next)
            : TSFormatArgs(u"UPDATE ONNM SET AutoKey = %d WHERE ObjectCode = '%d' AND AutoKey < %d",
                           next, m_table.autoKeyObject, next));
}

void MRV_DITableWriter::removeAll() {
    CLogBase log(u"MRV", u"MRV_DITableWriter::removeAll");
    MRV_SQLBuilder select = m_target.builder(m_table.name);
    for (const QString& key : m_table.keyColumns)
        select.addSelectColumn(key);
    if (!m_table.descriptionColumn.isEmpty())
        select.addSelectColumn(m_table.descriptionColumn);
    const QString condition = m_owner.categoryCondition(m_target, m_table, m_table.removalFilter);
    const MRV_CompanySql::Rows rows =
        m_target.query(select.buildSelect() +
                       (condition.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condition));
    QList<QStringList> records;
    for (const QVariantList& values : rows.values) {
        QStringList texts;
        for (const QVariant& v : values)
            texts << MRV_CompanySql::text(v);
        records << texts;
    }
    if (!m_table.parentColumn.isEmpty()) {
        // Children go before their parents.
        const QHash<QString, QStringList> parentOf = MRV_DIInterface::parentsIn(m_target, m_table);
        QStringList keys;
        QList<QStringList> parents;
        for (const QStringList& r : records) {
            keys << r.value(0);
            parents << parentOf.value(r.value(0));
        }
        QList<QStringList> ordered;
        for (const qsizetype i : MRV_ParentsFirst(keys, parents))
            ordered.prepend(records[i]);
        records = ordered;
    }
    const qsizetype keyCount = m_table.keyColumns.size();
    for (const QStringList& record : records) {
        Outcome outcome;
        outcome.operation = MRV_DIInterface::RemovalPhase;
        outcome.targetCode = record.mid(0, keyCount).join(QStringLiteral(", "));
        outcome.targetDescription = record.value(keyCount);
        try {
            atomically([&] { return removeRow(record.mid(0, keyCount), outcome); });
        } catch (const ComError& e) {
            outcome.succeeded = false;
            outcome.error = MRV_DIInterface::errorText(e);
        }
        if (!outcome.succeeded)
            log.LogDbg1(u"%s %s not deleted: %s", m_table.name, outcome.targetCode, outcome.error);
        m_owner.logOutcome(outcome);
    }
}

bool MRV_DITableWriter::removeRow(const QStringList& key, Outcome& outcome) {
    // A row still named elsewhere stays: deleting it would leave the rows
    // that name it pointing at nothing.
    for (const MRV_Use& use : m_table.usedBy) {
        MRV_SQLBuilder probe = m_target.builder(use.table);
        probe.addSelectColumn(use.column);
        probe.addCondition(use.column, key.value(0), m_target.valueType(use.table, use.column));
        if (probe.isValid() && !m_target.select(probe).values.isEmpty()) {
            outcome.error = QStringLiteral("The record is still used in %1").arg(use.table);
            return false;
        }
    }
    for (const MRV_TableDeclaration& child : m_owner.tables()) {
        if (child.parentTable != m_table.name)
            continue;
        QStringList columns, values;
        for (const auto& [here, there] : child.links) {
            columns << here;
            values << key.value(m_table.keyColumns.indexOf(there));
        }
        const MRV_SQLBuilder lines = keyConditions(child, columns, values);
        if (lines.isValid())
            m_target.execute(lines.buildDelete());
    }
    const MRV_SQLBuilder row = keyConditions(m_table, m_table.keyColumns, key);
    if (!row.isValid()) {
        outcome.error = row.invalidReason();
        return false;
    }
    m_target.execute(row.buildDelete());
    outcome.succeeded = true;
    return true;
}
