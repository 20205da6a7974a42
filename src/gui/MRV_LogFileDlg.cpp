#include "gui/MRV_LogFileDlg.h"

#include "config/MRV_LogFile.h"
#include "interaction/MRV_Interaction.h"

#include <QAbstractTableModel>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The log's rows in the order given, as a table.
class LogRows : public QAbstractTableModel {
public:
    LogRows(const MRV_LogFile& log, QObject* parent)
        : QAbstractTableModel(parent), m_log(log), m_order(log.shownOrder()) {}

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(m_order.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : MRV_LogFile::ColumnCount;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return {};
        return m_log.rows()[m_order[index.row()]].value(index.column());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Vertical)
            return section + 1;
        return m_log.columnTitles().value(section);
    }

private:
    const MRV_LogFile& m_log;
    QList<int> m_order;
};

} // namespace

MRV_LogFileDlg::MRV_LogFileDlg(MRV_ConnectionContext* context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_context(context), m_log(std::make_unique<MRV_LogFile>()),
      m_header(new QLabel(this)), m_table(new QTableView(this)) {
    setObjectName(QStringLiteral("MRV_LogFileDlg"));
    m_header->setObjectName(QStringLiteral("ctlLogHeader"));
    m_header->setTextFormat(Qt::PlainText);
    m_header->setWordWrap(true);
    m_table->setObjectName(QStringLiteral("ctlLogTable"));
    m_table->setAccessibleName(QStringLiteral("Log"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_header);
    layout->addWidget(m_table, 1);
    resize(900, 500);
}

MRV_LogFileDlg::~MRV_LogFileDlg() = default;

HRESULT MRV_LogFileDlg::open(const QString& path) {
    m_log = std::make_unique<MRV_LogFile>(path);
    m_log->setCategoryLookup(MRV_LogFile::templateLookup(m_context));
    // A log that breaks off is shown as far as it reads; the user was told
    // where it broke.
    const HRESULT hr = m_log->loadLogFile();
    if (FAILED(hr) && m_log->rows().isEmpty() && m_log->headerFields().isEmpty())
        return hr;
    setWindowTitle(QFileInfo(path).fileName());
    m_header->setText(m_log->headerFields().join(QStringLiteral("   ")));
    m_table->setModel(new LogRows(*m_log, m_table));
    m_table->resizeColumnsToContents();
    return S_OK;
}
