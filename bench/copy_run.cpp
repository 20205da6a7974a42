// How fast a whole copy run goes, and how much memory it takes, per
// category, each run on its own into an empty target: reading the base,
// writing the intermediate configuration file, reading it back, writing the
// target and one copy-log line per record. Against it, in the same run, a
// plain SQLite copy of the same rows (every column of the record's tables
// read, inserted with a prepared statement in one transaction) into another
// empty company. Peak memory is the rise of the process's peak resident
// size over the run, set against the size of the configuration file the run
// wrote.
//
// Manufacturers (business object 43), Projects (table rows) and
// Territories (business object 200, each below one generated before it, so
// every record names its parent) run from a standard demo base filled with
// generated records; Manufacturers stop at 32,767, the most their smallint
// key can number. Every category runs at a tenth of the records first, and
// the time per record of the two shows whether its run grows linearly. Items and BP General
// Information run from the large demo company (records items, a fifth as
// many partners), into a target that an unmeasured run first gave every
// setup category they refer to.
//
// Usage: bench_copy_run [records [OMRC|OPRJ|OTER|OITM|OCRD]] (default 100000
// records and all five categories).
#include "CopyBench.h"
#include "catalogue/MRV_DataInterfaceFactory.h"
#include "config/MRV_ConfigurationManager.h"
#include "config/MRV_CopyFlow.h"
#include "config/MRV_LogFile.h"
#include "host/admin/LLAdmin.h"
#include "host/admin/LLDemo.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLDatabase.h"
#include "host/objects/LLObjectCatalog.h"
#include "interaction/MRV_ScriptedInteraction.h"
#include "worksheet/MRV_SelectionManager.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>

using namespace LLObjectsCOM;
using namespace bench;

namespace {

// The scripted user, also noting when each stage of the run begins and
// ends (the run announces them as progress) and the peak memory so far.
class StagedInteraction : public MRV_ScriptedInteraction {
public:
    struct Mark {
        QString what;
        qint64 at = 0;
        qint64 peakKb = 0;
    };
    explicit StagedInteraction(const QElapsedTimer& clock) : m_clock(clock) {}

    void progressStart(const QString& text, int minimum, int maximum) override {
        marks.append({text, m_clock.nsecsElapsed(), statusKb("VmHWM")});
        MRV_ScriptedInteraction::progressStart(text, minimum, maximum);
    }
    void progressEnd() override {
        marks.append({QString(), m_clock.nsecsElapsed(), statusKb("VmHWM")});
        MRV_ScriptedInteraction::progressEnd();
    }
    // The end of the stage that began with text; null when it never ran.
    const Mark* endOf(const QString& text) const {
        for (qsizetype i = 0; i + 1 < marks.size(); ++i)
            if (marks[i].what == text && marks[i + 1].what.isEmpty())
                return &marks[i + 1];
        return nullptr;
    }
    const Mark* startOf(const QString& text) const {
        for (const Mark& m : marks)
            if (m.what == text)
                return &m;
        return nullptr;
    }

    QList<Mark> marks;

private:
    const QElapsedTimer& m_clock;
};

struct Category {
    const char* name;
    QString stringId;
    QString table;
    QString condition; // the rows that are the category's records
    // Records of the large demo, not generated: the category needs the
    // setup categories copied first.
    bool largeDemo = false;
    // Tables of lines that travel with each record, copied whole by the
    // plain copy too.
    QStringList lineTables{};
    // Table rows rather than business objects: the aim is higher.
    bool tableRows = false;
    // The host's object of a category without line tables, measured alone.
    int hostObject = 0;
};

struct Outcome {
    qint64 records = 0;
    qint64 runNs = 0;
    qint64 cpuNs = 0;
    qint64 plainNs = 0;
    qint64 hostNs = 0; // the host alone reading and adding the records
    qint64 hostFailures = 0;
    qint64 peakKb = -1;
    qint64 fileBytes = -1;
    qint64 targetRecords = 0;
    qint64 plainRecords = 0;
    qint64 logLines = 0;
    qint64 logFailures = 0;
    HRESULT status = E_FAIL;
    QStringList stages;
    QStringList problems;
};

qint64 count(Company& company, const Category& c) {
    Statement* q = company.state()->database->run(
        QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(c.table, c.condition), {});
    const qint64 n = q && q->next() ? q->integer(0) : -1;
    if (q)
        q->finish();
    return n;
}

} // namespace

