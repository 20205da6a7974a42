// How fast the stand-in host's business objects read and add records,
// against plain SQLite doing the same work on the same rows in the same run
// (the floor no stand-in can beat). Reads: GetByKey + GetAsXML of the items
// of the large demo company. Adds: GetBusinessObjectFromXML + Add of those
// documents, in one transaction, into a copy of the company without items
// (so that what the items point at is there). Usage:
// bench_host_objects [items] (default: all items of the large company).
#include "BenchSupport.h"
#include "host/admin/LLAdmin.h"
#include "host/admin/LLDemo.h"
#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLDatabase.h"
#include "host/objects/LLObjectCatalog.h"
#include "host/objects/LLPassword.h"
#include "host/objects/LLRecordset.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>

using namespace LLObjectsCOM;
using bench::connect;
using bench::perSecond;

namespace {

// One table read with plain SQLite, keeping what it read for the inserts.
struct PlainTable {
    QString name;
    QString keyColumn;
    QStringList columns;
    QList<QVariantList> rows;
};

void readPlain(Database& db, PlainTable& t, const QString& key) {
    Statement* q =
        db.run(QStringLiteral("SELECT * FROM %1 WHERE %2 = ?").arg(t.name, t.keyColumn), {key});
    if (!q)
        return;
    if (t.columns.isEmpty())
        for (int i = 0; i < q->columnCount(); ++i)
            t.columns << q->columnName(i);
    while (q->next()) {
        QVariantList row;
        row.reserve(q->columnCount());
        for (int i = 0; i < q->columnCount(); ++i)
            row << q->value(i);
        t.rows << row;
    }
    q->finish();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Password::setIterationsForTesting(1000);
    QString error;
    if (!Server::init(dir.filePath(QStringLiteral("srv")), 6, &error))
        return std::fprintf(stderr, "%s\n", qPrintable(error)), 1;
    const Server server = *Server::open(dir.filePath(QStringLiteral("srv")));
    QElapsedTimer timer;
    timer.start();
    if (!Demo::create(server, QStringLiteral("BASE"), QStringLiteral("large"), 1, &error))
        return std::fprintf(stderr, "%s\n", qPrintable(error)), 1;
    std::printf("large demo company created in %.1f s\n", double(timer.elapsed()) / 1000);

    Company base;
    if (!connect(base, server, QStringLiteral("BASE")))
        return 1;
    QStringList codes;
    {
        QSqlQuery q(base.state()->database->connection());
        q.exec(QStringLiteral("SELECT ItemCode FROM OITM ORDER BY ItemCode"));
        while (q.next())
            codes << q.value(0).toString();
    }
    if (argc > 1)
        codes = codes.mid(0, QString::fromLocal8Bit(argv[1]).toInt());
    const int count = int(codes.size());
    // Two copies without items: one for the objects, one for plain SQL.
    for (const char* name : {"TARGET", "PLAIN"}) {
        const QString path = server.newDatabasePath(QLatin1String(name));
        if (!base.state()->database->exec(QStringLiteral("VACUUM INTO ?"), &error, {path}))
            return std::fprintf(stderr, "%s\n", qPrintable(error)), 1;
    }
    for (const char* name : {"TARGET", "PLAIN"}) {
        Company c;
        if (!connect(c, server, QLatin1String(name)))
            return 1;
        c.state()->database->exec(QStringLiteral("DELETE FROM ITM1"));
        c.state()->database->exec(QStringLiteral("DELETE FROM OITM"));
    }

    // Reads through the business object.
    QStringList documents;
    documents.reserve(count);
    timer.restart();
    {
        std::unique_ptr<HostObject> o = base.GetBusinessObject(4);
        auto* items = static_cast<BusinessObject*>(o.get());
        for (const QString& code : std::as_const(codes)) {
            items->GetByKey({code});
            documents << items->GetAsXML();
        }
    }
    const qint64 objectReads = timer.nsecsElapsed();
    // The same rows read with plain SQLite: every column of the item and of
    // its lines, each value taken out.
    const ObjectDefinition& items = *ObjectCatalog::standard().object(4);
    QList<PlainTable> tables{{items.table, items.keys.first().column, {}, {}}};
    for (const ObjectDefinition::Child& child : items.children)
        tables.append({child.table, child.links.first().childColumn, {}, {}});
    Database& baseDb = *base.state()->database;
    timer.restart();
    for (const QString& code : std::as_const(codes))
        for (PlainTable& t : tables)
            readPlain(baseDb, t, code);
    const qint64 plainReads = timer.nsecsElapsed();

    // Adds through the business object into an empty company.
    Company target;
    if (!connect(target, server, QStringLiteral("TARGET")))
        return 1;
    timer.restart();
    target.StartTransaction();
    int failed = 0;
    for (const QString& xml : std::as_const(documents))
        failed += target.GetBusinessObjectFromXML(xml, 0)->Add() != 0;
    target.EndTransaction(0);
    const qint64 objectAdds = timer.nsecsElapsed();
    // The same rows inserted with plain SQLite, one prepared statement per
    // table, all columns.
    Company plain;
    if (!connect(plain, server, QStringLiteral("PLAIN")))
        return 1;
    timer.restart();
    {
        Database& db = *plain.state()->database;
        db.exec(QStringLiteral("BEGIN"));
        for (const PlainTable& t : std::as_const(tables)) {
            QStringList marks;
            for (qsizetype i = 0; i < t.columns.size(); ++i)
                marks << QStringLiteral("?");
            const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                    .arg(t.name, t.columns.join(u','), marks.join(u','));
            for (const QVariantList& row : t.rows)
                if (!db.run(sql, row, &error))
                    return std::fprintf(stderr, "%s\n", qPrintable(error)), 1;
        }
        db.exec(QStringLiteral("COMMIT"));
    }
    const qint64 plainAdds = timer.nsecsElapsed();

    std::printf("items: %d (failed adds: %d)\n", count, failed);
    std::printf("reads  GetByKey+GetAsXML %9.0f/s  plain SQLite %9.0f/s  ratio %.1f\n",
                perSecond(count, objectReads), perSecond(count, plainReads),
                double(objectReads) / double(plainReads));
    std::printf("adds   FromXML+Add       %9.0f/s  plain SQLite %9.0f/s  ratio %.1f\n",
                perSecond(count, objectAdds), perSecond(count, plainAdds),
                double(objectAdds) / double(plainAdds));
    return failed == 0 ? 0 : 1;
}
