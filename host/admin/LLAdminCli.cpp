#include "host/admin/LLAdminCli.h"

#include "host/admin/LLAdmin.h"
#include "host/admin/LLDemo.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLDatabase.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLSecret.h"
#include "host/objects/LLSqlTranslator.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <unistd.h>

namespace LLObjectsCOM {

namespace {

// Options that take a value; everything else starting with "--" is a flag.
const QStringList valueOptions{QStringLiteral("--server"),   QStringLiteral("--type"),
                               QStringLiteral("--db"),       QStringLiteral("--localization"),
                               QStringLiteral("--version"),  QStringLiteral("--name"),
                               QStringLiteral("--password"), QStringLiteral("--register"),
                               QStringLiteral("--login"),    QStringLiteral("--profile"),
                               QStringLiteral("--seed"),     QStringLiteral("--password-file")};
const QStringList flagOptions{QStringLiteral("--superuser"), QStringLiteral("--xml")};

const QString secretHelp =
    QStringLiteral("a password on the command line is visible to every user; give it in "
                   "LEDGERLINE_PASSWORD, with --password-file or at the prompt");

} // namespace

std::optional<QString> AdminCli::password(const QString& user, QString* error) {
    error->clear();
    if (std::optional<QString> given = givenPassword(
            "LEDGERLINE_PASSWORD", m_options.value(QStringLiteral("--password-file")), error))
        return given;
    if (!error->isEmpty())
        return std::nullopt;
    if (!::isatty(STDIN_FILENO)) {
        *error = QStringLiteral("no password for %1: set LEDGERLINE_PASSWORD, give "
                                "--password-file or run on a terminal")
                     .arg(user);
        return std::nullopt;
    }
    m_err << "Password for " << user << ": " << Qt::flush;
    QTextStream in(stdin);
    const QString line = readLineWithoutEcho(in);
    m_err << '\n' << Qt::flush;
    if (line.isNull())
        *error = QStringLiteral("no password for %1").arg(user);
    return line.isNull() ? std::nullopt : std::optional<QString>(line);
}

QString AdminCli::usage() {
    return QStringLiteral(
        "Usage: ledgerline-admin [--server NAME] <command> ...\n"
        "\n"
        "Runs the servers and companies of the Orvant Ledgerline host.\n"
        "\n"
        "Commands:\n"
        "  server init DIR [--type N] [--register NAME] [--login USER]\n"
        "                                make DIR a server (type 6 by default; 2 and 5\n"
        "                                emulate the other SQL dialects)\n"
        "  server list                   the local server and the registered ones\n"
        "  company create NAME --db DB [--localization CODE] [--version N]\n"
        "  company list                  database, company name, localization, version\n"
        "  company drop DB\n"
        "  user add DB CODE [--name NAME] [--superuser]\n"
        "  user passwd DB CODE\n"
        "  user list DB\n"
        "  backup DB                     copy DB into the server's backups/ folder\n"
        "  check DB                      the database's integrity check: 'ok', or\n"
        "                                each problem found (exit 1)\n"
        "  sql DB STATEMENT [--xml]      run one statement in any of the host's SQL\n"
        "                                dialects; rows as a table or as XML\n"
        "  demo --db DB --profile standard|empty|large [--name NAME] [--seed N]\n"
        "                                a demo company: empty (a copy target),\n"
        "                                standard (every copyable category filled) or\n"
        "                                large (standard plus 100,000 items and 20,000\n"
        "                                business partners); the same seed gives the\n"
        "                                same data\n"
        "\n"
        "Options:\n"
        "  --server NAME  the server: \".\", \"(local)\" or \"localhost\" (the default,\n"
        "                 $LEDGERLINE_HOME or ~/.local/share/ledgerline/server), a\n"
        "                 registered name, or a server folder\n"
        "  --password-file F  the password for --login, user add and user passwd:\n"
        "                 the first line of F, which only its owner may read; else\n"
        "                 $LEDGERLINE_PASSWORD, else a prompt on the terminal\n"
        "  -h, --help     show this help and exit\n"
        "\n"
        "Exit status: 0 done, 1 failed, 2 wrong command line.\n");
}

int AdminCli::fail(const QString& message) {
    m_err << "ledgerline-admin: " << message << "\n";
    m_err.flush();
    return 1;
}

int AdminCli::usageError(const QString& message) {
    m_err << "ledgerline-admin: " << message << "\n"
          << "Try 'ledgerline-admin --help' for more information.\n";
    m_err.flush();
    return 2;
}

int AdminCli::run(const QStringList& args) {
    QStringList words;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"-h" || arg == u"--help") {
            m_out << usage();
            m_out.flush();
            return 0;
        }
        if (arg.startsWith(QLatin1String("--"))) {
            QString name = arg, value;
            const qsizetype eq = arg.indexOf(u'=');
            if (eq > 0) {
                name = arg.left(eq);
                value = arg.mid(eq + 1);
            }
            if (valueOptions.contains(name)) {
                if (eq < 0) {
                    if (++i >= args.size())
                        return usageError(QStringLiteral("option '%1' needs a value").arg(name));
                    value = args[i];
                }
                m_options.insert(name, value);
            } else if (flagOptions.contains(name) && eq < 0) {
                m_flags.insert(name);
            } else {
                return usageError(QStringLiteral("unknown option '%1'").arg(arg));
            }
            continue;
        }
        words << arg;
    }
    if (m_options.contains(QStringLiteral("--password")))
        return usageError(QStringLiteral("--password is refused: %1").arg(secretHelp));
    m_server = m_options.value(QStringLiteral("--server"), QStringLiteral("(local)"));
    if (words.isEmpty())
        return usageError(QStringLiteral("no command given"));
    const QString command = words.takeFirst();
    if (command == u"server")
        return serverCommand(words);
    if (command == u"company")
        return companyCommand(words);
    if (command == u"user")
        return userCommand(words);
    if (command == u"backup")
        return backupCommand(words);
    if (command == u"check")
        return checkCommand(words);
    if (command == u"sql")
        return sqlCommand(words);
    if (command == u"demo")
        return demoCommand(words);
    return usageError(QStringLiteral("unknown command '%1'").arg(command));
}

