// The standard demo company copied whole into an empty one in one run:
// every category that has a manager selected, as a consultant rolling a
// company out would. Per category, from the run's own progress (it says
// when it begins reading and writing each one): the time reading the base
// into the configuration file and writing the target, the records its log
// lines count, the peak memory rise while it ran, and a plain SQLite copy
// of the rows of its tables (with their objects' line tables) into another
// empty company, set against it. Checks that the log holds no failed line.
//
// Usage: bench_whole_company (prints a table in Markdown).
#include "CopyBench.h"
#include "catalogue/MRV_DataInterfaceFactory.h"
#include "catalogue/MRV_ResourceManager.h"
#include "config/MRV_ConfigurationManager.h"
#include "config/MRV_CopyFlow.h"
#include "config/MRV_LogFile.h"
#include "di/MRV_DIInterface.h"
#include "host/admin/LLDemo.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLObjectCatalog.h"
#include "interaction/MRV_ScriptedInteraction.h"
#include "worksheet/MRV_SelectionManager.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>

#include <algorithm>

using namespace LLObjectsCOM;
using namespace bench;

namespace {

// The scripted user, noting each status text and stage with the time and
// the peak memory since the note before.
class MarkingInteraction : public MRV_ScriptedInteraction {
public:
    struct Mark {
        QString text; // empty at the end of a stage
        qint64 at = 0;
        qint64 peakKb = 0; // since the mark before
    };
    explicit MarkingInteraction(const QElapsedTimer& clock) : m_clock(clock) {}

    void statusText(const QString& text, bool bold, int clearAfterMs) override {
        mark(text);
        MRV_ScriptedInteraction::statusText(text, bold, clearAfterMs);
    }
    void progressStart(const QString& text, int minimum, int maximum) override {
        mark(text);
        MRV_ScriptedInteraction::progressStart(text, minimum, maximum);
    }
    void progressEnd() override {
        mark(QString());
        MRV_ScriptedInteraction::progressEnd();
    }

