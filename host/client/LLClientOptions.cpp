#include "host/client/LLClientOptions.h"

#include "host/client/LLLanguages.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

// A password file holds a line, not a document.
constexpr qint64 MaxPasswordFile = 64 * 1024;

} // namespace

QString LLClientOptions::usage() {
    return u"Usage: ledgerline [OPTION]...\n"
           u"Log in to a company of a server and start the registered add-ons.\n"
           u"\n"
           u"  --server S         the server: a folder, a registered name or (local)\n"
           u"  --db DB            the company's database\n"
           u"  --user U           the user code\n"
           u"  --password-file F  read the password from the first line of F\n"
           u"  --language LCID    the language, e.g. 1031 for Deutsch\n"
           u"  --addon PATH       start the add-on program PATH too (repeatable)\n"
           u"  --no-addons        start none of the registered add-ons, only those of\n"
           u"                     --addon\n"
           u"  --help             show this help and exit\n"
           u"\n"
           u"The password may also come from LEDGERLINE_PASSWORD. With server, database,\n"
           u"user and a password the client logs in at once; otherwise it asks.\n"
           u"Exit status: 0 done, 1 failed, 2 wrong command line.\n"_s;
}

std::optional<LLClientOptions> LLClientOptions::parse(const QStringList& args, QString* error) {
    LLClientOptions options;
    const auto fail = [&](const QString& why) -> std::optional<LLClientOptions> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"--help" || arg == u"-h") {
            options.help = true;
            continue;
        }
        if (arg == u"--no-addons") {
            options.noAddOns = true;
            continue;
        }
        const qsizetype equals = arg.indexOf(u'=');
        const QString name = equals < 0 ? arg : arg.left(equals);
        QString* target = nullptr;
        if (name == u"--server")
            target = &options.server;
        else if (name == u"--db")
            target = &options.database;
        else if (name == u"--user")
            target = &options.user;
        else if (name == u"--password-file")
            target = &options.passwordFile;
        else if (name != u"--language" && name != u"--addon")
            return fail(u"unknown option '%1'"_s.arg(arg));
        QString value;
        if (equals >= 0) {
            value = arg.mid(equals + 1);
        } else {
            if (++i >= args.size())
                return fail(u"the option '%1' needs a value"_s.arg(name));
            value = args[i];
        }
        if (value.isEmpty())
            return fail(u"the option '%1' needs a value"_s.arg(name));
        if (target) {
            *target = value;
        } else if (name == u"--addon") {
            options.addOns << value;
        } else {
            bool ok = false;
            options.language = value.toInt(&ok);
            if (!ok || !LLLanguages::find(options.language))
                return fail(u"'%1' is not a language of the client"_s.arg(value));
        }
    }
    return options;
}

bool LLClientOptions::readPassword(QString& password, QString* error) const {
    password.clear();
    if (passwordFile.isEmpty()) {
        password = qEnvironmentVariable("LEDGERLINE_PASSWORD");
        return true;
    }
    const auto fail = [&](const QString& why) {
        if (error)
            *error = u"the password file %1 %2"_s.arg(passwordFile, why);
        return false;
    };
    QFile file(passwordFile);
    if (!file.open(QIODevice::ReadOnly))
        return fail(u"cannot be read: "_s + file.errorString());
    const QByteArray bytes = file.read(MaxPasswordFile);
    if (file.error() != QFileDevice::NoError)
        return fail(u"cannot be read: "_s + file.errorString());
    QByteArray line = bytes.left(bytes.indexOf('\n'));
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.isEmpty())
        return fail(u"holds no password on its first line"_s);
    password = QString::fromUtf8(line);
    return true;
}
