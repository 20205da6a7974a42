#pragma once

#include "cli/MRV_CliCommand.h"

class MRV_Worksheet;

// "worksheet new|show|select": a worksheet made for a base and a target,
// its tree shown with the selection states, and categories selected.
class MRV_CliWorksheetCommands : public MRV_CliCommand {
public:
    using MRV_CliCommand::MRV_CliCommand;
    int run(const QStringList& args) override;

private:
    int create(const QStringList& args);
    int show(const QString& path);
    int select(const QString& path, const QStringList& selections);
    // Applies "CATEGORY_ID" (whole), "CATEGORY_ID=KEY,..." (those records)
    // or "CATEGORY_ID=" (none); false with the reason.
    bool applySelection(MRV_Worksheet& worksheet, const QString& selection, QString* error);
    bool read(MRV_Worksheet& worksheet, const QString& path);
};
