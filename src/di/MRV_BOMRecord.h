#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class MRV_DOMParser;

// One record document taken apart: the object number of its AdmInfo, and
// its groups (tables) with their rows of fields, in document order. The
// record engine reads key and description values, user-defined fields and
// dependency records from it, changes what the target must receive, and
// writes it back as text with every value escaped.
//
// A dependency record ("dep" inside a row) says that a field of the row
// refers to a record of another table, and names that record by values
// that survive a copy (a name or code instead of an internal key):
//   <dep><tableName>OACT</tableName><fField>InventoryAccount</fField>
//     <fKeyFields><fField>FormatCode</fField></fKeyFields>
//     <fKeyValues><fValue>590000</fValue></fKeyValues></dep>
class MRV_BOMRecord {
public:
    struct Dependency {
        QString table;         // the referenced table
        QString field;         // the referring field of the row
        QStringList keyFields; // columns of the referenced table naming the record
        QStringList keyValues; // their values, in the same order
    };
    struct Field {
        QString name;
        QString value;
    };
    struct Row {
        QList<Field> fields;
        QList<Dependency> dependencies;

        bool has(const QString& name) const { return indexOf(name) >= 0; }
        // The field's value; empty when the row has no such field.
        QString value(const QString& name) const;
        // Replaces the field's value, or appends the field.
        void setValue(const QString& name, const QString& value);
        bool removeField(const QString& name);
        const Dependency* dependency(const QString& field) const;
        qsizetype indexOf(const QString& name) const;
    };
    struct Group {
        QString name;
        QList<Row> rows;
    };

    // False, with the parser's reasons in error, for text that is not a
    // record document (no BOM root with a BO inside).
    bool parse(const QString& xml, QString* error = nullptr);
    // The document with the host's declaration in front.
    QString toXml() const;

    // The AdmInfo object number; 0 when the document has none.
    int objectType() const;
    void setObjectType(int objectType);

    QList<Group>& groups() { return m_groups; }
    const QList<Group>& groups() const { return m_groups; }
    Group* group(const QString& name);
    const Group* group(const QString& name) const;
    // The first row of a table's group; an empty row when there is none.
    Row firstRow(const QString& table) const;

    // The rows of a table read through the host's recordset, wrapped as a
    // record document of object -1. The group is named after the table
    // without its "@"; whatever stands up to the recordset text's own "?>"
    // is dropped.
    static QString tableDocument(const QString& table, const QString& recordsetXml);
    // The group name of a table's rows in such a document.
    static QString groupName(const QString& table);
    // The values of elements in the first row of a table's group, read off
    // a document of the plain shape the program writes (no comments, CDATA,
    // instructions or entities where it looks): a look at a document that
    // parse() reads in full later. Nothing where the document has another
    // shape, for the caller to parse it.
    static std::optional<QStringList> peekFirstRow(const QString& xml, const QString& table,
                                                   const QStringList& elements);
    // The same values by a look where the shape allows, else by a parse
    // (empty for elements the row lacks); nothing for text that does not
    // parse as a record document.
    static std::optional<QStringList> firstRowValues(const QString& xml, const QString& table,
                                                     const QStringList& elements);

    // A row's fields and dependency records as elements, and back from the
    // children of the cursor's element: the body of a record that is not
    // a business object's, such as a category's settings.
    static QString rowXml(const Row& row);
    static Row readRow(MRV_DOMParser& dom);

private:
    QList<Field> m_admin;
    QList<Group> m_groups;
};
