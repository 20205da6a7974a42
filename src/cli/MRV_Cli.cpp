#include "cli/MRV_Cli.h"

#include "catalogue/MRV_DataInterfaceFactory.h"
#include "catalogue/MRV_ResourceManager.h"
#include "cli/MRV_CliCopyCommands.h"
#include "cli/MRV_CliLogCommands.h"
#include "cli/MRV_CliSettingsCommand.h"
#include "cli/MRV_CliWorksheetCommands.h"
#include "cli/MRV_TerminalInteraction.h"
#include "tsframework/CLogBase.h"
#include "worksheet/MRV_WorksheetNode.h"
#include "worksheet/MRV_WorksheetTemplateManager.h"

#include <QSet>

#include <functional>

namespace {

constexpr int kDefaultLanguage = 1033;

// Texts carry CR LF line breaks; a terminal wants LF.
QString forTerminal(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// One catalogue line per entry: line breaks inside a text are shown as \n.
QString oneLine(QString text) {
    return forTerminal(std::move(text)).replace(u'\n', QStringLiteral("\\n"));
}

} // namespace

QString MRV_Cli::usage() {
    return QStringLiteral(
        "Usage: mirrova-cli <command> [options]\n"
        "\n"
        "Copies the setup and master data of one Orvant Ledgerline company into\n"
        "another, without windows.\n"
        "\n"
        "Commands:\n"
        "  catalogue [--lang LCID]  list every category and note of the catalogue:\n"
        "                           category id, string id and text, tab-separated\n"
        "  text ID [--lang LCID]    print the text of one string id\n"
        "  categories [--complete]  the ids of the categories the program can copy;\n"
        "                           with --complete only those whose records need\n"
        "                           no other category it cannot copy yet\n"
        "  log show LOG             the records of a copy log as a table\n"
        "  log export LOG OUT.xls   the records of a copy log as a spreadsheet file\n"
        "  worksheet new OUT.xml COMPANY (--target-db DB | --target-file F)\n"
        "                [--select CATEGORY_ID]... [--approval]\n"
        "                           a new worksheet with the company as its base;\n"
        "                           with --approval it copies only an approved\n"
        "                           preview\n"
        "  worksheet show WS.xml    the worksheet's tree with its selection states\n"
        "                           ([x] whole, [~] some records, [ ] none)\n"
        "  worksheet select WS.xml CATEGORY_ID[=KEY,...]... [COMPANY]\n"
        "                           select a category or a folder whole, some records\n"
        "                           of a category by their keys (checked against the\n"
        "                           base; a key of several columns as A;B; a ',' ';'\n"
        "                           or '\\' in a key escaped with '\\'), or none\n"
        "                           (CATEGORY_ID=). Categories no part of the program\n"
        "                           copies yet are refused.\n"
        "  save-config WS.xml OUT.xml [--yes]\n"
        "                           write the worksheet's selection as a configuration\n"
        "                           file\n"
        "  copy WS.xml [--copy-method N] [--response N] [--yes] [--force]\n"
        "                           copy the worksheet's selection into its target\n"
        "                           company; --copy-method 1-4 and --response 0-2\n"
        "                           replace the worksheet's; --yes answers every\n"
        "                           question yes. With the force-backup setting the\n"
        "                           target is backed up through its server before the\n"
        "                           first write; --force copies without that backup\n"
        "                           (after asking). A copy into a company another\n"
        "                           copy is writing into is refused, naming that run.\n"
        "                           Prints the backup, what each category added,\n"
        "                           updated, deleted and failed, and the log's path.\n"
        "                           Exit 0: every record copied, 1: some failed or\n"
        "                           the run was refused, 3: the run was stopped.\n"
        "  preview WS.xml [--copy-method N] [--csv FILE] [--approve] [--yes]\n"
        "                           what the copy would do, run into a scratch copy\n"
        "                           of the target that is dropped after: per\n"
        "                           category the records added, updated, deleted and\n"
        "                           failed, then each finding (table, key, field,\n"
        "                           target value, base value, reason) as CSV lines,\n"
        "                           or into FILE. --approve records an approval of\n"
        "                           it beside the worksheet: a worksheet made with\n"
        "                           --approval copies only while the base, the\n"
        "                           target and the selection are as approved.\n"
        "  verify WS.xml LOG [--yes]\n"
        "                           after the run of LOG: each base record the\n"
        "                           target lacks, and each target record that differs\n"
        "                           from the base in a field the category copies, in\n"
        "                           LOG_verify.txt beside the log. Exit 0: none.\n"
        "  settings COMPANY [--set NAME=VALUE]...\n"
        "                           show (and change) the program's settings kept in\n"
        "                           a company: copy-method (1-4), response (0-2),\n"
        "                           ignore-missing-udf, force-backup (yes/no),\n"
        "                           config-folder, worksheet-folder, log-folder\n"
        "\n"
        "COMPANY is --server SERVER --db DATABASE [--user USER] [--password-file F]\n"
        "[--db-user LOGIN]: the company to log in to (the user defaults to lobster).\n"
        "The password comes from MIRROVA_PASSWORD, the file, or a prompt; never from\n"
        "the command line. Without --db-user the database connection is trusted;\n"
        "with it, its password comes from MIRROVA_DB_PASSWORD.\n"
        "\n"
        "Options:\n"
        "  --lang LCID   language of the texts as a Windows language id, e.g. 1031\n"
        "                for German; default 1033 (English). A language without a\n"
        "                text falls back to English.\n"
        "  -h, --help    show this help and exit\n"
        "  --version     show the version and exit\n"
        "\n"
        "Exit status: 0 done, 1 failed, 2 wrong command line, 3 stopped.\n"
        "The log is written to $XDG_STATE_HOME/mirrova/mirrova.log (MIRROVA_LOG_LEVEL,\n"
        "MIRROVA_LOG_FILE change level and place).\n");
}

int MRV_Cli::usageError(const QString& message) {
    m_err << "mirrova-cli: " << message << "\n"
          << "Try 'mirrova-cli --help' for more information.\n";
    m_err.flush();
    return Usage;
}

int MRV_Cli::run(const QStringList& args) {
    CLogBase log(u"MRV", u"MRV_Cli::run");
    QString command;
    QStringList rest;
    int language = kDefaultLanguage;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"-h" || arg == u"--help") {
            m_out << usage();
            m_out.flush();
            return Ok;
        }
        if (command.isEmpty() && arg == u"--version") {
            m_out << "mirrova-cli " << MIRROVA_VERSION << "\n";
            m_out.flush();
            return Ok;
        }
        if (arg == u"--lang" || arg.startsWith(u"--lang=")) {
            QString value;
            if (arg == u"--lang") {
                if (++i >= args.size())
                    return usageError(QStringLiteral("option '--lang' needs a language id"));
                value = args[i];
            } else {
                value = arg.mid(7);
            }
            bool ok = false;
            language = value.toInt(&ok);
            if (!ok || language <= 0)
                return usageError(QStringLiteral("'%1' is not a language id").arg(value));
            continue;
        }
        if (!command.isEmpty())
            rest << arg; // the command's own options and operands
        else if (arg.startsWith(u'-') && arg.size() > 1)
            return usageError(QStringLiteral("unknown option '%1'").arg(arg));
        else
            command = arg;
    }

    if (command.isEmpty())
        return usageError(QStringLiteral("no command given"));
    MRV_TerminalInteraction terminal(m_err, m_in, m_terminal);
    terminal.setLanguage(language);
    MRV_InteractionScope scope(terminal);
    if (command == u"catalogue") {
        if (!rest.isEmpty())
            return usageError(QStringLiteral("'catalogue' takes no operand"));
        return catalogue(language);
    }
    if (command == u"categories") {
        const bool complete = rest == QStringList{QStringLiteral("--complete")};
        if (!rest.isEmpty() && !complete)
            return usageError(QStringLiteral("'categories' takes only --complete"));
        return categories(complete);
    }
    if (command == u"text") {
        if (rest.size() != 1)
            return usageError(QStringLiteral("'text' takes exactly one string id"));
        return text(rest.first(), language);
    }
    if (command == u"log")
        return MRV_CliLogCommands(m_out, m_err, terminal).run(rest);
    if (MRV_CliCopyCommands::serves(command))
        return MRV_CliCopyCommands(m_out, m_err, terminal).run(QStringList{command} + rest);
    if (command == u"worksheet")
        return MRV_CliWorksheetCommands(m_out, m_err, terminal).run(rest);
    if (command == u"settings")
        return MRV_CliSettingsCommand(m_out, m_err, terminal).run(rest);
    log.LogDbg0(u"Unknown command %s", command);
    return usageError(QStringLiteral("unknown command '%1'").arg(command));
}

