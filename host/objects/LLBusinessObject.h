#pragma once

#include "host/objects/LLHostObject.h"
#include "host/objects/LLObjectCatalog.h"
#include "host/objects/LLTableShape.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QVariantList>

#include <memory>

class QXmlStreamReader;

namespace LLObjectsCOM {

struct CompanyState;

// One business object of the host, for any object type of the catalogue:
// it holds one record (main row and lines) in memory, reads and writes it
// as the host's record document, and adds, updates or removes it in the
// company with the host's checks. Every write is atomic.
class BusinessObject : public HostObject {
public:
    BusinessObject(std::shared_ptr<CompanyState> company, const ObjectDefinition& definition);

    int ObjectType() const override { return m_def.number; }
    const ObjectDefinition& definition() const { return m_def; }

    // Loads the record with these key values (one per key property, in key
    // order); false, with the last error set, when there is none.
    bool GetByKey(const QVariantList& keys);
    // The record document of what the object holds.
    QString GetAsXML() const;
    // Replaces the properties and lines the document carries; properties it
    // does not name keep their values, a line collection it carries replaces
    // the one held. 0, or an error code with the last error set (nothing is
    // changed then).
    int ReadXml(const QString& xml, int index = 0);
    // 0, or an error code with the last error set.
    int Add();
    int Update();
    int Remove();

    // A property of the main record as document text; null when unset.
    // Throws ComError for a name the object does not have.
    QVariant GetProperty(const QString& name) const;
    void SetProperty(const QString& name, const QVariant& value);

    int GetIDOfName(const QString& name) const override;
    QVariant Invoke(int member, const QVariantList& args) override;
    using HostObject::Invoke;

private:
    using Row = QHash<QString, QString>; // column -> value as document text
    using Shape = std::shared_ptr<const TableShape>;

    int fail(int code, const QString& text) const;
    // The main table's column of a property (and whether it holds a
    // password); throws ComError for a name the object does not have.
    QString propertyColumn(const QString& name, bool* secret) const;
    // How table (the main table or a line table) reads and writes now; null
    // with the last error set when it cannot be had.
    Shape shape(const QString& table) const;
    // Parses one group of rows; false with code and text.
    bool readRows(QXmlStreamReader& xml, const TableShape& shape, QList<Row>& rows, int& code,
                  QString& text) const;
    QList<Row> select(const TableShape& shape, const QVariantList& values, bool* ok) const;
    // Converts a row for writing, in the shape's column order; false with
    // the code and text set.
    bool sqlValues(const TableShape& shape, const Row& row, QList<int>& columns,
                   QVariantList& values) const;
    bool checkReferences(const TableShape& shape, const Row& row) const;
    bool exists(const TableShape& main, const QVariantList& keyValues, bool* ok) const;
    bool keyValues(const TableShape& main, QVariantList& values) const;
    // The key values of a record that exists; false (record missing) else.
    bool existingKey(const TableShape& main, QVariantList& keys) const;
    // The parent's values for a line table's link columns.
    bool childLinks(const ObjectDefinition::Child& child, const TableShape& main, const Row& row,
                    QVariantList& values) const;
    bool insertRow(const TableShape& shape, const Row& row);
    bool writeChildren(const TableShape& main, bool replace);
    // Gives a line with a number of its own a free one.
    bool numberLine(const ObjectDefinition::Child& child, Row& row) const;
    bool assignKey();
    int inSavepoint(const std::function<bool(const TableShape&)>& work);
    bool exec(const QString& sql, const QVariantList& values) const;

    std::shared_ptr<CompanyState> m_company;
    const ObjectDefinition& m_def;
    Row m_main;
    QHash<QString, QList<Row>> m_children;
};

} // namespace LLObjectsCOM
