#include "worksheet/MRV_WorksheetManager.h"

#include "catalogue/MRV_ResourceManager.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_Util.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"
#include "worksheet/MRV_Worksheet.h"
#include "xml/MRV_DOMParser.h"

#include <QFileInfo>

#include <exception>
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

} // namespace

MRV_WorksheetManager::MRV_WorksheetManager(MRV_ConnectionContext* context)
    : m_context(context), m_catalogue(MRV_ResourceManager::instance()) {}

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
    CLogBase log(u"MRV", u"MRV_WorksheetManager::readWorksheet");
    MRV_Interaction& ui = MRV_Interaction::current();
    if (!QFileInfo(path).isFile()) {
        log.LogError(u"File '%s' not found", path);
        ui.error(CTSBSTR(ui.language()).FormatId(10008, path));
        return E_FAIL;
    }
    MRV_DOMParser parser;
    if (!parser.parseFile(path) || !parser.moveToRoot()) {
        log.LogError(u"Failed to load worksheet from file '%s'", path);
        log.LogDbg0(u"%s", parser.errorList());
        return E_FAIL;
    }
    if (parser.find(QStringLiteral("header")) > 0) {
        if (FAILED(getHeaderDataFromXML(worksheet, parser))) {
            log.LogError(u"Failed to read header data for worksheet from file '%s'", path);
            return E_FAIL;
        }
        parser.moveToRoot();
    }
    if (parser.find(QStringLiteral("body")) == 0 || !parser.step(0, true)) {
        log.LogError(u"File '%s' doesn't contain selection data", path);
        return E_FAIL;
    }

    // A template read again after a failed attempt starts from nothing.
    worksheet.nodes.clear();
    ui.progressStart(CTSBSTR::load(10011, ui.language()), 0, 123);
    HRESULT hr = E_FAIL;
    try {
        hr = getTreeDataFromXML(worksheet, parser);
        if (SUCCEEDED(hr) && worksheet.nodes.empty())
            hr = E_FAIL;
    } catch (const std::exception&) {
        log.LogError(u"Exception occured while reading selection data");
        hr = E_FAIL;
    }
    ui.progressEnd();
    if (FAILED(hr)) {
        log.LogError(u"Failed to read selection data for worksheet from file '%s'", path);
        return E_FAIL;
    }
    updateStrings(worksheet);
    return S_OK;
}

HRESULT MRV_WorksheetManager::getHeaderDataFromXML(MRV_Worksheet& worksheet,
                                                   MRV_DOMParser& parser) {
    if (!parser.step(0, true))
        return S_OK; // an empty header holds nothing to take
    do {
        if (const HeaderField* field = headerField(parser.nodeName()))
            storeHeaderValue(worksheet, *field, parser.nodeText());
    } while (parser.step(1, true));
    return S_OK;
}

HRESULT MRV_WorksheetManager::getTreeDataFromXML(MRV_Worksheet& worksheet, MRV_DOMParser& parser) {
    return readElements(worksheet, parser, nullptr);
}

HRESULT MRV_WorksheetManager::readElements(MRV_Worksheet& worksheet, MRV_DOMParser& parser,
                                           MRV_WorksheetNode* owner) {
    CLogBase log(u"MRV", u"MRV_WorksheetManager::getTreeDataFromXML");
    do {
        const QString element = parser.nodeName();
        const bool dependencies = element == u"dependencies";
        if (dependencies || element == u"selection") {
            // Only a node's own element can hold its records or dependencies;
            // at the top of the body there is no node to give them to.
            if (!owner) {
                log.LogError(u"Element '%s' outside of a node ignored", element);
                continue;
            }
            const HRESULT hr =
                dependencies ? getDependencies(parser, *owner) : getSelection(parser, *owner);
            if (FAILED(hr)) {
                log.LogError(dependencies ? u"Failed to get dependencies of node '%s'"
                                          : u"Failed to get selection of node '%s'",
                             owner->name);
                return hr;
            }
            continue;
        }
        QString leafId;
        if (!parser.getAttribute(QStringLiteral("leaf_id"), leafId)) {
            log.LogError(u"Node '%s' could not be identified", element);
            continue;
        }
        auto node = std::make_unique<MRV_WorksheetNode>();
        node->name = element;
        node->leafId = leafId;
        readNodeAttributes(parser, *node);
        MRV_WorksheetNode* added = node.get();
        worksheet.nodes.push_back(std::move(node));
        MRV_Interaction::current().progressPosition(static_cast<int>(worksheet.nodes.size()));

        const size_t before = worksheet.nodes.size();
        if (parser.step(0, true)) {
            const HRESULT hr = readElements(worksheet, parser, added);
            if (FAILED(hr))
                return hr;
        }
        added->leaf = worksheet.nodes.size() == before;
    } while (parser.step(1, true));
    parser.step(0, false);
    return S_OK;
}

