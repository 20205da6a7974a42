#include "tsframework/CTSResourceLoader.h"
#include "TestData.h"
#include "host/HostTestSupport.h"
#include "tsframework/CTSDbDefinition.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

class Resources : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void write(int id, const QByteArray& data) {
        writeTestFile(dir.filePath(u"%1.xml"_s.arg(id)), data);
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(Resources, DecodeByMarkByDeclarationOrAsUtf8) {
    const QString text = u"Grüße, café"_s;
    write(1, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>" + text.toLatin1() + "</a>");
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    write(2, utf16.encode(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>"_s + text + u"</a>"_s));
    write(3, "<a>" + text.toUtf8() + "</a>");
    write(4, "<?xml version='1.0' encoding='utf-8'?><a>" + text.toUtf8() + "</a>");
    const CTSResourceLoader loader(dir.path(), CTSVersion(1, 2));
    for (int id : {1, 2, 3, 4}) {
        QString read;
        ASSERT_EQ(loader.GetResourceFileContents(id, read), S_OK) << id;
        EXPECT_TRUE(read.contains(u"<a>"_s + text + u"</a>"_s)) << id;
        EXPECT_FALSE(read.startsWith(QChar(0xFEFF))) << "the mark is not text";
    }
    EXPECT_EQ(loader.GetModuleVersion(), CTSVersion(1, 2));
}

TEST_F(Resources, MissingResourcesAndUnknownEncodingsFail) {
    write(5, "<?xml version=\"1.0\" encoding=\"X-NO-SUCH\"?><a/>");
    write(6, "<a>\xff\xfe\xfd</a>");
    const CTSResourceLoader loader(dir.path());
    QString read = u"unchanged"_s;
    EXPECT_EQ(loader.GetResourceFileContents(5, read), E_FAIL);
    EXPECT_EQ(loader.GetResourceFileContents(6, read), E_FAIL) << "not UTF-8";
    EXPECT_EQ(loader.GetResourceFileContents(7, read), E_FAIL);
    EXPECT_EQ(loader.GetResourceFileContents(-1, read), E_INVALIDARG);
    EXPECT_EQ(read, u"unchanged"_s);
}

// --- Table definitions --------------------------------------------------------

TEST(DbDefinition, ReadsTablesFieldsValidValuesAndKeys) {
    const QString xml = uR"(<?xml version="1.0" encoding="ISO-8859-1"?>
<database><usertables>
  <usertable TableName="ABCONE" TableDescription="First &amp; only">
    <userfields>
      <userfield Name="ID" Description="Key" Type="ID"/>
      <userfield Name="Text" Description="A text" Type="CHAR" Size="40" DefaultValue="x"/>
      <userfield Name="Flag" Description="On" Type="flag" DefaultValue="Y">
        <ValidValues><ValidValue Value="Y" Description="Yes"/><ValidValue Value="N" Description="No"/></ValidValues>
      </userfield>
      <userfield Name="Count" Type="INT"/>
      <userfield Name="Notes" Type="MEMO"/>
      <userfield Name="Due" Type="DATE"/>
      <userfield Name="Rate" Type="FLOAT"/>
    </userfields>
    <userkeys>
      <userkey Name="ABCONEI1" Unique="Y"><element>ID</element><element>Text</element></userkey>
      <userkey Name="ABCONEI2" Unique="N"><element> flag </element></userkey>
    </userkeys>
  </usertable>
  <usertable TableName="ABCTWO"/>
</usertables></database>)"_s;
    CTSDbDefinition d;
    QString error;
    ASSERT_TRUE(CTSDbDefinition::parse(xml, d, error)) << error.toStdString();
    ASSERT_EQ(d.tables.size(), 2);
    const CTSDbDefinition::Table& t = d.tables[0];
    EXPECT_EQ(t.name, u"ABCONE"_s);
    EXPECT_EQ(t.description, u"First & only"_s);
    // Name, host type and size, default; the valid values; the keys.
    QList<std::tuple<QString, int, int, QString>> fields;
    for (const CTSDbDefinition::Field& f : t.fields)
        fields.append({f.name, f.hostType(), f.hostSize(), f.defaultValue});
    EXPECT_EQ(fields, (QList<std::tuple<QString, int, int, QString>>{{u"ID"_s, 2, 0, {}},
                                                                     {u"Text"_s, 0, 40, u"x"_s},
                                                                     {u"Flag"_s, 0, 1, u"Y"_s},
                                                                     {u"Count"_s, 2, 0, {}},
                                                                     {u"Notes"_s, 1, 0, {}},
                                                                     {u"Due"_s, 3, 0, {}},
                                                                     {u"Rate"_s, 4, 0, {}}}));
    ASSERT_EQ(t.fields.size(), 7);
    ASSERT_EQ(t.fields[2].validValues.size(), 2);
    EXPECT_EQ(t.fields[2].validValues[1].value, u"N"_s);
    EXPECT_EQ(t.fields[2].validValues[1].description, u"No"_s);
    QList<std::tuple<QString, bool, QStringList>> keys;
    for (const CTSDbDefinition::Key& k : t.keys)
        keys.append({k.name, k.unique, k.fields});
    EXPECT_EQ(keys, (QList<std::tuple<QString, bool, QStringList>>{
                        {u"ABCONEI1"_s, true, {u"ID"_s, u"Text"_s}},
                        {u"ABCONEI2"_s, false, {u"flag"_s}}}));
    EXPECT_TRUE(d.tables[1].fields.isEmpty());
}

TEST(DbDefinition, RefusesWhatItCannotMakeAndKeepsTheOldDefinition) {
    const auto doc = [](const char* table) {
        return u"<database><usertables>%1</usertables></database>"_s.arg(QLatin1String(table));
    };
    const QString fine = doc(R"(<usertable TableName="ABC"/>)");
    const QStringList bad{
        u"<database><usertables>"_s,
        u"<db/>"_s,
        doc(R"(<table TableName="ABC"/>)"),
        doc(R"(<usertable TableDescription="no name"/>)"),
        doc(R"(<usertable TableName="ABC"/><usertable TableName="abc"/>)"),
        doc(R"(<usertable TableName="ABC"><userfields><userfield Name="A" Type="CHAR"/></userfields></usertable>)"),
        doc(R"(<usertable TableName="ABC"><userfields><userfield Name="A" Type="CHAR" Size="255"/></userfields></usertable>)"),
        doc(R"(<usertable TableName="ABC"><userfields><userfield Name="A" Type="CHAR" Size="ten"/></userfields></usertable>)"),
        doc(R"(<usertable TableName="ABC"><userfields><userfield Name="A" Type="BLOB"/></userfields></usertable>)"),
        doc(R"(<usertable TableName="ABC"><userfields><userfield Type="INT"/></userfields></usertable>)"),
        doc(R"(<usertable TableName="ABC"><userfields><userfield Name="A" Type="INT"/><userfield Name="a" Type="INT"/></userfields></usertable>)"),
        doc(R"(<usertable TableName="ABC"><userfields><userfield Name="A" Type="INT"><ValidValues><ValidValue Description="empty"/></ValidValues></userfield></userfields></usertable>)"),
        doc(R"(<usertable TableName="ABC"><userfields><userfield Name="A" Type="INT"/></userfields><userkeys><userkey Name="K"><element>B</element></userkey></userkeys></usertable>)"),
        doc(R"(<usertable TableName="ABC"><userfields><userfield Name="A" Type="INT"/></userfields><userkeys><userkey Name="K"/></userkeys></usertable>)"),
        doc(R"(<usertable TableName="ABC"><other/></usertable>)")};
    CTSDbDefinition kept;
    QString error;
    ASSERT_TRUE(CTSDbDefinition::parse(fine, kept, error));
    for (const QString& xml : bad) {
        CTSDbDefinition d = kept;
        EXPECT_FALSE(CTSDbDefinition::parse(xml, d, error)) << xml.toStdString();
        EXPECT_TRUE(error.startsWith(u"Line "_s)) << error.toStdString();
        ASSERT_EQ(d.tables.size(), 1) << xml.toStdString();
        EXPECT_EQ(d.tables[0].name, u"ABC"_s);
    }
}
