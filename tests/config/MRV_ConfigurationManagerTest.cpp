#include "config/MRV_ConfigurationManager.h"
#include "TestData.h"
#include "di/MRV_ConnectionContext.h"
#include "interaction/MRV_ScriptedInteraction.h"
#include "xml/MRV_XmlString.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class ConfigurationFile : public ::testing::Test {
protected:
    ConfigurationFile() : scope(ui) {}

    QString path(const QString& name) const { return dir.filePath(name); }

    // Writes text as the program stores files: UTF-16LE behind FF FE.
    QString write(const QString& name, const QString& text) {
        MRV_ConfigurationManager writer(context);
        EXPECT_EQ(writer.writeToFile(path(name), text), S_OK);
        return path(name);
    }

    static QString file(const QString& header, const QString& body) {
        return u"<?xml version=\"1.0\" encoding=\"UTF-16\" ?>\n"
               "<mirrovaConfigurationFile version=\"1.0\">\n<header>\n"_s +
               header + u"</header>\n<body>\n"_s + body +
               u"</body>\n</mirrovaConfigurationFile>\n"_s;
    }

    QTemporaryDir dir;
    MRV_ConnectionContext context;
    MRV_ScriptedInteraction ui;
    MRV_InteractionScope scope;
};

TEST_F(ConfigurationFile, HeaderFlagsAndNumbersReadAsTheFormatSays) {
    const QString header =
        u"<backup>FALSE</backup><approval>0</approval><FRFMUDF>no</FRFMUDF>"
        "<partialConfiguration> false </partialConfiguration>"
        "<copyMethod>2abc</copyMethod><RTCF>abc</RTCF><dbVersion>880123</dbVersion>"_s;
    MRV_ConfigurationManager m(context);
    m.header().backup = true;
    m.header().RTCF = 5;
    ASSERT_EQ(m.openFile(write(u"h.xml"_s, file(header, QString()))), S_OK);
    EXPECT_FALSE(m.header().backup);
    EXPECT_TRUE(m.header().approval);
    EXPECT_TRUE(m.header().FRFMUDF);
    EXPECT_FALSE(m.header().partialConfiguration);
    EXPECT_EQ(m.header().copyMethod, 2);
    EXPECT_EQ(m.header().RTCF, 0);
    EXPECT_EQ(m.header().dbVersion, u"880123"_s);
    EXPECT_EQ(m.objectCount(), 0);
}

TEST_F(ConfigurationFile, RecordsAreKeptWellFormedAndSplitPerDocument) {
    const QString body =
        u"<OBJECT string_id=\"MRV_TRN_A\" z=\"1\" a=\"x &amp; &quot;y&quot;\">"
        "<table name=\"OMRC\">"
        "<BOM><BO><OMRC><row><FirmName>Fish &amp; Chips &lt;Ltd&gt;</FirmName>"
        "<Note q=\"a &amp; b\">  </Note><backup>kept</backup></row></OMRC></BO></BOM>"
        "<BOM><BO><OMRC><row><FirmName>&amp; &amp;</FirmName></row></OMRC></BO></BOM>"
        "<BOM><BO><OMRC><row><FirmName>3</FirmName></row></OMRC></BO></BOM>"
        "</table></OBJECT>\n"
        "<OBJECT nothing=\"here\"><table name=\"X\"><BOM><BO/></BOM></table></OBJECT>\n"
        "<OBJECT string_id=\"MRV_TRN_B\"><table><BOM/></table>"
        "<table name=\"T2\"><BOM><BO/></BOM></table></OBJECT>\n"_s;
    MRV_ConfigurationManager m(context);
    ASSERT_EQ(m.openFile(write(u"r.xml"_s, file(QString(), body))), S_OK);
    ASSERT_EQ(m.objectCount(), 2);
    EXPECT_FALSE(m.header().backup) << "a record's element never reaches the header";

    const ConfigurationObject* a = m.object(u"MRV_TRN_A"_s);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->attributes.value(u"a"_s), u"x & \"y\""_s);
    QList<ConfigurationTableData> tables;
    m.getData(u"MRV_TRN_A"_s, tables);
    ASSERT_EQ(tables.size(), 1);
    EXPECT_EQ(tables[0].table, u"OMRC"_s);
    ASSERT_EQ(tables[0].documents.size(), 3);
    // Blanks that are all a field holds are its value.
    EXPECT_EQ(tables[0].documents[0],
              u"<BOM><BO><OMRC><row><FirmName>Fish &amp; Chips &lt;Ltd&gt;"
              "</FirmName><Note q=\"a &amp; b\">  </Note><backup>kept</backup>"
              "</row></OMRC></BO></BOM>"_s);
    EXPECT_EQ(tables[0].documents[1],
              u"<BOM><BO><OMRC><row><FirmName>&amp; &amp;</FirmName></row></OMRC>"
              "</BO></BOM>"_s);

    // The object without string_id and the table without name are skipped.
    const ConfigurationObject* b = m.object(u"MRV_TRN_B"_s);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->tables.size(), 1);
    EXPECT_EQ(b->tables.first().name(), u"T2"_s);
    EXPECT_TRUE(b->tablesByName.contains(u"T2"_s));
    m.getData(u"MRV_TRN_NONE"_s, tables);
    EXPECT_TRUE(tables.isEmpty());

    // Written out again, the attributes come in name order, escaped.
    QString text;
    MRV_ConfigurationManager::writeObject(
        text, a->attributes,
        MRV_ConfigurationManager::tableText(a->tables[0].attributes, a->tables[0].records));
    EXPECT_TRUE(text.startsWith(
        u"<OBJECT a=\"x &amp; &quot;y&quot;\" string_id=\"MRV_TRN_A\" z=\"1\"><table "
        "name=\"OMRC\"><BOM>"_s));
    EXPECT_TRUE(text.endsWith(u"</BOM></table></OBJECT>\n"_s));
}

