#include "config/MRV_ConfigurationManager.h"

#include "catalogue/MRV_DataInterfaceFactory.h"
#include "catalogue/MRV_ResourceManager.h"
#include "config/MRV_CopyLog.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_DIFailureAbortException.h"
#include "di/MRV_DIInterface.h"
#include "di/MRV_InitialPasswords.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLXmlText.h"
#include "interaction/MRV_Interaction.h"
#include "managers/MRV_TransportAccount.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"
#include "tsframework/CTSDateTime.h"
#include "tsframework/TSModule.h"
#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetNode.h"
#include "xml/MRV_SAXParser.h"
#include "xml/MRV_XmlParserError.h"
#include "xml/MRV_XmlString.h"

#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/sax2/Attributes.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSysInfo>

#include <algorithm>

namespace {

const QStringList kTextHeader{
    QStringLiteral("configurationName"), QStringLiteral("dbVersion"),
    QStringLiteral("localization"),      QStringLiteral("creationUser"),
    QStringLiteral("creationDate"),      QStringLiteral("additionalDescr")};
const QStringList kFlagHeader{QStringLiteral("partialConfiguration"), QStringLiteral("backup"),
                              QStringLiteral("approval"), QStringLiteral("FRFMUDF")};

// The text's leading decimal integer, 0 when there is none ("2abc" is 2).
int leadingInteger(const QString& text) {
    const QString t = text.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t[end] == u'-' || t[end] == u'+'))
        ++end;
    while (end < t.size() && t[end].isDigit() && t[end].unicode() < 128)
        ++end;
    bool ok = false;
    const int n = t.left(end).toInt(&ok);
    return ok ? n : 0;
}

QString boolText(bool flag) {
    return flag ? QStringLiteral("true") : QStringLiteral("false");
}

// A value escaped for an attribute: a reader turns a raw tab or line feed
// in one into a blank.
QString attributeValue(const QString& value) {
    return MRV_ConfigurationManager::escape(value)
        .replace(u'\n', QLatin1String("&#10;"))
        .replace(u'\t', QLatin1String("&#9;"));
}

// Attributes in name order, escaped: a value with a quote or an ampersand
// must not break the file.
QString attributeText(const QMap<QString, QString>& attributes) {
    QString text;
    for (auto it = attributes.cbegin(); it != attributes.cend(); ++it)
        text += u' ' + it.key() + QStringLiteral("=\"") + attributeValue(it.value()) + u'"';
    return text;
}

} // namespace

MRV_ConfigurationManager::MRV_ConfigurationManager(MRV_ConnectionContext& context)
    : m_context(context) {}

MRV_ConfigurationManager::~MRV_ConfigurationManager() = default;

QString MRV_ConfigurationManager::escape(const QString& text) {
    return LLEscapeXmlText(text, true);
}

HRESULT MRV_ConfigurationManager::getAppPath(QString& path) {
    CLogBase log(u"MRV", u"MRV_ConfigurationManager::getAppPath");
    path = TSModuleFolder();
    if (path.isEmpty()) {
        MRV_Interaction& ui = MRV_Interaction::current();
        CTSBSTR text(ui.language());
        text.FormatId(10015, path);
        ui.error(text, false);
        log.LogError(u"Failed to get application path -- invalid path");
        return E_FAIL;
    }
    return S_OK;
}

QString MRV_ConfigurationManager::resolveBasePath(const QString& current, const QString& stored,
                                                  const QString& fallback) {
    if (current.isEmpty() || stored.isEmpty())
        return fallback;
    return MRV_Worksheet::resolveConfigurationPath(stored, current);
}

const ConfigurationObject* MRV_ConfigurationManager::object(const QString& stringId) const {
    const auto it = m_objectsById.constFind(stringId);
    if (it == m_objectsById.cend())
        return nullptr;
    const auto found = m_objects.constFind(*it);
    return found == m_objects.cend() ? nullptr : &*found;
}

// Reading --------------------------------------------------------------

void MRV_ConfigurationManager::startDocument() {
    m_element.clear();
    m_objects.clear();
    m_objectsById.clear();
    m_startTags = 0;
    m_inRecord = m_skipObject = m_skipTable = m_inTable = m_failed = false;
    m_pendingText.clear();
    m_leafOpen = false;
    m_record.clear();
}

void MRV_ConfigurationManager::startElement(const XMLCh*, const XMLCh* localname, const XMLCh*,
                                            const xercesc::Attributes& attributes) {
    flushText(false);
    // Names are compared where they stand and copied only where kept: a
    // file has every element of every record.
    const QStringView name(localname);
    if (!m_inRecord)
        m_element = name.toString();
    m_leafOpen = true;
    MRV_Interaction::current().progressPosition(++m_startTags);
    if (m_headerOnly || m_skipObject || m_skipTable)
        return;
    const auto attributeMap = [&attributes] {
        QMap<QString, QString> map;
        for (XMLSize_t i = 0; i < attributes.getLength(); ++i)
            map.insert(fromXmlCh(attributes.getLocalName(i)), fromXmlCh(attributes.getValue(i)));
        return map;
    };
    if (name == u"OBJECT") {
        const QMap<QString, QString> map = attributeMap();
        if (!map.contains(QStringLiteral("string_id"))) {
            CLogBase(u"MRV", u"MRV_ConfigurationManager::startElement")
                .LogError(u"string_id missing for object");
            m_skipObject = true;
            return;
        }
        m_tables.clear();
        m_tablesByName.clear();
        m_objectAttributes = map;
        m_stringId = map.value(QStringLiteral("string_id"));
    } else if (name == u"BOM") {
        m_inRecord = true;
        m_record += QLatin1String("<BOM>");
    } else if (m_inRecord) {
        m_record.append(u'<').append(name);
        // Escaped again: the reader hands values over with their entities
        // resolved, and "&" or a quote would break the record.
        for (XMLSize_t i = 0; i < attributes.getLength(); ++i)
            m_record += u' ' + fromXmlCh(attributes.getLocalName(i)) + QStringLiteral("=\"") +
                        attributeValue(fromXmlCh(attributes.getValue(i))) + u'"';
        m_record += u'>';
    } else if (name == u"table") {
        const QMap<QString, QString> map = attributeMap();
        if (!map.contains(QStringLiteral("name"))) {
            CLogBase(u"MRV", u"MRV_ConfigurationManager::startElement")
                .LogError(u"tblname missing for table");
            m_skipTable = true;
            return;
        }
        m_tableAttributes = map;
        m_tableName = map.value(QStringLiteral("name"));
        m_inTable = true;
    }
}

