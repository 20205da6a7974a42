#include "cli/MRV_CliWorksheetCommands.h"

#include "catalogue/MRV_DataInterfaceFactory.h"
#include "cli/MRV_CliSession.h"
#include "cli/MRV_TerminalInteraction.h"
#include "di/MRV_DIInterface.h"
#include "di/MRV_Util.h"
#include "host/objects/LLCompany.h"
#include "worksheet/MRV_SelectionManager.h"
#include "worksheet/MRV_WorksheetManager.h"
#include "worksheet/MRV_WorksheetTemplateManager.h"

#include <QFileInfo>

int MRV_CliWorksheetCommands::run(const QStringList& args) {
    const QString sub = args.value(0);
    if (sub == u"new")
        return create(args.mid(1));
    MRV_CliArgs parsed({}, {});
    int status = Ok;
    if (!parse(parsed, args.mid(1), &status))
        return status;
    const QStringList& ops = parsed.operands();
    if (sub == u"show" && ops.size() == 1)
        return show(ops[0]);
    if (sub == u"select" && ops.size() >= 2)
        return select(ops[0], ops.mid(1));
    return usageError(QStringLiteral(
        "use 'worksheet new OUT.xml ...', 'worksheet show WS.xml' or 'worksheet select WS.xml "
        "CATEGORY_ID[=KEY,...]...'"));
}

int MRV_CliWorksheetCommands::create(const QStringList& args) {
    MRV_CliArgs parsed(MRV_CliSession::options()
                           << QStringLiteral("target-db") << QStringLiteral("target-file")
                           << QStringLiteral("select"),
                       {});
    int status = Ok;
    if (!parse(parsed, args, &status))
        return status;
    if (parsed.operands().size() != 1)
        return usageError(QStringLiteral("'worksheet new' takes the worksheet file to write"));
    if (parsed.has(QStringLiteral("target-db")) == parsed.has(QStringLiteral("target-file")))
        return usageError(QStringLiteral("name the target: --target-db DB or --target-file F"));
    const QString path = QFileInfo(parsed.operands().first()).absoluteFilePath();

    MRV_CliSession session(m_ui);
    QString error;
    if (!session.open(parsed, &error))
        return failure(error);
    MRV_ConnectionContext& context = session.context();
    context.baseCompany = context.company; // the worksheet's base is the logged-in company
    if (parsed.has(QStringLiteral("target-db"))) {
        // The target lies on the same server, reached with the same login.
        auto target = std::make_shared<LLObjectsCOM::Company>();
        const LLObjectsCOM::Company& base = *context.company;
        target->Server = base.Server;
        target->CompanyDB = parsed.value(QStringLiteral("target-db"));
        target->UserName = base.UserName;
        target->Password = base.Password;
        target->UseTrusted = base.UseTrusted;
        target->DbUserName = base.DbUserName;
        target->DbPassword = base.DbPassword;
        if (MRV_Util::SameCompany(target.get(), context.company.get()))
            return failure(QStringLiteral("the target must be another company than the base"));
        if (MRV_Util::Connect(*target, context) != S_OK || !target->Connected())
            return failure(QStringLiteral("cannot log in to the target %1").arg(target->CompanyDB));
        context.targetCompany = target;
        context.targetCompanyName = target->CompanyName();
    } else {
        context.targetFilePath =
            QFileInfo(parsed.value(QStringLiteral("target-file"))).absoluteFilePath();
    }
    MRV_SelectionManager selection(&context);
    const HRESULT opened = selection.openWorksheet();
    if (opened != S_OK)
        return failure(QStringLiteral("the worksheet cannot be made"));
    for (const QString& s : parsed.values(QStringLiteral("select")))
        if (!applySelection(selection.worksheet(), s, &error))
            return usageError(error);
    context.worksheetPath = path;
    if (selection.saveWorksheet(false) != S_OK)
        return failure(QStringLiteral("cannot write %1").arg(path));
    m_out << path << '\n';
    m_out.flush();
    return Ok;
}

bool MRV_CliWorksheetCommands::read(MRV_Worksheet& worksheet, const QString& path) {
    // The file and the template's data for its nodes; no company is needed
    // to show or select.
    MRV_ConnectionContext context;
    MRV_WorksheetManager manager(&context);
    return manager.readWorksheet(worksheet, path) == S_OK &&
           MRV_WorksheetTemplateManager::instance(&context)->updateWorksheetFromTemplate(
               worksheet) == S_OK;
}

int MRV_CliWorksheetCommands::show(const QString& path) {
    MRV_Worksheet worksheet;
    if (!read(worksheet, path))
        return Failed; // the reader said why
    const auto mark = [](int state) {
        switch (state) {
        case 1:
            return "[x]";
        case 2:
            return "[~]";
        default:
            return "[ ]";
        }
    };
    m_out << "Base:   "
          << (worksheet.baseIsCompany()
                  ? worksheet.sourceDB + QStringLiteral(" on ") + worksheet.sourceServer
                  : worksheet.sourceFile)
          << '\n'
          << "Target: "
          << (worksheet.targetDB.isEmpty()
                  ? worksheet.targetFile
                  : worksheet.targetDB + QStringLiteral(" on ") + worksheet.targetServer)
          << "\n\n";
    for (const auto& node : worksheet.nodes) {
        m_out << QString(2 * (node->getLevel() - 1), u' ') << mark(node->selected) << ' '
              << node->text;
        if (node->leaf)
            m_out << "  (" << node->categoryId;
        if (node->leaf && node->selected == 2)
            m_out << ", " << node->selection.size() << " records";
        if (node->leaf)
            m_out << ')';
        m_out << '\n';
    }
    m_out.flush();
    return Ok;
}

int MRV_CliWorksheetCommands::select(const QString& path, const QStringList& selections) {
    MRV_Worksheet worksheet;
    if (!read(worksheet, path))
        return Failed;
    QString error;
    for (const QString& s : selections)
        if (!applySelection(worksheet, s, &error))
            return usageError(error);
    MRV_ConnectionContext context;
    if (MRV_WorksheetManager(&context).saveWorksheet(worksheet, path) != S_OK)
        return failure(QStringLiteral("cannot write %1").arg(path));
    return Ok;
}

bool MRV_CliWorksheetCommands::applySelection(MRV_Worksheet& worksheet, const QString& selection,
                                              QString* error) {
    const qsizetype equals = selection.indexOf(u'=');
    const QString categoryId = selection.left(equals);
    const MRV_WorksheetNode* node = worksheet.findLeaf(categoryId);
    if (!node) {
        *error = QStringLiteral("the worksheet has no category %1").arg(categoryId);
        return false;
    }
    if (!node->allowSelection) {
        *error = QStringLiteral("%1 cannot be selected").arg(categoryId);
        return false;
    }
    if (equals < 0)
        return worksheet.select(node->leafId, 1);
    const QString keys = selection.mid(equals + 1);
    if (keys.isEmpty())
        return worksheet.select(node->leafId, 0);
    *error =
        QStringLiteral("selecting single records of %1 needs its category manager").arg(categoryId);
    return false;
}
