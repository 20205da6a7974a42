// Countries, their states and currencies, from Debian's iso-codes data.

#include "host/admin/LLDemoWriter.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace LLObjectsCOM::demo {

namespace {

// The entries of one of the package's files ("3166-1" holds the list under
// that key); empty, with the writer failed, when it cannot be read.
QJsonArray isoEntries(DemoWriter& w, const QString& folder, const QString& standard) {
    const QString path = QStringLiteral("%1/iso_%2.json").arg(folder, standard);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        w.fail(QStringLiteral("Cannot read %1: install the package iso-codes").arg(path));
        return {};
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    const QJsonArray entries = doc.object().value(standard).toArray();
    if (doc.isNull() || entries.isEmpty())
        w.fail(QStringLiteral("%1 is not an iso-codes file of the package iso-codes: %2")
                   .arg(path, parseError.errorString()));
    return entries;
}

// Text cut to what a column holds, at a word boundary where there is one.
QString fitted(const QString& text, int length) {
    if (text.size() <= length)
        return text;
    const QString cut = text.left(length);
    const qsizetype blank = cut.lastIndexOf(u' ');
    return (blank > length / 2 ? cut.left(blank) : cut).trimmed();
}

void writeAddressFormats(DemoWriter& w) {
    const QList<std::pair<QString, QString>> formats{
        {QStringLiteral("North America"),
         QStringLiteral("{StreetNo} {Street}\n{Building}\n{City}, {State} {ZipCode}\n{Country}")},
        {QStringLiteral("Europe"),
         QStringLiteral("{Street} {StreetNo}\n{Building}\n{ZipCode} {City}\n{Country}")},
        {QStringLiteral("United Kingdom"),
         QStringLiteral("{StreetNo} {Street}\n{Block}\n{City}\n{ZipCode}\n{Country}")},
        {QStringLiteral("East Asia"),
         QStringLiteral("{Country}\n{ZipCode} {State} {City}\n{Street} {StreetNo} {Building}")}};
    int code = 0;
    for (const auto& [name, format] : formats) {
        w.put(QStringLiteral("OADF"), {{QStringLiteral("Code"), ++code},
                                       {QStringLiteral("Name"), name},
                                       {QStringLiteral("Format"), format}});
        w.keys().addressFormats << code;
    }
}

void writeCountries(DemoWriter& w, const QString& folder) {
    DemoKeys& k = w.keys();
    for (const QJsonValue& v : isoEntries(w, folder, QStringLiteral("3166-1"))) {
        const QJsonObject c = v.toObject();
        const QString code = c.value(QStringLiteral("alpha_2")).toString();
        const int format = code == k.country ? k.addressFormats.value(0) : w.pick(k.addressFormats);
        w.put(QStringLiteral("OCRY"),
              {{QStringLiteral("Code"), code},
               {QStringLiteral("Name"), fitted(c.value(QStringLiteral("name")).toString(), 100)},
               {QStringLiteral("ReportCode"), c.value(QStringLiteral("alpha_3")).toString()},
               {QStringLiteral("TaxIdDigts"), w.number(0, 3) * 3},
               {QStringLiteral("AddrFormat"), format},
               {QStringLiteral("BankCodeLen"), w.number(0, 2) * 4}});
        k.countries << code;
    }
}

void writeStates(DemoWriter& w, const QString& folder) {
    DemoKeys& k = w.keys();
    for (const QJsonValue& v : isoEntries(w, folder, QStringLiteral("3166-2"))) {
        const QJsonObject s = v.toObject();
        const QString full = s.value(QStringLiteral("code")).toString();
        const qsizetype dash = full.indexOf(u'-');
        const QString country = full.left(dash);
        const QString code = full.mid(dash + 1);
        // Only what the columns hold, and only subdivisions of listed countries.
        if (dash <= 0 || code.size() > 3 || !k.countries.contains(country))
            continue;
        w.put(QStringLiteral("OCST"),
              {{QStringLiteral("Country"), country},
               {QStringLiteral("Code"), code},
               {QStringLiteral("Name"), fitted(s.value(QStringLiteral("name")).toString(), 100)}});
        k.states[country] << code;
    }
    k.homeStates = k.states.value(k.country);
    if (w.ok() && k.homeStates.isEmpty())
        w.fail(QStringLiteral("iso-codes lists no subdivisions of %1").arg(k.country));
}

void writeCurrencies(DemoWriter& w, const QString& folder) {
    DemoKeys& k = w.keys();
    QStringList codes;
    for (const QJsonValue& v : isoEntries(w, folder, QStringLiteral("4217"))) {
        const QJsonObject c = v.toObject();
        const QString code = c.value(QStringLiteral("alpha_3")).toString();
        const QString name = c.value(QStringLiteral("name")).toString();
        const QString unit = name.section(u' ', -1);
        w.put(QStringLiteral("OCRN"), {{QStringLiteral("CurrCode"), code},
                                       {QStringLiteral("CurrName"), fitted(name, 20)},
                                       {QStringLiteral("FrgnName"), fitted(name, 20)},
                                       {QStringLiteral("IsoCode"), code},
                                       {QStringLiteral("ChkName"), fitted(unit, 30)},
                                       {QStringLiteral("Chk100Name"), QStringLiteral("Hundredths")},
                                       {QStringLiteral("Rounding"), QStringLiteral("N")}});
        codes << code;
    }
    if (w.ok() && !codes.contains(k.currency))
        w.fail(QStringLiteral("iso-codes lists no currency %1").arg(k.currency));
    // The foreign currencies that accounts, partners and prices use.
    for (const QString& code :
         {QStringLiteral("EUR"), QStringLiteral("GBP"), QStringLiteral("CAD"),
          QStringLiteral("JPY"), QStringLiteral("CHF"), QStringLiteral("MXN")})
        if (codes.contains(code) && code != k.currency)
            k.foreignCurrencies << code;
    if (w.ok() && k.foreignCurrencies.isEmpty())
        w.fail(QStringLiteral("iso-codes lists none of the usual foreign currencies"));
}

} // namespace

void writeReference(DemoWriter& w, const QString& isoFolder) {
    w.keys().country = QStringLiteral("US");
    w.keys().currency = QStringLiteral("USD");
    writeAddressFormats(w);
    writeCountries(w, isoFolder);
    writeStates(w, isoFolder);
    writeCurrencies(w, isoFolder);
}

} // namespace LLObjectsCOM::demo