void MRV_ConfigurationManager::characters(const XMLCh* chars, XMLSize_t length) {
    if (m_element.isEmpty())
        return;
    m_pendingText += QStringView(reinterpret_cast<const char16_t*>(chars), qsizetype(length));
}

void MRV_ConfigurationManager::flushText(bool wholeContent) {
    if (m_pendingText.isEmpty())
        return;
    if (!m_skipObject && !m_skipTable)
        takeText(m_pendingText, wholeContent);
    // Emptied but kept: the next text fills the same buffer.
    m_pendingText.resize(0);
}

void MRV_ConfigurationManager::takeText(const QString& text, bool wholeContent) {
    // Blanks between elements are layout; blanks that are all an element
    // of a record holds are its value ("   ", a lone line end).
    const bool blank = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSpace(); });
    if (blank && !(wholeContent && m_inRecord))
        return;
    // Inside a record every element is the record's: a field that happens to
    // share a header element's name stays in the record.
    if (m_inRecord) {
        LLAppendXmlText(m_record, text, true);
        return;
    }
    if (kTextHeader.contains(m_element)) {
        QString* fields[] = {&m_header.configurationName, &m_header.dbVersion,
                             &m_header.localization,      &m_header.creationUser,
                             &m_header.creationDate,      &m_header.additionalDescr};
        *fields[kTextHeader.indexOf(m_element)] = text;
    } else if (kFlagHeader.contains(m_element)) {
        bool* flags[] = {&m_header.partialConfiguration, &m_header.backup, &m_header.approval,
                         &m_header.FRFMUDF};
        *flags[kFlagHeader.indexOf(m_element)] =
            text.trimmed().compare(u"false", Qt::CaseInsensitive) != 0;
    } else if (m_element == u"copyMethod") {
        m_header.copyMethod = leadingInteger(text);
    } else if (m_element == u"RTCF") {
        m_header.RTCF = leadingInteger(text);
    }
}

void MRV_ConfigurationManager::endElement(const XMLCh*, const XMLCh* localname, const XMLCh*) {
    flushText(m_leafOpen);
    m_leafOpen = false;
    if (m_headerOnly)
        return;
    const QStringView name(localname);
    if (m_skipObject || m_skipTable) {
        // A skipped element keeps nothing of what it holds; nesting of the
        // same name inside it cannot occur outside records.
        if (m_skipObject && name == u"OBJECT")
            m_skipObject = false;
        else if (m_skipTable && name == u"table")
            m_skipTable = false;
        return;
    }
    if (name == u"BOM") {
        m_inRecord = false;
        m_record += QLatin1String("</BOM>");
    } else if (m_inRecord) {
        m_record.append(QLatin1String("</")).append(name).append(u'>');
    } else if (name == u"table" && m_inTable) {
        const int ordinal = int(m_tables.size());
        const ConfigurationTable table{m_tableAttributes, m_record};
        m_tables.insert(ordinal, table);
        m_tablesByName.insert(m_tableName, {ordinal, table});
        m_record.clear();
        m_inTable = false;
    } else if (name == u"OBJECT") {
        const int ordinal = int(m_objects.size());
        m_objects.insert(ordinal,
                         ConfigurationObject{m_objectAttributes, m_tables, m_tablesByName});
        m_objectsById.insert(m_stringId, ordinal);
        m_tables.clear();
        m_tablesByName.clear();
    }
}

namespace {

void logParseProblem(const char16_t* scope, const char16_t* format,
                     const xercesc::SAXParseException& e) {
    CLogBase(u"MRV", scope)
        .LogError(format, fromXmlCh(e.getMessage()), int(e.getLineNumber()),
                  int(e.getColumnNumber()));
}

} // namespace

void MRV_ConfigurationManager::warning(const xercesc::SAXParseException& e) {
    logParseProblem(u"MRV_ConfigurationManager::warning",
                    u"Warning in SAX Parser: %s, line %d, col %d", e);
}

void MRV_ConfigurationManager::noteProblem(const xercesc::SAXParseException& e) {
    m_failed = true;
    if (m_problem.isEmpty()) {
        const QString systemId = fromXmlCh(e.getSystemId());
        m_problem = MRV_XmlParserError::describe(systemId.isEmpty() ? m_parsedPath : systemId,
                                                 e.getLineNumber(), e.getColumnNumber(),
                                                 fromXmlCh(e.getMessage()));
    }
}

