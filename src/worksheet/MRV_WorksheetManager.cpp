#include "worksheet/MRV_WorksheetManager.h"

#include "catalogue/MRV_DataInterfaceFactory.h"
#include "catalogue/MRV_ResourceManager.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_DIInterface.h"
#include "di/MRV_Util.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"
#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetController.h"
#include "worksheet/MRV_WorksheetTemplateManager.h"
#include "xml/MRV_DOMParser.h"
#include "xml/MRV_SAXParser.h"
#include "xml/MRV_XmlParserError.h"
#include "xml/MRV_XmlString.h"

#include <QFileInfo>

#include <xercesc/sax2/Attributes.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>

#include <exception>
#include <functional>
#include <limits>

namespace {

enum class Kind { Text, Number, Flag };

// One header element: its name and the worksheet field it holds. A number
// written only with its server (emptyWithout) is written empty without it.
struct HeaderField {
    const char16_t* name;
    Kind kind;
    QString MRV_Worksheet::*text = nullptr;
    int MRV_Worksheet::*number = nullptr;
    bool MRV_Worksheet::*flag = nullptr;
    QString MRV_Worksheet::*emptyWithout = nullptr;
};

// In the order in which they are written.
const HeaderField kHeader[] = {
    {u"worksheetName", Kind::Text, &MRV_Worksheet::worksheetName},
    {u"sourceServer", Kind::Text, &MRV_Worksheet::sourceServer},
    {u"sourceServerType", Kind::Number, nullptr, &MRV_Worksheet::sourceServerType, nullptr,
     &MRV_Worksheet::sourceServer},
    {u"sourceServerUser", Kind::Text, &MRV_Worksheet::sourceServerUser},
    {u"sourceServerUseTrusted", Kind::Flag, nullptr, nullptr,
     &MRV_Worksheet::sourceServerUseTrusted},
    {u"sourceDB", Kind::Text, &MRV_Worksheet::sourceDB},
    {u"sourceCompanyName", Kind::Text, &MRV_Worksheet::sourceCompanyName},
    {u"sourceUser", Kind::Text, &MRV_Worksheet::sourceUser},
    {u"sourceFile", Kind::Text, &MRV_Worksheet::sourceFile},
    {u"targetServer", Kind::Text, &MRV_Worksheet::targetServer},
    {u"targetServerType", Kind::Number, nullptr, &MRV_Worksheet::targetServerType, nullptr,
     &MRV_Worksheet::targetServer},
    {u"targetServerUser", Kind::Text, &MRV_Worksheet::targetServerUser},
    {u"targetServerUseTrusted", Kind::Flag, nullptr, nullptr,
     &MRV_Worksheet::targetServerUseTrusted},
    {u"targetDB", Kind::Text, &MRV_Worksheet::targetDB},
    {u"targetCompanyName", Kind::Text, &MRV_Worksheet::targetCompanyName},
    {u"targetUser", Kind::Text, &MRV_Worksheet::targetUser},
    {u"targetFile", Kind::Text, &MRV_Worksheet::targetFile},
    {u"creationUser", Kind::Text, &MRV_Worksheet::creationUser},
    {u"additionalDescr", Kind::Text, &MRV_Worksheet::additionalDescr},
    {u"backup", Kind::Flag, nullptr, nullptr, &MRV_Worksheet::backup},
    {u"approval", Kind::Flag, nullptr, nullptr, &MRV_Worksheet::approval},
    {u"copyMethod", Kind::Number, nullptr, &MRV_Worksheet::copyMethod},
    {u"RTCF", Kind::Number, nullptr, &MRV_Worksheet::RTCF},
    {u"FRFMUDF", Kind::Flag, nullptr, nullptr, &MRV_Worksheet::FRFMUDF},
};

const HeaderField* headerField(const QString& name) {
    for (const HeaderField& field : kHeader)
        if (name == QStringView(field.name))
            return &field;
    return nullptr;
}

// Copy options outside their range would make a copy run do something the
// user never chose (copy method 0 is the removal phase of "Replace All"), so
// such values are not taken from a file.
bool acceptable(const HeaderField& field, int value) {
    if (field.number == &MRV_Worksheet::copyMethod)
        return value >= 1 && value <= 4;
    if (field.number == &MRV_Worksheet::RTCF)
        return value >= 0 && value <= 2;
    return true;
}

void storeHeaderValue(MRV_Worksheet& worksheet, const HeaderField& field, const QString& text) {
    switch (field.kind) {
    case Kind::Text:
        worksheet.*field.text = text;
        break;
    case Kind::Flag:
        worksheet.*field.flag = text == u"true";
        break;
    case Kind::Number: {
        const int value = MRV_WorksheetManager::leadingInt(text);
        if (acceptable(field, value))
            worksheet.*field.number = value;
        break;
    }
    }
}

int dataAreaFormat(const QString& text) {
    if (text == u"T")
        return MRV_WorksheetNode::RecordGrid;
    if (text == u"D")
        return MRV_WorksheetNode::FieldView;
    if (text == u"N")
        return MRV_WorksheetNode::NotesOnly;
    return MRV_WorksheetNode::NoDataArea;
}

// "1,3" gives 3, 1: the text is taken apart from its end.
QList<int> copyMethodList(const QString& text) {
    QList<int> methods;
    const QStringList parts = text.split(u',');
    for (auto it = parts.crbegin(); it != parts.crend(); ++it)
        if (!it->trimmed().isEmpty())
            methods.append(MRV_WorksheetManager::leadingInt(*it));
    return methods;
}

int language() {
    return MRV_Interaction::current().language();
}

// Reads a worksheet file from the parser's events, without a tree of the
// document: a 50 MB selection would take seven times its size as a DOM.
// The header is the first element named header (or HEADER) anywhere, the
// body the first body (or BODY); in the body every element with a leaf_id
// is a node, and a node's dependencies, selection and edits elements hold
// its own. A value is the text directly inside its element; elements where
// the grammar has none are passed over with all they hold.
class WorksheetHandler final : public xercesc::DefaultHandler {
public:
    using NodeAttributes = std::function<void(const std::function<bool(const QString&, QString&)>&,
                                              MRV_WorksheetNode&)>;