namespace {

// The generated rows of a category: the insert, and the values of the
// n-th row (counted from 1).
struct Generator {
    QString insert;
    std::function<QVariantList(qint64)> row;
};

Generator generatorOf(const Category& c) {
    const QDate start(2026, 1, 1);
    if (c.table == u"OMRC")
        return {QStringLiteral("INSERT INTO OMRC (FirmCode, FirmName) VALUES (?, ?)"),
                [](qint64 n) {
                    return QVariantList{n, QStringLiteral("Maker %1 & Sons").arg(n)};
                }};
    if (c.table == u"OTER")
        // A tree: every territory below one generated before it, a tenth at
        // the top. Keys stay clear of the demo's own territories.
        return {QStringLiteral("INSERT INTO OTER (territryID, descript, parent, lindex) "
                               "VALUES (?, ?, ?, ?)"),
                [](qint64 n) {
                    const qint64 parent = n % 10 == 1 ? -2 : 1000 + (n * 7919) % (n - 1) + 1;
                    return QVariantList{1000 + n, QStringLiteral("Region <%1> & \"area\"").arg(n),
                                        parent, n};
                }};
    return {QStringLiteral("INSERT INTO OPRJ (PrjCode, PrjName, Locked, Active, ValidFrom, "
                           "ValidTo) VALUES (?, ?, ?, ?, ?, ?)"),
            [start](qint64 n) {
                return QVariantList{QStringLiteral("BP%1").arg(n, 7, 10, QLatin1Char('0')),
                                    QStringLiteral("Rollout <%1> of the \"%2\" branch")
                                        .arg(n)
                                        .arg(QStringLiteral("north-west")),
                                    QStringLiteral("N"),
                                    n % 5 ? QStringLiteral("Y") : QStringLiteral("N"),
                                    start.addDays(n % 365).toString(u"yyyy-MM-dd 00:00:00"),
                                    start.addDays(365 + n % 365).toString(u"yyyy-MM-dd 00:00:00")};
            }};
}

// Rows added to the base with plain SQL in one transaction, until the
// category holds wanted records (fewer where the key runs out). Generated
// rows are numbered after the ones generated before.
bool fill(Database& db, const Category& c, qint64 have, qint64 wanted, qint64& generated) {
    QString error;
    const Generator generator = generatorOf(c);
    const std::shared_ptr<Statement> insert = db.statement(generator.insert, &error);
    if (!insert)
        return fail(error);
    // Territories number their own: each names a parent generated before
    // it, counted from the first.
    qint64 next = c.table == u"OTER" ? 1 : generated + 1;
    if (c.table == u"OMRC") {
        Statement* q = db.run(QStringLiteral("SELECT MAX(FirmCode) FROM OMRC"), {});
        next = q && q->next() ? q->integer(0) + 1 : 1;
        if (q)
            q->finish();
    }
    if (!db.exec(QStringLiteral("BEGIN"), &error))
        return fail(error);
    for (; have < wanted && (c.table != u"OMRC" || next <= 32767); ++have, ++next)
        if (!insert->exec(generator.row(next)))
            return fail(insert->error());
    if (c.table != u"OTER")
        generated = next - 1;
    return db.exec(QStringLiteral("COMMIT"), &error) || fail(error);
}

// The category's rows, and its records' lines, copied with plain SQLite in
// one transaction; the time taken, or -1.
qint64 plainCopy(Database& base, Database& plain, const Category& c, QString& error) {
    QElapsedTimer timer;
    timer.start();
    if (!plain.exec(QStringLiteral("BEGIN"), &error))
        return -1;
    bool ok = plainRows(base, plain, c.table, c.condition, error) >= 0;
    for (const QString& lines : c.lineTables)
        ok = ok && plainRows(base, plain, lines, QStringLiteral("1 = 1"), error) >= 0;
    if (!ok || !plain.exec(QStringLiteral("COMMIT"), &error)) {
        plain.exec(QStringLiteral("ROLLBACK"));
        return -1;
    }
    return timer.nsecsElapsed();
}

// The stages of the run, from the marks the run left.
QStringList stages(const StagedInteraction& ui, qint64 total, qint64 baseKb) {
    const QString saving = text(10014), writing = text(10021);
    const StagedInteraction::Mark* saveStart = ui.startOf(saving);
    const StagedInteraction::Mark* saveEnd = ui.endOf(saving);
    const StagedInteraction::Mark* writeStart = ui.startOf(writing);
    const StagedInteraction::Mark* writeEnd = ui.endOf(writing);
    if (!saveStart || !saveEnd || !writeStart || !writeEnd)
        return {QStringLiteral("(stages not seen)")};
    const auto line = [baseKb](const char* what, qint64 from, qint64 to, qint64 peakKb) {
        return QStringLiteral("  %1 %2 ms, peak rise so far %3 MB")
            .arg(QLatin1String(what), -38)
            .arg(ms(to - from), 8, 'f', 0)
            .arg(double(peakKb - baseKb) / 1024, 0, 'f', 1);
    };
    return {
        line("checks, log opened", 0, saveStart->at, saveStart->peakKb),
        line("base read, configuration file written", saveStart->at, saveEnd->at, saveEnd->peakKb),
        line("file read back", saveEnd->at, writeStart->at, writeStart->peakKb),
        line("target written, records logged", writeStart->at, writeEnd->at, writeEnd->peakKb),
        line("log closed", writeEnd->at, total, writeEnd->peakKb)};
}

} // namespace

