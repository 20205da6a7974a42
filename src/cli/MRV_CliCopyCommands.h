#pragma once

#include "cli/MRV_CliCommand.h"
#include "config/MRV_LogFile.h"

#include <memory>
#include <optional>

class MRV_CliSession;
class MRV_ConfigurationController;
class MRV_ConfigurationManager;
class MRV_SelectionManager;
class MRV_TrialRun;
class MRV_Worksheet;

// "copy WS.xml": the worksheet's selection copied into its target company;
// "save-config WS.xml OUT.xml": the selection written as a configuration
// file; "preview WS.xml": what a copy would do, run into a scratch copy of
// the target; "verify WS.xml LOG": what of the base the target lacks or
// has otherwise after the run of LOG. All open the worksheet as the
// program does, logging in to its base (and target) companies.
class MRV_CliCopyCommands : public MRV_CliCommand {
public:
    MRV_CliCopyCommands(QTextStream& out, QTextStream& err, MRV_TerminalInteraction& ui);
    ~MRV_CliCopyCommands() override;
    int run(const QStringList& args) override;

    // The command names this class serves; run() takes the name first.
    static bool serves(const QString& command) {
        return command == u"copy" || command == u"save-config" || command == u"preview" ||
               command == u"verify";
    }

private:
    // The copy options of the command line, checked; a usage error when
    // one is out of range.
    int readOptions(const MRV_CliArgs& args);
    // Logs in to the companies the worksheet (header: the file as read)
    // names and opens it; a status other than Ok on failure.
    int open(const MRV_CliArgs& args, const QString& path, const MRV_Worksheet& header);
    int copy(const MRV_CliArgs& args);
    int saveConfig(const QString& out);
    int preview(const MRV_CliArgs& args);
    int verify(const QString& logPath);
    // Records per category and outcome, from the run's log.
    int summarize(const QString& logPath);
    int summarize(const QList<MRV_LogFile::Row>& rows);
    // A trial's findings as lines of CSV: category, what, table, key, field,
    // target value, base value, reason.
    static QStringList findings(const MRV_TrialRun& trial);

    std::unique_ptr<MRV_CliSession> m_session;
    std::unique_ptr<MRV_ConfigurationManager> m_manager;
    std::unique_ptr<MRV_ConfigurationController> m_controller;
    std::unique_ptr<MRV_SelectionManager> m_selection;
    std::optional<int> m_copyMethod;
    std::optional<int> m_response;
};