int AdminCli::serverCommand(const QStringList& words) {
    const QString sub = words.value(0);
    if (sub == u"init") {
        if (words.size() != 2)
            return usageError(QStringLiteral("'server init' takes the server folder"));
        if (m_options.value(QStringLiteral("--login")).contains(u':'))
            return usageError(QStringLiteral("--login takes the user alone: %1").arg(secretHelp));
        bool ok = true;
        const int type = m_options.value(QStringLiteral("--type"), QStringLiteral("6")).toInt(&ok);
        if (!ok)
            return usageError(QStringLiteral("--type takes a number from 1 to 6"));
        QString error;
        if (!Server::init(words[1], type, &error))
            return fail(error);
        std::optional<Server> server = Server::open(words[1], &error);
        if (!server)
            return fail(error);
        if (m_options.contains(QStringLiteral("--login"))) {
            const QString login = m_options.value(QStringLiteral("--login"));
            const std::optional<QString> secret = password(login, &error);
            if (!secret)
                return fail(error);
            if (!server->setLogin(login, *secret, &error))
                return fail(error);
        }
        if (m_options.contains(QStringLiteral("--register")) &&
            !Server::registerServer(m_options.value(QStringLiteral("--register")), words[1],
                                    &error))
            return fail(error);
        m_out << "Server " << server->folder() << " (type " << server->type() << ") is ready\n";
        m_out.flush();
        return 0;
    }
    if (sub == u"list" && words.size() == 1) {
        QList<QStringList> rows;
        for (const auto& [name, folder] : Server::registeredServers()) {
            const std::optional<Server> server = Server::open(folder);
            rows.append(
                {name, folder, server ? QString::number(server->type()) : QStringLiteral("-")});
        }
        printTable({QStringLiteral("Server"), QStringLiteral("Folder"), QStringLiteral("Type")},
                   rows);
        return 0;
    }
    return usageError(QStringLiteral("'server' takes init DIR or list"));
}

