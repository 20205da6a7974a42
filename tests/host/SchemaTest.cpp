#include "TestData.h"
#include "host/objects/LLSchema.h"

#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

using LLObjectsCOM::Schema;

namespace {

QString loadError(const QString& text, const QString& file = QStringLiteral("test.tables")) {
    Schema schema;
    QString error;
    EXPECT_FALSE(schema.addText(text, file, &error));
    return error;
}

} // namespace

TEST(Schema, ReadsTablesColumnsKeysAndDefaults) {
    Schema schema;
    QString error;
    ASSERT_TRUE(schema.addText(QStringLiteral(R"(# Items
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
)"),
                               QStringLiteral("a.tables"), &error))
        << error.toStdString();
    ASSERT_EQ(schema.tables().size(), 2);
    const Schema::Table* items = schema.table(QStringLiteral("OITM"));
    ASSERT_TRUE(items);
    EXPECT_EQ(items->description, QStringLiteral("Items master data"));
    EXPECT_EQ(items->columns.size(), 5);
    EXPECT_EQ(items->key, QStringList{QStringLiteral("ItemCode")});
    EXPECT_EQ(items->column(QStringLiteral("ItemCode"))->length, 50);
    EXPECT_EQ(items->column(QStringLiteral("OnHand"))->scale, 6);
    EXPECT_EQ(items->column(QStringLiteral("Remark"))->defaultValue, QStringLiteral("'a#b''c'"));
    EXPECT_TRUE(items->column(QStringLiteral("validFor"))->notNull);
    EXPECT_EQ(schema.table(QStringLiteral("oitm")), nullptr) << "table names are exact";

    const QString create = Schema::createStatement(*items, true);
    EXPECT_TRUE(
        create.startsWith(QStringLiteral("CREATE TABLE \"OITM\" (\"ItemCode\" TEXT COLLATE "
                                         "LLCI NOT NULL CHECK (length(\"ItemCode\") <= 50)")))
        << create.toStdString();
    EXPECT_TRUE(create.contains(QStringLiteral("PRIMARY KEY (\"ItemCode\")")));
    EXPECT_FALSE(Schema::createStatement(*items, false).contains(QStringLiteral("COLLATE")));
    EXPECT_TRUE(Schema::createStatement(*schema.table(QStringLiteral("@MRVSETT")), true)
                    .startsWith(QStringLiteral("CREATE TABLE \"@MRVSETT\"")));
}

TEST(Schema, FaultsNameTheFileAndLine) {
    EXPECT_EQ(loadError(QStringLiteral("table A\n  x int\n  key x\ntable A\n  y int\n")),
              QStringLiteral("test.tables:4: table A is defined twice (first at test.tables:1)"));
    EXPECT_EQ(loadError(QStringLiteral("table A\n  x int\n  key y\n")),
              QStringLiteral("test.tables:3: 'y' is not a column of table A"));
    EXPECT_EQ(loadError(QStringLiteral("table A\n  x int\n  x int\n")),
              QStringLiteral("test.tables:3: column x of table A is defined twice"));
    EXPECT_TRUE(loadError(QStringLiteral("table A\n  x bigint\n")).startsWith(u"test.tables:2: "));
    EXPECT_TRUE(loadError(QStringLiteral("table A\n  x nvarchar\n")).contains(u"needs a length"));
    EXPECT_TRUE(
        loadError(QStringLiteral("table A\n  x nvarchar(0)\n")).contains(u"needs a length"));
    EXPECT_TRUE(loadError(QStringLiteral("  x int\n")).startsWith(u"test.tables:1: "));
    EXPECT_TRUE(loadError(QStringLiteral("tabel A\n")).startsWith(u"test.tables:1: "));
    EXPECT_TRUE(
        loadError(QStringLiteral("table A'; DROP\n  x int\n")).contains(u"not a table name"));
    EXPECT_TRUE(
        loadError(QStringLiteral("table A\ntable B\n  x int\n")).contains(u"has no columns"));
    EXPECT_TRUE(loadError(QStringLiteral("table A\n  x int default 'open\n"))
                    .contains(u"not a column line"));
    EXPECT_TRUE(loadError(QStringLiteral("table A\n  x int\n  key x\n  key x\n"))
                    .contains(u"has a key already"));

    // A table named in two files is caught across files.
    Schema schema;
    QString error;
    ASSERT_TRUE(schema.addText(QStringLiteral("table A\n  x int\n"), QStringLiteral("one.tables")));
    EXPECT_FALSE(schema.addText(QStringLiteral("\n\ntable A\n  x int\n"),
                                QStringLiteral("two.tables"), &error));
    EXPECT_EQ(error,
              QStringLiteral("two.tables:3: table A is defined twice (first at one.tables:1)"));
}

TEST(Schema, TheHostSchemaHasEveryTableTheProgramNames) {
    const Schema& schema = Schema::standard();
    const QStringList named = QStringLiteral("ADM1 ADP1 AITB ALT1 CINF CPRF CSHS CUFD CUMI DSC1 "
                                             "FRC1 HLD1 ITM1 NNM1 NNM2 OACG OACP OACT "
                                             "OADF OADM OADP OALC OALI OALT OARG OASC OASG OBGD "
                                             "OBGS OBGT OBPP OCDT OCMT OCOG OCQG OCR1 "
                                             "OCRC OCRD OCRG OCRN OCRP OCRY OCST OCTG OCTT OCYC "
                                             "ODDG ODSC ODUN ODUT OFCT OFPR OFRC OFRM "
                                             "OFRT OHED OHEM OHLD OHPS OHST OHTR OHTY OIDC OIDX "
                                             "OIND OITB OITG OITM OITT OJDT OLCT OLGT "
                                             "OMRC ONNM OOCR OORL OOST OPDT OPID OPKG OPLN OPRC "
                                             "OPRJ OPRT OPVL OPYB OPYM OQCN OSCN OSHP "
                                             "OSLP OSPG OSPP OSTA OSTC OSTT OTER OTNN OTRC OUBR "
                                             "OUDG OUDO OUDP OUPT OUQR OUSR OUTB OVTG "
                                             "OWGT OWHS OWHT RDFL RDOC RTYP")
                                  .split(u' ');
    for (const QString& name : named) {
        const Schema::Table* table = schema.table(name);
        ASSERT_TRUE(table) << name.toStdString();
        EXPECT_FALSE(table->key.isEmpty()) << name.toStdString();
    }
    // Columns the host itself relies on.
    for (const auto& [table, column] :
         QList<std::pair<const char*, const char*>>{{"OUSR", "INTERNAL_K"},
                                                    {"OUSR", "USER_CODE"},
                                                    {"OUSR", "SUPERUSER"},
                                                    {"OUSR", "PASSWORD"},
                                                    {"OADM", "CompnyName"},
                                                    {"CINF", "LawsSet"},
                                                    {"CINF", "Version"},
                                                    {"ONNM", "AutoKey"},
                                                    {"ONNM", "ObjectCode"},
                                                    {"CUFD", "AliasID"},
                                                    {"CUFD", "FieldID"},
                                                    {"CUFD", "TableID"},
                                                    {"OUTB", "TableName"}})
        EXPECT_TRUE(schema.table(QLatin1String(table))->column(QLatin1String(column)))
            << table << "." << column;
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
