#include "gui/MRV_TrialFindingsDlg.h"

#include "tsframework/CTSBSTR.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

MRV_TrialFindingsDlg::MRV_TrialFindingsDlg(quint32 titleId, const QString& target,
                                           const QString& summary,
                                           const QList<MRV_TrialRun::Finding>& findings,
                                           QWidget* parent, std::function<bool()> approve)
    : MRV_Dialog(titleId, parent), m_model(new QStandardItemModel(this)),
      m_approve(std::move(approve)) {
    CTSBSTR title(language());
    title.FormatId(titleId, target);
    setWindowTitle(title.str());
    setAccessibleName(title.str());
    auto* said = new QLabel(summary, this);
    name(said, 10222, summary);
    said->setWordWrap(true);
    m_model->setHorizontalHeaderLabels(MRV_TrialRun::columnTitles());
    for (const MRV_TrialRun::Finding& f : findings) {
        QList<QStandardItem*> row;
        for (const QString& value : f.shown()) {
            auto* item = new QStandardItem(value);
            item->setEditable(false);
            row << item;
        }
        m_model->appendRow(row);
    }
    auto* table = new QTableView(this);
    name(table, 10231, text(10231));
    table->setModel(m_model);
    table->setSortingEnabled(true);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->horizontalHeader()->setStretchLastSection(true);
    table->resizeColumnsToContents();

    QDialogButtonBox* box = okCancel(false);
    if (m_approve) {
        auto* button = box->addButton(text(10218), QDialogButtonBox::ActionRole);
        name(button, 10218, text(10218));
        connect(button, &QPushButton::clicked, this, [this] {
            if (m_approve())
                accept();
        });
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(said);
    layout->addWidget(table, 1);
    layout->addWidget(box);
    resize(900, 500);
    finish();
}