namespace {

// The world of the benchmark: a standard demo base, an empty target for the
// runs and another for plain SQLite, all on one temporary server.
// The host alone doing the run's work on the records, with no program
// around it: GetByKey + GetAsXML of each in the base, then
// GetBusinessObjectFromXML + Add of each document into the target emptied
// of them, in one transaction that is rolled back (the target stays as the
// run left it). The floor the run's document round trip cannot beat.
qint64 hostAlone(Company& base, Company& target, const Category& c, qint64& failures) {
    const ObjectDefinition& def = *ObjectCatalog::standard().object(c.hostObject);
    const QString key = def.keys.first().column;
    QVariantList keys;
    Statement* q = base.state()->database->run(
        QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %1").arg(key, c.table, c.condition),
        {});
    while (q && q->next())
        keys << q->value(0);
    if (q)
        q->finish();
    QElapsedTimer timer;
    timer.start();
    QStringList documents;
    documents.reserve(keys.size());
    {
        const std::unique_ptr<HostObject> o = base.GetBusinessObject(c.hostObject);
        auto* object = static_cast<BusinessObject*>(o.get());
        for (const QVariant& k : std::as_const(keys)) {
            failures += !object->GetByKey({k});
            documents << object->GetAsXML();
        }
    }
    const qint64 reads = timer.nsecsElapsed();
    target.StartTransaction();
    // Emptied, and numbering from the start again (manufacturers' keys are
    // small numbers that the run's own counter has used up to here).
    target.state()->database->exec(
        QStringLiteral("DELETE FROM %1 WHERE %2").arg(c.table, c.condition));
    target.state()->database->exec(
        QStringLiteral("UPDATE ONNM SET AutoKey = 1 WHERE ObjectCode = ?"), nullptr,
        {QString::number(c.hostObject)});
    timer.restart();
    for (const QString& xml : std::as_const(documents))
        failures += target.GetBusinessObjectFromXML(xml, 0)->Add() != 0;
    const qint64 adds = timer.nsecsElapsed();
    target.EndTransaction(1);
    return reads + adds;
}

struct World {
    QTemporaryDir dir;
    std::optional<Server> server;
    MRV_ConnectionContext context;
    std::shared_ptr<Company> plain;

