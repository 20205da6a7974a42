// How fast the details grid shows, sorts and filters a category of many
// records, and how much memory it takes: the Items category of the large
// demo company (records items), listed through its manager as the program
// lists it the first time its node is shown, then shown in the grid of the
// main window's right pane, painted, sorted by the name column, filtered on
// it, and the filter taken off. Memory is the rise of the process's peak
// resident size from before the listing, set against the size of the
// records' texts (two bytes a character, as they are held).
//
// Usage: bench_grid [records] (default 100000). Runs on any Qt platform;
// without a display, QT_QPA_PLATFORM=offscreen.
#include "BenchSupport.h"
#include "catalogue/MRV_DataInterfaceFactory.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_DIDataSet.h"
#include "di/MRV_DIInterface.h"
#include "gui/MRV_DetailFormDlg.h"
#include "gui/MRV_RecordTableModel.h"
#include "gui/MRV_TableSortFilterModel.h"
#include "gui/MRV_WorksheetTreeModel.h"
#include "host/admin/LLAdmin.h"
#include "host/admin/LLDemo.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLPassword.h"
#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetNode.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <malloc.h>
#include <memory>

using namespace LLObjectsCOM;
using namespace bench;

namespace {

constexpr auto ItemsCategory = "MRV_TRN_ITEMSLEAF_100";

int fail(const QString& what) {
    std::fprintf(stderr, "%s\n", qPrintable(what));
    return 1;
}

// The wall time of work, with the events it causes (painting) handled.
qint64 timed(const std::function<void()>& work) {
    QElapsedTimer clock;
    clock.start();
    work();
    QApplication::processEvents();
    return clock.nsecsElapsed();
}

qint64 textBytes(const MRV_DIDataSet& list) {
    qint64 bytes = 0;
    for (const MRV_DIDataSet::Row& row : list.rows())
        for (const QString& value : row.values)
            bytes += value.size() * qint64(sizeof(QChar));
    return bytes;
}

// The grid's column of a list column (its description is the title).
int columnNamed(const MRV_DIDataSet& list, const QString& name) {
    for (int c = 0; c < list.columns().size(); ++c)
        if (list.columns()[c].name == name)
            return c;
    return -1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int wanted = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    if (wanted <= 0)
        return std::fprintf(stderr, "usage: bench_grid [records]\n"), 2;

    QTemporaryDir dir;
    qputenv("LEDGERLINE_HOME", dir.filePath(QStringLiteral("local")).toUtf8());
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
    Password::setIterationsForTesting(1000);
    QString error;
    const QString folder = dir.filePath(QStringLiteral("srv"));
    if (!Server::init(folder, 6, &error))
        return fail(error);
    const Server server = *Server::open(folder);
    Demo::setLargeSizesForTesting(wanted, 1);
    QElapsedTimer made;
    made.start();
    if (!Demo::create(server, QStringLiteral("BASE"), QStringLiteral("large"), Demo::DefaultSeed,
                      &error))
        return fail(error);
    std::printf("large demo with %d extra items made in %.1f s\n", wanted,
                double(made.elapsed()) / 1000);

    MRV_ConnectionContext context;
    context.company = std::make_shared<Company>();
    if (!connect(*context.company, server, QStringLiteral("BASE")))
        return fail(QStringLiteral("the base company does not connect"));
    context.baseCompany = context.company;

    // The worksheet's node for the category, as the tree shows it.
    MRV_Worksheet worksheet;
    auto owned = std::make_unique<MRV_WorksheetNode>();
    MRV_WorksheetNode* node = owned.get();
    node->name = QStringLiteral("Items");
    node->leafId = QStringLiteral("1");
    node->categoryId = QString::fromLatin1(ItemsCategory);
    node->leaf = true;
    node->allowSelection = true;
    node->dataAreaFormat = MRV_WorksheetNode::RecordGrid;
    node->manager = MRV_DataInterfaceFactory(&context).createDataInterface(node->categoryId);
    if (!node->manager)
        return fail(QStringLiteral("no manager lists the items"));
    worksheet.nodes.push_back(std::move(owned));
    MRV_WorksheetTreeModel tree;
    tree.setWorksheet(&worksheet);

    resetPeak();
    const qint64 baseKb = statusKb("VmHWM");
    const qint64 baseRssKb = statusKb("VmRSS");
    const MRV_DIDataSet* list = nullptr;
    const qint64 listNs = timed([&] {
        node->manager->initialize();
        list = node->manager->listFromDatabase();
    });
    if (!list)
        return fail(QStringLiteral("the items are not listed"));
    const qint64 listKb = statusKb("VmHWM");
    malloc_trim(0);
    const qint64 listHeldKb = statusKb("VmRSS") - baseRssKb;
    const qint64 bytes = textBytes(*list);

    MRV_DetailFormDlg form;
    form.setTree(&tree);
    form.setLister([list](MRV_WorksheetNode&) { return list; });
    form.resize(1280, 800);
    form.show();
    QApplication::processEvents();
    const qint64 showNs = timed([&] { form.showNode(node); });
    const QAbstractItemModel& shown = *form.shownRecords();
    const int shownRows = shown.rowCount();
    const int sortColumn = columnNamed(*list, QStringLiteral("ItemName"));
    if (sortColumn < 0)
        return fail(QStringLiteral("the items' list has no name column"));
    const qint64 sortNs = timed(
        [&] { form.shownRecords()->setSortRules({{.column = sortColumn, .ascending = false}}); });
    const qint64 filterNs = timed([&] {
        form.shownRecords()->setFilterRules({{.column = sortColumn,
                                              .rule = MRV_FilterRule::Contains,
                                              .value = QStringLiteral("7"),
                                              .toValue = {}}});
    });
    const int filteredRows = shown.rowCount();
    const qint64 unfilterNs = timed([&] { form.shownRecords()->setFilterRules({}); });
    const qint64 peakKb = statusKb("VmHWM");
    // Freed memory goes back to the system, so what is left is held.
    malloc_trim(0);
    const qint64 heldKb = statusKb("VmRSS") - baseRssKb;

    const auto seconds = [](qint64 ns) { return double(ns) / 1e9; };
    std::printf("Items: %lld records listed, %d shown (the grid's cap is %d)\n",
                qlonglong(list->rows().size()), shownRows, MRV_RecordTableModel::MaxRows);
    std::printf("  listed through the manager %.2f s (peak rise %.1f MB, held %.1f MB)\n",
                seconds(listNs), double(listKb - baseKb) / 1024, double(listHeldKb) / 1024);
    std::printf("  grid shown and painted      %.3f s  (aim 1 s: %s)\n", seconds(showNs),
                showNs <= 1000000000 ? "met" : "MISSED");
    std::printf("  sorted by the name, descending %.3f s  (aim 0.3 s: %s)\n", seconds(sortNs),
                sortNs <= 300000000 ? "met" : "MISSED");
    std::printf("  filtered, name contains 7 (%d rows pass) %.3f s  (aim 0.3 s: %s)\n",
                filteredRows, seconds(filterNs), filterNs <= 300000000 ? "met" : "MISSED");
    std::printf("  filter taken off            %.3f s\n", seconds(unfilterNs));
    const double ratio = bytes > 0 ? double(peakKb - baseKb) * 1024 / double(bytes) : 0;
    std::printf("  memory: peak rise %.1f MB for %.1f MB of record texts, ratio %.2f (aim 3: %s)\n",
                double(peakKb - baseKb) / 1024, double(bytes) / (1024 * 1024), ratio,
                ratio <= 3 ? "met" : "MISSED");
    std::printf("  memory held with the grid shown: %.1f MB, ratio %.2f\n", double(heldKb) / 1024,
                bytes > 0 ? double(heldKb) * 1024 / double(bytes) : 0);
    if (shownRows != std::min<qsizetype>(list->rows().size(), MRV_RecordTableModel::MaxRows))
        return fail(QStringLiteral("the grid does not show the records it should"));
    return 0;
}
