#include "gui/MRV_CopyConfigFormDlg.h"

#include "di/MRV_ConnectionContext.h"
#include "gui/MRV_ChooseCompanyFormDlg.h"
#include "gui/MRV_CopyOptionsFormDlg.h"
#include "host/objects/LLCompany.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

MRV_CopyConfigFormDlg::MRV_CopyConfigFormDlg(MRV_ConnectionContext& context,
                                             std::function<HRESULT()> checkTarget, QWidget* parent)
    : MRV_Dialog(2060, parent), m_context(context), m_checkTarget(std::move(checkTarget)) {
    auto* targetLabel = control<QLabel>(1021, 2061);
    m_target = control<QLineEdit>(1053, 2061);
    m_target->setReadOnly(true);
    m_target->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
    targetLabel->setBuddy(m_target);
    auto* choose = control<QPushButton>(1019, 8);
    choose->setAccessibleDescription(targetLabel->accessibleName());
    auto* methodLabel = control<QLabel>(1052, 2062);
    m_copyMethod = control<QLabel>(1054);
    auto* options = control<QPushButton>(1035, 2015);

    auto* grid = new QGridLayout;
    grid->addWidget(targetLabel, 0, 0);
    grid->addWidget(m_target, 0, 1);
    grid->addWidget(choose, 0, 2);
    grid->addWidget(methodLabel, 1, 0);
    grid->addWidget(m_copyMethod, 1, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    QLayout* buttons = buttonRow(options);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    // The target the context holds, connected or not.
    QString target = context.targetCompanyName;
    if (target.isEmpty() && context.targetCompany)
        target = context.targetCompany->Connected() ? context.targetCompany->CompanyName()
                                                    : context.targetCompany->CompanyDB;
    m_target->setText(target);
    showCopyMethod();

    connect(choose, &QPushButton::clicked, this, &MRV_CopyConfigFormDlg::chooseTarget);
    connect(options, &QPushButton::clicked, this, [this] {
        MRV_CopyOptionsFormDlg(m_context, this).exec();
        showCopyMethod();
    });
    finish();
}

void MRV_CopyConfigFormDlg::showCopyMethod() {
    // Strings 350 to 353 name the methods 1 to 4.
    const int method = m_context.copyMethod;
    const QString name = method >= 1 && method <= 4 ? text(349 + method) : QString();
    m_copyMethod->setText(name);
    m_copyMethod->setAccessibleName(name);
}

void MRV_CopyConfigFormDlg::chooseTarget() {
    CLogBase log(u"MRV", u"MRV_CopyConfigFormDlg::OnBnClickedTarget");
    MRV_ConnectionContext::CompanyPtr& target = m_context.targetCompany;
    if (!target) {
        if (FAILED(MRV_ConnectionContext::CreateCompanyInstance(target)))
            return;
        // The target is looked for where the base lies.
        const MRV_ConnectionContext::CompanyPtr& source =
            m_context.baseCompany ? m_context.baseCompany : m_context.company;
        if (source) {
            MRV_ChooseCompanyFormDlg::takeServerLogin(*target, *source);
            target->UserName = source->UserName;
        }
    }
    MRV_ChooseCompanyFormDlg dialog(m_context, target, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_context.targetCompanyName = target->CompanyName();
    m_target->setText(m_context.targetCompanyName);
}

void MRV_CopyConfigFormDlg::accept() {
    CLogBase log(u"MRV", u"MRV_CopyConfigFormDlg::OnOK");
    MRV_Interaction& ui = MRV_Interaction::current();
    if (!m_context.targetCompany || !m_context.targetCompany->Connected()) {
        ui.error(text(10063), false);
        return;
    }
    if (!m_checkTarget) {
        log.LogError(u"No check for the target company: the copy cannot be confirmed");
        return;
    }
    const HRESULT hr = m_checkTarget();
    if (hr != S_OK) {
        log.LogInfo(u"The target company was not accepted (0x%X)", hr);
        return;
    }
    QDialog::accept();
}
