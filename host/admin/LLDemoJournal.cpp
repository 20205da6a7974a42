// Journal entries: manual ones, opening balances and stock postings, each
// balanced to the cent.

#include "host/admin/LLDemoWriter.h"

namespace LLObjectsCOM::demo {

namespace {

struct Line {
    QString account;
    QString shortName;            // the account, or the partner of a control account
    qint64 debit = 0, credit = 0; // cents
    QString vatGroup;
    bool costed = false; // carries project, profit center and distribution rule
};

struct Entry {
    QString transType;
    QDate date;
    QString memo;
    QList<Line> lines;
    QString transCode;
    QString foreign; // currency of the partner line, if not local
};

// A sale, a purchase, an expense, an interest income; n picks which.
Entry manualEntry(DemoWriter& w, int n) {
    DemoKeys& k = w.keys();
    Entry e{QStringLiteral("30"), w.anyDay(), QString(), {}, QString(), QString()};
    const qint64 net = qint64(w.number(100, 500000));
    const qint64 tax = (net * 20 + 50) / 100;
    switch (n % 6) {
    case 0: {
        const QString customer = w.pick(k.customers);
        e.memo = QStringLiteral("Invoice to %1").arg(customer);
        e.lines = {{w.account(QStringLiteral("112100")), customer, net + tax, 0, {}, false},
                   {w.account(QStringLiteral("411100")), {}, 0, net, {}, true},
                   {w.account(QStringLiteral("212100")), {}, 0, tax, k.vatOutput.value(0), false}};
        break;
    }
    case 1: {
        const QString vendor = w.pick(k.vendors);
        e.memo = QStringLiteral("Bill from %1").arg(vendor);
        e.lines = {{w.account(QStringLiteral("512100")), {}, net, 0, {}, true},
                   {w.account(QStringLiteral("114100")), {}, tax, 0, k.vatInput.value(0), false},
                   {w.account(QStringLiteral("211100")), vendor, 0, net + tax, {}, false}};
        break;
    }
    case 2: {
        const QString customer = w.pick(k.customers);
        e.memo = QStringLiteral("Export invoice to %1").arg(customer);
        e.foreign = k.foreignCurrencies.value(0);
        e.lines = {{w.account(QStringLiteral("112200")), customer, net, 0, {}, false},
                   {w.account(QStringLiteral("412100")), {}, 0, net, {}, true}};
        break;
    }
    case 3: {
        const QStringList expenses{QStringLiteral("621100"), QStringLiteral("621200"),
                                   QStringLiteral("621300"), QStringLiteral("621800")};
        const QString account = w.account(w.pick(expenses));
        e.memo = QStringLiteral("Monthly expense");
        e.transCode = QStringLiteral("ACCR");
        e.lines = {{account, {}, net, 0, {}, true},
                   {w.account(QStringLiteral("111200")), {}, 0, net, {}, false}};
        break;
    }
    case 4:
        e.memo = QStringLiteral("Payroll");
        e.transCode = QStringLiteral("PAYR");
        e.lines = {{w.account(QStringLiteral("611100")), {}, net, 0, {}, true},
                   {w.account(QStringLiteral("611200")), {}, tax, 0, {}, true},
                   {w.account(QStringLiteral("213100")), {}, 0, net + tax, {}, false}};
        break;
    default:
        e.memo = QStringLiteral("Interest received");
        e.lines = {{w.account(QStringLiteral("111300")), {}, net / 10 + 1, 0, {}, false},
                   {w.account(QStringLiteral("711100")), {}, 0, net / 10 + 1, {}, false}};
    }
    return e;
}

void writeEntry(DemoWriter& w, int id, const Entry& e) {
    DemoKeys& k = w.keys();
    qint64 total = 0;
    for (const Line& l : e.lines)
        total += l.debit;
    const bool costed = w.chance(50);
    const QString project = w.chance(30) ? w.pick(k.projects) : QString();
    QVariantMap head{
        {QStringLiteral("TransId"), id},
        {QStringLiteral("TransType"), e.transType},
        {QStringLiteral("Series"), k.journalSeries},
        {QStringLiteral("Number"), id},
        {QStringLiteral("RefDate"), DemoWriter::dateText(e.date)},
        {QStringLiteral("DueDate"), DemoWriter::dateText(e.date.addDays(30))},
        {QStringLiteral("TaxDate"), DemoWriter::dateText(e.date)},
        {QStringLiteral("Ref1"), QStringLiteral("REF-%1").arg(id, 5, 10, QLatin1Char('0'))},
        {QStringLiteral("Memo"), e.memo.left(50)},
        {QStringLiteral("LocTotal"), total / 100.0},
        {QStringLiteral("SysTotal"), total / 100.0},
        {QStringLiteral("CreateDate"), DemoWriter::dateText(e.date)},
        {QStringLiteral("UserSign"), w.pick(k.userKeys)}};
    if (!e.transCode.isEmpty())
        head.insert(QStringLiteral("TransCode"), e.transCode);
    if (!project.isEmpty())
        head.insert(QStringLiteral("Project"), project);
    if (e.transType == u"30" && w.chance(30))
        head.insert(QStringLiteral("Indicator"), w.pick(k.indicators));
    if (e.transCode == u"ACCR") {
        head.insert(QStringLiteral("AutoStorno"), QStringLiteral("Y"));
        head.insert(QStringLiteral("StornoDate"), DemoWriter::dateText(e.date.addMonths(1)));
    }
    w.put(QStringLiteral("OJDT"), head);
    for (int n = 0; n < e.lines.size(); ++n) {
        const Line& l = e.lines[n];
        const Line& other = e.lines[n == 0 ? 1 : 0];
        QVariantMap row{
            {QStringLiteral("TransId"), id},
            {QStringLiteral("LineNum"), n},
            {QStringLiteral("Account"), l.account},
            {QStringLiteral("ShortName"), l.shortName.isEmpty() ? l.account : l.shortName},
            {QStringLiteral("ContraAct"),
             other.shortName.isEmpty() ? other.account : other.shortName},
            {QStringLiteral("Debit"), l.debit / 100.0},
            {QStringLiteral("Credit"), l.credit / 100.0},
            {QStringLiteral("DebitSys"), l.debit / 100.0},
            {QStringLiteral("CreditSys"), l.credit / 100.0},
            {QStringLiteral("RefDate"), DemoWriter::dateText(e.date)},
            {QStringLiteral("DueDate"), DemoWriter::dateText(e.date.addDays(30))},
            {QStringLiteral("LineMemo"), e.memo.left(50)}};
        if (!e.foreign.isEmpty() && !l.shortName.isEmpty()) {
            // The partner's side in its own currency, at a rate of 1.08.
            row.insert(QStringLiteral("FCCurrency"), e.foreign);
            row.insert(QStringLiteral("FCDebit"), qRound64(l.debit / 1.08) / 100.0);
            row.insert(QStringLiteral("FCCredit"), qRound64(l.credit / 1.08) / 100.0);
        }
        if (!l.vatGroup.isEmpty())
            row.insert(QStringLiteral("VatGroup"), l.vatGroup);
        if (l.costed && costed) {
            row.insert(QStringLiteral("ProfitCode"), w.pick(k.profitCenters));
            row.insert(QStringLiteral("OcrCode"), w.pick(k.distributionRules));
        }
        if (!project.isEmpty())
            row.insert(QStringLiteral("Project"), project);
        w.put(QStringLiteral("JDT1"), row);
    }
}

} // namespace

void writeJournalEntries(DemoWriter& w) {
    int id = 0;
    // Opening balances on the first day of the year, against the opening
    // balances account.
    const QString opening = w.account(QStringLiteral("_SYS00000000003"));
    const QList<std::pair<QString, bool>> balances{{QStringLiteral("111200"), true},
                                                   {QStringLiteral("113100"), true},
                                                   {QStringLiteral("121200"), true},
                                                   {QStringLiteral("221100"), false},
                                                   {QStringLiteral("311100"), false}};
    for (const auto& [code, debit] : balances) {
        const qint64 amount = 100 * qint64(w.number(10000, 900000));
        const QString account = w.account(code);
        Entry e{QStringLiteral("-2"), w.day(1, 1), QStringLiteral("Opening balance"), {}, {}, {}};
        e.lines = {{account, {}, debit ? amount : 0, debit ? 0 : amount, {}, false},
                   {opening, {}, debit ? 0 : amount, debit ? amount : 0, {}, false}};
        writeEntry(w, ++id, e);
    }
    for (int n = 0; n < 48; ++n)
        writeEntry(w, ++id, manualEntry(w, n));
    for (int n = 0; n < 4; ++n) {
        const qint64 amount = qint64(w.number(5000, 200000));
        Entry e{
            QStringLiteral("58"), w.anyDay(), QStringLiteral("Stock count difference"), {}, {}, {}};
        e.lines = {{w.account(QStringLiteral("113100")), {}, amount, 0, {}, false},
                   {w.account(QStringLiteral("513300")), {}, 0, amount, {}, false}};
        writeEntry(w, ++id, e);
    }
    // The next entry the host adds follows these.
    w.exec(QStringLiteral("UPDATE NNM1 SET NextNumber = ? WHERE Series = ?"),
           {id + 1, w.keys().journalSeries});
}

} // namespace LLObjectsCOM::demo
