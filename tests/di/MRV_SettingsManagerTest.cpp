#include "di/MRV_SettingsManager.h"
#include "DiTestSupport.h"
#include "TestData.h"

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
    // The settings saveCustom saves, as a manager reads them.
    static void expectCustom(const MRV_SettingsManager& read) {
        EXPECT_EQ(read.copyMethod(), 4);
        EXPECT_EQ(read.responseToFailure(), 2);
        EXPECT_TRUE(read.ignoreMissingUdf());
        EXPECT_FALSE(read.forceBackup());
        EXPECT_EQ(read.configurationFolder(), u"/data/o'configs"_s);
        EXPECT_EQ(read.worksheetFolder(), u"/data/worksheets"_s);
        EXPECT_EQ(read.logFileFolder(), u"/data/logs"_s);
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
    EXPECT_EQ(later.copyMethod(), 1);
    EXPECT_EQ(later.responseToFailure(), 0);
    EXPECT_FALSE(later.ignoreMissingUdf());
    EXPECT_TRUE(later.forceBackup());
    EXPECT_EQ(later.worksheetFolder(), home + u"/Worksheets"_s);
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
    EXPECT_TRUE(takeLog().join(u'\n').contains(u"Failed to create default folders."_s));
}

TEST_F(SettingsTest, ExistingSettingsAreKeptAtStartUp) {
    open(6);
    MRV_SettingsManager settings(&context);
    saveCustom(settings);
    MRV_SettingsManager atStart(&context);
    EXPECT_EQ(atStart.checkSettings(), S_OK);
    EXPECT_EQ(storedRow(), customRow());
    expectCustom(atStart);
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
    EXPECT_TRUE(
        takeLog().join(u'\n').contains(u"Failed to create folder '%1/Worksheets'"_s.arg(home)));
}

// --- Where the share is --------------------------------------------------

TEST_F(SettingsTest, TheLocalServerNamesFindTheLocalShare) {
    const LLObjectsCOM::Server local = makeServer(6, u"local"_s);
    for (const char* name : {".", "(LOCAL)", "localhost", ".\\SQLEXPRESS", "(local)\\Inst"}) {
        context.company = std::make_shared<LLObjectsCOM::Company>();
        context.company->Server = QLatin1String(name);
        MRV_SettingsManager settings(&context);
        EXPECT_EQ(settings.createDefaultFolders(), S_OK) << name;
        EXPECT_EQ(settings.logFileFolder(), mirrovaFolder(local) + u"/Log files"_s) << name;
    }
}

TEST_F(SettingsTest, WithoutALocalServerOrAKnownServerThereIsNoShare) {
    const std::pair<const char*, const char*> cases[] = {
        {"(local)", "Failed to find installation directory of Orvant Ledgerline"},
        {"nowhere,1433", "Failed to find share folder under '\\\\nowhere'"}};
    for (const auto& [name, logged] : cases) {
        context.company = std::make_shared<LLObjectsCOM::Company>();
        context.company->Server = QLatin1String(name);
        MRV_SettingsManager settings(&context);
        EXPECT_EQ(settings.createDefaultFolders(), S_FALSE) << name;
        EXPECT_TRUE(settings.logFileFolder().isEmpty()) << name;
        EXPECT_TRUE(takeLog().join(u'\n').contains(QLatin1String(logged))) << name;
    }
}

TEST_F(SettingsTest, ARemoteServerWithAPortFindsItsShareOrItsOldShare) {
    const LLObjectsCOM::Server remote = makeServer(6, u"machine1"_s);
    QString error;
    ASSERT_TRUE(LLObjectsCOM::Server::registerServer(u"server1"_s, remote.folder(), &error))
        << error.toStdString();
    context.company = std::make_shared<LLObjectsCOM::Company>();
    context.company->Server = u"server1,1433"_s;
    {
        MRV_SettingsManager settings(&context);
        EXPECT_EQ(settings.createDefaultFolders(), S_OK);
        EXPECT_EQ(settings.worksheetFolder(), mirrovaFolder(remote) + u"/Worksheets"_s);
    }
    // Only the share's older name.
    ASSERT_TRUE(QDir(remote.sharePath()).removeRecursively());
    ASSERT_TRUE(QDir(remote.folder()).mkdir(u"OLL_SHR"_s));
    {
        MRV_SettingsManager settings(&context);
        EXPECT_EQ(settings.createDefaultFolders(), S_OK);
        EXPECT_EQ(settings.worksheetFolder(), mirrovaFolder(remote, "OLL_SHR") + u"/Worksheets"_s);
    }
    // No share at all.
    ASSERT_TRUE(QDir(remote.folder() + u"/OLL_SHR"_s).removeRecursively());
    takeLog();
    MRV_SettingsManager settings(&context);
    EXPECT_EQ(settings.createDefaultFolders(), S_FALSE);
    EXPECT_TRUE(settings.worksheetFolder().isEmpty());
    EXPECT_TRUE(
        takeLog().join(u'\n').contains(u"Failed to find share folder under '\\\\server1'"_s));
}

