#include "worksheet/MRV_TableRules.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>

#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

int sign(int value) {
    return (value > 0) - (value < 0);
}

int compareText(const QString& a, const QString& b) {
    return sign(QString::compare(a, b, Qt::CaseInsensitive));
}

// A cell as a finite number; infinities and NaN would break the ordering, so
// they read as no number at all.
std::optional<double> readNumber(const QString& text) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The grid's number reading: the user's group separator dropped and the
// user's decimal separator as a point; what does not read is 0.
double sortNumber(const QString& text, const QLocale& locale) {
    QString plain = text.trimmed();
    const QString group = locale.groupSeparator();
    const QString point = locale.decimalPoint();
    if (!group.isEmpty() && group != point)
        plain.remove(group);
    if (!point.isEmpty() && point != u"."_s)
        plain.replace(point, u"."_s);
    return readNumber(plain).value_or(0.0);
}

QDate readDate(const QString& text, const QLocale& locale) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    for (const QLocale::FormatType format : {QLocale::ShortFormat, QLocale::LongFormat}) {
        const QDate date = locale.toDate(trimmed, format);
        if (date.isValid())
            return date;
        const QDateTime stamp = locale.toDateTime(trimmed, format);
        if (stamp.isValid())
            return stamp.date();
    }
    // Short formats often name a two-digit year; the grid shows four.
    QString longYear = locale.dateFormat(QLocale::ShortFormat);
    if (!longYear.contains(u"yyyy"_s)) {
        longYear.replace(u"yy"_s, u"yyyy"_s);
        if (const QDate date = locale.toDate(trimmed, longYear); date.isValid())
            return date;
    }
    if (const QDate date = QDate::fromString(trimmed, Qt::ISODate); date.isValid())
        return date;
    return QDateTime::fromString(trimmed, Qt::ISODate).date();
}

template <typename T> bool inRange(const T& cell, T first, T second) {
    if (second < first)
        std::swap(first, second);
    return !(cell < first) && !(second < cell);
}

// The rules 1-8 on ordered values.
template <typename T> bool ordered(int rule, const T& cell, const T& value, const T& toValue) {
    switch (rule) {
    case MRV_FilterRule::Equal:
        return cell == value;
    case MRV_FilterRule::NotEqual:
        return !(cell == value);
    case MRV_FilterRule::InRange:
        return inRange(cell, value, toValue);
    case MRV_FilterRule::OutOfRange:
        return !inRange(cell, value, toValue);
    case MRV_FilterRule::Greater:
        return value < cell;
    case MRV_FilterRule::GreaterOrEqual:
        return !(cell < value);
    case MRV_FilterRule::Smaller:
        return cell < value;
    case MRV_FilterRule::SmallerOrEqual:
        return !(value < cell);
    default:
        return false;
    }
}

bool passesText(const QString& cellText, const MRV_FilterRule& rule) {
    const QString cell = cellText.toLower();
    const QString value = rule.value.toLower();
    const QString toValue = rule.toValue.toLower();
    switch (rule.rule) {
    case MRV_FilterRule::InRange:
        // Two empty bounds leave the column unrestricted.
        return (value.isEmpty() && toValue.isEmpty()) || ordered(rule.rule, cell, value, toValue);
    case MRV_FilterRule::OutOfRange:
        return !(value.isEmpty() && toValue.isEmpty()) && ordered(rule.rule, cell, value, toValue);
    case MRV_FilterRule::Contains:
        return cell.contains(value);
    case MRV_FilterRule::NotContains:
        return !cell.contains(value);
    case MRV_FilterRule::StartsWith:
        return cell.startsWith(value);
    case MRV_FilterRule::EndsWith:
        return cell.endsWith(value);
    default:
        return ordered(rule.rule, cell, value, toValue);
    }
}

} // namespace

MRV_ColumnType MRV_columnTypeOf(int code) {
    switch (code) {
    case 2:
    case 4:
        return MRV_ColumnType::Number;
    case 3:
        return MRV_ColumnType::Date;
    default:
        return MRV_ColumnType::Text;
    }
}

int MRV_TableRules::compare(const QString& a, const QString& b, MRV_ColumnType type,
                            const QLocale& locale) {
    switch (type) {
    case MRV_ColumnType::Number: {
        const double x = sortNumber(a, locale);
        const double y = sortNumber(b, locale);
        if (x == 0.0 && y == 0.0)
            return compareText(a, b);
        return (x > y) - (x < y);
    }
    case MRV_ColumnType::Date: {
        const QDate x = readDate(a, locale);
        const QDate y = readDate(b, locale);
        if (!x.isValid() || !y.isValid())
            return compareText(a, b);
        return (x > y) - (x < y);
    }
    default:
        return compareText(a, b);
    }
}

int MRV_TableRules::compareRows(const QStringList& a, bool aSelected, const QStringList& b,
                                bool bSelected, const QList<MRV_SortRule>& rules,
                                const QList<MRV_ColumnType>& types, const QLocale& locale) {
    for (const MRV_SortRule& rule : rules) {
        int result = 0;
        if (rule.column < 0)
            result = int(aSelected) - int(bSelected);
        else
            result = compare(a.value(rule.column), b.value(rule.column),
                             types.value(rule.column, MRV_ColumnType::Text), locale);
        if (result != 0)
            return rule.ascending ? result : -result;
    }
    return 0;
}

bool MRV_TableRules::passes(const QString& cell, const MRV_FilterRule& rule, MRV_ColumnType type) {
    switch (rule.rule) {
    case MRV_FilterRule::None:
        return true;
    case MRV_FilterRule::IsEmpty:
        return cell.trimmed().isEmpty();
    case MRV_FilterRule::IsNotEmpty:
        return !cell.trimmed().isEmpty();
    default:
        break;
    }
    if (rule.rule < MRV_FilterRule::None || rule.rule > MRV_FilterRule::Last)
        return false; // a condition nobody can read hides rather than shows
    if (type != MRV_ColumnType::Number)
        return passesText(cell, rule);
    if (rule.rule >= MRV_FilterRule::Contains)
        return false; // the text-only rules never hold on a number column
    // A number column compares numbers. When the cell or a value the rule
    // needs is not a number, that condition is decided by the text
    // comparison instead, the same fallback the sort uses: rows are neither
    // all let through nor all hidden by a typo, and "Not Equal" stays the
    // exact opposite of "Equal".
    const bool range =
        rule.rule == MRV_FilterRule::InRange || rule.rule == MRV_FilterRule::OutOfRange;
    const std::optional<double> number = readNumber(cell);
    const std::optional<double> value = readNumber(rule.value);
    const std::optional<double> toValue = range ? readNumber(rule.toValue) : value;
    if (!number || !value || !toValue)
        return passesText(cell, rule);
    return ordered(rule.rule, *number, *value, *toValue);
}

bool MRV_TableRules::passesAll(const QStringList& row, const QList<MRV_FilterRule>& rules,
                               const QList<MRV_ColumnType>& types) {
    for (const MRV_FilterRule& rule : rules)
        if (!passes(row.value(rule.column), rule, types.value(rule.column, MRV_ColumnType::Text)))
            return false;
    return true;
}

QList<int> MRV_TableRules::rulesOffered(MRV_ColumnType type) {
    QList<int> rules;
    for (int rule = MRV_FilterRule::Equal; rule <= MRV_FilterRule::Last; ++rule)
        if (type != MRV_ColumnType::Number || rule < MRV_FilterRule::Contains ||
            rule > MRV_FilterRule::EndsWith)
            rules << rule;
    return rules;
}