void MRV_ConfigurationManager::error(const xercesc::SAXParseException& e) {
    noteProblem(e);
    logParseProblem(u"MRV_ConfigurationManager::error", u"Error in SAX Parser: %s, line %d, col %d",
                    e);
}

void MRV_ConfigurationManager::fatalError(const xercesc::SAXParseException& e) {
    noteProblem(e);
    logParseProblem(u"MRV_ConfigurationManager::fatalError",
                    u"Fatal error in SAX Parser: %s, line %d, col %d", e);
}

HRESULT MRV_ConfigurationManager::parse(const QString& path, bool headerOnly, const QString& caller,
                                        quint32 messageId) {
    MRV_Interaction& ui = MRV_Interaction::current();
    m_parser = std::make_unique<MRV_SAXParser>();
    m_headerOnly = headerOnly;
    m_problem.clear();
    m_parsedPath = path;
    m_parser->reader()->setContentHandler(this);
    m_parser->reader()->setErrorHandler(this);
    const bool parsed = m_parser->parseFile(path) && !m_failed;
    m_parser->reader()->setContentHandler(nullptr);
    m_parser->reader()->setErrorHandler(nullptr);
    if (parsed)
        return S_OK;
    CLogBase log(u"MRV", caller);
    log.LogError(u"Failed to parse configuration file");
    // Where the reader gave up: its own report, else what the wrapper
    // caught (a refused document type declaration, an unreadable file).
    QString problem = m_problem.isEmpty() ? m_parser->firstError() : m_problem;
    if (problem.isEmpty())
        problem = MRV_XmlParserError::describe(path, 0, 0, QString());
    log.LogError(u"%s", problem);
    log.LogDbg0(u"%s", m_parser->errorList());
    CTSBSTR text(ui.language());
    text.FormatId(messageId, problem);
    ui.error(text, false);
    m_parser.reset();
    return E_FAIL;
}

HRESULT MRV_ConfigurationManager::previewConfiguration() {
    const HRESULT hr = parse(m_context.databaseName, true,
                             QStringLiteral("MRV_ConfigurationManager::previewConfiguration"));
    m_parser.reset();
    m_headerOnly = false;
    m_inRecord = false;
    return hr;
}

HRESULT MRV_ConfigurationManager::openFile(const QString& path, quint32 messageId) {
    MRV_Interaction& ui = MRV_Interaction::current();
    CTSBSTR text(ui.language());
    text.LoadStringW(10012);
    ui.progressStart(text, 0, 123);
    MRV_WaitCursor wait;
    const HRESULT hr = parse(
        path, false, QStringLiteral("MRV_ConfigurationManager::openConfiguration"), messageId);
    ui.progressEnd();
    return hr;
}

HRESULT MRV_ConfigurationManager::openConfiguration(const MRV_ConnectionContext* baseContext,
                                                    bool useTemplate) {
    QString path;
    if (useTemplate) {
        if (getAppPath(path) != S_OK)
            return E_FAIL;
        path = TSModuleFile(QStringLiteral("Configuration.tpl"));
    } else {
        path = resolveBasePath(m_context.worksheetPath,
                               baseContext ? baseContext->baseFilePath : QString(),
                               m_context.databaseName);
    }
    const HRESULT hr = openFile(path, useTemplate ? 10202 : 10203);
    if (hr == S_OK && useTemplate) {
        const auto& base = m_context.baseCompany;
        m_header.localization = base && base->Connected() ? base->Localization() : QString();
    }
    return hr;
}

// Writing --------------------------------------------------------------

void MRV_ConfigurationManager::writeHeader(QString& text) const {
    const auto line = [&text](const char* element, const QString& value) {
        text += u'<' + QLatin1String(element) + u'>' + value + QLatin1String("</") +
                QLatin1String(element) + QLatin1String(">\n");
    };
    text += QLatin1String("<?xml version=\"1.0\" encoding=\"UTF-16\" ?>\n"
                          "<mirrovaConfigurationFile version=\"1.0\">\n"
                          "<header>\n");
    // Every text is escaped: a description with "<" or "&" would otherwise
    // make a file that no reader takes back.
    line("configurationName", escape(m_header.configurationName));
    line("dbVersion", escape(m_header.dbVersion));
    line("localization", escape(m_header.localization));
    line("creationUser", escape(m_header.creationUser));
    line("creationDate", escape(m_header.creationDate));
    line("additionalDescr", escape(m_header.additionalDescr));
    line("partialConfiguration", boolText(m_header.partialConfiguration));
    line("backup", boolText(m_header.backup));
    line("approval", boolText(m_header.approval));
    line("copyMethod", QString::number(m_header.copyMethod));
    line("RTCF", QString::number(m_header.RTCF));
    line("FRFMUDF", boolText(m_header.FRFMUDF));
    text += QLatin1String("</header>\n");
}

void MRV_ConfigurationManager::writeBodyStart(QString& text) {
    text += QLatin1String("<body>\n");
}

void MRV_ConfigurationManager::writeBodyEnd(QString& text) {
    text += QLatin1String("</body>\n</mirrovaConfigurationFile>\n");
}

QString MRV_ConfigurationManager::objectStart(const QMap<QString, QString>& attributes) {
    return QLatin1String("<OBJECT") + attributeText(attributes) + u'>';
}

QString MRV_ConfigurationManager::tableStart(const QMap<QString, QString>& attributes) {
    return QLatin1String("<table") + attributeText(attributes) + u'>';
}

