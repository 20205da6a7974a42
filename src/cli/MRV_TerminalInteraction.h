#pragma once

#include "interaction/MRV_Interaction.h"

#include <QTextStream>

#include <functional>
#include <optional>

// The interaction of mirrova-cli: messages on the error stream, questions
// answered by a flag or, on a terminal, by the user, a progress bar when
// the error stream is a terminal, and company logins with the password
// from MIRROVA_PASSWORD, a file, or a prompt that does not echo.
class MRV_TerminalInteraction : public MRV_Interaction {
public:
    // in: where answers are read; null reads nothing (no terminal).
    MRV_TerminalInteraction(QTextStream& err, QTextStream* in, bool terminal);

    // Every question is answered so (ButtonYes or ButtonNo); unset, the
    // user is asked on a terminal and otherwise the question goes
    // unanswered: it takes its default and unanswered() says so.
    std::optional<int> fixedAnswer;
    bool unanswered() const { return m_unanswered; }
    // Where the password of a login comes from when MIRROVA_PASSWORD is
    // not set: a file holding it on its first line.
    QString passwordFile;

    int hostMessageBox(const QString& text, int defaultButton,
                       const QStringList& captions) override;
    void hostStatusError(const QString& text) override;
    void statusText(const QString& text, bool bold, int clearAfterMs) override;
    void progressStart(const QString& text, int minimum, int maximum) override;
    void progressPosition(int position) override;
    void progressEnd() override;
    void setWaitCursor(bool) override {}
    QString chooseOpenFile(const QString& title, const QString& folder,
                           const QString& filter) override;
    QString chooseSaveFile(const QString& title, const QString& proposedPath,
                           const QString& filter) override;
    QString chooseFolder(const QString& title, const QString& folder) override;
    int companyLogin(LLObjectsCOM::Company& company) override;
    bool confirmCopy(MRV_ConnectionContext& context,
                     const std::function<HRESULT()>& checkTarget) override;
    void copyCompleted(const QString&, int, const QString&) override {}

    // The password for user, from the environment, the file or a prompt;
    // nothing when none can be had.
    std::optional<QString> password(const QString& user);

protected:
    int messageBox(Kind kind, const QString& caption, const QString& text, bool withCancel,
                   int defaultButton) override;

private:
    // One line from the user after a prompt; nothing without a terminal.
    std::optional<QString> ask(const QString& prompt, bool echo = true);
    void drawProgress();

    QTextStream& m_err;
    QTextStream* m_in;
    bool m_terminal;
    bool m_unanswered = false;
    QString m_progressText;
    int m_minimum = 0;
    int m_maximum = 0;
    int m_position = 0;
    bool m_progress = false;
    int m_drawnFilled = -1;
    int m_drawnPercent = -1;
};
