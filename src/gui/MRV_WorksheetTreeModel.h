#pragma once

#include "config/MRV_ChangedDataManager.h"
#include "worksheet/MRV_SelectionObject.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QList>

#include <vector>

class MRV_Worksheet;
class MRV_WorksheetNode;

// The worksheet's category tree as Qt's views see it: one item per node,
// its text, and its selection state as a three-state check box. The states
// live in the worksheet's nodes, which the record grid and the command line
// change the same way. The model adds what only the window has: one step of
// undo (two state maps, the current one and the one before the last change),
// the locks that keep categories from being selected, the selection view
// flag and the dependency display.
class MRV_WorksheetTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // Set on the nodes a shown dependency list names (bool).
    static constexpr int DependencyRole = Qt::UserRole + 1;

    explicit MRV_WorksheetTreeModel(QObject* parent = nullptr);

    // The worksheet shown (null: none); the model does not own it. The undo
    // copy and the dependency display start afresh.
    void setWorksheet(MRV_Worksheet* worksheet);
    MRV_Worksheet* worksheet() const { return m_worksheet; }
    MRV_WorksheetNode* node(const QModelIndex& index) const;
    QModelIndex indexOf(const MRV_WorksheetNode* node) const;

    // A click on the node's check box: an empty box becomes full, a full or
    // greyed one empty, for the node and everything below it; the folders
    // above follow. False when a lock keeps the node as it is.
    bool checkItem(MRV_WorksheetNode* node);
    // Every category on or off; false (and no undo copy taken) when every
    // node has that state already.
    bool selectAllCategories(bool selected);
    // Every record of a category shown record by record, on or off.
    bool selectAllDetails(MRV_WorksheetNode* node, bool selected);
    // The records picked in the grid (all: every one of them).
    void setRecords(MRV_WorksheetNode* node, const QList<MRV_SelectionObject>& records, bool all);

    // A record's value edited in the grid: the undo copy is taken before
    // the edit, and the change counts as the last one after it.
    void beforeEdit() { saveCurrentSelectionStatus(); }
    void afterEdit() { changed(); }

    bool undoAvailable() const { return m_undoAvailable; }
    // Back to the states and edits before the last change; a second undo
    // redoes it.
    void undo();

    // Locks: user-defined elements only between two MS-SQL databases,
    // localized categories only between equal localizations. A lock that
    // turns on clears what it excludes, also in the undo copy. True when
    // either lock changed.
    bool setLocks(bool msSql, bool localization);
    bool msSqlLock() const { return m_msSqlLock; }
    bool localizationLock() const { return m_localizationLock; }
    // A lock keeps the node from being selected.
    bool locked(const MRV_WorksheetNode& node) const;

    // Only nodes selected fully or in part are shown.
    void setSelectionView(bool on);
    bool selectionView() const { return m_selectionView; }
    // Set while the tree is (re)built or changed wholesale: the panes do
    // not react to what they see then.
    bool filling() const { return m_filling; }

    // The dependency display of node: off when it is shown for node
    // already, else on for node. Tells the user what was found.
    void showDependencies(MRV_WorksheetNode* node);
    void hideDependencies();
    const MRV_WorksheetNode* dependencySource() const { return m_source; }
    void setShowAllDependencies(bool on);
    bool showAllDependencies() const { return m_showAll; }
    // Unselected nodes the source needs, and how many of them the current
    // view hides.
    int dependenciesFound() const { return m_found; }
    int dependenciesNotShown() const { return m_notShown; }

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
    // The selection view went on or off.
    void selectionViewChanged(bool on);

private:
    struct Entry {
        int state = 0;
        QList<MRV_SelectionObject> records;
        QList<MRV_ChangedRecord> edits;
    };
    using StateMap = QHash<QString, Entry>;

    void build();
    StateMap snapshot() const;
    // Takes the undo copy before a change.
    void saveCurrentSelectionStatus();
    // Gives the node and everything below it state; returns the state the
    // node ends with (a folder's children may be locked).
    int setState(MRV_WorksheetNode* node, int state);
    bool selectable(const MRV_WorksheetNode& node) const;
    void recount();
    // The nodes to mark: those the source needs, or with every dependency
    // shown, those any selected node needs.
    void updateMarks();
    // After a change by the user: undo possible, worksheet changed, views
    // repainted.
    void changed();
    void repaint(const QList<int>& roles);

    MRV_Worksheet* m_worksheet = nullptr;
    // Tree shape by node index: parent (-1 at the top), children, row.
    std::vector<int> m_parent;
    std::vector<std::vector<int>> m_children;
    std::vector<int> m_row;
    std::vector<int> m_top;
    StateMap m_maps[2];
    int m_current = 0;
    bool m_undoAvailable = false;
    bool m_msSqlLock = false;
    bool m_localizationLock = false;
    bool m_selectionView = false;
    bool m_filling = false;
    const MRV_WorksheetNode* m_source = nullptr;
    bool m_showAll = false;
    QHash<QString, bool> m_marked;
    int m_found = 0;
    int m_notShown = 0;
};
