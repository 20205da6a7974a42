#include "gui/MRV_DetailFormDlg.h"

#include "gui/MRV_Dialog.h"
#include "gui/MRV_FilterTableDlg.h"
#include "gui/MRV_RecordTableModel.h"
#include "gui/MRV_SortTableDlg.h"
#include "gui/MRV_TableSortFilterModel.h"
#include "gui/MRV_WorksheetTreeModel.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetNode.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The in-place edit box over a cell; Enter and leaving the cell keep the
// text, Escape drops it (the view's usual behaviour).
class InPlaceEditDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        MRV_Dialog::name(editor, 909,
                         index.model()->headerData(index.column(), Qt::Horizontal).toString());
        return editor;
    }
};

} // namespace

MRV_DetailFormDlg::MRV_DetailFormDlg(QWidget* parent)
    : QWidget(parent), m_pages(new QStackedWidget(this)), m_note(new QLabel),
      m_grid(new QTableView), m_records(new MRV_RecordTableModel(this)),
      m_shown(new MRV_TableSortFilterModel(this)) {
    setObjectName(QStringLiteral("MRV_DetailFormDlg"));
    m_note->setObjectName(QStringLiteral("ctlNote"));
    m_note->setWordWrap(true);
    m_note->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_note->setTextFormat(Qt::PlainText);
    m_note->setMargin(8);
    auto* scroll = new QScrollArea;
    scroll->setWidget(m_note);
    scroll->setWidgetResizable(true);
    scroll->setBackgroundRole(QPalette::Base);
    m_shown->setSourceModel(m_records);
    m_grid->setObjectName(QStringLiteral("ctlGrid"));
    retranslate();
    m_grid->setModel(m_shown);
    m_grid->setItemDelegate(new InPlaceEditDelegate(m_grid));
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::SelectedClicked);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (!showsRecords())
            return;
        QMenu menu(this);
        const MRV_Interaction& ui = MRV_Interaction::current();
        QAction* filter = menu.addAction(ui.text(32803));
        filter->setObjectName(QStringLiteral("ctl32803"));
        QAction* sort = menu.addAction(ui.text(32804));
        sort->setObjectName(QStringLiteral("ctl32804"));
        QAction* chosen = menu.exec(m_grid->viewport()->mapToGlobal(at));
        if (chosen == filter)
            filterTable();
        else if (chosen == sort)
            sortTable();
    });
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_pages->addWidget(scroll);
    m_pages->addWidget(m_grid);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);
    connect(m_records, &MRV_RecordTableModel::picked, this,
            [this](const QList<MRV_SelectionObject>& records, bool all) {
                if (m_tree && m_node)
                    m_tree->setRecords(m_node, records, all);
            });
    connect(m_records, &MRV_RecordTableModel::aboutToEdit, this, [this] {
        if (m_tree && m_tree->worksheet())
            m_tree->beforeEdit();
    });
    connect(m_records, &MRV_RecordTableModel::edited, this, [this] {
        if (m_tree && m_tree->worksheet())
            m_tree->afterEdit();
        emit recordEdited();
    });
}

void MRV_DetailFormDlg::showNode(MRV_WorksheetNode* node) {
    m_node = node;
    const MRV_DIDataSet* list = nullptr;
    if (node && node->leaf && node->dataAreaFormat == MRV_WorksheetNode::RecordGrid &&
        node->inConfiguration && m_lister) {
        // The records are listed once, the first time the node is shown.
        if (!node->details) {
            const MRV_WaitCursor wait;
            node->details = m_lister(*node);
        }
        list = node->details;
    }
    // Another category has other columns: its own sort and filter start
    // empty. The same category shown again keeps them.
    if (!list || m_records->list() != list) {
        m_shown->setSortRules({});
        m_shown->setFilterRules({});
    }
    m_records->setRecords(list ? node : nullptr, list);
    m_shown->setColumnTypes(m_records->columnTypes());
    if (list) {
        m_grid->resizeColumnsToContents();
        m_pages->setCurrentIndex(1);
        return;
    }
    m_note->setText(node ? (node->noteText.isEmpty() ? node->text : node->noteText) : QString());
    m_pages->setCurrentIndex(0);
}

bool MRV_DetailFormDlg::showsRecords() const {
    return m_records->list() != nullptr && m_pages->currentIndex() == 1;
}

void MRV_DetailFormDlg::refresh() {
    m_records->refresh();
}

QStringList MRV_DetailFormDlg::columnTitles() const {
    QStringList titles;
    for (int c = 0; c < m_records->columnCount(); ++c)
        titles << m_records->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    return titles;
}

bool MRV_DetailFormDlg::sortTable() {
    CLogBase log(u"MRV", u"MRV_DetailFormDlg::sortTable");
    const QStringList titles = columnTitles();
    if (!showsRecords() || titles.isEmpty())
        return false;
    const auto rules = MRV_SortTableDlg::ask(titles, m_shown->sortRules(), this);
    if (!rules)
        return false;
    const MRV_WaitCursor wait;
    m_shown->setSortRules(*rules);
    return true;
}

bool MRV_DetailFormDlg::filterTable() {
    CLogBase log(u"MRV", u"MRV_DetailFormDlg::filterTable");
    const QStringList titles = columnTitles();
    if (!showsRecords() || titles.isEmpty())
        return false;
    const auto rules = MRV_FilterTableDlg::ask(
        titles, m_records->columnTypes(), [this](int c) { return m_records->columnTexts(c); },
        m_shown->filterRules(), this);
    if (!rules)
        return false;
    const MRV_WaitCursor wait;
    m_shown->setFilterRules(*rules);
    return true;
}

void MRV_DetailFormDlg::retranslate() {
    m_grid->setAccessibleName(MRV_Interaction::current().text(21101));
}
