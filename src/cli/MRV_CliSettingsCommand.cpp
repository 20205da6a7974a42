#include "cli/MRV_CliSettingsCommand.h"

#include "cli/MRV_CliSession.h"
#include "cli/MRV_TerminalInteraction.h"
#include "config/MRV_CopyLog.h"
#include "di/MRV_SettingsManager.h"
#include "di/MRV_UDTManager.h"
#include "host/objects/LLComError.h"
#include "tsframework/CTSBSTR.h"

namespace {

std::optional<bool> flagOf(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == u"yes" || t == u"true" || t == u"1" || t == u"y")
        return true;
    if (t == u"no" || t == u"false" || t == u"0" || t == u"n")
        return false;
    return std::nullopt;
}

} // namespace

int MRV_CliSettingsCommand::run(const QStringList& args) {
    MRV_CliArgs parsed(MRV_CliSession::options() << QStringLiteral("set"), {});
    int status = Ok;
    if (!parse(parsed, args, &status))
        return status;
    if (!parsed.operands().isEmpty())
        return usageError(QStringLiteral("'settings' takes no operand"));
    // The assignments are checked before the login; showing the settings
    // writes nothing into the company.
    const QStringList assignments = parsed.values(QStringLiteral("set"));
    QString error;
    {
        MRV_SettingsManager check(nullptr);
        for (const QString& assignment : assignments)
            if (!apply(check, assignment, &error))
                return usageError(error);
    }
    const bool changing = !assignments.isEmpty();
    MRV_CliSession session(m_ui);
    if (!session.open(parsed, &error, changing))
        return failure(error);
    MRV_SettingsManager settings(&session.context());
    bool stored = true;
    if (!changing) {
        try {
            stored = MRV_UDTManager(&session.context()).hasSettingsTable();
        } catch (const ComError& e) {
            return failure(QStringLiteral("the settings cannot be read: %1").arg(e.description()));
        }
    }
    const HRESULT read = stored ? settings.getSettingsFromDatabase() : S_FALSE;
    if (read < 0)
        return failure(QStringLiteral("the settings cannot be read"));
    if (read == S_FALSE)
        settings.setDefaultSettings();
    for (const QString& assignment : assignments)
        apply(settings, assignment, &error);
    if (changing && settings.saveSettingsToDatabase() != S_OK)
        return failure(QStringLiteral("the settings cannot be saved"));
    show(settings);
    if (read == S_FALSE && !changing)
        m_out << "(the company keeps no settings of the program yet: these are the defaults)\n";
    m_out.flush();
    return Ok;
}

bool MRV_CliSettingsCommand::apply(MRV_SettingsManager& settings, const QString& assignment,
                                   QString* error) {
    const qsizetype equals = assignment.indexOf(u'=');
    const QString name = assignment.left(equals).trimmed();
    const QString value = equals < 0 ? QString() : assignment.mid(equals + 1);
    if (equals < 0) {
        *error = QStringLiteral("'--set %1' needs NAME=VALUE").arg(assignment);
        return false;
    }
    bool ok = false;
    if (name == u"copy-method" || name == u"response") {
        const int n = value.trimmed().toInt(&ok);
        const int highest = name == u"copy-method" ? 4 : 2;
        const int lowest = name == u"copy-method" ? 1 : 0;
        if (!ok || n < lowest || n > highest) {
            *error = QStringLiteral("%1 takes %2 to %3, not '%4'")
                         .arg(name)
                         .arg(lowest)
                         .arg(highest)
                         .arg(value);
            return false;
        }
        name == u"copy-method" ? settings.setCopyMethod(n) : settings.setResponseToFailure(n);
        return true;
    }
    if (name == u"ignore-missing-udf" || name == u"force-backup") {
        const std::optional<bool> flag = flagOf(value);
        if (!flag) {
            *error = QStringLiteral("%1 takes yes or no, not '%2'").arg(name, value);
            return false;
        }
        name == u"force-backup" ? settings.setForceBackup(*flag)
                                : settings.setIgnoreMissingUdf(*flag);
        return true;
    }
    if (name == u"config-folder")
        settings.setConfigurationFolder(value);
    else if (name == u"worksheet-folder")
        settings.setWorksheetFolder(value);
    else if (name == u"log-folder")
        settings.setLogFileFolder(value);
    else {
        *error = QStringLiteral("unknown setting '%1'").arg(name);
        return false;
    }
    return true;
}

void MRV_CliSettingsCommand::show(const MRV_SettingsManager& settings) {
    const auto text = [this](quint32 id) { return m_ui.text(id); };
    const auto yesNo = [](bool flag) {
        return flag ? QStringLiteral("yes") : QStringLiteral("no");
    };
    const QList<std::pair<const char*, QString>> lines{
        {"copy-method", QStringLiteral("%1 (%2)")
                            .arg(settings.copyMethod())
                            .arg(text(MRV_CopyLog::copyMethodId(settings.copyMethod())))},
        {"response", QStringLiteral("%1 (%2)")
                         .arg(settings.responseToFailure())
                         .arg(text(MRV_CopyLog::responseId(settings.responseToFailure())))},
        {"ignore-missing-udf", yesNo(settings.ignoreMissingUdf())},
        {"force-backup", yesNo(settings.forceBackup())},
        {"config-folder", settings.configurationFolder()},
        {"worksheet-folder", settings.worksheetFolder()},
        {"log-folder", settings.logFileFolder()}};
    for (const auto& [name, value] : lines)
        m_out << QString::fromLatin1(name).leftJustified(20) << value << '\n';
    m_out.flush();
}
