#include "WorksheetTestSupport.h"

#include "di/MRV_ConnectionContext.h"
#include "interaction/MRV_ScriptedInteraction.h"
#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetManager.h"
#include "worksheet/MRV_WorksheetTemplateManager.h"
#include "xml/MRV_XmlString.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using Node = MRV_WorksheetNode;

// The text of a file the program wrote: UTF-16LE behind a byte-order mark.
QString fileText(const QString& path) {
    const QByteArray bytes = WorksheetTest::readFile(path);
    if (!bytes.startsWith("\xFF\xFE"))
        return u"no byte-order mark"_s;
    return QString(reinterpret_cast<const QChar*>(bytes.constData() + 2), (bytes.size() - 2) / 2);
}

class SaveTest : public ::testing::Test {
protected:
    QString path(const char* name) { return dir.filePath(QLatin1String(name)); }
    static void addNode(MRV_Worksheet& worksheet, const char* name, const char* leafId,
                        const char* categoryId, int state, int level = 0) {
        auto node = std::make_unique<Node>();
        node->name = QLatin1String(name);
        node->leafId = QLatin1String(leafId);
        node->categoryId = QLatin1String(categoryId);
        node->selected = state;
        node->level = level;
        worksheet.nodes.push_back(std::move(node));
    }
    HRESULT save(MRV_Worksheet& worksheet, const QString& file) {
        return MRV_WorksheetManager(&context).saveWorksheet(worksheet, file);
    }
    HRESULT read(MRV_Worksheet& worksheet, const QString& file) {
        return MRV_WorksheetManager(&context).readWorksheet(worksheet, file);
    }

    QTemporaryDir dir;
    MRV_ScriptedInteraction ui;
    MRV_InteractionScope scope{ui};
    MRV_ConnectionContext context;
};

} // namespace

TEST_F(SaveTest, WritesTheWorksheetGrammar) {
    MRV_Worksheet worksheet;
    worksheet.worksheetName = u"Mine & yours"_s;
    worksheet.sourceServer = u"srv"_s;
    worksheet.sourceServerType = 6;
    worksheet.sourceDB = u"BASE"_s;
    worksheet.targetServerType = 4;
    worksheet.targetFile = u"C:\\out\\t.xml"_s;
    worksheet.backup = true;
    worksheet.copyMethod = 2;
    worksheet.RTCF = 1;
    addNode(worksheet, "Custom", "1", "MRV_TRN_CUSTOMIZATION_100", 2);
    addNode(worksheet, "Queries", "1.1", "MRV_TRN_QUERIES_100", 2);
    worksheet.nodes.back()->selection = {
        {{{u"IntrnalKey"_s, u"7"_s, u"2"_s}}, {{u"QName"_s, u"<q>"_s, QString()}}, {}}};
    addNode(worksheet, "Users", "2", "MRV_TRN_USERS_100", 0);
    worksheet.modified = true;
    // The document keeps attributes in name order, whatever order they were
    // set in.
    const QString file = path("grammar_WS.xml");
    ASSERT_EQ(save(worksheet, file), S_OK);
    EXPECT_EQ(fileText(file),
              uR"(<?xml version="1.0" encoding="UTF-16"?><duplaWorksheet version="1.0"><header>)"
              R"(<worksheetName>Mine &amp; yours</worksheetName><sourceServer>srv</sourceServer>)"
              R"(<sourceServerType>6</sourceServerType><sourceServerUser/>)"
              R"(<sourceServerUseTrusted>false</sourceServerUseTrusted><sourceDB>BASE</sourceDB>)"
              R"(<sourceCompanyName/><sourceUser/><sourceFile/><targetServer/><targetServerType/>)"
              R"(<targetServerUser/><targetServerUseTrusted>false</targetServerUseTrusted>)"
              R"(<targetDB/><targetCompanyName/><targetUser/><targetFile>C:\out\t.xml</targetFile>)"
              R"(<creationUser/><additionalDescr/><backup>true</backup><approval>false</approval>)"
              R"(<copyMethod>2</copyMethod><RTCF>1</RTCF><FRFMUDF>false</FRFMUDF></header><body>)"
              R"(<Custom leaf_id="1" selected="2" string_id="MRV_TRN_CUSTOMIZATION_100">)"
              R"(<Queries leaf_id="1.1" selected="2" string_id="MRV_TRN_QUERIES_100"><selection>)"
              R"(<keyObject><key><fieldName>IntrnalKey</fieldName><value>7</value><type>2</type>)"
              R"(</key><subsKey><fieldName>QName</fieldName><value>&lt;q&gt;</value><type/>)"
              R"(</subsKey></keyObject></selection></Queries></Custom>)"
              R"(<Users leaf_id="2" selected="0" string_id="MRV_TRN_USERS_100"/></body>)"
              R"(</duplaWorksheet>)"_s);
    EXPECT_EQ(worksheet.path, file);
    EXPECT_EQ(context.worksheetPath, file);
    EXPECT_FALSE(worksheet.modified);
    EXPECT_EQ(ui.shown(u"progress"_s),
              (QStringList{u" start: Saving worksheet 0..3"_s, u" end"_s}));
    EXPECT_EQ(ui.progressSteps, 3);
    EXPECT_EQ(ui.lastProgress, 3);
    EXPECT_EQ(ui.waitDepth(), 0);
}