    WorksheetHandler(MRV_Worksheet& worksheet, NodeAttributes attributes, QString header,
                     QString body)
        : m_worksheet(worksheet), m_attributes(std::move(attributes)),
          m_headerName(std::move(header)), m_bodyName(std::move(body)) {}

    bool headerSeen = false, bodySeen = false;
    bool upperHeaderSeen = false, upperBodySeen = false;

    void startElement(const XMLCh* const, const XMLCh* const, const XMLCh* const qname,
                      const xercesc::Attributes& attributes) override {
        const QString name = fromXmlCh(qname);
        const Frame top = m_stack.isEmpty() ? Frame{Outside} : m_stack.last();
        switch (top.kind) {
        case Outside:
            upperHeaderSeen = upperHeaderSeen || name == u"HEADER";
            upperBodySeen = upperBodySeen || name == u"BODY";
            if (!headerSeen && name == m_headerName) {
                headerSeen = true;
                return push({Header});
            }
            if (!bodySeen && name == m_bodyName) {
                bodySeen = true;
                return push({Nodes});
            }
            return push({Outside});
        case Header:
            m_text.clear();
            return push({HeaderValue, top.node, 0, &m_text, headerField(name)});
        case Nodes:
            return startInNodes(top.node, name, attributes);
        case Dependencies:
            if (name != u"leaf_id")
                return push({Skip});
            m_text.clear();
            return push({DependencyLeaf, top.node, 0, &m_text});
        case Selection:
            if (name != u"keyObject")
                return push({Skip});
            m_object = MRV_SelectionObject();
            return push({KeyObject, top.node});
        case KeyObject: {
            QList<MRV_SelectionField>* list = name == u"key"              ? &m_object.keys
                                              : name == u"subsKey"        ? &m_object.substituteKeys
                                              : name == u"additionalData" ? &m_object.additionalData
                                                                          : nullptr;
            if (!list)
                return push({Skip});
            m_field = MRV_SelectionField();
            return push({SelectionField, top.node, 0, nullptr, nullptr, list});
        }
        case SelectionField:
        case EditKey:
            return pushText(name == u"fieldName"                            ? &m_field.fieldName
                            : name == u"value"                              ? &m_field.value
                            : name == u"type" && top.kind == SelectionField ? &m_field.type
                                                                            : nullptr);
        case Edits:
            if (name != u"editedRecord")
                return push({Skip});
            m_record = MRV_ChangedRecord();
            return push({EditedRecord, top.node});
        case EditedRecord:
            if (name == u"table")
                return pushText(&m_record.table);
            if (name == u"key") {
                m_field = MRV_SelectionField();
                return push({EditKey, top.node});
            }
            if (name == u"field") {
                m_changed = MRV_ChangedField();
                m_parts = false; // an empty field element names nothing
                return push({EditField, top.node});
            }
            return push({Skip});
        case EditField:
            m_parts = true;
            return pushText(name == u"fieldName"  ? &m_changed.name
                            : name == u"oldValue" ? &m_changed.oldValue
                            : name == u"newValue" ? &m_changed.newValue
                                                  : nullptr);
        case HeaderValue:
        case DependencyLeaf:
        case Text:
        case Skip:
            return push({Skip});
        }
    }

