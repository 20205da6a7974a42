#include "gui/MRV_LogFileDlg.h"

#include "config/MRV_LogFile.h"
#include "config/MRV_LogHeaderInfo.h"
#include "di/MRV_SettingsManager.h"
#include "gui/MRV_LogAdditionalInfoDlg.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"

#include <QAbstractTableModel>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int indicatorRole = Qt::UserRole + 1;
constexpr int indicatorSize = 12;

// The five column indicators, drawn once: sorted descending, ascending,
// filtered, filtered and descending, filtered and ascending.
const QList<QPixmap>& indicatorImages() {
    static const QList<QPixmap> images = [] {
        const auto arrow = [](QPainter& p, QRectF box, bool up) {
            QPainterPath path;
            if (up) {
                path.moveTo(box.center().x(), box.top());
                path.lineTo(box.right(), box.bottom());
                path.lineTo(box.left(), box.bottom());
            } else {
                path.moveTo(box.left(), box.top());
                path.lineTo(box.right(), box.top());
                path.lineTo(box.center().x(), box.bottom());
            }
            path.closeSubpath();
            p.fillPath(path, QColor(40, 40, 40));
        };
        const auto funnel = [](QPainter& p, QRectF box) {
            QPainterPath path;
            path.moveTo(box.left(), box.top());
            path.lineTo(box.right(), box.top());
            path.lineTo(box.center().x() + box.width() / 8, box.center().y());
            path.lineTo(box.center().x() + box.width() / 8, box.bottom());
            path.lineTo(box.center().x() - box.width() / 8, box.bottom() - box.height() / 6);
            path.lineTo(box.center().x() - box.width() / 8, box.center().y());
            path.closeSubpath();
            p.fillPath(path, QColor(30, 90, 170));
        };
        QList<QPixmap> list;
        for (int index = 0; index < 5; ++index) {
            QPixmap image(indicatorSize * 2, indicatorSize * 2);
            image.setDevicePixelRatio(2);
            image.fill(Qt::transparent);
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            const QRectF whole(1, 2, indicatorSize - 2, indicatorSize - 4);
            switch (index) {
            case MRV_LogFileDlg::Descending:
            case MRV_LogFileDlg::Ascending:
                arrow(p, whole, index == MRV_LogFileDlg::Ascending);
                break;
            case MRV_LogFileDlg::Filtered:
                funnel(p, QRectF(1, 1, indicatorSize - 2, indicatorSize - 2));
                break;
            default:
                funnel(p, QRectF(0, 1, indicatorSize / 2 + 1, indicatorSize - 2));
                arrow(p, QRectF(indicatorSize / 2 + 1, 3, indicatorSize / 2 - 1, indicatorSize - 6),
                      index == MRV_LogFileDlg::FilteredAscending);
            }
            list << image;
        }
        return list;
    }();
    return images;
}

// A header that shows a column's indicator at the right of its title.
class IndicatorHeader : public QHeaderView {
public:
    explicit IndicatorHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

protected:
    void paintSection(QPainter* painter, const QRect& rect, int section) const override {
        painter->save();
        QHeaderView::paintSection(painter, rect, section);
        painter->restore();
        const int index = model()
                              ? model()->headerData(section, orientation(), indicatorRole).toInt()
                              : MRV_LogFileDlg::None;
        if (index < 0 || index >= indicatorImages().size() || rect.width() < indicatorSize * 2)
            return;
        const QPoint at(rect.right() - indicatorSize - 3,
                        rect.top() + (rect.height() - indicatorSize) / 2);
        painter->drawPixmap(at, indicatorImages()[index]);
    }
    QSize sectionSizeFromContents(int section) const override {
        QSize size = QHeaderView::sectionSizeFromContents(section);
        size.rwidth() += indicatorSize + 6;
        return size;
    }
};

QString oneLine(QString text) {
    return text.replace(u'\r', u' ').replace(u'\n', u' ').replace(u'\t', u' ');
}

} // namespace

// The log's rows in the order shown, with the column indicators in the
// header. The rows stay the log's; only the order is the model's.
class MRV_LogRowsModel : public QAbstractTableModel {
public:
    MRV_LogRowsModel(const QStringList& titles, QObject* parent)
        : QAbstractTableModel(parent), m_titles(titles),
          m_indicators(int(titles.size()), MRV_LogFileDlg::None) {}

