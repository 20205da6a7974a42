#include "WorksheetTestSupport.h"

#include "interaction/MRV_ScriptedInteraction.h"
#include "worksheet/MRV_WorksheetTemplateManager.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using Node = MRV_WorksheetNode;
using WorksheetTest::document;

class TemplateTest : public ::testing::Test {
protected:
    // A template manager over a template file holding body.
    MRV_WorksheetTemplateManager& load(const QByteArray& text) {
        const QString path = dir.filePath(u"t%1.tpl"_s.arg(++count));
        EXPECT_TRUE(WorksheetTest::writeFile(path, text));
        manager = std::make_unique<MRV_WorksheetTemplateManager>(path);
        return *manager;
    }
    const Node& at(const QString& leafId) {
        const Node* node = manager->templateNode(leafId);
        EXPECT_NE(node, nullptr) << leafId.toStdString();
        static const Node none;
        return node ? *node : none;
    }

    QTemporaryDir dir;
    int count = 0;
    MRV_ScriptedInteraction ui;
    MRV_InteractionScope scope{ui};
    std::unique_ptr<MRV_WorksheetTemplateManager> manager;
};

// Folder 1 (Customization) with a leaf and a subfolder of two leaves, and a
// second top-level folder (Users) with one leaf.
const QByteArray kSmall =
    "<Custom leaf_id='1' string_id='MRV_TRN_CUSTOMIZATION_100'>"
    "  <Q leaf_id='1.1' string_id='MRV_TRN_QUERIES_100' note='1' data_area_format='T'"
    "     allow_selection='true' prohibited_copyMethods='1,3' substitute_copyMethod='2'/>"
    "  <UD leaf_id='1.2' string_id='MRV_TRN_UDEFS_100'>"
    "    <UDF leaf_id='1.2.1' string_id='MRV_TRN_UDF_100' localization_transfer='true'>"
    "      <dependencies><leaf_id>1.1</leaf_id><leaf_id>1.1</leaf_id><x>1.2</x></dependencies>"
    "    </UDF>"
    "    <UDO leaf_id='1.2.2' string_id='MRV_TRN_UDO_100' allow_selection='True'"
    "         data_area_format='t'/>"
    "  </UD>"
    "</Custom>"
    "<Users leaf_id='2' string_id='MRV_TRN_USERS_100'>"
    "  <U leaf_id='2.1' string_id='MRV_TRN_USERSLEAF_100' data_area_format='D'/>"
    "</Users>";

} // namespace

TEST_F(TemplateTest, ReadsNodesFlagsAndDerivedValues) {
    ASSERT_EQ(load(document(kSmall)).initialize(), S_OK);
    EXPECT_TRUE(manager->isInitialized());
    ASSERT_EQ(manager->templateWorksheet().nodes.size(), 7u);

    // Without a company there is no note table to name the note (its
    // string id stays 0).
    const Node& q = at(u"1.1"_s);
    EXPECT_EQ((QStringList{q.name, q.text}), (QStringList{u"Q"_s, u"Queries"_s}));
    EXPECT_EQ(q.prohibitedCopyMethods, (QList<int>{3, 1}));
    EXPECT_EQ((QList<int>{int(q.stringId), q.leaf, q.dataAreaFormat, q.allowSelection,
                          q.substituteCopyMethod, q.effectiveCopyMethod(1),
                          q.effectiveCopyMethod(4), q.noteNumber, int(q.noteStringId)}),
              (QList<int>{701, 1, Node::RecordGrid, 1, 2, 2, 4, 1, 0}));

    const Node& udo = at(u"1.2.2"_s);
    EXPECT_FALSE(udo.allowSelection) << "only the exact text true counts";
    EXPECT_EQ(udo.dataAreaFormat, Node::NoDataArea) << "a lower-case t is no format";
    EXPECT_EQ(at(u"2.1"_s).dataAreaFormat, Node::FieldView);

    const Node& udf = at(u"1.2.1"_s);
    EXPECT_EQ(udf.dependencies, QStringList{u"1.1"_s});
    EXPECT_TRUE(udf.hasDependencies);
    EXPECT_TRUE(udf.leaf) << "a dependencies child is no child node";
    EXPECT_EQ(udf.getLevel(), 3);
    EXPECT_FALSE(at(u"1.2"_s).leaf);
    EXPECT_FALSE(at(u"1.1"_s).hasDependencies);
}