    bool setUp(bool large, qint64 records) {
        server = newServer(dir);
        if (!server)
            return false;
        QString error;
        if (large)
            Demo::setLargeSizesForTesting(int(records), int(std::max<qint64>(1, records / 5)));
        if (!Demo::create(*server, QStringLiteral("BASE"),
                          large ? QStringLiteral("large") : QStringLiteral("standard"),
                          Demo::DefaultSeed, &error))
            return fail(error);
        for (const char* db : {"TARGET", "PLAIN"})
            if (!Admin::createCompany(*server, QLatin1String(db), QStringLiteral("Target Ltd"),
                                      QStringLiteral("US"), Admin::DefaultVersion, &error))
                return fail(error);
        context.company = open(*server, QStringLiteral("BASE"));
        context.baseCompany = context.company;
        context.targetCompany = open(*server, QStringLiteral("TARGET"));
        context.targetCompanyName = QStringLiteral("Target Ltd");
        plain = open(*server, QStringLiteral("PLAIN"));
        if (!context.company || !context.targetCompany || !plain)
            return fail(QStringLiteral("A company does not connect"));
        if (!saveSettings(context, dir))
            return false;
        // The target has none of the base's user-defined fields, which no
        // category of these runs brings: records carry theirs unwritten.
        context.ignoreMissingUdf = true;
        return true;
    }

    // The setup the large demo's master data refers to, copied into the
    // target by one unmeasured run: every category with a manager outside
    // Master Data and Manual Transactions, and the item groups and
    // warehouses, which items name.
    bool prepare() {
        MRV_SelectionManager selection(&context);
        if (selection.openWorksheet() != S_OK)
            return fail(QStringLiteral("the worksheet does not open"));
        MRV_Worksheet& ws = selection.worksheet();
        QStringList masterBranches;
        for (const auto& node : ws.nodes)
            if (node->categoryId == u"MRV_TRN_MASTERDATA_100" ||
                node->categoryId == u"MRV_TRN_MANUALTRANSACTIONS_100")
                masterBranches << node->leafId + u'.';
        for (const auto& node : ws.nodes) {
            const bool master =
                std::any_of(masterBranches.cbegin(), masterBranches.cend(),
                            [&](const QString& branch) { return node->leafId.startsWith(branch); });
            const bool named = node->categoryId == u"MRV_TRN_ITEMGROUPS_100" ||
                               node->categoryId == u"MRV_TRN_WAREHOUSES_100";
            if (node->leaf && MRV_DataInterfaceFactory::hasManager(node->categoryId) &&
                (named || !master))
                ws.select(node->leafId, 1);
        }
        MRV_ScriptedInteraction ui;
        MRV_InteractionScope scope(ui);
        ui.answers = QList<int>(10, MRV_Interaction::ButtonYes);
        MRV_ConfigurationManager manager(context);
        MRV_CopyFlow flow(context, ws, manager);
        if (flow.copyToTargetCompany() != S_OK)
            return fail(QStringLiteral("the setup run failed: ") +
                        ui.transcript.join(u'\n').right(2000));
        // Failed records of the setup show in the measured run as failed
        // items or partners, which the check below names.
        return true;
    }