int MRV_Cli::catalogue(int language) {
    const MRV_ResourceManager* catalogue = MRV_ResourceManager::instance();
    for (const XMLMAP& entry : catalogue->entries()) {
        if (entry.name.isEmpty()) // the sentinel closes the list
            break;
        QString text;
        catalogue->getText(entry.stringId, language, text);
        m_out << entry.name << '\t' << entry.stringId << '\t' << oneLine(text) << '\n';
    }
    m_out.flush();
    return Ok;
}

int MRV_Cli::categories(bool complete) {
    const MRV_WorksheetTemplateManager* tree = MRV_WorksheetTemplateManager::instance(nullptr);
    if (!tree->isInitialized()) {
        m_err << "mirrova-cli: the worksheet template cannot be read\n";
        m_err.flush();
        return Failed;
    }
    // A category copies completely when every category its records need
    // copies too.
    QHash<QString, bool> copies;
    std::function<bool(const MRV_WorksheetNode&, int)> copiesCompletely =
        [&](const MRV_WorksheetNode& node, int depth) {
            if (!MRV_DataInterfaceFactory::hasManager(node.categoryId) || depth > 64)
                return false;
            if (!complete)
                return true;
            if (const auto known = copies.constFind(node.categoryId); known != copies.cend())
                return *known;
            copies.insert(node.categoryId, true); // a cycle does not stop itself
            bool all = true;
            for (const QString& leafId : node.dependencies)
                if (const MRV_WorksheetNode* needed = tree->templateNode(leafId))
                    all = all && copiesCompletely(*needed, depth + 1);
            copies.insert(node.categoryId, all);
            return all;
        };
    QSet<QString> listed;
    for (const auto& node : tree->templateWorksheet().nodes)
        if (node->leaf && !listed.contains(node->categoryId) && copiesCompletely(*node, 0)) {
            listed.insert(node->categoryId);
            m_out << node->categoryId << '\n';
        }
    m_out.flush();
    return Ok;
}

int MRV_Cli::text(const QString& id, int language) {
    bool ok = false;
    const quint32 stringId = id.toUInt(&ok);
    if (!ok)
        return usageError(QStringLiteral("'%1' is not a string id").arg(id));
    QString text;
    if (MRV_ResourceManager::instance()->getText(stringId, language, text) != 0) {
        m_err << "mirrova-cli: no text for string id " << stringId << "\n";
        m_err.flush();
        return Failed;
    }
    m_out << forTerminal(text) << '\n';
    m_out.flush();
    return Ok;
}
