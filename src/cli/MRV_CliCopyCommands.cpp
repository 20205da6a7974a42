#include "cli/MRV_CliCopyCommands.h"

#include "cli/MRV_CliSession.h"
#include "cli/MRV_TerminalInteraction.h"
#include "config/MRV_ConfigurationController.h"
#include "config/MRV_ConfigurationManager.h"
#include "config/MRV_CopyFlow.h"
#include "config/MRV_LogFile.h"
#include "config/MRV_TrialRun.h"
#include "di/MRV_ConnectionContext.h"
#include "host/objects/LLCompany.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CTSBSTR.h"
#include "worksheet/MRV_SelectionManager.h"
#include "worksheet/MRV_WorksheetManager.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>
#include <QSet>

MRV_CliCopyCommands::MRV_CliCopyCommands(QTextStream& out, QTextStream& err,
                                         MRV_TerminalInteraction& ui)
    : MRV_CliCommand(out, err, ui) {}

MRV_CliCopyCommands::~MRV_CliCopyCommands() {
    // The worksheet goes before the companies it holds.
    m_selection.reset();
    m_controller.reset();
    m_manager.reset();
    m_session.reset();
}

int MRV_CliCopyCommands::run(const QStringList& args) {
    const QString command = args.value(0);
    MRV_CliArgs parsed(MRV_CliSession::options()
                           << QStringLiteral("copy-method") << QStringLiteral("response")
                           << QStringLiteral("csv"),
                       {QStringLiteral("yes"), QStringLiteral("force"), QStringLiteral("approve")});
    int status = Ok;
    if (!parse(parsed, args.mid(1), &status))
        return status;
    const QStringList& ops = parsed.operands();
    const bool copying = command == u"copy" || command == u"preview";
    if (ops.size() != (copying ? 1 : 2))
        return usageError(QStringLiteral("use '%1'")
                              .arg(command == u"copy" ? QStringLiteral("copy WS.xml [options]")
                                   : command == u"preview"
                                       ? QStringLiteral("preview WS.xml [--csv FILE] [options]")
                                   : command == u"verify"
                                       ? QStringLiteral("verify WS.xml LOG")
                                       : QStringLiteral("save-config WS.xml OUT.xml")));
    if ((parsed.has(QStringLiteral("csv")) || parsed.flag(QStringLiteral("approve"))) &&
        command != u"preview")
        return usageError(QStringLiteral("only 'preview' takes --csv and --approve"));
    // The whole command line is checked before anything is read or any
    // company logged in to.
    if (copying && (status = readOptions(parsed)) != Ok)
        return status;
    // A question without --yes, and nobody at a terminal to answer it,
    // stops the run.
    if (parsed.flag(QStringLiteral("yes")))
        m_ui.fixedAnswer = MRV_Interaction::ButtonYes;
    const QString path = QFileInfo(ops[0]).absoluteFilePath();
    MRV_Worksheet header;
    if (!readWorksheet(header, path))
        return Failed;
    if ((status = refuseUncopyable(header)) != Ok)
        return status;
    status = open(parsed, path, header);
    if (status != Ok)
        return status;
    if (command == u"copy")
        status = copy(parsed);
    else if (command == u"preview")
        status = preview(parsed);
    else if (command == u"verify")
        status = verify(QFileInfo(ops[1]).absoluteFilePath());
    else
        status = saveConfig(QFileInfo(ops[1]).absoluteFilePath());
    if (status == Stopped && m_ui.unanswered())
        m_err << "mirrova-cli: stopped at a question nobody answered; give --yes to answer yes\n";
    m_err.flush();
    return status;
}