QString MRV_ConfigurationManager::tableText(const QMap<QString, QString>& attributes,
                                            const QString& records) {
    return tableStart(attributes) + records + TableEnd.toString();
}

void MRV_ConfigurationManager::writeObject(QString& text, const QMap<QString, QString>& attributes,
                                           const QString& tables) {
    text += objectStart(attributes);
    text += tables;
    text += ObjectEnd;
}

namespace {

// A configuration file written as it is produced, so that it is never held
// whole in memory: UTF-16LE with a byte-order mark, into a temporary file
// that replaces path only when all of it was written.
class ConfigurationFile {
public:
    explicit ConfigurationFile(const QString& path) : m_file(path) {
        m_ok = m_file.open(QIODevice::WriteOnly) && m_file.write("\xff\xfe", 2) == 2;
    }

    bool write(QStringView text) {
        if (!m_ok)
            return false;
        // Records that cannot travel are left out as they are read; should
        // one slip through, no parser could read the file, so none is
        // written.
        if (const qsizetype at = firstNonXmlChar(text); at >= 0) {
            m_unwritable = QStringLiteral("U+%1 at character %2 cannot be carried by XML")
                               .arg(QString::number(text[at].unicode(), 16))
                               .arg(m_written + at);
            return m_ok = false;
        }
        m_written += text.size();
        if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
            const qint64 bytes = text.size() * 2;
            return m_ok = m_file.write(reinterpret_cast<const char*>(text.utf16()), bytes) == bytes;
        } else {
            QByteArray bytes;
            bytes.reserve(text.size() * 2);
            for (const QChar c : text)
                bytes.append(char(c.unicode() & 0xff)).append(char(c.unicode() >> 8));
            return m_ok = m_file.write(bytes) == bytes.size();
        }
    }

    // S_OK once the file stands at its path; E_FAIL for a character XML
    // cannot carry, E_INVALIDARG when it could not be written. Nothing is
    // left at the path on failure.
    HRESULT commit() {
        if (m_ok && m_file.commit())
            return S_OK;
        m_file.cancelWriting();
        CLogBase log(u"MRV", u"MRV_ConfigurationManager::writeToFile");
        if (!m_unwritable.isEmpty()) {
            log.LogError(u"'%s' not written: %s", m_file.fileName(), m_unwritable);
            return E_FAIL;
        }
        log.LogError(u"Failed to open output configuration file");
        return E_INVALIDARG;
    }

    void cancel() { m_file.cancelWriting(); }

private:
    QSaveFile m_file;
    bool m_ok = false;
    qsizetype m_written = 0;
    QString m_unwritable;
};

} // namespace

HRESULT MRV_ConfigurationManager::writeToFile(const QString& path, const QString& text) const {
    ConfigurationFile file(path);
    file.write(text);
    return file.commit();
}

namespace {

// Calls use with each record document ("<BOM>" … "</BOM>") of a table's
// text, in order.
template <typename Use> void eachDocument(const QString& text, Use use) {
    for (qsizetype from = text.indexOf(QLatin1String("<BOM>")); from >= 0;) {
        const qsizetype end = text.indexOf(QLatin1String("</BOM>"), from);
        if (end < 0)
            break;
        use(QStringView(text).mid(from, end + 6 - from));
        from = text.indexOf(QLatin1String("<BOM>"), end);
    }
}

} // namespace

void MRV_ConfigurationManager::getData(const QString& stringId,
                                       QList<ConfigurationTableData>& tables) const {
    tables.clear();
    const ConfigurationObject* found = object(stringId);
    if (!found)
        return;
    for (const ConfigurationTable& table : found->tables) {
        ConfigurationTableData data{table.name(), {}};
        eachDocument(table.records,
                     [&](QStringView document) { data.documents << document.toString(); });
        tables << data;
    }
}

// The copy run -----------------------------------------------------------

namespace {

QString textOf(quint32 id) {
    return MRV_Interaction::current().text(id);
}

QString categoryText(const QString& stringId) {
    return MRV_ResourceManager::instance()->textOf(stringId, MRV_Interaction::current().language());
}

} // namespace

void MRV_ConfigurationManager::updateHeaderFromWorksheet(const MRV_Worksheet& worksheet) {
    m_header.approval = worksheet.approval;
    m_header.backup = worksheet.backup;
    m_header.FRFMUDF = worksheet.FRFMUDF;
    m_header.copyMethod = worksheet.copyMethod;
    m_header.RTCF = worksheet.RTCF;
    m_header.partialConfiguration =
        std::any_of(worksheet.nodes.begin(), worksheet.nodes.end(), [](const auto& node) {
            return node->leaf && node->allowSelection && node->selected != 1;
        });
    if (!worksheet.additionalDescr.isEmpty())
        m_header.additionalDescr = worksheet.additionalDescr;
    m_header.creationDate = CTSDateTime().GetAsISO8601();
    if (!worksheet.creationUser.isEmpty())
        m_header.creationUser = worksheet.creationUser;
    // A file written from a base file keeps that file's version: its data
    // are as old as the company it was read from.
    const auto& base = m_context.baseCompany;
    if (base && base->Connected())
        m_header.dbVersion = QString::number(base->Version());
    else
        m_header.dbVersion = QString::number(leadingInteger(m_header.dbVersion));
    m_header.configurationName = QFileInfo(m_context.targetFilePath).fileName();
}

