#include "config/MRV_CopyLog.h"
#include "LogTestSupport.h"
#include "TestData.h"
#include "di/MRV_ConnectionContext.h"
#include "host/objects/LLCompany.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

using namespace logtest;

namespace {

class CopyLog : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void withCompanies(const QString& base, const QString& target) {
        context.baseCompany = std::make_shared<LLObjectsCOM::Company>();
        context.baseCompanyName = base;
        context.targetCompany = std::make_shared<LLObjectsCOM::Company>();
        context.targetCompanyName = target;
    }

    // A log of the context opened in the folder, its clock at the moments.
    std::unique_ptr<MRV_CopyLog> opened(QList<QDateTime> moments = {at("2026-12-04 09:05:07")}) {
        auto log = std::make_unique<MRV_CopyLog>(context);
        log->setClock(clockOf(std::move(moments)));
        EXPECT_TRUE(log->open(dir.path()));
        return log;
    }
    // The bytes of a log that holds its header alone.
    static QByteArray headerOnly(MRV_CopyLog& log) {
        log.writeHeader();
        log.close();
        return readBytes(log.filePath());
    }

    QTemporaryDir dir;
    MRV_ConnectionContext context;
};

} // namespace

TEST_F(CopyLog, WritesTheRunAsTheStoredFileByteForByte) {
    withCompanies(u"Base Company Ltd"_s, u"Target/Co?"_s);
    context.copyMethod = 3;
    context.responseToFailure = 1;
    context.ignoreMissingUdf = true;
    MRV_CopyLog log(context);
    log.setClock(clockOf({at("2026-12-04 09:05:07"), at("2026-12-04 09:17:45")}));
    ASSERT_TRUE(log.open(dir.path()));
    EXPECT_EQ(log.filePath(), dir.filePath("TargetCo_20261204090507.txt"));
    EXPECT_EQ(context.logFilePath, log.filePath());
    log.writeHeader();

    log.resetRecord();
    log.setCategoryId(u"MRV_TRN_QUERIES_100"_s);
    log.setTransactionType(3);
    log.setResult(u"402"_s);
    log.setBaseCode(u"Q1"_s);
    log.setBaseDescription(u"Query one"_s);
    log.setTargetCode(u"Q1"_s);
    log.setTargetDescription(u"Query one"_s);
    log.writeRecord(true);

    log.resetRecord();
    log.setCategoryId(u"MRV_TRN_UDF_100"_s);
    log.setTransactionType(2);
    log.setResult(u"403"_s);
    log.setBaseCode(u"OITM.U_X"_s);
    log.setBaseDescription(u"Desc\nline2"_s);
    log.setTargetCode(u"OITM.U_X"_s);
    log.setTargetDescription(u"Target\r\ndesc"_s);
    log.setTargetFormerDescription(u"Former\ndesc"_s);
    log.setError(u"Error\nsecond line"_s);
    log.writeRecord(true);

    // A record not to be written leaves no trace; the next one starts empty.
    log.setError(u"not written"_s);
    log.writeRecord(false);
    log.resetRecord();
    log.setCategoryId(u"MRV_TRN_WAREHOUSES_100"_s);
    log.setTransactionType(7); // not an operation that sets the type
    EXPECT_TRUE(log.field(MRV_CopyLog::TransactionType).isEmpty());
    log.setTransactionType(0);
    log.setResult(u"402"_s);
    log.setTargetCode(u"C3"_s);
    log.setTargetDescription(u"Delete me"_s);
    log.writeRecord(true);

    // A manager logging a whole category.
    log.resetRecord();
    log.setCategoryId(u"MRV_TRN_QUERIES_100"_s);
    log.setTransactionType(u"2022"_s);
    log.setTransactionType(1);
    log.setResult(u"402"_s);
    log.writeRecord(true);

    log.writeEnd();
    EXPECT_FALSE(log.isOpen());
    EXPECT_EQ(readBytes(log.filePath()),
              readBytes(u"" MIRROVA_SOURCE_DIR "/tests/config/data/copylog-expected.txt"_s));
}

TEST_F(CopyLog, HeaderNamesEveryCopyOptionByItsStringId) {
    const QList<std::pair<int, QString>> methods{{1, "2022"}, {2, "2023"},   {3, "2024"},
                                                 {4, "2025"}, {-1, "10009"}, {0, "10009"},
                                                 {5, "10009"}};
    const QList<std::pair<int, QString>> responses{
        {0, "2029"}, {1, "2028"}, {2, "2027"}, {-1, "10010"}, {3, "10010"}};
    int second = 0;
    for (const auto& [method, methodId] : methods) {
        for (const auto& [response, responseId] : responses) {
            context.copyMethod = method;
            context.responseToFailure = response;
            context.ignoreMissingUdf = (second % 2) == 1;
            const QDateTime start = at("2026-01-01 00:00:00").addSecs(second++);
            const QString expected =
                u"%1|||%2|%3|%4\r\n"_s.arg(start.toString(u"yyyy-MM-dd HH:mm:ss"_s), methodId,
                                           responseId, context.ignoreMissingUdf ? "1" : "0");
            EXPECT_EQ(headerOnly(*opened({start})), utf16le(expected)) << method << " " << response;
        }
    }
}

