#include "interaction/MRV_ScriptedInteraction.h"

int MRV_ScriptedInteraction::nextAnswer(int fallback) {
    if (answers.isEmpty()) {
        transcript << QStringLiteral("unscripted: %1").arg(fallback);
        return fallback;
    }
    return answers.takeFirst();
}

QString MRV_ScriptedInteraction::nextPath(const QString& what) {
    if (paths.isEmpty()) {
        transcript << QStringLiteral("unscripted: %1").arg(what);
        return {};
    }
    return paths.takeFirst();
}

int MRV_ScriptedInteraction::messageBox(Kind kind, const QString&, const QString& text,
                                        bool withCancel, int defaultButton) {
    transcript << QStringLiteral("%1: %2").arg(QLatin1String(kindName(kind)), text);
    if (kind != Kind::Question)
        return ButtonOK;
    const int buttons[] = {ButtonYes, ButtonNo, ButtonCancel};
    const int count = withCancel ? 3 : 2;
    return nextAnswer(
        buttons[defaultButton >= 1 && defaultButton <= count ? defaultButton - 1 : 0]);
}

int MRV_ScriptedInteraction::hostMessageBox(const QString& text, int defaultButton,
                                            const QStringList& captions) {
    QStringList shownCaptions;
    for (const QString& c : captions)
        if (!c.isEmpty())
            shownCaptions << c;
    transcript << QStringLiteral("host: %1 [%2]").arg(text, shownCaptions.join(u'|'));
    return nextAnswer(defaultButton);
}

void MRV_ScriptedInteraction::hostStatusError(const QString& text) {
    transcript << QStringLiteral("host status: %1").arg(text);
}

void MRV_ScriptedInteraction::statusText(const QString& text, bool bold, int clearAfterMs) {
    transcript << QStringLiteral("status%1: %2 (%3 ms)")
                      .arg(bold ? QStringLiteral(" bold") : QString(), text)
                      .arg(clearAfterMs);
}

void MRV_ScriptedInteraction::progressStart(const QString& text, int minimum, int maximum) {
    transcript << QStringLiteral("progress start: %1 %2..%3").arg(text).arg(minimum).arg(maximum);
}

void MRV_ScriptedInteraction::progressPosition(int position) {
    // Positions come by the thousand; only the last one and their number
    // are kept.
    lastProgress = position;
    ++progressSteps;
}

void MRV_ScriptedInteraction::progressEnd() {
    transcript << QStringLiteral("progress end");
}

void MRV_ScriptedInteraction::setWaitCursor(bool on) {
    m_wait += on ? 1 : -1;
}

QString MRV_ScriptedInteraction::chooseOpenFile(const QString& title, const QString& folder,
                                                const QString&) {
    transcript << QStringLiteral("open file: %1 in %2").arg(title, folder);
    return nextPath(QStringLiteral("open file"));
}

QString MRV_ScriptedInteraction::chooseSaveFile(const QString& title, const QString& proposedPath,
                                                const QString&) {
    transcript << QStringLiteral("save file: %1 as %2").arg(title, proposedPath);
    return nextPath(QStringLiteral("save file"));
}

QString MRV_ScriptedInteraction::chooseFolder(const QString& title, const QString& folder) {
    transcript << QStringLiteral("folder: %1 in %2").arg(title, folder);
    return nextPath(QStringLiteral("folder"));
}

int MRV_ScriptedInteraction::companyLogin(LLObjectsCOM::Company& company) {
    transcript << QStringLiteral("login");
    return login ? login(company) : 1;
}

QStringList MRV_ScriptedInteraction::shown(const QString& prefix) const {
    QStringList lines;
    for (const QString& line : transcript)
        if (line.startsWith(prefix))
            lines << line.mid(prefix.size());
    return lines;
}

bool MRV_ScriptedInteraction::confirmCopy(MRV_ConnectionContext&,
                                          const std::function<HRESULT()>& checkTarget) {
    transcript << QStringLiteral("copy dialog");
    return confirmCopies && checkTarget() == S_OK;
}

void MRV_ScriptedInteraction::copyCompleted(const QString& logPath, int status,
                                            const QString& passwordPath) {
    transcript << QStringLiteral("copy completed: %1 (%2)").arg(logPath).arg(status);
    if (!passwordPath.isEmpty())
        transcript << QStringLiteral("initial passwords: %1").arg(passwordPath);
}