int MRV_CliCopyCommands::readOptions(const MRV_CliArgs& args) {
    QString error;
    for (const auto& [option, lowest, highest] : {std::tuple{QStringLiteral("copy-method"), 1, 4},
                                                  std::tuple{QStringLiteral("response"), 0, 2}}) {
        if (!args.has(option))
            continue;
        int value = 0;
        if (!args.number(option, value, &error) || value < lowest || value > highest)
            return usageError(QStringLiteral("--%1 takes %2 to %3, not '%4'")
                                  .arg(option)
                                  .arg(lowest)
                                  .arg(highest)
                                  .arg(args.value(option)));
        (option == u"copy-method" ? m_copyMethod : m_response) = value;
    }
    return Ok;
}

int MRV_CliCopyCommands::open(const MRV_CliArgs& args, const QString& path,
                              const MRV_Worksheet& header) {
    // The worksheet names its base; the program works logged in to it (or,
    // for a file base, to the company the options name).
    const bool fileBase = !header.baseIsCompany();
    const QString server =
        args.value(QStringLiteral("server"), fileBase ? header.targetServer : header.sourceServer);
    const QString database =
        args.value(QStringLiteral("db"), fileBase ? header.targetDB : header.sourceDB);
    const QString user =
        args.value(QStringLiteral("user"), fileBase ? header.targetUser : header.sourceUser);
    m_session = std::make_unique<MRV_CliSession>(m_ui);
    QString error;
    if (!m_session->open(server, database, user, args, &error))
        return failure(error);
    MRV_ConnectionContext& context = m_session->context();
    context.worksheetPath = path;
    m_manager = std::make_unique<MRV_ConfigurationManager>(context);
    m_controller = std::make_unique<MRV_ConfigurationController>(context, *m_manager);
    m_selection = std::make_unique<MRV_SelectionManager>(&context, m_controller.get());
    const HRESULT opened = m_selection->openWorksheet();
    if (opened == S_FALSE)
        return Stopped;
    if (opened != S_OK)
        return failure(QStringLiteral("the worksheet %1 cannot be opened").arg(path));
    return Ok;
}

int MRV_CliCopyCommands::copy(const MRV_CliArgs& args) {
    MRV_ConnectionContext& context = m_session->context();
    MRV_Worksheet& worksheet = m_selection->worksheet();
    if (m_copyMethod)
        context.copyMethod = worksheet.copyMethod = *m_copyMethod;
    if (m_response)
        context.responseToFailure = worksheet.RTCF = *m_response;
    // Without a recent backup of the target: ask instead of refusing.
    if (args.flag(QStringLiteral("force")))
        context.forceBackup = false;
    if (!context.targetCompany)
        return failure(QStringLiteral("the worksheet's target is a configuration file: use "
                                      "save-config"));
    MRV_CopyFlow flow(context, worksheet, *m_manager);
    const HRESULT hr = flow.copyToTargetCompany();
    if (!flow.backupPath().isEmpty()) {
        m_out << "Backup of the target: " << flow.backupPath() << '\n';
        m_out.flush();
    }
    if (hr == S_FALSE)
        return Stopped;
    const int records = flow.logPath().isEmpty() ? Ok : summarize(flow.logPath());
    // The passwords themselves stay in their file: the terminal may be
    // recorded or seen.
    if (!flow.passwordPath().isEmpty()) {
        CTSBSTR note(m_ui.language());
        note.FormatId(10209, flow.passwordPath());
        m_out << "Initial passwords: " << flow.passwordPath() << '\n' << note.str() << '\n';
        m_out.flush();
    }
    if (hr == E_ABORT)
        return Stopped;
    return FAILED(hr) ? Failed : records;
}

int MRV_CliCopyCommands::saveConfig(const QString& out) {
    MRV_ConnectionContext& context = m_session->context();
    MRV_CopyFlow flow(context, m_selection->worksheet(), *m_manager);
    const HRESULT hr = flow.saveConfigurationFile(out);
    if (hr == S_FALSE && m_ui.unanswered())
        return Stopped;
    if (FAILED(hr))
        return failure(QStringLiteral("cannot write %1").arg(out));
    m_out << out << '\n';
    m_out.flush();
    // Some category could not be read: the file holds the others.
    return hr == S_OK ? Ok : Failed;
}