TEST_F(SaveTest, NestingFollowsTheLevelsEvenWhenTheySkip) {
    MRV_Worksheet worksheet;
    addNode(worksheet, "A", "1", "MRV_TRN_USERS_100", 0, 1);
    addNode(worksheet, "C", "1.1.1", "MRV_TRN_USERSLEAF_100", 1, 3);
    addNode(worksheet, "B", "2", "MRV_TRN_COA_100", 0, 1);
    addNode(worksheet, "D", "2.1", "MRV_TRN_COATITLES_100", 1, 2);
    const QString file = path("levels_WS.xml");
    ASSERT_EQ(save(worksheet, file), S_OK);
    const QString text = fileText(file);
    EXPECT_TRUE(text.contains(
        uR"(<body><A leaf_id="1" selected="0" string_id="MRV_TRN_USERS_100"><C leaf_id="1.1.1")"_s))
        << text.toStdString();
    EXPECT_TRUE(text.contains(
        uR"(string_id="MRV_TRN_USERSLEAF_100"/></A><B leaf_id="2" selected="0" string_id="MRV_TRN_COA_100"><D )"_s))
        << "the next top-level node goes back into the body";
    MRV_Worksheet back;
    ASSERT_EQ(read(back, file), S_OK);
    ASSERT_EQ(back.nodes.size(), 4u);
    EXPECT_FALSE(back.nodes[0]->leaf);
    EXPECT_TRUE(back.nodes[1]->leaf);
    EXPECT_FALSE(back.nodes[2]->leaf);
    EXPECT_TRUE(back.nodes[3]->leaf);
}

namespace {

// Every text field of the header, to fill with one value.
const QList<QString MRV_Worksheet::*> kTextFields = {
    &MRV_Worksheet::worksheetName,     &MRV_Worksheet::sourceServer,
    &MRV_Worksheet::sourceServerUser,  &MRV_Worksheet::sourceDB,
    &MRV_Worksheet::sourceCompanyName, &MRV_Worksheet::sourceUser,
    &MRV_Worksheet::sourceFile,        &MRV_Worksheet::targetServer,
    &MRV_Worksheet::targetServerUser,  &MRV_Worksheet::targetDB,
    &MRV_Worksheet::targetCompanyName, &MRV_Worksheet::targetUser,
    &MRV_Worksheet::targetFile,        &MRV_Worksheet::creationUser,
    &MRV_Worksheet::additionalDescr};

} // namespace

TEST_F(SaveTest, HostileValuesSurviveOrFailTheSaveWithoutHarm) {
    const QString file = path("hostile_WS.xml");
    MRV_Worksheet good;
    addNode(good, "A", "1", "MRV_TRN_QUERIES_100", 2);
    ASSERT_EQ(save(good, file), S_OK);
    const QByteArray before = WorksheetTest::readFile(file);

    for (const QString& value : nastyStrings()) {
        SCOPED_TRACE(value.toStdString());
        ui.transcript.clear();
        MRV_Worksheet worksheet;
        for (QString MRV_Worksheet::*field : kTextFields)
            worksheet.*field = value;
        addNode(worksheet, "A", "1", "MRV_TRN_QUERIES_100", 2);
        const MRV_SelectionField field{value, value, value};
        worksheet.nodes.back()->selection = {{{field, field}, {field}, {field}}};
        worksheet.nodes.back()->edits = {{value,
                                          {{value, value}, {u"Code"_s, value}},
                                          {{value, value, value}, {u"Name"_s, {}, value}}}};
        worksheet.modified = true;
        const QString target = path("each_WS.xml");

        if (!isXmlText(value)) {
            // XML cannot carry it: the save fails, says so, and leaves the
            // file that was there.
            EXPECT_EQ(save(worksheet, file), E_FAIL);
            EXPECT_EQ(ui.shown(u"error: "_s),
                      QStringList{u"Failed to save worksheet to file '%1'"_s.arg(file)});
            EXPECT_EQ(WorksheetTest::readFile(file), before);
            EXPECT_TRUE(worksheet.modified);
            EXPECT_TRUE(worksheet.path.isEmpty());
            continue;
        }
        ASSERT_EQ(save(worksheet, target), S_OK);
        MRV_Worksheet back;
        ASSERT_EQ(read(back, target), S_OK);
        for (QString MRV_Worksheet::*f : kTextFields)
            EXPECT_EQ(back.*f, value);
        ASSERT_EQ(back.nodes.size(), 1u);
        EXPECT_EQ(back.nodes[0]->selection, worksheet.nodes[0]->selection);
        EXPECT_EQ(back.nodes[0]->edits, worksheet.nodes[0]->edits);
        EXPECT_TRUE(ui.shown(u"error: "_s).isEmpty());
    }
}

