#include "CliTestSupport.h"
#include "TestData.h"
#include "config/LogTestSupport.h"
#include "config/MRV_CopyLog.h"
#include "di/MRV_ConnectionContext.h"
#include "host/objects/LLCompany.h"
#include "tsframework/CTSBSTR.h"

#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace logtest;

using namespace clitest;

TEST(Cli, CataloguePrintsEveryEntryOnItsOwnLine) {
    const Result r = run({u"catalogue"_s});
    ASSERT_TRUE(exits(r, 0));
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 168);
    EXPECT_EQ(lines.first(), u"MRV_TRN_CUSTOMIZATION_100\t700\tCustomization");
    EXPECT_TRUE(lines[166].startsWith(u"MRV_LMS_NOTE29_0\t20000\tThe content of this category "
                                      u"includes:\\n- All information"));
    EXPECT_TRUE(lines.last().startsWith(u"MRV_LMS_NOTE30_0\t20001\tNote that these"));
    for (const QString& line : lines)
        EXPECT_EQ(line.split(u'\t').size(), 3) << line.toStdString();
    EXPECT_TRUE(r.err.isEmpty());

    // The same in the language asked for.
    for (const int lcid : {1031, 1041, 1037}) {
        const Result translated = run({u"catalogue"_s, u"--lang"_s, QString::number(lcid)});
        EXPECT_TRUE(exits(translated, 0));
        const QStringList own = translated.out.split(u'\n', Qt::SkipEmptyParts);
        ASSERT_EQ(own.size(), 168);
        EXPECT_EQ(own.first(), u"MRV_TRN_CUSTOMIZATION_100\t700\t"_s + CTSBSTR::load(700, lcid));
        EXPECT_NE(own.first(), lines.first());
    }
    EXPECT_EQ(run({u"--lang=2057"_s, u"catalogue"_s}).status, 0);
}

// Every category of the object list has a manager, and each copies with
// what it needs: both lists hold the same 94 catalogue entries once each.
TEST(Cli, EveryCategoryCopiesCompletely) {
    const QString catalogue = run({u"catalogue"_s}).out;
    const Result all = run({u"categories"_s});
    const Result complete = run({u"categories"_s, u"--complete"_s});
    ASSERT_TRUE(exits(all, 0));
    ASSERT_TRUE(exits(complete, 0));
    const QStringList ids = all.out.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(ids.size(), 94);
    EXPECT_EQ(QSet<QString>(ids.begin(), ids.end()).size(), ids.size());
    EXPECT_EQ(complete.out, all.out);
    for (const QString& id : ids)
        EXPECT_TRUE(catalogue.contains(u'\n' + id + u'\t')) << id.toStdString();
}

// Each command line, its words apart by blanks, with its exit status and
// what it prints: the start of its output (a text's line breaks as the
// terminal's), or a part of its complaint (and then no output). Wrong
// command lines exit with 2 and point to the help.
TEST(Cli, EachCommandLineExitsWithItsStatusAndSaysWhy) {
    struct Case {
        const char* line;
        int status;
        const char* printed;
    };
    const QList<Case> cases{
        {"--help", 0, "Usage: mirrova-cli"},
        {"catalogue -h", 0, "Usage: mirrova-cli"},
        {"--version", 0, "mirrova-cli "},
        {"text 147", 0, "User-Defined Fields\n"},
        {"text 166 --lang 1033", 0, "The content of this category includes:\n-"},
        {"text 0", 1, "no text"}};
    QList<Case> wrong;
    for (const char* line : {"", "frobnicate", "catalogue --bogus", "catalogue extra",
                             "catalogue --lang", "catalogue --lang german", "catalogue --lang=-3",
                             "text", "text abc", "text -1", "text 1 2"})
        wrong.append({line, 2, "--help"});
    for (const Case& c : cases + wrong) {
        SCOPED_TRACE(c.line);
        const Result r = run(QString::fromLatin1(c.line).split(u' ', Qt::SkipEmptyParts));
        EXPECT_TRUE(exits(r, c.status));
        if (c.status == 0) {
            EXPECT_TRUE(r.out.startsWith(QLatin1String(c.printed))) << r.out.toStdString();
            EXPECT_FALSE(r.out.contains(u'\r'));
        } else {
            EXPECT_TRUE(r.out.isEmpty());
            EXPECT_TRUE(holds(r.err, QString::fromLatin1(c.printed)));
        }
    }
}

