#include "di/MRV_SettingsManager.h"
#include "DiTestSupport.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

class SettingsTest : public DiWorld {
protected:
    // The stored row: method, response, the two flags and three folders.
    QStringList storedRow() {
        const QList<QStringList> all =
            rows(u"SELECT Code, Name, U_CpyMethod, U_RTCF, U_FRFMUDF, U_FBACKUP, "
                 "U_CFFolder, U_WSFolder, U_LFFolder FROM [@MRVSETT]"_s);
        EXPECT_LE(all.size(), 1) << "MRVSETT holds at most one row";
        return all.value(0);
    }
    static QString mirrovaFolder(const LLObjectsCOM::Server& server, const char* share = "LL_SHR") {
        return server.folder() + u'/' + QLatin1String(share) + u"/Mirrova"_s;
    }
    void saveCustom(MRV_SettingsManager& settings) {
        settings.setCopyMethod(4);
        settings.setResponseToFailure(2);
        settings.setIgnoreMissingUdf(true);
        settings.setForceBackup(false);
        settings.setConfigurationFolder(u"/data/o'configs"_s);
        settings.setWorksheetFolder(u"/data/worksheets"_s);
        settings.setLogFileFolder(u"/data/logs"_s);
        ASSERT_EQ(settings.saveSettingsToDatabase(), S_OK);
    }
    // The row of the default settings, with the folders under home (none
    // when home is empty).
    static QStringList defaultRow(const QString& home) {
        const auto under = [&](const char* folder) {
            return home.isEmpty() ? QString() : home + u'/' + QLatin1String(folder);
        };
        return {u"00000000"_s,
                u"00000000"_s,
                u"1"_s,
                u"0"_s,
                u"N"_s,
                u"Y"_s,
                under("Company configuration files"),
                under("Worksheets"),
                under("Log files")};
    }
    // A manager's settings in the form of the stored row, less its keys.
    static QStringList asRow(const MRV_SettingsManager& s) {
        const auto flag = [](bool on) { return on ? u"Y"_s : u"N"_s; };
        return {QString::number(s.copyMethod()),
                QString::number(s.responseToFailure()),
                flag(s.ignoreMissingUdf()),
                flag(s.forceBackup()),
                s.configurationFolder(),
                s.worksheetFolder(),
                s.logFileFolder()};
    }
    static const QStringList customRow() {
        return {u"00000000"_s,        u"00000000"_s,         u"4"_s,         u"2"_s, u"Y"_s, u"N"_s,
                u"/data/o'configs"_s, u"/data/worksheets"_s, u"/data/logs"_s};
    }
};

} // namespace

// --- A new company -------------------------------------------------------

TEST_F(SettingsTest, ANewCompanyGetsTheDefaultsAndTheFoldersUnderItsShare) {
    const LLObjectsCOM::Server server = open(6);
    MRV_SettingsManager settings(&context);
    EXPECT_EQ(settings.getSettingsFromDatabase(), S_FALSE) << "no row yet";
    EXPECT_EQ(settings.copyMethod(), -1);

    ASSERT_EQ(settings.checkSettings(), S_OK);
    const QString home = mirrovaFolder(server);
    EXPECT_EQ(storedRow(), defaultRow(home));
    for (const char* folder : {"Company configuration files", "Worksheets", "Log files"})
        EXPECT_TRUE(QFileInfo(home + u'/' + QLatin1String(folder)).isDir()) << folder;
    EXPECT_TRUE(ui.transcript.isEmpty()) << ui.transcript.join(u'\n').toStdString();

    // What was saved is what a later start reads.
    MRV_SettingsManager later(&context);
    ASSERT_EQ(later.getSettingsFromDatabase(), S_OK);
    EXPECT_EQ(asRow(later), defaultRow(home).mid(2));
}