    void endElement(const XMLCh* const, const XMLCh* const, const XMLCh* const) override {
        const Frame done = m_stack.takeLast();
        switch (done.kind) {
        case HeaderValue:
            if (done.header)
                storeHeaderValue(m_worksheet, *done.header, m_text);
            break;
        case Nodes:
            // A node holding no other node is a leaf; the body is none.
            if (done.node)
                done.node->leaf = m_worksheet.nodes.size() == done.before;
            break;
        case DependencyLeaf:
            done.node->addDependency(m_text);
            break;
        case KeyObject:
            done.node->selection.append(m_object);
            break;
        case SelectionField:
            done.list->append(m_field);
            break;
        case EditKey:
            m_record.keys.append({m_field.fieldName, m_field.value});
            break;
        case EditField:
            if (m_parts)
                m_record.fields.append(m_changed);
            break;
        case EditedRecord:
            // A record that names no field changes nothing.
            if (!m_record.fields.isEmpty())
                done.node->edits.append(m_record);
            break;
        default:
            break;
        }
    }

    void characters(const XMLCh* const chars, const XMLSize_t length) override {
        if (!m_stack.isEmpty() && m_stack.last().text)
            m_stack.last().text->append(QStringView(chars, qsizetype(length)));
    }

private:
    enum Kind {
        Outside,
        Header,
        HeaderValue,
        Nodes, // the body, or a node: its children are nodes and its own
        Dependencies,
        DependencyLeaf,
        Selection,
        KeyObject,
        SelectionField,
        Edits,
        EditedRecord,
        EditKey,
        EditField,
        Text,
        Skip
    };
    struct Frame {
        Kind kind;
        MRV_WorksheetNode* node = nullptr; // the node whose own the element holds
        size_t before = 0;                 // a node: the nodes there were before it
        QString* text = nullptr;           // where the text directly inside goes
        const HeaderField* header = nullptr;
        QList<MRV_SelectionField>* list = nullptr;
    };

    void push(const Frame& frame) { m_stack.append(frame); }
    void pushText(QString* target) {
        if (!target)
            return push({Skip});
        target->clear(); // the last of several elements holds
        push({Text, nullptr, 0, target});
    }

    void startInNodes(MRV_WorksheetNode* owner, const QString& name,
                      const xercesc::Attributes& attributes) {
        CLogBase log(u"MRV", u"MRV_WorksheetManager::getTreeDataFromXML");
        const bool own = name == u"edits" || name == u"dependencies" || name == u"selection";
        if (own && !owner) {
            // Only a node's own element can hold its records, dependencies or
            // edits; at the top of the body there is no node to give them to.
            log.LogError(u"Element '%s' outside of a node ignored", name);
            return push({Skip});
        }
        if (name == u"edits") {
            owner->edits.clear();
            return push({Edits, owner});
        }
        if (name == u"dependencies") {
            owner->dependencies.clear();
            return push({Dependencies, owner});
        }
        if (name == u"selection") {
            owner->selection.clear();
            return push({Selection, owner});
        }
        const auto attribute = [&attributes](const QString& attributeName, QString& value) {
            const XMLCh* found = attributes.getValue(toXmlCh(attributeName));
            if (!found)
                return false;
            value = fromXmlCh(found);
            return true;
        };
        QString leafId;
        if (!attribute(QStringLiteral("leaf_id"), leafId)) {
            log.LogError(u"Node '%s' could not be identified", name);
            return push({Skip});
        }
        auto node = std::make_unique<MRV_WorksheetNode>();
        node->name = name;
        node->leafId = leafId;
        m_attributes(attribute, *node);
        MRV_WorksheetNode* added = node.get();
        m_worksheet.nodes.push_back(std::move(node));
        MRV_Interaction::current().progressPosition(static_cast<int>(m_worksheet.nodes.size()));
        push({Nodes, added, m_worksheet.nodes.size()});
    }

    MRV_Worksheet& m_worksheet;
    NodeAttributes m_attributes;
    QString m_headerName, m_bodyName;
    QList<Frame> m_stack;
    QString m_text;
    MRV_SelectionObject m_object;
    MRV_SelectionField m_field;
    MRV_ChangedRecord m_record;
    MRV_ChangedField m_changed;
    bool m_parts = false;
};
} // namespace

MRV_WorksheetManager::MRV_WorksheetManager(MRV_ConnectionContext* context,
                                           MRV_WorksheetController* controller)
    : m_context(context), m_controller(controller), m_catalogue(MRV_ResourceManager::instance()) {}

int MRV_WorksheetManager::leadingInt(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    qint64 value = 0;
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min(limit, value * 10 + (text[i].unicode() - u'0'));
    if (negative)
        return static_cast<int>(-value);
    return static_cast<int>(std::min(value, limit - 1));
}

HRESULT MRV_WorksheetManager::readWorksheet(MRV_Worksheet& worksheet, const QString& path) {
    MRV_Interaction& ui = MRV_Interaction::current();
    if (!QFileInfo(path).isFile()) {
        CLogBase(u"MRV", u"MRV_WorksheetManager::readWorksheet")
            .LogError(u"File '%s' not found", path);
        ui.error(CTSBSTR(ui.language()).FormatId(10008, path));
        return E_FAIL;
    }
    QString problem;
    const HRESULT hr = readWorksheetFile(worksheet, path, problem);
    if (FAILED(hr))
        ui.error(CTSBSTR(ui.language()).FormatId(10201, problem));
    return hr;
}

