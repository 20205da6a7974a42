#include "WorksheetTestSupport.h"

#include "interaction/MRV_ScriptedInteraction.h"
#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetManager.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using Node = MRV_WorksheetNode;
using WorksheetTest::document;

class ReadTest : public ::testing::Test {
protected:
    // Reads text as a worksheet file into worksheet.
    HRESULT read(const QByteArray& text) {
        const QString path = dir.filePath(u"w%1.xml"_s.arg(++count));
        EXPECT_TRUE(WorksheetTest::writeFile(path, text));
        worksheet = std::make_unique<MRV_Worksheet>();
        return MRV_WorksheetManager(nullptr).readWorksheet(*worksheet, path);
    }
    const Node& node(qsizetype index) { return *worksheet->nodes.at(size_t(index)); }

    QTemporaryDir dir;
    int count = 0;
    MRV_ScriptedInteraction ui;
    MRV_InteractionScope scope{ui};
    std::unique_ptr<MRV_Worksheet> worksheet;
};

const QByteArray kOneNode = "<Q leaf_id='1.1' string_id='MRV_TRN_QUERIES_100' selected='1'/>";

} // namespace

TEST_F(ReadTest, HeaderElementsAreTakenInAnyOrderByExactName) {
    const QByteArray header =
        "<header><FRFMUDF>true</FRFMUDF><sourceServerType>6</sourceServerType>"
        "<sourceServer>srv</sourceServer><unknown>x</unknown><SourceDB>no</SourceDB>"
        "<sourceDB>DB</sourceDB><copyMethod>2abc</copyMethod><RTCF> 2</RTCF>"
        "<targetServerType></targetServerType><backup>TRUE</backup><approval>true</approval>"
        "<sourceServerUseTrusted>yes</sourceServerUseTrusted><worksheetName></worksheetName>"
        "<additionalDescr>ERROR</additionalDescr><creationUser>a &amp; b</creationUser>"
        "</header>";
    ASSERT_EQ(read(document(kOneNode, header)), S_OK);
    const MRV_Worksheet& w = *worksheet;
    // Names are case-sensitive, a number is its leading digits, a flag is
    // true for the exact text true only, and ERROR is a text like any other.
    EXPECT_EQ((QStringList{w.sourceServer, w.sourceDB, w.worksheetName, w.additionalDescr,
                           w.creationUser}),
              (QStringList{u"srv"_s, u"DB"_s, QString(), u"ERROR"_s, u"a & b"_s}));
    EXPECT_EQ((QList<int>{w.FRFMUDF, w.sourceServerType, w.copyMethod, w.RTCF, w.targetServerType,
                          w.backup, w.approval, w.sourceServerUseTrusted}),
              (QList<int>{1, 6, 2, 2, 0, 0, 1, 0}));
}

TEST_F(ReadTest, CopyOptionsOutsideTheirRangeAreNotTaken) {
    for (const char* text : {"0", "5", "-1", "abc", "99999999999999"}) {
        const QByteArray value(text);
        ASSERT_EQ(
            read(document(kOneNode, "<header><copyMethod>" + value + "</copyMethod></header>")),
            S_OK);
        EXPECT_EQ(worksheet->copyMethod, 1) << value.toStdString();
    }
    for (const auto& [value, expected] :
         {std::pair{"3", 0}, std::pair{"-1", 0}, std::pair{"1", 1}}) {
        ASSERT_EQ(
            read(document(kOneNode, "<header><RTCF>" + QByteArray(value) + "</RTCF></header>")),
            S_OK);
        EXPECT_EQ(worksheet->RTCF, expected) << value;
    }
    ASSERT_EQ(read(document(kOneNode, "<header><sourceServerType>-7x</sourceServerType>"
                                      "<targetServerType>99999999999</targetServerType>"
                                      "</header>")),
              S_OK);
    EXPECT_EQ(worksheet->sourceServerType, -7);
    EXPECT_EQ(worksheet->targetServerType, 2147483647);
}

