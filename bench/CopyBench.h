#pragma once

// What the copy-run benchmarks share: a temporary server with the settings
// a run needs, companies to log in to, and the plain SQLite copy of rows
// that every run is set against.

#include "BenchSupport.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_SettingsManager.h"
#include "di/MRV_UDTManager.h"
#include "host/objects/LLDatabase.h"
#include "host/objects/LLPassword.h"
#include "host/objects/LLServer.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CTSBSTR.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <optional>

namespace bench {

inline bool fail(const QString& what) {
    std::fprintf(stderr, "%s\n", qPrintable(what));
    return false;
}

inline QString text(quint32 id) {
    CTSBSTR t(MRV_Interaction::current().language());
    t.LoadStringW(id);
    return t.str();
}

inline std::shared_ptr<LLObjectsCOM::Company> open(const LLObjectsCOM::Server& server,
                                                   const QString& db) {
    auto company = std::make_shared<LLObjectsCOM::Company>();
    if (!connect(*company, server, db))
        return nullptr;
    return company;
}

// A new server in dir, with the program's and the host's files kept there
// too, so that a run leaves nothing behind.
inline std::optional<LLObjectsCOM::Server> newServer(const QTemporaryDir& dir) {
    qputenv("LEDGERLINE_HOME", dir.filePath(QStringLiteral("local")).toUtf8());
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", dir.filePath(QStringLiteral("run")).toUtf8());
    QDir().mkpath(dir.filePath(QStringLiteral("run")));
    LLObjectsCOM::Password::setIterationsForTesting(1000);
    QString error;
    const QString folder = dir.filePath(QStringLiteral("srv"));
    if (!LLObjectsCOM::Server::init(folder, 6, &error))
        return fail(error), std::nullopt;
    return LLObjectsCOM::Server::open(folder);
}

// The program's settings in the base, with the copy log in dir.
inline bool saveSettings(MRV_ConnectionContext& context, const QTemporaryDir& dir) {
    if (MRV_UDTManager(&context).checkCompany() < 0)
        return fail(QStringLiteral("The base cannot hold the program's settings"));
    MRV_SettingsManager settings(&context);
    settings.setDefaultSettings();
    settings.setLogFileFolder(dir.filePath(QStringLiteral("logs")));
    QDir().mkpath(settings.logFileFolder());
    if (settings.saveSettingsToDatabase() != S_OK)
        return fail(QStringLiteral("The settings are not saved"));
    context.copyMethod = 1;
    context.forceBackup = false;
    return true;
}

// Every column of the rows of table that match condition, from base into
// plain with one prepared statement (replacing rows plain has already with
// replace); the rows copied, or -1 with the reason.
inline qint64 plainRows(LLObjectsCOM::Database& base, LLObjectsCOM::Database& plain,
                        const QString& table, const QString& condition, QString& error,
                        bool replace = false) {
    using LLObjectsCOM::Statement;
    // The columns both have: the base's user-defined fields are not the
    // plain company's.
    Statement* shape =
        plain.run(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(table), {}, &error);
    if (!shape)
        return -1;
    QStringList columns, marks;
    for (int i = 0; i < shape->columnCount(); ++i)
        columns << shape->columnName(i), marks << QStringLiteral("?");
    shape->finish();
    Statement* read = base.run(
        QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(columns.join(u','), table, condition), {},
        &error);
    if (!read)
        return -1;
    const std::shared_ptr<Statement> insert =
        plain.statement(QStringLiteral("INSERT %1INTO %2 (%3) VALUES (%4)")
                            .arg(replace ? QStringLiteral("OR REPLACE ") : QString(), table,
                                 columns.join(u','), marks.join(u',')),
                        &error);
    if (!insert) {
        read->finish();
        return -1;
    }
    qint64 rows = 0;
    QVariantList row;
    while (read->next()) {
        row.clear();
        for (int i = 0; i < columns.size(); ++i)
            row << read->value(i);
        if (!insert->exec(row)) {
            error = insert->error();
            read->finish();
            return -1;
        }
        ++rows;
    }
    read->finish();
    return rows;
}

} // namespace bench