int AdminCli::companyCommand(const QStringList& words) {
    const QString sub = words.value(0);
    const bool wellFormed =
        (sub == u"create" && words.size() == 2 && m_options.contains(QStringLiteral("--db"))) ||
        (sub == u"list" && words.size() == 1) || (sub == u"drop" && words.size() == 2);
    if (!wellFormed)
        return usageError(QStringLiteral("'company' takes create NAME --db DB, list or drop DB"));
    QString error;
    const std::optional<Server> server = Server::find(m_server, &error);
    if (!server)
        return fail(error);
    if (sub == u"create") {
        bool ok = true;
        const int version =
            m_options.value(QStringLiteral("--version"), QString::number(Admin::DefaultVersion))
                .toInt(&ok);
        if (!ok || version <= 0)
            return usageError(QStringLiteral("--version takes a positive number"));
        const QString db = m_options.value(QStringLiteral("--db"));
        if (!Admin::createCompany(
                *server, db, words[1],
                m_options.value(QStringLiteral("--localization"), QStringLiteral("US")), version,
                &error))
            return fail(error);
        m_out << "Company '" << words[1] << "' created as database " << db << "\n";
        m_out.flush();
        return 0;
    }
    if (sub == u"list") {
        QList<QStringList> rows;
        for (const Admin::CompanyInfo& c : Admin::companies(*server))
            rows.append({c.database, c.name, c.localization, QString::number(c.version)});
        printTable({QStringLiteral("Database"), QStringLiteral("Company"),
                    QStringLiteral("Localization"), QStringLiteral("Version")},
                   rows);
        return 0;
    }
    if (!Admin::dropCompany(*server, words[1], &error))
        return fail(error);
    m_out << "Database " << words[1] << " dropped\n";
    m_out.flush();
    return 0;
}

int AdminCli::userCommand(const QStringList& words) {
    const QString sub = words.value(0);
    const bool change = (sub == u"add" || sub == u"passwd") && words.size() == 3;
    if (!change && !(sub == u"list" && words.size() == 2))
        return usageError(QStringLiteral("'user' takes add DB CODE, passwd DB CODE or list DB"));
    QString error;
    const std::optional<Server> server = Server::find(m_server, &error);
    if (!server)
        return fail(error);
    if (change) {
        const std::optional<QString> secret = this->password(words[2], &error);
        if (!secret)
            return fail(error);
        const QString& password = *secret;
        const bool ok =
            sub == u"add" ? Admin::addUser(*server, words[1], words[2],
                                           m_options.value(QStringLiteral("--name")), password,
                                           m_flags.contains(QStringLiteral("--superuser")), &error)
                          : Admin::setPassword(*server, words[1], words[2], password, &error);
        if (!ok)
            return fail(error);
        m_out << (sub == u"add" ? "User " : "Password of user ") << words[2]
              << (sub == u"add" ? " added\n" : " changed\n");
        m_out.flush();
        return 0;
    }
    const auto users = Admin::users(*server, words[1], &error);
    if (!users)
        return fail(error);
    QList<QStringList> rows;
    for (const Admin::UserInfo& u : *users)
        rows.append({u.code, u.name, u.superuser ? QStringLiteral("Y") : QStringLiteral("N"),
                     u.locked ? QStringLiteral("Y") : QStringLiteral("N")});
    printTable({QStringLiteral("User"), QStringLiteral("Name"), QStringLiteral("Superuser"),
                QStringLiteral("Locked")},
               rows);
    return 0;
}

int AdminCli::backupCommand(const QStringList& words) {
    if (words.size() != 1)
        return usageError(QStringLiteral("'backup' takes the database name"));
    QString error, file;
    const std::optional<Server> server = Server::find(m_server, &error);
    if (!server)
        return fail(error);
    if (!Admin::backup(*server, words[0], QDateTime(), &file, &error))
        return fail(error);
    m_out << "Backup of " << words[0] << " written to " << file << "\n";
    m_out.flush();
    return 0;
}

int AdminCli::checkCommand(const QStringList& words) {
    if (words.size() != 1)
        return usageError(QStringLiteral("'check' takes the database name"));
    QString error;
    const std::optional<Server> server = Server::find(m_server, &error);
    if (!server)
        return fail(error);
    const std::optional<QStringList> problems = Admin::integrityProblems(*server, words[0], &error);
    if (!problems)
        return fail(error);
    if (!problems->isEmpty()) {
        m_err << words[0] << ": " << problems->join(QStringLiteral("\n")) << "\n";
        m_err.flush();
        return 1;
    }
    m_out << "ok\n";
    m_out.flush();
    return 0;
}