QList<QVariantList> MRV_ConfigurationManager::selectedKeys(const MRV_WorksheetNode& node,
                                                           const QStringList& keyColumns,
                                                           const QList<int>& keyTypes) {
    QList<QVariantList> keys;
    for (const MRV_SelectionObject& record : node.selection) {
        QVariantList values;
        for (qsizetype i = 0; i < keyColumns.size(); ++i) {
            QString text;
            for (const MRV_SelectionField& f : record.keys)
                if (f.fieldName == keyColumns[i])
                    text = f.value;
            QVariant value(text);
            if (i < keyTypes.size() && keyTypes[i] != QMetaType::QString)
                value.convert(QMetaType(keyTypes[i]));
            values << value;
        }
        keys << values;
    }
    return keys;
}

HRESULT MRV_ConfigurationManager::GetBOMFromDB(const QString& stringId,
                                               const MRV_WorksheetNode& node, QString& text) {
    text.clear();
    BOMTableList tables;
    const HRESULT read = readFromBase(stringId, node, tables);
    if (FAILED(read))
        return read;
    qsizetype size = 0;
    for (const MRV_BOMTable& table : std::as_const(tables))
        for (const MRV_BOMDocument& document : table.documents)
            size += document.xml.size();
    text.reserve(size + 64 * tables.size());
    writeTables(tables, [&text](QStringView part) {
        text += part;
        return true;
    });
    return read;
}

bool MRV_ConfigurationManager::writeTables(BOMTableList& tables,
                                           const std::function<bool(QStringView)>& write) {
    // Each document is let go once it is written: the category is never
    // held twice.
    for (MRV_BOMTable& table : tables) {
        if (!write(tableStart({{QStringLiteral("name"), table.name}})))
            return false;
        for (MRV_BOMDocument& document : table.documents) {
            const qsizetype at = document.xml.indexOf(QLatin1String("<BOM>"));
            if (at >= 0 && !write(QStringView(document.xml).mid(at)))
                return false;
            document.xml = QString();
        }
        if (!write(TableEnd))
            return false;
    }
    return true;
}

HRESULT MRV_ConfigurationManager::readFromBase(const QString& stringId,
                                               const MRV_WorksheetNode& node,
                                               BOMTableList& tables) {
    CLogBase log(u"MRV", u"MRV_ConfigurationManager::GetBOMFromDB");
    tables.clear();
    const std::unique_ptr<MRV_DIInterface> manager =
        MRV_DataInterfaceFactory(&m_context).createDataInterface(stringId);
    if (!manager) {
        log.LogError(u"Failed to get DIObject");
        return E_FAIL;
    }
    manager->initialize();
    MRV_KeyList keys;
    if (node.selected == MRV_WorksheetNode::PartlySelected) {
        if (node.selection.isEmpty())
            log.LogError(u"No keys in list of selection object (partial selection)");
        keys = selectedKeys(node, manager->dataSet().keyColumns(), manager->dataSet().keyTypes());
    }
    MRV_Interaction& ui = MRV_Interaction::current();
    CTSBSTR status(ui.language());
    status.FormatId(10071, categoryText(stringId));
    ui.statusText(status, false, 0);
    manager->readFromDatabase(keys, tables);
    return manager->failedRecords() > 0 ? S_FALSE : S_OK;
}

HRESULT MRV_ConfigurationManager::GetBOMFromXML(const QString& stringId,
                                                const MRV_WorksheetNode& node, QString& text) {
    text.clear();
    const ConfigurationObject* found = object(stringId);
    if (!found)
        return S_OK;
    for (const ConfigurationTable& table : found->tables)
        text += tableText(table.attributes, table.records);
    if (node.selected != MRV_WorksheetNode::PartlySelected)
        return S_OK;
    // The records the user picked, found by the elements of their keys.
    QStringList columns, elements;
    if (const std::unique_ptr<MRV_DIInterface> manager =
            MRV_DataInterfaceFactory(&m_context).createDataInterface(stringId)) {
        manager->initialize();
        columns = manager->dataSet().keyColumns();
        elements = manager->dataSet().keyElements();
    }
    QList<QList<std::pair<QString, QString>>> selected;
    for (const MRV_SelectionObject& record : node.selection) {
        QList<std::pair<QString, QString>> keys;
        for (const MRV_SelectionField& f : record.keys) {
            const qsizetype i = columns.indexOf(f.fieldName);
            keys.append({i >= 0 && i < elements.size() && !elements[i].isEmpty() ? elements[i]
                                                                                 : f.fieldName,
                         f.value});
        }
        selected << keys;
    }
    MRV_ChangedDataManager::removeUnselected(text, selected);
    return S_OK;
}