TEST_F(TemplateTest, AMissingAncestorIsSkippedWhenFlagsArePassedUp) {
    // 5.1 is missing: 5 still allows the transfer, the gap is only logged.
    ASSERT_EQ(load(document("<A leaf_id='5' string_id='MRV_TRN_USERS_100'>"
                            "<B leaf_id='5.1.1' string_id='MRV_TRN_USERSLEAF_100'"
                            " localization_transfer='true'/></A>"))
                  .initialize(),
              S_OK);
    EXPECT_TRUE(at(u"5"_s).localizationTransfer);
    QString text, path;
    EXPECT_EQ(manager->getNodeNameFromID(u"5.1.1"_s, text, path), E_FAIL);
}

TEST_F(TemplateTest, FindsHeaderAndBodyAnywhereAndInCapitals) {
    ASSERT_EQ(load("<root><wrap><HEADER><worksheetName>tpl</worksheetName></HEADER>"
                   "<BODY><Q leaf_id='1' string_id='MRV_TRN_QUERIES_100'/></BODY></wrap></root>")
                  .initialize(),
              S_OK);
    EXPECT_EQ(manager->templateWorksheet().worksheetName, u"tpl"_s);
    EXPECT_TRUE(at(u"1"_s).leaf);
}

TEST_F(TemplateTest, AMissingFileIsReportedAndTriedAgainLater) {
    const QString path = dir.filePath(u"later.tpl"_s);
    MRV_WorksheetTemplateManager later(path);
    EXPECT_EQ(later.initialize(), E_FAIL);
    EXPECT_FALSE(later.isInitialized());
    const QString missing =
        u"The worksheet template cannot be read: %1: the file does not exist"_s.arg(path);
    EXPECT_EQ(ui.shown(u"error: "_s), QStringList{missing});

    // Until the template is there every worksheet is refused, and the
    // template, not the worksheet, is named as the cause.
    MRV_Worksheet worksheet;
    worksheet.nodes.push_back(std::make_unique<Node>());
    worksheet.nodes.back()->leafId = u"1"_s;
    EXPECT_EQ(later.updateWorksheetFromTemplate(worksheet), E_FAIL);
    EXPECT_EQ(ui.shown(u"error: "_s).last(), missing);

    // A truncated template says where it ends, and keeps none of the nodes
    // read before the end.
    const QByteArray whole = document(kSmall);
    ASSERT_TRUE(WorksheetTest::writeFile(path, whole.left(whole.indexOf("<UD "))));
    EXPECT_EQ(later.initialize(), E_FAIL);
    EXPECT_FALSE(later.isInitialized());
    EXPECT_TRUE(later.templateWorksheet().nodes.empty());
    EXPECT_TRUE(ui.shown(u"error: "_s)
                    .last()
                    .startsWith(u"The worksheet template cannot be read: %1, line "_s.arg(path)))
        << ui.shown(u"error: "_s).last().toStdString();

    ASSERT_TRUE(WorksheetTest::writeFile(path, document(kSmall)));
    EXPECT_EQ(later.initialize(), S_OK);
    EXPECT_EQ(later.templateWorksheet().nodes.size(), 7u);
    EXPECT_EQ(later.updateWorksheetFromTemplate(worksheet), S_OK);
}

TEST_F(TemplateTest, NamesANodeWithThePathOfItsAncestors) {
    ASSERT_EQ(load(document(kSmall)).initialize(), S_OK);
    QString text = u"stale"_s, path = u"stale"_s;
    EXPECT_EQ(manager->getNodeNameFromID(u"1.2.1"_s, text, path), S_OK);
    EXPECT_EQ(text, u"User-Defined Fields"_s);
    EXPECT_EQ(path, u"Customization>User-Defined Elements and Formatted Search"_s);
    EXPECT_EQ(manager->getNodeNameFromID(u"2"_s, text, path), S_OK);
    EXPECT_EQ(text, u"Users"_s);
    EXPECT_TRUE(path.isEmpty());
    EXPECT_EQ(manager->getNodeNameFromID(u"3.1"_s, text, path), E_FAIL);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_TRUE(path.isEmpty());
}

