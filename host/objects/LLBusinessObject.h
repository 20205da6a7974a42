#pragma once

#include "host/objects/LLHostObject.h"
#include "host/objects/LLObjectCatalog.h"
#include "host/objects/LLTableShape.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QVariantList>

#include <memory>
#include <optional>

class QXmlStreamReader;

namespace LLObjectsCOM {

struct CompanyState;

// One business object of the host, for any object type of the catalogue:
// it holds one record (main row and lines) in memory, reads and writes it
// as the host's record document, and adds, updates or removes it in the
// company with the host's checks. Every write is atomic.
class BusinessObject : public HostObject {
public:
    static constexpr int UserFieldsType = 152;
    static constexpr int UserTablesType = 153;

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
    // A row's values as document text by position in its table's shape;
    // empty where the record does not say.
    using Row = QList<std::optional<QString>>;
    using Shape = std::shared_ptr<const TableShape>;
    // Rows with the shape their positions refer to.
    struct Rows {
        Shape shape;
        QList<Row> rows;
    };

    int fail(int code, const QString& text) const;
    // How table (the main table or a line table) reads and writes now; null
    // with the last error set when it cannot be had.
    Shape shape(const QString& table) const;
    // The shape of the main table or a line table now, with the rows held
    // moved over to it (a user-defined field may have come or gone).
    Shape mainShape() const;
    Shape lineShape(const QString& table) const;
    void conform(Rows& rows, const Shape& now) const;
    // The main table's position of a property (and whether it holds a
    // password); throws ComError for a name the object does not have.
    int propertyIndex(const QString& name, bool* secret) const;
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
    bool deleteLines(const TableShape& lines, const QVariantList& linkValues);
    bool writeChildren(const TableShape& main, bool replace);
    // Gives a line with a number of its own a free one.
    bool numberLine(const TableShape& lines, const ObjectDefinition::Child& child, Row& row) const;
    bool assignKey(const TableShape& main);
    // True (with the last error set) while a record of another table uses
    // the record with these keys.
    bool inUse(const QVariantList& keys) const;
    // False, with the reason, when the update changes a column that must
    // stay while other rows name the record (fixedby).
    bool keepsFixedColumns(const TableShape& main, const QVariantList& keys) const;
    // The main row's value of a column as text (empty when unset), and
    // setting it.
    QString mainValue(const TableShape& main, const QString& column) const;
    void setMainValue(const TableShape& main, const QString& column, const QString& value);
    // Writes the main row's values of these columns (those it has) into the
    // record with keys.
    bool updateColumns(const TableShape& main, const QStringList& columns,
                       const QVariantList& keys);
    // The user-table objects (153) and user-field objects (152) make and
    // drop the real table or column with their catalogue row.
    bool addUserTable(const TableShape& main);
    bool addUserField(const TableShape& main);
    bool removeUserTable(const TableShape& main);
    bool removeUserField(const TableShape& main);
    // An update of a user field changes its catalogue row only: the name,
    // type and size of the column it describes stay as they were made.
    bool keepsUserFieldColumn(const TableShape& main, const QVariantList& keys) const;
    int inSavepoint(const std::function<bool(const TableShape&)>& work);
    bool exec(const QString& sql, const QVariantList& values) const;

    std::shared_ptr<CompanyState> m_company;
    const ObjectDefinition& m_def;
    // The record held: one main row, and the lines of each line table the
    // object has read or been given. Mutable: moving them to a new shape
    // changes no value.
    mutable Rows m_main;
    mutable QHash<QString, Rows> m_children;
};

} // namespace LLObjectsCOM
