#pragma once

#include <QDateTime>
#include <QString>

namespace LLObjectsCOM {

class Server;

// One-time login contexts. A client with a user logged in to a company
// hands an add-on process a context instead of the password; the add-on's
// company connects with it once, as that user, within a minute. A context
// is kept as a file in the server's "sessions" folder, readable by its
// owner only and named by the context's hash, so that the folder does not
// give contexts away.
class LoginContexts {
public:
    static constexpr int LifetimeSeconds = 60;

    explicit LoginContexts(const Server& server);

    // A new context for the user of the company database; empty, with why,
    // when it cannot be kept.
    QString issue(const QString& database, const QString& user, const QDateTime& now,
                  QString* error = nullptr);
    // The database and user of a context, which is used up by it; false
    // for one that is unknown, used or older than its lifetime.
    bool redeem(const QString& context, const QDateTime& now, QString& database, QString& user);

private:
    QString fileOf(const QString& context) const;

    QString m_folder;
};

} // namespace LLObjectsCOM
