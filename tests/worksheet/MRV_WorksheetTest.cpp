#include "WorksheetTestSupport.h"

#include "di/MRV_ConnectionContext.h"
#include "worksheet/MRV_Worksheet.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using Node = MRV_WorksheetNode;

// A worksheet of the given leaf ids, each node a leaf unless another node
// lies below it.
void build(MRV_Worksheet& worksheet, const QStringList& leafIds) {
    for (const QString& id : leafIds) {
        auto node = std::make_unique<Node>();
        node->leafId = id;
        node->leaf = true;
        worksheet.nodes.push_back(std::move(node));
    }
    for (const auto& node : worksheet.nodes)
        if (Node* parent = worksheet.findNode(Node::parentId(node->leafId)))
            parent->leaf = false;
}

QList<int> states(const MRV_Worksheet& worksheet) {
    QList<int> list;
    for (const auto& node : worksheet.nodes)
        list << node->selected;
    return list;
}

} // namespace

TEST(WorksheetPaths, BaseFileIsStoredBesideTheWorksheetsFolder) {
    for (const auto& [path, stored] :
         {std::pair{"C:\\Data\\Configs\\base.xml", "..\\Configs\\base.xml"},
          std::pair{"/srv/Mirrova/Configs/base.xml", "..\\Configs\\base.xml"},
          std::pair{"C:/Data\\Configs/base.xml", "..\\Configs\\base.xml"},
          std::pair{"base.xml", "base.xml"}, std::pair{"/base.xml", "..\\base.xml"},
          std::pair{"", ""}})
        EXPECT_EQ(MRV_Worksheet::relativeConfigurationPath(QLatin1String(path)),
                  QLatin1String(stored))
            << path;
}

TEST(WorksheetPaths, StoredBaseFilesAreFoundWithEitherSeparator) {
    const char* worksheet = "/srv/Mirrova/Worksheets/a_WS.xml";
    for (const auto& [stored, worksheetPath, found] :
         {std::tuple{"..\\Configs\\base.xml", worksheet, "/srv/Mirrova/Configs/base.xml"},
          std::tuple{"../Configs/base.xml", worksheet, "/srv/Mirrova/Configs/base.xml"},
          std::tuple{"..\\Configs/base.xml", worksheet, "/srv/Mirrova/Configs/base.xml"},
          std::tuple{"base.xml", worksheet, "/srv/Mirrova/Worksheets/base.xml"},
          std::tuple{"/data/base.xml", worksheet, "/data/base.xml"},
          std::tuple{"..\\Configs\\base.xml", "C:\\Mirrova\\Worksheets\\a_WS.xml",
                     "C:/Mirrova/Configs/base.xml"}})
        EXPECT_EQ(MRV_Worksheet::resolveConfigurationPath(QLatin1String(stored),
                                                          QLatin1String(worksheetPath)),
                  QLatin1String(found))
            << stored << " beside " << worksheetPath;
}

TEST(WorksheetHeader, TakesAConfigurationFileBaseAndTheCopyOptions) {
    MRV_ConnectionContext context;
    context.baseFilePath = QStringLiteral("/srv/Mirrova/Configs/base.xml");
    context.targetFilePath = QStringLiteral("/tmp/out/target.xml");
    context.targetCompanyName = QStringLiteral("Target Co");
    context.copyMethod = 3;
    context.responseToFailure = 2;
    context.ignoreMissingUdf = true;
    context.forceBackup = true;
    MRV_Worksheet worksheet;
    worksheet.sourceServer = QStringLiteral("old");
    worksheet.sourceDB = QStringLiteral("OLD");
    worksheet.approval = true;
    worksheet.worksheetName = QStringLiteral("kept");
    worksheet.updateHeaderData(context);
    // The target file is stored as it is; approval and name are not the
    // context's.
    EXPECT_EQ(
        (QStringList{worksheet.sourceFile, worksheet.sourceServer, worksheet.sourceDB,
                     worksheet.targetFile, worksheet.targetCompanyName, worksheet.worksheetName}),
        (QStringList{u"..\\Configs\\base.xml"_s, QString(), QString(), context.targetFilePath,
                     u"Target Co"_s, u"kept"_s}));
    EXPECT_TRUE(worksheet.baseIsFile());
    EXPECT_EQ((QList<int>{worksheet.copyMethod, worksheet.RTCF, worksheet.FRFMUDF, worksheet.backup,
                          worksheet.approval}),
              (QList<int>{3, 2, 1, 1, 1}));

    // Saved somewhere the relative form would not lead back to the base
    // file, the worksheet keeps the full path.
    worksheet.updateHeaderData(context, QStringLiteral("/home/me/elsewhere/a_WS.xml"));
    EXPECT_EQ(worksheet.sourceFile, context.baseFilePath);
    worksheet.updateHeaderData(context, QStringLiteral("/srv/Mirrova/Worksheets/a_WS.xml"));
    EXPECT_EQ(worksheet.sourceFile, QStringLiteral("..\\Configs\\base.xml"));

    // Copy options the context has not set leave the worksheet's.
    MRV_ConnectionContext unset;
    unset.baseFilePath = context.baseFilePath;
    worksheet.updateHeaderData(unset);
    EXPECT_EQ(worksheet.copyMethod, 3);
    EXPECT_EQ(worksheet.RTCF, 2);
}

TEST(WorksheetSelection, StatesPassDownToChildrenAndUpToAncestors) {
    MRV_Worksheet worksheet;
    build(worksheet, {"1", "1.1", "1.2", "1.2.1", "1.2.2", "2", "2.1"});
    EXPECT_TRUE(worksheet.select(QStringLiteral("1.2"), Node::Selected));
    EXPECT_EQ(states(worksheet), (QList<int>{2, 0, 1, 1, 1, 0, 0}));
    EXPECT_TRUE(worksheet.select(QStringLiteral("1.1"), Node::Selected));
    EXPECT_EQ(states(worksheet), (QList<int>{1, 1, 1, 1, 1, 0, 0}));
    EXPECT_TRUE(worksheet.select(QStringLiteral("1.2.2"), Node::NotSelected));
    EXPECT_EQ(states(worksheet), (QList<int>{2, 1, 2, 1, 0, 0, 0}));
    EXPECT_TRUE(worksheet.select(QStringLiteral("1"), Node::NotSelected));
    EXPECT_EQ(states(worksheet), (QList<int>(7, 0)));

    const MRV_SelectionObject record{
        {{QStringLiteral("ItemCode"), QStringLiteral("A1"), QStringLiteral("1")}}, {}, {}};
    EXPECT_TRUE(worksheet.selectRecords(QStringLiteral("2.1"), {record}));
    EXPECT_EQ(states(worksheet), (QList<int>{0, 0, 0, 0, 0, 2, 2}));
    EXPECT_EQ(worksheet.findNode(QStringLiteral("2.1"))->selection.size(), 1);
    EXPECT_TRUE(worksheet.selectRecords(QStringLiteral("2.1"), {}));
    EXPECT_EQ(states(worksheet), (QList<int>(7, 0)));

    EXPECT_FALSE(worksheet.select(QStringLiteral("9"), Node::Selected));
    EXPECT_FALSE(worksheet.select(QStringLiteral("1"), Node::PartlySelected));
    EXPECT_FALSE(worksheet.selectRecords(QStringLiteral("1"), {record})) << "a folder";
}
