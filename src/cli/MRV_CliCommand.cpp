#include "cli/MRV_CliCommand.h"

#include "cli/MRV_TerminalInteraction.h"

MRV_CliCommand::MRV_CliCommand(QTextStream& out, QTextStream& err, MRV_TerminalInteraction& ui)
    : m_out(out), m_err(err), m_ui(ui), m_language(ui.language()) {}

int MRV_CliCommand::usageError(const QString& message) {
    m_err << "mirrova-cli: " << message << "\n"
          << "Try 'mirrova-cli --help' for more information.\n";
    m_err.flush();
    return Usage;
}

int MRV_CliCommand::failure(const QString& message) {
    m_err << "mirrova-cli: " << message << "\n";
    m_err.flush();
    return Failed;
}

bool MRV_CliCommand::parse(MRV_CliArgs& parsed, const QStringList& args, int* status) {
    QString error;
    if (parsed.parse(args, &error))
        return true;
    *status = usageError(error);
    return false;
}
