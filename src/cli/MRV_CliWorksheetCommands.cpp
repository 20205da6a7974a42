#include "cli/MRV_CliWorksheetCommands.h"

#include "catalogue/MRV_DataInterfaceFactory.h"
#include "cli/MRV_CliSession.h"
#include "cli/MRV_TerminalInteraction.h"
#include "config/MRV_ConfigurationManager.h"
#include "di/MRV_DIInterface.h"
#include "di/MRV_Util.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "worksheet/MRV_SelectionManager.h"
#include "worksheet/MRV_WorksheetManager.h"

#include <QFileInfo>

namespace {

// The parts of "a,b\,c": separators escaped with a backslash belong to the
// value (a backslash itself is written twice).
QStringList splitEscaped(const QString& text, QChar separator) {
    QStringList parts{QString()};
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size())
            parts.last() += text[++i];
        else if (text[i] == separator)
            parts << QString();
        else
            parts.last() += text[i];
    }
    return parts;
}

// The categories at and below a node that can be selected.
QList<const MRV_WorksheetNode*> categoriesAt(const MRV_Worksheet& worksheet,
                                             const MRV_WorksheetNode& node) {
    QList<const MRV_WorksheetNode*> found;
    const QString below = node.leafId + u'.';
    for (const auto& other : worksheet.nodes)
        if (other->leaf && other->allowSelection &&
            (other.get() == &node || other->leafId.startsWith(below)))
            found << other.get();
    return found;
}

} // namespace

int MRV_CliWorksheetCommands::run(const QStringList& args) {
    const QString sub = args.value(0);
    if (sub == u"new")
        return create(args.mid(1));
    MRV_CliArgs parsed(sub == u"select" ? MRV_CliSession::options() : QStringList(), {});
    int status = Ok;
    if (!parse(parsed, args.mid(1), &status))
        return status;
    const QStringList& ops = parsed.operands();
    if (sub == u"show" && ops.size() == 1)
        return show(ops[0]);
    if (sub == u"select" && ops.size() >= 2)
        return select(parsed);
    return usageError(QStringLiteral(
        "use 'worksheet new OUT.xml ...', 'worksheet show WS.xml' or 'worksheet select WS.xml "
        "CATEGORY_ID[=KEY,...]...'"));
}

int MRV_CliWorksheetCommands::create(const QStringList& args) {
    MRV_CliArgs parsed(MRV_CliSession::options()
                           << QStringLiteral("target-db") << QStringLiteral("target-file")
                           << QStringLiteral("select"),
                       {QStringLiteral("approval")});
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
        MRV_Util::CopyLogin(base, *target);
        target->CompanyDB = parsed.value(QStringLiteral("target-db"));
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
    QList<Request> requests;
    if ((status = parseRequests(selection.worksheet(), parsed.values(QStringLiteral("select")),
                                requests)) != Ok ||
        (status = apply(selection.worksheet(), requests, context, nullptr)) != Ok)
        return status;
    // Copies only after an approved preview.
    selection.worksheet().approval = parsed.flag(QStringLiteral("approval"));
    context.worksheetPath = path;
    if (selection.saveWorksheet(false) != S_OK)
        return failure(QStringLiteral("cannot write %1").arg(path));
    m_out << path << '\n';
    m_out.flush();
    return Ok;
}

int MRV_CliWorksheetCommands::show(const QString& path) {
    MRV_Worksheet worksheet;
    if (!readWorksheet(worksheet, path))
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
              << node->text << "  (" << node->categoryId;
        if (node->leaf && node->selected == 2)
            m_out << ", " << node->selection.size() << " records";
        m_out << ")\n";
    }
    m_out.flush();
    return Ok;
}

int MRV_CliWorksheetCommands::select(const MRV_CliArgs& args) {
    const QString path = QFileInfo(args.operands().first()).absoluteFilePath();
    MRV_Worksheet worksheet;
    if (!readWorksheet(worksheet, path))
        return Failed;
    QList<Request> requests;
    if (const int status = parseRequests(worksheet, args.operands().mid(1), requests); status != Ok)
        return status;

    // Records are picked among those the base holds: a base file is read,
    // a base company logged in to.
    MRV_CliSession session(m_ui);
    MRV_ConnectionContext& context = session.context();
    std::unique_ptr<MRV_ConfigurationManager> file;
    if (picksRecords(requests)) {
        QString error;
        if (worksheet.baseIsFile()) {
            file = std::make_unique<MRV_ConfigurationManager>(context);
            const QString base =
                MRV_Worksheet::resolveConfigurationPath(worksheet.sourceFile, path);
            if (file->openFile(base) != S_OK)
                return Failed; // the reader said why
        } else if (!session.open(args.value(QStringLiteral("server"), worksheet.sourceServer),
                                 args.value(QStringLiteral("db"), worksheet.sourceDB),
                                 args.value(QStringLiteral("user"), worksheet.sourceUser), args,
                                 &error)) {
            return failure(error);
        } else {
            context.baseCompany = context.company;
        }
    }
    if (const int status = apply(worksheet, requests, context, file.get()); status != Ok)
        return status;
    MRV_ConnectionContext none;
    if (MRV_WorksheetManager(&none).saveWorksheet(worksheet, path) != S_OK)
        return failure(QStringLiteral("cannot write %1").arg(path));
    return Ok;
}