HRESULT MRV_WorksheetManager::readWorksheetFile(MRV_Worksheet& worksheet, const QString& path,
                                                QString& problem) {
    CLogBase log(u"MRV", u"MRV_WorksheetManager::readWorksheet");
    MRV_Interaction& ui = MRV_Interaction::current();
    const auto fail = [&](const QString& what) {
        problem = MRV_XmlParserError::describe(path, 0, 0, what);
        return E_FAIL;
    };
    if (!QFileInfo(path).isFile()) {
        log.LogError(u"File '%s' not found", path);
        return fail(QStringLiteral("the file does not exist"));
    }
    // A template read again after a failed attempt starts from nothing.
    worksheet.nodes.clear();
    ui.progressStart(CTSBSTR::load(10011, ui.language()), 0, 123);
    const auto attributes = [this](const std::function<bool(const QString&, QString&)>& attribute,
                                   MRV_WorksheetNode& node) {
        readNodeAttributes(attribute, node);
    };
    // Lower-case header and body where the file has them, else upper case:
    // a second pass when only the upper-case ones turned up.
    QString header = QStringLiteral("header"), body = QStringLiteral("body");
    bool parsed = false, bodySeen = false;
    try {
        for (int pass = 0; pass < 2; ++pass) {
            worksheet.nodes.clear();
            MRV_SAXParser parser;
            WorksheetHandler handler(worksheet, attributes, header, body);
            parser.reader()->setContentHandler(&handler);
            parsed = parser.parseFile(path);
            if (!parsed) {
                problem = parser.firstError();
                log.LogDbg0(u"%s", parser.errorList());
                break;
            }
            bodySeen = handler.bodySeen;
            const bool upperHeader = !handler.headerSeen && handler.upperHeaderSeen;
            const bool upperBody = !handler.bodySeen && handler.upperBodySeen;
            if (pass > 0 || (!upperHeader && !upperBody))
                break;
            header = upperHeader ? QStringLiteral("HEADER") : header;
            body = upperBody ? QStringLiteral("BODY") : body;
        }
    } catch (const std::exception&) {
        log.LogError(u"Exception occured while reading selection data");
        parsed = false;
        problem.clear();
    }
    ui.progressEnd();
    if (!parsed) {
        log.LogError(u"Failed to load worksheet from file '%s'", path);
        worksheet.nodes.clear();
        return problem.isEmpty() ? fail(QStringLiteral("its nodes cannot be read")) : E_FAIL;
    }
    if (!bodySeen || worksheet.nodes.empty()) {
        log.LogError(u"File '%s' doesn't contain selection data", path);
        return fail(QStringLiteral("it holds no selection data (no body with nodes)"));
    }
    updateStrings(worksheet);
    return S_OK;
}

void MRV_WorksheetManager::readNodeAttributes(
    const std::function<bool(const QString&, QString&)>& attribute, MRV_WorksheetNode& node) {
    QString value;
    if (attribute(QStringLiteral("string_id"), value)) {
        node.categoryId = value;
        node.stringId = m_catalogue->getStringId(value);
    }
    if (attribute(QStringLiteral("note"), value)) {
        node.noteNumber = leadingInt(value);
        if (node.noteNumber > 0)
            node.noteStringId = noteStringId(node.noteNumber);
    }
    if (attribute(QStringLiteral("selected"), value)) {
        const int state = leadingInt(value);
        // The tree knows three states only; anything else selects nothing.
        node.selected =
            state >= MRV_WorksheetNode::NotSelected && state <= MRV_WorksheetNode::PartlySelected
                ? state
                : MRV_WorksheetNode::NotSelected;
    }
    if (attribute(QStringLiteral("data_area_format"), value))
        node.dataAreaFormat = dataAreaFormat(value);
    if (attribute(QStringLiteral("allow_selection"), value))
        node.allowSelection = value == u"true";
    if (attribute(QStringLiteral("localization_transfer"), value))
        node.localizationTransfer = value == u"true";
    if (attribute(QStringLiteral("prohibited_copyMethods"), value))
        node.prohibitedCopyMethods = copyMethodList(value);
    if (attribute(QStringLiteral("substitute_copyMethod"), value))
        node.substituteCopyMethod = leadingInt(value);
}

quint32 MRV_WorksheetManager::noteStringId(int note) {
    const auto known = m_notes.constFind(note);
    if (known != m_notes.constEnd())
        return *known;
    quint32 id = 0;
    if (m_context && m_context->company) {
        QString noteId;
        if (MRV_Util::GetNoteFromDB(*m_context->company, note, noteId) == S_OK)
            id = m_catalogue->getStringId(noteId.trimmed());
    }
    m_notes.insert(note, id);
    return id;
}

