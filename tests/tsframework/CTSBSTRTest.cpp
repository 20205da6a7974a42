#include "tsframework/CTSBSTR.h"
#include "TestData.h"
#include "host/HostTestSupport.h"
#include "tsframework/CTSStringTable.h"

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

// Tables in a folder of their own: a complete English one, a German one
// with gaps, a Spanish one, a broken Danish one, an Italian one with a text
// whose placeholders are swapped and a Russian one holding an id twice.
class StringTables : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        writeTestFile(dir.filePath("1033.xml"), R"(<?xml version="1.0" encoding="UTF-8"?>
<strings lang="1033">
  <s id="1">OK</s>
  <s id="2">Cancel</s>
  <s id="166">Line one&#13;
- line two&#13;
- line three</s>
  <s id="7">  spaced  out  </s>
  <s id="8">a &amp; b &lt;c&gt; "q" 'a'</s>
  <s id="9">Copy %s of %d</s>
</strings>
)");
        writeTestFile(dir.filePath("1031.xml"), R"(<?xml version="1.0" encoding="UTF-8"?>
<strings lang="1031">
  <s id="1">Ja, gut</s>
  <s id="2"></s>
  <s id="9">Kopie %s von %d</s>
</strings>
)");
        writeTestFile(dir.filePath("3082.xml"),
                      R"(<strings lang="3082"><s id="1">Aceptar</s></strings>)");
        writeTestFile(dir.filePath("1030.xml"),
                      R"(<strings lang="1030"><s id="1">Godt</s><s id="2">)");
        writeTestFile(
            dir.filePath("1040.xml"),
            R"(<strings lang="1040"><s id="9">Copia %d di %s</s><s id="1">Va bene</s></strings>)");
        writeTestFile(dir.filePath("1049.xml"),
                      R"(<strings lang="1049"><s id="1">Да</s><s id="1">Хорошо</s></strings>)");
        CTSStringTable::setFolder(dir.path());
    }
    void TearDown() override { CTSStringTable::setFolder(u":/strings"_s); }

    QTemporaryDir dir;
};

} // namespace

// A text in the table of its language, or else the English one: a missing,
// empty or broken entry and a language without a table fall back.
TEST_F(StringTables, LoadsByIdAndLanguageExactlyAsWrittenOrInEnglish) {
    const std::tuple<quint32, int, const char16_t*> cases[] = {
        {1, 1031, u"Ja, gut"},
        {1, 1033, u"OK"},
        {1, 3082, u"Aceptar"},
        {166, 1033, u"Line one\r\n- line two\r\n- line three"},
        {7, 1033, u"  spaced  out  "},
        {8, 1033, u"a & b <c> \"q\" 'a'"},
        {166, 1031, u"Line one\r\n- line two\r\n- line three"}, // missing in German
        {2, 1031, u"Cancel"},                                   // empty in German
        {2, 1030, u"Cancel"},                                   // broken Danish table
        {1, 1030, u"OK"},                                       // a broken table gives nothing
        {2, 1046, u"Cancel"},                                   // no file at all
        {9, 1040, u"Copy %s of %d"},                            // its placeholders in another order
        {1, 1040, u"Va bene"},
        {1, 1049, u"OK"}, // an id twice breaks the table
    };
    for (const auto& [id, language, expected] : cases)
        EXPECT_EQ(CTSBSTR::load(id, language), expected) << id << " in " << language;
    CTSBSTR text(CTSBSTR::English);
    EXPECT_TRUE(text.LoadStringW(1, 1031));
    EXPECT_EQ(text.str(), u"Ja, gut");
    EXPECT_TRUE(text.LoadStringW(1));
    EXPECT_EQ(text.str(), u"OK");
    CTSBSTR none(1031);
    EXPECT_FALSE(none.LoadStringW(12345));
    EXPECT_TRUE(none.isEmpty());
}

TEST_F(StringTables, HostLanguagesMapToCarriedTables) {
    const std::pair<int, int> cases[] = {{1031, 1031}, {2057, 2057},
                                         {3081, 1033}, // English (Australia)
                                         {3079, 1031}, // German (Austria)
                                         {1034, 3082}, // Spanish, traditional sort
                                         {1044, 2068}, // Norwegian Bokmål
                                         {4100, 2052}, // Chinese (Singapore)
                                         {1055, 1033}, // Turkish: not carried
                                         {0, 1033},    {-5, 1033}};
    for (const auto& [host, table] : cases)
        EXPECT_EQ(CTSStringTable::tableLanguage(host), table) << host;
    EXPECT_EQ(CTSBSTR::load(1, 1034), u"Aceptar");
    EXPECT_EQ(CTSBSTR::load(1, 1055), u"OK");
}

TEST_F(StringTables, FormatWithALoadedFormat) {
    CTSBSTR german(1031);
    EXPECT_EQ(german.FormatId(9, u"Artikel"_s, 3).str(), u"Kopie Artikel von 3");
    CTSBSTR english;
    EXPECT_EQ(english.Format(u"%s=%d", u"x"_s, 1).str(), u"x=1");
    EXPECT_EQ(CTSStringTable::placeholders(u"%s: %d%% of %1, 100%"_s),
              (QStringList{u"%s"_s, u"%d"_s, u"%%"_s, u"%1"_s}));
}

