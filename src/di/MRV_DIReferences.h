#pragma once

#include "di/MRV_BOMRecord.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

class MRV_CompanySql;
class MRV_SQLBuilder;
struct MRV_Reference;
struct MRV_TableDeclaration;

// What the record engine does to a record document between two companies
// beyond copying it: on reading from the base, every declared reference
// gets a dependency record naming the referenced record by values that
// survive a copy; on writing into the target, user-defined fields the
// target lacks are caught, each dependency record is turned back into the
// target's key of that record, and the dependency records are taken out.
// Host calls that fail throw ComError.
class MRV_DIReferences {
public:
    explicit MRV_DIReferences(MRV_CompanySql& company) : m_sql(company) {}

    // Base side: adds a dependency record to each row whose referring
    // field holds a value that names a record (not a kept value, nor the
    // record itself).
    void addDependencies(const MRV_TableDeclaration& table, MRV_BOMRecord& record);
    // The fields by which a base record of a table that refers to its own
    // table names itself (a base price list is its own base): they get the
    // record's key in the target, which is only known once the record is
    // matched there.
    static QStringList selfReferences(const MRV_TableDeclaration& table,
                                      const MRV_BOMRecord::Row& row);

    // Target side. User-defined fields ("U_...", except "U_NAME") that the
    // target's table lacks are removed when ignoreMissing is set; otherwise
    // the record fails with "Missing User Defined Fields: " and each missing
    // field with its table ("U_Origin of OMRC; U_Size of ITM1").
    bool checkUserFields(const MRV_TableDeclaration& table, MRV_BOMRecord& record,
                         bool ignoreMissing, QString& error);
    // Puts the target's key into every referring field that has a
    // dependency record, and removes all dependency records. False, with
    // the reason, when a referenced record is not in the target; an
    // optional reference's field is then left out, with a note instead.
    bool resolveDependencies(const MRV_TableDeclaration& table, MRV_BOMRecord& record,
                             QString& error);

    // What resolveDependencies left out since the last call, for the
    // record's line.
    QStringList takeNotes() { return std::exchange(m_notes, {}); }

    // The target's records of a table are read once per write, by the
    // values references name them by, and kept current with written():
    // a lookup per record would scan a table whose identifying columns
    // have no index. Only changing tables may change in ways written()
    // does not hear of (unset: every table); a value such a table's
    // lookup does not know is looked for in the table itself.
    void setChangingTables(const QSet<QString>& tables) { m_changing = tables; }
    // The write added, updated or replaced the target's record of table
    // whose key columns hold keys, with the values of row (the record's
    // main row as written; null when unknown).
    void written(const MRV_TableDeclaration& table, const QStringList& keys,
                 const MRV_BOMRecord::Row* row);

private:
    QStringList identifyingValues(const MRV_Reference& reference, const QString& key,
                                  const MRV_BOMRecord::Row& row);
    bool targetKey(const MRV_Reference& reference, const QStringList& values,
                   const MRV_BOMRecord::Row& row, QString& key, QString& error);
    bool userFieldExists(const QString& table, const QString& alias);

    // The target's records of a table by the values of some of its columns.
    struct TargetIndex {
        QString table;
        QString keyColumn;
        QStringList columns;              // those a lookup compares
        QHash<QString, QStringList> keys; // comparable values -> keys, in the table's order
        QHash<QString, QString> valuesOfKey;
        bool usable = true;
    };
    // The index a lookup of reference uses; null where values of its
    // columns compare in ways an index cannot follow (dates).
    TargetIndex* indexFor(const MRV_Reference& reference);
    void enter(TargetIndex& index, const QVariantList& row);
    // The statement that reads an index's records: key, then its columns.
    MRV_SQLBuilder selectOf(const TargetIndex& index) const;
    // Takes the record of key out of index.
    static void forget(TargetIndex& index, const QString& key);
    // Reads the record of key into index anew.
    void refresh(TargetIndex& index, const QString& key);
    // The keys of the target's records that values name, by a lookup.
    QStringList lookUp(const MRV_Reference& reference, const QStringList& values,
                       const MRV_BOMRecord::Row& row);

    QHash<QString, TargetIndex> m_targets;
    std::optional<QSet<QString>> m_changing;

    MRV_CompanySql& m_sql;
    // Base lookups of one read: "table|column|key" -> identifying values.
    QHash<QString, QStringList> m_identities;
    QHash<QString, bool> m_userFields;
    QStringList m_notes;
};
