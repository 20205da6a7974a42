#pragma once

#include <QList>
#include <QString>

// The first passwords of the users a copy run adds to the target: each is
// drawn from the system's secure random source and handed to the operator
// once, in a file of the run beside its copy log, readable by the
// operator only. The file is made when the first password is kept (with
// mode 0600, never an existing file) and never widened; nothing else of
// the program writes a password anywhere.
class MRV_InitialPasswords {
public:
    // The file beside the copy log at logPath, named after it.
    explicit MRV_InitialPasswords(const QString& logPath);
    ~MRV_InitialPasswords();
    MRV_InitialPasswords(const MRV_InitialPasswords&) = delete;
    MRV_InitialPasswords& operator=(const MRV_InitialPasswords&) = delete;

    // The file of a copy log's passwords.
    static QString pathFor(const QString& logPath);
    // A new password from the system's secure random source.
    static QString generate();

    // Keeps the user's first password in the file, which is made with the
    // first; false, with why, when it cannot be made or written: the user
    // must not be added then.
    bool add(const QString& userCode, const QString& password, QString& error);
    // The user was not added after all: its password goes from the file.
    // False, with why, when the file cannot be written.
    bool withdraw(const QString& userCode, QString& error);
    // What was kept is on the disk. Called before the users it names are
    // committed: syncing each line instead would cost a sync per user, and
    // a user is not durable before its commit anyway. False, with why,
    // when the file cannot be synced: the users must not be committed then.
    bool sync(QString& error);

    const QString& path() const { return m_path; }
    // Passwords kept; the file exists once there was one.
    qsizetype count() const { return m_entries.size(); }
    bool fileMade() const { return m_fd >= 0; }

private:
    bool open(QString& error);
    // The whole file again from the entries.
    bool rewrite(QString& error);
    // Why the file could not be written, with the system's reason.
    QString cannotWrite() const;

    struct Entry {
        QString userCode;
        QString password;
    };
    QString m_path;
    int m_fd = -1;
    bool m_unsynced = false;
    QList<Entry> m_entries;
};
