#include "gui/MRV_TreeFormDlg.h"

#include "gui/MRV_WorksheetTreeModel.h"
#include "worksheet/MRV_WorksheetNode.h"

#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// The selection view: only nodes selected fully or in part, with the
// folders that lead to them.
class SelectedOnly : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    bool on = false;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        if (!on)
            return true;
        const QModelIndex index = sourceModel()->index(row, 0, parent);
        return index.data(Qt::CheckStateRole).toInt() != Qt::Unchecked &&
               index.data(Qt::CheckStateRole).isValid();
    }
};

} // namespace

MRV_TreeFormDlg::MRV_TreeFormDlg(QWidget* parent)
    : QWidget(parent), m_model(new MRV_WorksheetTreeModel(this)),
      m_selected(new SelectedOnly(this)), m_view(new QTreeView(this)) {
    setObjectName(QStringLiteral("MRV_TreeFormDlg"));
    m_selected->setSourceModel(m_model);
    m_selected->setRecursiveFilteringEnabled(true);
    m_view->setModel(m_selected);
    m_view->setObjectName(QStringLiteral("ctlTree"));
    m_view->setAccessibleName(QStringLiteral("Categories"));
    m_view->header()->hide();
    m_view->setUniformRowHeights(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { emit currentNodeChanged(currentNode()); });
    connect(m_model, &MRV_WorksheetTreeModel::selectionChanged, this, [this] {
        if (m_selectionView)
            m_selected->invalidate();
    });
}

void MRV_TreeFormDlg::setWorksheet(MRV_Worksheet* worksheet) {
    m_model->setWorksheet(worksheet);
    m_view->expandToDepth(0);
    emit currentNodeChanged(currentNode());
}

MRV_WorksheetNode* MRV_TreeFormDlg::currentNode() const {
    return m_model->node(m_selected->mapToSource(m_view->currentIndex()));
}

void MRV_TreeFormDlg::setCurrentNode(const MRV_WorksheetNode* node) {
    m_view->setCurrentIndex(m_selected->mapFromSource(m_model->indexOf(node)));
}

void MRV_TreeFormDlg::setSelectionView(bool on) {
    m_selectionView = on;
    static_cast<SelectedOnly*>(m_selected)->on = on;
    m_selected->invalidate();
    m_view->expandAll();
}
