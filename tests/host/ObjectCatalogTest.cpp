#include "TestData.h"
#include "host/objects/LLObjectCatalog.h"

#include <gtest/gtest.h>

using namespace LLObjectsCOM;

namespace {

Schema testSchema() {
    Schema schema;
    EXPECT_TRUE(schema.addText(QStringLiteral(R"(
table OITB
  ItmsGrpCod int not null
  ItmsGrpNam nvarchar(20) not null
  key ItmsGrpCod
table OITM
  ItemCode nvarchar(50) not null
  ItemName nvarchar(100)
  ItmsGrpCod int
  key ItemCode
table ITM1
  ItemCode nvarchar(50) not null
  LineNum int not null
  PriceList int not null
  Price numeric(19,6)
  key ItemCode, PriceList
)"),
                               QStringLiteral("t.tables")));
    return schema;
}

QString loadError(const QString& text) {
    ObjectCatalog catalog;
    QString error;
    EXPECT_FALSE(catalog.addText(text, QStringLiteral("x.objects"), testSchema(), &error));
    return error;
}

} // namespace

TEST(ObjectCatalog, ReadsObjectsWithKeysFieldsChildrenAndChecks) {
    ObjectCatalog catalog;
    QString error;
    ASSERT_TRUE(catalog.addText(QStringLiteral(R"(# groups and items
object 52  Item groups
  table OITB
  key Number ItmsGrpCod auto
  field GroupName ItmsGrpNam required
  usedby OITM ItmsGrpCod

object 4  Items
  table OITM
  key ItemCode ItemCode
  field ItemName ItemName required
  field ItemsGroupCode ItmsGrpCod
  ref ItmsGrpCod OITB ItmsGrpCod
  child ITM1
    link ItemCode ItemCode
    line LineNum
    field PriceList PriceList required
    field Price Price
)"),
                                QStringLiteral("x.objects"), testSchema(), &error))
        << error.toStdString();
    const ObjectDefinition* groups = catalog.object(52);
    ASSERT_TRUE(groups);
    EXPECT_TRUE(groups->autoKey);
    EXPECT_EQ(groups->keys.first().property, QStringLiteral("Number"));
    EXPECT_EQ(groups->fields.size(), 2) << "keys are properties of the document too";
    EXPECT_EQ(groups->usedBy.first().parentColumn, QStringLiteral("OITM"));
    const ObjectDefinition* items = catalog.object(4);
    ASSERT_TRUE(items);
    EXPECT_FALSE(items->autoKey);
    EXPECT_EQ(items->fieldByProperty(QStringLiteral("ItemsGroupCode"))->column,
              QStringLiteral("ItmsGrpCod"));
    EXPECT_EQ(items->references.first().table, QStringLiteral("OITB"));
    ASSERT_TRUE(items->child(QStringLiteral("ITM1")));
    EXPECT_EQ(items->child(QStringLiteral("ITM1"))->lineColumn, QStringLiteral("LineNum"));
    EXPECT_TRUE(items->child(QStringLiteral("ITM1"))
                    ->fieldByProperty(QStringLiteral("PriceList"))
                    ->required);
    EXPECT_EQ(catalog.object(5), nullptr);
}

