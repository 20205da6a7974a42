#include "di/MRV_Util.h"
#include "DiTestSupport.h"
#include "di/MRV_InitialPasswords.h"
#include "host/admin/LLAdmin.h"

using namespace Qt::StringLiterals;

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
        c.CompanyDB = u"DEMO"_s;
        c.UserName = user;
        c.Password = password;
        c.UseTrusted = true;
        return MRV_Util::Connect(c, context);
    }
    int noteRows(int id) {
        return value(u"SELECT COUNT(*) FROM [@MRVNOTE] WHERE U_ID = %1"_s.arg(id)).toInt();
    }
    QString noteCode(int id) {
        return value(u"SELECT Code FROM [@MRVNOTE] WHERE U_ID = %1"_s.arg(id));
    }
};

} // namespace

// --- Notes ---------------------------------------------------------------

TEST_F(UtilTest, StartUpLeavesTheThirtyNotes) {
    open(6);
    for (int n = 1; n <= 30; ++n) {
        QString text;
        ASSERT_EQ(MRV_Util::GetNoteFromDB(company(), n, text), S_OK) << n;
        EXPECT_EQ(text, u"MRV_LMS_NOTE%1_0"_s.arg(n));
    }
    QString none = u"unchanged"_s;
    EXPECT_EQ(MRV_Util::GetNoteFromDB(company(), 31, none), S_FALSE);
    EXPECT_EQ(none, u"unchanged"_s);
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
        ASSERT_EQ(MRV_Util::WriteNoteToDB(company(), 7, u"O'Brien"_s), S_OK);
        // The note's row is replaced by one under a new code.
        EXPECT_EQ(noteRows(7), 1);
        EXPECT_NE(noteCode(7), before);
        EXPECT_EQ(takeSql(), (QStringList{QLatin1String(c.select), QLatin1String(c.remove),
                                          QString::fromLatin1(c.insert).arg(noteCode(7))}));
        QString text;
        ASSERT_EQ(MRV_Util::GetNoteFromDB(company(), 7, text), S_OK);
        EXPECT_EQ(text, u"O'Brien"_s);
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
            EXPECT_EQ(text, u"MRV_LMS_NOTE3_0"_s) << "a failed write keeps the note";
            continue;
        }
        ASSERT_EQ(MRV_Util::WriteNoteToDB(company(), 3, u"MRV_LMS_NOTE3_0"_s), S_OK);
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
    EXPECT_EQ(text, u"MRV_LMS_NOTE4_0"_s);
    company().EndTransaction(0);
    EXPECT_EQ(noteRows(4), 1);
}

TEST_F(UtilTest, NoteFailuresAreLoggedWithTheirIds) {
    open(6, false);
    QString text;
    EXPECT_LT(MRV_Util::GetNoteFromDB(company(), 9, text), 0);
    EXPECT_LT(MRV_Util::DeleteNoteFromDB(company(), 9), 0);
    EXPECT_LT(MRV_Util::WriteNoteToDB(company(), 9, u"x"_s), 0);
    const QString log = takeLog().join(u'\n');
    EXPECT_TRUE(log.contains(u"Failed to retrieve note with ID 9 from database, HRESULT = 0x"_s));
    EXPECT_TRUE(log.contains(u"Failed to delete note with ID 9 from database, HRESULT = 0x"_s));
    EXPECT_TRUE(log.contains(u"Error code =  "_s));
}

// --- Comparing companies ---------------------------------------------------

TEST_F(UtilTest, CompaniesAreTheSameByServerAndDatabaseWhoseCaseFollowsTheServerType) {
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
    EXPECT_FALSE(
        MRV_Util::SameCompany(named(u"s"_s, u"DB"_s, 4).get(), named(u"s"_s, u"DB"_s, 6).get()))
        << "another server type";
    // Absent companies are only the same as each other.
    const auto a = named(u"x"_s, u"DB"_s, 6);
    EXPECT_TRUE(MRV_Util::SameCompany(nullptr, nullptr));
    EXPECT_FALSE(MRV_Util::SameCompany(a.get(), nullptr));
    EXPECT_FALSE(MRV_Util::SameCompany(nullptr, a.get()));
    EXPECT_TRUE(MRV_Util::SameCompany(a.get(), a.get()));
}