TEST_F(SaveTest, AFileThatCannotBeWrittenIsReported) {
    MRV_Worksheet worksheet;
    addNode(worksheet, "A", "1", "MRV_TRN_QUERIES_100", 0);
    const QString missingFolder = dir.filePath(u"no/such/folder/x_WS.xml"_s);
    EXPECT_EQ(save(worksheet, missingFolder), E_FAIL);
    EXPECT_EQ(save(worksheet, dir.path()), E_FAIL);
    EXPECT_EQ(ui.shown(u"error: "_s),
              (QStringList{u"Failed to save worksheet to file '%1'"_s.arg(missingFolder),
                           u"Failed to save worksheet to file '%1'"_s.arg(dir.path())}));
    EXPECT_FALSE(QFileInfo::exists(missingFolder));
    EXPECT_TRUE(context.worksheetPath.isEmpty());
}

TEST_F(SaveTest, AWorksheetReadBackHasTheSameStatesAndSavesToTheSameBytes) {
    MRV_WorksheetTemplateManager* templates = MRV_WorksheetTemplateManager::instance(&context);
    ASSERT_TRUE(templates->isInitialized());
    MRV_Worksheet worksheet;
    templates->getWorksheetTemplate(worksheet);
    worksheet.sourceServer = u"(local)"_s;
    worksheet.sourceServerType = 6;
    worksheet.sourceDB = u"BASE"_s;
    worksheet.additionalDescr = u"line1\nline2 <&> \"quoted\" 'single'"_s;
    QRandomGenerator random(4711);
    const QStringList nasty = nastyStrings();
    // Without them there is nothing to draw from (and no draw would end).
    ASSERT_FALSE(nasty.isEmpty());
    for (const auto& node : worksheet.nodes) {
        if (!node->leaf)
            continue;
        const int choice = random.bounded(3);
        if (choice == 1) {
            worksheet.select(node->leafId, Node::Selected);
        } else if (choice == 2) {
            QList<MRV_SelectionObject> records;
            for (int i = random.bounded(1, 4); i > 0; --i) {
                const QString text = nasty[random.bounded(nasty.size())];
                if (isXmlText(text))
                    records.append(
                        {{{u"Code"_s, text, u"1"_s}}, {}, {{u"Name"_s, text, QString()}}});
            }
            worksheet.selectRecords(node->leafId, records);
        }
    }
    const QString first = path("first_WS.xml");
    const QString second = path("second_WS.xml");
    ASSERT_EQ(save(worksheet, first), S_OK);

    MRV_Worksheet back;
    ASSERT_EQ(read(back, first), S_OK);
    ASSERT_EQ(templates->updateWorksheetFromTemplate(back), S_OK);
    ASSERT_EQ(back.nodes.size(), worksheet.nodes.size());
    for (size_t i = 0; i < back.nodes.size(); ++i) {
        SCOPED_TRACE(worksheet.nodes[i]->leafId.toStdString());
        EXPECT_EQ(back.nodes[i]->leafId, worksheet.nodes[i]->leafId);
        EXPECT_EQ(back.nodes[i]->selected, worksheet.nodes[i]->selected);
        EXPECT_EQ(back.nodes[i]->selection, worksheet.nodes[i]->selection);
        EXPECT_EQ(back.nodes[i]->leaf, worksheet.nodes[i]->leaf);
        EXPECT_EQ(back.nodes[i]->text, worksheet.nodes[i]->text);
    }
    EXPECT_EQ(back.additionalDescr, worksheet.additionalDescr);
    ASSERT_EQ(save(back, second), S_OK);
    EXPECT_EQ(WorksheetTest::readFile(second), WorksheetTest::readFile(first));
}
