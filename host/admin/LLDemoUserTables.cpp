// User-defined tables and fields with content, and the user-defined
// objects built on them.

#include "host/admin/LLDemoWriter.h"

#include "host/objects/LLUserTables.h"

namespace LLObjectsCOM::demo {

namespace {

struct FieldDef {
    QString table, alias, description;
    QChar type;
    int size;
};

void addTable(DemoWriter& w, const QString& name, const QString& description, int type) {
    QString why;
    if (w.ok() && !UserTables::addTable(w.db(), w.caseInsensitive(), name, description, type, &why))
        w.fail(why);
    w.count(1);
    w.keys().userTables << name;
}

int addField(DemoWriter& w, const FieldDef& f) {
    QString why;
    if (w.ok() && !UserTables::addField(w.db(), w.caseInsensitive(), f.table, f.alias,
                                        f.description, f.type, f.size, &why))
        w.fail(why);
    w.count(1);
    for (const UserTables::Field& field : UserTables::fields(w.db(), f.table))
        if (field.alias == f.alias)
            return field.fieldId;
    return -1;
}

void writeObjects(DemoWriter& w) {
    struct Udo {
        QString code, name;
        int type;
        QString table, child;
    };
    const QList<Udo> objects{{QStringLiteral("EQUIPMENT"), QStringLiteral("Customer equipment"), 1,
                              QStringLiteral("EQUIPMENT"), QStringLiteral("EQUIPPARTS")},
                             {QStringLiteral("SVCVISIT"), QStringLiteral("Service visits"), 3,
                              QStringLiteral("SVCVISIT"), QStringLiteral("SVCVISITLINES")}};
    for (const Udo& o : objects) {
        w.put(
            QStringLiteral("OUDO"),
            {{QStringLiteral("Code"), o.code},
             {QStringLiteral("Name"), o.name},
             {QStringLiteral("TYPE"), o.type},
             {QStringLiteral("TableName"), o.table},
             {QStringLiteral("LogTableName"), QStringLiteral("A") + o.table.left(18)},
             {QStringLiteral("CanCancel"), o.type == 3 ? QStringLiteral("Y") : QStringLiteral("N")},
             {QStringLiteral("CanClose"), o.type == 3 ? QStringLiteral("Y") : QStringLiteral("N")},
             {QStringLiteral("CanCreateDefaultForm"), QStringLiteral("Y")},
             {QStringLiteral("CanDelete"), QStringLiteral("Y")},
             {QStringLiteral("CanFind"), QStringLiteral("Y")},
             {QStringLiteral("CanLog"), QStringLiteral("Y")},
             {QStringLiteral("ManageSeries"),
              o.type == 3 ? QStringLiteral("Y") : QStringLiteral("N")}});
        w.put(QStringLiteral("UDO1"),
              {{QStringLiteral("Code"), o.code},
               {QStringLiteral("SonNumber"), 1},
               {QStringLiteral("TableName"), o.child},
               {QStringLiteral("LogTableName"), QStringLiteral("A") + o.child.left(18)}});
        const QStringList columns{QStringLiteral("Code"), QStringLiteral("Name"),
                                  o.type == 1 ? QStringLiteral("U_Serial")
                                              : QStringLiteral("U_Visitor")};
        for (int c = 0; c < columns.size(); ++c) {
            w.put(QStringLiteral("UDO2"),
                  {{QStringLiteral("Code"), o.code},
                   {QStringLiteral("ColumnNumber"), c + 1},
                   {QStringLiteral("ColumnAlias"), columns[c]},
                   {QStringLiteral("ColumnDescription"),
                    columns[c].mid(columns[c].startsWith(QLatin1String("U_")) ? 2 : 0)}});
            w.put(QStringLiteral("UDO3"), {{QStringLiteral("Code"), o.code},
                                           {QStringLiteral("ColumnNumber"), c + 1},
                                           {QStringLiteral("SonNumber"), 0},
                                           {QStringLiteral("FormColumnAlias"), columns[c]},
                                           {QStringLiteral("FormColumnDescription"), columns[c]}});
        }
    }
}

} // namespace

void writeUserTables(DemoWriter& w) {
    DemoKeys& k = w.keys();
    addTable(w, QStringLiteral("SHIPZONES"), QStringLiteral("Shipping zones"), 0);
    addTable(w, QStringLiteral("FXMARGINS"), QStringLiteral("Currency margins"), 0);
    addTable(w, QStringLiteral("EQUIPMENT"), QStringLiteral("Customer equipment"), 1);
    addTable(w, QStringLiteral("EQUIPPARTS"), QStringLiteral("Equipment parts"), 2);
    addTable(w, QStringLiteral("SVCVISIT"), QStringLiteral("Service visits"), 3);
    addTable(w, QStringLiteral("SVCVISITLINES"), QStringLiteral("Service visit lines"), 4);
    const QList<FieldDef> fields{
        {QStringLiteral("OITM"), QStringLiteral("Color"), QStringLiteral("Color"), u'A', 20},
        {QStringLiteral("OITM"), QStringLiteral("WarrantyMonths"),
         QStringLiteral("Warranty in months"), u'N', 0},
        {QStringLiteral("OITM"), QStringLiteral("LaunchDate"), QStringLiteral("Launch date"), u'D',
         0},
        {QStringLiteral("OCRD"), QStringLiteral("Region"), QStringLiteral("Sales region"), u'A',
         10},
        {QStringLiteral("OCRD"), QStringLiteral("Rating"), QStringLiteral("Credit rating"), u'N',
         0},
        {QStringLiteral("OCRD"), QStringLiteral("Remarks"), QStringLiteral("Internal remarks"),
         u'M', 0},
        {QStringLiteral("@SHIPZONES"), QStringLiteral("Surcharge"), QStringLiteral("Surcharge"),
         u'B', 0},
        {QStringLiteral("@FXMARGINS"), QStringLiteral("Currency"), QStringLiteral("Currency"), u'A',
         3},
        {QStringLiteral("@FXMARGINS"), QStringLiteral("Margin"), QStringLiteral("Margin percent"),
         u'B', 0},
        {QStringLiteral("@EQUIPMENT"), QStringLiteral("Serial"), QStringLiteral("Serial number"),
         u'A', 30},
        {QStringLiteral("@EQUIPMENT"), QStringLiteral("Purchased"), QStringLiteral("Purchase date"),
         u'D', 0},
        {QStringLiteral("@EQUIPPARTS"), QStringLiteral("ItemCode"), QStringLiteral("Item"), u'A',
         50},
        {QStringLiteral("@SVCVISIT"), QStringLiteral("Visitor"), QStringLiteral("Technician"), u'A',
         50},
        {QStringLiteral("@SVCVISITLINES"), QStringLiteral("Hours"), QStringLiteral("Hours"), u'B',
         0}};
    int regionField = -1;
    for (const FieldDef& f : fields) {
        const int id = addField(w, f);
        if (f.alias == u"Region")
            regionField = id;
    }
    // The region field offers fixed values, the first its default.
    const QStringList regions{QStringLiteral("EAST"), QStringLiteral("WEST"),
                              QStringLiteral("CENTRAL")};
    for (int r = 0; r < regions.size(); ++r)
        w.put(QStringLiteral("UFD1"),
              {{QStringLiteral("TableID"), QStringLiteral("OCRD")},
               {QStringLiteral("FieldID"), regionField},
               {QStringLiteral("IndexID"), r},
               {QStringLiteral("FldValue"), regions[r]},
               {QStringLiteral("Descr"), regions[r].left(1) + regions[r].mid(1).toLower()}});
    w.exec(QStringLiteral("UPDATE CUFD SET Dflt = ? WHERE TableID = 'OCRD' AND FieldID = ?"),
           {regions[0], regionField});
    // Values of the new fields on existing records.
    const QStringList colors{QStringLiteral("Black"), QStringLiteral("White"),
                             QStringLiteral("Silver"), QStringLiteral("Blue")};
    for (int i = 0; i < k.items.size(); i += 3)
        w.exec(
            QStringLiteral("UPDATE OITM SET U_Color = ?, U_WarrantyMonths = ? WHERE ItemCode = ?"),
            {w.pick(colors), 12 * w.number(1, 3), k.items[i]});
    for (int c = 0; c < k.customers.size(); c += 2)
        w.exec(QStringLiteral("UPDATE OCRD SET U_Region = ?, U_Rating = ? WHERE CardCode = ?"),
               {w.pick(regions), w.number(1, 5), k.customers[c]});
    // Content of every user table.
    for (int z = 1; z <= 6; ++z)
        w.put(QStringLiteral("@SHIPZONES"),
              {{QStringLiteral("Code"), QStringLiteral("Z%1").arg(z)},
               {QStringLiteral("Name"), QStringLiteral("Zone %1").arg(z)},
               {QStringLiteral("U_Surcharge"), 2.5 * z}});
    for (const QString& currency : k.foreignCurrencies)
        w.put(QStringLiteral("@FXMARGINS"),
              {{QStringLiteral("Code"), currency},
               {QStringLiteral("Name"), QStringLiteral("Margin on %1").arg(currency)},
               {QStringLiteral("U_Currency"), currency},
               {QStringLiteral("U_Margin"), w.amount(0.5, 3, 2)}});
    for (int e = 1; e <= 8; ++e) {
        const QString code = QStringLiteral("EQ%1").arg(e, 4, 10, QLatin1Char('0'));
        w.put(QStringLiteral("@EQUIPMENT"),
              {{QStringLiteral("Code"), code},
               {QStringLiteral("Name"), QStringLiteral("Unit at %1").arg(w.pick(k.customers))},
               {QStringLiteral("U_Serial"), QStringLiteral("SN-%1").arg(w.number(100000, 999999))},
               {QStringLiteral("U_Purchased"), DemoWriter::dateText(w.anyDay())}});
        w.put(QStringLiteral("@EQUIPPARTS"), {{QStringLiteral("Code"), code + QStringLiteral("-1")},
                                              {QStringLiteral("Name"), QStringLiteral("Main part")},
                                              {QStringLiteral("U_ItemCode"), w.pick(k.items)}});
        w.put(QStringLiteral("@SVCVISIT"),
              {{QStringLiteral("Code"), QStringLiteral("V%1").arg(e)},
               {QStringLiteral("Name"), QStringLiteral("Visit for %1").arg(code)},
               {QStringLiteral("U_Visitor"), w.firstName()}});
        w.put(QStringLiteral("@SVCVISITLINES"),
              {{QStringLiteral("Code"), QStringLiteral("V%1-1").arg(e)},
               {QStringLiteral("Name"), QStringLiteral("Inspection")},
               {QStringLiteral("U_Hours"), w.amount(0.5, 6, 1)}});
    }
    writeObjects(w);
}

} // namespace LLObjectsCOM::demo
