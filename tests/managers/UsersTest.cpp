#include "ManagerTestSupport.h"
#include "host/objects/LLErrors.h"
#include "host/objects/LLPassword.h"
#include "managers/MRV_AuthorizationsManager.h"
#include "tsframework/CLogBase.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString Users = u"MRV_TRN_USERSLEAF_100"_s;
const QString Authorizations = u"MRV_TRN_AUTHORIZATIONSLEAF_100"_s;
const QString Tree = u"MRV_TRN_ADDITIONALAUT_100"_s;

// Users by code with what they name by name; the target's own superuser
// (see ownerApart) is not one of them.
const QString UserContents =
    u"SELECT u.USER_CODE, u.U_NAME, u.SUPERUSER, u.E_Mail, u.PortNum, u.Fax, u.Locked, "
    u"u.Language, d.Name, b.Name FROM OUSR u LEFT JOIN OUDP d ON d.Code = u.Department LEFT "
    u"JOIN OUBR b ON b.Code = u.Branch WHERE u.USER_CODE <> 'owner' ORDER BY 1"_s;
const QString TreeContents =
    u"SELECT AbsId, Name, Father, Levels, IsItem, VisOrder, Options FROM OUPT ORDER BY 1"_s;
// What each user may do where it is anything: a permission nobody set
// reads as none.
const QString PermissionContents =
    u"SELECT u.USER_CODE, p.PermId, p.Permission FROM OPRM p JOIN OUSR u ON u.INTERNAL_K = "
    u"p.UserSign WHERE u.SUPERUSER = 'N' AND p.Permission <> 'N' AND p.PermId < 1000 "
    u"ORDER BY 1, 2"_s;

// The empty company's own superuser under a code the base lacks: every
// user of the base is then new to the target.
void ownerApart(LLObjectsCOM::Company&, LLObjectsCOM::Company& target) {
    EngineWorld::exec(target, u"UPDATE OUSR SET USER_CODE = 'owner' WHERE USER_CODE = 'lobster'"_s);
}

} // namespace

QList<ManagerCase> userCases() {
    const auto none = [](LLObjectsCOM::Company&, LLObjectsCOM::Company&) {};
    return {
        // Departments and branches travel with the users and stay; the
        // tree is added and updated whatever the method, and the target's
        // superusers are updated, never removed.
        {"Users",
         Users,
         UserContents,
         u"SELECT 1 FROM OUSR"_s,
         ownerApart,
         u"INSERT INTO OUSR (INTERNAL_K, USERID, USER_CODE, U_NAME) VALUES (%1, %1, %3, %2)"_s,
         u"SELECT U_NAME FROM OUSR WHERE USER_CODE <> 'owner'"_s,
         155,
         false,
         u"SELECT 1 FROM OUSR WHERE SUPERUSER = 'N'"_s,
         u"SELECT 1 FROM OUDP UNION ALL SELECT 1 FROM OUBR"_s,
         {u"SELECT Name, Remarks FROM OUDP ORDER BY 1"_s,
          u"SELECT Name, Remarks FROM OUBR ORDER BY 1"_s},
         u"SELECT AbsId FROM OUPT"_s},
        {"AdditionalAuthorizations", Tree, TreeContents, u"SELECT 1 FROM OUPT"_s, none,
         u"INSERT INTO OUPT (AbsId, Name) VALUES (%1, %2)"_s, u"SELECT Name FROM OUPT"_s, 100},
    };
}

// Permissions are only ever set on users the target has: they join the
// dialects, not the copy methods.
QList<ManagerCase> userDialectCases() {
    QList<ManagerCase> cases = userCases();
    cases << ManagerCase{"Authorizations",
                         Authorizations,
                         PermissionContents,
                         u"SELECT 1 FROM OUSR WHERE SUPERUSER = 'N'"_s,
                         users,
                         QString(),
                         QString()};
    return cases;
}

