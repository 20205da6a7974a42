#include "di/MRV_BOMRecord.h"

#include "host/objects/LLXmlText.h"
#include "xml/MRV_DOMParser.h"
#include "xml/MRV_PlainXmlReader.h"
#include "xml/MRV_SAXParser.h"
#include "xml/MRV_SaxSink.h"

#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>

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
    LLAppendXmlElement(xml, u"tableName", dep.table);
    LLAppendXmlElement(xml, u"fField", dep.field);
    xml += QLatin1String("<fKeyFields>");
    for (const QString& field : dep.keyFields)
        LLAppendXmlElement(xml, u"fField", field);
    xml += QLatin1String("</fKeyFields><fKeyValues>");
    for (const QString& value : dep.keyValues)
        LLAppendXmlElement(xml, u"fValue", value);
    xml += QLatin1String("</fKeyValues></dep>");
}

void writeRow(QString& xml, const MRV_BOMRecord::Row& row) {
    for (const MRV_BOMRecord::Field& f : row.fields)
        LLAppendXmlElement(xml, f.name, f.value);
    for (const MRV_BOMRecord::Dependency& dep : row.dependencies)
        writeDependency(xml, dep);
}

// About what the fields' text takes, so that the document is written into
// one buffer that seldom grows.
qsizetype textSize(const QList<MRV_BOMRecord::Field>& fields) {
    qsizetype size = 0;
    for (const MRV_BOMRecord::Field& f : fields)
        size += 2 * f.name.size() + f.value.size() + 5;
    return size;
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

namespace {

// Builds a record from the parser's events, without a tree of the
// document: BOM > BO > AdmInfo (fields) and groups > row > fields and dep.
// A field's value is the text directly inside its element; elements where
// the document shape has none are passed over with what they hold.
class RecordHandler final : public MRV_SaxSink {
public:
    QList<MRV_BOMRecord::Field>* admin = nullptr;
    QList<MRV_BOMRecord::Group>* groups = nullptr;
    QString problem;

    void startDocument() override {
        m_depth = 0;
        m_inAdmin = false;
        m_inDependency = false;
        m_skipFrom = -1;
        m_text = nullptr;
        m_list = nullptr;
        problem.clear();
    }

    // Names are compared where they stand and copied only when kept: a
    // record has hundreds of elements and is parsed several times.
    void plainStart(QStringView name) override {
        const int depth = ++m_depth;
        m_text = nullptr;
        if (m_skipFrom >= 0)
            return;
        if (depth == 1) {
            if (name != u"BOM")
                skip(QStringLiteral("The record document's root is not BOM"));
        } else if (depth == 2) {
            // Only the root's first element counts, and it must be BO.
            if (m_boSeen || name != u"BO")
                skip(m_boSeen ? QString() : QStringLiteral("The record document has no BO"));
            m_boSeen = true;
        } else if (depth == 3) {
            m_inAdmin = name == u"AdmInfo";
            if (!m_inAdmin)
                groups->append(MRV_BOMRecord::Group{name.toString(), {}});
        } else if (depth == 4) {
            if (m_inAdmin) {
                admin->append(MRV_BOMRecord::Field{name.toString(), {}});
                m_text = &admin->last().value;
            } else if (name == u"row") {
                groups->last().rows.append(MRV_BOMRecord::Row());
            } else {
                skip();
            }
        } else if (depth == 5) {
            if (m_inAdmin) {
                skip();
                return;
            }
            MRV_BOMRecord::Row& row = groups->last().rows.last();
            m_inDependency = name == u"dep";
            if (m_inDependency) {
                row.dependencies.append(MRV_BOMRecord::Dependency());
            } else {
                row.fields.append(MRV_BOMRecord::Field{name.toString(), {}});
                m_text = &row.fields.last().value;
            }
        } else {
            startInDependency(depth, name);
        }
    }

    void plainEnd() override {
        if (m_skipFrom == m_depth)
            m_skipFrom = -1;
        --m_depth;
        m_text = nullptr;
        if (m_depth == 5) // a dependency's list ended
            m_list = nullptr;
    }

    void plainText(QStringView text) override {
        if (m_text && m_skipFrom < 0)
            m_text->append(text);
    }

    bool boSeen() const { return m_boSeen; }
    void reset() { m_boSeen = false; }

private:
    void startInDependency(int depth, QStringView name) {
        if (!m_inDependency || depth > 7) {
            skip();
            return;
        }
        MRV_BOMRecord::Dependency& dep = groups->last().rows.last().dependencies.last();
        if (depth == 6) {
            if (name == u"tableName")
                m_text = &dep.table;
            else if (name == u"fField")
                m_text = &dep.field;
            else if (name == u"fKeyFields")
                m_list = &dep.keyFields;
            else if (name == u"fKeyValues")
                m_list = &dep.keyValues;
            else
                skip();
        } else if (m_list) {
            m_list->append(QString());
            m_text = &m_list->last();
        } else {
            skip();
        }
    }

    // Passes over the element just started and all it holds.
    void skip(const QString& why = QString()) {
        m_skipFrom = m_depth;
        if (problem.isEmpty())
            problem = why;
    }

    int m_depth = 0;
    // Whether the open element at depth 3 is AdmInfo, and the one at
    // depth 5 a dependency record.
    bool m_inAdmin = false;
    bool m_inDependency = false;
    int m_skipFrom = -1;
    bool m_boSeen = false;
    QString* m_text = nullptr;
    QStringList* m_list = nullptr;
};

// One parser and handler per thread for every record: making a parser
// costs more than parsing a record, and nothing a parse calls parses
// another record.
struct RecordReader {
    MRV_SAXParser parser;
    RecordHandler handler;
    RecordReader() { parser.reader()->setContentHandler(&handler); }
};

} // namespace

bool MRV_BOMRecord::parse(const QString& xml, QString* error) {
    m_admin.clear();
    m_groups.clear();
    thread_local RecordReader reader;
    reader.handler.admin = &m_admin;
    reader.handler.groups = &m_groups;
    reader.handler.reset();
    // The host's documents are plain; the full parser reads what is not.
    reader.handler.startDocument();
    bool parsed = MRV_PlainXmlReader::read(xml, reader.handler);
    QString why;
    if (parsed) {
        why = reader.handler.problem;
    } else {
        m_admin.clear();
        m_groups.clear();
        reader.handler.reset();
        parsed = reader.parser.parseString(xml);
        why = parsed ? reader.handler.problem : reader.parser.errorList();
        // XML 1.1 lets in characters and names that no document of this
        // program or the host (XML 1.0) can carry: such a record could not
        // be written out again. (The plain reader takes 1.0 alone.)
        const std::optional<QString> version =
            MRV_XmlParser::declaredValue(xml, QStringLiteral("version"));
        if (why.isEmpty() && version.value_or(QStringLiteral("1.0")) != u"1.0")
            why = QStringLiteral("The record document is XML %1; records are XML 1.0")
                      .arg(version->left(10));
    }
    if (why.isEmpty() && !reader.handler.boSeen())
        why = QStringLiteral("The record document has no BO");
    if (why.isEmpty())
        return true;
    m_admin.clear();
    m_groups.clear();
    if (error)
        *error = why;
    return false;
}

QString MRV_BOMRecord::toXml() const {
    qsizetype size = 128 + textSize(m_admin);
    for (const Group& g : m_groups)
        for (const Row& row : g.rows)
            size += 11 + textSize(row.fields) + 256 * row.dependencies.size();
    QString xml;
    xml.reserve(size);
    xml += QLatin1String("<?xml version=\"1.0\" encoding=\"UTF-16\"?><BOM><BO><AdmInfo>");
    for (const Field& f : m_admin)
        LLAppendXmlElement(xml, f.name, f.value);
    xml += QLatin1String("</AdmInfo>");
    for (const Group& g : m_groups) {
        xml.append(u'<').append(g.name).append(u'>');
        for (const Row& row : g.rows) {
            xml += QLatin1String("<row>");
            writeRow(xml, row);
            xml += QLatin1String("</row>");
        }
        xml.append(QLatin1String("</")).append(g.name).append(u'>');
    }
    return xml += QLatin1String("</BO></BOM>");
}

QString MRV_BOMRecord::rowXml(const Row& row) {
    QString xml;
    xml.reserve(textSize(row.fields) + 256 * row.dependencies.size());
    writeRow(xml, row);
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

std::optional<QStringList> MRV_BOMRecord::peekFirstRow(const QString& xml, const QString& table,
                                                       const QStringList& elements) {
    const qsizetype group = xml.indexOf(u'<' + groupName(table) + u'>');
    const qsizetype row = group < 0 ? -1 : xml.indexOf(QLatin1String("<row>"), group);
    const qsizetype end = row < 0 ? -1 : xml.indexOf(QLatin1String("</row>"), row);
    if (end < 0)
        return std::nullopt;
    // Markup that could hide an element from a plain search, or make one
    // of text, leaves the document to the parser. Only what stands before
    // the row's end can: markup after it begins after it.
    const QStringView before = QStringView(xml).left(end);
    if (before.indexOf(u"<!") >= 0 || before.indexOf(u"<?", 1) >= 0)
        return std::nullopt;
    // The row's own fields stand before its dependencies, whose elements
    // may bear the same names.
    QStringView inRow = QStringView(xml).mid(row, end - row);
    if (const qsizetype dep = inRow.indexOf(QLatin1String("<dep>")); dep >= 0)
        inRow = inRow.left(dep);
    QStringList values;
    for (const QString& element : elements) {
        const QString open = u'<' + element + u'>';
        const qsizetype at = element.isEmpty() ? -1 : inRow.indexOf(open);
        if (at < 0) {
            values << QString();
            continue;
        }
        const qsizetype close = inRow.indexOf(QLatin1String("</") + element + u'>', at);
        if (close < 0)
            return std::nullopt;
        const QStringView value = inRow.mid(at + open.size(), close - at - open.size());
        if (value.contains(u'<') || value.contains(u'&'))
            return std::nullopt;
        values << value.toString();
    }
    return values;
}

std::optional<QStringList> MRV_BOMRecord::firstRowValues(const QString& xml, const QString& table,
                                                         const QStringList& elements) {
    if (std::optional<QStringList> values = peekFirstRow(xml, table, elements))
        return values;
    MRV_BOMRecord record;
    if (!record.parse(xml))
        return std::nullopt;
    const Row row = record.firstRow(table);
    QStringList values;
    for (const QString& element : elements)
        values << row.value(element);
    return values;
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