HRESULT MRV_ConfigurationManager::writeBody(const std::function<bool(QStringView)>& write,
                                            MRV_Worksheet& worksheet, bool baseIsFile) {
    CLogBase log(u"MRV", u"MRV_ConfigurationManager::writeBody");
    MRV_Interaction& ui = MRV_Interaction::current();
    QString text;
    writeBodyStart(text);
    if (!write(text))
        return E_FAIL;
    bool complete = true;
    int index = 0;
    for (const ConfigurationObject& listed : std::as_const(m_objects)) {
        ui.progressPosition(++index);
        const QString stringId = listed.stringId();
        const MRV_WorksheetNode* node = worksheet.findLeaf(stringId);
        if (!node || node->selected == MRV_WorksheetNode::NotSelected)
            continue;
        QString tables;
        // Without edits to merge, a category read from the base goes to the
        // file document by document instead of as one text.
        const bool merged = m_changes.contains(stringId) || !node->edits.isEmpty();
        BOMTableList read;
        try {
            const HRESULT hr = baseIsFile ? GetBOMFromXML(stringId, *node, tables)
                               : merged   ? GetBOMFromDB(stringId, *node, tables)
                                          : readFromBase(stringId, *node, read);
            if (FAILED(hr)) {
                complete = false;
                continue;
            }
            // Some records could not be read: the others are written.
            if (hr == S_FALSE)
                complete = false;
        } catch (const MRV_DIFailureAbortException& e) {
            // A record could not be read and the run stops on a failure.
            log.LogError(u"%s", e.reason());
            return E_ABORT;
        } catch (const ComError& e) {
            log.LogError(u"%s", e.errorMessage());
            complete = false;
            continue;
        } catch (const std::exception& e) {
            log.LogError(u"%s", QString::fromLocal8Bit(e.what()));
            complete = false;
            continue;
        }
        if (!baseIsFile && !merged) {
            const bool any = std::any_of(read.cbegin(), read.cend(), [](const MRV_BOMTable& t) {
                return std::any_of(t.documents.cbegin(), t.documents.cend(),
                                   [](const MRV_BOMDocument& d) {
                                       return d.xml.contains(QLatin1String("<BOM>"));
                                   });
            });
            if (any && (!write(objectStart(listed.attributes)) || !writeTables(read, write) ||
                        !write(ObjectEnd)))
                return E_FAIL;
            continue;
        }
        for (const MRV_ChangedRecord& change : m_changes.value(stringId))
            MRV_ChangedDataManager::mergeSingle(tables, change);
        for (const MRV_ChangedRecord& change : node->edits)
            MRV_ChangedDataManager::mergeSingle(tables, change);
        if (tables.contains(QLatin1String("<BOM>")) &&
            (!write(objectStart(listed.attributes)) || !write(tables) || !write(ObjectEnd)))
            return E_FAIL;
    }
    text.clear();
    writeBodyEnd(text);
    if (!write(text))
        return E_FAIL;
    if (complete)
        return S_OK;
    log.LogError(u"Failed to write all BOMs");
    ui.error(textOf(10022), false);
    return E_FAIL;
}

HRESULT MRV_ConfigurationManager::saveConfiguration(MRV_Worksheet& worksheet, bool baseIsFile) {
    CLogBase log(u"MRV", u"MRV_ConfigurationManager::saveConfiguration");
    MRV_Interaction& ui = MRV_Interaction::current();
    // The object list: every category in writing order, or the base file's.
    if (!baseIsFile || !isLoaded()) {
        const HRESULT hr = openConfiguration(&m_context, !baseIsFile);
        if (FAILED(hr))
            return hr;
    }
    ui.progressStart(textOf(10014), 0, objectCount() + 1);
    MRV_WaitCursor wait;
    updateHeaderFromWorksheet(worksheet);
    ConfigurationFile file(m_context.targetFilePath);
    QString header;
    writeHeader(header);
    file.write(header);
    ui.progressPosition(1);
    const HRESULT body =
        writeBody([&file](QStringView text) { return file.write(text); }, worksheet, baseIsFile);
    if (body == E_ABORT) {
        file.cancel();
        ui.progressEnd();
        return E_ABORT;
    }
    const HRESULT written = file.commit();
    ui.progressEnd();
    // A category that could not be read is reported; the file holds the
    // others.
    return FAILED(written) ? written : body == E_FAIL ? S_FALSE : S_OK;
}

BOMTableList MRV_ConfigurationManager::tablesOf(const QString& stringId) const {
    BOMTableList tables;
    const ConfigurationObject* found = object(stringId);
    if (!found)
        return tables;
    // Straight from the file's text: each document is made once.
    static const QString declaration =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\" ?>");
    for (const ConfigurationTable& table : found->tables) {
        MRV_BOMTable bom{table.name(), {}};
        eachDocument(table.records, [&](QStringView document) {
            QString xml;
            xml.reserve(declaration.size() + document.size());
            xml += declaration;
            xml += document;
            bom.documents.append({std::move(xml), 0});
        });
        tables << bom;
    }
    return tables;
}

BOMTableList MRV_ConfigurationManager::takeTablesOf(const QString& stringId) {
    BOMTableList tables = tablesOf(stringId);
    // The run writes each category once: its documents are all it needs
    // from here on, and the text they were made of goes.
    if (const auto at = m_objectsById.constFind(stringId); at != m_objectsById.cend()) {
        ConfigurationObject& o = m_objects[*at];
        for (ConfigurationTable& table : o.tables)
            table.records = QString();
        for (auto& entry : o.tablesByName)
            entry.second.records = QString();
    }
    return tables;
}

