#pragma once

#include "TestData.h"
#include "host/admin/LLAdmin.h"
#include "host/admin/LLAdminCli.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLDatabase.h"
#include "host/objects/LLPassword.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

// The first value of the first row of a query, or nothing.
inline QVariant scalar(LLObjectsCOM::Company& company, const QString& sql) {
    std::unique_ptr<LLObjectsCOM::Recordset> rs = company.GetRecordset();
    rs->DoQuery(sql);
    return rs->EoF() ? QVariant() : rs->Field(0);
}

// Every row of a query straight on a database, one text line each, its values
// joined by '|'.
inline QStringList rowTexts(LLObjectsCOM::Database& db, const QString& sql) {
    QSqlQuery q(db.connection());
    EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    QStringList rows;
    while (q.next()) {
        QStringList values;
        for (int i = 0; i < q.record().count(); ++i)
            values << q.value(i).toString();
        rows << values.join(u'|');
    }
    return rows;
}

// Writes bytes to a new file at path, its folder made as needed; a file that
// cannot be written fails the test.
inline void writeTestFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// The code of the ComError that call throws, with the company's last error
// set to it and described; 0 when it does not throw.
inline int comErrorOf(LLObjectsCOM::Company& company, const std::function<void()>& call) {
    try {
        call();
    } catch (const ComError& e) {
        EXPECT_EQ(company.GetLastErrorCode(), e.code());
        EXPECT_FALSE(company.GetLastErrorDescription().isEmpty());
        return e.code();
    }
    return 0;
}

// The code with which the host refuses a statement, 0 when it runs it.
inline int queryError(LLObjectsCOM::Company& company, const QString& sql) {
    return comErrorOf(company, [&] { company.GetRecordset()->DoQuery(sql); });
}

// Whether the host refuses a statement.
inline bool refused(LLObjectsCOM::Company& company, const QString& sql) {
    return queryError(company, sql) != 0;
}

// The words of a line split at blanks, as for a command line; a word with
// a blank in it is added to the list on its own.
inline QStringList words(const char* line) {
    return QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts);
}

// The business object of a type that the company hands out; anything else
// fails the test (gtest reports the exception).
inline std::unique_ptr<LLObjectsCOM::BusinessObject> businessObject(LLObjectsCOM::Company& company,
                                                                    int type) {
    std::unique_ptr<LLObjectsCOM::HostObject> o = company.GetBusinessObject(type);
    if (!dynamic_cast<LLObjectsCOM::BusinessObject*>(o.get()))
        throw std::logic_error("object " + std::to_string(type) + " is no business object");
    return std::unique_ptr<LLObjectsCOM::BusinessObject>(
        static_cast<LLObjectsCOM::BusinessObject*>(o.release()));
}

using CliResult = CommandResult;

// What the admin tool returns and prints for a command line.
inline CliResult admin(const QStringList& args) {
    return runCommand<LLObjectsCOM::AdminCli>(args);
}

// A private world for one test: the local server, the server registry and
// every server folder live in a temporary folder.
class HostWorld : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        LLObjectsCOM::Password::setIterationsForTesting(10);
        savedHome = qgetenv("LEDGERLINE_HOME");
        savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("LEDGERLINE_HOME", dir.filePath(QStringLiteral("local")).toUtf8());
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
    }
    void TearDown() override {
        qputenv("LEDGERLINE_HOME", savedHome);
        qputenv("XDG_CONFIG_HOME", savedConfig);
    }

    // A server folder of the given type, under a name of its own.
    LLObjectsCOM::Server makeServer(int type, const QString& name = QString()) {
        const QString folder =
            dir.filePath(name.isEmpty() ? QStringLiteral("srv%1").arg(type) : name);
        QString error;
        EXPECT_TRUE(LLObjectsCOM::Server::init(folder, type, &error)) << error.toStdString();
        return *LLObjectsCOM::Server::open(folder);
    }
    // A company set to log on to db in a server folder through a trusted
    // login, not yet connected.
    static void logOn(LLObjectsCOM::Company& company, const QString& folder, const QString& db,
                      const QString& user = QStringLiteral("lobster"),
                      const QString& password = QStringLiteral("lobster")) {
        company.Server = folder;
        company.CompanyDB = db;
        company.UserName = user;
        company.Password = password;
        company.UseTrusted = true;
    }
    // A company on server, connected as lobster through a trusted login.
    void connect(LLObjectsCOM::Company& company, const LLObjectsCOM::Server& server,
                 const QString& db) {
        logOn(company, server.folder(), db);
        ASSERT_EQ(company.Connect(), 0) << company.GetLastErrorDescription().toStdString();
    }
    void createCompany(const LLObjectsCOM::Server& server, const QString& db,
                       const QString& name = QStringLiteral("Demo US")) {
        QString error;
        ASSERT_TRUE(LLObjectsCOM::Admin::createCompany(server, db, name, QStringLiteral("US"),
                                                       LLObjectsCOM::Admin::DefaultVersion, &error))
            << error.toStdString();
    }

    // A new server of the given type holding one new company, and company
    // connected to it.
    LLObjectsCOM::Server openCompany(LLObjectsCOM::Company& company, int type,
                                     const QString& db = QStringLiteral("DEMO")) {
        const LLObjectsCOM::Server server = makeServer(type);
        createCompany(server, db);
        connect(company, server, db);
        return server;
    }

    QTemporaryDir dir;
    QByteArray savedHome;
    QByteArray savedConfig;
};
