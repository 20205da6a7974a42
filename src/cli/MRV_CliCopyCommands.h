#pragma once

#include "cli/MRV_CliCommand.h"

#include <memory>

class MRV_CliSession;
class MRV_ConfigurationController;
class MRV_ConfigurationManager;
class MRV_SelectionManager;

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
    // Logs in and opens the worksheet; a status other than Ok on failure.
    int open(const MRV_CliArgs& args, const QString& path);
    int copy(const MRV_CliArgs& args);
    int saveConfig(const QString& out);
    // Records per category and outcome, from the run's log.
    int summarize(const QString& logPath);

    std::unique_ptr<MRV_CliSession> m_session;
    std::unique_ptr<MRV_ConfigurationManager> m_manager;
    std::unique_ptr<MRV_ConfigurationController> m_controller;
    std::unique_ptr<MRV_SelectionManager> m_selection;
};
