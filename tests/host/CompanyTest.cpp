#include "HostTestSupport.h"

#include "TestData.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLErrors.h"
#include "host/objects/LLPassword.h"
#include "host/objects/LLRecordset.h"

#include <QFile>

#include <sys/wait.h>
#include <unistd.h>

using namespace LLObjectsCOM;
using namespace Qt::StringLiterals;

namespace {

QString sqlText(const QString& value) {
    return QString(value).replace(u'\'', u"''"_s);
}

} // namespace

TEST_F(HostWorld, ANewCompanyHasWhatTheHostGivesIt) {
    const Server server = makeServer(6);
    createCompany(server, u"DEMO_US"_s);
    const QList<Admin::CompanyInfo> list = Admin::companies(server);
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].database, u"DEMO_US"_s);
    EXPECT_EQ(list[0].name, u"Demo US"_s);
    EXPECT_EQ(list[0].version, Admin::DefaultVersion);
    EXPECT_FALSE(QFile::exists(server.newDatabasePath(u"DEMO_US"_s) + u".creating"_s));

    Company company;
    connect(company, server, u"demo_us"_s); // names ignore case on type 6
    EXPECT_EQ(company.Version(), Admin::DefaultVersion);
    EXPECT_EQ(company.CompanyName(), u"Demo US"_s);
    EXPECT_EQ(company.ServerType(), 6);
    EXPECT_EQ(company.Localization(), u"US"_s);
    EXPECT_EQ(scalar(company, u"SELECT SUPERUSER FROM OUSR WHERE USER_CODE = N'lobster'"_s),
              u"Y"_s);
    EXPECT_NE(scalar(company, u"SELECT PASSWORD FROM OUSR"_s), u"lobster"_s);
    EXPECT_EQ(scalar(company, u"SELECT LawsSet FROM CINF"_s), u"US"_s);
    EXPECT_GT(scalar(company, u"SELECT COUNT(*) FROM ONNM"_s).toInt(), 10);
    EXPECT_GE(scalar(company, u"SELECT COUNT(*) FROM OACT"_s).toInt(), 1);
    EXPECT_GE(scalar(company, u"SELECT COUNT(*) FROM OALT"_s).toInt(), 1);

    QString error;
    EXPECT_FALSE(Admin::createCompany(server, u"Demo_US"_s, u"X"_s, u"US"_s, 1, &error));
    EXPECT_TRUE(error.contains(u"exists"_s));
    EXPECT_FALSE(Admin::createCompany(server, u"../evil"_s, u"X"_s, u"US"_s, 1));
}

TEST_F(HostWorld, ConnectSaysWhatWentWrong) {
    Server server = makeServer(6);
    createCompany(server, u"DEMO"_s);
    ASSERT_TRUE(server.setLogin(u"sa"_s, u"pw"_s));
    writeTestFile(server.newDatabasePath(u"FOREIGN"_s),
                  "this is not a database at all, just some text that is long enough");
    QFile whole(server.newDatabasePath(u"DEMO"_s));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    writeTestFile(server.newDatabasePath(u"CUT"_s), whole.read(3000));
    ASSERT_TRUE(Database::ensureBackupHistory(server.msdbPath()));

    struct Case {
        const char* what;
        std::function<void(Company&)> change;
        int code;
    };
    const QList<Case> cases{
        {"unknown server", [](Company& c) { c.Server = u"nowhere"_s; }, errUnknownServer},
        {"server type", [](Company& c) { c.DbServerType = 2; }, errServerType},
        {"database login",
         [](Company& c) {
             c.UseTrusted = false;
             c.DbUserName = u"sa"_s;
             c.DbPassword = u"wrong"_s;
         },
         errDatabaseLogin},
        {"unknown database", [](Company& c) { c.CompanyDB = u"NONE"_s; }, errUnknownDatabase},
        {"path as database", [](Company& c) { c.CompanyDB = u"../DEMO"_s; }, errUnknownDatabase},
        {"foreign file", [](Company& c) { c.CompanyDB = u"FOREIGN"_s; }, errNotACompany},
        {"truncated file", [](Company& c) { c.CompanyDB = u"CUT"_s; }, errNotACompany},
        {"backup history", [](Company& c) { c.CompanyDB = u"msdb"_s; }, errUnknownDatabase},
        {"wrong password", [](Company& c) { c.Password = u"Lobster"_s; }, errWrongUserOrPassword},
        {"unknown user", [](Company& c) { c.UserName = u"x' OR 'a'='a"_s; },
         errWrongUserOrPassword},
        {"made-up login context", [](Company& c) { c.LoginContext = QString(64, u'0'); },
         errWrongUserOrPassword},
        {"login context of a path", [](Company& c) { c.LoginContext = u"../../DEMO"_s; },
         errWrongUserOrPassword},
    };
    for (const Case& c : cases) {
        Company company;
        logOn(company, server.folder(), u"DEMO"_s);
        c.change(company);
        EXPECT_EQ(company.Connect(), c.code) << c.what;
        EXPECT_FALSE(company.Connected()) << c.what;
        int code = 0;
        QString text;
        company.GetLastError(code, text);
        EXPECT_EQ(code, c.code) << c.what;
        EXPECT_FALSE(text.isEmpty()) << c.what;
    }

    // A database login instead of trust, and a second Connect.
    Company company;
    logOn(company, server.folder(), u"DEMO"_s);
    company.UseTrusted = false;
    company.DbUserName = u"sa"_s;
    company.DbPassword = u"pw"_s;
    ASSERT_EQ(company.Connect(), 0);
    EXPECT_EQ(company.Connect(), errAlreadyConnected);
    EXPECT_TRUE(company.Connected()) << "a refused second Connect keeps the first";
}

