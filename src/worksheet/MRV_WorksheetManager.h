#pragma once

#include "host/objects/LLHResult.h"

#include <QHash>
#include <QString>

#include <functional>
#include <memory>

class MRV_ConnectionContext;
class MRV_DOMParser;
class MRV_ResourceManager;
class MRV_Worksheet;
class MRV_WorksheetController;
class MRV_WorksheetNode;
struct MRV_SelectionField;
struct MRV_SelectionObject;

namespace LLObjectsCOM {
class Company;
}

// Reads and writes worksheet files (and reads the worksheet template, which
// has the same grammar), connects an opened worksheet to its base and
// target, and loads texts and record details. Made on the stack for each
// operation.
//
// Every operation returns 0 or a failure code (E_FAIL unless a called
// operation gave another); failures are logged, and the few the user must
// know about are shown in the host's language.
class MRV_WorksheetManager {
public:
    // controller: the window showing the worksheet, when there is one.
    explicit MRV_WorksheetManager(MRV_ConnectionContext* context,
                                  MRV_WorksheetController* controller = nullptr);

    // Replaces the worksheet's header fields found in the file and its node
    // list by the file's, then loads the texts. A file that cannot be read
    // is shown to the user: 10008 when it is missing, otherwise 10201 with
    // what is wrong and where.
    HRESULT readWorksheet(MRV_Worksheet& worksheet, const QString& path);
    // The same without a message: problem tells what is wrong and where
    // ("FILE, line L, column C: what"), for a caller that says it its way.
    HRESULT readWorksheetFile(MRV_Worksheet& worksheet, const QString& path, QString& problem);
    // The texts and note texts in the host's current language.
    HRESULT updateStrings(MRV_Worksheet& worksheet);
    // Gives every leaf shown as a grid or field view its category manager
    // and, for a configuration-file base, its record list.
    HRESULT updateDetails(MRV_Worksheet& worksheet);

    // Opens the worksheet whose path the worksheet holds (or, for a new
    // worksheet or with refresh, builds it from the connection context and
    // the template): reads it, connects base and target (asking the user to
    // log in where needed), reads a base configuration file and loads the
    // record details. 1 when the user cancelled a login.
    HRESULT openWorksheet(MRV_Worksheet& worksheet, bool refresh);

    // Writes the worksheet to path; the file there is replaced only by a
    // complete new one. On success the worksheet and the context take the
    // path and the worksheet is no longer modified.
    HRESULT saveWorksheet(MRV_Worksheet& worksheet, const QString& path);
    // The cursor is on header, body, a node element or selection; it ends
    // where it started, or on the new node element for writeTreeNodeToXML.
    HRESULT writeHeaderDataToXML(MRV_DOMParser& parser, const MRV_Worksheet& worksheet);
    HRESULT writeTreeDataToXML(const MRV_Worksheet& worksheet, MRV_DOMParser& parser);
    HRESULT writeTreeNodeToXML(MRV_DOMParser& parser, const MRV_WorksheetNode& node);
    HRESULT writeSelectionObjectToXML(MRV_DOMParser& parser, const MRV_SelectionObject& object);
    HRESULT writeFieldToXML(MRV_DOMParser& parser, const QString& element,
                            const MRV_SelectionField& field);

    // The value of a header element or attribute that holds a whole number:
    // its leading decimal digits, after blanks and a sign; 0 when there are
    // none; out-of-range numbers saturate.
    static int leadingInt(const QString& text);

private:
    // Reads one node element's attributes into a new node; attribute gives
    // the value of an attribute the element has.
    void readNodeAttributes(const std::function<bool(const QString&, QString&)>& attribute,
                            MRV_WorksheetNode& node);
    // The note string id of note number n through the company's note table,
    // 0 when the table has none.
    quint32 noteStringId(int note);

    // Open: the companies that the worksheet names, logged in as needed.
    HRESULT connectBase(MRV_Worksheet& worksheet);
    HRESULT connectTarget(MRV_Worksheet& worksheet);
    // A company object for the fields the worksheet keeps of a company.
    HRESULT describedCompany(std::shared_ptr<LLObjectsCOM::Company>& company, int serverType,
                             const QString& server, bool trusted, const QString& serverUser,
                             const QString& database, const QString& user);
    // The rest of a save, without the final report.
    HRESULT writeDocument(MRV_Worksheet& worksheet, const QString& path);

    MRV_ConnectionContext* m_context;
    MRV_WorksheetController* m_controller;
    const MRV_ResourceManager* m_catalogue;
    QHash<int, quint32> m_notes;
};
