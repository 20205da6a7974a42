#include "host/objects/LLServer.h"

#include "host/objects/LLDatabase.h"
#include "host/objects/LLErrors.h"
#include "host/objects/LLPassword.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

namespace LLObjectsCOM {

namespace {

QString xdgFolder(const char* variable, const char* fallback) {
    QString folder = qEnvironmentVariable(variable);
    if (folder.isEmpty() || QDir::isRelativePath(folder))
        folder = QDir::homePath() + QLatin1Char('/') + QLatin1String(fallback);
    return folder;
}

// The server name without a port ("host,1433") or instance spaces.
QString bareName(const QString& name) {
    return name.section(u',', 0, 0).trimmed();
}

} // namespace

bool Server::init(const QString& folder, int type, QString* error) {
    if (type < 1 || type > 6) {
        setError(error, QStringLiteral("Unknown database server type %1 (1 to 6)").arg(type));
        return false;
    }
    QDir dir(folder);
    if (QFileInfo::exists(dir.filePath(QStringLiteral("server.ini")))) {
        setError(error, QStringLiteral("%1 is a server already").arg(folder));
        return false;
    }
    for (const QString& path : {dir.absolutePath(), dir.filePath(QStringLiteral("LL_SHR")),
                                dir.filePath(QStringLiteral("backups"))}) {
        if (!QDir().mkpath(path)) {
            setError(error, QStringLiteral("Cannot create the folder %1").arg(path));
            return false;
        }
    }
    if (!Database::ensureBackupHistory(dir.filePath(QStringLiteral("msdb.db")), error))
        return false;
    QSettings ini(dir.filePath(QStringLiteral("server.ini")), QSettings::IniFormat);
    ini.setValue(QStringLiteral("server/type"), type);
    ini.setValue(QStringLiteral("trusted/users"), QStringList{currentOsUser()});
    ini.sync();
    if (ini.status() != QSettings::NoError) {
        setError(error, QStringLiteral("Cannot write %1").arg(ini.fileName()));
        return false;
    }
    return true;
}

std::optional<Server> Server::open(const QString& folder, QString* error) {
    const QString ini = QDir(folder).filePath(QStringLiteral("server.ini"));
    if (!QFileInfo(ini).isFile()) {
        setError(error, QStringLiteral("%1 is not a server folder (no server.ini)").arg(folder));
        return std::nullopt;
    }
    QSettings settings(ini, QSettings::IniFormat);
    bool ok = false;
    const int type = settings.value(QStringLiteral("server/type")).toInt(&ok);
    if (!ok || type < 1 || type > 6) {
        setError(error, QStringLiteral("%1: the server type is missing or wrong").arg(ini));
        return std::nullopt;
    }
    return Server(QDir(folder).absolutePath(), type);
}

std::optional<Server> Server::find(const QString& name, QString* error) {
    const QString bare = bareName(name);
    if (bare.isEmpty() || isLocalName(bare))
        return open(defaultLocalFolder(), error);
    for (const auto& [registered, folder] : registeredServers()) {
        if (registered.compare(bare, Qt::CaseInsensitive) == 0)
            return open(folder, error);
    }
    if (QFileInfo(bare).isDir())
        return open(bare, error);
    setError(error, QStringLiteral("Unknown server '%1'").arg(name));
    return std::nullopt;
}

QString Server::defaultLocalFolder() {
    const QString home = qEnvironmentVariable("LEDGERLINE_HOME");
    if (!home.isEmpty())
        return QDir(home).absolutePath();
    return xdgFolder("XDG_DATA_HOME", ".local/share") + QStringLiteral("/ledgerline/server");
}

QString Server::registryPath() {
    return xdgFolder("XDG_CONFIG_HOME", ".config") + QStringLiteral("/ledgerline/servers.ini");
}

bool Server::registerServer(const QString& name, const QString& folder, QString* error) {
    const QString bare = bareName(name);
    if (bare.isEmpty() || bare.contains(u'/') || bare.contains(u'\\') || isLocalName(bare)) {
        setError(error, QStringLiteral("'%1' cannot be a server name").arg(name));
        return false;
    }
    if (!open(folder, error))
        return false;
    QDir().mkpath(QFileInfo(registryPath()).absolutePath());
    QSettings registry(registryPath(), QSettings::IniFormat);
    registry.beginGroup(QStringLiteral("servers"));
    registry.setValue(bare.toLower(), QDir(folder).absolutePath());
    registry.endGroup();
    registry.sync();
    if (registry.status() != QSettings::NoError) {
        setError(error, QStringLiteral("Cannot write %1").arg(registryPath()));
        return false;
    }
    return true;
}

QList<std::pair<QString, QString>> Server::registeredServers() {
    QList<std::pair<QString, QString>> list;
    list.append({QStringLiteral("(local)"), defaultLocalFolder()});
    QSettings registry(registryPath(), QSettings::IniFormat);
    registry.beginGroup(QStringLiteral("servers"));
    for (const QString& key : registry.childKeys())
        list.append({key, registry.value(key).toString()});
    return list;
}

bool Server::isLocalName(const QString& name) {
    const QString bare = bareName(name);
    for (const QString& local :
         {QStringLiteral("."), QStringLiteral("(local)"), QStringLiteral("localhost"),
          QStringLiteral("127.0.0.1"), QSysInfo::machineHostName()}) {
        if (bare.compare(local, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString Server::resolveSharePath(const QString& path) {
    QString p = path;
    p.replace(u'\\', u'/');
    static const QRegularExpression share(QStringLiteral("^//([^/]+)/LL_SHR(/.*)?$"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = share.match(p);
    if (!m.hasMatch())
        return p;
    const std::optional<Server> server = find(m.captured(1));
    if (!server)
        return p;
    return server->sharePath() + m.captured(2);
}

bool Server::isValidDatabaseName(const QString& name) {
    static const QRegularExpression valid(
        QStringLiteral("^[A-Za-z0-9_\\-][A-Za-z0-9_\\-. ]{0,99}$"));
    return valid.match(name).hasMatch() && name.compare(u"msdb", Qt::CaseInsensitive) != 0 &&
           !name.endsWith(u' ') && !name.endsWith(u'.');
}

QString Server::newDatabasePath(const QString& database) const {
    return m_folder + QLatin1Char('/') + database + QStringLiteral(".db");
}

QString Server::databasePath(const QString& database) const {
    if (!isValidDatabaseName(database))
        return {};
    const QString exact = newDatabasePath(database);
    if (QFileInfo(exact).isFile())
        return exact;
    if (caseInsensitive()) {
        for (const QString& name : databases()) {
            if (name.compare(database, Qt::CaseInsensitive) == 0)
                return newDatabasePath(name);
        }
    }
    return {};
}

QStringList Server::databases() const {
    QStringList names;
    const QFileInfoList files =
        QDir(m_folder).entryInfoList({QStringLiteral("*.db")}, QDir::Files, QDir::Name);
    for (const QFileInfo& file : files) {
        const QString name = file.completeBaseName();
        if (isValidDatabaseName(name))
            names << name;
    }
    return names;
}

bool Server::checkLogin(const QString& user, const QString& password) const {
    if (user.isEmpty())
        return false;
    QSettings ini(iniPath(), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("logins"));
    const QString stored = ini.value(user.toLower()).toString();
    return Password::verify(password, stored);
}

bool Server::trusts(const QString& osUser) const {
    QSettings ini(iniPath(), QSettings::IniFormat);
    return ini.value(QStringLiteral("trusted/users")).toStringList().contains(osUser);
}

bool Server::setLogin(const QString& user, const QString& password, QString* error) {
    static const QRegularExpression valid(QStringLiteral("^[A-Za-z0-9_.\\-]{1,64}$"));
    if (!valid.match(user).hasMatch()) {
        setError(error, QStringLiteral("'%1' cannot be a database login").arg(user));
        return false;
    }
    QSettings ini(iniPath(), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("logins"));
    ini.setValue(user.toLower(), Password::hash(password));
    ini.endGroup();
    ini.sync();
    if (ini.status() != QSettings::NoError) {
        setError(error, QStringLiteral("Cannot write %1").arg(iniPath()));
        return false;
    }
    return true;
}

QString Server::currentOsUser() {
    if (const passwd* pw = getpwuid(geteuid()))
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

} // namespace LLObjectsCOM