TEST(StringTableFile, RefusesWhatIsNotAStringTable) {
    QTemporaryDir dir;
    const QString path = dir.filePath("x.xml");
    writeTestFile(path, "<other><s id=\"1\">x</s></other>");
    QHash<quint32, QString> table;
    QString error;
    EXPECT_FALSE(CTSStringTable::readTable(path, table, &error));
    EXPECT_TRUE(table.isEmpty());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(CTSStringTable::readTable(dir.filePath("missing.xml"), table));
    writeTestFile(path,
                  "<strings><s id=\"0\">zero</s><s id=\"x\">bad</s><s id=\"5\">five</s></strings>");
    EXPECT_TRUE(CTSStringTable::readTable(path, table));
    EXPECT_EQ(table.size(), 1);
    EXPECT_EQ(table.value(5), u"five");
}

namespace {

struct ShippedTable {
    QByteArray bytes;
    QString lang;
    QHash<quint32, QString> texts;
    QString error;
};

ShippedTable shippedTable(int lcid) {
    ShippedTable table;
    const QString path = QStringLiteral(MIRROVA_SOURCE_DIR "/res/strings/%1.xml").arg(lcid);
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        table.bytes = file.readAll();
    QXmlStreamReader xml(table.bytes);
    if (xml.readNextStartElement())
        table.lang = xml.attributes().value(u"lang"_s).toString();
    CTSStringTable::readTable(path, table.texts, &table.error);
    return table;
}

// How many texts of two tables differ.
int differing(const QHash<quint32, QString>& a, const QHash<quint32, QString>& b) {
    int n = 0;
    for (auto it = a.begin(); it != a.end(); ++it)
        n += b.value(it.key()) != *it;
    return n;
}

class ShippedTables : public ::testing::TestWithParam<int> {};

} // namespace

// Every language the program carries has each English text once, as well-
// formed UTF-8, with the English text's placeholders and line breaks, and
// translated: the names and samples that stay the same are the only texts
// most tables share with English.
TEST_P(ShippedTables, HoldEveryEnglishTextTranslatedWithItsPlaceholders) {
    const int lcid = GetParam();
    const ShippedTable english = shippedTable(CTSStringTable::English);
    const ShippedTable table = shippedTable(lcid);
    ASSERT_TRUE(table.error.isEmpty()) << table.error.toStdString();
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)QString(utf8(table.bytes));
    EXPECT_FALSE(utf8.hasError());
    EXPECT_TRUE(table.bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_EQ(table.lang, QString::number(lcid));
    EXPECT_EQ(table.texts.size(), english.texts.size());
    int sameAsEnglish = 0;
    for (auto it = english.texts.begin(); it != english.texts.end(); ++it) {
        const QString text = table.texts.value(it.key());
        SCOPED_TRACE(it.key());
        ASSERT_FALSE(text.trimmed().isEmpty());
        EXPECT_EQ(CTSStringTable::placeholders(text), CTSStringTable::placeholders(*it));
        EXPECT_EQ(text.count(u'\n'), it->count(u'\n'));
        EXPECT_EQ(text.count(u'\r'), it->count(u'\r'));
        EXPECT_EQ(text.contains(u'&'), it->contains(u'&'));
        sameAsEnglish += text == *it;
    }
    for (quint32 kept : {400u, 499u, 306u, 307u, 2041u})
        EXPECT_EQ(table.texts.value(kept), english.texts.value(kept)) << kept;
    if (lcid != 2057 && lcid != CTSStringTable::English) {
        EXPECT_LT(sameAsEnglish, english.texts.size() / 10);
    }
}

INSTANTIATE_TEST_SUITE_P(, ShippedTables, ::testing::ValuesIn(CTSStringTable::languages()),
                         [](const auto& info) { return std::to_string(info.param); });

// The regional tables are written for their region, not copied from their
// sibling: their own words, and Chinese in its own script.
TEST(ShippedTablesOfARegion, AreWrittenForTheirRegion) {
    const std::tuple<int, int, int> pairs[] = {
        {3082, 9226, 20}, {1046, 2070, 20}, {1028, 2052, 200}, {2057, 1033, 5}};
    for (const auto& [a, b, atLeast] : pairs)
        EXPECT_GE(differing(shippedTable(a).texts, shippedTable(b).texts), atLeast) << a << b;
    // Simplified characters and their traditional forms.
    const QString simplified = u"据设数单录类务户称输项选册"_s;
    const QString traditional = u"據設數單錄類務戶稱輸項選冊"_s;
    const auto uses = [](const ShippedTable& table, const QString& characters) {
        int n = 0;
        for (const QString& text : table.texts)
            for (QChar c : characters)
                n += text.contains(c);
        return n;
    };
    const ShippedTable taiwan = shippedTable(1028), prc = shippedTable(2052);
    EXPECT_EQ(uses(taiwan, simplified), 0);
    EXPECT_EQ(uses(prc, traditional), 0);
    EXPECT_GT(uses(taiwan, traditional), 0);
    EXPECT_GT(uses(prc, simplified), 0);
    int hebrew = 0;
    const ShippedTable hebrewTable = shippedTable(1037);
    for (const QString& text : hebrewTable.texts)
        hebrew += std::any_of(text.begin(), text.end(),
                              [](QChar c) { return c.unicode() >= 0x5D0 && c.unicode() <= 0x5EA; });
    EXPECT_GT(hebrew, hebrewTable.texts.size() * 9 / 10);
}
