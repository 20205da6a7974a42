#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>

class MRV_ConnectionContext;

// A category's records as the details grid lists them: the key definition
// of the category's main table, the grid's columns, and one row per record
// with its key values and the texts of its columns. Filled by a category
// manager from the base company or from a configuration file.
class MRV_DIDataSet {
public:
    // The types a grid column sorts and filters by: text, number or date.
    enum ColumnType { Text = 0, Number = 2, Date = 3 };

    struct Column {
        QString name;        // database column
        QString element;     // record element of the same value
        QString description; // title for people (the host's field description)
        int type = Text;
        bool editable = false; // may be edited in the grid
    };
    struct Row {
        QVariantList keys;   // one per key column, of the column's type
        QStringList values;  // one per column
        QString description; // the record's description
    };

    void setContext(MRV_ConnectionContext* context) { m_context = context; }
    MRV_ConnectionContext* context() const { return m_context; }

    void setMainTable(const QString& table) { m_mainTable = table; }
    const QString& mainTable() const { return m_mainTable; }

    // The key columns and the element of each in the record documents.
    void setKeys(const QStringList& columns, const QStringList& elements);
    const QStringList& keyColumns() const { return m_keyColumns; }
    const QStringList& keyElements() const { return m_keyElements; }
    // The variant type of each key column (QMetaType id: int or QString).
    void setKeyTypes(const QList<int>& types) { m_keyTypes = types; }
    const QList<int>& keyTypes() const { return m_keyTypes; }
    // A key value as text converted to its key column's type.
    QVariant keyValue(int index, const QString& text) const;

    void setColumns(const QList<Column>& columns) { m_columns = columns; }
    const QList<Column>& columns() const { return m_columns; }
    // The index of the column of a database column's name; -1 when none.
    qsizetype columnIndex(const QString& name) const;
    // Every row's value of the column at index replaced by what shown makes
    // of it (a key shown by its record's name, a code by its text).
    void showColumn(qsizetype index, const std::function<QString(const QString&)>& shown);

    void clearRows() { m_rows.clear(); }
    void addRow(const Row& row) { m_rows << row; }
    void addRow(Row&& row) { m_rows << std::move(row); }
    const QList<Row>& rows() const { return m_rows; }

private:
    MRV_ConnectionContext* m_context = nullptr;
    QString m_mainTable;
    QStringList m_keyColumns;
    QStringList m_keyElements;
    QList<int> m_keyTypes;
    QList<Column> m_columns;
    QList<Row> m_rows;
};
