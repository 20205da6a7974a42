#include "di/MRV_BOMRecord.h"
#include "TestData.h"
#include "xml/MRV_XmlString.h"

using namespace Qt::StringLiterals;

namespace {

const QString kDocument =
    u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><BOM><BO><AdmInfo><Object>43</Object></AdmInfo>"
    "<OMRC><row><Code>7</Code><ManufacturerName>A &amp; B &lt;x&gt;</ManufacturerName>"
    "<Empty></Empty><Blank>   </Blank></row></OMRC>"
    "<LINES><row><LineNum>0</LineNum></row><row><LineNum>1</LineNum></row></LINES></BO></BOM>"_s;

} // namespace

TEST(BOMRecord, ReadsGroupsRowsAndValuesInDocumentOrder) {
    MRV_BOMRecord record;
    ASSERT_TRUE(record.parse(kDocument));
    EXPECT_EQ(record.objectType(), 43);
    ASSERT_EQ(record.groups().size(), 2);
    const MRV_BOMRecord::Row& row = record.group(u"OMRC"_s)->rows.first();
    EXPECT_EQ(row.value(u"Code"_s), "7");
    EXPECT_EQ(row.value(u"ManufacturerName"_s), "A & B <x>");
    EXPECT_TRUE(row.has(u"Empty"_s));
    EXPECT_EQ(row.value(u"Empty"_s), "");
    EXPECT_EQ(row.value(u"Blank"_s), "   ");
    EXPECT_FALSE(row.has(u"Missing"_s));
    EXPECT_EQ(record.group(u"LINES"_s)->rows.size(), 2);

    // Written back, it reads the same.
    MRV_BOMRecord again;
    ASSERT_TRUE(again.parse(record.toXml()));
    EXPECT_EQ(again.toXml(), record.toXml());
    EXPECT_EQ(again.group(u"OMRC"_s)->rows.first().fields.size(), 4);
}