    void setRows(const QList<MRV_LogFile::Row>* rows, QList<int> order) {
        beginResetModel();
        m_rows = rows;
        m_order = std::move(order);
        endResetModel();
    }
    // The same rows in another order.
    void reorder(QList<int> order) {
        emit layoutAboutToBeChanged();
        m_order = std::move(order);
        emit layoutChanged();
    }
    const QList<int>& order() const { return m_order; }
    void setIndicators(const QList<int>& indicators) {
        m_indicators = indicators;
        emit headerDataChanged(Qt::Horizontal, 0, int(m_titles.size()) - 1);
    }
    int indicator(int column) const { return m_indicators.value(column, MRV_LogFileDlg::None); }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() || !m_rows ? 0 : int(m_order.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(m_titles.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !index.isValid())
            return {};
        const MRV_LogFile::Row& row = (*m_rows)[m_order[index.row()]];
        return index.column() < row.size() ? row[index.column()] : MRV_LogFileDlg::Missing;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Vertical)
            return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
        if (role == Qt::DisplayRole)
            return m_titles.value(section);
        if (role == indicatorRole)
            return indicator(section);
        return {};
    }

private:
    QStringList m_titles;
    QList<int> m_indicators;
    const QList<MRV_LogFile::Row>* m_rows = nullptr;
    QList<int> m_order;
};

MRV_LogFileDlg::MRV_LogFileDlg(MRV_ConnectionContext* context, QWidget* parent)
    : MRV_Dialog(130, parent), m_context(context), m_log(std::make_unique<MRV_LogFile>()),
      m_table(control<QTableView>(1048)),
      m_model(new MRV_LogRowsModel(MRV_LogFile::columnTitles(language()), this)) {
    setObjectName(QStringLiteral("MRV_LogFileDlg"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);
    m_table->setAccessibleName(text(2004));
    m_table->setHorizontalHeader(new IndicatorHeader(m_table));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setShowGrid(true);
    m_table->setWordWrap(false);
    m_table->setSortingEnabled(false);
    m_table->horizontalHeader()->setSectionsClickable(true);
    m_table->horizontalHeader()->setHighlightSections(false);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    connect(m_table->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &MRV_LogFileDlg::sortByColumn);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_table, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        QAction* filter = menu.addAction(text(32803));
        filter->setObjectName(QStringLiteral("ctl32803"));
        QAction* sort = menu.addAction(text(32804));
        sort->setObjectName(QStringLiteral("ctl32804"));
        QAction* chosen = menu.exec(m_table->viewport()->mapToGlobal(at));
        if (chosen == filter)
            emit filterRequested();
        else if (chosen == sort)
            emit sortRequested();
    });

    auto* info = control<QPushButton>(1047, 131);
    auto* print = control<QPushButton>(1074, 159);
    auto* excel = control<QPushButton>(1075, 57345);
    connect(info, &QPushButton::clicked, this, &MRV_LogFileDlg::showAdditionalInfo);
    connect(print, &QPushButton::clicked, this, [this] { printLog(); });
    connect(excel, &QPushButton::clicked, this, [this] { saveAsExcel(); });
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {info, print, excel}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    buttons->addWidget(okCancel(false));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    resize(1000, 560);
    finish();
}

MRV_LogFileDlg::~MRV_LogFileDlg() = default;

HRESULT MRV_LogFileDlg::open(const QString& path, int mode) {
    m_mode = mode;
    // The run just made is there to be approved; another log names its file.
    setWindowTitle(mode == CurrentRun ? text(129)
                                      : QString(CTSBSTR(language()).FormatId(130, path)));
    setAccessibleName(windowTitle());
    m_log = std::make_unique<MRV_LogFile>(path);
    m_log->setCategoryLookup(MRV_LogFile::templateLookup(m_context));
    m_sortRules.clear();
    m_filterRules.clear();
    m_filtered = false;
    m_lastColumn = -1;
    const HRESULT hr = m_log->loadLogFile();
    m_visible = QList<bool>(m_log->rows().size(), true);
    if (FAILED(hr) && m_log->rows().isEmpty() && m_log->headerFields().isEmpty()) {
        InsertItems();
        return hr;
    }
    InsertItems();
    // As first shown: by category number, then by transaction type.
    QList<int> first = m_log->shownOrder();
    first.removeIf([](int row) { return row >= MaxRows; });
    m_model->reorder(std::move(first));
    updateIndicators();
    m_table->resizeColumnsToContents();
    for (int column = 0; column < m_model->columnCount({}); ++column)
        m_table->setColumnWidth(column, std::min(m_table->columnWidth(column), 320));
    return S_OK;
}

