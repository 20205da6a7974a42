// Company-wide settings: administration fields, address lines, holidays,
// print preferences and document numbering.

#include "host/admin/LLDemoWriter.h"

namespace LLObjectsCOM::demo {

namespace {

void update(DemoWriter& w, const QString& table, const QVariantMap& values) {
    QStringList sets;
    for (auto it = values.keyBegin(); it != values.keyEnd(); ++it)
        sets << QStringLiteral("\"%1\" = ?").arg(*it);
    w.exec(QStringLiteral("UPDATE %1 SET %2").arg(table, sets.join(u',')), values.values());
}

// The weekday of a month's n-th such day (Qt: Monday 1 ... Sunday 7).
QDate nthWeekday(int year, int month, int weekday, int n) {
    QDate day(year, month, 1);
    while (day.dayOfWeek() != weekday)
        day = day.addDays(1);
    return day.addDays(7 * (n - 1));
}

QDate lastWeekday(int year, int month, int weekday) {
    QDate day = QDate(year, month, 1).addMonths(1).addDays(-1);
    while (day.dayOfWeek() != weekday)
        day = day.addDays(-1);
    return day;
}

void writeHolidays(DemoWriter& w, const QString& code) {
    const int y = w.year();
    w.put(QStringLiteral("OHLD"),
          {{QStringLiteral("HldCode"), code},
           {QStringLiteral("WeekendFrom"), 7},
           {QStringLiteral("WeekendTo"), 1},
           {QStringLiteral("Remarks"), QStringLiteral("Federal holidays")}});
    const QList<std::pair<QDate, QString>> days{
        {QDate(y, 1, 1), QStringLiteral("New Year's Day")},
        {lastWeekday(y, 5, 1), QStringLiteral("Memorial Day")},
        {QDate(y, 7, 4), QStringLiteral("Independence Day")},
        {nthWeekday(y, 9, 1, 1), QStringLiteral("Labor Day")},
        {nthWeekday(y, 11, 4, 4), QStringLiteral("Thanksgiving")},
        {QDate(y, 12, 25), QStringLiteral("Christmas Day")}};
    for (const auto& [day, name] : days)
        w.put(QStringLiteral("HLD1"), {{QStringLiteral("HldCode"), code},
                                       {QStringLiteral("StrDate"), DemoWriter::dateText(day)},
                                       {QStringLiteral("EndDate"), DemoWriter::dateText(day)},
                                       {QStringLiteral("Remarks"), name}});
    w.put(QStringLiteral("OHLD"), {{QStringLiteral("HldCode"), QStringLiteral("Plant shutdown")},
                                   {QStringLiteral("IgnoreWeekend"), QStringLiteral("Y")}});
    w.put(QStringLiteral("HLD1"),
          {{QStringLiteral("HldCode"), QStringLiteral("Plant shutdown")},
           {QStringLiteral("StrDate"), DemoWriter::dateText(QDate(y, 12, 24))},
           {QStringLiteral("EndDate"), DemoWriter::dateText(QDate(y, 12, 31))}});
}

void writePrintPreferences(DemoWriter& w) {
    // Every company has the preferences of PrintId 1.
    update(
        w, QStringLiteral("OADP"),
        {{QStringLiteral("WordPath"), QStringLiteral("\\\\fileserver\\ledgerline\\word")},
         {QStringLiteral("BitmapPath"), QStringLiteral("\\\\fileserver\\ledgerline\\pictures")},
         {QStringLiteral("AttachPath"), QStringLiteral("\\\\fileserver\\ledgerline\\attachments")},
         {QStringLiteral("ExtPath"), QStringLiteral("\\\\fileserver\\ledgerline\\extensions")},
         {QStringLiteral("DfltPrinter"), QStringLiteral("Office laser")},
         {QStringLiteral("PrintLogo"), QStringLiteral("Y")},
         {QStringLiteral("PriceHierarchy"), QStringLiteral("Y")}});
    int n = 0;
    for (const QString& object : {QStringLiteral("13"), QStringLiteral("15"), QStringLiteral("17"),
                                  QStringLiteral("22"), QStringLiteral("23"), QStringLiteral("24")})
        w.put(QStringLiteral("ADP1"),
              {{QStringLiteral("PrintId"), 1},
               {QStringLiteral("ObjType"), object},
               {QStringLiteral("MaxLineNum"), 20 + 5 * n},
               {QStringLiteral("TopMrgn"), 10},
               {QStringLiteral("BtmMrgn"), 10},
               {QStringLiteral("PrnCompany"), QStringLiteral("Y")},
               {QStringLiteral("DraftNote"), QStringLiteral("Y")},
               {QStringLiteral("PrintRcpt"), ++n % 2 ? QStringLiteral("Y") : QStringLiteral("N")}});
}

} // namespace

void writeNumbering(DemoWriter& w) {
    DemoKeys& k = w.keys();
    const QString year = QString::number(w.year());
    w.put(QStringLiteral("OPID"),
          {{QStringLiteral("Indicator"), year},
           {QStringLiteral("Code"), QStringLiteral("FY") + year},
           {QStringLiteral("Descr"), QStringLiteral("Financial year %1").arg(year)}});
    const QList<std::tuple<QString, QString, QString, QString>> documents{
        {QStringLiteral("2"), QStringLiteral("C"), QStringLiteral("Business Partners"),
         QStringLiteral("C")},
        {QStringLiteral("2"), QStringLiteral("S"), QStringLiteral("Business Partners"),
         QStringLiteral("V")},
        {QStringLiteral("13"), QStringLiteral("--"), QStringLiteral("A/R Invoices"),
         QStringLiteral("IN")},
        {QStringLiteral("14"), QStringLiteral("--"), QStringLiteral("A/R Credit Memos"),
         QStringLiteral("CN")},
        {QStringLiteral("15"), QStringLiteral("--"), QStringLiteral("Deliveries"),
         QStringLiteral("DN")},
        {QStringLiteral("17"), QStringLiteral("--"), QStringLiteral("Sales Orders"),
         QStringLiteral("SO")},
        {QStringLiteral("18"), QStringLiteral("--"), QStringLiteral("A/P Invoices"),
         QStringLiteral("PI")},
        {QStringLiteral("20"), QStringLiteral("--"), QStringLiteral("Goods Receipt POs"),
         QStringLiteral("GR")},
        {QStringLiteral("22"), QStringLiteral("--"), QStringLiteral("Purchase Orders"),
         QStringLiteral("PO")},
        {QStringLiteral("23"), QStringLiteral("--"), QStringLiteral("Sales Quotations"),
         QStringLiteral("SQ")},
        {QStringLiteral("24"), QStringLiteral("--"), QStringLiteral("Incoming Payments"),
         QStringLiteral("RC")},
        {QStringLiteral("30"), QStringLiteral("--"), QStringLiteral("Journal Entries"),
         QStringLiteral("JE")},
        {QStringLiteral("46"), QStringLiteral("--"), QStringLiteral("Outgoing Payments"),
         QStringLiteral("PV")},
        {QStringLiteral("59"), QStringLiteral("--"), QStringLiteral("Goods Receipts"),
         QStringLiteral("GI")},
        {QStringLiteral("60"), QStringLiteral("--"), QStringLiteral("Goods Issues"),
         QStringLiteral("GO")},
        {QStringLiteral("68"), QStringLiteral("--"), QStringLiteral("Work Instructions"),
         QStringLiteral("WI")}};
    int series = 0;
    for (const auto& [object, subType, name, prefix] : documents) {
        // Sales and purchasing documents keep a second series per year.
        const bool second = object == u"13" || object == u"17" || object == u"22";
        for (int s = 0; s < (second ? 2 : 1); ++s) {
            const int initial = s == 0 ? 1 : 500000;
            w.put(
                QStringLiteral("NNM1"),
                {{QStringLiteral("ObjectCode"), object},
                 {QStringLiteral("Series"), ++series},
                 {QStringLiteral("SeriesName"),
                  s == 0 ? QStringLiteral("Primary") : QStringLiteral("Branch ") + year},
                 {QStringLiteral("DocSubType"), subType},
                 {QStringLiteral("InitialNum"), initial},
                 {QStringLiteral("NextNumber"), initial + (object == u"30" ? 0 : w.number(0, 400))},
                 {QStringLiteral("LastNum"), s == 0 ? 499999 : 999999},
                 {QStringLiteral("Prefix"), prefix + QStringLiteral("-")},
                 {QStringLiteral("Remarks"), QStringLiteral("%1, series %2").arg(name).arg(s + 1)},
                 {QStringLiteral("Indicator"), s == 0 ? QStringLiteral("Default") : year}});
            if (object == u"30")
                k.journalSeries = series;
        }
        if (subType == u"S")
            continue; // one default per object: the customers' series
        if (w.scalar(QStringLiteral("SELECT COUNT(*) FROM ONNM WHERE ObjectCode = ?"), {object})
                .toInt() == 0)
            w.put(QStringLiteral("ONNM"), {{QStringLiteral("ObjectCode"), object},
                                           {QStringLiteral("AutoKey"), 1},
                                           {QStringLiteral("ObjectName"), name}});
        w.exec(QStringLiteral(
                   "UPDATE ONNM SET DfltSeries = ?, ManageSeries = 'Y' WHERE ObjectCode = ?"),
               {series - (second ? 1 : 0), object});
    }
}

void writeCompanySettings(DemoWriter& w, const QString& database) {
    DemoKeys& k = w.keys();
    const QString holidays = QStringLiteral("US %1").arg(w.year());
    writeHolidays(w, holidays);
    writePrintPreferences(w);
    const QString state =
        k.homeStates.contains(QStringLiteral("CA")) ? QStringLiteral("CA") : k.homeStates.value(0);
    const QString bank = k.banks.value(0);
    update(
        w, QStringLiteral("OADM"),
        {{QStringLiteral("CurrPeriod"), QStringLiteral("%1-01").arg(w.year())},
         {QStringLiteral("Address"), QStringLiteral("1200 Harbor Boulevard\nSuite 400")},
         {QStringLiteral("Country"), k.country},
         {QStringLiteral("State"), state},
         {QStringLiteral("PrintingHeader"), QStringLiteral("Demo Company")},
         {QStringLiteral("ManagingDirector"),
          QStringLiteral("%1 %2").arg(w.firstName(), w.lastName())},
         {QStringLiteral("PhoneNumber1"), w.phone()},
         {QStringLiteral("PhoneNumber2"), w.phone()},
         {QStringLiteral("FaxNumber"), w.phone()},
         {QStringLiteral("eMail"), QStringLiteral("office@demo.example.com")},
         {QStringLiteral("UseTax"), QStringLiteral("Y")},
         {QStringLiteral("DefaultTaxCode"), QStringLiteral("CA")},
         {QStringLiteral("TaxOffice"), QStringLiteral("Sacramento")},
         {QStringLiteral("FederalTaxID"),
          QStringLiteral("%1-%2").arg(w.number(10, 99)).arg(w.number(1000000, 9999999))},
         {QStringLiteral("HolidaysName"), holidays},
         {QStringLiteral("CompanyColor"), 3},
         {QStringLiteral("StandardUnitofLength"), k.lengthUnits.value(3)},
         {QStringLiteral("WeightUnitDefault"), k.weightUnits.value(2)},
         {QStringLiteral("DateTemplate"), 3},
         {QStringLiteral("DateSeparator"), QStringLiteral("/")},
         {QStringLiteral("DefaultCustomerPaymentTerms"), k.paymentTerms.value(0)},
         {QStringLiteral("DefaultVendorPaymentTerms"), k.paymentTerms.value(1)},
         {QStringLiteral("DefaultDunningTerm"), k.dunningTerms.value(0)},
         {QStringLiteral("CreditRestriction"), QStringLiteral("Y")},
         {QStringLiteral("ExcelFolderPath"), QStringLiteral("\\\\fileserver\\ledgerline\\excel")},
         {QStringLiteral("LocalCurrency"), k.currency},
         {QStringLiteral("SystemCurrency"), k.currency},
         {QStringLiteral("CalculateBudget"), QStringLiteral("Y")},
         {QStringLiteral("BudgetAlert"), QStringLiteral("Y")},
         {QStringLiteral("TaxDefinitionforVatitem"), k.vatOutput.value(0)},
         {QStringLiteral("TaxDefinitionforVatservice"), k.vatOutput.value(1)},
         {QStringLiteral("TaxGroupforPurchaseItem"), k.vatInput.value(0)},
         {QStringLiteral("TaxGroupforServicePurchase"), k.vatInput.value(1)},
         {QStringLiteral("BankCountry"), k.country},
         {QStringLiteral("DefaultBankNo"), bank},
         {QStringLiteral("DefaultBankAccount"), k.bankAccount.value(bank)},
         {QStringLiteral("DefaultBranch"), QStringLiteral("Downtown")},
         {QStringLiteral("WarnDuplicateCustomerRef"), QStringLiteral("Y")},
         {QStringLiteral("DefaultDocCurrency"), k.currency},
         {QStringLiteral("QuotationValidDays"), 45},
         {QStringLiteral("ContinuousStockManagement"), QStringLiteral("Y")},
         {QStringLiteral("DefaultWarehouse"), k.warehouses.value(0)},
         {QStringLiteral("DefaultItemGroup"), k.itemGroups.value(1)},
         {QStringLiteral("SetGLAccountsBy"), QStringLiteral("G")},
         {QStringLiteral("DefaultInventoryCycle"), k.cycles.value(0)}});
    update(w, QStringLiteral("CINF"),
           {{QStringLiteral("DbName"), database},
            {QStringLiteral("MinimumBaseAmountPerDoc"), 600},
            {QStringLiteral("MinimumAmountForAnnualList"), 3005.06},
            {QStringLiteral("BISRBankCountry"), k.country},
            {QStringLiteral("BISRBankNo"), bank},
            {QStringLiteral("BISRBankAccount"), k.bankAccount.value(bank)}});
    const QList<QString> kinds{QStringLiteral("M"), QStringLiteral("B"), QStringLiteral("S")};
    for (int a = 0; a < kinds.size(); ++a)
        w.put(QStringLiteral("ADM1"),
              {{QStringLiteral("Code"), a + 1},
               {QStringLiteral("AddrType"), kinds[a]},
               {QStringLiteral("Street"),
                a == 2 ? w.streetName() : QStringLiteral("Harbor Boulevard")},
               {QStringLiteral("StreetNo"),
                a == 2 ? QString::number(w.number(1, 99)) : QStringLiteral("1200")},
               {QStringLiteral("Building"), QStringLiteral("Suite 400")},
               {QStringLiteral("City"), w.cityName()},
               {QStringLiteral("ZipCode"), w.zipCode()},
               {QStringLiteral("State"), state},
               {QStringLiteral("Country"), k.country}});
}

} // namespace LLObjectsCOM::demo
