#include "cli/MRV_CliCommand.h"

#include "cli/MRV_TerminalInteraction.h"
#include "config/MRV_CopyFlow.h"
#include "di/MRV_ConnectionContext.h"
#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetManager.h"
#include "worksheet/MRV_WorksheetTemplateManager.h"

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

bool MRV_CliCommand::readWorksheet(MRV_Worksheet& worksheet, const QString& path) {
    MRV_ConnectionContext context;
    MRV_WorksheetManager manager(&context);
    return manager.readWorksheet(worksheet, path) == S_OK &&
           MRV_WorksheetTemplateManager::instance(&context)->updateWorksheetFromTemplate(
               worksheet) == S_OK;
}

int MRV_CliCommand::refuseUncopyable(const MRV_Worksheet& worksheet) {
    const QStringList uncopyable = MRV_CopyFlow::uncopyableCategories(worksheet);
    if (uncopyable.isEmpty())
        return Ok;
    return usageError(
        QStringLiteral("no part of the program can copy these selected categories yet: %1")
            .arg(uncopyable.join(QStringLiteral(", "))));
}
