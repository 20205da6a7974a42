#pragma once

#include "interaction/MRV_Interaction.h"

// The program's user interaction with windows: message boxes, the main
// window's status bar and progress bar, the wait cursor, the platform's
// file and folder dialogs, and the program's own dialogs for logins and
// copies. The host's message box and status bar are the client's, reached
// through the connection context.
class MRV_GuiInteraction : public MRV_Interaction {
public:
    int hostMessageBox(const QString& text, int defaultButton,
                       const QStringList& captions) override;
    void hostStatusError(const QString& text) override;
    void statusText(const QString& text, bool bold, int clearAfterMs) override;
    void progressStart(const QString& text, int minimum, int maximum) override;
    void progressPosition(int position) override;
    void progressEnd() override;
    void setWaitCursor(bool on) override;
    QString chooseOpenFile(const QString& title, const QString& folder,
                           const QString& filter) override;
    QString chooseSaveFile(const QString& title, const QString& proposedPath,
                           const QString& filter) override;
    QString chooseFolder(const QString& title, const QString& folder) override;
    int companyLogin(LLObjectsCOM::Company& company) override;
    bool confirmCopy(MRV_ConnectionContext& context,
                     const std::function<HRESULT()>& checkTarget) override;
    bool changeOptions(MRV_ConnectionContext& context) override;
    void copyCompleted(const QString& logPath, int status, const QString& passwordPath) override;

protected:
    int messageBox(Kind kind, const QString& caption, const QString& text, bool withCancel,
                   int defaultButton) override;

private:
    int m_waits = 0;
};
