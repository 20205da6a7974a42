#pragma once

#include "host/objects/LLHResult.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace LLObjectsCOM {
class Company;
}
class MRV_ConnectionContext;

// Everything the program says to or asks of its user goes through this one
// interface, so the same core runs behind the windows, in a terminal and in
// tests: the message functions, the host's own message box and status bar,
// status text, progress, the wait cursor, file and folder choosers, and the
// company login a worksheet needs while it opens.
//
// One implementation is current for the process; without one installed, a
// quiet implementation writes messages to the log and takes default answers.
class MRV_Interaction {
public:
    // Buttons as the message functions return them.
    enum Button { ButtonOK = 1, ButtonCancel = 2, ButtonYes = 6, ButtonNo = 7 };
    enum class Kind { Error, Information, Warning, Question };

    virtual ~MRV_Interaction() = default;

    static MRV_Interaction& current();
    // Installs interaction (null: the quiet one again); returns the previous.
    static MRV_Interaction* setCurrent(MRV_Interaction* interaction);

    // The host's current language (a Windows language identifier): every
    // text shown is loaded in it.
    int language() const { return m_language; }
    void setLanguage(int language) { m_language = language; }
    // The text of a string id in that language.
    QString text(quint32 id) const;

    // The message functions. As a box: captioned with string 2041, an OK
    // button; otherwise the text goes to the status bar for 5000 ms (errors
    // in bold).
    void error(const QString& text, bool asBox = true);
    void information(const QString& text, bool asBox = true);
    void warning(const QString& text, bool asBox = true);
    // "Operation completed successfully" (string 10018).
    void success(bool asBox = true);
    // Yes/No, or Yes/No/Cancel with cancel; defaultButton 1 to 3 counts the
    // buttons from the left. Returns ButtonYes, ButtonNo or ButtonCancel.
    int question(const QString& text, bool withCancel, int defaultButton);

    // An error box with its own caption, for the failures that end the
    // program.
    void fatal(const QString& caption, const QString& text) {
        messageBox(Kind::Error, caption, text, false, 1);
    }

    // The host's message box: up to three captions (empty ones are not
    // shown), defaultButton counts from 1; returns the number (from 1) of
    // the button pressed.
    virtual int hostMessageBox(const QString& text, int defaultButton,
                               const QStringList& captions) = 0;
    // An error text in the host's status bar.
    virtual void hostStatusError(const QString& text) = 0;

    // Status text; clearAfterMs 0 keeps it.
    virtual void statusText(const QString& text, bool bold, int clearAfterMs) = 0;
    // A progress display from minimum to maximum with a text.
    virtual void progressStart(const QString& text, int minimum, int maximum) = 0;
    virtual void progressPosition(int position) = 0;
    virtual void progressEnd() = 0;
    virtual void setWaitCursor(bool on) = 0;

    // Choosers; an empty result means the user cancelled. filter is in
    // the form "Worksheets (*.xml);;All files (*)".
    virtual QString chooseOpenFile(const QString& title, const QString& folder,
                                   const QString& filter) = 0;
    virtual QString chooseSaveFile(const QString& title, const QString& proposedPath,
                                   const QString& filter) = 0;
    virtual QString chooseFolder(const QString& title, const QString& folder) = 0;

    // Logs company in: the object carries server type, server, trusted
    // flag, database login, company database and user as far as known;
    // the user may pick another company of the server. 0 when company is
    // connected, 1 when the user cancelled.
    virtual int companyLogin(LLObjectsCOM::Company& company) = 0;

    // The copy dialog: base, target and copy options as the context holds
    // them, for the user to confirm (or, where the user can, to change)
    // before anything is written. checkTarget runs the checks a confirmed
    // target must pass and says why it fails; S_OK lets the copy go on. A
    // dialog that lets the user correct the entry runs it on every
    // confirmation and stays open while it fails. True to go on.
    virtual bool confirmCopy(MRV_ConnectionContext& context,
                             const std::function<HRESULT()>& checkTarget) = 0;
    // The copy options and folders, for the user to change (the options
    // dialog). True when the user confirmed changes; without a dialog,
    // false.
    virtual bool changeOptions(MRV_ConnectionContext&) { return false; }
    // A copy run is over (status as the run returned it); the log at
    // logPath holds its records, the file at passwordPath (empty when the
    // run added no user) the first passwords of the users it added.
    virtual void copyCompleted(const QString& logPath, int status, const QString& passwordPath) = 0;

protected:
    // The button a question's default stands for (defaultButton counts from
    // the left among Yes, No and, with cancel, Cancel).
    static int defaultAnswer(bool withCancel, int defaultButton);
    // "error", "information", "warning" or "question".
    static const char* kindName(Kind kind);

    // A message box of kind with the caption and text; buttons are those of
    // the message functions (OK, or Yes/No[/Cancel] for questions).
    virtual int messageBox(Kind kind, const QString& caption, const QString& text, bool withCancel,
                           int defaultButton) = 0;
    // Text for the status bar, cleared after 5000 ms.
    virtual void messageText(Kind kind, const QString& text) {
        statusText(text, kind == Kind::Error, 5000);
    }

private:
    void message(Kind kind, const QString& text, bool asBox);

    int m_language = 1033;
};

// The wait cursor for the life of a scope.
class MRV_WaitCursor {
public:
    MRV_WaitCursor() { MRV_Interaction::current().setWaitCursor(true); }
    ~MRV_WaitCursor() { MRV_Interaction::current().setWaitCursor(false); }
    MRV_WaitCursor(const MRV_WaitCursor&) = delete;
    MRV_WaitCursor& operator=(const MRV_WaitCursor&) = delete;
};

// Installs an interaction for the life of a scope.
class MRV_InteractionScope {
public:
    explicit MRV_InteractionScope(MRV_Interaction& interaction)
        : m_previous(MRV_Interaction::setCurrent(&interaction)) {}
    ~MRV_InteractionScope() { MRV_Interaction::setCurrent(m_previous); }
    MRV_InteractionScope(const MRV_InteractionScope&) = delete;
    MRV_InteractionScope& operator=(const MRV_InteractionScope&) = delete;

private:
    MRV_Interaction* m_previous;
};
