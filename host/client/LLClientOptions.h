#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The command line of the client:
//   ledgerline [--server S] [--db DB] [--user U] [--password-file F]
//              [--language LCID] [--addon PATH]... [--no-addons] [--help]
// Each option with a value takes it as the next word or after '='.
struct LLClientOptions {
    QString server;
    QString database;
    QString user;
    QString passwordFile;
    int language = 0; // 0: from the system's locale
    QStringList addOns;
    bool noAddOns = false;
    bool help = false;

    // The options, or nothing with why in error.
    static std::optional<LLClientOptions> parse(const QStringList& args, QString* error);
    static QString usage();

    // The password: the first line of the password file, else
    // $LEDGERLINE_PASSWORD; empty when neither gives one. False, with why,
    // when the file cannot be read.
    bool readPassword(QString& password, QString* error) const;
};