TEST_F(SettingsTest, TheRowIsWrittenEvenWhenTheFoldersCannotBeMade) {
    const LLObjectsCOM::Server server = open(6);
    ASSERT_TRUE(QDir(server.sharePath()).removeRecursively());
    MRV_SettingsManager settings(&context);
    ASSERT_EQ(settings.checkSettings(), S_OK);
    EXPECT_EQ(storedRow(), defaultRow(QString()));
    EXPECT_EQ(ui.transcript, QStringList(u"host status: Failed to create default folders for "
                                         "application files. Check options for default folder "
                                         "assignment."_s));
    EXPECT_TRUE(logged(u"Failed to create default folders."_s));
}

TEST_F(SettingsTest, ExistingSettingsAreKeptAtStartUp) {
    open(6);
    MRV_SettingsManager settings(&context);
    saveCustom(settings);
    MRV_SettingsManager atStart(&context);
    EXPECT_EQ(atStart.checkSettings(), S_OK);
    EXPECT_EQ(storedRow(), customRow());
    EXPECT_EQ(asRow(atStart), customRow().mid(2));
}

TEST_F(SettingsTest, AFolderThatCannotBeMadeLeavesItsSettingAndTheOthersAreMade) {
    const LLObjectsCOM::Server server = open(6);
    const QString home = mirrovaFolder(server);
    ASSERT_TRUE(QDir().mkpath(home));
    QFile blocker(home + u"/Worksheets"_s);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)) << "a file where the folder belongs";
    blocker.close();
    MRV_SettingsManager settings(&context);
    settings.setWorksheetFolder(u"/kept"_s);
    EXPECT_EQ(settings.createDefaultFolders(), S_OK);
    EXPECT_EQ(settings.worksheetFolder(), u"/kept"_s);
    EXPECT_EQ(settings.configurationFolder(), home + u"/Company configuration files"_s);
    EXPECT_EQ(settings.logFileFolder(), home + u"/Log files"_s);
    EXPECT_TRUE(logged(u"Failed to create folder '%1/Worksheets'"_s.arg(home)));
}

// --- Where the share is --------------------------------------------------

// The share is found by the server's name: a local one, one registered
// (with a port, under the share's new or old name), or none.
TEST_F(SettingsTest, TheShareIsFoundByTheServersName) {
    const auto folder = [&](const QString& name) {
        context.company = std::make_shared<LLObjectsCOM::Company>();
        context.company->Server = name;
        MRV_SettingsManager settings(&context);
        return std::pair{settings.createDefaultFolders(), settings.logFileFolder()};
    };
    const std::pair<QString, QString> unknown[] = {
        {u"(local)"_s, u"Failed to find installation directory of Orvant Ledgerline"_s},
        {u"nowhere,1433"_s, u"Failed to find share folder under '\\\\nowhere'"_s}};
    for (const auto& [name, why] : unknown) {
        EXPECT_EQ(folder(name), std::pair(S_FALSE, QString())) << name.toStdString();
        EXPECT_TRUE(logged(why)) << name.toStdString();
    }
    const LLObjectsCOM::Server local = makeServer(6, u"local"_s);
    for (const char* name : {".", "(LOCAL)", "localhost", ".\\Books", "(local)\\Inst"})
        EXPECT_EQ(folder(QLatin1String(name)),
                  std::pair(S_OK, mirrovaFolder(local) + u"/Log files"_s))
            << name;

    const LLObjectsCOM::Server remote = makeServer(6, u"machine1"_s);
    QString error;
    ASSERT_TRUE(LLObjectsCOM::Server::registerServer(u"server1"_s, remote.folder(), &error))
        << error.toStdString();
    EXPECT_EQ(folder(u"server1,1433"_s), std::pair(S_OK, mirrovaFolder(remote) + u"/Log files"_s));
    ASSERT_TRUE(QDir(remote.sharePath()).removeRecursively());
    ASSERT_TRUE(QDir(remote.folder()).mkdir(u"OLL_SHR"_s));
    EXPECT_EQ(folder(u"server1,1433"_s),
              std::pair(S_OK, mirrovaFolder(remote, "OLL_SHR") + u"/Log files"_s));
    ASSERT_TRUE(QDir(remote.folder() + u"/OLL_SHR"_s).removeRecursively());
    takeLog();
    EXPECT_EQ(folder(u"server1,1433"_s), std::pair(S_FALSE, QString()));
    EXPECT_TRUE(logged(u"Failed to find share folder under '\\\\server1'"_s));
}