QStringList MRV_LogFileDlg::columnTitles() const {
    return m_log->columnTitles().isEmpty() ? MRV_LogFile::columnTitles(language())
                                           : m_log->columnTitles();
}

QList<MRV_ColumnType> MRV_LogFileDlg::columnTypes() const {
    // Every value of a log is text: category numbers like 1.10 too.
    return QList<MRV_ColumnType>(MRV_LogFile::ColumnCount, MRV_ColumnType::Text);
}

QStringList MRV_LogFileDlg::columnTexts(int column) const {
    QStringList texts;
    texts.reserve(m_log->rows().size());
    for (const MRV_LogFile::Row& row : m_log->rows())
        texts << row.value(column);
    return texts;
}

QList<int> MRV_LogFileDlg::shownRows() const {
    return m_model->order();
}

void MRV_LogFileDlg::InsertItems() {
    QList<int> order;
    const int count = std::min<int>(int(m_log->rows().size()), MaxRows);
    order.reserve(count);
    for (int row = 0; row < count; ++row)
        if (!m_filtered || m_visible.value(row, true))
            order << row;
    m_model->setRows(&m_log->rows(), std::move(order));
}

void MRV_LogFileDlg::sortByColumn(int column) {
    if (m_model->rowCount({}) <= 1 || column < 0 || column >= MRV_LogFile::ColumnCount)
        return;
    m_lastAscending = column == m_lastColumn ? !m_lastAscending : true;
    m_lastColumn = column;
    ApplySortRules({MRV_SortRule{column, m_lastAscending}});
}

void MRV_LogFileDlg::ApplySortRules(const QList<MRV_SortRule>& rules) {
    m_sortRules = rules;
    updateIndicators();
    if (m_model->rowCount({}) <= 1)
        return;
    const QList<MRV_ColumnType> types = columnTypes();
    const QLocale locale;
    const QList<MRV_LogFile::Row>& rows = m_log->rows();
    QList<int> order = m_model->order();
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return MRV_TableRules::compareRows(rows[a], false, rows[b], false, m_sortRules, types,
                                           locale) < 0;
    });
    m_model->reorder(std::move(order));
}

void MRV_LogFileDlg::ApplyFilterRules(const QList<MRV_FilterRule>& rules) {
    m_filterRules = rules;
    const QList<MRV_ColumnType> types = columnTypes();
    const QList<MRV_LogFile::Row>& rows = m_log->rows();
    m_visible.resize(rows.size());
    for (qsizetype row = 0; row < rows.size(); ++row)
        m_visible[row] = MRV_TableRules::passesAll(rows[row], m_filterRules, types);
    m_filtered = true;
    updateIndicators();
    InsertItems();
}

void MRV_LogFileDlg::UnApplyFilterRules() {
    m_filtered = false;
    updateIndicators();
    InsertItems();
}

MRV_LogFileDlg::Indicator MRV_LogFileDlg::indicator(int column) const {
    return Indicator(m_model->indicator(column));
}

void MRV_LogFileDlg::updateIndicators() {
    QList<int> indicators;
    for (int column = 0; column < MRV_LogFile::ColumnCount; ++column) {
        const auto sorted =
            std::find_if(m_sortRules.cbegin(), m_sortRules.cend(),
                         [column](const MRV_SortRule& r) { return r.column == column; });
        const bool filtered =
            m_filtered &&
            std::any_of(m_filterRules.cbegin(), m_filterRules.cend(),
                        [column](const MRV_FilterRule& r) { return r.column == column; });
        Indicator shown = None;
        if (sorted != m_sortRules.cend())
            shown = filtered ? (sorted->ascending ? FilteredAscending : FilteredDescending)
                             : (sorted->ascending ? Ascending : Descending);
        else if (filtered)
            shown = Filtered;
        indicators << shown;
    }
    m_model->setIndicators(indicators);
}

void MRV_LogFileDlg::showAdditionalInfo() {
    const QLocale locale;
    MRV_LogHeaderInfo::Failure failure;
    const std::optional<MRV_LogHeaderInfo> info =
        MRV_LogHeaderInfo::read(*m_log, locale, language(), &failure);
    if (!info) {
        // A header without its end time has nothing more to tell.
        if (failure.field != 0)
            MRV_Interaction::current().error(failure.message);
        return;
    }
    MRV_LogAdditionalInfoDlg dialog(info->shownValues(locale, language()), this);
    dialog.exec();
}

