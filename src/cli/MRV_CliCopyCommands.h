#pragma once

#include "cli/MRV_CliCommand.h"

#include <memory>
#include <optional>

class MRV_CliSession;
class MRV_ConfigurationController;
class MRV_ConfigurationManager;
class MRV_SelectionManager;
class MRV_Worksheet;

// "copy WS.xml": the worksheet's selection copied into its target company;
// "save-config WS.xml OUT.xml": the selection written as a configuration
// file. Both open the worksheet as the program does, logging in to its
// base (and target) companies.
class MRV_CliCopyCommands : public MRV_CliCommand {
public:
    MRV_CliCopyCommands(QTextStream& out, QTextStream& err, MRV_TerminalInteraction& ui);
    ~MRV_CliCopyCommands() override;
    int run(const QStringList& args) override;

    // The command names this class serves; run() takes the name first.
    static bool serves(const QString& command) {
        return command == u"copy" || command == u"save-config";
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
    // Records per category and outcome, from the run's log.
    int summarize(const QString& logPath);

    std::unique_ptr<MRV_CliSession> m_session;
    std::unique_ptr<MRV_ConfigurationManager> m_manager;
    std::unique_ptr<MRV_ConfigurationController> m_controller;
    std::unique_ptr<MRV_SelectionManager> m_selection;
    std::optional<int> m_copyMethod;
    std::optional<int> m_response;
};
