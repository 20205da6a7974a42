#pragma once

#include "cli/MRV_CliArgs.h"

#include <QTextStream>

class MRV_TerminalInteraction;
class MRV_Worksheet;

// What every mirrova-cli command group shares: its streams, the language of
// its texts, and the way it says a command line is wrong.
class MRV_CliCommand {
public:
    enum ExitStatus { Ok = 0, Failed = 1, Usage = 2, Stopped = 3 };

    MRV_CliCommand(QTextStream& out, QTextStream& err, MRV_TerminalInteraction& ui);
    virtual ~MRV_CliCommand() = default;

    // args: what follows the command's name.
    virtual int run(const QStringList& args) = 0;

protected:
    // The worksheet at path, its nodes completed from the template, read
    // without a company; false after the reader told the user why.
    bool readWorksheet(MRV_Worksheet& worksheet, const QString& path);
    // A usage error naming every selected category that no part of the
    // program can copy yet (Ok when there is none): said before any login.
    int refuseUncopyable(const MRV_Worksheet& worksheet);

    int usageError(const QString& message);
    int failure(const QString& message);
    // Parses args into parsed; a usage error (returned) when they are wrong.
    bool parse(MRV_CliArgs& parsed, const QStringList& args, int* status);

    QTextStream& m_out;
    QTextStream& m_err;
    MRV_TerminalInteraction& m_ui;
    int m_language;
};