TEST(BOMRecord, RefusesWhatIsNotARecordDocument) {
    MRV_BOMRecord record;
    QString error;
    EXPECT_FALSE(record.parse(u"<BOM><BO>"_s, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(record.parse(u"<Other><BO/></Other>"_s, &error));
    EXPECT_EQ(error, "The record document's root is not BOM");
    EXPECT_FALSE(record.parse(u"<BOM><row/></BOM>"_s, &error));
    EXPECT_EQ(error, "The record document has no BO");
    EXPECT_FALSE(record.parse(u"<BOM/>"_s, &error));
    EXPECT_EQ(error, "The record document has no BO");
    EXPECT_FALSE(record.parse(u"<!DOCTYPE BOM [<!ENTITY x \"y\">]><BOM><BO/></BOM>"_s, &error));
    EXPECT_TRUE(error.contains(u"DOCTYPE"_s)) << error.toStdString();
    // A control character XML 1.1 lets in would make a record no document
    // carries again.
    EXPECT_FALSE(record.parse(
        u"<?xml version = '1.1' encoding=\"UTF-16\"?><BOM><BO><T><row><F>&#14;</F></row></T></BO></BOM>"_s,
        &error));
    EXPECT_EQ(error, "The record document is XML 1.1; records are XML 1.0");
    EXPECT_TRUE(record.groups().isEmpty());
    EXPECT_TRUE(record.parse(u"<BOM><BO/></BOM>"_s));
    EXPECT_EQ(record.objectType(), 0);
}

// What the record's shape has no place for is passed over with all it
// holds, and never mixed into the values around it.
TEST(BOMRecord, PassesOverElementsTheShapeDoesNotHold) {
    MRV_BOMRecord record;
    ASSERT_TRUE(record.parse(
        u"<BOM><BO><AdmInfo><Object>4<x><row>9</row></x></Object></AdmInfo>"
        "<OITM><note><row><A>lost</A></row></note><row><A>a<!-- c -->b<i>no</i></A>"
        "<dep><tableName>OITB</tableName><other><fField>no</fField></other><fField>A</fField>"
        "<fKeyFields><f>Name</f><f>Kind</f></fKeyFields><fKeyValues><v>x</v><v/></fKeyValues>"
        "</dep></row></OITM><Extra/></BO><BO><OCRD><row/></OCRD></BO></BOM>"_s));
    EXPECT_EQ(record.objectType(), 4);
    ASSERT_EQ(record.groups().size(), 2);
    const MRV_BOMRecord::Row& row = record.group(u"OITM"_s)->rows.value(0);
    ASSERT_EQ(record.group(u"OITM"_s)->rows.size(), 1);
    EXPECT_EQ(row.fields.size(), 1);
    EXPECT_EQ(row.value(u"A"_s), "ab");
    ASSERT_EQ(row.dependencies.size(), 1);
    const MRV_BOMRecord::Dependency& dep = row.dependencies.first();
    EXPECT_EQ(dep.table, "OITB");
    EXPECT_EQ(dep.field, "A");
    EXPECT_EQ(dep.keyFields, (QStringList{u"Name"_s, u"Kind"_s}));
    EXPECT_EQ(dep.keyValues, (QStringList{u"x"_s, QString()}));
    EXPECT_TRUE(record.group(u"Extra"_s)->rows.isEmpty());
}

// A look at the first row takes a plain document's values as parse() would
// and leaves every other shape to the parser.
TEST(BOMRecord, APeekAtTheFirstRowAgreesWithTheParserOrDeclines) {
    const QStringList elements{u"Code"_s, u"Missing"_s, u"Empty"_s};
    EXPECT_EQ(MRV_BOMRecord::peekFirstRow(kDocument, u"OMRC"_s, elements),
              (QStringList{u"7"_s, QString(), QString()}));
    const QString head = u"<BOM><BO><AdmInfo><Object>200</Object></AdmInfo><OTER><row>"_s;
    for (const QString& tail :
         {u"<Code>1<!-- 2 --></Code>"_s, u"<Code><![CDATA[9]]></Code>"_s, u"<Code>&#49;</Code>"_s,
          u"<Code>1<i/></Code>"_s, u"<?pi x?><Code>1</Code>"_s, u"<Code>1"_s}) {
        SCOPED_TRACE(tail.toStdString());
        EXPECT_FALSE(MRV_BOMRecord::peekFirstRow(head + tail + u"</row></OTER></BO></BOM>"_s,
                                                 u"OTER"_s, {u"Code"_s}));
    }
    // A dependency's elements are not the row's fields.
    EXPECT_EQ(
        MRV_BOMRecord::peekFirstRow(head + u"<dep><Code>5</Code></dep></row></OTER></BO></BOM>"_s,
                                    u"OTER"_s, {u"Code"_s}),
        QStringList{QString()});
    EXPECT_FALSE(MRV_BOMRecord::peekFirstRow(kDocument, u"OTER"_s, elements));
    // Markup anywhere before the row's end declines, also a comment that
    // would show a false row first; markup after it cannot change the row.
    EXPECT_FALSE(MRV_BOMRecord::peekFirstRow(
        u"<BOM><BO><!-- <OTER><row><Code>9</Code></row></OTER> --><OTER><row><Code>1</Code>"
        u"</row></OTER></BO></BOM>"_s,
        u"OTER"_s, {u"Code"_s}));
    EXPECT_EQ(
        MRV_BOMRecord::peekFirstRow(
            head + u"<Code>1</Code></row><row><!-- 2 --><Code>2</Code></row></OTER></BO></BOM>"_s,
            u"OTER"_s, {u"Code"_s}),
        QStringList{u"1"_s});
}

// Every value XML can carry comes back unchanged after being written into a
// document and read again, in a field and in a dependency record alike.
TEST(BOMRecord, HostileValuesSurviveWritingAndReading) {
    for (const QString& nasty : nastyStrings()) {
        if (!isXmlText(nasty))
            continue;
        MRV_BOMRecord record;
        record.setObjectType(-1);
        MRV_BOMRecord::Row row;
        row.setValue(u"Name"_s, nasty);
        row.dependencies << MRV_BOMRecord::Dependency{
            u"OPLN"_s, u"PriceList"_s, {u"ListName"_s}, {nasty}};
        record.groups() << MRV_BOMRecord::Group{u"OCRG"_s, {row}};
        MRV_BOMRecord read;
        ASSERT_TRUE(read.parse(record.toXml())) << nasty.toStdString();
        const MRV_BOMRecord::Row& back = read.group(u"OCRG"_s)->rows.first();
        EXPECT_EQ(back.value(u"Name"_s), nasty);
        ASSERT_EQ(back.dependencies.size(), 1);
        EXPECT_EQ(back.dependency(u"PriceList"_s)->keyValues, QStringList{nasty});
        EXPECT_EQ(read.objectType(), -1);
    }
}

TEST(BOMRecord, DependencyRecordsHaveTheirFixedForm) {
    MRV_BOMRecord record;
    ASSERT_TRUE(record.parse(u"<BOM><BO><AdmInfo><Object>52</Object></AdmInfo>"
                             "<OITB><row><Acct>_SYS1</Acct></row></OITB></BO></BOM>"_s));
    record.group(u"OITB"_s)->rows.first().dependencies << MRV_BOMRecord::Dependency{
        u"OACT"_s, u"Acct"_s, {u"FormatCode"_s, u"Levels"_s}, {u"590000"_s, u"2"_s}};
    EXPECT_TRUE(record.toXml().contains(
        u"<row><Acct>_SYS1</Acct><dep><tableName>OACT</tableName><fField>Acct</fField>"
        "<fKeyFields><fField>FormatCode</fField><fField>Levels</fField></fKeyFields>"
        "<fKeyValues><fValue>590000</fValue><fValue>2</fValue></fKeyValues></dep></row>"_s));
}

TEST(BOMRecord, TableRowsAreWrappedAsADocumentOfObjectMinusOne) {
    const QString rows =
        u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><row><Code>1</Code><Name>a?&gt;b</Name></row>"_s;
    EXPECT_EQ(MRV_BOMRecord::tableDocument(u"@MRVNOTE"_s, rows),
              "<BOM><BO><AdmInfo><Object>-1</Object></AdmInfo><MRVNOTE><row><Code>1</Code>"
              "<Name>a?&gt;b</Name></row></MRVNOTE></BO></BOM>");
    MRV_BOMRecord record;
    ASSERT_TRUE(record.parse(MRV_BOMRecord::tableDocument(u"OCRG"_s, rows)));
    EXPECT_EQ(record.group(u"OCRG"_s)->rows.first().value(u"Name"_s), "a?>b");
}