TEST_F(TemplateTest, FindsTheLeafOfACategory) {
    ASSERT_EQ(load(document(kSmall + "<Again leaf_id='3' string_id='MRV_TRN_QUERIES_100'/>"
                                     "<Again leaf_id='1.1' string_id='MRV_TRN_BUDGET_100'/>"))
                  .initialize(),
              S_OK);
    QString leafId;
    EXPECT_EQ(manager->getLeafId(u"MRV_TRN_QUERIES_100"_s, leafId), S_OK);
    EXPECT_EQ(leafId, u"1.1"_s) << "the first leaf wins";
    EXPECT_EQ(manager->templateNode(u"1.1"_s)->categoryId, u"MRV_TRN_QUERIES_100"_s)
        << "the first node of a leaf id wins";
    EXPECT_EQ(manager->getLeafId(u"MRV_TRN_BUDGET_100"_s, leafId), S_OK);
    EXPECT_EQ(manager->getLeafId(u"MRV_TRN_UDEFS_100"_s, leafId), E_FAIL);
    EXPECT_TRUE(leafId.isEmpty()) << "a folder is no leaf";
    EXPECT_EQ(manager->getLeafId(u"MRV_TRN_NOTHING_100"_s, leafId), E_FAIL);
}

TEST_F(TemplateTest, AWorksheetTakesEverythingButItsOwnSelectionFromTheTemplate) {
    ASSERT_EQ(load(document(kSmall)).initialize(), S_OK);
    MRV_Worksheet worksheet;
    auto add = [&](const char* leafId, const char* name, int state) {
        auto node = std::make_unique<Node>();
        node->leafId = QLatin1String(leafId);
        node->name = QLatin1String(name);
        node->selected = state;
        node->leaf = true;
        node->prohibitedCopyMethods = {4};
        node->dependencies = {u"1.1"_s};
        worksheet.nodes.push_back(std::move(node));
    };
    add("1.2.1", "Mine", 2);
    add("1.1", "Other", 1);
    worksheet.nodes[0]->selection.append(MRV_SelectionObject{{{"k", "v", "t"}}, {}, {}});
    ASSERT_EQ(manager->updateWorksheetFromTemplate(worksheet), S_OK);
    // Texts are loaded by the worksheet manager.
    const Node& udf = *worksheet.nodes[0];
    EXPECT_EQ((QStringList{udf.name, udf.categoryId, udf.text}),
              (QStringList{u"Mine"_s, u"MRV_TRN_UDF_100"_s, QString()}));
    EXPECT_EQ((QList<int>{udf.selected, int(udf.selection.size()), int(udf.stringId), udf.level,
                          udf.localizationTransfer, udf.hasDependencies}),
              (QList<int>{2, 1, 147, 3, 1, 1}));
    EXPECT_EQ(udf.dependencies, QStringList{u"1.1"_s});
    const Node& q = *worksheet.nodes[1];
    EXPECT_EQ(q.prohibitedCopyMethods, (QList<int>{4, 3, 1}));
    EXPECT_EQ(q.substituteCopyMethod, 2);
    EXPECT_EQ(q.dataAreaFormat, Node::RecordGrid);
}

TEST_F(TemplateTest, AnUnknownNodeStopsTheWorksheetAtOnce) {
    ASSERT_EQ(load(document(kSmall)).initialize(), S_OK);
    MRV_Worksheet worksheet;
    for (const char* leafId : {"1", "7.7", "2"}) {
        worksheet.nodes.push_back(std::make_unique<Node>());
        worksheet.nodes.back()->leafId = QLatin1String(leafId);
    }
    EXPECT_EQ(manager->updateWorksheetFromTemplate(worksheet), E_FAIL);
    EXPECT_EQ(ui.shown(u"error: "_s), QStringList{u"Worksheet contains invalid data."_s});
    EXPECT_EQ(worksheet.nodes[0]->stringId, 700u);
    EXPECT_EQ(worksheet.nodes[2]->stringId, 0u) << "nodes after the unknown one stay as they are";
}
