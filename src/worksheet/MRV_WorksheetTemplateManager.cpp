#include "worksheet/MRV_WorksheetTemplateManager.h"

#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"
#include "tsframework/TSModule.h"
#include "worksheet/MRV_WorksheetManager.h"

namespace {

void logMissing(const CLogBase& log, const QString& leafId) {
    log.LogError(u"Node '%s' not found in worksheet template!", leafId);
}

} // namespace

MRV_WorksheetTemplateManager::MRV_WorksheetTemplateManager(QString templatePath)
    : m_path(std::move(templatePath)) {}

MRV_WorksheetTemplateManager*
MRV_WorksheetTemplateManager::instance(MRV_ConnectionContext* context) {
    MRV_WorksheetTemplateManager& manager = processManager();
    manager.setConnectionContext(context);
    if (!manager.isInitialized())
        manager.initialize();
    return &manager;
}

MRV_WorksheetTemplateManager* MRV_WorksheetTemplateManager::ifInitialized() {
    MRV_WorksheetTemplateManager& manager = processManager();
    return manager.isInitialized() ? &manager : nullptr;
}

MRV_WorksheetTemplateManager& MRV_WorksheetTemplateManager::processManager() {
    static MRV_WorksheetTemplateManager manager;
    return manager;
}

QString MRV_WorksheetTemplateManager::defaultTemplatePath() {
    return TSModuleFile(QStringLiteral("WorkSheet.tpl"));
}

HRESULT MRV_WorksheetTemplateManager::initialize() {
    CLogBase log(u"MRV", u"MRV_WorksheetTemplateManager::initialize");
    MRV_WorksheetManager reader(m_context);
    const HRESULT hr = reader.readWorksheetFile(m_template, m_path, m_problem);
    if (FAILED(hr)) {
        m_template.nodes.clear();
        reportProblem();
        return hr;
    }
    m_problem.clear();
    m_initialized = true;
    m_nodes.clear();
    m_leaves.clear();
    for (const auto& node : m_template.nodes) {
        if (!m_nodes.contains(node->leafId))
            m_nodes.insert(node->leafId, node.get());
        if (node->leaf && !m_leaves.contains(node->categoryId))
            m_leaves.insert(node->categoryId, node->leafId);
    }
    updateFlags();
    return S_OK;
}

void MRV_WorksheetTemplateManager::reportProblem() const {
    MRV_Interaction& ui = MRV_Interaction::current();
    ui.error(CTSBSTR(ui.language()).FormatId(10200, m_problem));
}

HRESULT MRV_WorksheetTemplateManager::getWorksheetTemplate(MRV_Worksheet& worksheet) const {
    MRV_Worksheet::NodeList copies;
    copies.reserve(m_template.nodes.size());
    for (const auto& node : m_template.nodes)
        copies.push_back(std::make_unique<MRV_WorksheetNode>(*node));
    worksheet.nodes = std::move(copies);
    return S_OK;
}

HRESULT MRV_WorksheetTemplateManager::updateWorksheetFromTemplate(MRV_Worksheet& worksheet) const {
    CLogBase log(u"MRV", u"MRV_WorksheetTemplateManager::updateWorksheetFromTemplate");
    if (!m_initialized) {
        reportProblem();
        return E_FAIL;
    }
    for (const auto& node : worksheet.nodes) {
        const MRV_WorksheetNode* source = templateNode(node->leafId);
        if (!source) {
            logMissing(log, node->leafId);
            MRV_Interaction& ui = MRV_Interaction::current();
            ui.error(CTSBSTR::load(10036, ui.language()));
            return E_FAIL;
        }
        node->categoryId = source->categoryId;
        node->stringId = source->stringId;
        node->noteNumber = source->noteNumber;
        node->noteStringId = source->noteStringId;
        node->dataAreaFormat = source->dataAreaFormat;
        node->allowSelection = source->allowSelection;
        node->localizationTransfer = source->localizationTransfer;
        node->substituteCopyMethod = source->substituteCopyMethod;
        node->level = source->getLevel();
        node->hasDependencies = source->hasDependencies;
        node->prohibitedCopyMethods.append(source->prohibitedCopyMethods);
        for (const QString& dependency : source->dependencies)
            node->addDependency(dependency);
    }
    return S_OK;
}

void MRV_WorksheetTemplateManager::updateFlags() {
    CLogBase log(u"MRV", u"MRV_WorksheetTemplateManager::updateFlags");
    for (const auto& node : m_template.nodes) {
        node->hasDependencies = !node->dependencies.isEmpty();
        if (!node->localizationTransfer)
            continue;
        for (QString id = node->leafId; id.lastIndexOf(u'.') > 0;) {
            id.truncate(id.lastIndexOf(u'.'));
            if (MRV_WorksheetNode* ancestor = m_nodes.value(id, nullptr))
                ancestor->localizationTransfer = true;
            else
                logMissing(log, id);
        }
    }
}

void MRV_WorksheetTemplateManager::updateStrings() {
    MRV_WorksheetManager(m_context).updateStrings(m_template);
}

HRESULT MRV_WorksheetTemplateManager::getNodeNameFromID(const QString& leafId, QString& text,
                                                        QString& path) const {
    CLogBase log(u"MRV", u"MRV_WorksheetTemplateManager::getNodeNameFromID");
    text.clear();
    path.clear();
    const MRV_WorksheetNode* node = templateNode(leafId);
    if (!node) {
        logMissing(log, leafId);
        return E_FAIL;
    }
    text = node->text;
    for (QString id = leafId; id.lastIndexOf(u'.') > 0;) {
        id.truncate(id.lastIndexOf(u'.'));
        const MRV_WorksheetNode* ancestor = templateNode(id);
        if (!ancestor) {
            logMissing(log, id);
            return E_FAIL;
        }
        path = path.isEmpty() ? ancestor->text : ancestor->text + u'>' + path;
    }
    return S_OK;
}

HRESULT MRV_WorksheetTemplateManager::getLeafId(const QString& categoryId, QString& leafId) const {
    leafId = m_leaves.value(categoryId);
    return leafId.isEmpty() ? E_FAIL : S_OK;
}
