#pragma once

#include "worksheet/MRV_TableRules.h"

#include <QLocale>
#include <QSortFilterProxyModel>

// A table sorted and filtered by the rules of the sort and filter dialogs:
// the cells are the source's display texts, a row's selected flag is the
// check state of its first column. The rules stay when the source is
// filled again, so a refilled table keeps its sort and filter.
class MRV_TableSortFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit MRV_TableSortFilterModel(QObject* parent = nullptr);

    void setSourceModel(QAbstractItemModel* source) override;

    // The sort and filter types of the source's columns.
    void setColumnTypes(const QList<MRV_ColumnType>& types);
    const QList<MRV_ColumnType>& columnTypes() const { return m_types; }

    // No keys: the source's order.
    void setSortRules(const QList<MRV_SortRule>& rules);
    const QList<MRV_SortRule>& sortRules() const { return m_sortRules; }
    void setFilterRules(const QList<MRV_FilterRule>& rules);
    const QList<MRV_FilterRule>& filterRules() const { return m_filterRules; }

    // The locale numbers and dates are read in (the user's by default).
    void setLocale(const QLocale& locale);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QStringList rowTexts(int sourceRow, const QModelIndex& sourceParent) const;
    bool selected(int sourceRow, const QModelIndex& sourceParent) const;
    // Each source row's place in the order of the sort rules, worked out
    // once per sort: the view's sort then compares two numbers, not two
    // rows' texts read anew for every comparison.
    void rankRows() const;

    QList<MRV_ColumnType> m_types;
    QList<MRV_SortRule> m_sortRules;
    QList<MRV_FilterRule> m_filterRules;
    QLocale m_locale;
    mutable QList<int> m_rank; // empty: to be worked out again
};
