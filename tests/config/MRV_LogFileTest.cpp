#include "config/MRV_LogFile.h"
#include "LogTestSupport.h"
#include "TestData.h"
#include "config/MRV_CopyLog.h"
#include "di/MRV_ConnectionContext.h"
#include "host/objects/LLCompany.h"
#include "interaction/MRV_ScriptedInteraction.h"
#include "tsframework/CTSStringTable.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace logtest;

namespace {

const QString header = u"2026-12-04 09:05:07|Base|Target|2024|2028|1"_s;
const QString udf = u"Customization>User-Defined Elements and Formatted Search"_s;

// The two leaves of a small template; every other id is not a leaf.
std::optional<MRV_LogCategory> smallTemplate(const QString& categoryId) {
    if (categoryId == u"MRV_TRN_QUERIES_100")
        return MRV_LogCategory{u"1.10"_s, u"Customization"_s};
    if (categoryId == u"MRV_TRN_UDF_100")
        return MRV_LogCategory{u"1.2.1"_s, udf};
    return std::nullopt;
}

class LogFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // A log file of the given lines, joined by CR LF.
    QString write(const QStringList& lines, const QByteArray& prefix = {}) {
        const QString path = dir.filePath(u"log%1.txt"_s.arg(++files));
        EXPECT_TRUE(writeBytes(path, prefix + utf16le(lines.join(u"\r\n"_s))));
        return path;
    }

    MRV_LogFile load(const QString& path, bool withTemplate = true) {
        MRV_LogFile file(path);
        if (withTemplate)
            file.setCategoryLookup(smallTemplate);
        result = file.loadLogFile();
        return file;
    }

    QTemporaryDir dir;
    int files = 0;
    MRV_ScriptedInteraction user;
    MRV_InteractionScope scope{user};
    HRESULT result = S_OK;
};

} // namespace

TEST_F(LogFile, TurnsRecordsIntoRowsOfTexts) {
    const MRV_LogFile file = load(write({
        header,
        "MRV_TRN_QUERIES_100|212|402|Q1|Query one|Q1|Query one||",
        "MRV_TRN_UDF_100|213|403|OITM.U_X|Desc|OITM.U_X|New|Old|Refused by target",
        "MRV_TRN_UDF_100| 404xyz|10024|a|b|c|d|e|cut here|rest|and more",
        "MRV_TRN_QUERIES_100|2025|10020||||||",
        "<MRV_LOG_END>2026-12-04 09:17:45",
    }));
    EXPECT_EQ(result, S_OK);
    EXPECT_TRUE(user.transcript.isEmpty()) << user.transcript.join('\n').toStdString();
    EXPECT_EQ(file.headerText(), header + u"|2026-12-04 09:17:45"_s);
    EXPECT_TRUE(file.hasEndLine());
    // A leading number is enough for the type; fields after the ninth are
    // not shown.
    EXPECT_EQ(file.rows(), QList<QStringList>(
                               {{"1.10", "Customization", "Queries", "Added", "Succeeded", "Q1",
                                 "Query one", "Q1", "Query one", "", ""},
                                {"1.2.1", udf, "User-Defined Fields", "Updated", "Failed",
                                 "OITM.U_X", "Desc", "OITM.U_X", "New", "Old", "Refused by target"},
                                {"1.2.1", udf, "User-Defined Fields", "Deleted", "XML error", "a",
                                 "b", "c", "d", "e", "cut here"},
                                {"1.10", "Customization", "Queries",
                                 "Add New Records and Update Existing Records",
                                 "Could not read dataset", "", "", "", "", "", ""}}));
}

// Every type a run writes is read back; their texts and the results' are
// the string table's, seen in the rows above.
TEST_F(LogFile, EveryTransactionTypeARunWritesIsRead) {
    QStringList lines{header};
    for (const char* type : {"2022", "2023", "2024", "2025", "404", "184", "212", "213"})
        lines << u"MRV_TRN_QUERIES_100|%1|402||||||"_s.arg(QLatin1String(type));
    const MRV_LogFile file = load(write(lines));
    EXPECT_EQ(result, S_OK) << user.transcript.join('\n').toStdString();
    EXPECT_EQ(file.rows().size(), 8);
}