namespace {

// A CSV field: quoted where it must be, and one that a spreadsheet would
// take for a formula kept as text (a base record may hold anything).
QString csvField(QString value) {
    if (!value.isEmpty() && QStringLiteral("=+-@\t\r").contains(value.front()))
        value.prepend(u'\'');
    if (value.contains(u',') || value.contains(u'"') || value.contains(u'\n') ||
        value.contains(u'\r'))
        value = u'"' + value.replace(u'"', QStringLiteral("\"\"")) + u'"';
    return value;
}

QString csvLine(const QStringList& fields) {
    QStringList quoted;
    for (const QString& field : fields)
        quoted << csvField(field);
    return quoted.join(u',');
}

// A verification's finding as one line of its report.
QString reportLine(const MRV_TrialRun::Finding& f) {
    const QString what = MRV_TrialRun::whatText(f.what);
    if (!f.field.isEmpty())
        return QStringLiteral("%1\t%2\t%3 %4\t%5: target '%6', base '%7'")
            .arg(what, f.category, f.table, f.key, f.field, f.targetValue, f.baseValue);
    if (!f.table.isEmpty())
        return QStringLiteral("%1\t%2\t%3 %4").arg(what, f.category, f.table, f.key);
    return QStringLiteral("%1\t%2\t%3\t%4").arg(what, f.category, f.key, f.reason);
}

} // namespace

QStringList MRV_CliCopyCommands::findings(const MRV_TrialRun& trial) {
    // The columns as the findings dialog titles them, the category first.
    QStringList titles = MRV_TrialRun::columnTitles();
    titles.swapItemsAt(0, 1);
    QStringList lines{csvLine(titles)};
    for (const MRV_TrialRun::Finding& f : trial.findings()) {
        QStringList values = f.shown();
        values.swapItemsAt(0, 1);
        lines << csvLine(values);
    }
    return lines;
}

int MRV_CliCopyCommands::preview(const MRV_CliArgs& args) {
    MRV_ConnectionContext& context = m_session->context();
    if (!context.targetCompany)
        return failure(QStringLiteral("the worksheet's target is a configuration file: "
                                      "there is nothing to preview"));
    const bool approving = args.flag(QStringLiteral("approve"));
    MRV_TrialRun trial(context, m_selection->worksheet(), *m_manager);
    QString why;
    const HRESULT hr = trial.run(m_copyMethod.value_or(0), why, approving);
    if (hr == S_FALSE)
        return Stopped;
    if (FAILED(hr) && trial.records().isEmpty())
        return failure(why.isEmpty() ? QStringLiteral("the preview did not run") : why);
    m_out << "What the copy would do in " << context.targetCompany->CompanyDB
          << " (nothing of it is written):\n\n";
    summarize(trial.records());
    const QStringList lines = findings(trial);
    m_out << '\n' << lines.size() - 1 << " findings";
    if (args.has(QStringLiteral("csv"))) {
        const QString path = QFileInfo(args.value(QStringLiteral("csv"))).absoluteFilePath();
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8()) <
                0 ||
            !file.commit())
            return failure(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        m_out << " in " << path << '\n';
    } else {
        m_out << ":\n";
        for (const QString& line : lines.mid(1))
            m_out << line << '\n';
    }
    if (approving) {
        QString path;
        if (!trial.approve(context.company ? context.company->UserName : QString(), path, why))
            return failure(why);
        m_out << "Approved: " << path << '\n';
    }
    m_out.flush();
    return FAILED(hr) ? Failed : Ok;
}