namespace {

bool writeText(MRV_DOMParser& parser, const QString& name, const QString& text) {
    return parser.addElement(name, text, QString(), QString(), false);
}

bool writeEdits(MRV_DOMParser& parser, const QList<MRV_ChangedRecord>& edits) {
    if (!parser.addElement(QStringLiteral("edits"), true))
        return false;
    for (const MRV_ChangedRecord& record : edits) {
        if (!parser.addElement(QStringLiteral("editedRecord"), true) ||
            !writeText(parser, QStringLiteral("table"), record.table))
            return false;
        for (const auto& [name, value] : record.keys) {
            if (!parser.addElement(QStringLiteral("key"), true))
                return false;
            const bool written = writeText(parser, QStringLiteral("fieldName"), name) &&
                                 writeText(parser, QStringLiteral("value"), value);
            parser.step(0, false);
            if (!written)
                return false;
        }
        for (const MRV_ChangedField& field : record.fields) {
            if (!parser.addElement(QStringLiteral("field"), true))
                return false;
            const bool written = writeText(parser, QStringLiteral("fieldName"), field.name) &&
                                 writeText(parser, QStringLiteral("oldValue"), field.oldValue) &&
                                 writeText(parser, QStringLiteral("newValue"), field.newValue);
            parser.step(0, false);
            if (!written)
                return false;
        }
        parser.step(0, false);
    }
    parser.step(0, false);
    return true;
}

} // namespace

HRESULT MRV_WorksheetManager::updateStrings(MRV_Worksheet& worksheet) {
    const int lang = language();
    for (const auto& node : worksheet.nodes) {
        QString text;
        m_catalogue->getText(node->stringId, lang, text);
        node->text = text;
        QString note;
        if (m_catalogue->getText(node->noteStringId, lang, note) == 0)
            node->noteText = note;
    }
    return S_OK;
}

namespace {

QString headerText(const MRV_Worksheet& worksheet, const HeaderField& field) {
    switch (field.kind) {
    case Kind::Text:
        return worksheet.*field.text;
    case Kind::Flag:
        return worksheet.*field.flag ? QStringLiteral("true") : QStringLiteral("false");
    case Kind::Number:
        if (field.emptyWithout && (worksheet.*field.emptyWithout).isEmpty())
            return QString();
        return QString::number(worksheet.*field.number);
    }
    return QString();
}

// Sets one attribute of the current element; a failure is logged with the
// attribute, its value and what the parser says.
HRESULT setAttribute(MRV_DOMParser& parser, const CLogBase& log, const QString& name,
                     const QString& value) {
    if (parser.setAttribute(name, value))
        return S_OK;
    log.LogError(u"Failed to set attribute '%s' to '%s': '%s'", name, value, parser.errorList());
    return E_FAIL;
}

} // namespace

HRESULT MRV_WorksheetManager::saveWorksheet(MRV_Worksheet& worksheet, const QString& path) {
    CLogBase log(u"MRV", u"MRV_WorksheetManager::saveWorksheet");
    HRESULT hr = E_FAIL;
    try {
        hr = writeDocument(worksheet, path);
    } catch (const std::exception&) {
        log.LogError(u"Exception while saving worksheet");
        hr = E_FAIL;
    }
    if (SUCCEEDED(hr)) {
        if (m_context)
            m_context->worksheetPath = path;
        worksheet.path = path;
        worksheet.modified = false;
        return S_OK;
    }
    log.LogError(u"Failed to save worksheet to file '%s'", path);
    MRV_Interaction& ui = MRV_Interaction::current();
    ui.error(CTSBSTR(ui.language()).FormatId(10017, path));
    return hr;
}

HRESULT MRV_WorksheetManager::writeDocument(MRV_Worksheet& worksheet, const QString& path) {
    CLogBase log(u"MRV", u"MRV_WorksheetManager::saveWorksheet");
    MRV_DOMParser parser;
    const QString root = QStringLiteral("duplaWorksheet");
    if (!parser.parseString(TSFormatArgs(u"<%s></%s>", root, root)) || !parser.moveToRoot()) {
        log.LogError(u"Failed to load xml: '%s'", parser.errorList());
        return E_FAIL;
    }
    if (const HRESULT hr =
            setAttribute(parser, log, QStringLiteral("version"), QStringLiteral("1.0"));
        FAILED(hr))
        return hr;
    if (!parser.addElement(QStringLiteral("header"), true)) {
        log.LogError(u"Failed to add header section: '%s'", parser.errorList());
        return E_FAIL;
    }
    if (const HRESULT hr = writeHeaderDataToXML(parser, worksheet); FAILED(hr)) {
        log.LogError(u"Failed to write worksheet header data");
        return hr;
    }
    if (!parser.moveToRoot() || !parser.addElement(QStringLiteral("body"), true)) {
        log.LogError(u"Failed to add body section: '%s'", parser.errorList());
        return E_FAIL;
    }

    MRV_Interaction& ui = MRV_Interaction::current();
    HRESULT hr = E_FAIL;
    {
        MRV_WaitCursor wait;
        ui.progressStart(CTSBSTR::load(10013, ui.language()), 0,
                         static_cast<int>(worksheet.nodes.size()));
        try {
            hr = writeTreeDataToXML(worksheet, parser);
        } catch (const std::exception&) {
            log.LogError(u"Exception while writing worksheet selection data");
            hr = E_FAIL;
        }
        ui.progressEnd();
    }
    if (FAILED(hr)) {
        log.LogError(u"Failed to write worksheet selection data");
        return hr;
    }
    if (!parser.moveToRoot() || !parser.saveToFile(path)) {
        log.LogError(u"Failed to save worksheet: '%s'", parser.errorList());
        return E_FAIL;
    }
    return S_OK;
}

