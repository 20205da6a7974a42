#pragma once

#include "host/objects/LLObjectCatalog.h"
#include "host/objects/LLSchema.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>

namespace LLObjectsCOM {

class Database;
class Statement;

// How one table of an object type reads and writes as things stand: the
// document's columns with their properties and types, and the statements
// that read and write it. Made once per database structure and shared by
// every business object of the type, so reading or adding a record does
// not build, hash or parse its SQL again.
struct TableShape {
    enum class Kind { Text, Integer, SmallInt, Numeric, Date, Image };
    struct Column {
        QString name;
        QString quoted;
        QString property; // the document's element
        Kind kind = Kind::Text;
        int length = 0; // characters a text takes at most; 0 unlimited
        bool secret = false;
        bool required = false;
        bool user = false; // a user-defined field
    };
    struct Reference {
        int column = -1; // position in columns
        QString table;
        QString targetColumn;
        Kind targetKind = Kind::Text;
    };

    QString table;
    QString quoted;
    bool isMain = true;
    // The definition's columns, then the user-defined ones by name.
    QList<Column> columns;
    QHash<QString, int> byColumn, byProperty;
    QList<Reference> references;
    QList<int> keyColumns; // the main table's key; a line's parent link
    QString order;         // a line table's line column, quoted

    // Reads the rows by key (main table) or by parent (lines): the
    // columns the document carries, in order of columns.
    std::shared_ptr<Statement> select;
    QList<int> selected;
    // The main table: is there a record with the key.
    std::shared_ptr<Statement> exists;

    // The shape of table (the object's main table or one of its line
    // tables) in db now; null, with the reason, when it cannot be read.
    static std::shared_ptr<const TableShape> of(Database& db, const ObjectDefinition& object,
                                                const QString& table, QString* error);

    // Statements made on first use for one set of columns or references,
    // kept by that set.
    Statement* insert(Database& db, const QList<int>& given, QString* error) const;
    Statement* probe(Database& db, const QList<int>& references, QString* error) const;

    int indexOfProperty(const QString& property) const { return byProperty.value(property, -1); }
    int indexOfColumn(const QString& column) const { return byColumn.value(column, -1); }

private:
    mutable QHash<QByteArray, std::shared_ptr<Statement>> m_inserts, m_probes;
};

} // namespace LLObjectsCOM
