#include "gui/MRV_SortTableDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Item data of the column choice: no column, the check box, a column index.
constexpr int NoColumn = -2;

} // namespace

MRV_SortTableDlg::MRV_SortTableDlg(const QStringList& titles, const QList<MRV_SortRule>& current,
                                   QWidget* parent, bool withSelected)
    : MRV_Dialog(2085, parent) {
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    auto* columnHeading = new QLabel(text(2086));
    auto* orderHeading = new QLabel(text(2087));
    grid->addWidget(columnHeading, 0, 0);
    grid->addWidget(orderHeading, 0, 1);
    for (int row = 0; row < RowCount; ++row) {
        auto* column = new QComboBox(this);
        name(column, 1081 + row, text(2086));
        column->addItem(QString(), NoColumn);
        if (withSelected)
            column->addItem(text(20006), -1);
        for (qsizetype c = 0; c < titles.size(); ++c)
            column->addItem(titles[c], int(c));
        auto* order = new QComboBox(this);
        name(order, 1091 + row, text(2087));
        order->addItem(QString());
        order->addItem(text(2089));
        order->addItem(text(2090));
        if (row < current.size()) {
            const int at = column->findData(current[row].column);
            column->setCurrentIndex(at < 0 ? 0 : at);
            if (at >= 0)
                order->setCurrentIndex(current[row].ascending ? 1 : 2);
        }
        grid->addWidget(column, row + 1, 0);
        grid->addWidget(order, row + 1, 1);
        m_columns << column;
        m_orders << order;
    }
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    layout->addLayout(grid);

    auto* clearButton = control<QPushButton>(3, 20005);
    connect(clearButton, &QPushButton::clicked, this, &MRV_SortTableDlg::clear);
    layout->addLayout(buttonRow(clearButton));
    nameById(okButton(), 1, 20003);
    nameById(cancelButton(), 2, 20004);
    finish();
}

QList<MRV_SortRule> MRV_SortTableDlg::rules() const {
    QList<MRV_SortRule> rules;
    for (int row = 0; row < RowCount; ++row) {
        const int column = m_columns[row]->currentData().toInt();
        if (column == NoColumn)
            continue;
        // A column without an order sorts ascending.
        rules << MRV_SortRule{column, m_orders[row]->currentIndex() != 2};
    }
    return rules;
}

void MRV_SortTableDlg::clear() {
    for (int row = 0; row < RowCount; ++row) {
        m_columns[row]->setCurrentIndex(0);
        m_orders[row]->setCurrentIndex(0);
    }
}

std::optional<QList<MRV_SortRule>> MRV_SortTableDlg::ask(const QStringList& titles,
                                                         const QList<MRV_SortRule>& current,
                                                         QWidget* parent) {
    MRV_SortTableDlg dialog(titles, current, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.rules();
}
