#include "gui/MRV_GuiInteraction.h"

#include "di/MRV_ConnectionContext.h"
#include "gui/MRV_ChooseCompanyFormDlg.h"
#include "gui/MRV_CopyCompletedFormDlg.h"
#include "gui/MRV_CopyConfigFormDlg.h"
#include "gui/MRV_CopyOptionsFormDlg.h"
#include "gui/MRV_Dialog.h"
#include "gui/MRV_GUIManager.h"
#include "gui/MRV_LogFileDlg.h"
#include "gui/MRV_MainFrame.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/ui/LLUiApplication.h"
#include "tsframework/CTSBSTR.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

MRV_MainFrame* frame() {
    return MRV_GUIManager::instance().mainFrame();
}

// The window a dialog belongs to: the main window while it is shown.
QWidget* owner() {
    MRV_MainFrame* main = frame();
    return main && main->isVisible() ? main : nullptr;
}

// The arrow while the user is asked, over a wait cursor of long work.
class AskingCursor {
public:
    AskingCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~AskingCursor() { QApplication::restoreOverrideCursor(); }
    AskingCursor(const AskingCursor&) = delete;
    AskingCursor& operator=(const AskingCursor&) = delete;
};

// A file filter as Qt reads it: "XML Files (*.xml)" stays; a bare pattern
// such as "*.txt" is one.
QString qtFilter(const QString& filter) {
    return filter.contains(u'(') || filter.isEmpty()
               ? filter
               : filter + QStringLiteral(" (") + filter + u')';
}

} // namespace

int MRV_GuiInteraction::messageBox(Kind kind, const QString& caption, const QString& text,
                                   bool withCancel, int defaultButton) {
    const AskingCursor arrow;
    QMessageBox box(owner());
    box.setLayoutDirection(MRV_layoutDirection());
    box.setWindowTitle(caption);
    box.setText(text);
    switch (kind) {
    case Kind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case Kind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Kind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Kind::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    // The buttons speak the program's language, not the toolkit's.
    if (kind != Kind::Question) {
        box.setStandardButtons(QMessageBox::Ok);
        box.button(QMessageBox::Ok)->setText(this->text(1));
        box.exec();
        return ButtonOK;
    }
    QList<std::pair<QMessageBox::StandardButton, quint32>> buttons = {{QMessageBox::Yes, 10235},
                                                                      {QMessageBox::No, 10236}};
    if (withCancel)
        buttons.append({QMessageBox::Cancel, 2});
    QStringList texts;
    QList<quint32> ids;
    for (const auto& button : buttons) {
        texts << this->text(button.second);
        ids << button.second;
    }
    texts = MRV_withMnemonics(texts, ids);
    for (qsizetype i = 0; i < buttons.size(); ++i)
        box.addButton(buttons[i].first)->setText(texts[i]);
    const int answer = defaultAnswer(withCancel, defaultButton);
    box.setDefaultButton(answer == ButtonYes  ? QMessageBox::Yes
                         : answer == ButtonNo ? QMessageBox::No
                                              : QMessageBox::Cancel);
    box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
        return ButtonYes;
    case QMessageBox::No:
        return ButtonNo;
    default:
        return withCancel ? ButtonCancel : ButtonNo;
    }
}

int MRV_GuiInteraction::hostMessageBox(const QString& text, int defaultButton,
                                       const QStringList& captions) {
    MRV_ConnectionContext* context = MRV_GUIManager::instance().connectionContext();
    if (context && context->application)
        return context->getApplication().messageBox(text, defaultButton, captions.value(0),
                                                    captions.value(1), captions.value(2));
    // Without the client its box is ours, with the same buttons.
    const AskingCursor arrow;
    QMessageBox box(owner());
    box.setText(text);
    QList<QAbstractButton*> buttons;
    for (const QString& caption : captions)
        if (!caption.isEmpty())
            buttons << box.addButton(caption, QMessageBox::AcceptRole);
    if (defaultButton >= 1 && defaultButton <= buttons.size())
        box.setDefaultButton(static_cast<QPushButton*>(buttons[defaultButton - 1]));
    box.exec();
    return int(buttons.indexOf(box.clickedButton())) + 1;
}