    QList<Mark> marks;

private:
    void mark(const QString& text) {
        marks.append({text, m_clock.nsecsElapsed(), statusKb("VmHWM")});
        resetPeak();
    }
    const QElapsedTimer& m_clock;
};

struct Figures {
    qint64 readNs = 0, writeNs = 0, peakKb = 0;
    qint64 lines = 0, failures = 0;
    qint64 plainRows = -1, plainNs = 0;
    int order = 0;
};

// The category named in a "Reading '%s'" or "Writing '%s'" status text.
QString named(const QString& status, const QString& format) {
    const qsizetype at = format.indexOf(u"%s");
    if (at < 0 || status.size() < format.size() - 2 || !status.startsWith(format.left(at)) ||
        !status.endsWith(format.mid(at + 2)))
        return QString();
    return status.mid(at, status.size() - (format.size() - 2));
}

// Time and peak of every category, from the marks of the run.
void fromMarks(const QList<MarkingInteraction::Mark>& marks, qint64 startKb,
               QHash<QString, Figures>& figures) {
    const QString reading = text(10071), writing = text(10073);
    for (qsizetype i = 0; i < marks.size(); ++i) {
        QString name = named(marks[i].text, reading);
        const bool read = !name.isEmpty();
        if (!read)
            name = named(marks[i].text, writing);
        if (name.isEmpty())
            continue;
        // To the next category or the end of the stage; other status texts
        // on the way belong to this one.
        qsizetype j = i + 1;
        qint64 peak = 0;
        for (; j < marks.size(); ++j) {
            peak = std::max(peak, marks[j].peakKb);
            const QString& t = marks[j].text;
            if (t.isEmpty() || !named(t, reading).isEmpty() || !named(t, writing).isEmpty())
                break;
        }
        if (j == marks.size())
            continue;
        Figures& f = figures[name];
        if (f.order == 0)
            f.order = int(figures.size());
        (read ? f.readNs : f.writeNs) += marks[j].at - marks[i].at;
        f.peakKb = std::max(f.peakKb, peak - startKb);
    }
}

// The tables a category's records are in: its declared tables and the
// line tables of their objects.
QStringList tablesOf(MRV_DIInterface& manager) {
    QStringList tables;
    for (const MRV_TableDeclaration& t : manager.tables()) {
        tables << t.name;
        if (t.objectType > 0)
            if (const ObjectDefinition* o = ObjectCatalog::standard().object(t.objectType))
                for (const ObjectDefinition::Child& child : o->children)
                    tables << child.table;
    }
    tables.removeDuplicates();
    return tables;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    std::optional<Server> server = newServer(dir);
    if (!server)
        return 1;
    QString error;
    QElapsedTimer setup;
    setup.start();
    for (const auto& [db, profile] :
         {std::pair{"BASE", "standard"}, {"TARGET", "empty"}, {"PLAIN", "empty"}})
        if (!Demo::create(*server, QLatin1String(db), QLatin1String(profile), Demo::DefaultSeed,
                          &error))
            return fail(error), 1;
    MRV_ConnectionContext context;
    context.company = open(*server, QStringLiteral("BASE"));
    context.baseCompany = context.company;
    context.targetCompany = open(*server, QStringLiteral("TARGET"));
    context.targetCompanyName = Demo::defaultName(QStringLiteral("empty"));
    const std::shared_ptr<Company> plain = open(*server, QStringLiteral("PLAIN"));
    if (!context.company || !context.targetCompany || !plain)
        return fail(QStringLiteral("A company does not connect")), 1;
    if (!saveSettings(context, dir))
        return 1;
    // User-defined fields arrive with their category: a record that needs
    // one the target lacks fails.
    context.ignoreMissingUdf = false;
    std::printf("companies ready in %.1f s\n", double(setup.elapsed()) / 1000);

    MRV_SelectionManager selection(&context);
    if (selection.openWorksheet() != S_OK)
        return fail(QStringLiteral("the worksheet does not open")), 1;
    MRV_Worksheet& ws = selection.worksheet();
    int selected = 0;
    for (const auto& node : ws.nodes)
        if (node->leaf && MRV_DataInterfaceFactory::hasManager(node->categoryId))
            selected += ws.select(node->leafId, 1) ? 1 : 0;

    QElapsedTimer clock;
    MarkingInteraction ui(clock);
    MRV_InteractionScope scope(ui);
    ui.answers = QList<int>(10, MRV_Interaction::ButtonYes);
    MRV_ConfigurationManager manager(context);
    MRV_CopyFlow flow(context, ws, manager);
    resetPeak();
    const qint64 startKb = statusKb("VmHWM");
    const qint64 cpuBefore = cpuNs();
    clock.start();
    const HRESULT status = flow.copyToTargetCompany();
    const qint64 runNs = clock.nsecsElapsed(), runCpuNs = cpuNs() - cpuBefore;
    qint64 peakKb = 0;
    for (const MarkingInteraction::Mark& m : ui.marks)
        peakKb = std::max(peakKb, m.peakKb - startKb);
    peakKb = std::max(peakKb, statusKb("VmHWM") - startKb);

    QHash<QString, Figures> figures;
    fromMarks(ui.marks, startKb, figures);
    MRV_LogFile log(flow.logPath());
    const bool logWhole = log.loadLogFile() == S_OK && log.hasEndLine();
    qint64 lines = 0, failures = 0;
    QStringList failed;
    for (const MRV_LogFile::Row& row : log.rows()) {
        Figures& f = figures[row.value(MRV_LogFile::Category)];
        ++f.lines, ++lines;
        if (row.value(MRV_LogFile::Result) == u"Failed") {
            ++f.failures, ++failures;
            if (failed.size() < 5)
                failed << row.join(u'|').left(300);
        }
    }

    // The plain copy of each category's tables, in one transaction each.
    Database& baseDb = *context.baseCompany->state()->database;
    Database& plainDb = *plain->state()->database;
    for (const auto& node : ws.nodes) {
        if (!node->leaf || !MRV_DataInterfaceFactory::hasManager(node->categoryId))
            continue;
        const std::unique_ptr<MRV_DIInterface> category =
            MRV_DataInterfaceFactory(&context).createDataInterface(node->categoryId);
        if (!category)
            continue;
        category->initialize();
        Figures& f = figures[MRV_ResourceManager::instance()->textOf(
            node->categoryId, MRV_Interaction::current().language())];
        QElapsedTimer timer;
        timer.start();
        qint64 rows = plainDb.exec(QStringLiteral("BEGIN")) ? 0 : -1;
        for (const QString& table : tablesOf(*category)) {
            const qint64 copied =
                rows < 0 ? -1
                         : plainRows(baseDb, plainDb, table, QStringLiteral("1 = 1"), error, true);
            rows = copied < 0 ? -1 : rows + copied;
        }
        plainDb.exec(rows < 0 ? QStringLiteral("ROLLBACK") : QStringLiteral("COMMIT"));
        f.plainNs = timer.nsecsElapsed();
        f.plainRows = rows;
    }

    QList<std::pair<QString, Figures>> ordered;
    for (auto it = figures.cbegin(); it != figures.cend(); ++it)
        if (it->order > 0)
            ordered.append({it.key(), *it});
    std::sort(ordered.begin(), ordered.end(),
              [](const auto& a, const auto& b) { return a.second.order < b.second.order; });
    std::printf("\n| category | log lines | read ms | write ms | records/s | plain rows | "
                "plain ms | ratio | peak rise MB |\n|---|---|---|---|---|---|---|---|---|\n");
    int slow = 0;
    for (const auto& [name, f] : ordered) {
        const qint64 ns = f.readNs + f.writeNs;
        // Without rows of its own (settings kept elsewhere, fields made by
        // altering a table) a category has nothing to set against.
        const bool comparable = f.plainRows > 0 && f.plainNs > 0;
        const double ratio = comparable ? double(ns) / double(f.plainNs) : 0;
        slow += ratio > 20 ? 1 : 0;
        std::printf("| %s | %lld | %.1f | %.1f | %.0f | %s | %.2f | %s | %.1f |\n",
                    qPrintable(name), f.lines, ms(f.readNs), ms(f.writeNs), perSecond(f.lines, ns),
                    f.plainRows < 0 ? "n/a" : qPrintable(QString::number(f.plainRows)),
                    ms(f.plainNs), comparable ? qPrintable(QString::number(ratio, 'f', 1)) : "n/a",
                    double(f.peakKb) / 1024);
    }
    const qint64 fileBytes = flow.intermediateFileSize();
    std::printf("\n%d categories selected, %lld read or written; %lld log lines, %lld failed\n",
                selected, qint64(ordered.size()), lines, failures);
    std::printf("whole run %.2f s (%.2f s on the CPU), %.0f records/s; peak memory rise %.1f MB, "
                "configuration file %.1f MB, ratio %.2f\n",
                double(runNs) / 1e9, double(runCpuNs) / 1e9, perSecond(lines, runNs),
                double(peakKb) / 1024, double(fileBytes) / (1024 * 1024),
                fileBytes > 0 ? double(peakKb) * 1024 / double(fileBytes) : 0.0);
    std::printf("categories over 20 times their plain copy: %d\n", slow);
    for (const QString& line : failed)
        std::printf("  failed: %s\n", qPrintable(line));
    const bool ok = status == S_OK && logWhole && failures == 0;
    if (!ok)
        std::printf("FAILED: run status 0x%x, log %s\n", unsigned(status),
                    logWhole ? "whole" : "not read back whole");
    return ok ? 0 : 1;
}
