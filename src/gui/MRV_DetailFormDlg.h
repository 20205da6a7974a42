#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QStackedWidget;
class QTableView;
class MRV_DIDataSet;
class MRV_RecordTableModel;
class MRV_TableSortFilterModel;
class MRV_WorksheetNode;
class MRV_WorksheetTreeModel;

// The right pane: for a category picked record by record, the grid of its
// records with a check box each; for any other node, its note.
class MRV_DetailFormDlg : public QWidget {
    Q_OBJECT
public:
    // Lists a node's records (null when they cannot be listed); the
    // controller knows the base to list them from.
    using Lister = std::function<const MRV_DIDataSet*(MRV_WorksheetNode&)>;

    explicit MRV_DetailFormDlg(QWidget* parent = nullptr);
    // The pane's own texts in the host's current language.
    void retranslate();

    void setTree(MRV_WorksheetTreeModel* tree) { m_tree = tree; }
    void setLister(Lister lister) { m_lister = std::move(lister); }
    // Shows the node (null: nothing).
    void showNode(MRV_WorksheetNode* node);
    MRV_WorksheetNode* node() const { return m_node; }
    // The grid shows the node's records.
    bool showsRecords() const;
    // Reads the checks again from the node.
    void refresh();

    // Open the sort and the filter dialog for the grid and apply what the
    // user set there. False when the user cancelled or no grid is shown.
    bool sortTable();
    bool filterTable();

    QTableView* grid() const { return m_grid; }
    MRV_RecordTableModel* records() const { return m_records; }
    MRV_TableSortFilterModel* shownRecords() const { return m_shown; }

signals:
    // The user edited a record in the grid; the worksheet is changed.
    void recordEdited();

private:
    QStringList columnTitles() const;

    MRV_WorksheetTreeModel* m_tree = nullptr;
    Lister m_lister;
    MRV_WorksheetNode* m_node = nullptr;
    QStackedWidget* m_pages;
    QLabel* m_note;
    QTableView* m_grid;
    MRV_RecordTableModel* m_records;
    MRV_TableSortFilterModel* m_shown;
};