// --- The statements, by server type ---------------------------------------

// A quote in a folder shows how each form writes text.
TEST_F(SettingsTest, EachServerTypeGetsItsFormOfTheStatements) {
    struct Case {
        int type;
        const char* select;
        const char* remove;
        const char* insert;
    };
    const Case cases[] = {
        {2,
         "SELECT U_CpyMethod, U_RTCF, U_FRFMUDF, U_FBACKUP, U_CFFolder, U_WSFolder, U_LFFolder "
         "FROM @MRVSETT",
         "DELETE FROM @MRVSETT",
         "INSERT INTO @MRVSETT (Code, Name, U_CpyMethod, U_RTCF, U_FRFMUDF, U_FBACKUP, U_CFFolder, "
         "U_WSFolder, U_LFFolder)    VALUES ('00000000', '00000000', 4, 2, N'Y', N'N', "
         "N'/data/o''configs', N'/data/worksheets', N'/data/logs')"},
        {5,
         "SELECT \"U_CpyMethod\", \"U_RTCF\", \"U_FRFMUDF\", \"U_FBACKUP\", \"U_CFFolder\", "
         "\"U_WSFolder\", \"U_LFFolder\" FROM @MRVSETT",
         "DELETE FROM @MRVSETT",
         "INSERT INTO @MRVSETT (\"Code\", \"Name\", \"U_CpyMethod\", \"U_RTCF\", \"U_FRFMUDF\", "
         "\"U_FBACKUP\", \"U_CFFolder\", \"U_WSFolder\", \"U_LFFolder\")    VALUES ('00000000', "
         "'00000000', 4, 2, 'Y', 'N', '/data/o''configs', '/data/worksheets', '/data/logs')"},
        {6,
         "SELECT U_CpyMethod, U_RTCF, U_FRFMUDF, U_FBACKUP, U_CFFolder, U_WSFolder, U_LFFolder "
         "FROM [@MRVSETT]",
         "DELETE FROM [@MRVSETT]",
         "INSERT INTO [@MRVSETT] (Code, Name, U_CpyMethod, U_RTCF, U_FRFMUDF, U_FBACKUP, "
         "U_CFFolder, U_WSFolder, U_LFFolder)    VALUES ('00000000', '00000000', 4, 2, N'Y', "
         "N'N', N'/data/o''configs', N'/data/worksheets', N'/data/logs')"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        open(c.type);
        MRV_SettingsManager settings(&context);
        saveCustom(settings);
        EXPECT_EQ(takeSql(), (QStringList{QLatin1String(c.remove), QLatin1String(c.insert)}));
        MRV_SettingsManager read(&context);
        ASSERT_EQ(read.getSettingsFromDatabase(), S_OK);
        EXPECT_EQ(takeSql(), QStringList(QLatin1String(c.select)));
        expectCustom(read);
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
            EXPECT_EQ(read.configurationFolder(), nasty);
            EXPECT_EQ(read.worksheetFolder(), nasty);
            EXPECT_EQ(read.logFileFolder(), nasty);
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
    EXPECT_TRUE(log.contains(u"Failed to save default settings for Mirrova!"_s));
    EXPECT_TRUE(log.contains(u"Error code =  "_s));

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

    context.worksheetPath = u"/ws/open_WS.xml"_s;
    context.copyMethod = 2;
    context.responseToFailure = 1;
    context.ignoreMissingUdf = false;
    context.forceBackup = true;
    MRV_SettingsManager update(&context);
    ASSERT_EQ(update.updateSettingsFromDatabase(), S_OK);
    EXPECT_EQ(update.copyMethod(), 4);
    EXPECT_EQ(context.copyMethod, 2) << "the open worksheet keeps its settings";
    EXPECT_EQ(context.responseToFailure, 1);
    EXPECT_FALSE(context.ignoreMissingUdf);
    EXPECT_TRUE(context.forceBackup);

    context.worksheetPath.clear();
    ASSERT_EQ(update.updateSettingsFromDatabase(), S_OK);
    EXPECT_EQ(context.copyMethod, 4);
    EXPECT_EQ(context.responseToFailure, 2);
    EXPECT_TRUE(context.ignoreMissingUdf);
    EXPECT_FALSE(context.forceBackup);
}
