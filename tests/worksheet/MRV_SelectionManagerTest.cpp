#include "WorksheetTestSupport.h"

#include "di/MRV_ConnectionContext.h"
#include "di/MRV_SettingsManager.h"
#include "di/MRV_UDTManager.h"
#include "interaction/MRV_ScriptedInteraction.h"
#include "worksheet/MRV_SelectionManager.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A logged-in company whose stored settings name a worksheets folder, and a
// base company of an awkward name.
class SaveDialogTest : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        server = std::make_unique<LLObjectsCOM::Server>(makeServer(6));
        createCompany(*server, u"LOGGED"_s, u"Logged"_s);
        createCompany(*server, u"AB"_s, u"A/B: test?"_s);
        context.company = std::make_shared<LLObjectsCOM::Company>();
        connect(*context.company, *server, u"LOGGED"_s);
        ASSERT_EQ(MRV_UDTManager(&context).checkCompany(), S_OK);
        folder = dir.filePath(u"Worksheets"_s);
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
    EXPECT_EQ(MRV_SelectionManager::proposedFileName(u"A/B: test?"_s), u"AB test_WS.xml"_s);
    EXPECT_EQ(MRV_SelectionManager::proposedFileName(u"a\\b*c<d>e\"f"_s), u"abcdef_WS.xml"_s);
    EXPECT_TRUE(MRV_SelectionManager::proposedFileName(u"\\/:*<>?\""_s).isEmpty());
    EXPECT_TRUE(MRV_SelectionManager::proposedFileName(QString()).isEmpty());
}

TEST_F(SaveDialogTest, ANewWorksheetIsProposedUnderTheBaseCompanysNameInTheWorksheetsFolder) {
    context.baseCompany = std::make_shared<LLObjectsCOM::Company>();
    connect(*context.baseCompany, *server, u"AB"_s);
    MRV_SelectionManager& s = newWorksheet();
    const QString chosen = folder + u"/mine"_s;
    ui.paths = {chosen};
    ASSERT_EQ(s.saveWorksheet(false), S_OK);
    EXPECT_EQ(ui.shown(u"save file: "_s),
              QStringList{u"Save Worksheet as %1/AB test_WS.xml"_s.arg(folder)});
    EXPECT_TRUE(QFileInfo::exists(chosen + u".xml"_s)) << "the default extension";
    EXPECT_EQ(context.worksheetPath, chosen + u".xml"_s);

    // Saved again it goes to the same file without a question; "save as"
    // proposes the current file.
    ui.transcript.clear();
    ASSERT_EQ(s.saveWorksheet(false), S_OK);
    EXPECT_TRUE(ui.shown(u"save file: "_s).isEmpty());
    ui.paths = {QString()};
    EXPECT_EQ(s.saveWorksheet(true), S_FALSE);
    EXPECT_EQ(ui.shown(u"save file: "_s), QStringList{u"Save Worksheet as %1.xml"_s.arg(chosen)});
    EXPECT_EQ(context.worksheetPath, chosen + u".xml"_s);
}

// Without a base company the dialog proposes the base file's name (the
// file itself is not read without a window), or without a base at all
// only the folder; cancelled, nothing is written.
TEST_F(SaveDialogTest, WithoutABaseCompanyTheFileOrOnlyTheFolderIsProposed) {
    for (const auto& [base, saveAs, proposed] :
         {std::tuple{dir.filePath(u"Configs/base.xml"_s), false, folder + u"/base.xml_WS.xml"_s},
          std::tuple{QString(), true, folder}}) {
        SCOPED_TRACE(base.toStdString());
        context.baseFilePath = base;
        selection = std::make_unique<MRV_SelectionManager>(&context);
        ui.transcript.clear();
        ui.paths = {QString()};
        EXPECT_EQ(selection->saveWorksheet(saveAs), S_FALSE);
        EXPECT_EQ(ui.shown(u"save file: "_s), QStringList{u"Save Worksheet as "_s + proposed});
        EXPECT_TRUE(QDir(folder).isEmpty());
    }
}