bool MRV_ConfigurationManager::writePass(MRV_Worksheet& worksheet, bool removal, HRESULT& status) {
    CLogBase log(u"MRV", u"MRV_ConfigurationManager::writeConfiguration");
    MRV_Interaction& ui = MRV_Interaction::current();
    QList<const ConfigurationObject*> order;
    for (const ConfigurationObject& o : std::as_const(m_objects))
        removal ? order.prepend(&o) : order.append(&o);
    int index = 0;
    for (const ConfigurationObject* o : order) {
        ui.progressPosition(++index);
        const QString stringId = o->stringId();
        const MRV_WorksheetNode* node = worksheet.findLeaf(stringId);
        if (!node || node->selected == MRV_WorksheetNode::NotSelected)
            continue;
        const int method = node->effectiveCopyMethod(m_context.copyMethod);
        if (removal && method != MRV_DIInterface::ReplaceAll)
            continue;
        const std::unique_ptr<MRV_DIInterface> manager =
            MRV_DataInterfaceFactory(&m_context).createDataInterface(stringId);
        if (!manager) {
            log.LogError(u"Failed to get DIObject");
            continue;
        }
        if (!removal) {
            CTSBSTR text(ui.language());
            text.FormatId(10073, categoryText(stringId));
            ui.statusText(text, false, 0);
        }
        // A category's records are committed together: each record is a unit
        // of its own inside (a refused one leaves nothing behind), and one
        // commit per category spares a synced commit per record. What was
        // written and logged is kept whatever happens next.
        // The category's log lines become durable with its commit. Inside
        // the run's own transaction the category is a savepoint, and its
        // lines wait for the run's commit.
        LLObjectsCOM::Company& target = *m_context.targetCompany;
        bool own = false;
        bool ended = false; // a failed category is ended once more after its failure
        qint64 linesBefore = 0;
        const auto savepoint = [&](const char* statement) {
            target.GetRecordset()->DoQuery(QLatin1String(statement));
        };
        const auto commit = [&] {
            if (std::exchange(ended, true))
                return;
            try {
                // The first passwords of the category's new users are on
                // the disk before the users are.
                QString why;
                if (m_context.initialPasswords && !m_context.initialPasswords->sync(why))
                    throw ComError(E_FAIL, why);
                if (own && target.InTransaction())
                    target.EndTransaction(0);
                else if (!own)
                    savepoint("RELEASE mrv_category");
            } catch (const ComError&) {
                // The target kept nothing of the category: neither does
                // the log.
                if (own && target.InTransaction())
                    target.EndTransaction(1);
                else if (!own && target.InTransaction()) {
                    savepoint("ROLLBACK TO mrv_category");
                    savepoint("RELEASE mrv_category");
                }
                if (m_context.copyLog)
                    m_context.copyLog->discardLines(linesBefore);
                throw;
            }
            if (m_context.copyLog && own)
                m_context.copyLog->commitLines();
        };
        QString failure;
        try {
            own = !target.InTransaction();
            if (own)
                target.StartTransaction();
            else
                savepoint("SAVEPOINT mrv_category");
            if (m_context.copyLog) {
                m_context.copyLog->holdLines();
                linesBefore = m_context.copyLog->heldSize();
            }
            manager->initialize();
            manager->writeToTarget(removal ? tablesOf(stringId) : takeTablesOf(stringId),
                                   removal ? MRV_DIInterface::RemovalPhase : method);
            commit();
        } catch (const MRV_DIFailureAbortException& e) {
            // The user (or the response option) stopped the run: nothing
            // more is written.
            log.LogError(u"%s", e.reason());
            status = E_ABORT;
            endCategory(commit, log);
            return false;
        } catch (const ComError& e) {
            failure = e.description();
        } catch (const std::exception& e) {
            failure = QString::fromLocal8Bit(e.what());
        }
        if (failure.isEmpty())
            continue;
        // The whole category failed (a target locked by another program, a
        // refused transaction): the user and the log learn which and why.
        log.LogDbg2(u"Exception from writeData caught!");
        log.LogError(u"%s", failure);
        status = E_FAIL;
        endCategory(commit, log);
        reportCategoryFailure(stringId, method, failure);
    }
    return true;
}

bool MRV_ConfigurationManager::replacesAny(const MRV_Worksheet& worksheet) const {
    for (const ConfigurationObject& o : std::as_const(m_objects)) {
        const MRV_WorksheetNode* node = worksheet.findLeaf(o.stringId());
        if (node && node->selected != MRV_WorksheetNode::NotSelected &&
            node->effectiveCopyMethod(m_context.copyMethod) == MRV_DIInterface::ReplaceAll)
            return true;
    }
    return false;
}

void MRV_ConfigurationManager::commitRun() {
    LLObjectsCOM::Company& target = *m_context.targetCompany;
    try {
        if (target.InTransaction())
            target.EndTransaction(0);
    } catch (const ComError&) {
        if (target.InTransaction())
            target.EndTransaction(1);
        if (m_context.copyLog)
            m_context.copyLog->discardLines();
        throw;
    }
    if (m_context.copyLog)
        m_context.copyLog->commitLines();
}

void MRV_ConfigurationManager::reportRunFailure(const MRV_Worksheet& worksheet,
                                                const QString& reason) {
    LLObjectsCOM::Company& target = *m_context.targetCompany;
    if (target.InTransaction()) {
        try {
            target.EndTransaction(1);
        } catch (const ComError&) {
            // The connection ends the transaction when it goes.
        }
    }
    if (m_context.copyLog)
        m_context.copyLog->discardLines();
    MRV_Interaction& ui = MRV_Interaction::current();
    CTSBSTR message(ui.language());
    message.FormatId(10212, reason);
    CLogBase(u"MRV", u"MRV_ConfigurationManager::writeConfiguration")
        .LogError(u"%s", message.str());
    ui.error(message, false);
    // Every category of the run failed with it: the log says so of each.
    for (const ConfigurationObject& o : std::as_const(m_objects))
        if (const MRV_WorksheetNode* node = worksheet.findLeaf(o.stringId());
            node && node->selected != MRV_WorksheetNode::NotSelected)
            logCategoryFailure(o.stringId(), node->effectiveCopyMethod(m_context.copyMethod),
                               reason);
}