void MRV_GuiInteraction::hostStatusError(const QString& text) {
    MRV_ConnectionContext* context = MRV_GUIManager::instance().connectionContext();
    if (context && context->application)
        context->getApplication().setStatusBarMessage(text, true);
    else
        statusText(text, true, 5000);
}

void MRV_GuiInteraction::statusText(const QString& text, bool bold, int clearAfterMs) {
    if (MRV_MainFrame* main = frame())
        main->setStatusText(text, bold, clearAfterMs);
}

void MRV_GuiInteraction::progressStart(const QString& text, int minimum, int maximum) {
    if (MRV_MainFrame* main = frame())
        main->startProgress(text, minimum, maximum);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MRV_GuiInteraction::progressPosition(int position) {
    if (MRV_MainFrame* main = frame())
        main->setProgressPosition(position);
    // Long work runs on the window's thread: the window repaints between
    // steps, and input waits until the work is done.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MRV_GuiInteraction::progressEnd() {
    if (MRV_MainFrame* main = frame())
        main->endProgress();
}

void MRV_GuiInteraction::setWaitCursor(bool on) {
    if (on) {
        if (m_waits++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_waits > 0 && --m_waits == 0) {
        QApplication::restoreOverrideCursor();
    }
}

QString MRV_GuiInteraction::chooseOpenFile(const QString& title, const QString& folder,
                                           const QString& filter) {
    return QFileDialog::getOpenFileName(owner(), title, folder, qtFilter(filter));
}

QString MRV_GuiInteraction::chooseSaveFile(const QString& title, const QString& proposedPath,
                                           const QString& filter) {
    return QFileDialog::getSaveFileName(owner(), title, proposedPath, qtFilter(filter));
}

QString MRV_GuiInteraction::chooseFolder(const QString& title, const QString& folder) {
    return QFileDialog::getExistingDirectory(owner(), title, folder);
}

int MRV_GuiInteraction::companyLogin(LLObjectsCOM::Company& company) {
    MRV_ConnectionContext* context = MRV_GUIManager::instance().connectionContext();
    if (!context)
        return 1;
    // The dialog fills the company it is given; this one stays the
    // caller's.
    MRV_ConnectionContext::CompanyPtr lent(&company, [](LLObjectsCOM::Company*) {});
    MRV_ChooseCompanyFormDlg dialog(*context, lent, owner());
    return dialog.exec() == QDialog::Accepted && company.Connected() ? 0 : 1;
}

bool MRV_GuiInteraction::confirmCopy(MRV_ConnectionContext& context,
                                     const std::function<HRESULT()>& checkTarget) {
    MRV_CopyConfigFormDlg dialog(context, checkTarget, owner());
    return dialog.exec() == QDialog::Accepted;
}

bool MRV_GuiInteraction::changeOptions(MRV_ConnectionContext& context) {
    MRV_CopyOptionsFormDlg dialog(context, owner());
    return dialog.exec() == QDialog::Accepted;
}

void MRV_GuiInteraction::copyCompleted(const QString& logPath, int status,
                                       const QString& passwordPath) {
    // A run stopped after a failed record is over too: its log says how
    // far it went. A run that broke off says so, with its log.
    if (FAILED(status) && status != E_ABORT) {
        QString text = QStringLiteral("%1\n%2").arg(ComError::textForCode(status), logPath);
        if (!passwordPath.isEmpty()) {
            CTSBSTR passwords(language());
            passwords.FormatId(10209, passwordPath);
            text += u'\n' + passwords.str();
        }
        error(text);
        return;
    }
    MRV_CopyCompletedFormDlg dialog(logPath, owner(), passwordPath);
    dialog.openLog = [](const QString& path) {
        MRV_GUIManager::instance().showLogFile(path, MRV_LogFileDlg::CurrentRun);
    };
    dialog.verify = [](const QString& path) { MRV_GUIManager::instance().verifyCopy(path); };
    dialog.exec();
}
