#pragma once

#include "cli/MRV_CliCommand.h"

class MRV_LogFile;

// "log show LOG": the records of a copy log as an aligned table;
// "log export LOG OUT": the same rows as the viewer's spreadsheet file.
class MRV_CliLogCommands : public MRV_CliCommand {
public:
    using MRV_CliCommand::MRV_CliCommand;
    int run(const QStringList& args) override;

private:
    int show(const QString& path);
    int exportTo(const QString& path, const QString& out);
    // Reads the log; false (reported) when it cannot be read at all.
    bool load(MRV_LogFile& log, int* status);
    // The header's values, ids as their texts.
    void header(const MRV_LogFile& log);
};