HRESULT MRV_WorksheetManager::writeHeaderDataToXML(MRV_DOMParser& parser,
                                                   const MRV_Worksheet& worksheet) {
    for (const HeaderField& field : kHeader)
        if (!parser.addElement(QString::fromUtf16(field.name), headerText(worksheet, field),
                               QString(), QString(), false))
            return E_FAIL;
    return S_OK;
}

HRESULT MRV_WorksheetManager::writeTreeDataToXML(const MRV_Worksheet& worksheet,
                                                 MRV_DOMParser& parser) {
    // The levels of the node elements open above the cursor. A node goes
    // into the nearest open node of a lower level, so a list whose levels
    // jump (1, 3, 1) still nests every node below body.
    QList<int> open;
    int written = 0;
    for (const auto& node : worksheet.nodes) {
        const int level = node->getLevel();
        while (!open.isEmpty() && open.last() >= level) {
            parser.step(0, false);
            open.removeLast();
        }
        if (const HRESULT hr = writeTreeNodeToXML(parser, *node); FAILED(hr))
            return hr;
        open.append(level);
        MRV_Interaction::current().progressPosition(++written);
    }
    return S_OK;
}

HRESULT MRV_WorksheetManager::writeTreeNodeToXML(MRV_DOMParser& parser,
                                                 const MRV_WorksheetNode& node) {
    CLogBase log(u"MRV", u"MRV_WorksheetManager::writeTreeNodeToXML");
    if (!parser.addElement(node.name, true)) {
        log.LogError(u"Failed to add node '%s' (%s)", node.name, node.leafId);
        return E_FAIL;
    }
    for (const auto& [name, value] :
         {std::pair{QStringLiteral("leaf_id"), node.leafId},
          std::pair{QStringLiteral("string_id"), node.categoryId},
          std::pair{QStringLiteral("selected"), QString::number(node.selected)}})
        if (const HRESULT hr = setAttribute(parser, log, name, value); FAILED(hr))
            return hr;
    if (!node.selection.isEmpty()) {
        if (!parser.addElement(QStringLiteral("selection"), true))
            return E_FAIL;
        for (const MRV_SelectionObject& object : node.selection)
            if (const HRESULT hr = writeSelectionObjectToXML(parser, object); FAILED(hr))
                return hr;
        parser.step(0, false);
    }
    if (!node.edits.isEmpty() && !writeEdits(parser, node.edits)) {
        log.LogError(u"Failed to write the edits of node '%s' (%s)", node.name, node.leafId);
        return E_FAIL;
    }
    return S_OK;
}

HRESULT MRV_WorksheetManager::writeSelectionObjectToXML(MRV_DOMParser& parser,
                                                        const MRV_SelectionObject& object) {
    if (!parser.addElement(QStringLiteral("keyObject"), true))
        return E_FAIL;
    for (const auto& [element, fields] :
         {std::pair{QStringLiteral("key"), &object.keys},
          std::pair{QStringLiteral("subsKey"), &object.substituteKeys},
          std::pair{QStringLiteral("additionalData"), &object.additionalData}})
        for (const MRV_SelectionField& field : *fields)
            if (const HRESULT hr = writeFieldToXML(parser, element, field); FAILED(hr))
                return hr;
    parser.step(0, false);
    return S_OK;
}

HRESULT MRV_WorksheetManager::writeFieldToXML(MRV_DOMParser& parser, const QString& element,
                                              const MRV_SelectionField& field) {
    if (!parser.addElement(element, true))
        return E_FAIL;
    const bool written =
        parser.addElement(QStringLiteral("fieldName"), field.fieldName, QString(), QString(),
                          false) &&
        parser.addElement(QStringLiteral("value"), field.value, QString(), QString(), false) &&
        parser.addElement(QStringLiteral("type"), field.type, QString(), QString(), false);
    parser.step(0, false);
    return written ? S_OK : E_FAIL;
}

