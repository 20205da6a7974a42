#include "cli/MRV_Cli.h"
#include "TestData.h"
#include "config/MRV_CopyLog.h"
#include "di/MRV_ConnectionContext.h"
#include "host/objects/LLCompany.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Result {
    int status;
    QString out;
    QString err;
};

Result run(const QStringList& args) {
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const int status = MRV_Cli(outStream, errStream).run(args);
    return {status, out, err};
}

} // namespace

TEST(Cli, CataloguePrintsEveryEntryOnItsOwnLine) {
    const Result r = run({QStringLiteral("catalogue")});
    ASSERT_EQ(r.status, 0);
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 168);
    EXPECT_EQ(lines.first(), u"MRV_TRN_CUSTOMIZATION_100\t700\tCustomization");
    EXPECT_EQ(lines[3], u"MRV_TRN_UDF_100\t147\tUser-Defined Fields");
    EXPECT_TRUE(lines[166].startsWith(u"MRV_LMS_NOTE29_0\t20000\tThe content of this category "
                                      u"includes:\\n- All information"));
    EXPECT_TRUE(lines.last().startsWith(u"MRV_LMS_NOTE30_0\t20001\tNote that these"));
    for (const QString& line : lines)
        EXPECT_EQ(line.split(u'\t').size(), 3) << line.toStdString();
    EXPECT_TRUE(r.err.isEmpty());

    const Result german =
        run({QStringLiteral("catalogue"), QStringLiteral("--lang"), QStringLiteral("1031")});
    EXPECT_EQ(german.status, 0);
    EXPECT_EQ(german.out.count(u'\n'), 168);
    EXPECT_EQ(run({QStringLiteral("--lang=2057"), QStringLiteral("catalogue")}).status, 0);
}

TEST(Cli, TextPrintsOneTextWithItsLineBreaks) {
    Result r = run({QStringLiteral("text"), QStringLiteral("147")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, u"User-Defined Fields\n");

    r = run({QStringLiteral("text"), QStringLiteral("166"), QStringLiteral("--lang"),
             QStringLiteral("1033")});
    EXPECT_EQ(r.status, 0);
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], u"The content of this category includes:");
    EXPECT_FALSE(r.out.contains(u'\r'));

    r = run({QStringLiteral("text"), QStringLiteral("0")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains(u"no text"));
}

TEST(Cli, WrongCommandLinesExitWithTwoAndSayWhy) {
    const QList<QStringList> wrong{
        {},
        {QStringLiteral("frobnicate")},
        {QStringLiteral("catalogue"), QStringLiteral("--bogus")},
        {QStringLiteral("catalogue"), QStringLiteral("extra")},
        {QStringLiteral("catalogue"), QStringLiteral("--lang")},
        {QStringLiteral("catalogue"), QStringLiteral("--lang"), QStringLiteral("german")},
        {QStringLiteral("catalogue"), QStringLiteral("--lang=-3")},
        {QStringLiteral("text")},
        {QStringLiteral("text"), QStringLiteral("abc")},
        {QStringLiteral("text"), QStringLiteral("-1")},
        {QStringLiteral("text"), QStringLiteral("1"), QStringLiteral("2")},
    };
    for (const QStringList& args : wrong) {
        const Result r = run(args);
        EXPECT_EQ(r.status, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains(u"--help")) << r.err.toStdString();
    }
}

