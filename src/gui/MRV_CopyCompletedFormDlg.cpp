#include "gui/MRV_CopyCompletedFormDlg.h"

#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

MRV_CopyCompletedFormDlg::MRV_CopyCompletedFormDlg(const QString& logPath, QWidget* parent,
                                                   const QString& passwordPath)
    : MRV_Dialog(2064, parent), m_logPath(logPath) {
    auto* completed = control<QLabel>(1051, 10034);
    QLabel* passwords = nullptr;
    if (!passwordPath.isEmpty()) {
        CTSBSTR text(MRV_Interaction::current().language());
        text.FormatId(10209, passwordPath);
        passwords = new QLabel(text.str(), this);
        passwords->setObjectName(QStringLiteral("passwordFile"));
        passwords->setWordWrap(true);
        passwords->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    auto* logFile = control<QPushButton>(1050, 2004);
    logFile->setEnabled(!logPath.isEmpty());
    auto* verifyRun = control<QPushButton>(10219, 10219);
    verifyRun->setEnabled(!logPath.isEmpty());
    QDialogButtonBox* box = okCancel(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(logFile);
    buttons->addWidget(verifyRun);
    buttons->addStretch();
    buttons->addWidget(box);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(completed);
    if (passwords)
        layout->addWidget(passwords);
    layout->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    connect(logFile, &QPushButton::clicked, this, &MRV_CopyCompletedFormDlg::showLog);
    connect(verifyRun, &QPushButton::clicked, this, [this] {
        if (verify)
            verify(m_logPath);
    });
    finish();
}

void MRV_CopyCompletedFormDlg::showLog() {
    if (!openLog) {
        CLogBase(u"MRV", u"MRV_CopyCompletedFormDlg::OnBnClickedLogFile")
            .LogError(u"No log viewer to open '%s' in", m_logPath);
        return;
    }
    openLog(m_logPath);
    accept();
}
