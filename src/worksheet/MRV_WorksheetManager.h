#pragma once

#include "tsframework/HResult.h"

#include <QHash>
#include <QString>

class MRV_ConnectionContext;
class MRV_DOMParser;
class MRV_ResourceManager;
class MRV_Worksheet;
class MRV_WorksheetNode;

// Reads worksheet files (and the worksheet template, which has the same
// grammar) into worksheet objects and loads their texts. Made on the stack
// for each operation.
//
// Every operation returns 0 or a failure code (E_FAIL unless a called
// operation gave another); failures are logged, and the few the user must
// know about are shown in the host's language.
class MRV_WorksheetManager {
public:
    explicit MRV_WorksheetManager(MRV_ConnectionContext* context);

    // Replaces the worksheet's header fields found in the file and its node
    // list by the file's, then loads the texts.
    HRESULT readWorksheet(MRV_Worksheet& worksheet, const QString& path);
    // The cursor is on the header element.
    HRESULT getHeaderDataFromXML(MRV_Worksheet& worksheet, MRV_DOMParser& parser);
    // The cursor is on the first child of body (or of a node element); it
    // ends on that element's parent.
    HRESULT getTreeDataFromXML(MRV_Worksheet& worksheet, MRV_DOMParser& parser);
    // The cursor is on a dependencies or selection element and stays there.
    HRESULT getDependencies(MRV_DOMParser& parser, MRV_WorksheetNode& node);
    HRESULT getSelection(MRV_DOMParser& parser, MRV_WorksheetNode& node);
    // The texts and note texts in the host's current language.
    HRESULT updateStrings(MRV_Worksheet& worksheet);

    // The value of a header element or attribute that holds a whole number:
    // its leading decimal digits, after blanks and a sign; 0 when there are
    // none; out-of-range numbers saturate.
    static int leadingInt(const QString& text);

private:
    // Reads the elements from the cursor on; records and dependencies go to
    // owner, the node whose element holds them.
    HRESULT readElements(MRV_Worksheet& worksheet, MRV_DOMParser& parser, MRV_WorksheetNode* owner);
    // Reads one node element's attributes into a new node.
    void readNodeAttributes(MRV_DOMParser& parser, MRV_WorksheetNode& node);
    // The note string id of note number n through the company's note table,
    // 0 when the table has none.
    quint32 noteStringId(int note);

    MRV_ConnectionContext* m_context;
    const MRV_ResourceManager* m_catalogue;
    QHash<int, quint32> m_notes;
};