TEST(Cli, HelpAndVersion) {
    Result r = run({QStringLiteral("--help")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith(u"Usage: mirrova-cli"));
    EXPECT_EQ(run({QStringLiteral("catalogue"), QStringLiteral("-h")}).status, 0);
    r = run({QStringLiteral("--version")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith(u"mirrova-cli "));
}

TEST(Cli, LogShowAlignsTheRecordsAndExportWritesTheSpreadsheet) {
    QTemporaryDir dir;
    MRV_ConnectionContext context;
    context.targetCompanyName = QStringLiteral("Tar|get");
    context.targetCompany = std::make_shared<LLObjectsCOM::Company>();
    context.copyMethod = 3;
    context.responseToFailure = 1;
    const auto writeLog = [&](bool end) {
        MRV_CopyLog log(context);
        EXPECT_TRUE(log.open(dir.path()));
        log.writeHeader();
        const QList<QStringList> records{
            {QStringLiteral("MRV_TRN_QUERIES_100"), QStringLiteral("402"), QStringLiteral("Q|1"),
             QStringLiteral("Open orders")},
            {QStringLiteral("MRV_TRN_MANUFACTURERS_100"), QStringLiteral("403"),
             QStringLiteral("7"), QStringLiteral("Line\nbreak")}};
        for (const QStringList& r : records) {
            log.resetRecord();
            log.setCategoryId(r[0]);
            log.setTransactionType(3);
            log.setResult(r[1]);
            log.setBaseCode(r[2]);
            log.setBaseDescription(r[3]);
            log.writeRecord(true);
        }
        if (end)
            log.writeEnd();
        return log.filePath();
    };
    const QString path = writeLog(true);
    const Result shown = run({QStringLiteral("log"), QStringLiteral("show"), path});
    ASSERT_EQ(shown.status, 0) << shown.err.toStdString();
    const QStringList lines = shown.out.split(u'\n', Qt::SkipEmptyParts);
    // The header's ids are shown as their texts.
    ASSERT_EQ(lines.size(), 10) << shown.out.toStdString();
    EXPECT_EQ(lines[3], QStringLiteral("Target:       Tar|get"));
    EXPECT_EQ(lines[4], QStringLiteral("Copy method:  Add New Records Without Updating Existing "
                                       "Records (2024)"));
    EXPECT_TRUE(lines[5].startsWith(QStringLiteral("Response:     "))) << lines[5].toStdString();
    EXPECT_TRUE(lines[5].endsWith(QStringLiteral("(2028)"))) << lines[5].toStdString();
    EXPECT_FALSE(lines[5].contains(QStringLiteral("Log Error")));
    // The columns line up: every row has its base code where the title
    // line has its column, a "|" in a value included.
    const qsizetype column = lines[7].indexOf(QStringLiteral("Base Code"));
    ASSERT_GT(column, 0) << shown.out.toStdString();
    EXPECT_EQ(lines[8].mid(column, 4), QStringLiteral("Q|1 "));
    EXPECT_EQ(lines[9].mid(column, 1), QStringLiteral("7"));
    EXPECT_TRUE(shown.out.contains(QStringLiteral("Line break")));
    // The category's place in the worksheet tree comes from the template.
    EXPECT_TRUE(lines[8].startsWith(QStringLiteral("1.1 ")));
    EXPECT_TRUE(lines[8].contains(QStringLiteral("Customization")));

    const QString sheet = dir.filePath(QStringLiteral("out.xls"));
    const Result exported = run({QStringLiteral("log"), QStringLiteral("export"), path, sheet});
    ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
    EXPECT_TRUE(QFileInfo(sheet).size() > 0);

    EXPECT_EQ(run({QStringLiteral("log"), QStringLiteral("show")}).status, 2);
    // A missing file, one that is no log and a log whose run was cut off
    // each fail with what is wrong.
    const QString random = dir.filePath(QStringLiteral("random.txt"));
    {
        QFile file(random);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("\x8f\x13\xfe\x00zz|||\xc3", 10));
    }
    const QString interrupted = writeLog(false);
    const QList<std::pair<QString, QString>> failing{
        {dir.filePath(QStringLiteral("none")), QStringLiteral("none")},
        {random, QStringLiteral("is not a copy log")},
        {interrupted, QStringLiteral("was interrupted")}};
    for (const auto& [file, message] : failing) {
        const Result failed = run({QStringLiteral("log"), QStringLiteral("show"), file});
        EXPECT_EQ(failed.status, 1) << file.toStdString();
        EXPECT_TRUE(failed.err.contains(message)) << failed.err.toStdString();
        EXPECT_TRUE(failed.err.contains(file)) << failed.err.toStdString();
    }
}
