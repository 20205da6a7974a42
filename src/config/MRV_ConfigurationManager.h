#pragma once

#include "config/MRV_ChangedDataManager.h"
#include "config/MRV_ConfigurationData.h"
#include "di/MRV_BOMTableList.h"
#include "host/objects/LLHResult.h"

#include <xercesc/sax2/DefaultHandler.hpp>

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringView>
#include <QVariantList>

#include <functional>
#include <memory>

class CLogBase;
class MRV_ConnectionContext;
class MRV_SAXParser;
class MRV_Worksheet;
class MRV_WorksheetNode;
struct MRV_ChangedRecord;

// The program's configuration file: a portable snapshot of the records of
// the selected categories, grouped by category (OBJECT) and table, behind a
// header saying where they came from and how they are to be copied. Reads
// files with a SAX reader (it is the reader's content and error handler),
// keeps what it read, and writes files as one text built in memory.
class MRV_ConfigurationManager : public xercesc::DefaultHandler {
public:
    explicit MRV_ConfigurationManager(MRV_ConnectionContext& context);
    ~MRV_ConfigurationManager() override;
    MRV_ConfigurationManager(const MRV_ConfigurationManager&) = delete;
    MRV_ConfigurationManager& operator=(const MRV_ConfigurationManager&) = delete;

    // Reads only the header of the file the context names as its database
    // (a file base keeps its path there).
    HRESULT previewConfiguration();
    // Reads a whole file: the object list "Configuration.tpl" beside the
    // program (useTemplate), or the base file of the worksheet, found as
    // resolveBasePath says. A template read takes the base company's
    // localization into the header.
    HRESULT openConfiguration(const MRV_ConnectionContext* baseContext, bool useTemplate);
    // Reads the file at path (for tests and tools that know it). A file
    // that cannot be read is shown with message messageId (10203 for a
    // configuration file, 10202 for the object list), naming the file,
    // the place and what is wrong.
    HRESULT openFile(const QString& path, quint32 messageId = 10203);

    // The copy run -----------------------------------------------------

    // The whole run into the target company: the selection written into
    // the intermediate file (the context's target file path), read back,
    // emptied where "Replace All" applies (in reverse order) and written
    // category by category. 0; E_FAIL when the file cannot be read back or
    // there is no target; E_ABORT when the run was stopped after a failed
    // record; the last category's failure otherwise.
    HRESULT writeConfiguration(MRV_Worksheet& worksheet, bool baseIsFile);
    // The selection written into the context's target file: the first half
    // of a run, or the whole of saving a configuration file.
    HRESULT saveConfiguration(MRV_Worksheet& worksheet, bool baseIsFile);
    // The header from the worksheet before writing.
    void updateHeaderFromWorksheet(const MRV_Worksheet& worksheet);
    // The body: an OBJECT for each category of the object list that is
    // selected and has records, handed to write as each is read. E_FAIL
    // (after reporting it) when some category could not be read, the body
    // holding the others, or at once when write refuses.
    HRESULT writeBody(const std::function<bool(QStringView)>& write, MRV_Worksheet& worksheet,
                      bool baseIsFile);
    // A category's records as configuration-file tables, read from the
    // base company through its manager, or taken from the base file.
    HRESULT GetBOMFromDB(const QString& stringId, const MRV_WorksheetNode& node, QString& text);
    HRESULT GetBOMFromXML(const QString& stringId, const MRV_WorksheetNode& node, QString& text);
    // The category's records as its manager reads them from the base; S_FALSE
    // when some could not be read.
    HRESULT readFromBase(const QString& stringId, const MRV_WorksheetNode& node,
                         BOMTableList& tables);
    // tables as configuration-file tables, handed to write piece by piece;
    // each document is emptied once written. False when write refuses.
    static bool writeTables(BOMTableList& tables, const std::function<bool(QStringView)>& write);
    // After a base file was opened: the worksheet takes over its copy
    // options and description, and learns which categories it holds.
    void updateWorksheet(MRV_Worksheet& worksheet);
    // The user's edits of a category's records, merged in when it is
    // written (the details grid hands them over).
    void setChanges(const QString& stringId, const QList<MRV_ChangedRecord>& records) {
        m_changes.insert(stringId, records);
    }
    // The category's records in the file read last, as the managers take
    // them: each document with the declaration in front.
    BOMTableList tablesOf(const QString& stringId) const;
    // The same for the run's write, which needs them once: the category's
    // text is let go.
    BOMTableList takeTablesOf(const QString& stringId);

    // Lines 1 to 5 of a file: declaration, root and header.
    void writeHeader(QString& text) const;
    // The start tags of an OBJECT element (around its tables' text) and of
    // a table element (around its record documents), and their ends;
    // attributes in name order.
    static QString objectStart(const QMap<QString, QString>& attributes);
    static constexpr QStringView ObjectEnd = u"</OBJECT>\n";
    static QString tableStart(const QMap<QString, QString>& attributes);
    static constexpr QStringView TableEnd = u"</table>";
    static QString tableText(const QMap<QString, QString>& attributes, const QString& records);
    static void writeObject(QString& text, const QMap<QString, QString>& attributes,
                            const QString& tables);
    // The body's frame around the OBJECT elements.
    static void writeBodyStart(QString& text);
    static void writeBodyEnd(QString& text);
    // Stores text as a configuration file is stored (see saveConfiguration).
    HRESULT writeToFile(const QString& path, const QString& text) const;

