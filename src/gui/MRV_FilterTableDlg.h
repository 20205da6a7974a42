#pragma once

#include "gui/MRV_Dialog.h"
#include "worksheet/MRV_TableRules.h"

#include <QList>

#include <functional>
#include <optional>

class QComboBox;

// One condition per table column (at most twenty): a rule offered for the
// column's type, a value chosen among the column's values or typed, and a
// second value for the range rules.
class MRV_FilterTableDlg : public MRV_Dialog {
    Q_OBJECT
public:
    static constexpr int MaxRows = 20;

    // titles and types of the columns; values: each column's distinct
    // values (as many lists as columns, or fewer); current: the conditions
    // shown at start.
    MRV_FilterTableDlg(const QStringList& titles, const QList<MRV_ColumnType>& types,
                       const QList<QStringList>& values, const QList<MRV_FilterRule>& current,
                       QWidget* parent = nullptr);

    // The rows with a rule, in row order.
    QList<MRV_FilterRule> rules() const;
    // Resets every row to no rule and empty values.
    void clear();

    // The distinct values of a column, sorted without case, for the value
    // lists.
    static QStringList distinctValues(const QStringList& cells);

    // Asks for the conditions on a table whose column's texts columnTexts
    // gives (for the value lists); nothing when the user cancels.
    static std::optional<QList<MRV_FilterRule>>
    ask(const QStringList& titles, const QList<MRV_ColumnType>& types,
        const std::function<QStringList(int)>& columnTexts, const QList<MRV_FilterRule>& current,
        QWidget* parent);

private:
    void updateRow(int row);

    QList<QComboBox*> m_rules;
    QList<QComboBox*> m_values;
    QList<QComboBox*> m_toValues;
};