    // One copy run of the category alone, measured, then checked.
    Outcome run(const Category& c) {
        Outcome out;
        Company& base = *context.baseCompany;
        out.records = count(base, c);
        MRV_SelectionManager selection(&context);
        if (selection.openWorksheet() != S_OK) {
            out.problems << QStringLiteral("the worksheet does not open");
            return out;
        }
        const MRV_WorksheetNode* leaf = selection.worksheet().findLeaf(c.stringId);
        if (!leaf || !selection.worksheet().select(leaf->leafId, 1)) {
            out.problems << QStringLiteral("the category cannot be selected");
            return out;
        }
        QElapsedTimer clock;
        StagedInteraction ui(clock);
        MRV_InteractionScope scope(ui);
        ui.answers = {MRV_Interaction::ButtonYes, MRV_Interaction::ButtonYes,
                      MRV_Interaction::ButtonYes};
        MRV_ConfigurationManager manager(context);
        MRV_CopyFlow flow(context, selection.worksheet(), manager);

        if (!resetPeak())
            out.problems << QStringLiteral("the peak cannot be reset: it includes earlier work");
        const qint64 before = statusKb("VmHWM");
        const qint64 cpuBefore = cpuNs();
        clock.start();
        out.status = flow.copyToTargetCompany();
        out.runNs = clock.nsecsElapsed();
        out.cpuNs = cpuNs() - cpuBefore;
        out.peakKb = statusKb("VmHWM") - before;
        out.stages = stages(ui, out.runNs, before);
        out.fileBytes = flow.intermediateFileSize();

        if (out.status != S_OK)
            out.problems << QStringLiteral("the run returned 0x%1").arg(quint32(out.status), 0, 16);
        for (const QString& line :
             ui.shown(QStringLiteral("unscripted")) + ui.shown(QStringLiteral("error: ")))
            out.problems << line;
        out.targetRecords = count(*context.targetCompany, c);
        MRV_LogFile log(flow.logPath());
        if (log.loadLogFile() != S_OK || !log.hasEndLine())
            out.problems << QStringLiteral("the copy log does not read back whole");
        for (const MRV_LogFile::Row& row : log.rows()) {
            ++out.logLines;
            // A line may succeed with a note (a reference left out).
            if (row.value(MRV_LogFile::Result) == u"Failed" && ++out.logFailures <= 3)
                out.problems << QStringLiteral("logged failure: ") + row.join(u'|').left(300);
        }

        QString error;
        out.plainNs = plainCopy(*base.state()->database, *plain->state()->database, c, error);
        if (out.plainNs < 0)
            out.problems << QStringLiteral("plain copy: ") + error;
        out.plainRecords = count(*plain, c);
        if (c.hostObject)
            out.hostNs = hostAlone(base, *context.targetCompany, c, out.hostFailures);
        return out;
    }
};

} // namespace