// --- The statements, by server type ---------------------------------------

// A quote in a folder shows how each form writes text. Type 2 writes the
// statements of type 6 with the table's name bare.
TEST_F(SettingsTest, EachServerTypeGetsItsFormOfTheStatements) {
    struct Case {
        const char* select;
        const char* remove;
        const char* insert;
    };
    const Case cases[] = {
        {// type 5
         "SELECT \"U_CpyMethod\", \"U_RTCF\", \"U_FRFMUDF\", \"U_FBACKUP\", \"U_CFFolder\", "
         "\"U_WSFolder\", \"U_LFFolder\" FROM @MRVSETT",
         "DELETE FROM @MRVSETT",
         "INSERT INTO @MRVSETT (\"Code\", \"Name\", \"U_CpyMethod\", \"U_RTCF\", \"U_FRFMUDF\", "
         "\"U_FBACKUP\", \"U_CFFolder\", \"U_WSFolder\", \"U_LFFolder\")    VALUES ('00000000', "
         "'00000000', 4, 2, 'Y', 'N', '/data/o''configs', '/data/worksheets', '/data/logs')"},
        {// types 6 and 2
         "SELECT U_CpyMethod, U_RTCF, U_FRFMUDF, U_FBACKUP, U_CFFolder, U_WSFolder, U_LFFolder "
         "FROM [@MRVSETT]",
         "DELETE FROM [@MRVSETT]",
         "INSERT INTO [@MRVSETT] (Code, Name, U_CpyMethod, U_RTCF, U_FRFMUDF, U_FBACKUP, "
         "U_CFFolder, U_WSFolder, U_LFFolder)    VALUES ('00000000', '00000000', 4, 2, N'Y', "
         "N'N', N'/data/o''configs', N'/data/worksheets', N'/data/logs')"},
    };
    for (int type : {2, 5, 6}) {
        SCOPED_TRACE(type);
        const Case& c = cases[type == 5 ? 0 : 1];
        const auto form = [&](const char* sql) {
            const QString text = QString::fromLatin1(sql);
            return type == 2 ? QString(text).replace(u"[@MRVSETT]"_s, u"@MRVSETT"_s) : text;
        };
        open(type);
        MRV_SettingsManager settings(&context);
        saveCustom(settings);
        EXPECT_EQ(takeSql(), (QStringList{form(c.remove), form(c.insert)}));
        MRV_SettingsManager read(&context);
        ASSERT_EQ(read.getSettingsFromDatabase(), S_OK);
        EXPECT_EQ(takeSql(), QStringList(form(c.select)));
        EXPECT_EQ(asRow(read), customRow().mid(2));
        EXPECT_EQ(storedRow(), customRow()) << "one row, whatever was there";
    }
}

// --- Values in the statements -----------------------------------------------

TEST_F(SettingsTest, EveryHostileFolderEitherRoundTripsOrLeavesTheOldRow) {
    open(6);
    MRV_SettingsManager settings(&context);
    saveCustom(settings);
    for (const QString& nasty : nastyStrings()) {
        MRV_SettingsManager write(&context);
        write.setDefaultSettings();
        write.setConfigurationFolder(nasty);
        write.setWorksheetFolder(nasty);
        write.setLogFileFolder(nasty);
        const HRESULT hr = write.saveSettingsToDatabase();
        // The column holds 254 characters; a NUL cannot stand in a statement.
        const bool fits = nasty.toUcs4().size() <= 254 && !nasty.contains(QChar(0));
        MRV_SettingsManager read(&context);
        ASSERT_EQ(read.getSettingsFromDatabase(), S_OK) << nasty.toStdString();
        if (fits) {
            EXPECT_EQ(hr, S_OK) << nasty.toStdString();
            EXPECT_EQ(asRow(read).mid(4), QStringList(3, nasty));
            saveCustom(settings);
        } else {
            EXPECT_LT(hr, 0) << nasty.toStdString();
            EXPECT_EQ(storedRow(), customRow()) << nasty.toStdString();
        }
    }
}

