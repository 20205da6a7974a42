#include "gui/MRV_LogAdditionalInfoDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

MRV_LogAdditionalInfoDlg::MRV_LogAdditionalInfoDlg(const QStringList& values, QWidget* parent)
    : MRV_Dialog(150, parent) {
    setObjectName(QStringLiteral("MRV_LogAdditionalInfoDlg"));
    // Each value is shown as plain text: a company's name is not markup.
    const auto value = [this, &values](int index) {
        auto* label = new QLabel(this);
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setText(values.value(index));
        label->setAccessibleName(values.value(index));
        label->setObjectName(QStringLiteral("value%1").arg(index));
        return label;
    };
    const auto label = [this](quint32 id) {
        auto* widget = new QLabel(text(id), this);
        widget->setTextFormat(Qt::PlainText);
        return widget;
    };

    auto* run = new QFormLayout;
    run->addRow(label(301), value(0));
    auto* times = new QGroupBox(text(151), this);
    auto* timeRows = new QFormLayout(times);
    timeRows->addRow(label(152), value(1));
    timeRows->addRow(label(154), value(2));
    run->addRow(times);
    run->addRow(label(2039), value(3));
    run->addRow(label(2040), value(4));

    auto* options = new QGroupBox(text(155), this);
    auto* optionRows = new QFormLayout(options);
    optionRows->addRow(label(156), value(5));
    optionRows->addRow(label(157), value(6));
    auto* ignore = new QCheckBox(text(158), this);
    ignore->setObjectName(QStringLiteral("ignoreMissingFields"));
    ignore->setAccessibleName(text(158));
    ignore->setChecked(values.value(7) == u"1");
    // It tells what the run did; there is nothing to change.
    ignore->setAttribute(Qt::WA_TransparentForMouseEvents);
    ignore->setFocusPolicy(Qt::NoFocus);
    optionRows->addRow(ignore);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(run);
    layout->addWidget(options);
    layout->addWidget(okCancel(false));
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    finish();
}
