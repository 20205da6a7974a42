#pragma once

#include "di/MRV_BOMRecord.h"
#include "di/MRV_BOMTableList.h"
#include "di/MRV_DIInterface.h"
#include "di/MRV_SQLBuilder.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class MRV_CompanySql;
class MRV_DIReferences;
struct MRV_TableDeclaration;

// The table path of the record engine: rows of a table without a business
// object, written into the target with INSERT, UPDATE and DELETE. A row and
// the rows of its child tables are one record: written (or deleted)
// together in one transaction, logged as one line.
class MRV_DITableWriter {
public:
    MRV_DITableWriter(MRV_DIInterface& owner, MRV_CompanySql& target, MRV_DIReferences& references,
                      const MRV_TableDeclaration& table);

    // Writes the rows of the table's documents with copyMethod (1, 2 or 3),
    // each with the rows of its child tables found in tables.
    void write(const QList<MRV_BOMDocument>& documents, const BOMTableList& tables, int copyMethod);
    // The removal phase: deletes the category's rows (children first),
    // except those that other rows still use.
    void removeAll();

private:
    using Outcome = MRV_DIInterface::Outcome;
    using Row = MRV_BOMRecord::Row;
    struct Child {
        const MRV_TableDeclaration* table;
        QList<Row> rows;
        // Positions in rows by the values of the links to the parent, so
        // that a parent finds its lines without passing over all of them.
        QHash<QStringList, QList<qsizetype>> byParent;
    };

    QList<Row> rowsOf(const MRV_TableDeclaration& table, const QList<MRV_BOMDocument>& documents,
                      Outcome* failure) const;
    QList<Child> childrenOf(const BOMTableList& tables) const;
    bool writeRow(Row row, const QList<Child>& children, int copyMethod, Outcome& outcome);
    // The child rows of the parent as the base has it (base), written with
    // the parent's keys as the target has them (parent).
    bool writeChildren(const Row& base, const Row& parent, const QList<Child>& children,
                       Outcome& outcome);
    // The row as the target receives it: user fields, references, the
    // category's kind, and column names as the target spells them.
    bool prepare(const MRV_TableDeclaration& table, Row& row, Outcome& outcome);
    bool exists(const MRV_TableDeclaration& table, const Row& row);
    // The keys of the table's rows in the target, as the server compares
    // them: read once, with the rows this writer inserts added, instead of
    // a lookup per row.
    QSet<QString>& existingKeys();
    QString targetDescription(const Row& row);
    bool insert(const MRV_TableDeclaration& table, const Row& row, QString& error);
    bool update(const MRV_TableDeclaration& table, const Row& row, QString& error);
    // A builder holding the conditions on the table's key columns.
    MRV_SQLBuilder keyConditions(const MRV_TableDeclaration& table, const QStringList& columns,
                                 const QStringList& values);
    bool removeRow(const QStringList& key, Outcome& outcome);
    void moveKeyCounter();
    // Runs work in a transaction of its own when the run holds none: all of
    // it is written, or none.
    bool atomically(const std::function<bool()>& work);

    MRV_DIInterface& m_owner;
    MRV_CompanySql& m_target;
    MRV_DIReferences& m_references;
    const MRV_TableDeclaration& m_table;
    bool m_inserted = false;
    std::optional<QSet<QString>> m_existing;
};
