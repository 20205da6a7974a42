#include "TestData.h"
#include "host/objects/LLObjectCatalog.h"

#include <gtest/gtest.h>

using namespace LLObjectsCOM;
using namespace Qt::StringLiterals;

namespace {

Schema testSchema() {
    Schema schema;
    EXPECT_TRUE(schema.addText(uR"(
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
)"_s,
                               u"t.tables"_s));
    return schema;
}

QString loadError(const QString& text) {
    ObjectCatalog catalog;
    QString error;
    EXPECT_FALSE(catalog.addText(text, u"x.objects"_s, testSchema(), &error));
    return error;
}

} // namespace

TEST(ObjectCatalog, ReadsObjectsWithKeysFieldsChildrenAndChecks) {
    ObjectCatalog catalog;
    QString error;
    ASSERT_TRUE(catalog.addText(uR"(# groups and items
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
)"_s,
                                u"x.objects"_s, testSchema(), &error))
        << error.toStdString();
    const ObjectDefinition* groups = catalog.object(52);
    ASSERT_TRUE(groups);
    EXPECT_TRUE(groups->autoKey);
    EXPECT_EQ(groups->keys.first().property, u"Number"_s);
    EXPECT_EQ(groups->fields.size(), 2) << "keys are properties of the document too";
    EXPECT_EQ(groups->usedBy.first().parentColumn, u"OITM"_s);
    const ObjectDefinition* items = catalog.object(4);
    ASSERT_TRUE(items);
    EXPECT_FALSE(items->autoKey);
    EXPECT_EQ(items->fieldByProperty(u"ItemsGroupCode"_s)->column, u"ItmsGrpCod"_s);
    EXPECT_EQ(items->references.first().table, u"OITB"_s);
    ASSERT_TRUE(items->child(u"ITM1"_s));
    EXPECT_EQ(items->child(u"ITM1"_s)->lineColumn, u"LineNum"_s);
    EXPECT_TRUE(items->child(u"ITM1"_s)->fieldByProperty(u"PriceList"_s)->required);
    EXPECT_EQ(catalog.object(5), nullptr);
}

// Every fault names the file and line; the whole message where it is
// given whole, else the words that say what is wrong.
TEST(ObjectCatalog, FaultsNameTheFileAndLine) {
    const QString item = u"object 4 I\n  table OITM\n  key A ItemCode\n"_s;
    const struct {
        QString text;
        const char* message; // the whole message, or its start
        const char* words;   // in the message, when not nullptr
    } cases[] = {
        {u"object 4 Items\n  table NOPE\n"_s, "x.objects:2: no table NOPE in the schema", nullptr},
        {u"object 4 Items\n  table OITM\n  key Code NoColumn\n"_s,
         "x.objects:3: 'NoColumn' is not a column of table OITM", nullptr},
        {item + u"object 4 J\n  table OITB\n  key B ItmsGrpCod\n"_s,
         "x.objects:4: object 4 is defined twice (first at x.objects:1)", nullptr},
        {u"object 4 I\n  table OITM\n"_s, "x.objects:", "has no key"},
        {u"object 4 I\n  table OITM\n  key A ItemCode auto\n"_s,
         "x.objects:3: ", "one integer key"},
        {item + u"  field A ItemName\n"_s, "x.objects:4: ", "named twice"},
        {item + u"  child ITM1\n    field P PriceList\n"_s, "x.objects:", "has no link"},
        {item + u"  child ITM1\n    link ItemCode ItemCode\n    number ItemCode\n"_s,
         "x.objects:6: ", "integer column"},
        {item + u"  ref ItmsGrpCod OITB Nope\n"_s, "x.objects:4: ", ""},
        {item + u"  frobnicate x\n"_s, "x.objects:4: ", ""},
        {item + u"  field Name ItemName hidden\n"_s, "x.objects:4: ", ""},
        {item + u"  field Name ItemName required required\n"_s, "x.objects:4: ", ""},
        {u"object x I\n"_s, "x.objects:1: ", ""},
        {u"  table OITM\n"_s, "x.objects:1: ", ""},
    };
    for (const auto& c : cases) {
        const QString error = loadError(c.text);
        SCOPED_TRACE(c.text.toStdString());
        if (!c.words) {
            EXPECT_EQ(error, QLatin1String(c.message));
            continue;
        }
        EXPECT_TRUE(error.startsWith(QLatin1String(c.message))) << error.toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(c.words))) << error.toStdString();
    }
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
}

TEST(ObjectCatalog, NumberedLinesAndFieldFlags) {
    ObjectCatalog catalog;
    ASSERT_TRUE(catalog.addText(u"object 4 I\n  table OITM\n  key A ItemCode\n"
                                u"  field Name ItemName secret required\n"
                                u"  child ITM1\n    link ItemCode ItemCode\n"
                                u"    number LineNum\n"_s,
                                u"x.objects"_s, testSchema()));
    EXPECT_EQ(catalog.object(4)->child(u"ITM1"_s)->numberColumn, u"LineNum"_s);
    const ObjectDefinition::Field* name = catalog.object(4)->fieldByProperty(u"Name"_s);
    EXPECT_TRUE(name->secret);
    EXPECT_TRUE(name->required);
    EXPECT_FALSE(catalog.object(4)->fieldByProperty(u"A"_s)->secret);
}
