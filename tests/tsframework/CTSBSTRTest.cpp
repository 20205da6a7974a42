#include "tsframework/CTSBSTR.h"
#include "TestData.h"
#include "host/HostTestSupport.h"
#include "tsframework/CTSStringTable.h"

#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// Tables in a folder of their own: a complete English one, a German one
// with gaps, a Spanish one and a broken Danish one.
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
