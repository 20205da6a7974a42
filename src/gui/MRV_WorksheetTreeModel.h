#pragma once

#include "worksheet/MRV_SelectionObject.h"

#include <QAbstractItemModel>
#include <QList>

#include <vector>

class MRV_Worksheet;
class MRV_WorksheetNode;

// The worksheet's category tree as Qt's views see it: one item per node,
// its text, and its selection state as a three-state check box. Checking a
// node selects every category below it that may be selected; the folders
// above show what their children add up to. Every change can be undone.
class MRV_WorksheetTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit MRV_WorksheetTreeModel(QObject* parent = nullptr);

    // The worksheet shown (null: none); the model does not own it.
    void setWorksheet(MRV_Worksheet* worksheet);
    MRV_Worksheet* worksheet() const { return m_worksheet; }
    MRV_WorksheetNode* node(const QModelIndex& index) const;
    QModelIndex indexOf(const MRV_WorksheetNode* node) const;

    // Selects or deselects a node as checking it does.
    bool setSelected(MRV_WorksheetNode* node, bool selected);
    // Every category of the worksheet.
    void selectAll(bool selected);
    // Only the given records of a category (none: not selected); all of
    // them: the whole category.
    void setRecords(MRV_WorksheetNode* node, const QList<MRV_SelectionObject>& records, bool all);

    bool canUndo() const { return !m_undo.empty(); }
    void undo();

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // Some node's selection changed (by the user, select all or undo).
    void selectionChanged();

private:
    struct Snapshot {
        std::vector<std::pair<int, QList<MRV_SelectionObject>>> states;
    };
    void build();
    void remember();
    void changed();
    // The categories at and below node that the user may select.
    QList<MRV_WorksheetNode*> selectableAt(const MRV_WorksheetNode* node) const;

    MRV_Worksheet* m_worksheet = nullptr;
    // Tree shape by node index: parent (-1 at the top), children, row.
    std::vector<int> m_parent;
    std::vector<std::vector<int>> m_children;
    std::vector<int> m_row;
    std::vector<int> m_top;
    std::vector<Snapshot> m_undo;
};
