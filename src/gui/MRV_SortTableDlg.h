#pragma once

#include "gui/MRV_Dialog.h"
#include "worksheet/MRV_TableRules.h"

#include <QList>

#include <optional>

class QComboBox;

// Up to ten sort keys for a table: in each row a column ("[SELECTED]" for
// the record's check box, or one of the table's columns) and an order.
class MRV_SortTableDlg : public MRV_Dialog {
    Q_OBJECT
public:
    static constexpr int RowCount = 10;

    // titles: the table's column titles; current: the keys shown at start.
    // withSelected: whether "[SELECTED]" is offered.
    MRV_SortTableDlg(const QStringList& titles, const QList<MRV_SortRule>& current,
                     QWidget* parent = nullptr, bool withSelected = true);

    // The rows with a column chosen, in row order.
    QList<MRV_SortRule> rules() const;
    // Empties every row.
    void clear();

    // Asks for the keys of a table; nothing when the user cancels.
    static std::optional<QList<MRV_SortRule>>
    ask(const QStringList& titles, const QList<MRV_SortRule>& current, QWidget* parent);

private:
    QList<QComboBox*> m_columns;
    QList<QComboBox*> m_orders;
};
