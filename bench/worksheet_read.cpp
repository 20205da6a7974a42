// How fast a large worksheet reads, and how much memory reading it takes:
// the standard demo's worksheet with Items partly selected, the selection
// holding generated records (keys with characters that need escaping)
// until the file has the size asked for, saved by the program and read
// back into a new worksheet. Prints the time per megabyte and the peak
// memory rise against the file's size (aim: under 3 times); checks that
// every record came back.
//
// Usage: bench_worksheet_read [megabytes] (default 50).
#include "CopyBench.h"
#include "host/admin/LLDemo.h"
#include "interaction/MRV_ScriptedInteraction.h"
#include "worksheet/MRV_SelectionManager.h"
#include "worksheet/MRV_WorksheetManager.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

using namespace LLObjectsCOM;
using namespace bench;
using namespace Qt::StringLiterals;

namespace {

MRV_SelectionObject record(qint64 n) {
    const QString code = u"A%1 <&> \"x\""_s.arg(n, 7, 10, QLatin1Char('0'));
    return {{{u"ItemCode"_s, code, u"String"_s}},
            {},
            {{u"ItemName"_s, u"Item %1 of the 'north' range"_s.arg(n), u"String"_s}}};
}

} // namespace

int readBack(const QString& path, qint64 records, qint64 bytes);

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc == 5 && QByteArray(argv[1]) == "--read")
        return readBack(QString::fromLocal8Bit(argv[2]),
                        QString::fromLocal8Bit(argv[3]).toLongLong(),
                        QString::fromLocal8Bit(argv[4]).toLongLong());
    const double megabytes = argc > 1 ? QString::fromLocal8Bit(argv[1]).toDouble() : 50;
    if (megabytes <= 0)
        return std::fprintf(stderr, "usage: bench_worksheet_read [megabytes]\n"), 2;
    QTemporaryDir dir;
    std::optional<Server> server = newServer(dir);
    QString error;
    if (!server || !Demo::create(*server, u"BASE"_s, u"standard"_s, Demo::DefaultSeed, &error))
        return fail(error), 1;
    MRV_ConnectionContext context;
    context.company = open(*server, u"BASE"_s);
    context.baseCompany = context.company;
    if (!context.company || !saveSettings(context, dir))
        return 1;
    MRV_ScriptedInteraction ui;
    MRV_InteractionScope scope(ui);
    MRV_SelectionManager selection(&context);
    if (selection.openWorksheet() != S_OK)
        return fail(u"the worksheet does not open"_s), 1;
    MRV_Worksheet& ws = selection.worksheet();
    const MRV_WorksheetNode* found = ws.findLeaf(u"MRV_TRN_ITEMSLEAF_100"_s);
    if (!found)
        return fail(u"the worksheet has no Items"_s), 1;
    auto* items = const_cast<MRV_WorksheetNode*>(found);
    items->selected = MRV_WorksheetNode::PartlySelected;

    // A thousand records first, to learn their size in the file.
    const QString path = dir.filePath(u"large_WS.xml"_s);
    const auto save = [&](qint64 records) {
        items->selection.clear();
        items->selection.reserve(records);
        for (qint64 n = 1; n <= records; ++n)
            items->selection.append(record(n));
        return MRV_WorksheetManager(&context).saveWorksheet(ws, path) == S_OK;
    };
    if (!save(1000))
        return fail(u"the worksheet is not saved"_s), 1;
    const qint64 small = QFileInfo(path).size();
    if (!save(1))
        return 1;
    const double perRecord = double(small - QFileInfo(path).size()) / 999;
    const qint64 records = std::max<qint64>(1, qint64(megabytes * 1024 * 1024 / perRecord));
    if (!save(records))
        return fail(u"the worksheet is not saved"_s), 1;
    const qint64 bytes = QFileInfo(path).size();
    // Read in a process of its own: memory this one let go of would hide
    // the peak.
    QProcess reader;
    reader.setProcessChannelMode(QProcess::ForwardedChannels);
    reader.start(QCoreApplication::applicationFilePath(),
                 {u"--read"_s, path, QString::number(records), QString::number(bytes)});
    if (!reader.waitForFinished(-1))
        return fail(u"the reading process did not run"_s), 1;
    return reader.exitCode();
}

// The reading process: the worksheet at path, with its records.
int readBack(const QString& path, qint64 records, qint64 bytes) {
    MRV_ScriptedInteraction ui;
    MRV_InteractionScope scope(ui);
    MRV_ConnectionContext context;
    MRV_Worksheet read;
    const qint64 before = statusKb("VmHWM");
    QElapsedTimer timer;
    timer.start();
    QString problem;
    const HRESULT status = MRV_WorksheetManager(&context).readWorksheetFile(read, path, problem);
    const qint64 ns = timer.nsecsElapsed();
    const qint64 peakKb = statusKb("VmHWM") - before;
    const MRV_WorksheetNode* back = read.findLeaf(u"MRV_TRN_ITEMSLEAF_100"_s);
    const bool whole = status == S_OK && back && back->selection.size() == records &&
                       back->selection.last() == record(records);
    const double ratio = double(peakKb) * 1024 / double(bytes);
    std::printf("worksheet of %.1f MB (%lld selected records): read in %.2f s, %.1f ms/MB\n",
                double(bytes) / (1024 * 1024), records, double(ns) / 1e9,
                ms(ns) / (double(bytes) / (1024 * 1024)));
    std::printf("peak memory rise %.1f MB, ratio to the file %.2f (aim under 3: %s)\n",
                double(peakKb) / 1024, ratio, ratio < 3 ? "met" : "MISSED");
    std::printf("every record read back: %s%s\n", whole ? "yes" : "NO",
                problem.isEmpty() ? "" : qPrintable(u" ("_s + problem + u')'));
    return whole ? 0 : 1;
}