void MRV_WorksheetManager::readNodeAttributes(MRV_DOMParser& parser, MRV_WorksheetNode& node) {
    QString value;
    if (parser.getAttribute(QStringLiteral("string_id"), value)) {
        node.categoryId = value;
        node.stringId = m_catalogue->getStringId(value);
    }
    if (parser.getAttribute(QStringLiteral("note"), value)) {
        node.noteNumber = leadingInt(value);
        if (node.noteNumber > 0)
            node.noteStringId = noteStringId(node.noteNumber);
    }
    if (parser.getAttribute(QStringLiteral("selected"), value)) {
        const int state = leadingInt(value);
        // The tree knows three states only; anything else selects nothing.
        node.selected =
            state >= MRV_WorksheetNode::NotSelected && state <= MRV_WorksheetNode::PartlySelected
                ? state
                : MRV_WorksheetNode::NotSelected;
    }
    if (parser.getAttribute(QStringLiteral("data_area_format"), value))
        node.dataAreaFormat = dataAreaFormat(value);
    if (parser.getAttribute(QStringLiteral("allow_selection"), value))
        node.allowSelection = value == u"true";
    if (parser.getAttribute(QStringLiteral("localization_transfer"), value))
        node.localizationTransfer = value == u"true";
    if (parser.getAttribute(QStringLiteral("prohibited_copyMethods"), value))
        node.prohibitedCopyMethods = copyMethodList(value);
    if (parser.getAttribute(QStringLiteral("substitute_copyMethod"), value))
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

HRESULT MRV_WorksheetManager::getDependencies(MRV_DOMParser& parser, MRV_WorksheetNode& node) {
    node.dependencies.clear();
    if (!parser.step(0, true))
        return S_OK;
    do {
        if (parser.nodeName() == u"leaf_id")
            node.addDependency(parser.nodeText());
    } while (parser.step(1, true));
    parser.step(0, false);
    return S_OK;
}

namespace {

// The cursor is on a key, subsKey or additionalData element and stays there.
MRV_SelectionField readField(MRV_DOMParser& parser) {
    MRV_SelectionField field;
    if (!parser.step(0, true))
        return field;
    do {
        const QString name = parser.nodeName();
        if (name == u"fieldName")
            field.fieldName = parser.nodeText();
        else if (name == u"value")
            field.value = parser.nodeText();
        else if (name == u"type")
            field.type = parser.nodeText();
    } while (parser.step(1, true));
    parser.step(0, false);
    return field;
}

// The cursor is on a keyObject element and stays there.
MRV_SelectionObject readSelectionObject(MRV_DOMParser& parser) {
    MRV_SelectionObject object;
    if (!parser.step(0, true))
        return object;
    do {
        const QString name = parser.nodeName();
        if (name == u"key")
            object.keys.append(readField(parser));
        else if (name == u"subsKey")
            object.substituteKeys.append(readField(parser));
        else if (name == u"additionalData")
            object.additionalData.append(readField(parser));
    } while (parser.step(1, true));
    parser.step(0, false);
    return object;
}

} // namespace

HRESULT MRV_WorksheetManager::getSelection(MRV_DOMParser& parser, MRV_WorksheetNode& node) {
    node.selection.clear();
    if (!parser.step(0, true))
        return S_OK;
    do {
        if (parser.nodeName() == u"keyObject")
            node.selection.append(readSelectionObject(parser));
    } while (parser.step(1, true));
    parser.step(0, false);
    return S_OK;
}

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