HRESULT MRV_LogFileDlg::saveAsExcel() {
    MRV_SettingsManager settings(m_context);
    if (m_context)
        settings.updateSettingsFromDatabase();
    return m_log->saveAsExcel(shownRows(), settings.logFileFolder());
}

HRESULT MRV_LogFileDlg::printLog() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(windowTitle());
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return S_FALSE;
    return print(printer);
}

HRESULT MRV_LogFileDlg::print(QPrinter& printer) {
    QList<QStringList> rows;
    for (const int row : shownRows())
        rows << m_log->rows()[row];
    QString error;
    if (printRows(printer, windowTitle(), columnTitles(), rows, &error) < 0) {
        CLogBase(u"MRV", u"MRV_LogFileDlg::OnBnClickedPrint")
            .LogError(u"Printing '%s' failed: %s", m_log->path(), error);
        MRV_Interaction::current().error(text(159) + QStringLiteral(": ") + error);
        return E_FAIL;
    }
    return S_OK;
}

namespace {

QFont printFont() {
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(8);
    return font;
}

// The lines under the titles' line and the rule beneath it.
constexpr int headingLines = 2;

} // namespace

int MRV_LogFileDlg::rowsPerPage(QPrinter& printer) {
    const QFontMetrics metrics(printFont(), &printer);
    const int height = printer.pageLayout().paintRectPixels(printer.resolution()).height();
    return std::max(1, height / std::max(1, metrics.lineSpacing()) - headingLines);
}

int MRV_LogFileDlg::printRows(QPrinter& printer, const QString& documentName,
                              const QStringList& titles, const QList<QStringList>& rows,
                              QString* error) {
    printer.setDocName(documentName);
    QPainter painter;
    if (!painter.begin(&printer)) {
        *error = QStringLiteral("the printer '%1' cannot start the document")
                     .arg(printer.outputFileName().isEmpty() ? printer.printerName()
                                                             : printer.outputFileName());
        return -1;
    }
    const QFont font = printFont();
    painter.setFont(font);
    const QFontMetrics metrics(font, &printer);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const int lineHeight = std::max(1, metrics.lineSpacing());
    const int charWidth = std::max(1, metrics.horizontalAdvance(u'M'));
    const int perPage = rowsPerPage(printer);

    // Each column as wide as its widest value, the widest cut down until the
    // line fits the page.
    const qsizetype columns = titles.size();
    QList<int> widths(columns, 1);
    for (qsizetype c = 0; c < columns; ++c) {
        widths[c] = std::max<int>(1, int(titles[c].size()));
        for (const QStringList& row : rows)
            widths[c] = std::max<int>(widths[c], int(row.value(c, Missing).size()));
    }
    const int available = std::max<int>(int(columns) * 2, page.width() / charWidth);
    const auto total = [&](int cap) {
        int sum = 0;
        for (const int w : widths)
            sum += std::min(w, cap) + 1;
        return sum;
    };
    int cap = *std::max_element(widths.cbegin(), widths.cend());
    while (cap > 1 && total(cap) > available)
        --cap;
    for (int& w : widths)
        w = std::min(w, cap);
    const auto line = [&](const QStringList& values, const QString& missing) {
        QString text;
        for (qsizetype c = 0; c < columns; ++c)
            text += oneLine(c < values.size() ? values[c] : missing)
                        .left(widths[c])
                        .leftJustified(widths[c] + 1);
        return text;
    };

    const QString heading = line(titles, QString());
    int pages = 0;
    for (qsizetype first = 0; first < rows.size() || pages == 0; first += perPage) {
        if (pages > 0 && !printer.newPage()) {
            printer.abort();
            *error = QStringLiteral("page %1 cannot be started").arg(pages + 1);
            return -1;
        }
        ++pages;
        int y = metrics.ascent();
        painter.drawText(0, y, heading);
        painter.drawLine(0, lineHeight + lineHeight / 4, page.width(), lineHeight + lineHeight / 4);
        y += lineHeight * headingLines;
        const qsizetype last = std::min<qsizetype>(rows.size(), first + perPage);
        for (qsizetype row = first; row < last; ++row, y += lineHeight)
            painter.drawText(0, y, line(rows[row], Missing));
    }
    if (!painter.end()) {
        *error = QStringLiteral("the document cannot be finished");
        return -1;
    }
    return pages;
}
