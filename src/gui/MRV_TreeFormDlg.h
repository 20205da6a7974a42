#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTreeView;
class MRV_Worksheet;
class MRV_WorksheetNode;
class MRV_WorksheetTreeModel;

// The left pane: base and target, and the worksheet's category tree with
// its check boxes, the full tree or only what is selected (the selection
// view). The commands of the main window act on it; it tells the details
// pane which node is current.
class MRV_TreeFormDlg : public QWidget {
    Q_OBJECT
public:
    explicit MRV_TreeFormDlg(QWidget* parent = nullptr);
    // The pane's own texts in the host's current language.
    void retranslate();

    // Shows the worksheet (null: none) and makes its first node current.
    void setWorksheet(MRV_Worksheet* worksheet);
    // Base and target as the header shows them, and the locks that follow
    // from them; a lock that changed refills the tree.
    void showHeaderData(const QString& base, const QString& target, bool msSqlLock,
                        bool localizationLock);
    MRV_WorksheetTreeModel* model() const { return m_model; }
    QTreeView* view() const { return m_view; }
    QLineEdit* baseEdit() const { return m_base; }
    QLineEdit* targetEdit() const { return m_target; }
    // The node the user is on; null when none.
    MRV_WorksheetNode* currentNode() const;
    void setCurrentNode(const MRV_WorksheetNode* node);

    void setSelectionView(bool on);
    bool selectionView() const;
    // Display Dependencies (on) for the current node, or Hide Dependencies.
    void showDependencies(bool on);
    bool canDisplayDependencies() const;
    bool canHideDependencies() const;
    bool undoAvailable() const;

    // "company / database", or whichever of them there is.
    static QString headerText(const QString& companyName, const QString& database);

signals:
    void currentNodeChanged(MRV_WorksheetNode* node);

private:
    // After the shown rows changed: open every folder, keep the current
    // node where it can be, and tell who listens.
    void refill(const MRV_WorksheetNode* keep);
    void onChangeSelectedNode();

    MRV_WorksheetTreeModel* m_model;
    QSortFilterProxyModel* m_shown;
    QTreeView* m_view;
    QLineEdit* m_base;
    QLineEdit* m_target;
    QLabel* m_baseLabel;
    QLabel* m_targetLabel;
    QLabel* m_categories;
};
