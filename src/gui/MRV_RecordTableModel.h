#pragma once

#include "worksheet/MRV_SelectionObject.h"
#include "worksheet/MRV_TableRules.h"

#include <QAbstractTableModel>

#include <vector>

class MRV_DIDataSet;
class MRV_WorksheetNode;

// A category's records as the grid shows them: the list's columns, and a
// check box in the first column for each record picked. The picks are the
// node's: a fully selected category has every record checked. Cells of
// editable columns after the key column take the user's edits, which are
// kept in the node for the copy run.
class MRV_RecordTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // More records than this are not listed.
    static constexpr int MaxRows = 50000;
    // Shown in the cells of columns a record has no value for.
    static constexpr QStringView MissingCell = u"#########";
    explicit MRV_RecordTableModel(QObject* parent = nullptr);

    void setRecords(MRV_WorksheetNode* node, const MRV_DIDataSet* list);
    MRV_WorksheetNode* node() const { return m_node; }
    const MRV_DIDataSet* list() const { return m_list; }
    // Reads the checks again from the node (after undo or select all).
    void refresh();
    // The records checked now.
    QList<MRV_SelectionObject> checkedRecords() const;
    // The sort and filter types of the columns.
    QList<MRV_ColumnType> columnTypes() const;
    // The texts of a column over every listed record, as shown.
    QStringList columnTexts(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The user checked or unchecked a record: the records now checked, and
    // whether that is all of them.
    void picked(const QList<MRV_SelectionObject>& records, bool all);
    // The user is about to edit a cell, and has edited it: the edit is in
    // the node.
    void aboutToEdit();
    void edited();

private:
    // The key values that find a record in the record documents.
    QList<std::pair<QString, QString>> recordKeys(int row) const;
    QString fieldOf(int column) const;
    QString text(int row, int column) const;

    MRV_WorksheetNode* m_node = nullptr;
    const MRV_DIDataSet* m_list = nullptr;
    std::vector<bool> m_checked;
};