TEST_F(LogFile, WithoutATemplateCatalogueCategoriesHaveNoPath) {
    const MRV_LogFile file = load(write({
                                      header,
                                      "MRV_TRN_QUERIES_100|212|402|Q1|||||",
                                      "MRV_TRN_CUSTOMIZATION_100|212|402|F||||||",
                                      "NOT_A_CATEGORY|212|402||||||",
                                  }),
                                  false);
    EXPECT_EQ(result, E_FAIL);
    ASSERT_EQ(file.rows().size(), 2);
    EXPECT_EQ(file.rows()[0],
              QStringList({"", "", "Queries", "Added", "Succeeded", "Q1", "", "", "", "", ""}));
    EXPECT_EQ(file.rows()[1][MRV_LogFile::Category], u"Customization");
    EXPECT_EQ(file.failingColumn(), 1);
    EXPECT_EQ(file.failingValue(), u"NOT_A_CATEGORY");
}

// A missing file, and a folder (given to a reader that read a file before).
TEST_F(LogFile, AFileThatCannotBeOpenedIsReported) {
    MRV_LogFile file = load(write({header}));
    for (const QString& path : {dir.filePath("missing.txt"), dir.path()}) {
        user.transcript.clear();
        file.setPath(path);
        EXPECT_EQ(file.loadLogFile(), E_FAIL);
        EXPECT_EQ(user.transcript, QStringList("error: Could not open file '" + path + "'"));
        EXPECT_TRUE(file.rows().isEmpty());
        EXPECT_TRUE(file.headerText().isEmpty());
    }
}

TEST_F(LogFile, ABadLineIsReportedAndTheRowsBeforeItStay) {
    struct Case {
        QString line;
        QString message;
    };
    // Record lines count from 1; the empty line counts as well.
    const QString before = u"MRV_TRN_QUERIES_100|212|402|Q1|||||"_s;
    const QString at = u"Invalid value in the log file - '%1' \nLine 3: '%2'\n"_s;
    const QList<Case> cases{
        {"MRV_TRN_QUERIES_100|212|402|short", "Wrong format in the line 3 of the log file - \n'"
                                              "MRV_TRN_QUERIES_100|212|402|short'"},
        {"MRV_TRN_CUSTOMIZATION_100|212|402||||||",
         "Column 1: MRV_TRN_CUSTOMIZATION_100 is not a valid 'Category No."},
        {"|212|402||||||", "Column 1:  is not a valid 'Category No."},
        {"MRV_TRN_QUERIES_100||402||||||", "Column 2: 0 is not a valid 'Trans. Type"},
        {"MRV_TRN_QUERIES_100|0|402||||||", "Column 2: 0 is not a valid 'Trans. Type"},
        {"MRV_TRN_QUERIES_100|Added|402||||||", "Column 2: 0 is not a valid 'Trans. Type"},
        {"MRV_TRN_QUERIES_100|-212|402||||||", "Column 2: -212 is not a valid 'Trans. Type"},
        {"MRV_TRN_QUERIES_100|99999999999|402||||||",
         "Column 2: 2147483647 is not a valid 'Trans. Type"},
        {"MRV_TRN_QUERIES_100|10009|402||||||", "Column 2: 10009 is not a valid 'Trans. Type"},
        {"MRV_TRN_QUERIES_100|212|402 ||||||", "Column 3: 402  is not a valid 'Result"},
        {"MRV_TRN_QUERIES_100|212|Succeeded||||||", "Column 3: Succeeded is not a valid 'Result"},
        {"MRV_TRN_QUERIES_100|212|||||||", "Column 3:  is not a valid 'Result"},
    };
    for (const Case& c : cases) {
        user.transcript.clear();
        const QString path = write({header, before, QString(), c.line, before, "<MRV_LOG_END>x"});
        const MRV_LogFile file = load(path);
        EXPECT_EQ(result, E_FAIL) << c.line.toStdString();
        const QString expected =
            c.message.startsWith(u"Wrong") ? c.message : at.arg(path, c.line) + c.message;
        EXPECT_EQ(user.transcript, QStringList("error: " + expected)) << c.line.toStdString();
        EXPECT_EQ(file.rows().size(), 1) << c.line.toStdString();
        EXPECT_EQ(file.headerText(), header);
        EXPECT_FALSE(file.hasEndLine());
    }
}