class UsersCopy : public ManagerOnServer {
protected:
    // The passwords a file lists, by user code.
    static QHash<QString, QString> passwordsIn(const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        QHash<QString, QString> passwords;
        for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n'))
            if (!line.isEmpty() && !line.startsWith(u'#'))
                passwords.insert(line.section(u'\t', 0, 0), line.section(u'\t', 1));
        return passwords;
    }
    // The host's answer to a log-in to the target.
    int logIn(const QString& user, const QString& password) {
        LLObjectsCOM::Company company;
        logOn(company, server->folder(), u"TARGET"_s, user, password);
        const int code = company.Connect();
        company.Disconnect();
        return code;
    }
    // A second empty target, its own run's log and passwords.
    void newRunInto(const QString& db) {
        QString error;
        ASSERT_TRUE(LLObjectsCOM::Demo::create(*server, db, u"empty"_s, 1, &error))
            << error.toStdString();
        target = std::make_shared<LLObjectsCOM::Company>();
        connect(*target, *server, db);
        context.targetCompany = target;
        context.copyLog = nullptr;
        context.initialPasswords = nullptr;
        ASSERT_TRUE(QDir(dir.path()).mkpath(db));
        log = std::make_unique<MRV_CopyLog>(context);
        ASSERT_TRUE(log->open(dir.filePath(db)));
        log->writeHeader();
        context.copyLog = log.get();
        passwords = std::make_unique<MRV_InitialPasswords>(log->filePath());
        context.initialPasswords = passwords.get();
    }
};