HRESULT MRV_WorksheetManager::updateDetails(MRV_Worksheet& worksheet) {
    CLogBase log(u"MRV", u"MRV_WorksheetManager::updateDetails");
    MRV_Interaction& ui = MRV_Interaction::current();
    const QString loading = CTSBSTR::load(10072, ui.language());
    const MRV_DataInterfaceFactory factory(m_context);
    int count = 0;
    for (const auto& node : worksheet.nodes) {
        if (!node->hasRecordDetails())
            continue;
        ui.progressPosition(++count);
        ui.statusText(TSFormatArgs(loading, m_catalogue->textOf(node->categoryId, ui.language())),
                      false, 0);
        std::unique_ptr<MRV_DIInterface> manager = factory.createDataInterface(node->categoryId);
        if (!manager) {
            log.LogDbg0(u"No data interface found for node %s (%s)", node->leafId,
                        node->categoryId);
            continue;
        }
        node->manager = std::move(manager);
        node->details = nullptr;
        int rows = 0;
        if (worksheet.baseIsFile() && m_controller)
            rows = m_controller->listFromConfiguration(*node);
        if (!node->details || rows == 0)
            log.LogDbg0(u"No view container found for node %s (%s)", node->leafId,
                        node->categoryId);
    }
    // The last "Loading" text would otherwise stay in the status bar.
    if (count > 0)
        ui.statusText(QString(), false, 0);
    return S_OK;
}

HRESULT MRV_WorksheetManager::describedCompany(std::shared_ptr<LLObjectsCOM::Company>& company,
                                               int serverType, const QString& server, bool trusted,
                                               const QString& serverUser, const QString& database,
                                               const QString& user) {
    if (const HRESULT hr = MRV_ConnectionContext::CreateCompanyInstance(company); FAILED(hr))
        return hr;
    company->DbServerType = serverType;
    company->Server = server;
    company->UseTrusted = trusted;
    company->DbUserName = serverUser;
    company->CompanyDB = database;
    company->UserName = user;
    return S_OK;
}

namespace {

// A company that the user logged in to for a worksheet but that is not
// used after all.
void release(const std::shared_ptr<LLObjectsCOM::Company>& company) {
    if (company && company->Connected())
        MRV_Util::Disconnect(*company);
}

// A fresh login object carrying what the worksheet knows of a company.
std::shared_ptr<LLObjectsCOM::Company> loginFor(const LLObjectsCOM::Company& named) {
    std::shared_ptr<LLObjectsCOM::Company> company;
    if (FAILED(MRV_ConnectionContext::CreateCompanyInstance(company)))
        return nullptr;
    company->DbServerType = named.DbServerType;
    company->Server = named.Server;
    company->UseTrusted = named.UseTrusted;
    company->DbUserName = named.DbUserName;
    company->CompanyDB = named.CompanyDB;
    company->UserName = named.UserName;
    return company;
}

} // namespace

HRESULT MRV_WorksheetManager::connectBase(MRV_Worksheet& worksheet) {
    MRV_Interaction& ui = MRV_Interaction::current();
    std::shared_ptr<LLObjectsCOM::Company> named;
    if (const HRESULT hr =
            describedCompany(named, worksheet.sourceServerType, worksheet.sourceServer,
                             worksheet.sourceServerUseTrusted, worksheet.sourceServerUser,
                             worksheet.sourceDB, worksheet.sourceUser);
        FAILED(hr))
        return hr;

    bool changed = false;
    if (MRV_Util::SameCompany(named.get(), m_context->company.get())) {
        m_context->baseCompany = m_context->company;
    } else {
        for (;;) {
            std::shared_ptr<LLObjectsCOM::Company> login = loginFor(*named);
            if (!login)
                return E_FAIL;
            if (const int result = ui.companyLogin(*login); result != 0)
                return result;
            if (MRV_Util::SameCompany(login.get(), named.get())) {
                m_context->baseCompany = login;
                break;
            }
            const int answer = ui.question(CTSBSTR::load(10032, ui.language()), true, 2);
            if (answer == MRV_Interaction::ButtonYes) {
                m_context->baseCompany = login;
                changed = true;
                break;
            }
            release(login);
            if (answer == MRV_Interaction::ButtonCancel)
                return S_FALSE;
        }
    }

    const LLObjectsCOM::Company& base = *m_context->baseCompany;
    if (changed) {
        // Another base has other records: the selections cannot stay.
        worksheet.modified = true;
        MRV_WorksheetTemplateManager::instance(m_context)->getWorksheetTemplate(worksheet);
        worksheet.sourceServerType = base.Connected() ? base.ServerType() : base.DbServerType;
        worksheet.sourceServer = base.Server;
        worksheet.sourceDB = base.CompanyDB;
        worksheet.sourceCompanyName = base.CompanyName();
    }
    const auto take = [&worksheet](auto& field, const auto& value) {
        if (field != value) {
            field = value;
            worksheet.modified = true;
        }
    };
    take(worksheet.sourceServerUseTrusted, base.UseTrusted);
    take(worksheet.sourceServerUser, base.DbUserName);
    take(worksheet.sourceUser, base.UserName);
    m_context->baseCompanyName = base.CompanyName();
    return S_OK;
}