int MRV_CliCopyCommands::verify(const QString& logPath) {
    MRV_ConnectionContext& context = m_session->context();
    if (!context.targetCompany)
        return failure(QStringLiteral("the worksheet's target is a configuration file: "
                                      "there is no company to verify"));
    MRV_LogFile log(logPath);
    log.setCategoryLookup(MRV_LogFile::templateLookup(&context));
    if (log.loadLogFile() != S_OK)
        return failure(QStringLiteral("the log %1 cannot be read").arg(logPath));
    // Adding and updating once more: what that adds, the target lacks; a
    // field it changes, the target has otherwise.
    MRV_TrialRun trial(context, m_selection->worksheet(), *m_manager);
    QString why;
    const HRESULT hr = trial.run(4, why);
    if (hr == S_FALSE)
        return Stopped;
    if (FAILED(hr) && trial.records().isEmpty())
        return failure(why.isEmpty() ? QStringLiteral("the verification did not run") : why);
    const MRV_TrialRun::Verification verification = trial.verify(log);
    QStringList report;
    for (const MRV_TrialRun::Finding& finding : verification.findings)
        report << reportLine(finding);
    const int missing = verification.missing, differing = verification.differing,
              unchecked = verification.unchecked;
    const QString path = QFileInfo(logPath).path() + u'/' + QFileInfo(logPath).completeBaseName() +
                         QStringLiteral("_verify.txt");
    const QString summary = QStringLiteral("%1 missing, %2 differing, %3 that cannot be checked")
                                .arg(missing)
                                .arg(differing)
                                .arg(unchecked);
    QSaveFile file(path);
    const QByteArray text =
        (QStringLiteral("Verification of %1 against the base\r\n%2\r\n").arg(logPath, summary) +
         report.join(QStringLiteral("\r\n")) +
         (report.isEmpty() ? QString() : QStringLiteral("\r\n")))
            .toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(text) < 0 || !file.commit())
        return failure(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    m_out << summary << '\n';
    for (const QString& line : std::as_const(report))
        m_out << line << '\n';
    m_out << "Report: " << path << '\n';
    m_out.flush();
    return missing + differing + unchecked == 0 && SUCCEEDED(hr) ? Ok : Failed;
}

int MRV_CliCopyCommands::summarize(const QString& logPath) {
    MRV_LogFile log(logPath);
    log.setCategoryLookup(MRV_LogFile::templateLookup(&m_session->context()));
    log.loadLogFile();
    const int status = summarize(log.rows());
    m_out << "\nLog: " << logPath << '\n';
    m_out.flush();
    return status;
}

int MRV_CliCopyCommands::summarize(const QList<MRV_LogFile::Row>& rows) {
    struct Counts {
        int added = 0, updated = 0, deleted = 0, failed = 0;
    };
    QMap<QString, Counts> byCategory; // category number and text, in tree order
    bool anyFailed = false;
    const QString succeeded = m_ui.text(402), added = m_ui.text(212), updated = m_ui.text(213);
    for (const MRV_LogFile::Row& row : rows) {
        Counts& c = byCategory[row[MRV_LogFile::CategoryNo].rightJustified(8) + u'\t' +
                               row[MRV_LogFile::Category]];
        if (row[MRV_LogFile::Result] != succeeded) {
            ++c.failed;
            anyFailed = true;
        } else if (row[MRV_LogFile::TransType] == added) {
            ++c.added;
        } else if (row[MRV_LogFile::TransType] == updated) {
            ++c.updated;
        } else {
            ++c.deleted;
        }
    }
    // The columns titled as the log viewer names categories and results.
    m_out << QStringLiteral("%1 %2 %3 %4 %5\n")
                 .arg(m_ui.text(134), -40)
                 .arg(m_ui.text(212), 7)
                 .arg(m_ui.text(213), 7)
                 .arg(m_ui.text(404), 7)
                 .arg(m_ui.text(403), 7);
    for (auto it = byCategory.cbegin(); it != byCategory.cend(); ++it)
        m_out << QStringLiteral("%1 %2 %3 %4 %5\n")
                     .arg(it.key().section(u'\t', 1).left(40), -40)
                     .arg(it->added, 7)
                     .arg(it->updated, 7)
                     .arg(it->deleted, 7)
                     .arg(it->failed, 7);
    m_out.flush();
    return anyFailed ? Failed : Ok;
}