TEST(Cli, LogShowAlignsTheRecordsAndExportWritesTheSpreadsheet) {
    QTemporaryDir dir;
    MRV_ConnectionContext context;
    context.targetCompanyName = u"Tar|get"_s;
    context.targetCompany = std::make_shared<LLObjectsCOM::Company>();
    context.copyMethod = 3;
    context.responseToFailure = 1;
    const auto writeLog = [&](bool end) {
        MRV_CopyLog log(context);
        EXPECT_TRUE(log.open(dir.path()));
        log.writeHeader();
        writeRecord(log,
                    {"MRV_TRN_QUERIES_100", "212", "402", "Q|1", "Open orders", "", "", "", ""});
        writeRecord(
            log, {"MRV_TRN_MANUFACTURERS_100", "212", "403", "7", "Line\nbreak", "", "", "", ""});
        if (end)
            log.writeEnd();
        return log.filePath();
    };
    const QString path = writeLog(true);
    const Result shown = run({u"log"_s, u"show"_s, path});
    ASSERT_TRUE(exits(shown, 0));
    const QStringList lines = shown.out.split(u'\n', Qt::SkipEmptyParts);
    // The header's ids are shown as their texts.
    ASSERT_EQ(lines.size(), 11) << shown.out.toStdString();
    EXPECT_EQ(lines[3], u"Target:       Tar|get"_s);
    EXPECT_EQ(lines[4], u"Copy method:  Add New Records Without Updating Existing Records"_s);
    EXPECT_EQ(lines[5], u"Response:     Obtain user confirmation"_s);
    EXPECT_EQ(lines[6], u"Ignore UDFs:  no"_s);
    EXPECT_EQ(lines[7], u"Backup:       (none made)"_s);
    // The columns line up: every row has its base code where the title
    // line has its column, a "|" in a value included.
    const qsizetype column = lines[8].indexOf(u"Base Code"_s);
    ASSERT_GT(column, 0) << shown.out.toStdString();
    EXPECT_EQ(lines[9].mid(column, 4), u"Q|1 "_s);
    EXPECT_EQ(lines[10].mid(column, 1), u"7"_s);
    EXPECT_TRUE(holds(shown.out, u"Line break"_s));
    // The category's place in the worksheet tree comes from the template.
    EXPECT_TRUE(lines[9].startsWith(u"1.1 "_s));
    EXPECT_TRUE(lines[9].contains(u"Customization"_s));

    const QString sheet = dir.filePath(u"out.xls"_s);
    const Result exported = run({u"log"_s, u"export"_s, path, sheet});
    ASSERT_TRUE(exits(exported, 0));
    EXPECT_TRUE(QFileInfo(sheet).size() > 0);

    EXPECT_EQ(run({u"log"_s, u"show"_s}).status, 2);
    // A missing file, one that is no log and a log whose run was cut off
    // each fail with what is wrong.
    const QString random = dir.filePath(u"random.txt"_s);
    ASSERT_TRUE(writeBytes(random, QByteArray("\x8f\x13\xfe\x00zz|||\xc3", 10)));
    const QString interrupted = writeLog(false);
    const QList<std::pair<QString, QString>> failing{{dir.filePath(u"none"_s), u"none"_s},
                                                     {random, u"is not a copy log"_s},
                                                     {interrupted, u"was interrupted"_s}};
    for (const auto& [file, message] : failing) {
        const Result failed = run({u"log"_s, u"show"_s, file});
        EXPECT_EQ(failed.status, 1) << file.toStdString();
        EXPECT_TRUE(holds(failed.err, message));
        EXPECT_TRUE(holds(failed.err, file));
    }
}

// The header of a log is told in words: the ids of the copy method and the
// response as their texts (an id the writer does not know as its own
// complaint), the flag as yes or no, and both times.
TEST(Cli, LogShowTellsTheHeaderInWords) {
    QTemporaryDir dir;
    struct Case {
        const char* header;
        QStringList expected;
    };
    const QList<Case> cases{
        {"2026-12-04 09:05:07|North Ltd|South Ltd|2022|2027|0",
         {u"Started:      2026-12-04 09:05:07"_s, u"Ended:        2026-12-04 09:17:45"_s,
          u"Base:         North Ltd"_s, u"Target:       South Ltd"_s,
          u"Copy method:  Replace All"_s, u"Response:     Terminate copy process"_s,
          u"Ignore UDFs:  no"_s}},
        {"2026-01-31 23:59:59|||2025|2029|1",
         {u"Base:         "_s, u"Target:       "_s,
          u"Copy method:  Add New Records and Update Existing Records"_s,
          u"Response:     Continue copy process"_s, u"Ignore UDFs:  yes"_s}},
        {"2026-12-04 09:05:07|North Ltd|South Ltd|2022|2027|0|<MRV_BACKUP>/srv/b\\|k.bak",
         {u"Backup:       /srv/b|k.bak"_s, u"Ignore UDFs:  no"_s}},
        {"2026-12-04 09:05:07|A\\|B|C\\\\D|777|31|1",
         {u"Base:         A|B"_s, u"Target:       C\\D"_s,
          u"Copy method:  Log Error: Unknown copy method"_s,
          u"Response:     Log Error: Unknown setting"_s}},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString path = dir.filePath(u"log%1.txt"_s.arg(++n));
        ASSERT_TRUE(writeBytes(path, utf16le(QString::fromUtf8(c.header) +
                                             u"\r\n<MRV_LOG_END>2026-12-04 09:17:45"_s)));
        const Result shown = run({u"log"_s, u"show"_s, path});
        ASSERT_EQ(shown.status, 0) << c.header << shown.err.toStdString();
        const QStringList lines = shown.out.split(u'\n');
        for (const QString& line : c.expected)
            EXPECT_TRUE(lines.contains(line))
                << c.header << ": no line '" << line.toStdString() << "' in\n"
                << shown.out.toStdString();
        EXPECT_FALSE(shown.out.contains(u"(20"_s)) << shown.out.toStdString();
    }
}
