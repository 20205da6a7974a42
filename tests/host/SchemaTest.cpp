#include "TestData.h"
#include "host/objects/LLSchema.h"

#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using LLObjectsCOM::Schema;

namespace {

QString loadError(const QString& text, const QString& file = u"test.tables"_s) {
    Schema schema;
    QString error;
    EXPECT_FALSE(schema.addText(text, file, &error));
    return error;
}

} // namespace

TEST(Schema, ReadsTablesColumnsKeysAndDefaults) {
    Schema schema;
    QString error;
    ASSERT_TRUE(schema.addText(uR"(# Items
table OITM  Items master data
  ItemCode    nvarchar(50)   not null
  ItemName    nvarchar(100)              # the description
  OnHand      numeric(19,6)  default 0
  validFor    char(1)        not null default 'Y'
  Remark      nvarchar(20)   default 'a#b''c'
  key ItemCode
  unique ItemName

table @MRVSETT
  Code  nvarchar(30) not null
  Name  nvarchar(100)
  key Code
)"_s,
                               u"a.tables"_s, &error))
        << error.toStdString();
    ASSERT_EQ(schema.tables().size(), 2);
    const Schema::Table* items = schema.table(u"OITM"_s);
    ASSERT_TRUE(items);
    EXPECT_EQ(items->description, u"Items master data"_s);
    EXPECT_EQ(items->columns.size(), 5);
    EXPECT_EQ(items->key, QStringList{u"ItemCode"_s});
    EXPECT_EQ(items->column(u"ItemCode"_s)->length, 50);
    EXPECT_EQ(items->column(u"OnHand"_s)->scale, 6);
    EXPECT_EQ(items->column(u"Remark"_s)->defaultValue, u"'a#b''c'"_s);
    EXPECT_TRUE(items->column(u"validFor"_s)->notNull);
    EXPECT_EQ(schema.table(u"oitm"_s), nullptr) << "table names are exact";

    const QString create = Schema::createStatement(*items, true);
    EXPECT_TRUE(create.startsWith(u"CREATE TABLE \"OITM\" (\"ItemCode\" TEXT COLLATE "
                                  u"LLCI NOT NULL CHECK (length(\"ItemCode\") <= 50)"_s))
        << create.toStdString();
    EXPECT_TRUE(create.contains(u"PRIMARY KEY (\"ItemCode\")"_s));
    EXPECT_FALSE(Schema::createStatement(*items, false).contains(u"COLLATE"_s));
    EXPECT_TRUE(Schema::createStatement(*schema.table(u"@MRVSETT"_s), true)
                    .startsWith(u"CREATE TABLE \"@MRVSETT\""_s));
}

// Every fault names the file and line; the whole message where it is
// given whole, else the words that say what is wrong.
TEST(Schema, FaultsNameTheFileAndLine) {
    const struct {
        const char* text;
        const char* message; // the whole message, or its start
        const char* words;   // in the message, when not nullptr
    } cases[] = {
        {"table A\n  x int\n  key x\ntable A\n  y int\n",
         "test.tables:4: table A is defined twice (first at test.tables:1)", nullptr},
        {"table A\n  x int\n  key y\n", "test.tables:3: 'y' is not a column of table A", nullptr},
        {"table A\n  x int\n  x int\n", "test.tables:3: column x of table A is defined twice",
         nullptr},
        {"table A\n  x bigint\n", "test.tables:2: ", ""},
        {"table A\n  x nvarchar\n", "test.tables:2: ", "needs a length"},
        {"table A\n  x nvarchar(0)\n", "test.tables:2: ", "needs a length"},
        {"  x int\n", "test.tables:1: ", ""},
        {"tabel A\n", "test.tables:1: ", ""},
        {"table A'; DROP\n  x int\n", "test.tables:1: ", "not a table name"},
        {"table A\ntable B\n  x int\n", "test.tables:", "has no columns"},
        {"table A\n  x int default 'open\n", "test.tables:2: ", "not a column line"},
        {"table A\n  x int\n  key x\n  key x\n", "test.tables:4: ", "has a key already"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QString error = loadError(QString::fromUtf8(c.text));
        if (!c.words) {
            EXPECT_EQ(error, QLatin1String(c.message));
            continue;
        }
        EXPECT_TRUE(error.startsWith(QLatin1String(c.message))) << error.toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(c.words))) << error.toStdString();
    }

    // A table named in two files is caught across files.
    Schema schema;
    QString error;
    ASSERT_TRUE(schema.addText(u"table A\n  x int\n"_s, u"one.tables"_s));
    EXPECT_FALSE(schema.addText(u"\n\ntable A\n  x int\n"_s, u"two.tables"_s, &error));
    EXPECT_EQ(error, u"two.tables:3: table A is defined twice (first at one.tables:1)"_s);
}

TEST(Schema, TheHostSchemaHasEveryTableTheProgramNames) {
    const Schema& schema = Schema::standard();
    const QStringList named = u"ADM1 ADP1 AITB ALT1 CINF CPRF CSHS CUFD CUMI DSC1 "
                              u"FRC1 HLD1 ITM1 NNM1 NNM2 OACG OACP OACT "
                              u"OADF OADM OADP OALC OALI OALT OARG OASC OASG OBGD "
                              u"OBGS OBGT OBPP OCDT OCMT OCOG OCQG OCR1 "
                              u"OCRC OCRD OCRG OCRN OCRP OCRY OCST OCTG OCTT OCYC "
                              u"ODDG ODSC ODUN ODUT OFCT OFPR OFRC OFRM "
                              u"OFRT OHED OHEM OHLD OHPS OHST OHTR OHTY OIDC OIDX "
                              u"OIND OITB OITG OITM OITT OJDT OLCT OLGT "
                              u"OMRC ONNM OOCR OORL OOST OPDT OPID OPKG OPLN OPRC "
                              u"OPRJ OPRT OPVL OPYB OPYM OQCN OSCN OSHP "
                              u"OSLP OSPG OSPP OSTA OSTC OSTT OTER OTNN OTRC OUBR "
                              u"OUDG OUDO OUDP OUPT OUQR OUSR OUTB OVTG "
                              u"OWGT OWHS OWHT RDFL RDOC RTYP"_s.split(u' ');
    for (const QString& name : named) {
        const Schema::Table* table = schema.table(name);
        ASSERT_TRUE(table) << name.toStdString();
        EXPECT_FALSE(table->key.isEmpty()) << name.toStdString();
    }
}

// The host is the ground the framework stand-in builds on: no file of the
// host may include the framework, or the two could not be told apart.
TEST(HostLayering, TheHostIncludesNothingOfTheFramework) {
    QDirIterator files(QStringLiteral(MIRROVA_SOURCE_DIR "/host"), {"*.h", "*.cpp"}, QDir::Files,
                       QDirIterator::Subdirectories);
    int scanned = 0;
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        ++scanned;
        EXPECT_FALSE(file.readAll().contains("#include \"tsframework/"))
            << file.fileName().toStdString();
    }
    EXPECT_GT(scanned, 40);
}
