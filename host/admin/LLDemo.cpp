#include "host/admin/LLDemo.h"

#include "host/admin/LLAdmin.h"
#include "host/admin/LLDemoWriter.h"
#include "host/objects/LLDatabase.h"
#include "host/objects/LLErrors.h"
#include "host/objects/LLObjectCatalog.h"

#include <QElapsedTimer>
#include <QSqlQuery>

namespace LLObjectsCOM {

namespace {

constexpr int StandardItems = 300;
constexpr int StandardPartners = 200;

std::pair<int, int>& largeSizesOverride() {
    static std::pair<int, int> sizes{0, 0};
    return sizes;
}

QString& isoFolderOverride() {
    static QString folder;
    return folder;
}

void writeStandard(DemoWriter& w, const QString& database, const QString& isoFolder) {
    demo::writeReference(w, isoFolder);
    demo::writeFinanceSetup(w);
    demo::writeChartOfAccounts(w);
    demo::writePeriodCategories(w);
    demo::writeLayouts(w);
    demo::writeLogisticsSetup(w);
    demo::writeBanking(w);
    demo::writeTaxes(w);
    demo::writeUsers(w);
    demo::writeSalesSetup(w);
    demo::writePartnerSetup(w);
    demo::writeItems(w, 1, StandardItems, true);
    demo::writePartners(w, 1, StandardPartners, true);
    demo::writeItemRelations(w);
    demo::writeNumbering(w);
    demo::writeCustomization(w);
    demo::writeUserSettings(w);
    demo::writeBudgetsAndReports(w);
    demo::writeJournalEntries(w);
    demo::writeCompanySettings(w, database);
}

// The host hands out keys of these objects from ONNM: the counters start
// past the keys the demo gave, so records added later do not collide.
void advanceCounters(DemoWriter& w) {
    for (const ObjectDefinition& o : ObjectCatalog::standard().objects()) {
        if (!o.autoKey || o.keys.size() != 1)
            continue;
        w.exec(QStringLiteral("UPDATE ONNM SET AutoKey = MAX(AutoKey, (SELECT IFNULL(MAX(%1), 0) "
                              "+ 1 FROM %2)) WHERE ObjectCode = ?")
                   .arg(Schema::quoted(o.keys.first().column), Schema::quoted(o.table)),
               {QString::number(o.number)});
    }
}

void count(Database& db, Demo::Summary& summary) {
    QSqlQuery tables(db.connection());
    tables.exec(QStringLiteral("SELECT name FROM main.sqlite_master WHERE type = 'table' AND "
                               "name NOT LIKE 'sqlite_%' ORDER BY name"));
    QStringList names;
    while (tables.next())
        names << tables.value(0).toString();
    summary.tables = int(names.size());
    summary.filledTables = 0;
    for (const QString& name : names) {
        QSqlQuery q(db.connection());
        if (q.exec(QStringLiteral("SELECT EXISTS (SELECT 1 FROM \"%1\")").arg(name)) && q.next() &&
            q.value(0).toBool())
            ++summary.filledTables;
    }
}

} // namespace

QStringList Demo::profiles() {
    return {QStringLiteral("empty"), QStringLiteral("standard"), QStringLiteral("large")};
}

QString Demo::defaultName(const QString& profile) {
    if (profile == u"empty")
        return QStringLiteral("New Company");
    if (profile == u"large")
        return QStringLiteral("Demo Company (large)");
    return QStringLiteral("Demo Company");
}

QString Demo::isoCodesFolder() {
    return isoFolderOverride().isEmpty() ? QStringLiteral("/usr/share/iso-codes/json")
                                         : isoFolderOverride();
}

void Demo::setIsoCodesFolderForTesting(const QString& folder) {
    isoFolderOverride() = folder;
}

void Demo::setLargeSizesForTesting(int items, int partners) {
    largeSizesOverride() = {items, partners};
}

bool Demo::create(const Server& server, const QString& database, const QString& profile,
                  quint32 seed, QString* error) {
    return create(server, database, profile, seed, QString(), nullptr, error);
}

bool Demo::create(const Server& server, const QString& database, const QString& profile,
                  quint32 seed, const QString& companyName, Summary* summary, QString* error) {
    if (!profiles().contains(profile)) {
        setError(error, QStringLiteral("No demo profile '%1' (%2)")
                            .arg(profile, profiles().join(QStringLiteral(", "))));
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    const QString name = companyName.isEmpty() ? defaultName(profile) : companyName;
    if (!Admin::createCompany(server, database, name, QStringLiteral("US"), Admin::DefaultVersion,
                              error))
        return false;
    Summary result;
    QString why;
    {
        std::unique_ptr<Database> db = Database::open(server, server.databasePath(database), &why);
        bool ok = db != nullptr;
        if (ok && profile != u"empty") {
            QSqlQuery q(db->connection());
            const int year = q.exec(QStringLiteral("SELECT MAX(PeriodCat) FROM OACP")) && q.next()
                                 ? q.value(0).toInt()
                                 : 0;
            q.finish();
            ok = year > 0 && db->exec(QStringLiteral("BEGIN"), &why);
            if (year <= 0)
                why = QStringLiteral("The new company has no period category");
            if (ok) {
                DemoWriter w(*db, seed, year, server.caseInsensitive());
                writeStandard(w, database, isoCodesFolder());
                if (profile == u"large") {
                    const auto [items, partners] = largeSizesOverride();
                    demo::writeItems(w, StandardItems + 1, items > 0 ? items : LargeExtraItems,
                                     false);
                    demo::writePartners(w, StandardPartners + 1,
                                        partners > 0 ? partners : LargeExtraPartners, false);
                }
                advanceCounters(w);
                ok = w.ok() && db->exec(QStringLiteral("COMMIT"), &why);
                if (!w.ok())
                    why = w.error();
                if (!ok)
                    db->exec(QStringLiteral("ROLLBACK"));
                result.rowsWritten = w.rows();
            }
        }
        if (ok)
            count(*db, result);
        if (!ok) {
            db.reset();
            QString ignored;
            Admin::dropCompany(server, database, &ignored);
            setError(error, QStringLiteral("Cannot fill the demo company: %1").arg(why));
            return false;
        }
    }
    result.milliseconds = timer.elapsed();
    if (summary)
        *summary = result;
    return true;
}

} // namespace LLObjectsCOM