TEST_F(ReadTest, NodesNestAsTheFileDoesAndLeavesAreThoseWithoutChildNodes) {
    ASSERT_EQ(read(document("<A leaf_id='1' selected='2'>"
                            "  <selection/>"
                            "  <B leaf_id='1.1' selected='1'><dependencies/></B>"
                            "  <C leaf_id='1.2'><D leaf_id='1.2.1' selected='0'/></C>"
                            "</A><E leaf_id='2'/>")),
              S_OK);
    ASSERT_EQ(worksheet->nodes.size(), 5u);
    const QList<std::tuple<const char*, const char*, bool, int>> expected = {
        {"A", "1", false, 2},
        {"B", "1.1", true, 1},
        {"C", "1.2", false, 0},
        {"D", "1.2.1", true, 0},
        {"E", "2", true, 0}};
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const auto& [name, leafId, leaf, state] = expected[i];
        EXPECT_EQ(node(i).name, QLatin1String(name));
        EXPECT_EQ(node(i).leafId, QLatin1String(leafId));
        EXPECT_EQ(node(i).leaf, leaf) << name;
        EXPECT_EQ(node(i).selected, state) << name;
    }
}

TEST_F(ReadTest, PartialSelectionsAreKeptAsWritten) {
    ASSERT_EQ(
        read(document("<A leaf_id='1' selected='2'><selection>"
                      "<keyObject><key><value>v1</value><fieldName>ItemCode</fieldName>"
                      "<type>1</type><extra>x</extra></key><subsKey><fieldName>s</fieldName>"
                      "</subsKey><additionalData><type>t</type></additionalData><other/>"
                      "</keyObject><noise/><keyObject/></selection></A>"
                      "<B leaf_id='2' selected='2'><selection/></B>"
                      "<C leaf_id='3' selected='0'><selection><keyObject><key><value>x</value>"
                      "</key></keyObject></selection></C>")),
        S_OK);
    const Node& a = node(0);
    ASSERT_EQ(a.selection.size(), 2);
    const MRV_SelectionObject& first = a.selection[0];
    ASSERT_EQ(first.keys.size(), 1);
    EXPECT_EQ(first.keys[0], (MRV_SelectionField{u"ItemCode"_s, u"v1"_s, u"1"_s}));
    ASSERT_EQ(first.substituteKeys.size(), 1);
    EXPECT_EQ(first.substituteKeys[0].fieldName, u"s"_s);
    ASSERT_EQ(first.additionalData.size(), 1);
    EXPECT_EQ(first.additionalData[0].type, u"t"_s);
    EXPECT_EQ(a.selection[1], MRV_SelectionObject());
    EXPECT_EQ(node(1).selected, 2) << "partly selected without records stays so";
    EXPECT_TRUE(node(1).selection.isEmpty());
    EXPECT_EQ(node(2).selected, 0);
    EXPECT_EQ(node(2).selection.size(), 1) << "records of an unselected node are kept";
}

TEST_F(ReadTest, RecordsAndDependenciesBelongToTheElementThatHoldsThem) {
    // A selection after the child nodes still belongs to its own node, and
    // one directly in the body belongs to none.
    ASSERT_EQ(read(document("<selection><keyObject/></selection>"
                            "<A leaf_id='1' selected='2'><B leaf_id='1.1'/>"
                            "<selection><keyObject/></selection>"
                            "<dependencies><leaf_id>2</leaf_id><leaf_id>2</leaf_id>"
                            "<leaf_id>3</leaf_id></dependencies></A>")),
              S_OK);
    EXPECT_EQ(node(0).selection.size(), 1);
    EXPECT_EQ(node(0).dependencies, (QStringList{u"2"_s, u"3"_s}));
    EXPECT_TRUE(node(1).selection.isEmpty());
    EXPECT_FALSE(node(0).leaf);
}