// A user whose password somebody else chose (a new user's first one) logs
// in only while setting an own new one, which then alone opens the company;
// a wrong or unfit try changes nothing.
TEST_F(HostWorld, AFirstPasswordOpensTheCompanyOnlyWithANewOne) {
    Company owner;
    const Server server = openCompany(owner, 6);
    owner.GetRecordset()->DoQuery(
        u"INSERT INTO OUSR (INTERNAL_K, USERID, USER_CODE, SUPERUSER, PASSWORD, PwdChange) "
        u"VALUES (9, 9, 'newbie', 'N', '%1', 'Y')"_s.arg(
            sqlText(Password::hash(u"First-pass-1"_s))));
    const auto logIn = [&](const QString& password, const QString& newPassword) {
        Company company;
        logOn(company, server.folder(), u"DEMO"_s, u"newbie"_s, password);
        company.NewPassword = newPassword;
        const int code = company.Connect();
        EXPECT_EQ(company.Connected(), code == 0);
        EXPECT_TRUE(company.NewPassword.isEmpty() || code != 0);
        return code;
    };
    const struct {
        const char* what;
        const char* password;
        const char* newPassword;
        int code;
    } tries[] = {
        {"no new password", "First-pass-1", "", errPasswordMustChange},
        {"too short", "First-pass-1", "Short-1", errPasswordMustChange},
        {"the same again", "First-pass-1", "First-pass-1", errPasswordMustChange},
        {"wrong first password", "first-pass-1", "Own-secret-9", errWrongUserOrPassword},
        {"a new one set", "First-pass-1", "Own-secret-9", 0},
        {"the first one again", "First-pass-1", "", errWrongUserOrPassword},
        {"the new one", "Own-secret-9", "", 0},
    };
    for (const auto& c : tries)
        EXPECT_EQ(logIn(QLatin1String(c.password), QLatin1String(c.newPassword)), c.code) << c.what;
}

