#include "host/objects/LLLoginContext.h"

#include "host/objects/LLSecret.h"
#include "host/objects/LLServer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace LLObjectsCOM {

namespace {

constexpr int ContextBytes = 32;

} // namespace

LoginContexts::LoginContexts(const Server& server)
    : m_folder(server.folder() + QStringLiteral("/sessions")) {}

QString LoginContexts::fileOf(const QString& context) const {
    return m_folder + u'/' +
           QString::fromLatin1(
               QCryptographicHash::hash(context.toLatin1(), QCryptographicHash::Sha256).toHex());
}

QString LoginContexts::issue(const QString& database, const QString& user, const QDateTime& now,
                             QString* error) {
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return QString();
    };
    if (!QDir().mkpath(m_folder) ||
        !QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return fail(QStringLiteral("The folder %1 cannot be made private").arg(m_folder));
    const QString context = QString::fromLatin1(randomHex(ContextBytes));
    QSaveFile file(fileOf(context));
    // Names of the company and user are one line each; a line end in either
    // could not be told apart, and no database or user code holds one.
    if (database.contains(u'\n') || user.contains(u'\n'))
        return fail(QStringLiteral("A database name or user code holds a line end"));
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner))
        return fail(
            QStringLiteral("The login context cannot be written: %1").arg(file.errorString()));
    file.write((database + u'\n' + user + u'\n' +
                now.addSecs(LifetimeSeconds).toUTC().toString(Qt::ISODate) + u'\n')
                   .toUtf8());
    if (!file.commit())
        return fail(
            QStringLiteral("The login context cannot be written: %1").arg(file.errorString()));
    return context;
}

bool LoginContexts::redeem(const QString& context, const QDateTime& now, QString& database,
                           QString& user) {
    if (!isRandomHex(context, ContextBytes))
        return false;
    QFile file(fileOf(context));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QStringList lines = QString::fromUtf8(file.read(4096)).split(u'\n');
    file.close();
    // Whoever removes the file uses the context: a second process finds
    // nothing to remove.
    if (!file.remove() || lines.size() != 4)
        return false;
    const QDateTime expiry = QDateTime::fromString(lines[2], Qt::ISODate);
    if (!expiry.isValid() || now.toUTC() > expiry)
        return false;
    database = lines[0];
    user = lines[1];
    return true;
}

} // namespace LLObjectsCOM
