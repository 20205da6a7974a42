#include "cli/MRV_TerminalInteraction.h"

#include "config/MRV_CopyLog.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_Util.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLSecret.h"
#include "tsframework/CTSBSTR.h"

namespace {

// Message texts use CR LF; a terminal wants LF.
QString plain(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

MRV_TerminalInteraction::MRV_TerminalInteraction(QTextStream& err, QTextStream* in, bool terminal)
    : m_err(err), m_in(in), m_terminal(terminal) {}

std::optional<QString> MRV_TerminalInteraction::ask(const QString& prompt, bool echo) {
    if (!m_in || !m_terminal)
        return std::nullopt;
    m_err << prompt << Qt::flush;
    QString line;
    if (echo) {
        line = m_in->readLine();
    } else {
        line = LLObjectsCOM::readLineWithoutEcho(*m_in);
        m_err << '\n';
    }
    if (line.isNull())
        return std::nullopt; // end of input
    return line;
}

int MRV_TerminalInteraction::messageBox(Kind kind, const QString&, const QString& text,
                                        bool withCancel, int defaultButton) {
    if (kind != Kind::Question) {
        if (kind != Kind::Information)
            m_err << kindName(kind) << ": ";
        m_err << plain(text) << '\n' << Qt::flush;
        return ButtonOK;
    }
    const int buttons[] = {ButtonYes, ButtonNo, ButtonCancel};
    const int count = withCancel ? 3 : 2;
    const int fallback =
        buttons[defaultButton >= 1 && defaultButton <= count ? defaultButton - 1 : 0];
    m_err << plain(text) << '\n';
    if (fixedAnswer) {
        m_err << (*fixedAnswer == ButtonYes ? "yes" : "no") << " (answered by the command line)\n"
              << Qt::flush;
        return *fixedAnswer;
    }
    const QString choices =
        withCancel ? QStringLiteral("[y]es, [n]o, [c]ancel? ") : QStringLiteral("[y]es, [n]o? ");
    while (const std::optional<QString> answer = ask(choices)) {
        const QString a = answer->trimmed().toLower();
        if (a == u"y" || a == u"yes")
            return ButtonYes;
        if (a == u"n" || a == u"no")
            return ButtonNo;
        if (withCancel && (a == u"c" || a == u"cancel"))
            return ButtonCancel;
    }
    m_unanswered = true;
    m_err << "(no answer: the question stays unanswered)\n" << Qt::flush;
    return fallback;
}

int MRV_TerminalInteraction::hostMessageBox(const QString& text, int defaultButton,
                                            const QStringList& captions) {
    m_err << plain(text) << '\n';
    QStringList offered;
    for (qsizetype i = 0; i < captions.size(); ++i)
        if (!captions[i].isEmpty())
            offered << QStringLiteral("[%1] %2").arg(i + 1).arg(captions[i]);
    while (const std::optional<QString> answer = ask(offered.join(u' ') + QStringLiteral("? "))) {
        bool ok = false;
        const int button = answer->trimmed().toInt(&ok);
        if (ok && button >= 1 && button <= captions.size() && !captions[button - 1].isEmpty())
            return button;
    }
    if (captions.count(QString()) < captions.size() - 1)
        m_unanswered = true; // more than one button: a choice nobody made
    return defaultButton;
}

void MRV_TerminalInteraction::hostStatusError(const QString& text) {
    m_err << "error: " << plain(text) << '\n' << Qt::flush;
}

void MRV_TerminalInteraction::statusText(const QString& text, bool bold, int) {
    if (text.isEmpty())
        return;
    if (bold) {
        m_err << "error: " << plain(text) << '\n' << Qt::flush;
        return;
    }
    // What the program is doing: one line, overwritten, on a terminal only.
    if (m_terminal && !m_progress)
        m_err << "\r\033[K" << plain(text).left(78) << Qt::flush;
}

void MRV_TerminalInteraction::progressStart(const QString& text, int minimum, int maximum) {
    m_progressText = plain(text);
    m_minimum = minimum;
    m_maximum = maximum;
    m_position = minimum;
    m_progress = true;
    m_drawnFilled = m_drawnPercent = -1;
    drawProgress();
}

void MRV_TerminalInteraction::progressPosition(int position) {
    if (position == m_position)
        return;
    m_position = position;
    drawProgress();
}

void MRV_TerminalInteraction::progressEnd() {
    if (m_progress && m_terminal)
        m_err << "\r\033[K" << Qt::flush;
    m_progress = false;
}

void MRV_TerminalInteraction::drawProgress() {
    if (!m_progress || !m_terminal)
        return;
    const int span = std::max(1, m_maximum - m_minimum);
    const int done = std::clamp(m_position - m_minimum, 0, span);
    const int width = 30;
    const int filled = done * width / span;
    // Positions may come once per element of a file: draw only a change.
    const int percent = done * 100 / span;
    if (filled == m_drawnFilled && percent == m_drawnPercent)
        return;
    m_drawnFilled = filled;
    m_drawnPercent = percent;
    m_err << "\r\033[K[" << QString(filled, u'#') << QString(width - filled, u' ') << "] "
          << percent << "% " << m_progressText.left(40) << Qt::flush;
}

QString MRV_TerminalInteraction::chooseOpenFile(const QString& title, const QString& folder,
                                                const QString&) {
    return ask(QStringLiteral("%1 (in %2): ").arg(plain(title), folder)).value_or(QString());
}

QString MRV_TerminalInteraction::chooseSaveFile(const QString& title, const QString& proposedPath,
                                                const QString&) {
    const std::optional<QString> path =
        ask(QStringLiteral("%1 [%2]: ").arg(plain(title), proposedPath));
    if (!path)
        return QString();
    return path->trimmed().isEmpty() ? proposedPath : path->trimmed();
}

QString MRV_TerminalInteraction::chooseFolder(const QString& title, const QString& folder) {
    const std::optional<QString> path = ask(QStringLiteral("%1 [%2]: ").arg(plain(title), folder));
    if (!path)
        return QString();
    return path->trimmed().isEmpty() ? folder : path->trimmed();
}

std::optional<QString> MRV_TerminalInteraction::password(const QString& user) {
    QString error;
    if (std::optional<QString> given =
            LLObjectsCOM::givenPassword("MIRROVA_PASSWORD", passwordFile, &error))
        return given;
    if (!error.isEmpty()) {
        m_err << "error: " << error << '\n' << Qt::flush;
        return std::nullopt;
    }
    return ask(QStringLiteral("Password of %1: ").arg(user), false);
}

int MRV_TerminalInteraction::companyLogin(LLObjectsCOM::Company& company) {
    m_err << "Log in to " << company.CompanyDB << " on " << company.Server << '\n' << Qt::flush;
    const std::optional<QString> secret = password(company.UserName);
    if (!secret)
        return 1;
    company.Password = *secret;
    MRV_ConnectionContext context;
    return MRV_Util::Connect(company, context) == S_OK && company.Connected() ? 0 : 1;
}

bool MRV_TerminalInteraction::confirmCopy(MRV_ConnectionContext& context,
                                          const std::function<HRESULT()>& checkTarget) {
    CTSBSTR method(language());
    method.LoadStringW(MRV_CopyLog::copyMethodId(context.copyMethod));
    const QString base =
        context.baseCompany ? context.baseCompany->CompanyDB : context.baseFilePath;
    const QString target =
        context.targetCompany ? context.targetCompany->CompanyDB : context.targetFilePath;
    const QString text =
        QStringLiteral("Copy from %1 into %2 with \"%3\"?").arg(base, target, method.str());
    return messageBox(Kind::Question, QString(), text, false, 2) == ButtonYes &&
           checkTarget() == S_OK;
}