// A connected company hands another process a login context: it connects
// once, as the same user to the same company, without the password, within
// a minute; the context is kept where only its owner reads it, under a name
// that does not give it away.
TEST_F(HostWorld, ALoginContextLogsInTheSameUserOnce) {
    Company session;
    const Server server = openCompany(session, 6);
    EXPECT_THROW(Company().GetLoginContext(), ComError);
    const QString context = session.GetLoginContext();
    const QString sessions = server.folder() + u"/sessions"_s;
    EXPECT_EQ(QFile::permissions(sessions) & 0x0077, 0);
    const QStringList kept = QDir(sessions).entryList(QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_NE(kept.first(), context);
    EXPECT_EQ(QFile::permissions(sessions + u'/' + kept.first()) & 0x0077, 0);

    const auto connectWith = [&](const QString& ctx, Company& addOn) {
        addOn.Server = server.folder();
        addOn.UseTrusted = true;
        addOn.LoginContext = ctx;
        return addOn.Connect();
    };
    Company addOn;
    ASSERT_EQ(connectWith(context, addOn), 0) << addOn.GetLastErrorDescription().toStdString();
    EXPECT_EQ(addOn.CompanyDB, session.CompanyDB);
    EXPECT_EQ(addOn.UserSignature(), session.UserSignature());
    EXPECT_TRUE(QDir(sessions).entryList(QDir::Files).isEmpty());
    Company again;
    EXPECT_EQ(connectWith(context, again), errWrongUserOrPassword);

    // Too late, or for a user locked since: refused.
    Company late;
    late.setClock([] { return QDateTime::currentDateTime().addSecs(61); });
    EXPECT_EQ(connectWith(session.GetLoginContext(), late), errWrongUserOrPassword);
    const QString forLocked = session.GetLoginContext();
    session.GetRecordset()->DoQuery(u"UPDATE OUSR SET Locked = 'Y' WHERE USER_CODE = N'lobster'"_s);
    Company locked;
    EXPECT_EQ(connectWith(forLocked, locked), errWrongUserOrPassword);
}

TEST_F(HostWorld, CompanyListShowsEveryCompanyOfTheServer) {
    const Server server = makeServer(6);
    createCompany(server, u"B_CO"_s, u"Beta Ltd."_s);
    createCompany(server, u"A_CO"_s, u"Alpha 'Ünïcödé' & Co"_s);
    writeTestFile(server.newDatabasePath(u"JUNK"_s), "junk");

    Company company;
    company.Server = server.folder();
    company.UseTrusted = true;
    std::unique_ptr<Recordset> list = company.GetCompanyList();
    ASSERT_EQ(list->RecordCount(), 2);
    EXPECT_EQ(list->FieldName(0), u"dbName"_s);
    EXPECT_EQ(list->Field(0), u"A_CO"_s);
    EXPECT_EQ(list->Field(1), u"Alpha 'Ünïcödé' & Co"_s);
    EXPECT_EQ(list->Field(2), QString::number(Admin::DefaultVersion));
    list->MoveNext();
    EXPECT_EQ(list->Field(u"cmpName"_s), u"Beta Ltd."_s);
    list->MoveNext();
    EXPECT_TRUE(list->EoF());
    EXPECT_THROW(list->Field(0), ComError);

    Company nowhere;
    nowhere.Server = u"nowhere"_s;
    EXPECT_THROW(nowhere.GetCompanyList(), ComError);
    EXPECT_EQ(nowhere.GetLastErrorCode(), errUnknownServer);
}

// Each dialect runs unchanged on its server type, and text compares as
// that server compares it.
TEST_F(HostWorld, EachDialectRunsUnchangedOnItsServerType) {
    for (int type : {2, 5, 6}) {
        SCOPED_TRACE(type);
        Company company;
        const Server server = openCompany(company, type);
        std::unique_ptr<Recordset> rs = company.GetRecordset();
        const bool quoted = type == 5;
        const QString table = type == 6 ? u"[@MRVNOTE]"_s : u"@MRVNOTE"_s;
        rs->DoQuery(u"CREATE TABLE %1 (Code nvarchar(30), Name nvarchar(100), "
                    u"U_Date datetime, U_ID int)"_s.arg(table));
        const QString date = type == 2 ? u"TIMESTAMP_ISO('2024-01-31')"_s
                             : quoted  ? u"'2024-01-31 00:00:00.000000'"_s
                                       : u"CONVERT(datetime,'20240131',112)"_s;
        const QString text = quoted ? u"'O''Brien [@X] N''x'"_s : u"N'O''Brien [@X] N''x'"_s;
        const QString insert =
            quoted ? u"INSERT INTO %1 (\"Code\", \"Name\", \"U_Date\", \"U_ID\") "
                     u"VALUES('1', %2, %3, 7)"_s
                   : u"INSERT INTO %1 (Code, Name, U_Date, U_ID) VALUES(N'1', %2, %3, 7)"_s;
        rs->DoQuery(insert.arg(table, text, date));
        EXPECT_EQ(rs->RowsAffected(), 1);
        rs->DoQuery(quoted ? u"SELECT \"Name\", \"U_Date\", \"U_ID\" FROM %1"_s.arg(table)
                           : u"SELECT Name, U_Date, U_ID FROM %1"_s.arg(table));
        ASSERT_EQ(rs->RecordCount(), 1);
        EXPECT_EQ(rs->Field(0), u"O'Brien [@X] N'x"_s);
        EXPECT_EQ(rs->Field(1), u"2024-01-31 00:00:00"_s);
        EXPECT_EQ(rs->Field(2).toInt(), 7);
        EXPECT_EQ(scalar(company, u"SELECT MAX(U_ID) FROM %1"_s.arg(table)).toInt(), 7);
        rs->DoQuery(u"SELECT %1, %2 FROM %3"_s.arg(quoted ? u"\"U_Date\""_s : u"U_Date"_s,
                                                   quoted ? u"\"Code\""_s : u"Code"_s, table));
        EXPECT_EQ(rs->GetAsXML(), u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                                  u"<row><U_Date>20240131</U_Date><Code>1</Code></row>"_s);

        // The same values bound to "?" are stored as their literals were,
        // types and all; a "?" without a value is refused, not bound to NULL.
        const auto id = [quoted](const char* name) {
            return quoted ? u'"' + QLatin1String(name) + u'"' : QString::fromLatin1(name);
        };
        const QString bound = u"INSERT INTO %1 (%2, %3, %4, %5) VALUES (?, ?, ?, ?)"_s.arg(
            table, id("Code"), id("Name"), id("U_Date"), id("U_ID"));
        rs->DoQuery(bound, {u"2"_s, u"O'Brien [@X] N'x"_s, QDate(2024, 1, 31), qint64(7)});
        EXPECT_EQ(rs->RowsAffected(), 1);
        EXPECT_EQ(scalar(company,
                         u"SELECT COUNT(*) FROM (SELECT DISTINCT %2, %3, %4, typeof(%3), "
                         u"typeof(%4) FROM %1)"_s.arg(table, id("Name"), id("U_Date"), id("U_ID")))
                      .toInt(),
                  1);
        rs->DoQuery(bound, {u"3"_s, QVariant(), QVariant(), QVariant()});
        EXPECT_EQ(scalar(company, u"SELECT COUNT(*) FROM %1 WHERE %2 IS NULL AND %3 IS NULL"_s.arg(
                                      table, id("Name"), id("U_Date")))
                      .toInt(),
                  1);
        // Conditions take bound values as their literals: the text and the
        // date find both rows written with them.
        rs->DoQuery(u"SELECT COUNT(*) FROM %1 WHERE %2 = ? AND %3 = ?"_s.arg(table, id("Name"),
                                                                             id("U_Date")),
                    {u"O'Brien [@X] N'x"_s, QDate(2024, 1, 31)});
        EXPECT_EQ(rs->Field(0).toInt(), 2);
        EXPECT_NE(queryError(company, u"INSERT INTO %1 (%2) VALUES (?)"_s.arg(table, id("Code"))),
                  0);
        EXPECT_EQ(scalar(company, u"SELECT COUNT(*) FROM %1"_s.arg(table)).toInt(), 3);
        if (type == 6) {
            // Bound statements are kept, but not with the moment of their
            // first run.
            QDateTime now(QDate(2024, 5, 1), QTime(8, 0));
            company.setClock([&now] { return now; });
            for (const char* expected : {"2024-05-01 08:00:00", "2024-05-02 08:00:00"}) {
                rs->DoQuery(u"SELECT GETDATE() WHERE ? = 1"_s, {1});
                EXPECT_EQ(rs->Field(0).toString(), QLatin1String(expected));
                now = now.addDays(1);
            }
        }

        // Text compares without case only on the MSSQL family.
        const int expected = type == 6 ? 1 : 0;
        const auto users = [&](const char* where) {
            return scalar(company, u"SELECT COUNT(*) FROM OUSR WHERE "_s + QString::fromUtf8(where))
                .toInt();
        };
        EXPECT_EQ(users("USER_CODE = 'LOBSTER'"), expected);
        EXPECT_EQ(users("USER_CODE LIKE 'LOB%'"), expected);
        EXPECT_EQ(users("USER_CODE = 'lobster'"), 1);
        // Beyond ASCII too: the server folds every script's case.
        scalar(company, u"UPDATE OUSR SET U_NAME = N'Ümit Ölçer Σίσυφος'"_s);
        EXPECT_EQ(users("U_NAME = N'ümit ölçer ΣΊΣΥΦΟΣ'"), expected);
    }
    // The localization query as the program writes it for type 5.
    const Server five = Server::open(dir.filePath(u"srv5"_s)).value();
    Company company;
    connect(company, five, u"DEMO"_s);
    EXPECT_EQ(scalar(company, u"SELECT \"LawsSet\"DG1 FROM CINF"_s), u"US"_s);
}

TEST_F(HostWorld, TransactionsCommitOrRollBack) {
    Company company;
    const Server server = openCompany(company, 6);
    const QString count = u"SELECT COUNT(*) FROM OUSR"_s;
    const int before = scalar(company, count).toInt();
    const auto addUser = [&](int key) {
        scalar(company, u"INSERT INTO OUSR (INTERNAL_K, USER_CODE, U_NAME) "
                        u"VALUES (%1, N'u%1', N'User %1')"_s.arg(key));
    };
    EXPECT_FALSE(company.InTransaction());
    company.StartTransaction();
    EXPECT_TRUE(company.InTransaction());
    EXPECT_THROW(company.StartTransaction(), ComError);
    addUser(50);
    company.EndTransaction(1);
    EXPECT_FALSE(company.InTransaction());
    EXPECT_EQ(scalar(company, count).toInt(), before);
    company.StartTransaction();
    addUser(51);
    company.EndTransaction(0);
    EXPECT_EQ(scalar(company, count).toInt(), before + 1);
    EXPECT_THROW(company.EndTransaction(1), ComError);
    EXPECT_EQ(company.GetLastErrorCode(), errNoTransaction);

    // Disconnecting with an open transaction rolls it back.
    company.StartTransaction();
    addUser(52);
    company.Disconnect();
    connect(company, server, u"DEMO"_s);
    EXPECT_EQ(scalar(company, count).toInt(), before + 1);
}

TEST_F(HostWorld, BackupCountsForSixtyMinutes) {
    Company company;
    const Server server = openCompany(company, 6, u"TARGET"_s);
    const QDateTime now(QDate(2026, 12, 6), QTime(10, 0, 0));
    company.setClock([now] { return now; });
    const QString database = u"TARGET"_s;
    const QString query =
        u"SELECT 1 AS Expr1 FROM msdb.dbo.backupset WHERE (database_name = '"_s + database +
        u"') AND (GETDATE() <= DATEADD(minute, 60, (SELECT     MAX(backup_finish_date) "
        u"FROM msdb..backupset WHERE database_name = '"_s +
        database + u"')))"_s;
    const auto rows = [&] {
        std::unique_ptr<Recordset> rs = company.GetRecordset();
        rs->DoQuery(query);
        return rs->RecordCount();
    };
    EXPECT_EQ(rows(), 0) << "no backup yet";
    QString file, error;
    ASSERT_TRUE(Admin::backup(server, database, now.addSecs(-61 * 60), &file, &error))
        << error.toStdString();
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(rows(), 0) << "61 minutes is too old";
    ASSERT_TRUE(Admin::backup(server, database, now.addSecs(-60 * 60)));
    EXPECT_GE(rows(), 1) << "60 minutes still counts";
    EXPECT_TRUE(QFileInfo(file).size() > 0);

    // The company backs itself up on the program's word, at the moment of
    // its clock, into the server's folder and nowhere else.
    company.setClock([now] { return now.addSecs(3 * 3600); });
    const auto run = [&](const QString& statement) {
        std::unique_ptr<Recordset> rs = company.GetRecordset();
        rs->DoQuery(statement);
    };
    EXPECT_EQ(rows(), 0);
    run(u"BACKUP DATABASE [TARGET] TO DISK = N'before.bak'"_s);
    EXPECT_GE(rows(), 1);
    EXPECT_TRUE(QFileInfo(QDir(server.backupsPath()).filePath(u"before.bak"_s)).size() > 0);
    for (const QString& refused : {u"BACKUP DATABASE [TARGET] TO DISK = N'before.bak'"_s, // exists
                                   u"BACKUP DATABASE [BASE] TO DISK = N'b.bak'"_s,
                                   u"BACKUP DATABASE TARGET TO DISK = N'../b.bak'"_s,
                                   u"BACKUP DATABASE TARGET TO DISK = N'/tmp/b.bak'"_s,
                                   u"BACKUP DATABASE TARGET TO DISK = N'.b'"_s}) {
        EXPECT_THROW(run(refused), ComError) << refused.toStdString();
        EXPECT_FALSE(company.GetLastErrorDescription().isEmpty());
    }
    // A backup restores as a company of its own, which another company
    // may drop again; none replaces a company or drops the one in use.
    run(u"RESTORE DATABASE [TARGET copy] FROM DISK = N'before.bak'"_s);
    Company copy;
    connect(copy, server, u"TARGET copy"_s);
    EXPECT_EQ(scalar(copy, u"SELECT COUNT(*) FROM OUSR"_s),
              scalar(company, u"SELECT COUNT(*) FROM OUSR"_s));
    copy.Disconnect();
    for (const QString& refused : {u"RESTORE DATABASE TARGET FROM DISK = N'before.bak'"_s,
                                   u"RESTORE DATABASE [TARGET copy] FROM DISK = N'before.bak'"_s,
                                   u"RESTORE DATABASE other FROM DISK = N'missing.bak'"_s,
                                   u"RESTORE DATABASE other FROM DISK = N'../TARGET.db'"_s,
                                   u"DROP DATABASE TARGET"_s, u"DROP DATABASE nothing"_s})
        EXPECT_THROW(run(refused), ComError) << refused.toStdString();
    run(u"DROP DATABASE [TARGET copy]"_s);
    EXPECT_TRUE(server.databasePath(u"TARGET copy"_s).isEmpty());
    company.StartTransaction();
    EXPECT_THROW(run(u"BACKUP DATABASE TARGET TO DISK = N'in.bak'"_s), ComError);
    company.EndTransaction(1);
    EXPECT_FALSE(QFileInfo::exists(QDir(server.backupsPath()).filePath(u"in.bak"_s)));
}

TEST_F(HostWorld, HostileValuesArriveUnchangedOrAreRefused) {
    Company company;
    const Server server = openCompany(company, 6);
    const QStringList nasty = nastyStrings();
    ASSERT_GT(nasty.size(), 40);
    const int users = scalar(company, u"SELECT COUNT(*) FROM OUSR"_s).toInt();
    int key = 100, accepted = 0;
    for (const QString& value : nasty) {
        const QString insert = u"INSERT INTO OUSR (INTERNAL_K, USER_CODE, U_NAME) "
                               u"VALUES (%1, N'user%1', N'%2')"_s.arg(++key)
                                   .arg(sqlText(value));
        if (value.contains(QChar(0)) || value.size() > 155) {
            EXPECT_NE(queryError(company, insert), 0);
            continue;
        }
        scalar(company, insert);
        ++accepted;
        EXPECT_EQ(scalar(company, u"SELECT U_NAME FROM OUSR WHERE INTERNAL_K = %1"_s.arg(key)),
                  value);
    }
    // Nothing that failed left a row behind, and the table is still there.
    EXPECT_EQ(scalar(company, u"SELECT COUNT(*) FROM OUSR"_s).toInt() - users, accepted);

    std::unique_ptr<Recordset> rs = company.GetRecordset();
    rs->DoQuery(u"SELECT U_NAME FROM OUSR WHERE U_NAME = N'a & b' OR U_NAME = N'<row>'"_s);
    EXPECT_EQ(rs->GetAsXML(), u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                              u"<row><U_NAME>&lt;row&gt;</U_NAME></row>"
                              u"<row><U_NAME>a &amp; b</U_NAME></row>"_s);
    rs->DoQuery(u"SELECT COUNT(*), MAX(INTERNAL_K) AS [Max Key], 1.5 FROM OUSR "
                u"WHERE U_NAME = N'line1\r\nline2'"_s);
    EXPECT_EQ(rs->GetAsXML(), u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                              u"<row><COUNT___>1</COUNT___><Max_Key>%1</Max_Key>"
                              u"<_1.5>1.5</_1.5></row>"_s.arg(rs->Field(1).toInt()));
}

TEST_F(HostWorld, BadStatementsFailCleanlyAndChangeNothing) {
    Company company;
    const Server server = openCompany(company, 6);
    const QString count = u"SELECT COUNT(*) FROM OUSR"_s;
    const int before = scalar(company, count).toInt();
    for (const char* sql :
         {"SELECT * FROM NOSUCHTABLE", "SELECT NoSuchColumn FROM OUSR", "SELEC * FROM OUSR",
          "SELECT * FROM OUSR WHERE USER_CODE = 'open", "DELETE FROM OUSR; DROP TABLE OITM",
          "INSERT INTO OUSR (INTERNAL_K, USER_CODE) VALUES (1, N'dup')",
          "UPDATE OUSR SET SUPERUSER = NULL", ""})
        EXPECT_EQ(queryError(company, QLatin1String(sql)), errSql) << sql;
    EXPECT_EQ(scalar(company, count).toInt(), before);
    EXPECT_EQ(scalar(company, u"SELECT COUNT(*) FROM OITM"_s).toInt(), 0);

    // Values out of their column's range are refused, as a server refuses
    // them, with the column named; values within it are taken.
    const QString omrc = u"INSERT INTO OMRC (FirmCode, FirmName) VALUES (%1, N'x')"_s;
    const QString oitm = u"INSERT INTO OITM (ItemCode, NumInBuy) VALUES (N'I%1', %2)"_s;
    int item = 0;
    for (const char* value : {"90000", "-32769", "'abc'", "1.5", "''"}) {
        EXPECT_EQ(queryError(company, omrc.arg(QLatin1String(value))), errSql) << value;
        // What is no whole number at all the key's own type refuses.
        if (value[0] != '-' && value[0] != '9')
            continue;
        EXPECT_TRUE(company.GetLastErrorDescription().contains(
            u"FirmCode takes a whole number from -32768 to 32767"_s))
            << company.GetLastErrorDescription().toStdString();
    }
    EXPECT_EQ(queryError(company, u"UPDATE OUSR SET USERID = 3000000000"_s), errSql);
    for (const char* value : {"'many'", "1e13", "-1e14"}) {
        EXPECT_EQ(queryError(company, oitm.arg(++item).arg(QLatin1String(value))), errSql) << value;
        EXPECT_TRUE(company.GetLastErrorDescription().contains(u"NumInBuy"_s));
    }
    scalar(company, omrc.arg(32767));
    scalar(company, omrc.arg(-32768));
    scalar(company, oitm.arg(++item).arg(u"9999999999999.5"_s));
    scalar(company, oitm.arg(++item).arg(u"NULL"_s));
    EXPECT_EQ(scalar(company, u"SELECT COUNT(*) FROM OMRC WHERE FirmCode IN (32767, "
                              u"-32768)"_s)
                  .toInt(),
              2);
    EXPECT_EQ(scalar(company, u"SELECT COUNT(*) FROM OITM"_s).toInt(), 2);

    // A recordset whose company went away fails the same clean way.
    std::unique_ptr<Recordset> rs = company.GetRecordset();
    company.Disconnect();
    EXPECT_THROW(rs->DoQuery(count), ComError);
    EXPECT_EQ(company.GetLastErrorCode(), errNotConnected);
    EXPECT_THROW(company.GetBusinessObject(12345), ComError);
}

TEST_F(HostWorld, AReadOnlyServerFolderIsReportedNotBroken) {
    const Server server = makeServer(6);
    createCompany(server, u"DEMO"_s);
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                          QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(server.folder(), readOnly));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), readOnly | QFileDevice::WriteOwner));
    // Root writes into read-only folders, so the attempt runs as an
    // unprivileged user in a child process; the exit status says what it saw.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(10);
        QString error;
        if (Admin::createCompany(server, u"NEW"_s, u"X"_s, u"US"_s, 1, &error) || error.isEmpty())
            _exit(11);
        if (QFile::exists(server.newDatabasePath(u"NEW"_s)))
            _exit(12);
        Company company;
        logOn(company, server.folder(), u"DEMO"_s);
        // Reading may work or be refused (the log needs a file beside the
        // database); either way there is an answer, not a crash.
        const int code = company.Connect();
        if (code != 0 && company.GetLastErrorDescription().isEmpty())
            _exit(13);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    QFile::setPermissions(server.folder(), readOnly | QFileDevice::WriteOwner);
    ASSERT_TRUE(WIFEXITED(status)) << "the child crashed";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