int AdminCli::sqlCommand(const QStringList& words) {
    if (words.size() != 2)
        return usageError(QStringLiteral("'sql' takes the database name and one statement"));
    QString error;
    const std::optional<Server> server = Server::find(m_server, &error);
    if (!server)
        return fail(error);
    const QString path = server->databasePath(words[0]);
    if (path.isEmpty())
        return fail(QStringLiteral("The server has no database '%1'").arg(words[0]));
    // The statement runs as the company's own recordset would run it, on a
    // connection of our own (the administrator needs no company login).
    auto state = std::make_shared<CompanyState>();
    state->server = server;
    state->serverType = server->type();
    state->database = Database::open(*server, path, &error);
    if (!state->database)
        return fail(error);
    Recordset rs(state);
    try {
        rs.DoQuery(words[1]);
    } catch (const ComError& e) {
        return fail(e.description());
    }
    if (m_flags.contains(QStringLiteral("--xml"))) {
        m_out << rs.GetAsXML() << "\n";
        m_out.flush();
        return 0;
    }
    if (rs.FieldCount() == 0) {
        m_out << rs.RowsAffected() << " row(s) affected\n";
        m_out.flush();
        return 0;
    }
    QStringList header;
    for (int i = 0; i < rs.FieldCount(); ++i)
        header << rs.FieldName(i);
    QList<QStringList> rows;
    for (rs.MoveFirst(); !rs.EoF(); rs.MoveNext()) {
        QStringList row;
        for (int i = 0; i < rs.FieldCount(); ++i)
            row << Recordset::valueText(rs.Field(i));
        rows << row;
    }
    printTable(header, rows);
    return 0;
}

int AdminCli::demoCommand(const QStringList& words) {
    if (!words.isEmpty() || !m_options.contains(QStringLiteral("--db")) ||
        !m_options.contains(QStringLiteral("--profile")))
        return usageError(QStringLiteral("'demo' takes --db DB and --profile %1")
                              .arg(Demo::profiles().join(u'|')));
    const QString profile = m_options.value(QStringLiteral("--profile"));
    if (!Demo::profiles().contains(profile))
        return usageError(QStringLiteral("--profile takes %1").arg(Demo::profiles().join(u'|')));
    bool ok = true;
    const quint32 seed =
        m_options.value(QStringLiteral("--seed"), QString::number(Demo::DefaultSeed)).toUInt(&ok);
    if (!ok)
        return usageError(QStringLiteral("--seed takes a whole number from 0 to 4294967295"));
    QString error;
    const std::optional<Server> server = Server::find(m_server, &error);
    if (!server)
        return fail(error);
    const QString db = m_options.value(QStringLiteral("--db"));
    Demo::Summary summary;
    if (!Demo::create(*server, db, profile, seed, m_options.value(QStringLiteral("--name")),
                      &summary, &error))
        return fail(error);
    m_out << "Demo company (" << profile << ") created as database " << db << ": "
          << summary.filledTables << " of " << summary.tables << " tables filled, "
          << summary.rowsWritten << " rows written in "
          << QString::number(summary.milliseconds / 1000.0, 'f', 1) << " s\n";
    m_out.flush();
    return 0;
}

void AdminCli::printTable(const QStringList& header, const QList<QStringList>& rows) {
    // Line breaks inside values would break the alignment; show them as \n.
    const auto cell = [](QString text) {
        return text.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"))
            .replace(u'\n', QStringLiteral("\\n"))
            .replace(u'\r', QStringLiteral("\\r"));
    };
    QList<qsizetype> widths;
    for (const QString& h : header)
        widths << h.size();
    for (const QStringList& row : rows)
        for (qsizetype i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], cell(row[i]).size());
    const auto line = [&](const QStringList& values) {
        QString text;
        for (qsizetype i = 0; i < values.size(); ++i) {
            const QString v = cell(values[i]);
            text += i + 1 < values.size() ? v.leftJustified(widths[i]) + QStringLiteral("  ") : v;
        }
        m_out << text << "\n";
    };
    line(header);
    QStringList rule;
    for (qsizetype w : widths)
        rule << QString(w, u'-');
    line(rule);
    for (const QStringList& row : rows)
        line(row);
    m_out.flush();
}

} // namespace LLObjectsCOM