// A value is all the text directly inside its element, around comments and
// elements the grammar has no place for; of two elements for one value the
// last holds; records outside a selection and edits naming no field are
// none.
TEST_F(ReadTest, ValuesAreTheTextDirectlyInsideTheirElements) {
    ASSERT_EQ(read(document("<A leaf_id='1' selected='2'><keyObject><key><value>x</value></key>"
                            "</keyObject><selection><keyObject><key><fieldName>Code</fieldName>"
                            "<value>a<!-- c -->b<lost>no</lost>c</value><value>d&amp;e</value>"
                            "</key></keyObject></selection><edits><editedRecord><table>T</table>"
                            "<field/></editedRecord><editedRecord><table>T</table><key>"
                            "<fieldName>Code</fieldName><value>1</value></key><field><fieldName>"
                            "Name</fieldName><newValue>n<b>x</b>ew</newValue></field>"
                            "</editedRecord></edits></A>",
                            "<header><worksheetName>W<!-- c -->S</worksheetName></header>")),
              S_OK);
    EXPECT_EQ(worksheet->worksheetName, u"WS"_s);
    ASSERT_EQ(node(0).selection.size(), 1);
    EXPECT_EQ(node(0).selection[0].keys, (QList<MRV_SelectionField>{{u"Code"_s, u"d&e"_s, {}}}));
    ASSERT_EQ(node(0).edits.size(), 1);
    EXPECT_EQ(node(0).edits[0].keys, (QList<std::pair<QString, QString>>{{u"Code"_s, u"1"_s}}));
    ASSERT_EQ(node(0).edits[0].fields.size(), 1);
    EXPECT_EQ(node(0).edits[0].fields[0].newValue, u"new"_s);
}

TEST_F(ReadTest, HostileAttributeValuesGiveDefinedStates) {
    ASSERT_EQ(read(document("<A leaf_id='1' selected='7'/><B leaf_id='2' selected='-1'/>"
                            "<C leaf_id='3' selected='2x'/><D leaf_id='' selected=''/>"
                            "<E leaf_id='5' string_id='MRV_TRN_queries_100' note='x'"
                            " prohibited_copyMethods=',,2,,abc' substitute_copyMethod='-3'/>")),
              S_OK);
    EXPECT_EQ(node(0).selected, 0);
    EXPECT_EQ(node(1).selected, 0);
    EXPECT_EQ(node(2).selected, 2);
    EXPECT_TRUE(node(3).leafId.isEmpty()) << "an empty id is still an id; the template refuses it";
    EXPECT_EQ(node(4).stringId, 0u);
    EXPECT_EQ(node(4).noteNumber, 0);
    EXPECT_EQ(node(4).prohibitedCopyMethods, (QList<int>{0, 2}));
    EXPECT_EQ(node(4).substituteCopyMethod, -3);
}

// Nodes without an id are dropped with everything in them, as are
// comments, instructions and text; a file needs no header. A file without
// a body with nodes fails, naming itself and what is wrong.
TEST_F(ReadTest, UnidentifiedNodesAreDroppedAndFilesWithoutNodesFail) {
    ASSERT_EQ(read(document("<Lost><A leaf_id='1'/></Lost><!-- c --><?pi x?>"
                            "<![CDATA[text]]><B leaf_id='2'/>")),
              S_OK);
    ASSERT_EQ(worksheet->nodes.size(), 1u);
    EXPECT_EQ(node(0).leafId, u"2"_s);
    EXPECT_EQ(read("<duplaWorksheet><body>" + kOneNode + "</body></duplaWorksheet>"), S_OK);
    EXPECT_EQ(worksheet->nodes.size(), 1u);
    for (const QByteArray& text :
         {document("<Lost><A leaf_id='1'/></Lost>"), document("<!-- nothing -->"),
          QByteArray("<duplaWorksheet><header><sourceDB>x</sourceDB></header></duplaWorksheet>"),
          QByteArray("<duplaWorksheet><body/></duplaWorksheet>"),
          QByteArray("<duplaWorksheet><body>text only</body></duplaWorksheet>")}) {
        SCOPED_TRACE(text.toStdString());
        ui.transcript.clear();
        EXPECT_EQ(read(text), E_FAIL);
        EXPECT_EQ(ui.shown(u"error: "_s),
                  QStringList{u"The worksheet cannot be read: %1: it holds no selection data (no "
                              "body with nodes)"_s.arg(dir.filePath(u"w%1.xml"_s.arg(count)))});
    }
}