TEST_F(CopyLog, HeaderNamesCompaniesOnlyWhereBaseOrTargetIsACompany) {
    // Descriptions of configuration files are not company names.
    context.baseCompanyName = u"left over"_s;
    context.targetCompanyName = u"left over too"_s;
    context.targetFilePath = dir.filePath("target.xml");
    const auto log = opened();
    EXPECT_EQ(QFileInfo(log->filePath()).fileName(), u"NO_TARGET_20261204090507.txt");
    EXPECT_EQ(headerOnly(*log), utf16le("2026-12-04 09:05:07|||10009|10010|0\r\n"));

    // A company's line feeds would break the header in two.
    withCompanies(u"Base\nName"_s, u"Target\nName"_s);
    const auto second = opened({at("2026-12-04 09:05:08")});
    EXPECT_EQ(QFileInfo(second->filePath()).fileName(), u"Target\nName_20261204090508.txt");
    EXPECT_EQ(headerOnly(*second),
              utf16le("2026-12-04 09:05:08|Base Name|Target Name|10009|10010|0\r\n"));
}

TEST(CopyLogName, FollowsTheNameRules) {
    struct Case {
        const char* folder;
        const char* name;
        bool isCompany;
        const char* start;
        const char* file;
    };
    const char* start = "2026-12-04 09:05:07";
    for (const Case& c : std::initializer_list<Case>{
             {"/logs", "", false, start, "/logs/NO_TARGET_20261204090507.txt"},
             // Not being a company wins over a name.
             {"/logs/", "Acme", false, start, "/logs/NO_TARGET_20261204090507.txt"},
             {"/logs", "What/Co?", true, start, "/logs/WhatCo_20261204090507.txt"},
             {"/logs", "a\\b/c:d*e<f>g?h\"i|j k.l", true, start,
              "/logs/abcdefghi|j k.l_20261204090507.txt"},
             // A folder written the Windows way, with or without its last
             // backslash.
             {"/srv\\Log files\\", "A", true, start, "/srv/Log files/A_20261204090507.txt"},
             {"/srv\\Log files", "A", true, start, "/srv/Log files/A_20261204090507.txt"},
             // Hours count to 23, not to 12.
             {"/l", "A", true, "2026-01-02 23:59:58", "/l/A_20260102235958.txt"}})
        EXPECT_EQ(MRV_CopyLog::fileNameFor(QLatin1String(c.folder), QLatin1String(c.name),
                                           c.isCompany, at(c.start)),
                  QLatin1String(c.file))
            << c.folder << " " << c.name;
    EXPECT_EQ(MRV_CopyLog::fileNamePart(QString::fromUtf16(u"nul\0here", 8)), u"nulhere");
}

TEST(CopyLogName, ALongNameIsCutToFitTheFileSystem) {
    const QString start = u"_20261204090507.txt"_s;
    const QString ascii(4000, u'x');
    const QString part = MRV_CopyLog::fileNamePart(ascii);
    EXPECT_EQ(part, ascii.left(part.size()));
    EXPECT_LE((part + start + u"_999"_s).toUtf8().size(), 255);
    EXPECT_GT(part.size(), 200);
    // Cut between characters, never inside one.
    QString wide;
    for (int i = 0; i < 200; ++i)
        wide += u"\U0001F600é"_s;
    const QString cut = MRV_CopyLog::fileNamePart(wide);
    EXPECT_LE((cut + start + u"_999"_s).toUtf8().size(), 255);
    EXPECT_EQ(cut, wide.left(cut.size()));
    EXPECT_FALSE(cut.back().isHighSurrogate());
    EXPECT_EQ(MRV_CopyLog::fileNamePart(u"short"_s), u"short");
}

TEST_F(CopyLog, OpenFailsWithoutAFolderOrWhereNoFileCanBeMade) {
    withCompanies(u"B"_s, u"T"_s);
    MRV_CopyLog log(context);
    log.setClock(clockOf({at("2026-12-04 09:05:07")}));
    EXPECT_FALSE(log.open(QString()));
    EXPECT_FALSE(log.open(dir.filePath("missing")));
    EXPECT_FALSE(log.isOpen());
    EXPECT_TRUE(context.logFilePath.isEmpty());
    EXPECT_THROW(log.writeHeader(), MRV_CopyLog::WriteError);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(CopyLog, AnEarlierLogOfTheSameSecondIsKept) {
    withCompanies(u"B"_s, u"T"_s);
    ASSERT_TRUE(writeBytes(dir.filePath("T_20261204090507.txt"), "earlier"));
    QFile::link(dir.filePath("elsewhere"), dir.filePath("T_20261204090507_2.txt"));
    const auto log = opened();
    EXPECT_EQ(log->filePath(), dir.filePath("T_20261204090507_3.txt"));
    headerOnly(*log);
    EXPECT_EQ(readBytes(dir.filePath("T_20261204090507.txt")), "earlier");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("elsewhere")));
}