TEST_F(UtilTest, ACompanyThatLeavesTheTypeToItsServerHasTheServersType) {
    const LLObjectsCOM::Server server = open(2);
    // Unconnected, type 0: the server's type 2, so the database name counts
    // with its case as for any DB2 company.
    const auto same = named(server.folder(), u"DEMO"_s);
    const auto otherCase = named(server.folder(), u"demo"_s);
    EXPECT_TRUE(MRV_Util::SameCompany(same.get(), &company()));
    EXPECT_TRUE(MRV_Util::SameCompany(&company(), same.get()));
    EXPECT_FALSE(MRV_Util::SameCompany(otherCase.get(), &company()));
    EXPECT_FALSE(MRV_Util::SameCompany(named(server.folder(), u"DEMO"_s, 6).get(), &company()))
        << "a company asking for another type is another company";
    EXPECT_EQ(MRV_Util::DbServerType(*same), 2);
    EXPECT_EQ(MRV_Util::DbServerType(*named(u"nowhere"_s, u"X"_s)), 0);
}

TEST_F(UtilTest, TwoNamesOfOneServerAreTheSameServer) {
    const LLObjectsCOM::Server server = makeServer(6, u"machine"_s);
    ASSERT_TRUE(LLObjectsCOM::Server::registerServer(u"books"_s, server.folder()));
    EXPECT_TRUE(MRV_Util::SameCompany(named(u"books,1433"_s, u"DB"_s).get(),
                                      named(server.folder(), u"db"_s).get()));
    EXPECT_FALSE(MRV_Util::SameCompany(named(u"books"_s, u"DB"_s).get(),
                                       named(u"other"_s, u"DB"_s, 6).get()));
}

// --- Connecting ------------------------------------------------------------

TEST_F(UtilTest, ConnectSwitchesToXmlStringsAndReportsAFailedLogin) {
    const LLObjectsCOM::Server server = makeServer(6);
    createCompany(server, u"DEMO"_s);
    Company good;
    ASSERT_EQ(login(good, server, u"lobster"_s, u"lobster"_s), S_OK);
    EXPECT_TRUE(good.Connected());
    EXPECT_EQ(good.XmlExportType, 3);
    EXPECT_TRUE(good.XMLAsString);
    EXPECT_TRUE(ui.transcript.isEmpty());

    Company bad;
    EXPECT_LT(login(bad, server, u"lobster"_s, u"wrong"_s), 0);
    EXPECT_FALSE(bad.Connected());
    ASSERT_EQ(ui.transcript.size(), 1);
    EXPECT_EQ(ui.transcript[0],
              u"error: Failed to connect to Orvant Ledgerline Company\r\n'%1'"_s.arg(
                  bad.GetLastErrorDescription()));
    const QString log = takeLog().join(u'\n');
    EXPECT_TRUE(log.contains(u"Failed to connect to Orvant Ledgerline Company"_s));
    EXPECT_TRUE(log.contains(u"Error code =  %1: "_s.arg(bad.GetLastErrorCode())));

    ASSERT_EQ(MRV_Util::Disconnect(good), S_OK);
    EXPECT_FALSE(good.Connected());
}

TEST_F(UtilTest, TheCompanyListHasThreeTextsPerCompany) {
    const LLObjectsCOM::Server server = makeServer(6);
    createCompany(server, u"ALPHA"_s, u"Alpha Ltd"_s);
    createCompany(server, u"BETA"_s, u"Beta & Söhne"_s);
    Company c;
    c.Server = server.folder();
    c.UseTrusted = true;
    QList<QStringList> list;
    ASSERT_EQ(MRV_Util::GetCompanyList(c, list, true), S_OK);
    const QString version = QString::number(LLObjectsCOM::Admin::DefaultVersion);
    EXPECT_EQ(list, (QList<QStringList>{{u"ALPHA"_s, u"Alpha Ltd"_s, version},
                                        {u"BETA"_s, u"Beta & Söhne"_s, version}}));

    // An unknown server: the list stays, the user is told when asked to be.
    Company nowhere;
    nowhere.Server = u"nowhere"_s;
    EXPECT_LT(MRV_Util::GetCompanyList(nowhere, list, false), 0);
    EXPECT_TRUE(ui.transcript.isEmpty());
    EXPECT_LT(MRV_Util::GetCompanyList(nowhere, list, true), 0);
    EXPECT_EQ(list.size(), 2);
    ASSERT_EQ(ui.transcript.size(), 1);
    EXPECT_EQ(ui.transcript[0],
              u"error: Failed to retrieve company list from Orvant Ledgerline\r\n'%1'"_s.arg(
                  nowhere.GetLastErrorDescription()));
    EXPECT_TRUE(logged(u"Failed to retrieve company list from Orvant Ledgerline."_s));
}

