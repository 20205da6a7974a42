// The standard demo company copied whole into an empty one in one run:
// every category that has a manager selected, as a consultant rolling a
// company out would. Per category, from the run's own progress (it says
// when it begins reading and writing each one): the time reading the base
// into the configuration file and writing the target, the records its log
// lines count, the peak memory rise while it ran, and a plain SQLite copy
// of the rows of its tables (with their objects' line tables) into another
// empty company, set against it. Checks that the log holds no failed line.
//
// Then the same with every category's records repeated ten times over (or
// as often as the argument says), and per category the time per record of
// the two: a category whose run grows faster than its records shows.
//
// Usage: bench_whole_company [times] (prints a table in Markdown).
#include "CompanyScaler.h"
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
using namespace Qt::StringLiterals;

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

// What one run of a company gave.
struct Run {
    QHash<QString, Figures> figures;
    QList<QString> order; // categories as the run met them
    qint64 runNs = 0, cpuNs = 0, peakKb = 0, fileBytes = 0, lines = 0, failures = 0;
    qint64 scaledRows = 0;
    QStringList failed;
    bool ok = false;
};

// The standard demo, each category's records repeated times over, copied
// whole into an empty company; false when it cannot be set up.
bool runCompany(int times, const QStringList& only, Run& out) {
    QTemporaryDir dir;
    std::optional<Server> server = newServer(dir);
    if (!server)
        return false;
    QString error;
    QElapsedTimer setup;
    setup.start();
    for (const auto& [db, profile] :
         {std::pair{"BASE", "standard"}, {"TARGET", "empty"}, {"PLAIN", "empty"}})
        if (!Demo::create(*server, QLatin1String(db), QLatin1String(profile), Demo::DefaultSeed,
                          &error))
            return fail(error);
    MRV_ConnectionContext context;
    context.company = open(*server, QStringLiteral("BASE"));
    context.baseCompany = context.company;
    context.targetCompany = open(*server, QStringLiteral("TARGET"));
    context.targetCompanyName = Demo::defaultName(QStringLiteral("empty"));
    const std::shared_ptr<Company> plain = open(*server, QStringLiteral("PLAIN"));
    if (!context.company || !context.targetCompany || !plain)
        return fail(QStringLiteral("A company does not connect"));
    if (!saveSettings(context, dir))
        return false;
    // User-defined fields arrive with their category: a record that needs
    // one the target lacks fails.
    context.ignoreMissingUdf = false;

    MRV_SelectionManager selection(&context);
    if (selection.openWorksheet() != S_OK)
        return fail(QStringLiteral("the worksheet does not open"));
    MRV_Worksheet& ws = selection.worksheet();
    std::vector<std::unique_ptr<MRV_DIInterface>> categories;
    for (const auto& node : ws.nodes)
        if (node->leaf && MRV_DataInterfaceFactory::hasManager(node->categoryId) &&
            (only.isEmpty() || only.contains(node->categoryId)) && ws.select(node->leafId, 1))
            if (auto category =
                    MRV_DataInterfaceFactory(&context).createDataInterface(node->categoryId)) {
                category->initialize();
                categories.push_back(std::move(category));
            }
    if (times > 1) {
        Database& db = *context.baseCompany->state()->database;
        CompanyScaler scaler(*context.baseCompany);
        if (!db.exec(QStringLiteral("BEGIN"), &error))
            return fail(error);
        for (const auto& category : categories)
            if (!scaler.scale(*category, times, error))
                return fail(category->getCategoryString() + u": "_s + error);
        if (!db.exec(QStringLiteral("COMMIT"), &error))
            return fail(error);
        out.scaledRows = scaler.rowsAdded();
        if (!scaler.passedOver().isEmpty())
            std::printf("not repeated (too short a unique column for the new values): %s\n",
                        qPrintable(scaler.passedOver().join(u", ")));
    }
    std::printf("companies ready in %.1f s (%lld rows added)\n", double(setup.elapsed()) / 1000,
                out.scaledRows);

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
    out.runNs = clock.nsecsElapsed();
    out.cpuNs = cpuNs() - cpuBefore;
    for (const MarkingInteraction::Mark& m : ui.marks)
        out.peakKb = std::max(out.peakKb, m.peakKb - startKb);
    out.peakKb = std::max(out.peakKb, statusKb("VmHWM") - startKb);
    out.fileBytes = flow.intermediateFileSize();

    fromMarks(ui.marks, startKb, out.figures);
    MRV_LogFile log(flow.logPath());
    const bool logWhole = log.loadLogFile() == S_OK && log.hasEndLine();
    for (const MRV_LogFile::Row& row : log.rows()) {
        Figures& f = out.figures[row.value(MRV_LogFile::Category)];
        ++f.lines, ++out.lines;
        // The first failure of each category says why.
        if (row.value(MRV_LogFile::Result) == u"Failed" && f.failures++ == 0)
            out.failed << row.join(u'|').left(300);
        out.failures += row.value(MRV_LogFile::Result) == u"Failed" ? 1 : 0;
    }

    // The plain copy of each category's tables, in one transaction each.
    Database& baseDb = *context.baseCompany->state()->database;
    Database& plainDb = *plain->state()->database;
    for (const auto& category : categories) {
        Figures& f = out.figures[MRV_ResourceManager::instance()->textOf(
            category->getCategoryString(), MRV_Interaction::current().language())];
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
    QList<std::pair<QString, int>> ordered;
    for (auto it = out.figures.cbegin(); it != out.figures.cend(); ++it)
        if (it->order > 0)
            ordered.append({it.key(), it->order});
    std::sort(ordered.begin(), ordered.end(),
              [](const auto& a, const auto& b) { return a.second < b.second; });
    for (const auto& [name, order] : ordered)
        out.order << name;
    out.ok = status == S_OK && logWhole && out.failures == 0;
    if (!out.ok)
        std::printf("FAILED: run status 0x%x, log %s, %lld failed lines\n", unsigned(status),
                    logWhole ? "whole" : "not read back whole", out.failures);
    return true;
}

// Time per log line of a category, in ns; 0 without lines.
double perLine(const Figures& f) {
    return f.lines > 0 ? double(f.readNs + f.writeNs) / double(f.lines) : 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int times = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10;
    if (times < 2)
        return std::fprintf(stderr, "usage: bench_whole_company [times, 2 or more] "
                                    "[category id ...]\n"),
               2;
    // Named categories alone, to look at one closely; the rest are not
    // selected (a record naming one of theirs may then fail).
    QStringList only;
    for (int i = 2; i < argc; ++i)
        only << QString::fromLocal8Bit(argv[i]);
    Run standard, scaled;
    if (!runCompany(1, only, standard) || !runCompany(times, only, scaled))
        return 1;
    std::printf("\n| category | lines | ms | records/s | lines x%d | ms | records/s | per line "
                "x%d / x1 | plain ratio x%d | peak rise MB | failed |\n"
                "|---|---|---|---|---|---|---|---|---|---|---|\n",
                times, times, times);
    int slow = 0, steep = 0;
    for (const QString& name : std::as_const(scaled.order)) {
        const Figures one = standard.figures.value(name), many = scaled.figures.value(name);
        const qint64 ns = many.readNs + many.writeNs;
        // Without rows of its own (settings kept elsewhere, fields made by
        // altering a table) a category has nothing to set against.
        const bool comparable = many.plainRows > 0 && many.plainNs > 0;
        const double ratio = comparable ? double(ns) / double(many.plainNs) : 0;
        slow += ratio > 20 ? 1 : 0;
        const double growth = perLine(one) > 0 ? perLine(many) / perLine(one) : 0;
        steep += growth > 1.3 ? 1 : 0;
        std::printf("| %s | %lld | %.1f | %.0f | %lld | %.1f | %.0f | %s | %s | %.1f | %lld |\n",
                    qPrintable(name), one.lines, ms(one.readNs + one.writeNs),
                    perSecond(one.lines, one.readNs + one.writeNs), many.lines, ms(ns),
                    perSecond(many.lines, ns),
                    growth > 0 ? qPrintable(QString::number(growth, 'f', 2)) : "n/a",
                    comparable ? qPrintable(QString::number(ratio, 'f', 1)) : "n/a",
                    double(many.peakKb) / 1024, one.failures + many.failures);
    }
    for (const auto& [what, r] : {std::pair{"standard", &standard}, {"scaled", &scaled}}) {
        std::printf("\n%s: %lld log lines, %lld failed; whole run %.2f s (%.2f s on the CPU), "
                    "%.0f records/s; peak memory rise %.1f MB, configuration file %.1f MB, "
                    "ratio %.2f\n",
                    what, r->lines, r->failures, double(r->runNs) / 1e9, double(r->cpuNs) / 1e9,
                    perSecond(r->lines, r->runNs), double(r->peakKb) / 1024,
                    double(r->fileBytes) / (1024 * 1024),
                    r->fileBytes > 0 ? double(r->peakKb) * 1024 / double(r->fileBytes) : 0.0);
        for (const QString& line : r->failed)
            std::printf("  failed: %s\n", qPrintable(line));
    }
    std::printf("categories over 20 times their plain copy: %d; time per line growing more than "
                "1.3 times: %d\n",
                slow, steep);
    return standard.ok && scaled.ok ? 0 : 1;
}