TEST_F(ConfigurationFile, HeaderOnlyReadingLeavesTheObjectsAlone) {
    const QString text = file(u"<localization>DE</localization>"_s,
                              u"<OBJECT string_id=\"S\"><table name=\"T\"><BOM>"
                              "<BO/></BOM></table></OBJECT>"_s);
    context.databaseName = write(u"p.xml"_s, text);
    MRV_ConfigurationManager m(context);
    ASSERT_EQ(m.previewConfiguration(), S_OK);
    EXPECT_EQ(m.header().localization, u"DE"_s);
    EXPECT_EQ(m.objectCount(), 0);
    EXPECT_FALSE(m.isLoaded());
}

TEST_F(ConfigurationFile, AWrittenFileReadsBackWithEveryHostileValue) {
    // Values of blanks and line ends only are values too.
    const QStringList nasty = nastyStrings() + QStringList{"   ", "\r", "\n", "\t \r\n", " "};
    QHash<QString, QString> records;
    MRV_ConfigurationManager writer(context);
    ConfigurationHeader& h = writer.header();
    h.configurationName = u"out & <more>.xml"_s;
    h.dbVersion = u"1000190"_s;
    h.copyMethod = 4;
    h.RTCF = 2;
    h.backup = true;
    QString body;
    for (qsizetype i = 0; i < nasty.size(); ++i) {
        // Text XML cannot carry (NUL, lone surrogates, C0 controls) never
        // reaches a record: the host refuses it first.
        const QString& v = nasty[i];
        if (!isXmlText(v))
            continue;
        h.additionalDescr += v.trimmed().isEmpty() ? QString() : v.left(20);
        const QString record = u"<BOM><BO><T><row><V>%1</V></row></T></BO></BOM>"_s.arg(
            MRV_ConfigurationManager::escape(v));
        records.insert(u"S%1"_s.arg(i), record);
        QString object;
        MRV_ConfigurationManager::writeObject(
            object, {{u"string_id"_s, u"S%1"_s.arg(i)}},
            MRV_ConfigurationManager::tableText({{u"name"_s, u"T"_s}}, record));
        body += object;
    }
    QString text;
    writer.writeHeader(text);
    MRV_ConfigurationManager::writeBodyStart(text);
    text += body;
    MRV_ConfigurationManager::writeBodyEnd(text);
    const QString file = path(u"nasty.xml"_s);
    ASSERT_EQ(writer.writeToFile(file, text), S_OK);

    QFile raw(file);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_TRUE(raw.read(2) == QByteArray("\xff\xfe", 2));

    MRV_ConfigurationManager reader(context);
    ASSERT_EQ(reader.openFile(file), S_OK) << ui.transcript.join(u'\n').toStdString();
    EXPECT_EQ(reader.header().configurationName, h.configurationName);
    EXPECT_EQ(reader.header().additionalDescr, h.additionalDescr);
    EXPECT_EQ(reader.header().copyMethod, 4);
    EXPECT_EQ(reader.header().RTCF, 2);
    EXPECT_TRUE(reader.header().backup);
    ASSERT_EQ(reader.objects().size(), records.size());
    for (const ConfigurationObject& o : reader.objects())
        EXPECT_EQ(o.tables[0].records, records.value(o.stringId())) << o.stringId().toStdString();
}

