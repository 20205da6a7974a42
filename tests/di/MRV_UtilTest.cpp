#include "di/MRV_Util.h"
#include "DiTestSupport.h"
#include "TestData.h"
#include "host/admin/LLAdmin.h"

using LLObjectsCOM::Company;

namespace {

class UtilTest : public DiWorld {
protected:
    // An unconnected company naming a server and database.
    static std::unique_ptr<Company> named(const QString& server, const QString& db, int type = 0) {
        auto c = std::make_unique<Company>();
        c->Server = server;
        c->CompanyDB = db;
        c->DbServerType = type;
        return c;
    }
    // Connects a new company object as user on server's database DEMO.
    int login(Company& c, const LLObjectsCOM::Server& server, const QString& user,
              const QString& password) {
        c.Server = server.folder();
        c.CompanyDB = QStringLiteral("DEMO");
        c.UserName = user;
        c.Password = password;
        c.UseTrusted = true;
        return MRV_Util::Connect(c, context);
    }
    int noteRows(int id) {
        return rows(QStringLiteral("SELECT COUNT(*) FROM [@MRVNOTE] WHERE U_ID = %1").arg(id))
            .value(0)
            .value(0)
            .toInt();
    }
    QString noteCode(int id) {
        return rows(QStringLiteral("SELECT Code FROM [@MRVNOTE] WHERE U_ID = %1").arg(id))
            .value(0)
            .value(0);
    }
};

} // namespace

// --- Notes ---------------------------------------------------------------

TEST_F(UtilTest, StartUpLeavesTheThirtyNotes) {
    open(6);
    for (int n = 1; n <= 30; ++n) {
        QString text;
        ASSERT_EQ(MRV_Util::GetNoteFromDB(company(), n, text), S_OK) << n;
        EXPECT_EQ(text, QStringLiteral("MRV_LMS_NOTE%1_0").arg(n));
        EXPECT_EQ(noteRows(n), 1);
    }
    QString none = QStringLiteral("unchanged");
    EXPECT_EQ(MRV_Util::GetNoteFromDB(company(), 31, none), S_FALSE);
    EXPECT_EQ(none, QStringLiteral("unchanged"));
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM [@MRVNOTE]")).value(0).value(0),
              QStringLiteral("30"));
}