HRESULT MRV_WorksheetManager::connectTarget(MRV_Worksheet& worksheet) {
    MRV_Interaction& ui = MRV_Interaction::current();
    std::shared_ptr<LLObjectsCOM::Company> named;
    if (const HRESULT hr =
            describedCompany(named, worksheet.targetServerType, worksheet.targetServer,
                             worksheet.targetServerUseTrusted, worksheet.targetServerUser,
                             worksheet.targetDB, worksheet.targetUser);
        FAILED(hr))
        return hr;

    if (MRV_Util::SameCompany(named.get(), m_context->company.get())) {
        m_context->targetCompany = m_context->company;
    } else if (m_context->baseCompany &&
               MRV_Util::SameCompany(named.get(), m_context->baseCompany.get())) {
        m_context->targetCompany = m_context->baseCompany;
    } else {
        for (;;) {
            std::shared_ptr<LLObjectsCOM::Company> login = loginFor(*named);
            if (!login)
                return E_FAIL;
            if (const int result = ui.companyLogin(*login); result != 0)
                return result;
            if (m_context->baseCompany &&
                MRV_Util::SameCompany(login.get(), m_context->baseCompany.get())) {
                ui.error(CTSBSTR::load(10031, ui.language()));
                release(login);
                continue;
            }
            // Another company than the worksheet named is a change to save.
            if (!MRV_Util::SameCompany(login.get(), named.get()))
                worksheet.modified = true;
            m_context->targetCompany = login;
            break;
        }
    }
    m_context->targetCompanyName = m_context->targetCompany->CompanyName();
    return S_OK;
}

HRESULT MRV_WorksheetManager::openWorksheet(MRV_Worksheet& worksheet, bool refresh) {
    CLogBase log(u"MRV", u"MRV_WorksheetManager::openWorksheet");
    MRV_Interaction& ui = MRV_Interaction::current();
    if (!m_context)
        return E_POINTER;
    MRV_WorksheetTemplateManager* templates = MRV_WorksheetTemplateManager::instance(m_context);
    if (!templates->isInitialized()) {
        // Without the template no worksheet has a tree: the template is
        // what is wrong, not the worksheet.
        templates->reportProblem();
        return E_FAIL;
    }
    if (!worksheet.path.isEmpty() && !refresh) {
        if (const HRESULT hr = readWorksheet(worksheet, worksheet.path); FAILED(hr))
            return hr;
        if (const HRESULT hr = templates->updateWorksheetFromTemplate(worksheet); FAILED(hr))
            return hr;
        updateStrings(worksheet);
        m_context->copyMethod = worksheet.copyMethod;
        m_context->responseToFailure = worksheet.RTCF;
        m_context->ignoreMissingUdf = worksheet.FRFMUDF;
        m_context->forceBackup = worksheet.backup;
        if (worksheet.baseIsCompany()) {
            if (const HRESULT hr = connectBase(worksheet); hr != S_OK)
                return hr;
        } else if (worksheet.baseIsFile()) {
            // The context keeps the base file as a full path; the worksheet
            // stores it relative to its own folder.
            m_context->baseFilePath =
                MRV_Worksheet::resolveConfigurationPath(worksheet.sourceFile, worksheet.path);
            m_context->databaseName = m_context->baseFilePath;
        }
        m_context->targetFilePath = worksheet.targetFile;
        m_context->targetCompanyName = worksheet.targetCompanyName;
        if (!worksheet.targetDB.isEmpty())
            if (const HRESULT hr = connectTarget(worksheet); hr != S_OK)
                return hr;
    } else {
        worksheet.updateHeaderData(*m_context);
        templates->getWorksheetTemplate(worksheet);
    }

    if (!worksheet.baseIsCompany() && !worksheet.baseIsFile()) {
        log.LogError(u"No source configuration defined. Can't open worksheet.");
        ui.error(CTSBSTR::load(10036, ui.language()));
        return E_FAIL;
    }
    if (worksheet.baseIsFile()) {
        if (!m_controller) {
            log.LogError(u"No configuration manager to read the base configuration file");
            return E_FAIL;
        }
        if (const HRESULT hr = m_controller->readBaseConfiguration(worksheet); FAILED(hr))
            return hr;
        m_context->copyMethod = worksheet.copyMethod;
        m_context->responseToFailure = worksheet.RTCF;
        m_context->ignoreMissingUdf = worksheet.FRFMUDF;
    }

    HRESULT hr = S_OK;
    {
        MRV_WaitCursor wait;
        ui.progressStart(CTSBSTR::load(worksheet.baseIsFile() ? 10012 : 10060, ui.language()), 0,
                         worksheet.leafCount());
        try {
            hr = updateDetails(worksheet);
        } catch (const ComError&) {
            // The host has said what went wrong; the worksheet opens without
            // the remaining details.
            hr = S_OK;
        } catch (const std::exception&) {
            log.LogError(u"Exception during update of configuration details");
            hr = S_OK;
        }
        ui.progressEnd();
    }
    return hr;
}
