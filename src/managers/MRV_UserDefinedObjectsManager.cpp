#include "managers/MRV_UserDefinedObjectsManager.h"

#include "di/MRV_BOMRecord.h"
#include "di/MRV_CompanySql.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"
#include "xml/MRV_DOMParser.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString Table = u"OUDO"_s;
const QString Root = u"UDO"_s;

// The definition's properties, in the record's order; "ObjectType" is the
// column TYPE (1 master data, 3 document).
const QStringList& properties() {
    static const QStringList names{u"CanCancel"_s,
                                   u"CanClose"_s,
                                   u"CanCreateDefaultForm"_s,
                                   u"CanDelete"_s,
                                   u"CanFind"_s,
                                   u"CanLog"_s,
                                   u"CanYearTransfer"_s,
                                   u"Code"_s,
                                   u"ExtensionName"_s,
                                   u"LogTableName"_s,
                                   u"ManageSeries"_s,
                                   u"Name"_s,
                                   u"ObjectType"_s,
                                   u"OverwriteDllfile"_s,
                                   u"TableName"_s};
    return names;
}

// One of the three lists: its element, the prefix of its entries, the
// host's line table, and the entry's fields: those of the line (by the
// line's property), the object's code ("Code") and the list's count
// ("Count"), in the record's order. Numbers are marked.
struct ListShape {
    QString element;
    QString entryPrefix;
    QString lineTable;
    QStringList fields;
    QStringList numbers;
};

const QList<ListShape>& lists() {
    static const QList<ListShape> shapes{
        {u"ChildTables"_s,
         u"CT_"_s,
         u"UDO1"_s,
         {u"Code"_s, u"Count"_s, u"LogTableName"_s, u"SonNumber"_s, u"TableName"_s},
         {u"Count"_s, u"SonNumber"_s}},
        {u"FindColumns"_s,
         u"FiC_"_s,
         u"UDO2"_s,
         {u"Code"_s, u"ColumnAlias"_s, u"ColumnDescription"_s},
         {}},
        {u"FormColumns"_s,
         u"FoC_"_s,
         u"UDO3"_s,
         {u"Code"_s, u"FormColumnAlias"_s, u"FormColumnDescription"_s, u"SonNumber"_s},
         {u"SonNumber"_s}},
    };
    return shapes;
}

bool isNumber(const QString& text) {
    bool ok = false;
    text.toInt(&ok);
    return ok;
}

void setWhy(QString* why, const QString& text) {
    if (why)
        *why = text;
}

// The leaf elements below the cursor's element, by name, in order; false
// with why for an element that holds elements, one named twice or one not
// in allowed. The cursor is back on the element afterwards.
bool leaves(MRV_DOMParser& dom, const QString& what, const QStringList& allowed,
            const QStringList& nested, QList<std::pair<QString, QString>>& values, QString& why) {
    values.clear();
    if (!dom.step(0, true))
        return true; // nothing below
    do {
        const QString name = dom.nodeName();
        if (!allowed.contains(name) && !nested.contains(name)) {
            why = u"%1 holds the element %2, which it cannot have"_s.arg(what, name.left(60));
            dom.step(0, false);
            return false;
        }
        for (const auto& [known, value] : values)
            if (known == name) {
                why = u"%1 holds %2 twice"_s.arg(what, name);
                dom.step(0, false);
                return false;
            }
        if (!nested.contains(name) && dom.countElementChildren() > 0) {
            why = u"%1 of %2 holds elements instead of a value"_s.arg(name, what);
            dom.step(0, false);
            return false;
        }
        values.append({name, nested.contains(name) ? QString() : dom.textContent()});
    } while (dom.step(1, true));
    dom.step(0, false);
    return true;
}

QString valueOf(const QList<std::pair<QString, QString>>& values, const QString& name) {
    for (const auto& [known, value] : values)
        if (known == name)
            return value;
    return QString();
}

} // namespace

MRV_UserDefinedObjectsManager::MRV_UserDefinedObjectsManager(MRV_ConnectionContext* context,
                                                             const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"Code"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"Code"_s, u"Name"_s, u"TYPE"_s};
    m_listElements = {u"Code"_s, u"Name"_s, u"ObjectType"_s};
    m_writeFields = {u"Code"_s, u"Name"_s};
    m_columnFlags = {0, 1, 0};
    declareTable({
        .name = Table,
        .objectType = 206,
        .keyColumns = {u"Code"_s},
        .keyElements = {u"Code"_s},
        .descriptionColumn = u"Name"_s,
        .descriptionElement = u"Name"_s,
        .readAll = {u"SELECT Code FROM OUDO"_s},
    });
}

