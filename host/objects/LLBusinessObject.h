#pragma once

#include "host/objects/LLHostObject.h"
#include "host/objects/LLObjectCatalog.h"

#include <QHash>
#include <QMap>
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
    using Row = QMap<QString, QString>; // column -> value as document text

    int fail(int code, const QString& text) const;
    // The user-defined columns ("U_…") a table has now.
    QStringList userColumns(const QString& table) const;
    // Property name <-> column of a table (the main table or a child's).
    QString columnOf(const QString& table, const QString& property) const;
    QString propertyOf(const QString& table, const QString& column) const;
    // Whether the column holds a password (hashed in, never handed out).
    bool isSecret(const QString& table, const QString& column) const;
    // Parses one group of rows; false with code and text.
    bool readRows(QXmlStreamReader& xml, const QString& table, QList<Row>& rows, int& code,
                  QString& text) const;
    QList<Row> select(const QString& table, const QStringList& columns, const QVariantList& values,
                      const QString& order, bool* ok) const;
    // Converts a row for writing; false with the code and text set.
    bool sqlValues(const QString& table, const Row& row, QStringList& columns,
                   QVariantList& values) const;
    bool checkReferences(const QString& table, const QList<ObjectDefinition::Reference>& refs,
                         const Row& row) const;
    bool exists(const QVariantList& keyValues, bool* ok) const;
    bool keyValues(QVariantList& values) const;
    // The key values of a record that exists; false (record missing) else.
    bool existingKey(QVariantList& keys) const;
    // The child's link columns and the parent's values for them.
    bool childLinks(const ObjectDefinition::Child& child, const Row& main, QStringList& columns,
                    QVariantList& values) const;
    bool writeChildren(bool replace);
    // Gives a line with a number of its own a free one.
    bool numberLine(const ObjectDefinition::Child& child, Row& row) const;
    bool assignKey();
    // True (with the last error set) while a record of another table uses
    // the record with these keys.
    bool inUse(const QVariantList& keys) const;
    // The user-table objects (153) and user-field objects (152) make and
    // drop the real table or column with their catalogue row.
    bool addUserTable();
    bool addUserField();
    bool removeUserTable();
    bool removeUserField();
    int inSavepoint(const std::function<bool()>& work);
    bool exec(const QString& sql, const QVariantList& values) const;

    std::shared_ptr<CompanyState> m_company;
    const ObjectDefinition& m_def;
    Row m_main;
    QMap<QString, QList<Row>> m_children;
    // The document's columns of each table, quoted, as selected.
    mutable QHash<QString, QStringList> m_selected;
};

} // namespace LLObjectsCOM
