#include "di/MRV_BOMRecord.h"

#include "host/objects/LLXmlText.h"
#include "xml/MRV_DOMParser.h"

namespace {

// Walks the element children of the cursor's node: calls visit with the
// cursor on each, then puts the cursor back on the parent.
template <typename Visit> bool eachChild(MRV_DOMParser& dom, Visit visit) {
    if (!dom.step(0, true))
        return true;
    do {
        if (!visit())
            return false;
    } while (dom.step(1, true));
    return dom.step(0, false);
}

QStringList childTexts(MRV_DOMParser& dom) {
    QStringList texts;
    eachChild(dom, [&] {
        texts << dom.nodeText();
        return true;
    });
    return texts;
}

MRV_BOMRecord::Dependency readDependency(MRV_DOMParser& dom) {
    MRV_BOMRecord::Dependency dep;
    eachChild(dom, [&] {
        const QString name = dom.nodeName();
        if (name == u"tableName")
            dep.table = dom.nodeText();
        else if (name == u"fField")
            dep.field = dom.nodeText();
        else if (name == u"fKeyFields")
            dep.keyFields = childTexts(dom);
        else if (name == u"fKeyValues")
            dep.keyValues = childTexts(dom);
        return true;
    });
    return dep;
}

} // namespace

MRV_BOMRecord::Row MRV_BOMRecord::readRow(MRV_DOMParser& dom) {
    Row row;
    eachChild(dom, [&] {
        const QString name = dom.nodeName();
        if (name == u"dep")
            row.dependencies << readDependency(dom);
        else
            row.fields << Field{name, dom.nodeText()};
        return true;
    });
    return row;
}

namespace {

void writeDependency(QString& xml, const MRV_BOMRecord::Dependency& dep) {
    xml += QLatin1String("<dep>");
    xml += LLXmlElement(QStringLiteral("tableName"), dep.table);
    xml += LLXmlElement(QStringLiteral("fField"), dep.field);
    xml += QLatin1String("<fKeyFields>");
    for (const QString& field : dep.keyFields)
        xml += LLXmlElement(QStringLiteral("fField"), field);
    xml += QLatin1String("</fKeyFields><fKeyValues>");
    for (const QString& value : dep.keyValues)
        xml += LLXmlElement(QStringLiteral("fValue"), value);
    xml += QLatin1String("</fKeyValues></dep>");
}

} // namespace

QString MRV_BOMRecord::Row::value(const QString& name) const {
    const qsizetype i = indexOf(name);
    return i < 0 ? QString() : fields[i].value;
}

qsizetype MRV_BOMRecord::Row::indexOf(const QString& name) const {
    for (qsizetype i = 0; i < fields.size(); ++i)
        if (fields[i].name == name)
            return i;
    return -1;
}

void MRV_BOMRecord::Row::setValue(const QString& name, const QString& value) {
    const qsizetype i = indexOf(name);
    if (i < 0)
        fields << Field{name, value};
    else
        fields[i].value = value;
}

bool MRV_BOMRecord::Row::removeField(const QString& name) {
    const qsizetype i = indexOf(name);
    if (i < 0)
        return false;
    fields.removeAt(i);
    return true;
}

const MRV_BOMRecord::Dependency* MRV_BOMRecord::Row::dependency(const QString& field) const {
    for (const Dependency& dep : dependencies)
        if (dep.field == field)
            return &dep;
    return nullptr;
}

bool MRV_BOMRecord::parse(const QString& xml, QString* error) {
    m_admin.clear();
    m_groups.clear();
    // One parser per thread for every record: making a parser costs more
    // than parsing a record. Nothing below parses another record, so the
    // parser is never in two parses at once.
    thread_local MRV_DOMParser dom;
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!dom.parseString(xml))
        return fail(dom.errorList());
    if (!dom.initCursor() || dom.nodeName() != u"BOM")
        return fail(QStringLiteral("The record document's root is not BOM"));
    if (!dom.step(0, true) || dom.nodeName() != u"BO")
        return fail(QStringLiteral("The record document has no BO"));
    eachChild(dom, [&] {
        const QString name = dom.nodeName();
        if (name == u"AdmInfo") {
            eachChild(dom, [&] {
                m_admin << Field{dom.nodeName(), dom.nodeText()};
                return true;
            });
            return true;
        }
        Group group{name, {}};
        eachChild(dom, [&] {
            if (dom.nodeName() == u"row")
                group.rows << readRow(dom);
            return true;
        });
        m_groups << group;
        return true;
    });
    return true;
}

QString MRV_BOMRecord::toXml() const {
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><BOM><BO><AdmInfo>");
    for (const Field& f : m_admin)
        xml += LLXmlElement(f.name, f.value);
    xml += QLatin1String("</AdmInfo>");
    for (const Group& g : m_groups) {
        xml += u'<' + g.name + u'>';
        for (const Row& row : g.rows)
            xml += QLatin1String("<row>") + rowXml(row) + QLatin1String("</row>");
        xml += QLatin1String("</") + g.name + u'>';
    }
    return xml + QLatin1String("</BO></BOM>");
}

QString MRV_BOMRecord::rowXml(const Row& row) {
    QString xml;
    for (const Field& f : row.fields)
        xml += LLXmlElement(f.name, f.value);
    for (const Dependency& dep : row.dependencies)
        writeDependency(xml, dep);
    return xml;
}

int MRV_BOMRecord::objectType() const {
    for (const Field& f : m_admin)
        if (f.name == u"Object")
            return f.value.trimmed().toInt();
    return 0;
}

void MRV_BOMRecord::setObjectType(int objectType) {
    for (Field& f : m_admin)
        if (f.name == u"Object") {
            f.value = QString::number(objectType);
            return;
        }
    m_admin.prepend(Field{QStringLiteral("Object"), QString::number(objectType)});
}

MRV_BOMRecord::Group* MRV_BOMRecord::group(const QString& name) {
    for (Group& g : m_groups)
        if (g.name == name)
            return &g;
    return nullptr;
}

const MRV_BOMRecord::Group* MRV_BOMRecord::group(const QString& name) const {
    return const_cast<MRV_BOMRecord*>(this)->group(name);
}

MRV_BOMRecord::Row MRV_BOMRecord::firstRow(const QString& table) const {
    const Group* g = group(groupName(table));
    return g && !g->rows.isEmpty() ? g->rows.first() : Row();
}

QString MRV_BOMRecord::groupName(const QString& table) {
    QString name = table;
    return name.remove(u'@');
}

QString MRV_BOMRecord::tableDocument(const QString& table, const QString& recordsetXml) {
    const qsizetype declarationEnd = recordsetXml.indexOf(QLatin1String("?>"));
    const QString rows = declarationEnd < 0 ? recordsetXml : recordsetXml.mid(declarationEnd + 2);
    const QString group = groupName(table);
    return QStringLiteral("<BOM><BO><AdmInfo><Object>-1</Object></AdmInfo><%1>%2</%1></BO></BOM>")
        .arg(group, rows);
}
