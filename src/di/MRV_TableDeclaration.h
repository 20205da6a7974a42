#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// A fixed statement (or condition) of a manager: plain identifiers with N''
// literals, and, where the rewriting of the plain text for the quoted
// dialect of server type 5 (double-quoted identifiers, '' literals) does
// not serve, the quoted text too.
struct MRV_Sql {
    QString plain{};
    QString quoted{};

    bool isEmpty() const { return plain.isEmpty(); }
};

// A field whose value is the key of a record of another table. Keys differ
// between companies, so the record travels by identifying values that do
// not (an account's formatted code, a name): reading adds a dependency
// record with them to the row, writing puts the target's key of the record
// with the same identifying values into the field.
struct MRV_Reference {
    QString field{};                  // the referring element (column of a table's rows)
    QString table{};                  // the referenced table
    QString keyColumn{};              // its key column the field holds
    QStringList identifyingColumns{}; // its columns that name the record in every company
    // The group whose rows hold the field; empty for the main table.
    QString group{};
    // Values that name no record ("-2": top level) and travel as they are.
    QStringList keptValues{};
    // Further (field of the row, column of the referenced table) pairs the
    // referenced record matches: a bank's code is only unique within its
    // country.
    QList<std::pair<QString, QString>> matching{};
    // The matching pairs hold in the target too, with the row's values as
    // the target receives them (a reference declared before this one has
    // its target key by then): a report category's name is only unique
    // within its template.
    bool matchInTarget = false;
    // The referenced record may arrive with a later category (a bank's
    // default house bank account): when the target has none yet, the field
    // is left out, so that the target keeps what it has, and the record's
    // line says so.
    bool optional = false;
    // The reference holds only for rows whose fields have these values: a
    // discount group's key names an item group or a manufacturer, as its
    // object type says.
    QList<std::pair<QString, QString>> when{};
    // The field holds the referenced key behind this text ("*" and a price
    // list's number name a price hierarchy); a value without it is no
    // reference of this declaration. Of several declarations of one field
    // the first that holds for a row takes it.
    QString prefix{};

    // A record that every company knows by the same key (a code): the
    // field keeps its value, and the target must have the record.
    static MRV_Reference byCode(QString field, QString table, QString key,
                                QString group = QString()) {
        QStringList identifying{key};
        return {.field = std::move(field),
                .table = std::move(table),
                .keyColumn = std::move(key),
                .identifyingColumns = std::move(identifying),
                .group = std::move(group)};
    }
    // A record each company numbers itself, known everywhere by names.
    static MRV_Reference byName(QString field, QString table, QString key, QStringList names,
                                QString group = QString()) {
        return {.field = std::move(field),
                .table = std::move(table),
                .keyColumn = std::move(key),
                .identifyingColumns = std::move(names),
                .group = std::move(group)};
    }
    // The same reference, with values that name no record and travel as
    // they are.
    MRV_Reference keeping(QStringList values) const {
        MRV_Reference r = *this;
        r.keptValues = std::move(values);
        return r;
    }

    // The same reference, unique only among the referenced records whose
    // columns equal these fields of the row, in the base and in the target
    // (with the row's values as the target receives them).
    MRV_Reference within(QList<std::pair<QString, QString>> pairs) const {
        MRV_Reference r = *this;
        r.matching = std::move(pairs);
        r.matchInTarget = true;
        return r;
    }

    // The same reference, left out (and noted on the record's line) when
    // the target lacks the record.
    MRV_Reference orLeftOut() const {
        MRV_Reference r = *this;
        r.optional = true;
        return r;
    }

    // An account field: an account is known by its formatted code in every
    // company, and the target's account of that code takes the reference.
    static MRV_Reference account(QString field, QString group = QString()) {
        return {.field = std::move(field),
                .table = QStringLiteral("OACT"),
                .keyColumn = QStringLiteral("AcctCode"),
                .identifyingColumns = {QStringLiteral("FormatCode")},
                .group = std::move(group)};
    }
};

// Rows of another table that keep a row from being deleted by the removal
// phase of "Replace All": it is still used there.
struct MRV_Use {
    QString table{};
    QString column{};
};

