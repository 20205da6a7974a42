#include "gui/MRV_FilterTableDlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

#include <algorithm>

MRV_FilterTableDlg::MRV_FilterTableDlg(const QStringList& titles,
                                       const QList<MRV_ColumnType>& types,
                                       const QList<QStringList>& values,
                                       const QList<MRV_FilterRule>& current, QWidget* parent)
    : MRV_Dialog(2066, parent) {
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    const quint32 headings[] = {2067, 2068, 2069, 2070};
    for (int c = 0; c < 4; ++c)
        grid->addWidget(new QLabel(text(headings[c])), 0, c);
    const int rows = int(std::min<qsizetype>(titles.size(), MaxRows));
    for (int row = 0; row < rows; ++row) {
        const MRV_ColumnType type = types.value(row, MRV_ColumnType::Text);
        auto* title = new QLabel(this);
        // A title is shown as it is: no mnemonic, no markup.
        title->setTextFormat(Qt::PlainText);
        name(title, 1081 + row);
        title->setText(titles[row]);
        title->setAccessibleName(titles[row]);

        auto* rule = new QComboBox(this);
        name(rule, 1101 + row, text(2068));
        rule->addItem(QString(), 0);
        for (const int offered : MRV_TableRules::rulesOffered(type))
            rule->addItem(text(quint32(2070 + offered)), offered);

        // Each box is editable as soon as it is made, so that its field
        // comes next in the tab order, before the box to its right.
        const auto valueBox = [&](int id, quint32 textId) {
            auto* box = new QComboBox(this);
            name(box, id, text(textId));
            box->setEditable(true);
            box->setInsertPolicy(QComboBox::NoInsert);
            box->addItem(QString());
            box->addItems(values.value(row));
            box->setCurrentIndex(0);
            return box;
        };
        QComboBox* value = valueBox(1201 + row, 2069);
        QComboBox* toValue = valueBox(1301 + row, 2070);
        title->setBuddy(rule);

        for (const MRV_FilterRule& set : current) {
            if (set.column != row)
                continue;
            rule->setCurrentIndex(std::max(0, rule->findData(set.rule)));
            value->setEditText(set.value);
            toValue->setEditText(set.toValue);
            break;
        }
        connect(rule, &QComboBox::currentIndexChanged, this, [this, row] { updateRow(row); });

        grid->addWidget(title, row + 1, 0);
        grid->addWidget(rule, row + 1, 1);
        grid->addWidget(value, row + 1, 2);
        grid->addWidget(toValue, row + 1, 3);
        m_rules << rule;
        m_values << value;
        m_toValues << toValue;
        updateRow(row);
    }
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(3, 1);
    layout->addLayout(grid);

    auto* clearButton = control<QPushButton>(3, 21007);
    connect(clearButton, &QPushButton::clicked, this, &MRV_FilterTableDlg::clear);
    layout->addLayout(buttonRow(clearButton));
    nameById(okButton(), 1, 21005);
    nameById(cancelButton(), 2, 21006);
    finish();
}

void MRV_FilterTableDlg::updateRow(int row) {
    const int rule = m_rules[row]->currentData().toInt();
    m_toValues[row]->setEnabled(rule == MRV_FilterRule::InRange ||
                                rule == MRV_FilterRule::OutOfRange);
}

QList<MRV_FilterRule> MRV_FilterTableDlg::rules() const {
    QList<MRV_FilterRule> rules;
    for (int row = 0; row < m_rules.size(); ++row) {
        const int rule = m_rules[row]->currentData().toInt();
        if (rule == MRV_FilterRule::None)
            continue;
        const bool range = m_toValues[row]->isEnabled();
        rules << MRV_FilterRule{row, rule, m_values[row]->currentText(),
                                range ? m_toValues[row]->currentText() : QString()};
    }
    return rules;
}

void MRV_FilterTableDlg::clear() {
    for (int row = 0; row < m_rules.size(); ++row) {
        m_rules[row]->setCurrentIndex(0);
        m_values[row]->setCurrentIndex(0);
        m_values[row]->setEditText(QString());
        m_toValues[row]->setCurrentIndex(0);
        m_toValues[row]->setEditText(QString());
    }
}

QStringList MRV_FilterTableDlg::distinctValues(const QStringList& cells) {
    QStringList values;
    QSet<QString> seen;
    for (const QString& cell : cells)
        if (!cell.isEmpty() && !seen.contains(cell)) {
            seen.insert(cell);
            values << cell;
        }
    std::sort(values.begin(), values.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return values;
}

std::optional<QList<MRV_FilterRule>>
MRV_FilterTableDlg::ask(const QStringList& titles, const QList<MRV_ColumnType>& types,
                        const std::function<QStringList(int)>& columnTexts,
                        const QList<MRV_FilterRule>& current, QWidget* parent) {
    QList<QStringList> values;
    for (int c = 0; c < titles.size() && c < MaxRows; ++c)
        values << distinctValues(columnTexts(c));
    MRV_FilterTableDlg dialog(titles, types, values, current, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.rules();
}