TEST_F(ReadTest, TruncatedAndMalformedFilesFail) {
    const QByteArray whole =
        document(kOneNode + "<B leaf_id='2'><selection><keyObject><key>"
                            "<value>1</value></key></keyObject></selection></B>",
                 "<header><sourceDB>DB</sourceDB></header>");
    for (qsizetype length = 0; length < whole.size(); length += 7) {
        SCOPED_TRACE(length);
        ui.transcript.clear();
        EXPECT_EQ(read(whole.left(length)), E_FAIL);
        // The user learns which file, where and why.
        const QString shown = ui.shown(u"error: "_s).value(0);
        EXPECT_TRUE(shown.startsWith(u"The worksheet cannot be read: "_s +
                                     dir.filePath(u"w%1.xml"_s.arg(count))))
            << shown.toStdString();
        EXPECT_TRUE(shown.contains(u", line 1, column "_s)) << shown.toStdString();
    }
    for (const QByteArray& bad :
         {QByteArray("\xFF\xFE<\x00"), QByteArray("<a><b></a>"), QByteArray("not xml at all"),
          QByteArray("<?xml version='1.0'?><!DOCTYPE x [<!ENTITY a 'aaaaaaaaaa'>"
                     "<!ENTITY b '&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;'><!ENTITY c '&b;&b;&b;&b;&b;&b;"
                     "&b;&b;&b;&b;'><!ENTITY d '&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;'>]>"
                     "<duplaWorksheet><header><worksheetName>&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;"
                     "</worksheetName></header><body><A leaf_id='1'/></body></duplaWorksheet>")}) {
        SCOPED_TRACE(bad.toStdString());
        const HRESULT hr = read(bad);
        if (hr == S_OK)
            EXPECT_LT(worksheet->worksheetName.size(), 1000000) << "entities are capped";
        else
            EXPECT_EQ(hr, E_FAIL);
    }
}

// (A missing file is refused when a worksheet is opened.) A folder is no
// file either.
TEST_F(ReadTest, AFolderIsNoWorksheetFile) {
    MRV_Worksheet w;
    EXPECT_EQ(MRV_WorksheetManager(nullptr).readWorksheet(w, dir.path()), E_FAIL);
    EXPECT_EQ(ui.shown(u"error: "_s), QStringList{u"File '%1' not found."_s.arg(dir.path())});
}

TEST_F(ReadTest, AFiftyMegabyteWorksheetIsReadWhole) {
    QByteArray records;
    const QByteArray one = "<keyObject><key><fieldName>ItemCode</fieldName><value>A-%1</value>"
                           "<type>1</type></key><additionalData><fieldName>ItemName</fieldName>"
                           "<value>a long description of the item &amp; more" +
                           QByteArray(1000, 'x') +
                           "</value><type>0</type>"
                           "</additionalData></keyObject>";
    int count = 0;
    while (records.size() < 50 * 1024 * 1024) {
        records += QByteArray(one).replace("%1", QByteArray::number(++count));
    }
    ASSERT_EQ(
        read(document("<A leaf_id='1' selected='2'><selection>" + records + "</selection></A>")),
        S_OK);
    ASSERT_EQ(node(0).selection.size(), count);
    EXPECT_EQ(node(0).selection.last().keys[0].value, u"A-%1"_s.arg(count));
    EXPECT_EQ(node(0).selection.first().additionalData[0].value,
              u"a long description of the item & more"_s + QString(1000, u'x'));
}