TEST_F(LogFile, AcceptsAByteOrderMarkAndOtherLineEnds) {
    const QString headerWithMark = u"2026-12-04 09:05:07|Ba\uFEFFse|Target|2024|2028|1"_s;
    const MRV_LogFile file =
        load(write({headerWithMark, "MRV_TRN_QUERIES_100|212|402|\uFEFFQ1|||||",
                    "<MRV_LOG_END>2026-12-04 09:17:45"},
                   "\xFF\xFE"));
    EXPECT_EQ(result, S_OK);
    EXPECT_EQ(file.headerText(),
              u"2026-12-04 09:05:07|Base|Target|2024|2028|1|2026-12-04 09:17:45"_s);
    ASSERT_EQ(file.rows().size(), 1);
    // Only the header loses its marks; values keep what they hold.
    EXPECT_EQ(file.rows()[0][MRV_LogFile::BaseCode], u"\uFEFFQ1");

    // Line feeds alone end lines too.
    const QString path = dir.filePath("lf.txt");
    ASSERT_TRUE(writeBytes(path, utf16le(header + "\nMRV_TRN_QUERIES_100|212|402|Q1|||||\n")));
    const MRV_LogFile lf = load(path);
    EXPECT_EQ(result, S_OK);
    ASSERT_EQ(lf.rows().size(), 1);
    EXPECT_EQ(lf.rows()[0][MRV_LogFile::BaseCode], u"Q1");
    EXPECT_TRUE(user.transcript.isEmpty());
}

TEST_F(LogFile, ACutOffLogShowsWhatItHas) {
    const QString record = u"MRV_TRN_QUERIES_100|212|402|Q1|One|Q1|One||"_s;
    // No end line: every record, no end time.
    MRV_LogFile file = load(write({header, record, record, QString()}));
    EXPECT_EQ(result, S_OK);
    EXPECT_EQ(file.rows().size(), 2);
    EXPECT_EQ(file.headerText(), header);
    EXPECT_FALSE(file.hasEndLine());
    EXPECT_TRUE(user.transcript.isEmpty());

    // Cut inside the last record, in the middle of a character.
    QByteArray bytes = utf16le(header + "\r\n" + record + "\r\n" + record);
    bytes.chop(record.size() * 2 - 21);
    const QString cut = dir.filePath("cut.txt");
    ASSERT_TRUE(writeBytes(cut, bytes));
    file = load(cut);
    EXPECT_EQ(result, E_FAIL);
    EXPECT_EQ(file.rows().size(), 1);
    EXPECT_EQ(user.transcript, QStringList("error: Wrong format in the line 2 of the log file - "
                                           "\n'MRV_TRN_QU'"));
}

// A file without a copy log's header line is no log: it is refused with
// why, whatever follows.
TEST_F(LogFile, AFileWithoutTheHeaderIsNoLog) {
    const QString record = u"MRV_TRN_QUERIES_100|212|402|Q1|One|Q1|One||"_s;
    const QList<std::pair<QByteArray, QString>> cases{
        {QByteArray(), "the file holds no line"},
        {QByteArray("2"), "the file holds no line"},
        {QByteArray("\x8f\x13\xfe\x00zz|||\xc3\r\n\x01", 13), "line 1 is not"},
        {utf16le("2026-12-04 09:05:07|Base|Target|2024|2028"), "line 1 is not"},
        {utf16le("2026-12-04 09:05:07|Ba|se|Target|2024|2028|1"), "line 1 is not"},
        {utf16le("2026-13-04 09:05:07|Base|Target|2024|2028|1"), "line 1 is not"},
        {utf16le("2026-12-04 09:05:07|Base|Target|20x4|2028|1"), "line 1 is not"},
        {utf16le("2026-12-04 09:05:07|Base|Target|2024|2028|2"), "line 1 is not"},
        {utf16le(record + "\r\n" + record), "line 1 is not"},
    };
    for (const auto& [bytes, why] : cases) {
        user.transcript.clear();
        const QString path = dir.filePath(u"nolog%1.txt"_s.arg(++files));
        ASSERT_TRUE(writeBytes(path, bytes));
        const MRV_LogFile file = load(path);
        EXPECT_EQ(result, E_FAIL) << why.toStdString();
        EXPECT_TRUE(file.rows().isEmpty());
        EXPECT_TRUE(file.headerText().isEmpty());
        ASSERT_EQ(user.transcript.size(), 1);
        EXPECT_TRUE(
            user.transcript[0].startsWith("error: '" + path + "' is not a copy log: " + why))
            << user.transcript[0].toStdString();
    }
    // A header alone is a log of a run that wrote nothing yet.
    user.transcript.clear();
    const MRV_LogFile file = load(write({header}));
    EXPECT_EQ(result, S_OK);
    EXPECT_EQ(file.headerFields(),
              QStringList({"2026-12-04 09:05:07", "Base", "Target", "2024", "2028", "1"}));
    EXPECT_FALSE(file.hasEndLine());
    EXPECT_TRUE(user.transcript.isEmpty());
}

