#include "gui/MRV_WelcomeFormDlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

MRV_WelcomeFormDlg::MRV_WelcomeFormDlg(QWidget* parent) : MRV_Dialog(2000, parent) {
    auto* open = control<QLabel>(1008, 2001);
    m_new = control<QRadioButton>(1009, 2002);
    m_existing = control<QRadioButton>(1010, 2003);
    m_logFile = control<QRadioButton>(1011, 2004);
    auto* group = new QButtonGroup(this);
    for (QRadioButton* radio : {m_new, m_existing, m_logFile})
        group->addButton(radio);
    m_new->setChecked(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(open);
    for (QRadioButton* radio : {m_new, m_existing, m_logFile})
        layout->addWidget(radio);
    layout->addStretch();
    layout->addWidget(okCancel());
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    finish();
}

MRV_WelcomeFormDlg::Choice MRV_WelcomeFormDlg::choice() const {
    if (m_existing->isChecked())
        return ExistingWorksheet;
    if (m_logFile->isChecked())
        return LogFile;
    return NewWorksheet;
}