int MRV_CliWorksheetCommands::parseRequests(MRV_Worksheet& worksheet, const QStringList& selections,
                                            QList<Request>& requests) {
    QStringList problems;
    for (const QString& selection : selections) {
        const qsizetype equals = selection.indexOf(u'=');
        const QString categoryId = selection.left(equals);
        MRV_WorksheetNode* node = worksheet.findLeaf(categoryId);
        for (const auto& candidate : worksheet.nodes)
            if (!node && !candidate->leaf && candidate->categoryId == categoryId)
                node = candidate.get(); // a folder: everything below it
        if (!node) {
            problems
                << QStringLiteral("the worksheet has no category or folder %1").arg(categoryId);
            continue;
        }
        Request request{node, equals < 0, {}};
        const QString keys = selection.mid(equals + 1);
        if (equals >= 0 && !keys.isEmpty()) {
            if (!node->leaf) {
                problems << QStringLiteral("%1 is a folder: records are picked in its categories")
                                .arg(categoryId);
                continue;
            }
            request.keys = splitEscaped(keys, u',');
        }
        const bool selecting = request.whole || !request.keys.isEmpty();
        if (selecting && node->leaf && !node->allowSelection) {
            problems << QStringLiteral("%1 cannot be selected").arg(categoryId);
            continue;
        }
        if (selecting)
            for (const MRV_WorksheetNode* category : categoriesAt(worksheet, *node))
                if (!MRV_DataInterfaceFactory::hasManager(category->categoryId))
                    problems << QStringLiteral("no part of the program can copy %1 (%2) yet")
                                    .arg(category->text, category->categoryId);
        requests << request;
    }
    if (problems.isEmpty())
        return Ok;
    problems.removeDuplicates();
    return usageError(problems.join(QStringLiteral("\nmirrova-cli: ")));
}

bool MRV_CliWorksheetCommands::picksRecords(const QList<Request>& requests) {
    return std::any_of(requests.begin(), requests.end(),
                       [](const Request& r) { return !r.keys.isEmpty(); });
}

int MRV_CliWorksheetCommands::apply(MRV_Worksheet& worksheet, const QList<Request>& requests,
                                    MRV_ConnectionContext& context,
                                    const MRV_ConfigurationManager* file) {
    for (const Request& request : requests) {
        if (request.keys.isEmpty()) {
            worksheet.select(request.node->leafId, request.whole ? MRV_WorksheetNode::Selected
                                                                 : MRV_WorksheetNode::NotSelected);
            continue;
        }
        QList<MRV_SelectionObject> records;
        QString error;
        if (!pickRecords(context, file, *request.node, request.keys, records, &error))
            return usageError(error);
        worksheet.selectRecords(request.node->leafId, records);
    }
    return Ok;
}

bool MRV_CliWorksheetCommands::pickRecords(MRV_ConnectionContext& context,
                                           const MRV_ConfigurationManager* file,
                                           const MRV_WorksheetNode& node, const QStringList& keys,
                                           QList<MRV_SelectionObject>& records, QString* error) {
    const std::unique_ptr<MRV_DIInterface> manager =
        MRV_DataInterfaceFactory(&context).createDataInterface(node.categoryId);
    const MRV_DIDataSet* list = nullptr;
    try {
        manager->initialize();
        list = file ? manager->listFromConfiguration(file->tablesOf(node.categoryId))
                    : manager->listFromDatabase();
    } catch (const ComError& e) {
        *error = QStringLiteral("the records of %1 cannot be listed: %2")
                     .arg(node.categoryId, e.description());
        return false;
    }
    if (!list) {
        *error = QStringLiteral("the records of %1 cannot be listed").arg(node.categoryId);
        return false;
    }
    const qsizetype columns = list->keyColumns().size();
    for (const QString& key : keys) {
        // A key of several columns gives them in order, separated by ";".
        const QStringList parts = splitEscaped(key, u';');
        const auto found = std::find_if(
            list->rows().begin(), list->rows().end(), [&](const MRV_DIDataSet::Row& row) {
                if (parts.size() != columns || row.keys.size() != columns)
                    return false;
                for (qsizetype i = 0; i < columns; ++i)
                    if (list->keyValue(int(i), parts[i]) != row.keys[i])
                        return false;
                return true;
            });
        if (found == list->rows().end()) {
            *error = QStringLiteral("the base holds no record of %1 with the key '%2' (%3)")
                         .arg(node.categoryId, key, list->keyColumns().join(u';'));
            return false;
        }
        const MRV_SelectionObject record = MRV_SelectionManager::selectionOf(*list, *found);
        if (!records.contains(record))
            records << record;
    }
    return true;
}
