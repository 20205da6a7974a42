// Banks and house bank accounts, credit cards, payment formats, methods,
// terms and blocks, dunning.

#include "host/admin/LLDemoWriter.h"

namespace LLObjectsCOM::demo {

namespace {

void writeBanks(DemoWriter& w) {
    DemoKeys& k = w.keys();
    const QStringList names{
        QStringLiteral("First Harbor Bank"), QStringLiteral("Prairie National Bank"),
        QStringLiteral("Keystone Savings and Loan"), QStringLiteral("Summit Credit Union"),
        QStringLiteral("Atlantic Merchant Bank")};
    int houseAccount = 0;
    for (int b = 0; b < names.size(); ++b) {
        const int entry = b + 1;
        const QString code = QStringLiteral("0%1").arg(21000000 + 1234567 * b + w.number(0, 9999));
        const QString swift = names[b].left(2).toUpper() +
                              names[b].section(u' ', 1, 1).left(2).toUpper() +
                              QStringLiteral("US%1").arg(w.number(10, 99));
        // The first three banks hold the company's own accounts.
        const int accounts = b < 3 ? 2 - b / 2 : 0;
        QString firstAccount;
        int firstKey = 0;
        for (int a = 0; a < accounts; ++a) {
            const QString number = QString::number(w.number(100000000, 999999999));
            if (a == 0) {
                firstAccount = number;
                firstKey = houseAccount + 1;
            }
            w.put(QStringLiteral("DSC1"),
                  {{QStringLiteral("AbsEntry"), ++houseAccount},
                   {QStringLiteral("BankKey"), entry},
                   {QStringLiteral("BankCode"), code},
                   {QStringLiteral("Country"), k.country},
                   {QStringLiteral("Branch"), w.cityName()},
                   {QStringLiteral("Account"), number},
                   {QStringLiteral("AccNo"),
                    QStringLiteral("HB%1").arg(houseAccount, 2, 10, QLatin1Char('0'))},
                   {QStringLiteral("IBAN"), QString()},
                   {QStringLiteral("AcctName"), a == 0 ? QStringLiteral("Operating account")
                                                       : QStringLiteral("Reserve account")},
                   {QStringLiteral("GLAccount"),
                    w.account(a == 0 ? QStringLiteral("111200") : QStringLiteral("111300"))},
                   {QStringLiteral("GLInterimAccount"), w.account(QStringLiteral("111500"))},
                   {QStringLiteral("Template"), w.pick(k.layoutsPayment)},
                   {QStringLiteral("NextChkNo"), w.number(1000, 5000)},
                   {QStringLiteral("Street"), w.streetName()},
                   {QStringLiteral("City"), w.cityName()},
                   {QStringLiteral("ZipCode"), w.zipCode()}});
        }
        QVariantMap bank{{QStringLiteral("AbsEntry"), entry},
                         {QStringLiteral("BankCode"), code},
                         {QStringLiteral("CountryCod"), k.country},
                         {QStringLiteral("BankName"), names[b]},
                         {QStringLiteral("SwiftNum"), swift},
                         {QStringLiteral("DfltBranch"), w.cityName()},
                         {QStringLiteral("NextChkNo"), w.number(100, 900)}};
        if (firstKey > 0) {
            bank.insert(QStringLiteral("DfltAcct"), firstAccount);
            bank.insert(QStringLiteral("DfltActKey"), firstKey);
            k.bankAccount.insert(code, firstAccount);
        }
        w.put(QStringLiteral("ODSC"), bank);
        k.banks << code;
    }
}

void writeCards(DemoWriter& w) {
    DemoKeys& k = w.keys();
    const QStringList cards{QStringLiteral("Visa"), QStringLiteral("MasterCard"),
                            QStringLiteral("American Express"), QStringLiteral("Discover")};
    for (int c = 0; c < cards.size(); ++c) {
        w.put(QStringLiteral("OCRC"),
              {{QStringLiteral("CreditCard"), c + 1},
               {QStringLiteral("CardName"), cards[c]},
               {QStringLiteral("AcctCode"), w.account(QStringLiteral("111400"))},
               {QStringLiteral("Phone"), w.phone()},
               {QStringLiteral("CompanyId"), QStringLiteral("MID%1").arg(w.number(100000, 999999))},
               {QStringLiteral("Country"), k.country}});
        k.creditCards << c + 1;
    }
    const QList<std::tuple<QString, QString, QString, int, int>> dates{
        {QStringLiteral("NOW"), QStringLiteral("Same day"), QStringLiteral("D"), 0, 0},
        {QStringLiteral("D30"), QStringLiteral("30 days after payment"), QStringLiteral("D"), 30,
         0},
        {QStringLiteral("M15"), QStringLiteral("15th of next month"), QStringLiteral("M"), 15, 1}};
    for (const auto& [code, name, dueOn, days, months] : dates)
        w.put(QStringLiteral("OCDT"), {{QStringLiteral("Code"), code},
                                       {QStringLiteral("Name"), name},
                                       {QStringLiteral("DueOn"), dueOn},
                                       {QStringLiteral("DueDays"), days},
                                       {QStringLiteral("DueMonths"), months}});
    int method = 0;
    for (int c = 0; c < cards.size(); ++c) {
        for (const QString& kind : {QStringLiteral("Standard"), QStringLiteral("Installments")}) {
            const bool installments = kind == u"Installments";
            if (installments && c >= 2)
                continue;
            w.put(QStringLiteral("OCRP"),
                  {{QStringLiteral("CrTypeCode"), ++method},
                   {QStringLiteral("CrTypeName"), QStringLiteral("%1 %2").arg(cards[c], kind)},
                   {QStringLiteral("CreditCard"), c + 1},
                   {QStringLiteral("DueTerms"), std::get<0>(dates[method % dates.size()])},
                   {QStringLiteral("MinCredit"), installments ? 100 : 0},
                   {QStringLiteral("MinToPay"), installments ? 25 : 0},
                   {QStringLiteral("InstalMent"),
                    installments ? QStringLiteral("Y") : QStringLiteral("N")}});
        }
    }
    for (int v = 1; v <= 3; ++v)
        w.put(QStringLiteral("OPVL"), {{QStringLiteral("Code"), v},
                                       {QStringLiteral("Name"), w.companyName()},
                                       {QStringLiteral("ConsolNum"),
                                        QStringLiteral("CV-%1").arg(1000 * v + w.number(1, 999))},
                                       {QStringLiteral("Phone"), w.phone()}});
}

void writePayments(DemoWriter& w) {
    DemoKeys& k = w.keys();
    const QList<std::tuple<QString, QString, QString>> formats{
        {QStringLiteral("ACH"), QStringLiteral("ACH credit transfer file"),
         QStringLiteral("ach.bfp")},
        {QStringLiteral("CHECK"), QStringLiteral("Check printing"), QStringLiteral("check.bfp")},
        {QStringLiteral("WIRE"), QStringLiteral("International wire"), QStringLiteral("wire.bfp")}};
    int format = 0;
    for (const auto& [type, descr, file] : formats)
        w.put(QStringLiteral("OFRM"), {{QStringLiteral("AbsEntry"), ++format},
                                       {QStringLiteral("FrmatType"), type},
                                       {QStringLiteral("Descr"), descr},
                                       {QStringLiteral("FileName"), file}});
    const QList<std::tuple<QString, QString, QString, QString, int>> methods{
        {QStringLiteral("ACH-IN"), QStringLiteral("Incoming ACH transfer"), QStringLiteral("I"),
         QStringLiteral("T"), 1},
        {QStringLiteral("ACH-OUT"), QStringLiteral("Outgoing ACH transfer"), QStringLiteral("O"),
         QStringLiteral("T"), 1},
        {QStringLiteral("CHECK-OUT"), QStringLiteral("Vendor check"), QStringLiteral("O"),
         QStringLiteral("C"), 2},
        {QStringLiteral("WIRE-OUT"), QStringLiteral("Foreign wire transfer"), QStringLiteral("O"),
         QStringLiteral("T"), 3}};
    const QString bank = k.banks.value(0);
    for (const auto& [code, descr, type, payType, fmt] : methods)
        w.put(QStringLiteral("OPYM"),
              {{QStringLiteral("PayMethCod"), code},
               {QStringLiteral("Descript"), descr},
               {QStringLiteral("Type"), type},
               {QStringLiteral("PayType"), payType},
               {QStringLiteral("Format"), fmt},
               {QStringLiteral("BankCountr"), k.country},
               {QStringLiteral("DfltBank"), bank},
               {QStringLiteral("DfltAcct"), k.bankAccount.value(bank)},
               {QStringLiteral("GLAccount"), w.account(QStringLiteral("111200"))},
               {QStringLiteral("MaxAmount"), 250000}});
    for (int b = 1; b <= 4; ++b)
        w.put(
            QStringLiteral("OPYB"),
            {{QStringLiteral("AbsEntry"), b},
             {QStringLiteral("PayBlock"),
              QStringList{QStringLiteral("Disputed invoice"), QStringLiteral("Awaiting documents"),
                          QStringLiteral("Quality check"), QStringLiteral("Legal hold")}[b - 1]}});
}

void writeDunning(DemoWriter& w) {
    DemoKeys& k = w.keys();
    w.put(QStringLiteral("ODUT"), {{QStringLiteral("Code"), 1},
                                   {QStringLiteral("Name"), QStringLiteral("Standard reminders")},
                                   {QStringLiteral("MinBalance"), 50}});
    w.put(QStringLiteral("ODUT"),
          {{QStringLiteral("Code"), 2},
           {QStringLiteral("Name"), QStringLiteral("Strict, with interest")},
           {QStringLiteral("DunBy"), QStringLiteral("P")},
           {QStringLiteral("MinBalance"), 20},
           {QStringLiteral("InterestPct"), 8}});
    k.dunningTerms = {1, 2};
    int line = 0;
    for (int term = 1; term <= 2; ++term)
        for (int level = 1; level <= 3; ++level)
            w.put(QStringLiteral("ODUN"),
                  {{QStringLiteral("LineNum"), ++line},
                   {QStringLiteral("DunTerm"), term},
                   {QStringLiteral("LetrFormat"),
                    k.layoutsDunning[(level - 1) % k.layoutsDunning.size()]},
                   {QStringLiteral("Days"), level * (term == 1 ? 15 : 10)},
                   {QStringLiteral("MinBalance"), term == 1 ? 50 : 20},
                   {QStringLiteral("Fee"), (level - 1) * 10}});
}

void writePaymentTerms(DemoWriter& w) {
    DemoKeys& k = w.keys();
    const QList<std::tuple<QString, QString, int, int, QString>> terms{
        {QStringLiteral("Net 30"), QStringLiteral("P"), 0, 30, QString()},
        {QStringLiteral("Net 60"), QStringLiteral("P"), 0, 60, QString()},
        {QStringLiteral("Net 15"), QStringLiteral("P"), 0, 15, QString()},
        {QStringLiteral("Cash on delivery"), QStringLiteral("P"), 0, 0, QString()},
        {QStringLiteral("2% 10, net 30"), QStringLiteral("P"), 0, 30, QStringLiteral("2/10")},
        {QStringLiteral("End of month plus 30"), QStringLiteral("E"), 1, 0, QString()}};
    int number = 0;
    for (const auto& [name, start, months, days, discount] : terms) {
        w.put(QStringLiteral("OCTG"), {{QStringLiteral("GroupNum"), ++number},
                                       {QStringLiteral("PymntGroup"), name},
                                       {QStringLiteral("DueStart"), start},
                                       {QStringLiteral("ExtraMonth"), months},
                                       {QStringLiteral("ExtraDays"), days},
                                       {QStringLiteral("DiscCode"), discount},
                                       {QStringLiteral("CredLimit"), 1000 * w.number(5, 50)},
                                       {QStringLiteral("ListNum"), w.pick(k.priceLists)}});
        k.paymentTerms << number;
    }
}

} // namespace

void writeBanking(DemoWriter& w) {
    writeBanks(w);
    writeCards(w);
    writePayments(w);
    writeDunning(w);
    writePaymentTerms(w);
}

} // namespace LLObjectsCOM::demo
