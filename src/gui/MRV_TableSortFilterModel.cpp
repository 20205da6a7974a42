#include "gui/MRV_TableSortFilterModel.h"

#include <algorithm>
#include <numeric>

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
        m_rank.clear();
        if (!m_sortRules.isEmpty() || !m_filterRules.isEmpty())
            invalidate();
    });
    const auto forget = [this] { m_rank.clear(); };
    connect(source, &QAbstractItemModel::modelReset, this, forget);
    connect(source, &QAbstractItemModel::layoutChanged, this, forget);
    connect(source, &QAbstractItemModel::rowsInserted, this, forget);
    connect(source, &QAbstractItemModel::rowsRemoved, this, forget);
}

void MRV_TableSortFilterModel::setColumnTypes(const QList<MRV_ColumnType>& types) {
    m_types = types;
    m_rank.clear();
    invalidate();
}

void MRV_TableSortFilterModel::setSortRules(const QList<MRV_SortRule>& rules) {
    m_sortRules = rules;
    m_rank.clear();
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
    // The whole table is laid out anew: invalidateFilter() would tell the
    // view of every range of rows hidden, one at a time, which costs the
    // view far more than the filter itself.
    invalidate();
}

void MRV_TableSortFilterModel::setLocale(const QLocale& locale) {
    m_locale = locale;
    m_rank.clear();
    invalidate();
}

QStringList MRV_TableSortFilterModel::rowTexts(int sourceRow,
                                               const QModelIndex& sourceParent) const {
    const QAbstractItemModel* source = sourceModel();
    // Only the columns the rules name are read: every row passes here.
    const int columns = source->columnCount(sourceParent);
    QStringList texts(columns);
    for (const MRV_FilterRule& rule : m_filterRules)
        if (rule.column >= 0 && rule.column < columns && texts[rule.column].isNull())
            texts[rule.column] =
                source->data(source->index(sourceRow, rule.column, sourceParent), Qt::DisplayRole)
                    .toString();
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

void MRV_TableSortFilterModel::rankRows() const {
    const QAbstractItemModel* source = sourceModel();
    const int rows = source ? source->rowCount() : 0;
    const int columns = source ? source->columnCount() : 0;
    // Only the columns the keys name are read, once per row, and held as
    // a short row of their own that the rules, renumbered, compare.
    QList<MRV_SortRule> rules;
    QList<int> read;
    QList<MRV_ColumnType> types;
    for (const MRV_SortRule& rule : m_sortRules) {
        if (rule.column >= columns)
            continue;
        if (rule.column >= 0 && !read.contains(rule.column)) {
            read << rule.column;
            types << m_types.value(rule.column, MRV_ColumnType::Text);
        }
        rules << MRV_SortRule{rule.column < 0 ? rule.column : int(read.indexOf(rule.column)),
                              rule.ascending};
    }
    struct Key {
        QStringList texts;
        bool selected = false;
    };
    std::vector<Key> keys(rows);
    for (int row = 0; row < rows; ++row) {
        keys[row].texts.reserve(read.size());
        for (const int column : read)
            keys[row].texts << source->index(row, column).data().toString();
        keys[row].selected = selected(row, {});
    }
    std::vector<int> order(rows);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return MRV_TableRules::compareRows(keys[a].texts, keys[a].selected, keys[b].texts,
                                           keys[b].selected, rules, types, m_locale) < 0;
    });
    m_rank = QList<int>(rows);
    for (int place = 0; place < rows; ++place)
        m_rank[order[place]] = place;
}

bool MRV_TableSortFilterModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    if (m_sortRules.isEmpty())
        return left.row() < right.row();
    if (m_rank.size() != sourceModel()->rowCount())
        rankRows();
    return m_rank.value(left.row()) < m_rank.value(right.row());
}