TEST_F(UtilTest, OnlyASuperuserIsASuperuser) {
    const LLObjectsCOM::Server server = open(6, false);
    ASSERT_TRUE(
        LLObjectsCOM::Admin::addUser(server, u"DEMO"_s, u"o'neil"_s, u"O'Neil"_s, u"pw"_s, false));
    bool super = false;
    EXPECT_EQ(MRV_Util::CheckSuperUser(company(), super), S_OK);
    EXPECT_TRUE(super);

    Company clerk;
    ASSERT_EQ(login(clerk, server, u"o'neil"_s, u"pw"_s), S_OK);
    super = true;
    EXPECT_EQ(MRV_Util::CheckSuperUser(clerk, super), S_OK);
    EXPECT_FALSE(super);

    // A user code the company does not know.
    clerk.UserName = u"ghost"_s;
    super = true;
    EXPECT_EQ(MRV_Util::CheckSuperUser(clerk, super), S_FALSE);
    EXPECT_FALSE(super);
    EXPECT_TRUE(logged(u"Failed to get user 'ghost' ("_s));
}

TEST_F(UtilTest, TheLocalizationComesInTheFormOfTheServerType) {
    for (int type : {2, 5, 6}) {
        SCOPED_TRACE(type);
        open(type, false);
        QString code;
        ASSERT_EQ(MRV_Util::GetLocalization(company(), code), S_OK);
        EXPECT_EQ(code, u"US"_s);
        EXPECT_EQ(takeSql(), QStringList(type == 5 ? u"SELECT \"LawsSet\"DG1 FROM CINF"_s
                                                   : u"SELECT LawsSet FROM CINF"_s));
    }
    Company unconnected;
    QString code;
    EXPECT_LT(MRV_Util::GetLocalization(unconnected, code), 0);
    EXPECT_TRUE(logged(u"Failed to retrieve localization from database, HRESULT = 0x"_s));
}

TEST_F(UtilTest, TheLocalInstallationIsTheDefaultLocalServer) {
    QString path = u"unchanged"_s;
    EXPECT_EQ(MRV_Util::GetLocalLLFolder(path), E_FAIL);
    EXPECT_EQ(path, u"unchanged"_s);
    const LLObjectsCOM::Server local = makeServer(6, u"local"_s);
    ASSERT_EQ(MRV_Util::GetLocalLLFolder(path), S_OK);
    EXPECT_EQ(path, local.folder());
}

// The operator's file lists each new user once with the password the user
// has now: new users are added at its end, one added again has the new
// password only, one withdrawn is gone.
TEST(InitialPasswords, TheFileListsEachUserOnceWithThePasswordItHas) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    MRV_InitialPasswords passwords(dir.filePath(u"run.txt"_s));
    QString error;
    for (const auto& [user, password] : QList<std::pair<QString, QString>>{{u"anna"_s, u"p1"_s},
                                                                           {u"bert"_s, u"p2"_s},
                                                                           {u"carl"_s, u"p3"_s},
                                                                           {u"anna"_s, u"p4"_s}})
        ASSERT_TRUE(passwords.add(user, password, error)) << error.toStdString();
    ASSERT_TRUE(passwords.withdraw(u"bert"_s, error)) << error.toStdString();
    ASSERT_TRUE(passwords.add(u"dora"_s, u"p5"_s, error)) << error.toStdString();
    QFile file(passwords.path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    lines.removeIf([](const QString& line) { return line.startsWith(u'#'); });
    EXPECT_EQ(lines, (QStringList{u"carl\tp3"_s, u"anna\tp4"_s, u"dora\tp5"_s, QString()}));
    EXPECT_EQ(passwords.count(), 3);
}
