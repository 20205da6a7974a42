#include "gui/MRV_DetailFormDlg.h"

#include "gui/MRV_RecordTableModel.h"
#include "gui/MRV_WorksheetTreeModel.h"
#include "interaction/MRV_Interaction.h"
#include "worksheet/MRV_WorksheetNode.h"

#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QScrollArea>
#include <QSortFilterProxyModel>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// A command's text as the title of the window it opens: "Sort Table..."
// gives "Sort Table".
QString titleOf(quint32 commandId) {
    QString text = MRV_Interaction::current().text(commandId);
    while (text.endsWith(u'.') || text.endsWith(u'\u2026'))
        text.chop(1);
    return text;
}

} // namespace

MRV_DetailFormDlg::MRV_DetailFormDlg(QWidget* parent)
    : QWidget(parent), m_pages(new QStackedWidget(this)), m_note(new QLabel),
      m_grid(new QTableView), m_records(new MRV_RecordTableModel(this)),
      m_shown(new QSortFilterProxyModel(this)) {
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
    m_shown->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_shown->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_grid->setObjectName(QStringLiteral("ctlGrid"));
    m_grid->setAccessibleName(QStringLiteral("Records"));
    m_grid->setModel(m_shown);
    m_grid->setSortingEnabled(true);
    m_grid->sortByColumn(-1, Qt::AscendingOrder);
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
    m_records->setRecords(list ? node : nullptr, list);
    m_shown->setFilterFixedString(QString());
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
    const QStringList titles = columnTitles();
    if (titles.isEmpty())
        return false;
    bool ok = false;
    const QString column =
        QInputDialog::getItem(this, titleOf(521), QString(), titles, 0, false, &ok);
    if (!ok)
        return false;
    const QStringList orders = {QStringLiteral("A \u2192 Z"), QStringLiteral("Z \u2192 A")};
    const QString order = QInputDialog::getItem(this, titleOf(521), column, orders, 0, false, &ok);
    if (!ok)
        return false;
    m_grid->sortByColumn(int(titles.indexOf(column)),
                         order == orders[0] ? Qt::AscendingOrder : Qt::DescendingOrder);
    return true;
}

bool MRV_DetailFormDlg::filterTable() {
    const QStringList titles = columnTitles();
    if (titles.isEmpty())
        return false;
    bool ok = false;
    const QString column =
        QInputDialog::getItem(this, titleOf(522), QString(), titles, 0, false, &ok);
    if (!ok)
        return false;
    const QString text = QInputDialog::getText(this, titleOf(522), column, QLineEdit::Normal,
                                               m_shown->filterRegularExpression().pattern(), &ok);
    if (!ok)
        return false;
    m_shown->setFilterKeyColumn(int(titles.indexOf(column)));
    m_shown->setFilterFixedString(text);
    return true;
}
