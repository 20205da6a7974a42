#include "gui/MRV_TableSortFilterModel.h"

MRV_TableSortFilterModel::MRV_TableSortFilterModel(QObject* parent)
    : QSortFilterProxyModel(parent) {
    // The sort keys decide the order, not a column of the view.
    setDynamicSortFilter(true);
}

void MRV_TableSortFilterModel::setSourceModel(QAbstractItemModel* source) {
    if (sourceModel())
        disconnect(sourceModel(), nullptr, this, nullptr);
    QSortFilterProxyModel::setSourceModel(source);
    if (!source)
        return;
    // The base class looks again only at the one column it sorts by; the
    // rules read any column and the check boxes, so an edited cell or a
    // changed check sorts and filters the table again.
    connect(source, &QAbstractItemModel::dataChanged, this, [this] {
        if (!m_sortRules.isEmpty() || !m_filterRules.isEmpty())
            invalidate();
    });
}

void MRV_TableSortFilterModel::setColumnTypes(const QList<MRV_ColumnType>& types) {
    m_types = types;
    invalidate();
}

void MRV_TableSortFilterModel::setSortRules(const QList<MRV_SortRule>& rules) {
    m_sortRules = rules;
    if (rules.isEmpty()) {
        sort(-1);
        return;
    }
    // lessThan ignores the column; sorting "column 0" just switches sorting
    // on, and invalidate() re-sorts when it was on already.
    sort(0, Qt::AscendingOrder);
    invalidate();
}

void MRV_TableSortFilterModel::setFilterRules(const QList<MRV_FilterRule>& rules) {
    m_filterRules = rules;
    invalidateFilter();
}

void MRV_TableSortFilterModel::setLocale(const QLocale& locale) {
    m_locale = locale;
    invalidate();
}

QStringList MRV_TableSortFilterModel::rowTexts(int sourceRow,
                                               const QModelIndex& sourceParent) const {
    const QAbstractItemModel* source = sourceModel();
    QStringList texts;
    const int columns = source->columnCount(sourceParent);
    texts.reserve(columns);
    for (int c = 0; c < columns; ++c)
        texts
            << source->data(source->index(sourceRow, c, sourceParent), Qt::DisplayRole).toString();
    return texts;
}

bool MRV_TableSortFilterModel::selected(int sourceRow, const QModelIndex& sourceParent) const {
    const QVariant state =
        sourceModel()->data(sourceModel()->index(sourceRow, 0, sourceParent), Qt::CheckStateRole);
    return state.isValid() && state.toInt() == Qt::Checked;
}

bool MRV_TableSortFilterModel::filterAcceptsRow(int sourceRow,
                                                const QModelIndex& sourceParent) const {
    if (m_filterRules.isEmpty())
        return true;
    return MRV_TableRules::passesAll(rowTexts(sourceRow, sourceParent), m_filterRules, m_types);
}

bool MRV_TableSortFilterModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    if (m_sortRules.isEmpty())
        return left.row() < right.row();
    const QModelIndex parent = left.parent();
    // Only the columns the keys name are read.
    const QAbstractItemModel* source = sourceModel();
    const int columns = source->columnCount(parent);
    QStringList a(columns), b(columns);
    for (const MRV_SortRule& rule : m_sortRules) {
        if (rule.column < 0 || rule.column >= columns)
            continue;
        a[rule.column] = source->data(source->index(left.row(), rule.column, parent)).toString();
        b[rule.column] = source->data(source->index(right.row(), rule.column, parent)).toString();
    }
    return MRV_TableRules::compareRows(a, selected(left.row(), parent), b,
                                       selected(right.row(), parent), m_sortRules, m_types,
                                       m_locale) < 0;
}