namespace {

// Prints the run against its plain copy and the aims; true when the target
// and the log hold every record and nothing went wrong.
bool report(const Category& c, const Outcome& o) {
    // A record with lines of its own table (an item's warehouse rows) logs
    // those too.
    const bool logged = c.lineTables.isEmpty() ? o.logLines == o.records : o.logLines >= o.records;
    const bool whole =
        o.targetRecords == o.records && o.plainRecords == o.records && logged && o.logFailures == 0;
    const bool ok = whole && o.problems.isEmpty();
    std::printf("\n%s: %lld records\n", c.name, o.records);
    std::printf("  copy run     %9.0f records/s (%.2f s end to end, %.2f s of it on the CPU)\n",
                perSecond(o.records, o.runNs), double(o.runNs) / 1e9, double(o.cpuNs) / 1e9);
    std::printf("  plain SQLite %9.0f records/s (%.3f s)  ratio %.1f\n",
                perSecond(o.records, o.plainNs), double(o.plainNs) / 1e9,
                o.plainNs > 0 ? double(o.runNs) / double(o.plainNs) : 0.0);
    if (o.hostNs > 0)
        std::printf("  host alone   %9.0f records/s (reads and adds, %lld failed)  ratio %.1f\n",
                    perSecond(o.records, o.hostNs), o.hostFailures,
                    o.plainNs > 0 ? double(o.hostNs) / double(o.plainNs) : 0.0);
    const double memory = o.fileBytes > 0 ? double(o.peakKb) * 1024 / double(o.fileBytes) : 0;
    std::printf("  peak memory rise %.1f MB, configuration file %.1f MB, ratio %.2f\n",
                double(o.peakKb) / 1024, double(o.fileBytes) / (1024 * 1024), memory);
    // The aims the copy run is held to.
    const double aim = c.tableRows ? 30000 : 15000;
    const double ratio = o.plainNs > 0 ? double(o.runNs) / double(o.plainNs) : 0.0;
    std::printf("  aims: %.0f records/s %s, under 20x plain SQLite %s, peak under 3x the file %s\n",
                aim, perSecond(o.records, o.runNs) >= aim ? "met" : "MISSED",
                ratio > 0 && ratio <= 20 ? "met" : "MISSED",
                memory > 0 && memory < 3 ? "met" : "MISSED");
    for (const QString& line : o.stages)
        std::printf("%s\n", qPrintable(line));
    std::printf("  target holds %lld, plain copy %lld, log lines %lld, logged failures %lld"
                " -> %s\n",
                o.targetRecords, o.plainRecords, o.logLines, o.logFailures,
                ok ? "complete" : "FAILED");
    for (const QString& problem : o.problems)
        std::printf("  problem: %s\n", qPrintable(problem));
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const qint64 wanted = argc > 1 ? QString::fromLocal8Bit(argv[1]).toLongLong() : 100000;
    if (wanted <= 0)
        return std::fprintf(stderr, "usage: bench_copy_run [records [OMRC|OPRJ|OTER|OITM|OCRD]]\n"),
               2;
    QList<Category> categories{
        {"Manufacturers (business object 43, OMRC)",
         QStringLiteral("MRV_TRN_MANUFACTURERS_100"),
         QStringLiteral("OMRC"),
         QStringLiteral("FirmCode <> -1"),
         false,
         {},
         false,
         43},
        {"Projects (table OPRJ)",
         QStringLiteral("MRV_TRN_PROJECTS_100"),
         QStringLiteral("OPRJ"),
         QStringLiteral("1 = 1"),
         false,
         {},
         true},
        {"Territories (business object 200, OTER, each below another)",
         QStringLiteral("MRV_TRN_TERRITORIES_100"),
         QStringLiteral("OTER"),
         QStringLiteral("1 = 1"),
         false,
         {},
         false,
         200},
        {"Items (business object 4, OITM with prices and warehouses)",
         QStringLiteral("MRV_TRN_ITEMSLEAF_100"),
         QStringLiteral("OITM"),
         QStringLiteral("1 = 1"),
         true,
         {QStringLiteral("ITM1"), QStringLiteral("OITW")}},
        {"BP General Information (business object 2, OCRD with addresses, "
         "contacts and banks)",
         QStringLiteral("MRV_TRN_BPGENERALINFO_100"),
         QStringLiteral("OCRD"),
         QStringLiteral("1 = 1"),
         true,
         {QStringLiteral("CRD1"), QStringLiteral("OCPR"), QStringLiteral("OCRB")}}};

    // A second argument keeps only the category whose table it names (for
    // profiling one of them).
    if (argc > 2)
        categories.removeIf([&](const Category& c) {
            return c.table.compare(QString::fromLocal8Bit(argv[2]), Qt::CaseInsensitive) != 0;
        });
    // Each size, and generated records and the large demo, have a server of
    // their own, so that no run's target already holds another's records.
    // A tenth of the records first: the time per record of the two shows
    // whether a category's run grows linearly.
    int failed = 0;
    QHash<QString, double> perRecordAtTenth;
    for (const qint64 size : {std::max<qint64>(1, wanted / 10), wanted}) {
        for (const bool large : {false, true}) {
            QList<Category> group = categories;
            group.removeIf([large](const Category& c) { return c.largeDemo != large; });
            if (group.isEmpty())
                continue;
            World world;
            QElapsedTimer timer;
            timer.start();
            if (!world.setUp(large, size))
                return 1;
            Database& baseDb = *world.context.baseCompany->state()->database;
            qint64 generated = 0;
            for (const Category& c : group)
                if (!large &&
                    !fill(baseDb, c, count(*world.context.baseCompany, c), size, generated))
                    return 1;
            if (large && !world.prepare())
                return 1;
            std::printf("\n%s ready in %.1f s\n",
                        large ? "base (large demo) and target (its setup)"
                              : "base (standard demo + generated records)",
                        double(timer.elapsed()) / 1000);
            for (const Category& c : group) {
                const Outcome outcome = world.run(c);
                failed += !report(c, outcome);
                const double perRecord =
                    double(outcome.runNs) / double(std::max<qint64>(1, outcome.records));
                if (size != wanted)
                    perRecordAtTenth.insert(c.table, perRecord);
                else if (perRecordAtTenth.contains(c.table))
                    std::printf("  time per record against a tenth of the records: %.2f "
                                "(linear: under 1.3) %s\n",
                                perRecord / perRecordAtTenth.value(c.table),
                                perRecord / perRecordAtTenth.value(c.table) < 1.3 ? "met"
                                                                                  : "MISSED");
            }
        }
    }
    return failed == 0 ? 0 : 1;
}
