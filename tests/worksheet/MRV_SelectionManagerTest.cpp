#include "WorksheetTestSupport.h"

#include "di/MRV_ConnectionContext.h"
#include "di/MRV_SettingsManager.h"
#include "di/MRV_UDTManager.h"
#include "interaction/MRV_ScriptedInteraction.h"
#include "worksheet/MRV_SelectionManager.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// A logged-in company whose stored settings name a worksheets folder, and a
// base company of an awkward name.
class SaveDialogTest : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        server = std::make_unique<LLObjectsCOM::Server>(makeServer(6));
        createCompany(*server, QStringLiteral("LOGGED"), QStringLiteral("Logged"));
        createCompany(*server, QStringLiteral("AB"), QStringLiteral("A/B: test?"));
        context.company = std::make_shared<LLObjectsCOM::Company>();
        connect(*context.company, *server, QStringLiteral("LOGGED"));
        ASSERT_EQ(MRV_UDTManager(&context).checkCompany(), S_OK);
        folder = dir.filePath(QStringLiteral("Worksheets"));
        ASSERT_TRUE(QDir().mkpath(folder));
        MRV_SettingsManager settings(&context);
        settings.getSettingsFromDatabase();
        settings.setWorksheetFolder(folder);
        ASSERT_EQ(settings.saveSettingsToDatabase(), S_OK);
        ui.transcript.clear();
    }

    // A new worksheet on the context's base.
    MRV_SelectionManager& newWorksheet() {
        selection = std::make_unique<MRV_SelectionManager>(&context);
        EXPECT_EQ(selection->openWorksheet(), S_OK);
        ui.transcript.clear();
        return *selection;
    }

    MRV_ScriptedInteraction ui;
    MRV_InteractionScope scope{ui};
    std::unique_ptr<LLObjectsCOM::Server> server;
    MRV_ConnectionContext context;
    std::unique_ptr<MRV_SelectionManager> selection;
    QString folder;
};

} // namespace

TEST(SelectionManager, ProposedNamesLoseWhatAFileNameCannotHold) {
    EXPECT_EQ(MRV_SelectionManager::proposedFileName(QStringLiteral("A/B: test?")),
              QStringLiteral("AB test_WS.xml"));
    EXPECT_EQ(MRV_SelectionManager::proposedFileName(QStringLiteral("a\\b*c<d>e\"f")),
              QStringLiteral("abcdef_WS.xml"));
    EXPECT_TRUE(MRV_SelectionManager::proposedFileName(QStringLiteral("\\/:*<>?\"")).isEmpty());
    EXPECT_TRUE(MRV_SelectionManager::proposedFileName(QString()).isEmpty());
}

TEST_F(SaveDialogTest, ANewWorksheetIsProposedUnderTheBaseCompanysNameInTheWorksheetsFolder) {
    context.baseCompany = std::make_shared<LLObjectsCOM::Company>();
    connect(*context.baseCompany, *server, QStringLiteral("AB"));
    MRV_SelectionManager& s = newWorksheet();
    const QString chosen = folder + QStringLiteral("/mine");
    ui.paths = {chosen};
    ASSERT_EQ(s.saveWorksheet(false), S_OK);
    EXPECT_EQ(ui.shown(QStringLiteral("save file: ")),
              QStringList{QStringLiteral("Save Worksheet as %1/AB test_WS.xml").arg(folder)});
    EXPECT_TRUE(QFileInfo::exists(chosen + QStringLiteral(".xml"))) << "the default extension";
    EXPECT_EQ(context.worksheetPath, chosen + QStringLiteral(".xml"));

    // Saved again it goes to the same file without a question; "save as"
    // proposes the current file.
    ui.transcript.clear();
    ASSERT_EQ(s.saveWorksheet(false), S_OK);
    EXPECT_TRUE(ui.shown(QStringLiteral("save file: ")).isEmpty());
    ui.paths = {QString()};
    EXPECT_EQ(s.saveWorksheet(true), S_FALSE);
    EXPECT_EQ(ui.shown(QStringLiteral("save file: ")),
              QStringList{QStringLiteral("Save Worksheet as %1.xml").arg(chosen)});
    EXPECT_EQ(context.worksheetPath, chosen + QStringLiteral(".xml"));
}

TEST_F(SaveDialogTest, AFileBaseIsProposedUnderTheFilesName) {
    context.baseFilePath = dir.filePath(QStringLiteral("Configs/base.xml"));
    // Without a window the file base is not read, but the name is proposed.
    selection = std::make_unique<MRV_SelectionManager>(&context);
    selection->worksheet().nodes.clear();
    ui.paths = {QString()};
    EXPECT_EQ(selection->saveWorksheet(false), S_FALSE);
    EXPECT_EQ(ui.shown(QStringLiteral("save file: ")),
              QStringList{QStringLiteral("Save Worksheet as %1/base.xml_WS.xml").arg(folder)});
    EXPECT_TRUE(QDir(folder).isEmpty()) << "cancelled: nothing written";
}

TEST_F(SaveDialogTest, WithoutANameOnlyTheFolderIsOffered) {
    selection = std::make_unique<MRV_SelectionManager>(&context);
    ui.paths = {QString()};
    EXPECT_EQ(selection->saveWorksheet(true), S_FALSE);
    EXPECT_EQ(ui.shown(QStringLiteral("save file: ")),
              QStringList{QStringLiteral("Save Worksheet as %1").arg(folder)});
}
