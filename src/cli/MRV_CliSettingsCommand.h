#pragma once

#include "cli/MRV_CliCommand.h"

class MRV_SettingsManager;

// "settings COMPANY [--set NAME=VALUE]...": the program's settings kept in a
// company, shown and changed.
class MRV_CliSettingsCommand : public MRV_CliCommand {
public:
    using MRV_CliCommand::MRV_CliCommand;
    int run(const QStringList& args) override;

private:
    // Takes one NAME=VALUE; false with the reason.
    bool apply(MRV_SettingsManager& settings, const QString& assignment, QString* error);
    void show(const MRV_SettingsManager& settings);
};