TEST_F(LogFile, RowsAreShownByCategoryNumberThenTypeAsText) {
    const MRV_LogFile file = load(write({
        header,
        "MRV_TRN_QUERIES_100|213|402|first updated query|||||",  // 1.10 Updated
        "MRV_TRN_UDF_100|213|402|u1|||||",                       // 1.2.1 Updated
        "MRV_TRN_QUERIES_100|212|402|added query|||||",          // 1.10 Added
        "MRV_TRN_UDF_100|404|402|u2|||||",                       // 1.2.1 Deleted
        "MRV_TRN_QUERIES_100|213|402|second updated query|||||", // 1.10 Updated
        "MRV_TRN_UDF_100|2022|402|u3|||||",                      // 1.2.1 Replace All
    }));
    ASSERT_EQ(result, S_OK);
    // "1.10" sorts before "1.2.1" as text; among equal rows the file order
    // stays.
    EXPECT_EQ(file.shownOrder(), QList<int>({2, 0, 4, 3, 5, 1}));
    // The rows themselves keep the order of the file.
    EXPECT_EQ(file.rows()[0][MRV_LogFile::BaseCode], u"first updated query");
}

TEST_F(LogFile, SixtyThousandRecords) {
    QStringList lines{header};
    const int count = 60000;
    for (int i = 0; i < count; ++i)
        lines << u"%1|%2|%3|code %4|desc %4|t%4|||"_s
                     .arg(i % 2 ? "MRV_TRN_UDF_100" : "MRV_TRN_QUERIES_100", i % 3 ? "212" : "404",
                          i % 5 ? "402" : "403")
                     .arg(i);
    lines << "<MRV_LOG_END>2026-12-04 11:00:00";
    const MRV_LogFile file = load(write(lines));
    ASSERT_EQ(result, S_OK);
    ASSERT_EQ(file.rows().size(), count);
    EXPECT_TRUE(file.hasEndLine());
    for (int i : {0, 1, 2, 5, 29999, 59999}) {
        const QStringList& row = file.rows()[i];
        EXPECT_EQ(row[MRV_LogFile::CategoryNo], i % 2 ? u"1.2.1" : u"1.10");
        EXPECT_EQ(row[MRV_LogFile::TransType], i % 3 ? u"Added" : u"Deleted");
        EXPECT_EQ(row[MRV_LogFile::Result], i % 5 ? u"Succeeded" : u"Failed");
        EXPECT_EQ(row[MRV_LogFile::BaseDesc], u"desc %1"_s.arg(i));
    }
    const QList<int> order = file.shownOrder();
    ASSERT_EQ(order.size(), count);
    for (int i = 1; i < count; ++i) {
        const QStringList& a = file.rows()[order[i - 1]];
        const QStringList& b = file.rows()[order[i]];
        ASSERT_TRUE(a[0] < b[0] ||
                    (a[0] == b[0] && (a[3] < b[3] || (a[3] == b[3] && order[i - 1] < order[i]))))
            << i;
    }
}