QString MRV_UserDefinedObjectsManager::typeText(const QString& type) {
    return CTSBSTR::load(type.trimmed() == u"1" ? 36 : 37, MRV_Interaction::current().language());
}

QString MRV_UserDefinedObjectsManager::udoRecord(const MRV_BOMRecord& object, QString* why) {
    const MRV_BOMRecord::Group* main = object.group(Table);
    if (!main || main->rows.isEmpty()) {
        setWhy(why, u"The document holds no user-defined object"_s);
        return QString();
    }
    const MRV_BOMRecord::Row& row = main->rows.first();
    MRV_DOMParser dom;
    bool ok = dom.createDocument(u"BOM"_s) && dom.addElement(Root, true);
    for (const QString& name : properties())
        ok = ok && dom.addElement(name, row.value(name), QString(), QString(), false);
    for (const ListShape& list : lists()) {
        const MRV_BOMRecord::Group* lines = object.group(list.lineTable);
        const QList<MRV_BOMRecord::Row> entries = lines ? lines->rows : QList<MRV_BOMRecord::Row>();
        ok = ok && dom.addElement(list.element, true);
        for (qsizetype n = 0; ok && n < entries.size(); ++n) {
            ok = dom.addElement(list.entryPrefix + QString::asprintf("%d", int(n)), true);
            for (const QString& field : list.fields) {
                const QString value = field == u"Code" ? row.value(u"Code"_s)
                                      : field == u"Count"
                                          ? QString::asprintf("%d", int(entries.size()))
                                          : entries[n].value(field);
                ok = ok && dom.addElement(field, value, QString(), QString(), false);
            }
            ok = ok && dom.step(0, false);
        }
        ok = ok && dom.step(0, false);
    }
    const QString xml = ok ? dom.serialize(false) : QString();
    if (!ok || xml == u"ERROR") {
        setWhy(why, u"A value of the user-defined object %1 holds a character that XML cannot "
                    u"carry"_s.arg(row.value(u"Code"_s)));
        return QString();
    }
    return xml;
}

bool MRV_UserDefinedObjectsManager::hostObject(const QString& record, MRV_BOMRecord& object,
                                               QString& why) {
    MRV_DOMParser dom;
    dom.setSkip(true);
    if (!dom.parseString(record) || !dom.initCursor()) {
        why = u"The record is no XML: "_s + dom.firstError();
        return false;
    }
    if (dom.nodeName() != u"BOM" || !dom.step(0, true) || dom.nodeName() != Root) {
        why = u"The record is no user-defined object record: it does not hold a UDO element "
              u"in its BOM"_s;
        return false;
    }
    if (dom.step(1, true)) {
        why = u"The record holds %1 beside its UDO element"_s.arg(dom.nodeName().left(60));
        return false;
    }
    QStringList nested;
    for (const ListShape& list : lists())
        nested << list.element;
    QList<std::pair<QString, QString>> values;
    if (!leaves(dom, Root, properties(), nested, values, why))
        return false;
    for (const QString& name : properties() + nested)
        if (std::none_of(values.cbegin(), values.cend(),
                         [&](const auto& v) { return v.first == name; })) {
            why = u"The UDO record has no %1"_s.arg(name);
            return false;
        }
    const QString code = valueOf(values, u"Code"_s);
    const QString type = valueOf(values, u"ObjectType"_s).trimmed();
    if (code.isEmpty()) {
        why = u"The UDO record has no code"_s;
        return false;
    }
    if (type != u"1" && type != u"3") {
        why = u"The UDO record's ObjectType is '%1', not 1 or 3"_s.arg(type.left(40));
        return false;
    }
    object = MRV_BOMRecord();
    object.setObjectType(206);
    MRV_BOMRecord::Row main;
    for (const QString& name : properties())
        main.setValue(name, valueOf(values, name));
    object.groups() << MRV_BOMRecord::Group{Table, {main}};
    // The lists, each entry CT_0, CT_1 ... in turn.
    dom.step(0, true);
    do {
        const qsizetype at = nested.indexOf(dom.nodeName());
        if (at < 0)
            continue;
        const ListShape& list = lists()[at];
        MRV_BOMRecord::Group lines{list.lineTable, {}};
        QList<std::pair<QString, QString>> items;
        if (!dom.step(0, true)) {
            object.groups() << lines;
            continue;
        }
        qsizetype n = 0;
        do {
            const QString name = dom.nodeName();
            if (name != list.entryPrefix + QString::asprintf("%d", int(n))) {
                why = u"%1 holds %2 where %3%4 belongs"_s
                          .arg(list.element, name.left(60), list.entryPrefix)
                          .arg(n);
                return false;
            }
            if (!leaves(dom, name, list.fields, {}, items, why))
                return false;
            MRV_BOMRecord::Row line;
            for (const QString& field : list.fields) {
                const QString value = valueOf(items, field);
                if (list.numbers.contains(field) && !isNumber(value)) {
                    why = u"%1 of %2 is '%3', not a number"_s.arg(field, name, value.left(40));
                    return false;
                }
                if (field == u"Code" && value != code) {
                    why = u"%1 belongs to the object %2, not %3"_s.arg(name, value.left(40), code);
                    return false;
                }
                if (field != u"Code" && field != u"Count")
                    line.setValue(field, value);
            }
            lines.rows << line;
            ++n;
        } while (dom.step(1, true));
        dom.step(0, false);
        object.groups() << lines;
    } while (dom.step(1, true));
    return true;
}