// The target has some of the base's departments and branches under other
// codes, a name of its own on a code the base uses, and the base's buyer
// under another number, a superuser there with a password and a defaults
// group of its own.
TEST_P(UsersCopy, UsersArriveByCodeAndNewOnesGetFirstPasswordsOnlyTheOperatorSees) {
    for (const QString& row :
         {u"OUDP (Code, Name) VALUES (1, 'Legal')"_s, u"OUDP (Code, Name) VALUES (7, 'Finance')"_s,
          u"OUBR (Code, Name) VALUES (4, 'East Branch')"_s,
          u"OUDG (Code, Name) VALUES ('G1', 'Group one')"_s})
        exec(*target, u"INSERT INTO "_s + row);
    const QString kept = LLObjectsCOM::Password::hash(u"Keep-me-1"_s);
    exec(*target, u"INSERT INTO OUSR (INTERNAL_K, USERID, USER_CODE, U_NAME, SUPERUSER, "
                  u"PASSWORD, DfltsGroup, Department) VALUES (30, 30, 'buyer', 'Old name', "
                  u"'Y', %1, 'G1', 1)"_s.arg(lit(kept)));
    const QByteArray savedLevel = qgetenv("MIRROVA_LOG_LEVEL");
    const QByteArray savedFile = qgetenv("MIRROVA_LOG_FILE");
    const QString programLog = dir.filePath(u"program.log"_s);
    qputenv("MIRROVA_LOG_LEVEL", "debug");
    qputenv("MIRROVA_LOG_FILE", programLog.toUtf8());
    CLogBase::reconfigure();
    const HRESULT copied = copy(Users, MRV_DIInterface::AddAndUpdate);
    qputenv("MIRROVA_LOG_LEVEL", savedLevel);
    qputenv("MIRROVA_LOG_FILE", savedFile);
    CLogBase::reconfigure();
    ASSERT_EQ(copied, S_OK) << failures();

    // By code, with their departments and branches by name; the buyer
    // keeps its number, and its password, group and rights are the
    // target's.
    const QString byCode = u"SELECT u.USER_CODE, u.U_NAME, u.E_Mail, u.PortNum, d.Name, b.Name "
                           u"FROM OUSR u LEFT JOIN OUDP d ON d.Code = u.Department LEFT JOIN "
                           u"OUBR b ON b.Code = u.Branch ORDER BY 1"_s;
    expectSame(byCode);
    EXPECT_EQ(rows(*target, u"SELECT INTERNAL_K, PASSWORD, DfltsGroup, SUPERUSER, PwdChange FROM "
                            u"OUSR WHERE USER_CODE = 'buyer'"_s),
              (QList<QVariantList>{{30, kept, u"G1"_s, u"Y"_s, u"N"_s}}));
    // A name the target has keeps the target's code; the others get the
    // codes after the target's highest.
    EXPECT_EQ(column(*target, u"SELECT Code FROM OUDP WHERE Name = 'Finance'"_s), QStringList{"7"});
    EXPECT_EQ(column(*target, u"SELECT Code FROM OUDP WHERE Name <> 'Legal' AND Name <> "
                              u"'Finance' ORDER BY 1"_s),
              (QStringList{"8", "9", "10", "11"}));
    EXPECT_EQ(column(*target, u"SELECT Code FROM OUBR ORDER BY 1"_s), (QStringList{"4", "5", "6"}));

    // Every user new to the target, and only those, is in the operator's
    // file, must change the password and has no group.
    const QStringList added = column(*target, u"SELECT USER_CODE FROM OUSR WHERE PwdChange = 'Y' "
                                              u"AND DfltsGroup IS NULL ORDER BY 1"_s);
    EXPECT_EQ(added, column(*base, u"SELECT USER_CODE FROM OUSR WHERE USER_CODE NOT IN "
                                   u"('buyer', 'lobster') ORDER BY 1"_s));
    ASSERT_TRUE(passwords->fileMade());
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(passwords->path()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(QFileInfo(passwords->path()).path(), QFileInfo(log->filePath()).path());
    const QHash<QString, QString> first = passwordsIn(passwords->path());
    QStringList codes = first.keys();
    codes.sort();
    EXPECT_EQ(codes, added);
    // Each password is the user's: the host takes it, asking for a new one.
    QSet<QString> distinct;
    for (auto it = first.cbegin(); it != first.cend(); ++it) {
        distinct.insert(*it);
        EXPECT_GE(it->size(), 16);
        EXPECT_EQ(logIn(it.key(), *it), LLObjectsCOM::errPasswordMustChange);
        EXPECT_EQ(logIn(it.key(), u"wrong-password"_s), LLObjectsCOM::errWrongUserOrPassword);
    }
    EXPECT_EQ(distinct.size(), first.size());

    // The log names the file on each added user's line; no password is in
    // the program's log (the copy flow's suite reads the copy log).
    qsizetype addedLines = 0;
    for (const QStringList& r : logRecords())
        if (r[Type] == u"212" && added.contains(r[BaseCode])) {
            ++addedLines;
            EXPECT_TRUE(r[Result] == u"402" && r[Error].contains(passwords->path()))
                << r.join(u'|').toStdString();
        }
    EXPECT_EQ(addedLines, added.size());
    QFile program(programLog);
    ASSERT_TRUE(program.open(QIODevice::ReadOnly));
    const QString programText = QString::fromUtf8(program.readAll());
    EXPECT_TRUE(programText.contains(u"MRV_UsersManager"_s));
    for (const QString& password : first)
        EXPECT_FALSE(programText.contains(password));

    // Another run into another company: other passwords.
    newRunInto(u"SECOND"_s);
    ASSERT_EQ(copy(Users, MRV_DIInterface::AddNew), S_FALSE); // lobster is there
    const QHash<QString, QString> second = passwordsIn(passwords->path());
    EXPECT_EQ(second.size(), first.size() + 1); // buyer is new there
    for (auto it = second.cbegin(); it != second.cend(); ++it)
        EXPECT_FALSE(distinct.contains(*it)) << it.key().toStdString();
}

// A file in the way (another's, or one left over) is never written into,
// and no user is added without its password listed.
TEST_P(UsersCopy, NoUserIsAddedWithoutTheOperatorsFile) {
    QFile other(passwords->path());
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("not the run's\n");
    other.close();
    EXPECT_EQ(copy(Users, MRV_DIInterface::AddAndUpdate), S_FALSE);
    EXPECT_EQ(column(*target, u"SELECT USER_CODE FROM OUSR"_s), QStringList{"lobster"});
    const QStringList lines = failedLines();
    EXPECT_EQ(lines.size(), rows(*base, u"SELECT 1 FROM OUSR"_s).size() - 1);
    for (const QString& line : lines)
        EXPECT_TRUE(line.contains(passwords->path()) && line.contains(u"not added"_s))
            << line.toStdString();
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    EXPECT_EQ(other.readAll(), QByteArray("not the run's\n"));
}

// Each user's permissions arrive equal, 74 twice in its record; superusers
// have no record, the removal phase sets nothing, and a user the target
// lacks fails alone, named.
TEST_P(UsersCopy, AuthorizationsArriveEqualPerUserAndPermission) {
    ASSERT_EQ(copy(Users, MRV_DIInterface::AddAndUpdate), S_OK) << failures();
    const BOMTableList tables = read(Authorizations);
    ASSERT_EQ(tables.size(), 1);
    const QStringList plain =
        column(*base, u"SELECT USER_CODE FROM OUSR WHERE SUPERUSER = 'N' ORDER BY INTERNAL_K"_s);
    ASSERT_EQ(tables[0].documents.size(), plain.size());
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const QString& xml = tables[0].documents[i].xml;
        EXPECT_TRUE(xml.contains(u"<USER_CODE>"_s + plain[i] + u"</USER_CODE>"_s));
        EXPECT_EQ(xml.count(u"<A74>"_s), 2);
        EXPECT_EQ(xml.count(QRegularExpression(u"<A\\d+>"_s)),
                  MRV_AuthorizationsManager::permissionIds().size());
    }

    const QString everything = u"SELECT UserSign, PermId, Permission FROM OPRM ORDER BY 1, 2"_s;
    exec(*target, u"INSERT INTO OPRM (UserSign, PermId, Permission) SELECT INTERNAL_K, 142, 'F' "
                  u"FROM OUSR"_s);
    const QList<QVariantList> before = rows(*target, everything);
    const qsizetype mark = logRecords().size();
    EXPECT_EQ(manager(Authorizations)->writeToTarget(tables, MRV_DIInterface::RemovalPhase), S_OK);
    EXPECT_EQ(rows(*target, everything), before);
    EXPECT_EQ(logRecords().size(), mark);

    ASSERT_EQ(manager(Authorizations)->writeToTarget(tables, MRV_DIInterface::UpdateExisting), S_OK)
        << failures(mark);
    EXPECT_EQ(loggedSince(mark, u"213402"_s), plain.size());
    const auto bridge = [](LLObjectsCOM::Company& company) {
        return company.GetBusinessObject(305);
    };
    const auto baseBridge = bridge(*base);
    const auto targetBridge = bridge(*target);
    for (const QString& code : plain) {
        const QVariant from =
            value(*base, u"SELECT INTERNAL_K FROM OUSR WHERE USER_CODE = %1"_s.arg(lit(code)));
        const QVariant to =
            value(*target, u"SELECT INTERNAL_K FROM OUSR WHERE USER_CODE = %1"_s.arg(lit(code)));
        for (const int id : MRV_AuthorizationsManager::permissionIds())
            EXPECT_EQ(targetBridge->Invoke(u"GetPermission"_s, {to, id}),
                      baseBridge->Invoke(u"GetPermission"_s, {from, id}))
                << code.toStdString() << ' ' << id;
    }
    expectSame(PermissionContents);
    // The superusers kept what they had.
    EXPECT_EQ(column(*target, u"SELECT p.Permission FROM OPRM p JOIN OUSR u ON u.INTERNAL_K = "
                              u"p.UserSign WHERE u.SUPERUSER = 'Y'"_s),
              (QStringList{"F", "F"}));

    exec(*target, u"DELETE FROM OUSR WHERE USER_CODE = %1"_s.arg(lit(plain.last())));
    const qsizetype again = logRecords().size();
    EXPECT_EQ(manager(Authorizations)->writeToTarget(tables, MRV_DIInterface::UpdateExisting),
              S_FALSE);
    const QStringList failed = failedLines(again);
    ASSERT_EQ(failed.size(), 1);
    EXPECT_TRUE(failed[0].startsWith(plain.last() + u": "_s) &&
                failed[0].contains(u"not in the target company"_s))
        << failed[0].toStdString();
    EXPECT_EQ(loggedSince(again, u"213402"_s), plain.size() - 1);
}

INSTANTIATE_TEST_SUITE_P(ServerTypes, UsersCopy, ::testing::Values(6, 5), anyServerTypeName);