TEST_F(LogFile, TextsAndMessagesComeInTheLanguageOfTheMoment) {
    const QString tables = dir.filePath("strings");
    ASSERT_TRUE(QDir().mkpath(tables));
    ASSERT_TRUE(QFile::copy(CTSStringTable::folder() + "/1033.xml", tables + "/1033.xml"));
    ASSERT_TRUE(writeBytes(tables + "/1031.xml", R"(<?xml version="1.0" encoding="UTF-8"?>
<strings lang="1031">
  <s id="133">Kategorie-Nr.</s>
  <s id="212">Hinzugefügt</s>
  <s id="402">Erfolgreich</s>
  <s id="701">Abfragen</s>
  <s id="143">Falsches Format in Zeile %d - '%s'</s>
</strings>
)"));
    const QString previous = CTSStringTable::folder();
    CTSStringTable::setFolder(tables);
    user.setLanguage(1031);
    const MRV_LogFile file =
        load(write({header, "MRV_TRN_QUERIES_100|212|402|Q1|||||", "MRV_TRN_QUERIES_100|212|402"}));
    CTSStringTable::setFolder(previous);

    EXPECT_EQ(result, E_FAIL);
    ASSERT_EQ(file.rows().size(), 1);
    EXPECT_EQ(file.rows()[0], QStringList({"1.10", "Customization", "Abfragen", "Hinzugefügt",
                                           "Erfolgreich", "Q1", "", "", "", "", ""}));
    EXPECT_EQ(file.columnTitles()[0], u"Kategorie-Nr.");
    EXPECT_EQ(file.columnTitles()[1], u"Category Path"); // not translated: English
    EXPECT_EQ(user.transcript,
              QStringList("error: Falsches Format in Zeile 2 - 'MRV_TRN_QUERIES_100|212|402'"));
}

TEST_F(LogFile, ExportsTheRowsShownForASpreadsheet) {
    const MRV_LogFile file = load(write({
        header,
        "MRV_TRN_UDF_100|213|403|U|Grüße 日本|U|a\rb|tab\there|Refused",
        "MRV_TRN_QUERIES_100|212|402|Q1|||||",
        "MRV_TRN_QUERIES_100|404|402|Q2|||||",
    }));
    ASSERT_EQ(result, S_OK);
    const QByteArray titles = "Category No.\tCategory Path\tCategory\tTrans. Type\tResult\tBase "
                              "Code\tBase Desc.\tTarget Code\tTarget Desc.\tTarget Former "
                              "Desc.\tError\t\r\n";
    const QByteArray udfRow = "#1.2.1\t" + udf.toUtf8() +
                              "\tUser-Defined Fields\tUpdated\tFailed\tU\tGr\xC3\xBC\xC3\x9F"
                              "e \xE6\x97\xA5\xE6\x9C\xAC\tU\ta\rb\ttab\there\tRefused\t\r\n";
    const QByteArray added = "#1.10\tCustomization\tQueries\tAdded\tSucceeded\tQ1\t\t\t\t\t\t\r\n";
    const QByteArray deleted =
        "#1.10\tCustomization\tQueries\tDeleted\tSucceeded\tQ2\t\t\t\t\t\t\r\n";
    EXPECT_EQ(file.excelText(file.shownOrder()), titles + added + deleted + udfRow);
    // A filter shows fewer rows, a sort another order.
    EXPECT_EQ(file.excelText({2, 0}), titles + deleted + udfRow);
    EXPECT_EQ(file.excelText({}), titles);

    const QString target = dir.filePath("export.xls");
    ASSERT_TRUE(writeBytes(target, "older export"));
    ASSERT_TRUE(file.writeExcel(target, {1}));
    EXPECT_EQ(readBytes(target), titles + added);
}

TEST_F(LogFile, SaveAsExcelAsksForTheFile) {
    const MRV_LogFile file = load(write({header, "MRV_TRN_QUERIES_100|212|402|Q1|||||"}));
    ASSERT_EQ(result, S_OK);
    const QString folder = dir.filePath("Log files");
    ASSERT_TRUE(QDir().mkpath(folder));
    user.paths = {QString(), folder + "/plain", folder + "/named.txt", dir.filePath("no/such.xls")};

    EXPECT_EQ(file.saveAsExcel({0}, folder), 1);
    EXPECT_EQ(user.transcript, QStringList("save file: Save as Excel as " + folder));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList());

    EXPECT_EQ(file.saveAsExcel({0}, folder), S_OK);
    EXPECT_EQ(file.saveAsExcel({0}, folder), S_OK);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList({"named.txt", "plain.xls"}));
    EXPECT_EQ(readBytes(folder + "/plain.xls"), file.excelText({0}));

    user.transcript.clear();
    EXPECT_EQ(file.saveAsExcel({0}, folder), E_FAIL);
    EXPECT_EQ(user.shown("error: "),
              QStringList("Could not open file '" + dir.filePath("no/such.xls") + "'"));
}