void MRV_UserDefinedObjectsManager::readFromDatabase(MRV_KeyList keys, BOMTableList& tables) {
    CLogBase log(u"MRV", u"MRV_UserDefinedObjectsManager::readFromDatabase");
    tables.clear();
    MRV_CompanySql base(baseCompany());
    MRV_BOMTable objects{Table, {}};
    readObjects(base, mainTable(), keys, objects);
    MRV_BOMTable entry{Table, {}};
    for (const MRV_BOMDocument& document : objects.documents) {
        MRV_BOMRecord object;
        QString why;
        QString record;
        if (object.parse(document.xml, &why))
            record = udoRecord(object, &why);
        if (record.isEmpty())
            logReadFailure(object.firstRow(Table).value(u"Code"_s), why);
        else
            entry.documents << MRV_BOMDocument{record, 0};
    }
    if (!entry.documents.isEmpty())
        tables << entry;
    log.LogDbg1(u"%s: %d object(s) read", getCategoryString(), int(entry.documents.size()));
}

MRV_DIDataSet* MRV_UserDefinedObjectsManager::listFromConfiguration(const BOMTableList& tables) {
    dataSet().clearRows();
    if (tables.isEmpty())
        return &dataSet();
    initialize();
    for (const MRV_BOMTable& entry : tables) {
        if (entry.name != Table)
            continue;
        for (const MRV_BOMDocument& document : entry.documents) {
            MRV_BOMRecord object;
            QString why;
            if (!hostObject(document.xml, object, why))
                continue; // a record that is none is refused when it is written
            const MRV_BOMRecord::Row row = object.firstRow(Table);
            MRV_DIDataSet::Row listed;
            listed.keys = {row.value(u"Code"_s)};
            listed.values = {row.value(u"Code"_s), row.value(u"Name"_s),
                             typeText(row.value(u"ObjectType"_s))};
            listed.description = row.value(u"Name"_s);
            dataSet().addRow(std::move(listed));
        }
    }
    return &dataSet();
}

MRV_DIDataSet* MRV_UserDefinedObjectsManager::listFromDatabase() {
    MRV_DIDataSet* listed = MRV_DIInterface::listFromDatabase();
    listed->showColumn(listed->columnIndex(u"TYPE"_s), typeText);
    return listed;
}

HRESULT MRV_UserDefinedObjectsManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    if (effectiveMethod(copyMethod) == RemovalPhase)
        return MRV_DIInterface::writeToTarget(tables, copyMethod);
    // Each record becomes the host's document of the definition; the
    // engine writes it (and finds it in the target). A record that is none
    // fails its line with why.
    BOMTableList documents;
    QList<Outcome> refused;
    for (const MRV_BOMTable& entry : tables) {
        if (entry.name != Table)
            continue;
        MRV_BOMTable objects{Table, {}};
        for (const MRV_BOMDocument& document : entry.documents) {
            MRV_BOMRecord object;
            Outcome outcome;
            if (hostObject(document.xml, object, outcome.error)) {
                objects.documents << MRV_BOMDocument{object.toXml(), 0};
                continue;
            }
            outcome.operation =
                effectiveMethod(copyMethod) == UpdateExisting ? UpdateExisting : AddNew;
            refused << outcome;
        }
        documents << objects;
    }
    const HRESULT written = MRV_DIInterface::writeToTarget(documents, copyMethod);
    for (const Outcome& outcome : refused)
        logOutcome(outcome);
    return written == S_OK && !refused.isEmpty() ? S_FALSE : written;
}
