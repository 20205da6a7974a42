#pragma once

#include "TestData.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_UDTManager.h"
#include "host/HostTestSupport.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLRecordset.h"
#include "interaction/MRV_ScriptedInteraction.h"
#include "tsframework/CLogBase.h"

#include <QFile>

// A private host world with a connection context on a company of it, a
// scripted user, and the framework log in a file of the test, written at
// debug level so the statements the program runs can be read back.
class DiWorld : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        savedLogFile = qgetenv("MIRROVA_LOG_FILE");
        savedLogLevel = qgetenv("MIRROVA_LOG_LEVEL");
        logPath = dir.filePath(QStringLiteral("mirrova.log"));
        qputenv("MIRROVA_LOG_FILE", logPath.toUtf8());
        qputenv("MIRROVA_LOG_LEVEL", "debug");
        CLogBase::reconfigure();
    }
    void TearDown() override {
        qputenv("MIRROVA_LOG_FILE", savedLogFile);
        qputenv("MIRROVA_LOG_LEVEL", savedLogLevel);
        CLogBase::reconfigure();
        HostWorld::TearDown();
    }

    LLObjectsCOM::Company& company() { return *context.company; }

    // The context's company on a new server of type, with the program's
    // tables as start-up leaves them.
    LLObjectsCOM::Server open(int type, bool withTables = true) {
        context.company = std::make_shared<LLObjectsCOM::Company>();
        const LLObjectsCOM::Server server = openCompany(*context.company, type);
        if (withTables) {
            EXPECT_EQ(MRV_UDTManager(&context).checkCompany(), S_OK);
        }
        takeLog();
        return server;
    }

    // The log lines written since the last call.
    QStringList takeLog() {
        QFile file(logPath);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        file.seek(logRead);
        const QByteArray data = file.readAll();
        logRead += data.size();
        return QString::fromUtf8(data).split(u'\n', Qt::SkipEmptyParts);
    }
    // The statements run since the last call, as logged.
    QStringList takeSql() {
        QStringList statements;
        for (const QString& line : takeLog()) {
            const qsizetype at = line.indexOf(QStringLiteral(": SQL: \""));
            if (at >= 0 && line.endsWith(u'"'))
                statements << line.mid(at + 8, line.size() - at - 9);
        }
        return statements;
    }

    // Runs a statement on the context's company; its rows as texts.
    QList<QStringList> rows(const QString& sql) {
        std::unique_ptr<LLObjectsCOM::Recordset> rs = company().GetRecordset();
        rs->DoQuery(sql);
        QList<QStringList> result;
        for (; !rs->EoF(); rs->MoveNext()) {
            QStringList row;
            for (int i = 0; i < rs->FieldCount(); ++i)
                row << rs->Field(i).toString();
            result << row;
        }
        return result;
    }
    QStringList column(const QString& sql) {
        QStringList values;
        for (const QStringList& row : rows(sql))
            values << row.value(0);
        return values;
    }
    QString value(const QString& sql) { return rows(sql).value(0).value(0); }
    // Whether the log lines written since the last call hold text.
    bool logged(const QString& text) { return takeLog().join(u'\n').contains(text); }

    MRV_ScriptedInteraction ui;
    MRV_InteractionScope uiScope{ui};
    MRV_ConnectionContext context;
    QString logPath;
    qint64 logRead = 0;
    QByteArray savedLogFile;
    QByteArray savedLogLevel;
};
