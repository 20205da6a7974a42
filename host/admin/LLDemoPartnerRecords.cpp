// Business partners with addresses, contact persons and bank accounts.

#include "host/admin/LLDemoWriter.h"

namespace LLObjectsCOM::demo {

namespace {

// Partner i is a customer, a vendor or a lead, in a fixed pattern.
QChar cardType(int index) {
    const int slot = index % 20;
    return slot < 13 ? u'C' : slot < 18 ? u'S' : u'L';
}

void writeAddress(DemoWriter& w, const QString& card, const QString& name, QChar type, int line,
                  const QString& country) {
    const QStringList states = w.keys().states.value(country);
    w.put(QStringLiteral("CRD1"),
          {{QStringLiteral("CardCode"), card},
           {QStringLiteral("Address"), name},
           {QStringLiteral("AddrType"), QString(type)},
           {QStringLiteral("Street"), w.streetName()},
           {QStringLiteral("StreetNo"), QString::number(w.number(1, 2500))},
           {QStringLiteral("City"), w.cityName()},
           {QStringLiteral("ZipCode"), w.zipCode()},
           {QStringLiteral("State"), states.isEmpty() ? QVariant() : QVariant(w.pick(states))},
           {QStringLiteral("Country"), country},
           {QStringLiteral("LineNum"), line}});
}

// Returns the name of the first contact, the partner's default one.
QString writeContacts(DemoWriter& w, const QString& card, int count) {
    DemoKeys& k = w.keys();
    QStringList names;
    for (int c = 0; c < count; ++c) {
        const QString given = w.firstName();
        const QString family = w.lastName();
        QString name = QStringLiteral("%1 %2").arg(given, family);
        if (names.contains(name))
            name += QStringLiteral(" (%1)").arg(c + 1);
        names << name;
        w.put(QStringLiteral("OCPR"),
              {{QStringLiteral("CntctCode"), ++k.lastContact},
               {QStringLiteral("CardCode"), card},
               {QStringLiteral("Name"), name},
               {QStringLiteral("FirstName"), given},
               {QStringLiteral("LastName"), family},
               {QStringLiteral("Title"), c % 2 ? QStringLiteral("Ms.") : QStringLiteral("Mr.")},
               {QStringLiteral("Position"),
                c == 0 ? QStringLiteral("Purchasing") : QStringLiteral("Accounts")},
               {QStringLiteral("Phone1"), w.phone()},
               {QStringLiteral("MobilePhone"), w.phone()},
               {QStringLiteral("E_Mail"),
                QStringLiteral("%1@%2.example.com")
                    .arg(DemoWriter::mailName(given), DemoWriter::mailName(card))},
               {QStringLiteral("BirthDate"),
                DemoWriter::dateText(
                    QDate(w.year() - w.number(25, 60), w.number(1, 12), w.number(1, 28)))}});
    }
    return names.value(0);
}

QString properties(DemoWriter& w) {
    QString flags(64, u'N');
    for (int p = 0; p < 6; ++p)
        if (w.chance(30))
            flags[p] = u'Y';
    return flags;
}

} // namespace

void writePartners(DemoWriter& w, int first, int count, bool full) {
    DemoKeys& k = w.keys();
    for (int i = first; i < first + count; ++i) {
        const QChar type = cardType(i);
        const bool vendor = type == u'S';
        const QString code = QStringLiteral("%1%2").arg(type).arg(i, 5, 10, QLatin1Char('0'));
        // One partner in eight is abroad and deals in a foreign currency.
        const bool abroad = full && w.chance(12);
        const QString country = abroad ? w.pick(k.countries) : k.country;
        const QString currency = abroad        ? w.pick(k.foreignCurrencies)
                                 : w.chance(5) ? QStringLiteral("##")
                                               : k.currency;
        const QString name = w.companyName();
        QVariantMap row{
            {QStringLiteral("CardCode"), code},
            {QStringLiteral("CardName"), name},
            {QStringLiteral("CardType"), QString(type)},
            {QStringLiteral("GroupCode"), w.pick(vendor ? k.vendorGroups : k.customerGroups)},
            {QStringLiteral("Currency"), currency},
            {QStringLiteral("GroupNum"), w.pick(k.paymentTerms)},
            {QStringLiteral("ListNum"), vendor ? 2 : w.pick(k.priceLists)},
            {QStringLiteral("DebPayAcct"),
             w.account(vendor ? (abroad ? QStringLiteral("211200") : QStringLiteral("211100"))
                              : (abroad ? QStringLiteral("112200") : QStringLiteral("112100")))},
            {QStringLiteral("Phone1"), w.phone()},
            {QStringLiteral("E_Mail"),
             QStringLiteral("info@%1.example.com").arg(DemoWriter::mailName(code))},
            {QStringLiteral("BillToDef"), QStringLiteral("Bill to")},
            {QStringLiteral("validFor"), QStringLiteral("Y")},
            {QStringLiteral("CreateDate"), DemoWriter::dateText(w.anyDay())}};
        if (full) {
            row.insert(QStringLiteral("CardFName"), name.toUpper());
            row.insert(QStringLiteral("CmpPrivate"),
                       w.chance(10) ? QStringLiteral("I") : QStringLiteral("C"));
            row.insert(QStringLiteral("Priority"), w.pick(k.priorities));
            row.insert(QStringLiteral("VatGroup"), w.pick(vendor ? k.vatInput : k.vatOutput));
            row.insert(
                QStringLiteral("LicTradNum"),
                QStringLiteral("%1-%2").arg(w.number(10, 99)).arg(w.number(1000000, 9999999)));
            row.insert(QStringLiteral("TaxNumType"),
                       abroad ? QStringLiteral("VAT") : QStringLiteral("EIN"));
            row.insert(QStringLiteral("Industry"), w.pick(k.industries));
            row.insert(QStringLiteral("SlpCode"), vendor ? -1 : w.pick(k.salesEmployees));
            row.insert(QStringLiteral("OwnerCode"), w.pick(k.employees));
            row.insert(QStringLiteral("ShipType"), w.pick(k.shippingTypes));
            row.insert(QStringLiteral("Territory"), w.pick(k.territories));
            row.insert(QStringLiteral("DownPmtAcct"),
                       w.account(vendor ? QStringLiteral("211300") : QStringLiteral("112300")));
            row.insert(QStringLiteral("Phone2"), w.phone());
            row.insert(QStringLiteral("Fax"), w.phone());
            row.insert(
                QStringLiteral("IntrntSite"),
                QStringLiteral("https://www.%1.example.com").arg(DemoWriter::mailName(code)));
            row.insert(QStringLiteral("ShipToDef"), QStringLiteral("Ship to"));
            row.insert(QStringLiteral("CreditLine"), vendor ? 0 : 1000 * w.number(5, 200));
            row.insert(QStringLiteral("DebtLine"), vendor ? 0 : 1000 * w.number(5, 100));
            row.insert(QStringLiteral("Discount"), w.chance(20) ? w.number(1, 10) : 0);
            row.insert(QStringLiteral("Properties"), properties(w));
            row.insert(QStringLiteral("Notes"),
                       QStringLiteral("Partner since %1").arg(w.year() - w.number(0, 15)));
            row.insert(QStringLiteral("Free_Text"), QStringLiteral("Deliveries on weekdays only."));
            if (vendor) {
                const bool withholding = w.chance(30);
                row.insert(QStringLiteral("WTLiable"),
                           withholding ? QStringLiteral("Y") : QStringLiteral("N"));
                if (withholding)
                    row.insert(QStringLiteral("WTCode"), w.pick(k.withholdingCodes));
                row.insert(QStringLiteral("HouseBank"), w.pick(k.banks));
            } else {
                row.insert(QStringLiteral("CommGrCode"), w.pick(k.commissionGroups));
                row.insert(QStringLiteral("DunTerm"), w.pick(k.dunningTerms));
                if (w.chance(15))
                    row.insert(QStringLiteral("CreditCard"), w.pick(k.creditCards));
            }
            if (w.chance(10))
                row.insert(QStringLiteral("ProjectCod"), w.pick(k.projects));
            // Some customers pay through a parent or buy through a channel
            // partner, both of them written before.
            if (type == u'C' && k.customers.size() > 5 && w.chance(10)) {
                row.insert(QStringLiteral("FatherCard"), w.pick(k.customers));
                row.insert(QStringLiteral("FatherType"),
                           w.chance(50) ? QStringLiteral("P") : QStringLiteral("D"));
            }
            if (type == u'C' && k.customers.size() > 5 && w.chance(5))
                row.insert(QStringLiteral("ChannlBP"), w.pick(k.customers));
            if (w.chance(5)) {
                row.insert(QStringLiteral("frozenFor"), QStringLiteral("Y"));
                row.insert(QStringLiteral("frozenFrom"), DemoWriter::dateText(w.day(6, 1)));
                row.insert(QStringLiteral("frozenTo"), DemoWriter::dateText(w.day(6, 30)));
            }
        }
        writeAddress(w, code, QStringLiteral("Bill to"), u'B', 0, country);
        if (full) {
            writeAddress(w, code, QStringLiteral("Ship to"), u'S', 1, country);
            if (w.chance(20))
                writeAddress(w, code, QStringLiteral("Warehouse dock"), u'S', 2, country);
            row.insert(QStringLiteral("CntctPrsn"), writeContacts(w, code, w.number(1, 3)));
            if (vendor || w.chance(10))
                w.put(QStringLiteral("OCRB"),
                      {{QStringLiteral("AbsEntry"), ++k.lastPartnerBank},
                       {QStringLiteral("CardCode"), code},
                       {QStringLiteral("Country"), k.country},
                       {QStringLiteral("BankCode"), w.pick(k.banks)},
                       {QStringLiteral("Account"), QString::number(w.number(100000000, 999999999))},
                       {QStringLiteral("Branch"), w.cityName()},
                       {QStringLiteral("AcctName"), name},
                       {QStringLiteral("SwiftNum"),
                        QStringLiteral("DEMOUS%1").arg(w.number(10, 99))}});
        }
        w.put(QStringLiteral("OCRD"), row);
        if (type == u'C')
            k.customers << code;
        else if (vendor)
            k.vendors << code;
    }
}

} // namespace LLObjectsCOM::demo