    // The records of the category with this string id, one document per
    // record, by table; empty for a category the file does not hold.
    void getData(const QString& stringId, QList<ConfigurationTableData>& tables) const;

    // The folder of the program's executable, where "Configuration.tpl"
    // lies.
    static HRESULT getAppPath(QString& path);

    // The path of a worksheet's base file: current is the worksheet's
    // path, stored the base file as the worksheet keeps it (a stored
    // "..\Configs\base.xml" is read relative to the worksheet's folder's
    // parent); fallback (the context's database name) when either is empty.
    static QString resolveBasePath(const QString& current, const QString& stored,
                                   const QString& fallback);

    ConfigurationHeader& header() { return m_header; }
    const ConfigurationHeader& header() const { return m_header; }
    const QMap<int, ConfigurationObject>& objects() const { return m_objects; }
    const ConfigurationObject* object(const QString& stringId) const;
    int objectCount() const { return int(m_objects.size()); }
    // A reader is kept after a successful open, so a save reuses what it
    // read.
    bool isLoaded() const { return m_parser != nullptr; }

    // SAX content and error handler.
    void startDocument() override;
    void startElement(const XMLCh* uri, const XMLCh* localname, const XMLCh* qname,
                      const xercesc::Attributes& attributes) override;
    void characters(const XMLCh* chars, XMLSize_t length) override;
    void endElement(const XMLCh* uri, const XMLCh* localname, const XMLCh* qname) override;
    void warning(const xercesc::SAXParseException& e) override;
    void error(const xercesc::SAXParseException& e) override;
    void fatalError(const xercesc::SAXParseException& e) override;

    // Text escaped for the file: & ' < > " and CR (which a reader would
    // otherwise turn into LF).
    static QString escape(const QString& text);

private:
    // The keys of a partly selected node's records, typed as the manager's
    // key columns.
    static QList<QVariantList> selectedKeys(const MRV_WorksheetNode& node,
                                            const QStringList& keyColumns,
                                            const QList<int>& keyTypes);
    // One pass of the run over the file's objects; false when the run was
    // stopped. A category that fails sets status to its failure, and no
    // later category clears it.
    bool writePass(MRV_Worksheet& worksheet, bool removal, HRESULT& status);
    // Some selected category is copied with Replace All.
    bool replacesAny(const MRV_Worksheet& worksheet) const;
    // Commits the run's own transaction and the log lines it held; throws
    // after rolling both back when the target refuses.
    void commitRun();
    // The run could not be kept: nothing of it stays in the target, the
    // user is told why, and the log says it of each of the run's categories.
    void reportRunFailure(const MRV_Worksheet& worksheet, const QString& reason);
    // Commits what a category wrote, as far as the target lets it, and
    // its log lines with it.
    void endCategory(const std::function<void()>& commit, const CLogBase& log);
    // A category that could not be written at all: shown to the user and
    // logged as one failed line of the category.
    void reportCategoryFailure(const QString& stringId, int copyMethod, const QString& reason);
    // The log's failed line for a whole category.
    void logCategoryFailure(const QString& stringId, int copyMethod, const QString& reason);
    HRESULT parse(const QString& path, bool headerOnly, const QString& caller,
                  quint32 messageId = 10203);
    // The first problem the reader reported in the parse under way.
    void noteProblem(const xercesc::SAXParseException& e);
    // Text gathered since the last tag, handed on as one piece: the reader
    // may deliver one text in several calls.
    void flushText(bool wholeContent);
    // Text of the element being read; wholeContent when it is all the
    // element holds (no child element around it).
    void takeText(const QString& text, bool wholeContent);

    MRV_ConnectionContext& m_context;
    std::unique_ptr<MRV_SAXParser> m_parser;
    ConfigurationHeader m_header;
    QMap<int, ConfigurationObject> m_objects;
    QMap<QString, int> m_objectsById;
    QHash<QString, QList<MRV_ChangedRecord>> m_changes;

    // Reader state.
    QString m_element;
    bool m_inRecord = false;
    bool m_headerOnly = false;
    bool m_skipObject = false;
    bool m_skipTable = false;
    bool m_inTable = false;
    int m_startTags = 0;
    QString m_pendingText;
    bool m_leafOpen = false; // no child element since the last start tag
    QString m_record;
    QMap<QString, QString> m_tableAttributes;
    QString m_tableName;
    QMap<QString, QString> m_objectAttributes;
    QString m_stringId;
    QMap<int, ConfigurationTable> m_tables;
    QMap<QString, std::pair<int, ConfigurationTable>> m_tablesByName;
    bool m_failed = false;
    QString m_problem;
    QString m_parsedPath;
};
