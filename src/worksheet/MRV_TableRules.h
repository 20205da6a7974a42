#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QLocale;

// How a grid column sorts and filters.
enum class MRV_ColumnType { Text, Number, Date, Selected };

// From a grid column's type code: 0/1 text, 2/4 number, 3 date; anything
// else sorts and filters as text.
MRV_ColumnType MRV_columnTypeOf(int code);

// One sort key: a column (-1 is the record's check box) and its order.
struct MRV_SortRule {
    int column = -1;
    bool ascending = true;
    bool operator==(const MRV_SortRule&) const = default;
};

// One filter condition on a column. The rule numbers are the filter
// dialog's list: 1 Equal, 2 Not Equal, 3 In Range, 4 Out of Range,
// 5 Greater than, 6 Greater or Equal, 7 Smaller than, 8 Smaller or Equal,
// 9 Contains, 10 Does Not Contain, 11 Start with, 12 End with, 13 Is Empty,
// 14 Is Not Empty; 0 is no condition.
struct MRV_FilterRule {
    int column = 0;
    int rule = 0;
    QString value;
    QString toValue;
    bool operator==(const MRV_FilterRule&) const = default;

    enum Rule {
        None = 0,
        Equal,
        NotEqual,
        InRange,
        OutOfRange,
        Greater,
        GreaterOrEqual,
        Smaller,
        SmallerOrEqual,
        Contains,
        NotContains,
        StartsWith,
        EndsWith,
        IsEmpty,
        IsNotEmpty,
        Last = IsNotEmpty
    };
};

// The comparisons behind the sort and filter of the record grid and of the
// log viewer; they know nothing of widgets.
class MRV_TableRules {
public:
    // <0, 0, >0: text without case; numbers with the locale's group
    // separator removed and its decimal separator read as a point, as text
    // when both read 0; dates in the locale (date part), as text when either
    // is not a date.
    static int compare(const QString& a, const QString& b, MRV_ColumnType type,
                       const QLocale& locale);
    // Rows as their values plus a selected flag; the rules are tried in
    // order until one tells the rows apart; descending negates.
    static int compareRows(const QStringList& a, bool aSelected, const QStringList& b,
                           bool bSelected, const QList<MRV_SortRule>& rules,
                           const QList<MRV_ColumnType>& types, const QLocale& locale);
    static bool passes(const QString& cell, const MRV_FilterRule& rule, MRV_ColumnType type);
    // Every condition in order, until one fails.
    static bool passesAll(const QStringList& row, const QList<MRV_FilterRule>& rules,
                          const QList<MRV_ColumnType>& types);
    // The rule numbers offered for a column type, in list order (number
    // columns never offer the text-only rules 9 to 12).
    static QList<int> rulesOffered(MRV_ColumnType type);
};