TEST_F(CopyLog, EveryHostileTargetNameGivesAFileInTheFolder) {
    const QStringList names = nastyStrings();
    ASSERT_FALSE(names.isEmpty());
    context.targetCompany = std::make_shared<LLObjectsCOM::Company>();
    for (const QString& name : names) {
        context.targetCompanyName = name;
        SCOPED_TRACE(name.toStdString());
        const auto log = opened();
        EXPECT_EQ(QFileInfo(log->filePath()).absolutePath(), QDir(dir.path()).absolutePath());
        log->writeHeader();
        log->writeEnd();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), names.size());
}

TEST_F(CopyLog, ARunThatDiesKeepsTheLinesWrittenSoFar) {
    const QByteArray written = utf16le("2026-12-04 09:05:07|||10009|10010|0\r\n"
                                       "MRV_TRN_QUERIES_100|212|402|Q1|One|Q1|One||\r\n");
    QString path;
    {
        const auto log = opened();
        path = log->filePath();
        log->writeHeader();
        writeRecord(*log, {"MRV_TRN_QUERIES_100", "212", "402", "Q1", "One", "Q1", "One", "", ""});
        // Readable while the run still holds the file open.
        EXPECT_EQ(readBytes(path), written);
    }
    // Let go of without its end: no end line claims the run completed.
    EXPECT_EQ(readBytes(path), written);
}

// A category's lines are held until its commit, also past what is held in
// memory: a commit writes all of them in order, a discard none.
TEST_F(CopyLog, HeldLinesArriveWithTheCommitOrNotAtAll) {
    const auto log = opened();
    log->writeHeader();
    QStringList fields{
        u"MRV_TRN_QUERIES_100"_s, u"212"_s, u"402"_s, {}, QString(100, u'n'), {}, {}, {}, {}};
    const auto category = [&](int records) {
        log->holdLines();
        for (int i = 0; i < records; ++i) {
            fields[3] = QString::number(i);
            writeRecord(*log, fields);
        }
    };
    const qint64 header = QFileInfo(log->filePath()).size();
    category(6000); // some 2 MB of lines
    EXPECT_EQ(QFileInfo(log->filePath()).size(), header);
    log->discardLines();
    category(6000);
    log->commitLines();
    category(3);
    log->discardLines();
    // Within a hold, what came after a mark goes, in memory or in the file.
    category(7000);
    for (const int more : {5000, 3}) {
        const qint64 mark = log->heldSize();
        category(more);
        log->discardLines(mark);
    }
    log->commitLines();
    log->close();
    const QStringList lines = utf16Text(readBytes(log->filePath())).split(u"\r\n"_s);
    ASSERT_EQ(lines.size(), 1 + 6000 + 7000 + 1);
    for (int i = 0; i < 13000; ++i)
        ASSERT_TRUE(lines[1 + i].startsWith(
            u"MRV_TRN_QUERIES_100|212|402|%1|"_s.arg(i < 6000 ? i : i - 6000)))
            << i;
    EXPECT_TRUE(lines.last().isEmpty());
}

TEST_F(CopyLog, NothingIsWrittenAfterTheEnd) {
    const auto log = opened({at("2026-12-04 09:05:07"), at("2026-12-04 09:05:09")});
    log->writeHeader();
    log->writeEnd();
    log->resetRecord();
    EXPECT_THROW(log->writeRecord(true), MRV_CopyLog::WriteError);
    EXPECT_NO_THROW(log->writeRecord(false));
    EXPECT_THROW(log->writeEnd(), MRV_CopyLog::WriteError);
    EXPECT_EQ(readBytes(log->filePath()),
              utf16le("2026-12-04 09:05:07|||10009|10010|0\r\n<MRV_LOG_END>2026-12-04 09:05:09"));
}

TEST_F(CopyLog, AFileThatCannotGrowIsAWriteError) {
    const auto log = opened();
    log->writeHeader();
    // Files of this process may not grow past 200 bytes for a while: the
    // second record does not fit.
    const auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit small = previous;
    small.rlim_cur = 200;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool thrown = false;
    try {
        for (int i = 0; i < 3; ++i)
            writeRecord(*log, {"MRV_TRN_QUERIES_100", "212", "402", "Q", "", "", "", "", ""});
    } catch (const MRV_CopyLog::WriteError&) {
        thrown = true;
    }
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousSignal);
    EXPECT_TRUE(thrown);
}
