#pragma once

#include "interaction/MRV_Interaction.h"

#include <QList>

#include <functional>

// An interaction that answers from a script and records what it was shown,
// one line per call ("error: text", "question: text", "progress: 3" ...),
// for tests and for runs without a user. An answer the script lacks is the
// default button (and recorded as "unscripted").
class MRV_ScriptedInteraction : public MRV_Interaction {
public:
    // Answers for questions (ButtonYes/No/Cancel) and host message boxes
    // (button numbers), taken in order.
    QList<int> answers;
    // Answers for the choosers, taken in order; "" cancels.
    QList<QString> paths;
    // Logs a company in (0) or cancels (1); without one every login is
    // cancelled.
    std::function<int(LLObjectsCOM::Company&)> login;
    // The answer to the copy dialog.
    bool confirmCopies = true;

    // What was shown, in order. Progress positions are not in it: only the
    // last one and how many there were.
    QStringList transcript;
    int lastProgress = -1;
    int progressSteps = 0;

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
    void copyCompleted(const QString& logPath, int status, const QString& passwordPath) override;

    // The lines of the transcript that start with prefix ("error: " ...).
    QStringList shown(const QString& prefix) const;
    int waitDepth() const { return m_wait; }

protected:
    int messageBox(Kind kind, const QString& caption, const QString& text, bool withCancel,
                   int defaultButton) override;

private:
    int nextAnswer(int fallback);
    QString nextPath(const QString& what);

    int m_wait = 0;
};
