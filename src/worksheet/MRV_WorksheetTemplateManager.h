#pragma once

#include "host/objects/LLHResult.h"
#include "worksheet/MRV_Worksheet.h"

#include <QHash>
#include <QString>

class MRV_ConnectionContext;

// The one category tree that every worksheet uses, read from the template
// file "WorkSheet.tpl" beside the program: which folders and categories
// exist, how they nest, and each node's note, flags and dependencies.
// Read once and kept for the life of the process; a failed read is tried
// again at the next access.
class MRV_WorksheetTemplateManager {
public:
    // The template beside the program; the path of another template file
    // (tests) otherwise.
    explicit MRV_WorksheetTemplateManager(QString templatePath = defaultTemplatePath());
    MRV_WorksheetTemplateManager(const MRV_WorksheetTemplateManager&) = delete;
    MRV_WorksheetTemplateManager& operator=(const MRV_WorksheetTemplateManager&) = delete;

    // The process's template manager: takes the context and reads the
    // template unless that has succeeded already.
    static MRV_WorksheetTemplateManager* instance(MRV_ConnectionContext* context);
    // The process's template manager once it has read the template; null
    // before, and nothing is read for the asking.
    static MRV_WorksheetTemplateManager* ifInitialized();

    // "WorkSheet.tpl" in the folder of the program's executable.
    static QString defaultTemplatePath();

    void setConnectionContext(MRV_ConnectionContext* context) { m_context = context; }
    bool isInitialized() const { return m_initialized; }

    // Reads the template; 0, or the reader's failure after message 10200
    // with what is wrong with the template and where.
    HRESULT initialize();
    // Shows message 10200 again with the problem the last read found.
    void reportProblem() const;
    // Replaces the worksheet's node list by copies of the template's nodes.
    HRESULT getWorksheetTemplate(MRV_Worksheet& worksheet) const;
    // Completes the nodes of a worksheet read from a file with the template's
    // data; E_FAIL, after message 10036, at the first node the template
    // lacks, or after the template's own message when it cannot be read.
    HRESULT updateWorksheetFromTemplate(MRV_Worksheet& worksheet) const;
    // Derived flags: has-dependencies, and localization transfer passed up
    // to every folder above a category that allows it.
    void updateFlags();
    // The template's texts in the host's current language.
    void updateStrings();
    // The node's text and the texts of its ancestors joined by '>'.
    HRESULT getNodeNameFromID(const QString& leafId, QString& text, QString& path) const;
    // The leaf that carries categoryId; E_FAIL and an empty leaf id when no
    // leaf of the template does.
    HRESULT getLeafId(const QString& categoryId, QString& leafId) const;

    bool containsLeafId(const QString& leafId) const { return m_nodes.contains(leafId); }
    const MRV_WorksheetNode* templateNode(const QString& leafId) const {
        return m_nodes.value(leafId, nullptr);
    }
    const MRV_Worksheet& templateWorksheet() const { return m_template; }
    const QString& templatePath() const { return m_path; }

private:
    static MRV_WorksheetTemplateManager& processManager();
    MRV_ConnectionContext* m_context = nullptr;
    bool m_initialized = false;
    MRV_Worksheet m_template;
    QString m_problem;
    QHash<QString, MRV_WorksheetNode*> m_nodes;
    QHash<QString, QString> m_leaves;
    QString m_path;
};