void MRV_ConfigurationManager::endCategory(const std::function<void()>& commit,
                                           const CLogBase& log) {
    try {
        commit();
    } catch (const ComError& e) {
        log.LogError(u"%s", e.errorMessage());
    } catch (const MRV_CopyLog::WriteError& e) {
        log.LogError(u"%s", QString::fromLocal8Bit(e.what()));
    }
}

void MRV_ConfigurationManager::reportCategoryFailure(const QString& stringId, int copyMethod,
                                                     const QString& reason) {
    MRV_Interaction& ui = MRV_Interaction::current();
    CTSBSTR message(ui.language());
    message.FormatId(10205, categoryText(stringId), reason);
    ui.error(message, false);
    logCategoryFailure(stringId, copyMethod, reason);
}

void MRV_ConfigurationManager::logCategoryFailure(const QString& stringId, int copyMethod,
                                                  const QString& reason) {
    if (MRV_CopyLog* copyLog = m_context.copyLog) {
        try {
            copyLog->resetRecord();
            copyLog->setCategoryId(stringId);
            copyLog->setTransactionType(QString::number(MRV_CopyLog::copyMethodId(copyMethod)));
            copyLog->setResult(QStringLiteral("403"));
            copyLog->setError(reason);
            copyLog->writeRecord(true);
        } catch (const MRV_CopyLog::WriteError& e) {
            CLogBase(u"MRV", u"MRV_ConfigurationManager::reportCategoryFailure")
                .LogError(u"%s", QString::fromLocal8Bit(e.what()));
        }
    }
}

HRESULT MRV_ConfigurationManager::writeConfiguration(MRV_Worksheet& worksheet, bool baseIsFile) {
    CLogBase log(u"MRV", u"MRV_ConfigurationManager::writeConfiguration");
    MRV_Interaction& ui = MRV_Interaction::current();
    CTSBSTR writing(ui.language());
    writing.FormatId(10073, m_context.targetCompanyName);
    ui.statusText(writing, false, 0);
    HRESULT status = saveConfiguration(worksheet, baseIsFile);
    if (FAILED(status))
        return status;
    // What the file lacks (records logged as they were read, categories
    // that could not be read) fails the run, though the rest is copied.
    const bool incomplete = status == S_FALSE;
    // The file just written is the base of the run from here on.
    const QString savedBase = m_context.databaseName;
    m_context.databaseName = m_context.targetFilePath;
    const auto& target = m_context.targetCompany;
    if (openFile(m_context.targetFilePath) != S_OK || !target || !target->Connected()) {
        CTSBSTR text(ui.language());
        text.FormatId(10023, m_context.targetFilePath);
        log.LogError(u"%s", text.str());
        ui.error(text, false);
        m_context.databaseName = savedBase;
        return E_FAIL;
    }
    ui.progressStart(textOf(10021), 0, objectCount());
    MRV_WaitCursor wait;
    // A category that fails whole fails the run, whatever comes after it.
    status = S_OK;
    // A run that replaces categories removes them all before it writes any
    // of them again: it is one transaction, so that no interruption leaves
    // the target with a category removed and not written.
    const bool wholeRun = replacesAny(worksheet) && !target->InTransaction();
    try {
        if (wholeRun) {
            target->StartTransaction();
            if (m_context.copyLog)
                m_context.copyLog->holdLines();
        }
        const bool removed = writePass(worksheet, true, status);
        if (removed)
            writePass(worksheet, false, status);
        // Stopped while removing, the run would leave categories removed
        // and not written again: it keeps nothing.
        if (wholeRun && !removed)
            reportRunFailure(worksheet, textOf(10213));
        else if (wholeRun)
            commitRun();
    } catch (const ComError& e) {
        status = E_FAIL;
        reportRunFailure(worksheet, e.description());
    } catch (const MRV_CopyLog::WriteError& e) {
        status = E_FAIL;
        reportRunFailure(worksheet, QString::fromLocal8Bit(e.what()));
    }
    ui.progressEnd();
    m_context.databaseName = savedBase;
    // What was read is the run's file, not the worksheet's base: it goes,
    // and a later save reads the base again.
    m_parser.reset();
    m_objects.clear();
    m_objectsById.clear();
    if (status != S_OK && target->InTransaction())
        target->EndTransaction(1);
    // However the run ended, new tax objects may still point at the
    // temporary transport account: it goes when nothing does, otherwise the
    // log names each object left to finish.
    MRV_TransportAccount::settle(m_context);
    return status == S_OK && incomplete ? E_FAIL : status;
}

void MRV_ConfigurationManager::updateWorksheet(MRV_Worksheet& worksheet) {
    worksheet.additionalDescr = m_header.additionalDescr;
    worksheet.approval = m_header.approval;
    worksheet.backup = m_header.backup;
    // A file can say anything; only a method the run knows comes in force.
    if (m_header.copyMethod >= 1 && m_header.copyMethod <= 4)
        worksheet.copyMethod = m_header.copyMethod;
    worksheet.creationUser = m_header.creationUser;
    worksheet.FRFMUDF = m_header.FRFMUDF;
    m_context.baseCompanyName = m_header.configurationName;
    for (const auto& node : worksheet.nodes)
        if (node->leaf)
            node->inConfiguration = object(node->categoryId) != nullptr;
}