// Everything the record engine needs to read, list and write one table of a
// category. A category manager declares its tables; the engine does the
// work.
struct MRV_TableDeclaration {
    // The object type of tables read and written as rows through SQL.
    static constexpr int Rows = -1;
    // The object type of a category's settings: one record of named values
    // that is always updated, never added or removed.
    static constexpr int Settings = -2;

    QString name{};
    int objectType = Rows;
    QStringList keyColumns{};  // database columns
    QStringList keyElements{}; // the same keys as record elements (business objects)
    QString descriptionColumn{};
    QString descriptionElement{};

    // Column values every row of the category has ("GroupType" = "C"):
    // they limit reading, listing, removing and the name lookup of
    // generated keys, and written rows carry them.
    QList<std::pair<QString, QString>> kind{};
    // A further condition on the category's rows (without "WHERE"), for
    // reading, listing and removing.
    MRV_Sql filter{};
    // The statement that reads the whole category, when the manager has one
    // of its own: the key columns for a business object, the rows for a
    // table.
    MRV_Sql readAll{};
    // A further condition of the removal phase (without "WHERE").
    MRV_Sql removalFilter{};
    // Business objects: the target SELECT of the keys the removal phase
    // removes, when the manager has one of its own.
    MRV_Sql removalSelect{};

    QList<MRV_Reference> references{};
    // Records whose key the host generates: a record is matched by this
    // name column in the target (for a business object, the description's
    // element when it is the description column); a new row of a table
    // gets the next free key (resolveTargetKey), a new business object the
    // host's.
    QString generatedKeyName{};
    // Further (column, record element) pairs that, with generatedKeyName,
    // name such a record: a bank is its code within its country.
    QList<std::pair<QString, QString>> generatedKeyAlso{};
    // The statement whose first value is the target's highest key of such
    // a table, when the manager has one of its own; else MAX of the key.
    MRV_Sql highestKey{};
    // The host's key counter (ONNM "ObjectCode") to move past rows inserted.
    int autoKeyObject = 0;
    // Records that refer to a parent record of the same table: read and
    // written parents first, removed children first.
    QString parentColumn{};
    QString parentElement{};
    // Further (column, record element) pairs naming such a record of the
    // same table that comes first: a partner's channel partner as well as
    // its parent.
    QList<std::pair<QString, QString>> parentsAlso{};
    // A table whose rows travel with a row of parentTable: the pairs are
    // (column here, key column there).
    QString parentTable{};
    QList<std::pair<QString, QString>> links{};
    // Rows that no category brings and the category's records name (a
    // level's dunning terms, a partner's industries): read whole with the
    // records, written before them whatever the order of declaration, and
    // never removed, since records of other categories may name them too.
    bool companion = false;
    // Table rows: where a row may still be used, so that it is not deleted.
    QList<MRV_Use> usedBy{};

    // Settings: the record's element, and the values it carries, in this
    // order. For "OADM" they are properties of the company's administration
    // information; for another table they are columns of its rows, one row
    // per value of the key columns.
    QString settingsElement{};
    QStringList settings{};
    // Settings the record carries for the reader that the target does not
    // take from it: read with the others, never written.
    QStringList settingsNotWritten{};

    // The columns that name a record's parents in the same table.
    QStringList parentColumns() const {
        QStringList columns;
        if (!parentColumn.isEmpty())
            columns << parentColumn;
        for (const auto& [column, element] : parentsAlso)
            columns << column;
        return columns;
    }

    // The record element that holds a column, as the declaration pairs
    // them (table rows: the column itself); empty where it does not say.
    QString elementOf(const QString& column) const {
        if (!isObject())
            return column;
        if (const qsizetype key = keyColumns.indexOf(column); key >= 0)
            return keyElements.value(key);
        if (column == descriptionColumn)
            return descriptionElement;
        if (column == parentColumn)
            return parentElement;
        for (const auto& pairs : {generatedKeyAlso, parentsAlso})
            for (const auto& [paired, element] : pairs)
                if (paired == column)
                    return element;
        return QString();
    }

    bool isObject() const { return objectType >= 0; }
    bool isSettings() const { return objectType == Settings; }
    bool isChild() const { return !parentTable.isEmpty(); }
};
