#include "gui/MRV_TreeFormDlg.h"

#include "gui/MRV_Dialog.h"
#include "gui/MRV_WorksheetTreeModel.h"
#include "interaction/MRV_Interaction.h"
#include "worksheet/MRV_WorksheetNode.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTreeView>

namespace {

// The selection view: only nodes selected fully or in part. A folder above
// a selected node is never empty itself, so no row needs its parent kept.
class SelectedOnly : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* tree = static_cast<const MRV_WorksheetTreeModel*>(sourceModel());
        if (!tree->selectionView())
            return true;
        const MRV_WorksheetNode* node = tree->node(tree->index(row, 0, parent));
        return node && node->selected != MRV_WorksheetNode::NotSelected;
    }
};

} // namespace

MRV_TreeFormDlg::MRV_TreeFormDlg(QWidget* parent)
    : QWidget(parent), m_model(new MRV_WorksheetTreeModel(this)), m_shown(new SelectedOnly(this)),
      m_view(new QTreeView(this)), m_base(new QLineEdit(this)), m_target(new QLineEdit(this)),
      m_baseLabel(new QLabel(this)), m_targetLabel(new QLabel(this)),
      m_categories(new QLabel(this)) {
    setObjectName(QStringLiteral("MRV_TreeFormDlg"));
    retranslate();
    m_baseLabel->setBuddy(m_base);
    m_targetLabel->setBuddy(m_target);
    m_categories->setBuddy(m_view);
    for (QLineEdit* edit : {m_base, m_target})
        edit->setReadOnly(true);

    m_shown->setSourceModel(m_model);
    m_view->setModel(m_shown);
    m_view->header()->hide();
    m_view->setUniformRowHeights(true);

    auto* layout = new QGridLayout(this);
    // A little room at the window's edge, where a label starts in a
    // language written right to left.
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(m_baseLabel, 0, 0);
    layout->addWidget(m_base, 0, 1);
    layout->addWidget(m_targetLabel, 1, 0);
    layout->addWidget(m_target, 1, 1);
    layout->addWidget(m_categories, 2, 0, 1, 2);
    layout->addWidget(m_view, 3, 0, 1, 2);
    layout->setRowStretch(3, 1);

    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { onChangeSelectedNode(); });
    connect(m_model, &MRV_WorksheetTreeModel::selectionViewChanged, this,
            [this] { refill(currentNode()); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { refill(nullptr); });
    connect(m_model, &MRV_WorksheetTreeModel::selectionChanged, this, [this] {
        // In the selection view a node deselected in the grid leaves it.
        if (m_model->selectionView())
            refill(currentNode());
    });
}

void MRV_TreeFormDlg::retranslate() {
    const MRV_Interaction& ui = MRV_Interaction::current();
    MRV_Dialog::name(m_baseLabel, 902, ui.text(2039));
    MRV_Dialog::name(m_targetLabel, 904, ui.text(2040));
    MRV_Dialog::name(m_categories, 905, ui.text(21100));
    MRV_Dialog::name(m_base, 903, ui.text(2039));
    MRV_Dialog::name(m_target, 906, ui.text(2040));
    MRV_Dialog::name(m_view, 901, ui.text(21100));
}

void MRV_TreeFormDlg::setWorksheet(MRV_Worksheet* worksheet) {
    if (!worksheet) {
        m_base->clear();
        m_target->clear();
    }
    m_model->setWorksheet(worksheet);
}

void MRV_TreeFormDlg::showHeaderData(const QString& base, const QString& target, bool msSqlLock,
                                     bool localizationLock) {
    m_base->setText(base);
    m_target->setText(target);
    m_base->setToolTip(base);
    m_target->setToolTip(target);
    if (m_model->setLocks(msSqlLock, localizationLock))
        onChangeSelectedNode();
}

QString MRV_TreeFormDlg::headerText(const QString& companyName, const QString& database) {
    if (!companyName.isEmpty() && !database.isEmpty())
        return QStringLiteral("%1 / %2").arg(companyName, database);
    return companyName.isEmpty() ? database : companyName;
}

void MRV_TreeFormDlg::refill(const MRV_WorksheetNode* keep) {
    const QSignalBlocker quiet(m_view->selectionModel());
    m_view->setUpdatesEnabled(false);
    m_shown->invalidate();
    m_view->expandAll();
    QModelIndex current = m_shown->mapFromSource(m_model->indexOf(keep));
    if (!current.isValid())
        current = m_shown->index(0, 0);
    m_view->setCurrentIndex(current);
    m_view->setUpdatesEnabled(true);
    onChangeSelectedNode();
}

void MRV_TreeFormDlg::onChangeSelectedNode() {
    if (m_model->filling())
        return;
    emit currentNodeChanged(currentNode());
}

MRV_WorksheetNode* MRV_TreeFormDlg::currentNode() const {
    return m_model->node(m_shown->mapToSource(m_view->currentIndex()));
}

void MRV_TreeFormDlg::setCurrentNode(const MRV_WorksheetNode* node) {
    m_view->setCurrentIndex(m_shown->mapFromSource(m_model->indexOf(node)));
}

void MRV_TreeFormDlg::setSelectionView(bool on) {
    m_model->setSelectionView(on);
}

bool MRV_TreeFormDlg::selectionView() const {
    return m_model->selectionView();
}

void MRV_TreeFormDlg::showDependencies(bool on) {
    if (on)
        m_model->showDependencies(currentNode());
    else
        m_model->hideDependencies();
}

bool MRV_TreeFormDlg::canDisplayDependencies() const {
    const MRV_WorksheetNode* node = currentNode();
    return node && node->hasDependencies;
}

bool MRV_TreeFormDlg::canHideDependencies() const {
    return m_model->dependencySource() != nullptr;
}

bool MRV_TreeFormDlg::undoAvailable() const {
    return m_model->undoAvailable();
}