// A hostile value reads back from a log as it was written, but for line
// feeds, which become blanks; a "|" or "\\" in a value is escaped so that no
// field moves.
TEST_F(LogFile, HostileValuesReadBackAsTheyWereWritten) {
    QStringList values = nastyStrings();
    ASSERT_FALSE(values.isEmpty());
    values << "|"
           << "\\"
           << "\\|"
           << "a\\\\|b|"
           << "|\\";
    MRV_ConnectionContext context;
    context.targetCompany = std::make_shared<LLObjectsCOM::Company>();
    context.targetCompanyName = u"Host|ile\\"_s;
    MRV_CopyLog log(context);
    log.setClock(clockOf({at("2026-12-04 09:05:07")}));
    ASSERT_TRUE(log.open(dir.path()));
    // The backup the run made names a file that may hold the separators.
    log.writeHeader(u"/srv/b|ack\\ups/T.bak"_s);
    // The value in every free field at once, and then alone in each.
    const auto freeFields = [](const QString& value, int alone) {
        QStringList fields;
        for (int field = 0; field < 6; ++field)
            fields << (alone < 0 || alone == field ? value : u"m"_s);
        return fields;
    };
    for (const QString& value : values)
        for (int alone = -1; alone < 6; ++alone)
            writeRecord(log,
                        QStringList{"MRV_TRN_UDF_100", "212", "403"} + freeFields(value, alone));
    log.writeEnd();

    const MRV_LogFile file = load(log.filePath());
    ASSERT_EQ(result, S_OK) << user.transcript.join('\n').toStdString();
    ASSERT_EQ(file.rows().size(), values.size() * 7);
    int row = 0;
    for (const QString& value : values) {
        const QString written = QString(value).replace(u'\n', u' ');
        for (int alone = -1; alone < 6; ++alone, ++row) {
            EXPECT_EQ(file.rows()[row].mid(MRV_LogFile::BaseCode), freeFields(written, alone))
                << "row " << row << ": " << value.toStdString();
            EXPECT_EQ(file.rows()[row][MRV_LogFile::TransType], u"Added");
        }
    }
    EXPECT_EQ(file.headerFields(),
              QStringList({"2026-12-04 09:05:07", "", "Host|ile\\", "10009", "10010", "0"}));
    EXPECT_EQ(file.endTime(), u"2026-12-04 09:05:07");
    EXPECT_EQ(file.backupFile(), u"/srv/b|ack\\ups/T.bak"_s);
    EXPECT_EQ(file.headerText(),
              u"2026-12-04 09:05:07||Host\\|ile\\\\|10009|10010|0|2026-12-04 09:05:07"_s);
}

// Logs written before values were escaped read as they did: a backslash
// before anything but "|" or "\\" is a character of the value.
TEST_F(LogFile, OlderLogsReadAsBefore) {
    const MRV_LogFile file = load(write({
        header,
        "MRV_TRN_QUERIES_100|212|402|C:\\temp\\n|\\x||||",
        "MRV_TRN_QUERIES_100|212|402|end\\|||||",
    }));
    EXPECT_EQ(result, S_OK);
    ASSERT_EQ(file.rows().size(), 2);
    EXPECT_EQ(file.rows()[0].mid(MRV_LogFile::BaseCode, 2), QStringList({"C:\\temp\\n", "\\x"}));
    // A value that ended in a backslash would escape the separator after
    // it; the line is then short of fields and is read as it was written.
    EXPECT_EQ(file.rows()[1].mid(MRV_LogFile::BaseCode, 2), QStringList({"end\\", ""}));
}
