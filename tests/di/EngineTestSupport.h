#pragma once

#include "TestData.h"
#include "catalogue/MRV_DataInterfaceFactory.h"
#include "config/LogTestSupport.h"
#include "config/MRV_CopyLog.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_DIInterface.h"
#include "di/MRV_InitialPasswords.h"
#include "host/HostTestSupport.h"
#include "host/admin/LLDemo.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLUserTables.h"

#include <QDir>

#include <memory>

// A standard demo company as base and an empty new company as target on a
// server of their own, a connection context joining them, and an open copy
// log, for tests that copy categories between real companies.
class EngineWorld : public HostWorld {
protected:
    // One log record: the nine fields.
    enum LogField {
        Category,
        Type,
        Result,
        BaseCode,
        BaseDesc,
        TargetCode,
        TargetDesc,
        Former,
        Error
    };

    void TearDown() override {
        context.copyLog = nullptr;
        context.initialPasswords = nullptr;
        passwords.reset();
        log.reset();
        context.baseCompany.reset();
        context.targetCompany.reset();
        HostWorld::TearDown();
    }

    void makeCompanies(int serverType = 6) {
        server = makeServer(serverType, QStringLiteral("srv"));
        QString error;
        ASSERT_TRUE(LLObjectsCOM::Demo::create(*server, QStringLiteral("BASE"),
                                               QStringLiteral("standard"), 1, &error))
            << error.toStdString();
        ASSERT_TRUE(LLObjectsCOM::Demo::create(*server, QStringLiteral("TARGET"),
                                               QStringLiteral("empty"), 1, &error))
            << error.toStdString();
        base = std::make_shared<LLObjectsCOM::Company>();
        target = std::make_shared<LLObjectsCOM::Company>();
        connect(*base, *server, QStringLiteral("BASE"));
        connect(*target, *server, QStringLiteral("TARGET"));
        context.baseCompany = base;
        context.targetCompany = target;
        context.baseCompanyName = base->CompanyName();
        context.targetCompanyName = target->CompanyName();
        context.copyMethod = 1;
        context.responseToFailure = 0;
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("logs")));
        log = std::make_unique<MRV_CopyLog>(context);
        ASSERT_TRUE(log->open(dir.filePath(QStringLiteral("logs"))));
        log->writeHeader();
        context.copyLog = log.get();
        passwords = std::make_unique<MRV_InitialPasswords>(log->filePath());
        context.initialPasswords = passwords.get();
    }

    std::unique_ptr<MRV_DIInterface> manager(const QString& categoryId) {
        auto made = MRV_DataInterfaceFactory(&context).createDataInterface(categoryId);
        EXPECT_TRUE(made) << categoryId.toStdString();
        return made;
    }
    BOMTableList read(const QString& categoryId, const MRV_KeyList& keys = {}) {
        BOMTableList tables;
        manager(categoryId)->readFromDatabase(keys, tables);
        return tables;
    }
    // Reads the category from the base and writes it into the target, as a
    // copy run does (for "Replace All" the removal phase first).
    HRESULT copy(const QString& categoryId, int method, const MRV_KeyList& keys = {}) {
        const BOMTableList tables = read(categoryId, keys);
        if (method == MRV_DIInterface::ReplaceAll) {
            const HRESULT removal = manager(categoryId)->writeToTarget(tables, 0);
            if (removal < 0)
                return removal;
        }
        return manager(categoryId)->writeToTarget(tables, method);
    }

    // The records of the log so far (the header line left out), each split
    // into its fields.
    QList<QStringList> logRecords() const {
        QList<QStringList> records;
        const QStringList lines =
            logtest::utf16Text(logtest::readBytes(log->filePath())).split(QStringLiteral("\r\n"));
        for (qsizetype i = 1; i < lines.size(); ++i)
            if (!lines[i].isEmpty())
                records << lines[i].split(u'|');
        return records;
    }
    // Copies each category with add-and-update and once more with second:
    // the target then holds what its contents query shows of the base, and
    // every line of the log succeeded.
    void expectCopiesOfTheBase(const QList<std::pair<QString, QString>>& categoriesAndContents,
                               int second = MRV_DIInterface::AddAndUpdate) {
        for (const auto& [category, contents] : categoriesAndContents) {
            EXPECT_EQ(copy(category, MRV_DIInterface::AddAndUpdate), S_OK)
                << category.toStdString();
            EXPECT_EQ(copy(category, second), S_OK) << category.toStdString();
            EXPECT_EQ(rows(*target, contents), rows(*base, contents)) << category.toStdString();
        }
        for (const QStringList& r : logRecords())
            EXPECT_EQ(r[Result], "402") << r.join(u'|').toStdString();
    }

    // Records of the log of one result ("402" or "403") and transaction type
    // ("212", "213", "404").
    qsizetype logged(const QString& type, const QString& result) const {
        qsizetype n = 0;
        for (const QStringList& r : logRecords())
            n += r.value(Type) == type && r.value(Result) == result;
        return n;
    }

public:
    static QList<QVariantList> rows(LLObjectsCOM::Company& company, const QString& sql) {
        const auto rs = company.GetRecordset();
        rs->DoQuery(sql);
        QList<QVariantList> out;
        for (; !rs->EoF(); rs->MoveNext()) {
            QVariantList row;
            for (int i = 0; i < rs->FieldCount(); ++i)
                row << rs->Field(i);
            out << row;
        }
        return out;
    }
    // The first column of every row, as text.
    static QStringList column(LLObjectsCOM::Company& company, const QString& sql) {
        QStringList values;
        for (const QVariantList& row : rows(company, sql))
            values << LLObjectsCOM::Recordset::valueText(row.value(0));
        return values;
    }
    static QVariant value(LLObjectsCOM::Company& company, const QString& sql) {
        const QList<QVariantList> r = rows(company, sql);
        return r.isEmpty() ? QVariant() : r.first().value(0);
    }
    static void exec(LLObjectsCOM::Company& company, const QString& sql) {
        company.GetRecordset()->DoQuery(sql);
    }
    static bool addUserField(LLObjectsCOM::Company& company, const QString& table,
                             const QString& alias) {
        QString error;
        const bool ok = LLObjectsCOM::UserTables::addField(*company.state()->database, true, table,
                                                           alias, alias, u'A', 50, &error);
        EXPECT_TRUE(ok) << error.toStdString();
        return ok;
    }

protected:
    std::optional<LLObjectsCOM::Server> server;
    std::shared_ptr<LLObjectsCOM::Company> base;
    std::shared_ptr<LLObjectsCOM::Company> target;
    MRV_ConnectionContext context;
    std::unique_ptr<MRV_CopyLog> log;
    // The first passwords of the users a test adds, beside the log.
    std::unique_ptr<MRV_InitialPasswords> passwords;
};

// The names of the server types whose SQL differs, for parameterised suites.
inline std::string serverTypeName(const ::testing::TestParamInfo<int>& info) {
    return info.param == 5 ? std::string("Quoted") : std::string("Db2");
}
