#include "HostTestSupport.h"

#include "TestData.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLErrors.h"
#include "host/objects/LLRecordset.h"

#include <QFile>

#include <sys/wait.h>
#include <unistd.h>

using namespace LLObjectsCOM;

namespace {

QString sqlText(const QString& value) {
    return QString(value).replace(u'\'', QStringLiteral("''"));
}

int expectFailure(Company& company, const QString& sql) {
    std::unique_ptr<Recordset> rs = company.GetRecordset();
    try {
        rs->DoQuery(sql);
    } catch (const ComError& e) {
        EXPECT_EQ(company.GetLastErrorCode(), e.code());
        EXPECT_FALSE(company.GetLastErrorDescription().isEmpty());
        return e.code();
    }
    ADD_FAILURE() << "accepted: " << sql.toStdString();
    return 0;
}

} // namespace

TEST_F(HostWorld, ANewCompanyHasWhatTheHostGivesIt) {
    const Server server = makeServer(6);
    createCompany(server, QStringLiteral("DEMO_US"));
    const QList<Admin::CompanyInfo> list = Admin::companies(server);
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].database, QStringLiteral("DEMO_US"));
    EXPECT_EQ(list[0].name, QStringLiteral("Demo US"));
    EXPECT_EQ(list[0].version, Admin::DefaultVersion);
    EXPECT_FALSE(QFile::exists(server.newDatabasePath(QStringLiteral("DEMO_US")) +
                               QStringLiteral(".creating")));

    Company company;
    connect(company, server, QStringLiteral("demo_us")); // names ignore case on type 6
    EXPECT_EQ(company.Version(), Admin::DefaultVersion);
    EXPECT_EQ(company.CompanyName(), QStringLiteral("Demo US"));
    EXPECT_EQ(company.ServerType(), 6);
    EXPECT_EQ(company.Localization(), QStringLiteral("US"));
    EXPECT_EQ(
        scalar(company, QStringLiteral("SELECT SUPERUSER FROM OUSR WHERE USER_CODE = N'lobster'")),
        QStringLiteral("Y"));
    EXPECT_NE(scalar(company, QStringLiteral("SELECT PASSWORD FROM OUSR")),
              QStringLiteral("lobster"));
    EXPECT_EQ(scalar(company, QStringLiteral("SELECT LawsSet FROM CINF")), QStringLiteral("US"));
    EXPECT_GT(scalar(company, QStringLiteral("SELECT COUNT(*) FROM ONNM")).toInt(), 10);
    EXPECT_GE(scalar(company, QStringLiteral("SELECT COUNT(*) FROM OACT")).toInt(), 1);
    EXPECT_GE(scalar(company, QStringLiteral("SELECT COUNT(*) FROM OALT")).toInt(), 1);

    QString error;
    EXPECT_FALSE(Admin::createCompany(server, QStringLiteral("Demo_US"), QStringLiteral("X"),
                                      QStringLiteral("US"), 1, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("exists")));
    EXPECT_FALSE(Admin::createCompany(server, QStringLiteral("../evil"), QStringLiteral("X"),
                                      QStringLiteral("US"), 1));
}

