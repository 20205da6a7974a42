#pragma once

#include "host/objects/LLSchema.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace LLObjectsCOM {

// What one business object type is: its table, key, properties and lines.
struct ObjectDefinition {
    struct Field {
        QString property;
        QString column;
        bool required = false;
        // A password: stored as a salted hash, never handed out.
        bool secret = false;
    };
    struct Reference {
        QString column;
        QString table;
        QString targetColumn;
    };
    struct Link {
        QString childColumn;
        QString parentColumn;
    };
    struct Child {
        QString table;
        QList<Link> links;
        QString lineColumn;
        // A key of its own across all parents (a contact's number): a value
        // another record holds already, or none, is replaced by the next free.
        QString numberColumn;
        QList<Field> fields;
        QList<Reference> references;

        const Field* fieldByProperty(const QString& property) const;
        const Field* fieldByColumn(const QString& column) const;

        QHash<QString, qsizetype> propertyIndex, columnIndex; // -> position in fields
    };

    int number = 0;
    QString name;
    QString table;
    QList<Field> keys; // in GetByKey order; also properties of the document
    bool autoKey = false;
    QList<Field> fields; // keys first, then the other properties
    QList<Reference> references;
    QList<Link> usedBy; // childColumn = the other table's column, parentColumn = its table
    // Columns that Update must not change while another table's rows name
    // the record (an account with postings keeps its kind and currency).
    struct Fixed {
        Link use; // as in usedBy
        QStringList columns;
    };
    QList<Fixed> fixedBy;
    QList<Child> children;
    QString file;
    int line = 0;

    const Field* fieldByProperty(const QString& property) const;
    const Field* fieldByColumn(const QString& column) const;
    const Child* child(const QString& table) const;

    QHash<QString, qsizetype> propertyIndex, columnIndex; // -> position in fields
};

// The business object types of the host, read from the "*.objects" data
// files (format in host/schema/README.md) and checked against the schema.
class ObjectCatalog {
public:
    static std::optional<ObjectCatalog> load(const QString& folder, const Schema& schema,
                                             QString* error = nullptr);
    // The catalogue compiled into the host, read once.
    static const ObjectCatalog& standard();

    // Adds the objects of one file's text; false with "file:line: what".
    bool addText(const QString& text, const QString& file, const Schema& schema,
                 QString* error = nullptr);

    const ObjectDefinition* object(int number) const;
    const QList<ObjectDefinition>& objects() const { return m_objects; }

    // "CREATE INDEX" statements for every column that a reference of an
    // object names and that no key of its table leads: an Add checks each
    // reference, which without them scans the table it names.
    QStringList referenceIndexes(const Schema& schema) const;

private:
    QList<ObjectDefinition> m_objects;
};

} // namespace LLObjectsCOM