TEST(ObjectCatalog, FaultsNameTheFileAndLine) {
    EXPECT_EQ(loadError(QStringLiteral("object 4 Items\n  table NOPE\n")),
              QStringLiteral("x.objects:2: no table NOPE in the schema"));
    EXPECT_EQ(loadError(QStringLiteral("object 4 Items\n  table OITM\n  key Code NoColumn\n")),
              QStringLiteral("x.objects:3: 'NoColumn' is not a column of table OITM"));
    EXPECT_EQ(loadError(QStringLiteral("object 4 I\n  table OITM\n  key A ItemCode\nobject 4 J\n  "
                                       "table OITB\n  key B ItmsGrpCod\n")),
              QStringLiteral("x.objects:4: object 4 is defined twice (first at x.objects:1)"));
    EXPECT_TRUE(loadError(QStringLiteral("object 4 I\n  table OITM\n")).contains(u"has no key"));
    EXPECT_TRUE(loadError(QStringLiteral("object 4 I\n  table OITM\n  key A ItemCode auto\n"))
                    .contains(u"one integer key"));
    EXPECT_TRUE(loadError(QStringLiteral(
                              "object 4 I\n  table OITM\n  key A ItemCode\n  field A ItemName\n"))
                    .contains(u"named twice"));
    EXPECT_TRUE(loadError(QStringLiteral("object 4 I\n  table OITM\n  key A ItemCode\n  child "
                                         "ITM1\n    field P PriceList\n"))
                    .contains(u"has no link"));
    EXPECT_TRUE(
        loadError(QStringLiteral(
                      "object 4 I\n  table OITM\n  key A ItemCode\n  ref ItmsGrpCod OITB Nope\n"))
            .startsWith(u"x.objects:4: "));
    EXPECT_TRUE(
        loadError(QStringLiteral("object 4 I\n  table OITM\n  key A ItemCode\n  frobnicate x\n"))
            .startsWith(u"x.objects:4: "));
    EXPECT_TRUE(loadError(QStringLiteral("object x I\n")).startsWith(u"x.objects:1: "));
    EXPECT_TRUE(loadError(QStringLiteral("  table OITM\n")).startsWith(u"x.objects:1: "));
}

TEST(ObjectCatalog, TheHostKnowsEveryObjectTheProgramUses) {
    const ObjectCatalog& catalog = ObjectCatalog::standard();
    for (int number : {1,   2,   3,   4,   5,   6,   7,   12,  30,  36,  37,  40,  43,  48,
                       49,  50,  51,  52,  53,  56,  64,  65,  66,  70,  71,  73,  77,  78,
                       91,  93,  101, 117, 126, 127, 128, 134, 142, 143, 144, 147, 150, 151,
                       152, 153, 160, 170, 171, 178, 198, 200, 205, 206, 212, 214, 219, 231}) {
        const ObjectDefinition* object = catalog.object(number);
        ASSERT_TRUE(object) << number;
        EXPECT_FALSE(object->keys.isEmpty()) << number;
    }
    const ObjectDefinition* manufacturers = catalog.object(43);
    EXPECT_EQ(manufacturers->table, QStringLiteral("OMRC"));
    EXPECT_EQ(manufacturers->keys.first().property, QStringLiteral("Code"));
    EXPECT_EQ(manufacturers->fieldByProperty(QStringLiteral("ManufacturerName"))->column,
              QStringLiteral("FirmName"));
}

TEST(ObjectCatalog, NumberedLinesNeedAnIntegerColumn) {
    EXPECT_TRUE(
        loadError(QStringLiteral("object 4 I\n  table OITM\n  key A ItemCode\n  child ITM1\n"
                                 "    link ItemCode ItemCode\n    number ItemCode\n"))
            .contains(u"integer column"));
    ObjectCatalog catalog;
    ASSERT_TRUE(catalog.addText(QStringLiteral("object 4 I\n  table OITM\n  key A ItemCode\n"
                                               "  child ITM1\n    link ItemCode ItemCode\n"
                                               "    number LineNum\n"),
                                QStringLiteral("x.objects"), testSchema()));
    EXPECT_EQ(catalog.object(4)->child(QStringLiteral("ITM1"))->numberColumn,
              QStringLiteral("LineNum"));
}

TEST(ObjectCatalog, FieldFlags) {
    ObjectCatalog catalog;
    ASSERT_TRUE(catalog.addText(QStringLiteral("object 4 I\n  table OITM\n  key A ItemCode\n"
                                               "  field Name ItemName secret required\n"),
                                QStringLiteral("x.objects"), testSchema()));
    const ObjectDefinition::Field* name =
        catalog.object(4)->fieldByProperty(QStringLiteral("Name"));
    EXPECT_TRUE(name->secret);
    EXPECT_TRUE(name->required);
    EXPECT_FALSE(catalog.object(4)->fieldByProperty(QStringLiteral("A"))->secret);
    for (const char* bad : {"hidden", "required required"})
        EXPECT_TRUE(loadError(QStringLiteral("object 4 I\n  table OITM\n  key A ItemCode\n"
                                             "  field Name ItemName %1\n")
                                  .arg(QLatin1String(bad)))
                        .startsWith(u"x.objects:4: "))
            << bad;
}