TEST_F(UtilTest, WritingANoteReplacesItsRowInTheFormsOfTheServerType) {
    struct Case {
        int type;
        const char* select;
        const char* remove;
        const char* insert; // %1: the new code
    };
    const Case cases[] = {
        {2, "SELECT U_String FROM @MRVNOTE WHERE U_ID = 7", "DELETE FROM @MRVNOTE WHERE U_ID = 7",
         "INSERT INTO @MRVNOTE (Code, Name, U_ID, U_String) VALUES('%1', '%1', 7, 'O''Brien')"},
        {5, "SELECT \"U_String\" FROM @MRVNOTE WHERE \"U_ID\" = 7",
         "DELETE FROM @MRVNOTE WHERE \"U_ID\" = 7",
         "INSERT INTO @MRVNOTE (\"Code\", \"Name\", \"U_ID\", \"U_String\") VALUES('%1', '%1', "
         "7, 'O''Brien')"},
        {6, "SELECT U_String FROM [@MRVNOTE] WHERE U_ID = 7",
         "DELETE FROM [@MRVNOTE] WHERE U_ID = 7",
         "INSERT INTO [@MRVNOTE] (Code, Name, U_ID, U_String) VALUES('%1', '%1', 7, 'O''Brien')"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        open(c.type);
        const QString before = noteCode(7);
        ASSERT_EQ(MRV_Util::WriteNoteToDB(company(), 7, QStringLiteral("O'Brien")), S_OK);
        // The note's row is replaced by one under a new code.
        EXPECT_EQ(noteRows(7), 1);
        EXPECT_NE(noteCode(7), before);
        const QStringList sql = takeSql();
        ASSERT_EQ(sql.size(), 3) << sql.join(u'\n').toStdString();
        EXPECT_EQ(sql[0], QLatin1String(c.select));
        EXPECT_EQ(sql[1], QLatin1String(c.remove));
        EXPECT_EQ(sql[2], QString::fromLatin1(c.insert).arg(noteCode(7)));
        QString text;
        ASSERT_EQ(MRV_Util::GetNoteFromDB(company(), 7, text), S_OK);
        EXPECT_EQ(text, QStringLiteral("O'Brien"));
    }
}

TEST_F(UtilTest, HostileNoteTextsRoundTripOrLeaveTheNote) {
    open(6);
    for (const QString& nasty : nastyStrings()) {
        const HRESULT hr = MRV_Util::WriteNoteToDB(company(), 3, nasty);
        QString text;
        ASSERT_EQ(MRV_Util::GetNoteFromDB(company(), 3, text), S_OK) << nasty.toStdString();
        if (nasty.toUcs4().size() <= 32 && !nasty.contains(QChar(0))) {
            EXPECT_EQ(hr, S_OK) << nasty.toStdString();
            EXPECT_EQ(text, nasty);
        } else {
            EXPECT_LT(hr, 0) << nasty.toStdString();
            EXPECT_EQ(text, QStringLiteral("MRV_LMS_NOTE3_0")) << "a failed write keeps the note";
            continue;
        }
        ASSERT_EQ(MRV_Util::WriteNoteToDB(company(), 3, QStringLiteral("MRV_LMS_NOTE3_0")), S_OK);
    }
    EXPECT_FALSE(company().InTransaction());
}

TEST_F(UtilTest, AFailedNoteWriteInsideTheCallersTransactionPutsTheNoteBack) {
    open(6);
    company().StartTransaction();
    EXPECT_LT(MRV_Util::WriteNoteToDB(company(), 4, QString(40, u'n')), 0);
    EXPECT_TRUE(company().InTransaction());
    QString text;
    ASSERT_EQ(MRV_Util::GetNoteFromDB(company(), 4, text), S_OK);
    EXPECT_EQ(text, QStringLiteral("MRV_LMS_NOTE4_0"));
    company().EndTransaction(0);
    EXPECT_EQ(noteRows(4), 1);
}

TEST_F(UtilTest, NoteFailuresAreLoggedWithTheirIds) {
    open(6, false);
    QString text;
    EXPECT_LT(MRV_Util::GetNoteFromDB(company(), 9, text), 0);
    EXPECT_LT(MRV_Util::DeleteNoteFromDB(company(), 9), 0);
    EXPECT_LT(MRV_Util::WriteNoteToDB(company(), 9, QStringLiteral("x")), 0);
    const QString log = takeLog().join(u'\n');
    EXPECT_TRUE(log.contains(
        QStringLiteral("Failed to retrieve note with ID 9 from database, HRESULT = 0x")));
    EXPECT_TRUE(log.contains(
        QStringLiteral("Failed to delete note with ID 9 from database, HRESULT = 0x")));
    EXPECT_TRUE(log.contains(QStringLiteral("Error code =  ")));
}

// --- Comparing companies ---------------------------------------------------

TEST_F(UtilTest, AbsentCompaniesAreOnlyTheSameAsEachOther) {
    const auto a = named(QStringLiteral("x"), QStringLiteral("DB"), 6);
    EXPECT_TRUE(MRV_Util::SameCompany(nullptr, nullptr));
    EXPECT_FALSE(MRV_Util::SameCompany(a.get(), nullptr));
    EXPECT_FALSE(MRV_Util::SameCompany(nullptr, a.get()));
    EXPECT_TRUE(MRV_Util::SameCompany(a.get(), a.get()));
}

TEST_F(UtilTest, LocalNamesAreOneServerAndDatabaseCaseFollowsTheServerType) {
    struct Case {
        const char* server1;
        const char* db1;
        const char* server2;
        const char* db2;
        bool sameIgnoringCase; // on server types 1, 4 and 6
        bool sameKeepingCase;  // on server types 2, 3 and 5
    };
    const Case cases[] = {
        {"(LOCAL)", "DemoDB", "localhost", "demodb", true, false},
        {".", "DemoDB", "(local)", "DEMODB", true, false},
        {"Server1", "DemoDB", "SERVER1", "DemoDB", true, true},
        {"s1", "DB", "s2", "DB", false, false},
        {"s", "DB1", "s", "DB2", false, false},
    };
    for (const Case& c : cases)
        for (int type : {1, 2, 3, 4, 5, 6})
            EXPECT_EQ(MRV_Util::SameCompany(
                          named(QLatin1String(c.server1), QLatin1String(c.db1), type).get(),
                          named(QLatin1String(c.server2), QLatin1String(c.db2), type).get()),
                      type == 2 || type == 3 || type == 5 ? c.sameKeepingCase : c.sameIgnoringCase)
                << c.server1 << '/' << c.db1 << " and " << c.server2 << '/' << c.db2 << " on "
                << type;
    EXPECT_FALSE(MRV_Util::SameCompany(named(QStringLiteral("s"), QStringLiteral("DB"), 4).get(),
                                       named(QStringLiteral("s"), QStringLiteral("DB"), 6).get()))
        << "another server type";
}

TEST_F(UtilTest, ACompanyThatLeavesTheTypeToItsServerHasTheServersType) {
    const LLObjectsCOM::Server server = open(2);
    // Unconnected, type 0: the server's type 2, so the database name counts
    // with its case as for any DB2 company.
    const auto same = named(server.folder(), QStringLiteral("DEMO"));
    const auto otherCase = named(server.folder(), QStringLiteral("demo"));
    EXPECT_TRUE(MRV_Util::SameCompany(same.get(), &company()));
    EXPECT_TRUE(MRV_Util::SameCompany(&company(), same.get()));
    EXPECT_FALSE(MRV_Util::SameCompany(otherCase.get(), &company()));
    EXPECT_FALSE(
        MRV_Util::SameCompany(named(server.folder(), QStringLiteral("DEMO"), 6).get(), &company()))
        << "a company asking for another type is another company";
    EXPECT_EQ(MRV_Util::DbServerType(*same), 2);
    EXPECT_EQ(MRV_Util::DbServerType(*named(QStringLiteral("nowhere"), QStringLiteral("X"))), 0);
}

TEST_F(UtilTest, TwoNamesOfOneServerAreTheSameServer) {
    const LLObjectsCOM::Server server = makeServer(6, QStringLiteral("machine"));
    ASSERT_TRUE(LLObjectsCOM::Server::registerServer(QStringLiteral("books"), server.folder()));
    EXPECT_TRUE(
        MRV_Util::SameCompany(named(QStringLiteral("books,1433"), QStringLiteral("DB")).get(),
                              named(server.folder(), QStringLiteral("db")).get()));
    EXPECT_FALSE(
        MRV_Util::SameCompany(named(QStringLiteral("books"), QStringLiteral("DB")).get(),
                              named(QStringLiteral("other"), QStringLiteral("DB"), 6).get()));
}

// --- Connecting ------------------------------------------------------------

TEST_F(UtilTest, ConnectSwitchesToXmlStringsAndReportsAFailedLogin) {
    const LLObjectsCOM::Server server = makeServer(6);
    createCompany(server, QStringLiteral("DEMO"));
    Company good;
    ASSERT_EQ(login(good, server, QStringLiteral("lobster"), QStringLiteral("lobster")), S_OK);
    EXPECT_TRUE(good.Connected());
    EXPECT_EQ(good.XmlExportType, 3);
    EXPECT_TRUE(good.XMLAsString);
    EXPECT_TRUE(ui.transcript.isEmpty());

    Company bad;
    EXPECT_LT(login(bad, server, QStringLiteral("lobster"), QStringLiteral("wrong")), 0);
    EXPECT_FALSE(bad.Connected());
    ASSERT_EQ(ui.transcript.size(), 1);
    EXPECT_EQ(ui.transcript[0],
              QStringLiteral("error: Failed to connect to Orvant Ledgerline Company\r\n'%1'")
                  .arg(bad.GetLastErrorDescription()));
    const QString log = takeLog().join(u'\n');
    EXPECT_TRUE(log.contains(QStringLiteral("Failed to connect to Orvant Ledgerline Company")));
    EXPECT_TRUE(log.contains(QStringLiteral("Error code =  %1: ").arg(bad.GetLastErrorCode())));

    ASSERT_EQ(MRV_Util::Disconnect(good), S_OK);
    EXPECT_FALSE(good.Connected());
}

TEST_F(UtilTest, TheCompanyListHasThreeTextsPerCompany) {
    const LLObjectsCOM::Server server = makeServer(6);
    createCompany(server, QStringLiteral("ALPHA"), QStringLiteral("Alpha Ltd"));
    createCompany(server, QStringLiteral("BETA"), QStringLiteral("Beta & Söhne"));
    Company c;
    c.Server = server.folder();
    c.UseTrusted = true;
    QList<QStringList> list;
    ASSERT_EQ(MRV_Util::GetCompanyList(c, list, true), S_OK);
    const QString version = QString::number(LLObjectsCOM::Admin::DefaultVersion);
    EXPECT_EQ(list, (QList<QStringList>{
                        {QStringLiteral("ALPHA"), QStringLiteral("Alpha Ltd"), version},
                        {QStringLiteral("BETA"), QStringLiteral("Beta & Söhne"), version}}));

    // An unknown server: the list stays, the user is told when asked to be.
    Company nowhere;
    nowhere.Server = QStringLiteral("nowhere");
    EXPECT_LT(MRV_Util::GetCompanyList(nowhere, list, false), 0);
    EXPECT_TRUE(ui.transcript.isEmpty());
    EXPECT_LT(MRV_Util::GetCompanyList(nowhere, list, true), 0);
    EXPECT_EQ(list.size(), 2);
    ASSERT_EQ(ui.transcript.size(), 1);
    EXPECT_EQ(
        ui.transcript[0],
        QStringLiteral("error: Failed to retrieve company list from Orvant Ledgerline\r\n'%1'")
            .arg(nowhere.GetLastErrorDescription()));
    EXPECT_TRUE(takeLog().join(u'\n').contains(
        QStringLiteral("Failed to retrieve company list from Orvant Ledgerline.")));
}

TEST_F(UtilTest, OnlyASuperuserIsASuperuser) {
    const LLObjectsCOM::Server server = open(6, false);
    ASSERT_TRUE(LLObjectsCOM::Admin::addUser(server, QStringLiteral("DEMO"),
                                             QStringLiteral("o'neil"), QStringLiteral("O'Neil"),
                                             QStringLiteral("pw"), false));
    bool super = false;
    EXPECT_EQ(MRV_Util::CheckSuperUser(company(), super), S_OK);
    EXPECT_TRUE(super);

    Company clerk;
    ASSERT_EQ(login(clerk, server, QStringLiteral("o'neil"), QStringLiteral("pw")), S_OK);
    super = true;
    EXPECT_EQ(MRV_Util::CheckSuperUser(clerk, super), S_OK);
    EXPECT_FALSE(super);

    // A user code the company does not know.
    clerk.UserName = QStringLiteral("ghost");
    super = true;
    EXPECT_EQ(MRV_Util::CheckSuperUser(clerk, super), S_FALSE);
    EXPECT_FALSE(super);
    EXPECT_TRUE(takeLog().join(u'\n').contains(QStringLiteral("Failed to get user 'ghost' (")));
}

TEST_F(UtilTest, TheLocalizationComesInTheFormOfTheServerType) {
    for (int type : {2, 5, 6}) {
        SCOPED_TRACE(type);
        open(type, false);
        QString code;
        ASSERT_EQ(MRV_Util::GetLocalization(company(), code), S_OK);
        EXPECT_EQ(code, QStringLiteral("US"));
        EXPECT_EQ(takeSql(),
                  QStringList(type == 5 ? QStringLiteral("SELECT \"LawsSet\"DG1 FROM CINF")
                                        : QStringLiteral("SELECT LawsSet FROM CINF")));
    }
    Company unconnected;
    QString code;
    EXPECT_LT(MRV_Util::GetLocalization(unconnected, code), 0);
    EXPECT_TRUE(takeLog().join(u'\n').contains(
        QStringLiteral("Failed to retrieve localization from database, HRESULT = 0x")));
}

TEST_F(UtilTest, TheLocalInstallationIsTheDefaultLocalServer) {
    QString path = QStringLiteral("unchanged");
    EXPECT_EQ(MRV_Util::GetLocalLLFolder(path), E_FAIL);
    EXPECT_EQ(path, QStringLiteral("unchanged"));
    const LLObjectsCOM::Server local = makeServer(6, QStringLiteral("local"));
    ASSERT_EQ(MRV_Util::GetLocalLLFolder(path), S_OK);
    EXPECT_EQ(path, local.folder());
}