// --- A failed save -------------------------------------------------------

TEST_F(SettingsTest, AFailedInsertKeepsTheOldRowAndTheCallersTransaction) {
    open(6);
    MRV_SettingsManager settings(&context);
    saveCustom(settings);
    takeLog();
    MRV_SettingsManager tooLong(&context);
    tooLong.setDefaultSettings();
    tooLong.setLogFileFolder(QString(300, u'l'));
    EXPECT_LT(tooLong.saveSettingsToDatabase(), 0);
    EXPECT_EQ(storedRow(), customRow());
    EXPECT_FALSE(company().InTransaction());
    const QString log = takeLog().join(u'\n');
    EXPECT_TRUE(log.contains(u"Failed to save default settings for Mirrova!"_s) &&
                log.contains(u"Error code =  "_s))
        << log.toStdString();

    company().StartTransaction();
    tooLong.setLogFileFolder(u"/l"_s);
    tooLong.setWorksheetFolder(QString(300, u'w'));
    EXPECT_LT(tooLong.saveSettingsToDatabase(), 0);
    EXPECT_TRUE(company().InTransaction()) << "the caller's transaction is the caller's";
    EXPECT_EQ(storedRow(), customRow());
    company().EndTransaction(0);
    EXPECT_EQ(storedRow(), customRow());

    // A save that works inside the caller's transaction is the caller's to
    // keep or undo.
    company().StartTransaction();
    MRV_SettingsManager fine(&context);
    fine.setDefaultSettings();
    ASSERT_EQ(fine.saveSettingsToDatabase(), S_OK);
    EXPECT_TRUE(company().InTransaction());
    EXPECT_EQ(storedRow().value(2), u"1"_s);
    company().EndTransaction(1);
    EXPECT_EQ(storedRow(), customRow());
}

TEST_F(SettingsTest, WithoutACompanyNothingIsReadOrSaved) {
    MRV_SettingsManager settings(&context);
    EXPECT_EQ(settings.getSettingsFromDatabase(), E_FAIL);
    EXPECT_EQ(settings.saveSettingsToDatabase(), E_FAIL);
    EXPECT_EQ(settings.updateSettingsFromDatabase(), E_FAIL);
    EXPECT_EQ(settings.checkSettings(), E_FAIL);
}

TEST_F(SettingsTest, AFailedReadIsLoggedAndReturned) {
    open(6, false);
    MRV_SettingsManager settings(&context);
    EXPECT_LT(settings.getSettingsFromDatabase(), 0) << "no table MRVSETT";
    const QString log = takeLog().join(u'\n');
    EXPECT_TRUE(log.contains(u"Failed to retrieve default settings from database, HRESULT = 0x"_s));
    EXPECT_TRUE(log.contains(u"Error code =  "_s));
    EXPECT_LT(settings.checkSettings(), 0);
}

// --- Settings and the open worksheet ---------------------------------------

TEST_F(SettingsTest, TheContextTakesTheSettingsOnlyWithoutAnOpenWorksheet) {
    open(6);
    MRV_SettingsManager settings(&context);
    saveCustom(settings);

    const auto contextRow = [&] {
        return QList<int>{context.copyMethod, context.responseToFailure, context.ignoreMissingUdf,
                          context.forceBackup};
    };
    context.worksheetPath = u"/ws/open_WS.xml"_s;
    context.copyMethod = 2;
    context.responseToFailure = 1;
    context.ignoreMissingUdf = false;
    context.forceBackup = true;
    MRV_SettingsManager update(&context);
    ASSERT_EQ(update.updateSettingsFromDatabase(), S_OK);
    EXPECT_EQ(update.copyMethod(), 4);
    EXPECT_EQ(contextRow(), (QList<int>{2, 1, false, true})) << "the open worksheet keeps its own";

    context.worksheetPath.clear();
    ASSERT_EQ(update.updateSettingsFromDatabase(), S_OK);
    EXPECT_EQ(contextRow(), (QList<int>{4, 2, true, false}));
}