TEST_F(ConfigurationFile, BrokenFilesFailWithTheXmlErrorAndKeepWhatCameBefore) {
    const QString good = u"<OBJECT string_id=\"A\"><table name=\"T\"><BOM><BO><T>"
                         "<row><V>1</V></row></T></BO></BOM></table></OBJECT>"_s;
    const QString text = file(QString(), good + u"<OBJECT string_id=\"B\"><table "
                                                "name=\"T\"><BOM><BO><T><row><V>"_s);
    MRV_ConfigurationManager m(context);
    const QString cut = write(u"cut.xml"_s, text.left(text.size() - 10));
    EXPECT_EQ(m.openFile(cut), E_FAIL);
    // The user learns which file, where and why.
    const QString shown = ui.shown(u"status bold: "_s).value(0);
    EXPECT_TRUE(shown.startsWith(u"The configuration file cannot be read: %1, line "_s.arg(cut)))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(u"column"_s)) << shown.toStdString();
    EXPECT_NE(m.object(u"A"_s), nullptr);
    EXPECT_EQ(m.object(u"B"_s), nullptr);
    EXPECT_FALSE(m.isLoaded());

    // A missing file, a folder, a file that declares a document type, and
    // the object list under its own name.
    const QString doctype = write(
        u"doctype.xml"_s, u"<?xml version=\"1.0\" encoding=\"UTF-16\" ?>\n<!DOCTYPE x [<!ENTITY "
                          "e SYSTEM \"file:///etc/hostname\">]>\n<x>&e;</x>"_s);
    const QList<std::tuple<QString, quint32, QString>> broken{
        {path(u"missing.xml"_s), 10203, u"The configuration file"_s},
        {dir.path(), 10203, u"The configuration file"_s},
        {doctype, 10203, u"(DOCTYPE) is not allowed"_s},
        {cut, 10202, u"The object list cannot be read: "_s + cut + u','}};
    for (const auto& [file, id, expected] : broken) {
        ui.transcript.clear();
        EXPECT_EQ(m.openFile(file, id), E_FAIL);
        const QString message = ui.shown(u"status bold: "_s).value(0);
        EXPECT_TRUE(message.contains(expected)) << message.toStdString();
        EXPECT_TRUE(message.contains(file)) << message.toStdString();
    }

    // UTF-8 bytes, whatever the declaration says, are read for what they
    // are (the reader goes by the bytes) or refused; never misread.
    const QString utf8 = path(u"utf8.xml"_s);
    for (const QString& declared : {u"UTF-16"_s, u"UTF-8"_s}) {
        QFile f(utf8);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(file(QString(), good.arg(QString()))
                    .replace(u"UTF-16"_s, declared)
                    .replace(u"<V>1</V>"_s, u"<V>Grüße</V>"_s)
                    .toUtf8());
        f.close();
        if (m.openFile(utf8) != S_OK)
            continue;
        QList<ConfigurationTableData> tables;
        m.getData(u"A"_s, tables);
        ASSERT_EQ(tables.size(), 1);
        EXPECT_TRUE(tables[0].documents.value(0).contains(u"<V>Grüße</V>"_s));
    }
}

TEST_F(ConfigurationFile, AFileThatCannotBeWrittenIsReported) {
    MRV_ConfigurationManager m(context);
    EXPECT_EQ(m.writeToFile(path(u"no/such/folder/x.xml"_s), u"x"_s), E_INVALIDARG);
    EXPECT_EQ(m.writeToFile(dir.path(), u"x"_s), E_INVALIDARG);
    // Text no parser could read back is never written.
    for (const char16_t bad : {char16_t(0), char16_t(1), char16_t(0xD800), char16_t(0xFFFF)}) {
        const QString text = u"<V>a"_s + QChar(bad) + u"b</V>"_s;
        const QString file = path(u"invalid.xml"_s);
        EXPECT_EQ(m.writeToFile(file, text), E_FAIL);
        EXPECT_FALSE(QFile::exists(file));
    }
}

// The stored path resolves as a worksheet's base file does; without a
// worksheet or a stored path the fallback holds.
TEST(ConfigurationPaths, AStoredBaseFileResolvesAgainstTheWorksheet) {
    const QString ws = u"/data/Mirrova/Worksheets/roll-out.xml"_s;
    const QString fallback = u"/abs/b.xml"_s;
    EXPECT_EQ(MRV_ConfigurationManager::resolveBasePath(ws, u"..\\Configs\\base.xml"_s, fallback),
              u"/data/Mirrova/Configs/base.xml"_s);
    EXPECT_EQ(MRV_ConfigurationManager::resolveBasePath(QString(), u"b.xml"_s, fallback), fallback);
    EXPECT_EQ(MRV_ConfigurationManager::resolveBasePath(ws, QString(), fallback), fallback);
}

} // namespace