TEST_F(HostWorld, ConnectSaysWhatWentWrong) {
    Server server = makeServer(6);
    createCompany(server, QStringLiteral("DEMO"));
    ASSERT_TRUE(server.setLogin(QStringLiteral("sa"), QStringLiteral("pw")));
    QFile foreign(server.newDatabasePath(QStringLiteral("FOREIGN")));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write("this is not a database at all, just some text that is long enough");
    foreign.close();
    {
        QFile whole(server.newDatabasePath(QStringLiteral("DEMO")));
        ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
        QFile cut(server.newDatabasePath(QStringLiteral("CUT")));
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
        cut.write(whole.read(3000));
    }
    ASSERT_TRUE(Database::ensureBackupHistory(server.msdbPath()));

    struct Case {
        const char* what;
        std::function<void(Company&)> change;
        int code;
    };
    const QList<Case> cases{
        {"unknown server", [](Company& c) { c.Server = QStringLiteral("nowhere"); },
         errUnknownServer},
        {"server type", [](Company& c) { c.DbServerType = 2; }, errServerType},
        {"database login",
         [](Company& c) {
             c.UseTrusted = false;
             c.DbUserName = QStringLiteral("sa");
             c.DbPassword = QStringLiteral("wrong");
         },
         errDatabaseLogin},
        {"unknown database", [](Company& c) { c.CompanyDB = QStringLiteral("NONE"); },
         errUnknownDatabase},
        {"path as database", [](Company& c) { c.CompanyDB = QStringLiteral("../DEMO"); },
         errUnknownDatabase},
        {"foreign file", [](Company& c) { c.CompanyDB = QStringLiteral("FOREIGN"); },
         errNotACompany},
        {"truncated file", [](Company& c) { c.CompanyDB = QStringLiteral("CUT"); }, errNotACompany},
        {"backup history", [](Company& c) { c.CompanyDB = QStringLiteral("msdb"); },
         errUnknownDatabase},
        {"wrong password", [](Company& c) { c.Password = QStringLiteral("Lobster"); },
         errWrongUserOrPassword},
        {"unknown user", [](Company& c) { c.UserName = QStringLiteral("x' OR 'a'='a"); },
         errWrongUserOrPassword},
        {"made-up login context", [](Company& c) { c.LoginContext = QString(64, u'0'); },
         errWrongUserOrPassword},
        {"login context of a path",
         [](Company& c) { c.LoginContext = QStringLiteral("../../DEMO"); }, errWrongUserOrPassword},
    };
    for (const Case& c : cases) {
        Company company;
        logOn(company, server.folder(), QStringLiteral("DEMO"));
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
    logOn(company, server.folder(), QStringLiteral("DEMO"));
    company.UseTrusted = false;
    company.DbUserName = QStringLiteral("sa");
    company.DbPassword = QStringLiteral("pw");
    ASSERT_EQ(company.Connect(), 0);
    EXPECT_EQ(company.Connect(), errAlreadyConnected);
    EXPECT_TRUE(company.Connected()) << "a refused second Connect keeps the first";
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
    const QString sessions = server.folder() + QStringLiteral("/sessions");
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
    session.GetRecordset()->DoQuery(
        QStringLiteral("UPDATE OUSR SET Locked = 'Y' WHERE USER_CODE = N'lobster'"));
    Company locked;
    EXPECT_EQ(connectWith(forLocked, locked), errWrongUserOrPassword);
}

TEST_F(HostWorld, CompanyListShowsEveryCompanyOfTheServer) {
    const Server server = makeServer(6);
    createCompany(server, QStringLiteral("B_CO"), QStringLiteral("Beta Ltd."));
    createCompany(server, QStringLiteral("A_CO"), QStringLiteral("Alpha 'Ünïcödé' & Co"));
    QFile junk(server.newDatabasePath(QStringLiteral("JUNK")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("junk");
    junk.close();

    Company company;
    company.Server = server.folder();
    company.UseTrusted = true;
    std::unique_ptr<Recordset> list = company.GetCompanyList();
    ASSERT_EQ(list->RecordCount(), 2);
    EXPECT_EQ(list->FieldName(0), QStringLiteral("dbName"));
    EXPECT_EQ(list->Field(0), QStringLiteral("A_CO"));
    EXPECT_EQ(list->Field(1), QStringLiteral("Alpha 'Ünïcödé' & Co"));
    EXPECT_EQ(list->Field(2), QString::number(Admin::DefaultVersion));
    list->MoveNext();
    EXPECT_EQ(list->Field(QStringLiteral("cmpName")), QStringLiteral("Beta Ltd."));
    list->MoveNext();
    EXPECT_TRUE(list->EoF());
    EXPECT_THROW(list->Field(0), ComError);

    Company nowhere;
    nowhere.Server = QStringLiteral("nowhere");
    EXPECT_THROW(nowhere.GetCompanyList(), ComError);
    EXPECT_EQ(nowhere.GetLastErrorCode(), errUnknownServer);
}

TEST_F(HostWorld, EachDialectRunsUnchangedOnItsServerType) {
    for (int type : {2, 5, 6}) {
        SCOPED_TRACE(type);
        Company company;
        const Server server = openCompany(company, type);
        std::unique_ptr<Recordset> rs = company.GetRecordset();
        const bool quoted = type == 5;
        const QString table = type == 6 ? QStringLiteral("[@MRVNOTE]") : QStringLiteral("@MRVNOTE");
        rs->DoQuery(QStringLiteral("CREATE TABLE %1 (Code nvarchar(30), Name nvarchar(100), "
                                   "U_Date datetime, U_ID int)")
                        .arg(table));
        const QString date = type == 2 ? QStringLiteral("TIMESTAMP_ISO('2024-01-31')")
                             : quoted  ? QStringLiteral("'2024-01-31 00:00:00.000000'")
                                       : QStringLiteral("CONVERT(datetime,'20240131',112)");
        const QString text = quoted ? QStringLiteral("'O''Brien [@X] N''x'")
                                    : QStringLiteral("N'O''Brien [@X] N''x'");
        const QString insert =
            quoted ? QStringLiteral("INSERT INTO %1 (\"Code\", \"Name\", \"U_Date\", \"U_ID\") "
                                    "VALUES('1', %2, %3, 7)")
                   : QStringLiteral(
                         "INSERT INTO %1 (Code, Name, U_Date, U_ID) VALUES(N'1', %2, %3, 7)");
        rs->DoQuery(insert.arg(table, text, date));
        EXPECT_EQ(rs->RowsAffected(), 1);
        rs->DoQuery(quoted
                        ? QStringLiteral("SELECT \"Name\", \"U_Date\", \"U_ID\" FROM %1").arg(table)
                        : QStringLiteral("SELECT Name, U_Date, U_ID FROM %1").arg(table));
        ASSERT_EQ(rs->RecordCount(), 1);
        EXPECT_EQ(rs->Field(0), QStringLiteral("O'Brien [@X] N'x"));
        EXPECT_EQ(rs->Field(1), QStringLiteral("2024-01-31 00:00:00"));
        EXPECT_EQ(rs->Field(2).toInt(), 7);
        EXPECT_EQ(scalar(company, QStringLiteral("SELECT MAX(U_ID) FROM %1").arg(table)).toInt(),
                  7);
        rs->DoQuery(QStringLiteral("SELECT %1, %2 FROM %3")
                        .arg(quoted ? QStringLiteral("\"U_Date\"") : QStringLiteral("U_Date"),
                             quoted ? QStringLiteral("\"Code\"") : QStringLiteral("Code"), table));
        EXPECT_EQ(rs->GetAsXML(),
                  QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                                 "<row><U_Date>20240131</U_Date><Code>1</Code></row>"));
    }
    // The localization query as the program writes it for type 5.
    const Server five = Server::open(dir.filePath(QStringLiteral("srv5"))).value();
    Company company;
    connect(company, five, QStringLiteral("DEMO"));
    EXPECT_EQ(scalar(company, QStringLiteral("SELECT \"LawsSet\"DG1 FROM CINF")),
              QStringLiteral("US"));
}

TEST_F(HostWorld, TextComparesWithoutCaseOnlyOnTheMssqlFamily) {
    for (int type : {2, 5, 6}) {
        SCOPED_TRACE(type);
        Company company;
        const Server server = openCompany(company, type);
        const int expected = type == 6 ? 1 : 0;
        const auto users = [&](const char* where) {
            return scalar(company, QStringLiteral("SELECT COUNT(*) FROM OUSR WHERE ") +
                                       QString::fromUtf8(where))
                .toInt();
        };
        EXPECT_EQ(users("USER_CODE = 'LOBSTER'"), expected);
        EXPECT_EQ(users("USER_CODE LIKE 'LOB%'"), expected);
        EXPECT_EQ(users("USER_CODE = 'lobster'"), 1);
        // Beyond ASCII too: the server folds every script's case.
        scalar(company, QStringLiteral("UPDATE OUSR SET U_NAME = N'Ümit Ölçer Σίσυφος'"));
        EXPECT_EQ(users("U_NAME = N'ümit ölçer ΣΊΣΥΦΟΣ'"), expected);
    }
}

TEST_F(HostWorld, TransactionsCommitOrRollBack) {
    Company company;
    const Server server = openCompany(company, 6);
    const QString count = QStringLiteral("SELECT COUNT(*) FROM OUSR");
    const int before = scalar(company, count).toInt();
    const auto addUser = [&](int key) {
        scalar(company, QStringLiteral("INSERT INTO OUSR (INTERNAL_K, USER_CODE, U_NAME) "
                                       "VALUES (%1, N'u%1', N'User %1')")
                            .arg(key));
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
    connect(company, server, QStringLiteral("DEMO"));
    EXPECT_EQ(scalar(company, count).toInt(), before + 1);
}

TEST_F(HostWorld, BackupCountsForSixtyMinutes) {
    const Server server = makeServer(6);
    createCompany(server, QStringLiteral("TARGET"));
    Company company;
    connect(company, server, QStringLiteral("TARGET"));
    const QDateTime now(QDate(2026, 12, 6), QTime(10, 0, 0));
    company.setClock([now] { return now; });
    const QString database = QStringLiteral("TARGET");
    const QString query =
        QStringLiteral("SELECT 1 AS Expr1 FROM msdb.dbo.backupset WHERE (database_name = '") +
        database +
        QStringLiteral(
            "') AND (GETDATE() <= DATEADD(minute, 60, (SELECT     MAX(backup_finish_date) "
            "FROM msdb..backupset WHERE database_name = '") +
        database + QStringLiteral("')))");
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
}

TEST_F(HostWorld, HostileValuesArriveUnchangedOrAreRefused) {
    Company company;
    const Server server = openCompany(company, 6);
    const QStringList nasty = nastyStrings();
    ASSERT_GT(nasty.size(), 40);
    const int users = scalar(company, QStringLiteral("SELECT COUNT(*) FROM OUSR")).toInt();
    int key = 100;
    for (const QString& value : nasty) {
        const QString insert = QStringLiteral("INSERT INTO OUSR (INTERNAL_K, USER_CODE, U_NAME) "
                                              "VALUES (%1, N'user%1', N'%2')")
                                   .arg(++key)
                                   .arg(sqlText(value));
        if (value.contains(QChar(0)) || value.size() > 155) {
            expectFailure(company, insert);
            continue;
        }
        scalar(company, insert);
        EXPECT_EQ(scalar(company,
                         QStringLiteral("SELECT U_NAME FROM OUSR WHERE INTERNAL_K = %1").arg(key)),
                  value);
    }
    // Nothing that failed left a row behind, and the table is still there.
    const int stored = scalar(company, QStringLiteral("SELECT COUNT(*) FROM OUSR")).toInt() - users;
    int accepted = 0;
    for (const QString& value : nasty)
        accepted += !(value.contains(QChar(0)) || value.size() > 155);
    EXPECT_EQ(stored, accepted);

    std::unique_ptr<Recordset> rs = company.GetRecordset();
    rs->DoQuery(
        QStringLiteral("SELECT U_NAME FROM OUSR WHERE U_NAME = N'a & b' OR U_NAME = N'<row>'"));
    EXPECT_EQ(rs->GetAsXML(), QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                                             "<row><U_NAME>&lt;row&gt;</U_NAME></row>"
                                             "<row><U_NAME>a &amp; b</U_NAME></row>"));
    rs->DoQuery(QStringLiteral("SELECT COUNT(*), MAX(INTERNAL_K) AS [Max Key], 1.5 FROM OUSR "
                               "WHERE U_NAME = N'line1\r\nline2'"));
    EXPECT_EQ(rs->GetAsXML(), QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                                             "<row><COUNT___>1</COUNT___><Max_Key>%1</Max_Key>"
                                             "<_1.5>1.5</_1.5></row>")
                                  .arg(rs->Field(1).toInt()));
}

TEST_F(HostWorld, BadStatementsFailCleanlyAndChangeNothing) {
    Company company;
    const Server server = openCompany(company, 6);
    const QString count = QStringLiteral("SELECT COUNT(*) FROM OUSR");
    const int before = scalar(company, count).toInt();
    for (const char* sql :
         {"SELECT * FROM NOSUCHTABLE", "SELECT NoSuchColumn FROM OUSR", "SELEC * FROM OUSR",
          "SELECT * FROM OUSR WHERE USER_CODE = 'open", "DELETE FROM OUSR; DROP TABLE OITM",
          "INSERT INTO OUSR (INTERNAL_K, USER_CODE) VALUES (1, N'dup')",
          "UPDATE OUSR SET SUPERUSER = NULL", ""})
        EXPECT_EQ(expectFailure(company, QLatin1String(sql)), errSql) << sql;
    EXPECT_EQ(scalar(company, count).toInt(), before);
    EXPECT_EQ(scalar(company, QStringLiteral("SELECT COUNT(*) FROM OITM")).toInt(), 0);

    // Values out of their column's range are refused, as a server refuses
    // them, with the column named; values within it are taken.
    const QString omrc = QStringLiteral("INSERT INTO OMRC (FirmCode, FirmName) VALUES (%1, N'x')");
    const QString oitm =
        QStringLiteral("INSERT INTO OITM (ItemCode, NumInBuy) VALUES (N'I%1', %2)");
    int item = 0;
    for (const char* value : {"90000", "-32769", "'abc'", "1.5", "''"}) {
        EXPECT_EQ(expectFailure(company, omrc.arg(QLatin1String(value))), errSql) << value;
        // What is no whole number at all the key's own type refuses.
        if (value[0] != '-' && value[0] != '9')
            continue;
        EXPECT_TRUE(company.GetLastErrorDescription().contains(
            QStringLiteral("FirmCode takes a whole number from -32768 to 32767")))
            << company.GetLastErrorDescription().toStdString();
    }
    EXPECT_EQ(expectFailure(company, QStringLiteral("UPDATE OUSR SET USERID = 3000000000")),
              errSql);
    for (const char* value : {"'many'", "1e13", "-1e14"}) {
        EXPECT_EQ(expectFailure(company, oitm.arg(++item).arg(QLatin1String(value))), errSql)
            << value;
        EXPECT_TRUE(company.GetLastErrorDescription().contains(QStringLiteral("NumInBuy")));
    }
    scalar(company, omrc.arg(32767));
    scalar(company, omrc.arg(-32768));
    scalar(company, oitm.arg(++item).arg(QStringLiteral("9999999999999.5")));
    scalar(company, oitm.arg(++item).arg(QStringLiteral("NULL")));
    EXPECT_EQ(scalar(company, QStringLiteral("SELECT COUNT(*) FROM OMRC WHERE FirmCode IN (32767, "
                                             "-32768)"))
                  .toInt(),
              2);
    EXPECT_EQ(scalar(company, QStringLiteral("SELECT COUNT(*) FROM OITM")).toInt(), 2);

    // A recordset whose company went away fails the same clean way.
    std::unique_ptr<Recordset> rs = company.GetRecordset();
    company.Disconnect();
    EXPECT_THROW(rs->DoQuery(count), ComError);
    EXPECT_EQ(company.GetLastErrorCode(), errNotConnected);
    EXPECT_THROW(company.GetBusinessObject(12345), ComError);
}

TEST_F(HostWorld, AReadOnlyServerFolderIsReportedNotBroken) {
    const Server server = makeServer(6);
    createCompany(server, QStringLiteral("DEMO"));
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
        if (Admin::createCompany(server, QStringLiteral("NEW"), QStringLiteral("X"),
                                 QStringLiteral("US"), 1, &error) ||
            error.isEmpty())
            _exit(11);
        if (QFile::exists(server.newDatabasePath(QStringLiteral("NEW"))))
            _exit(12);
        Company company;
        logOn(company, server.folder(), QStringLiteral("DEMO"));
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
