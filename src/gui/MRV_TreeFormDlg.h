#pragma once

#include <QWidget>

class QSortFilterProxyModel;
class QTreeView;
class MRV_Worksheet;
class MRV_WorksheetNode;
class MRV_WorksheetTreeModel;

// The left pane: the worksheet's category tree with its check boxes, the
// full tree or only what is selected (the selection view).
class MRV_TreeFormDlg : public QWidget {
    Q_OBJECT
public:
    explicit MRV_TreeFormDlg(QWidget* parent = nullptr);

    void setWorksheet(MRV_Worksheet* worksheet);
    MRV_WorksheetTreeModel* model() const { return m_model; }
    QTreeView* view() const { return m_view; }
    // The node the user is on; null when none.
    MRV_WorksheetNode* currentNode() const;
    void setCurrentNode(const MRV_WorksheetNode* node);

    void setSelectionView(bool on);
    bool selectionView() const { return m_selectionView; }

signals:
    void currentNodeChanged(MRV_WorksheetNode* node);

private:
    MRV_WorksheetTreeModel* m_model;
    QSortFilterProxyModel* m_selected;
    QTreeView* m_view;
    bool m_selectionView = false;
};
