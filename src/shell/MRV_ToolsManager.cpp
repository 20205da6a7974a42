#include "shell/MRV_ToolsManager.h"

#include "di/MRV_ConnectionContext.h"
#include "di/MRV_UDTManager.h"
#include "gui/MRV_Dialog.h"
#include "gui/MRV_GUIManager.h"
#include "gui/MRV_MainFrame.h"
#include "host/objects/LLComError.h"
#include "host/ui/LLUiApplication.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"
#include "tsframework/CTSResourceLoader.h"
#include "tsframework/CTSUtil.h"

#include <QAction>
#include <QMenuBar>

namespace {

const QString kPrefix = QStringLiteral("MRV_");

// The popups of the main window, by position.
constexpr quint32 kPopups[] = {500, 501, 502, 503, 504};

// Unfreezes the client's main menu form when the scope ends, however it
// ends.
class FrozenMenu {
public:
    explicit FrozenMenu(LLUiCOM::Application& application) : m_application(application) {
        m_application.freezeForm(LLUiCOM::MainMenuForm, 1, true);
    }
    ~FrozenMenu() {
        try {
            m_application.freezeForm(LLUiCOM::MainMenuForm, 1, false);
        } catch (const ComError&) {
            // The client is gone: there is nothing left to unfreeze.
        }
    }
    FrozenMenu(const FrozenMenu&) = delete;
    FrozenMenu& operator=(const FrozenMenu&) = delete;

private:
    LLUiCOM::Application& m_application;
};

} // namespace

bool MRV_isEnabled(const MRV_EnableList& list, quint32 id) {
    for (const auto& [entry, enabled] : list)
        if (entry == id)
            return enabled;
    return false;
}

QList<XMLMAP> MRV_ToolsManager::placeholders() {
    return {
        {QStringLiteral("MRV_MNU_MO_OPENAPPLICATION_100"), 505},
        {QStringLiteral("MRV_MNU_MH_FILE_100"), 500},
        {QStringLiteral("MRV_MNU_MH_EDIT_100"), 501},
        {QStringLiteral("MRV_MNU_MH_VIEW_100"), 502},
        {QStringLiteral("MRV_MNU_MH_DATA_100"), 503},
        {QStringLiteral("MRV_MNU_MH_HELP_100"), 504},
        {QStringLiteral("MRV_MNU_MO_NEWWORKSHEET_100"), 506},
        {QStringLiteral("MRV_MNU_MO_OPENWORKSHEET_100"), 507},
        {QStringLiteral("MRV_MNU_MO_OPENLOGFILE_100"), 508},
        {QStringLiteral("MRV_MNU_MO_CLOSEWORKSHEET_100"), 509},
        {QStringLiteral("MRV_MNU_MO_SAVEWORKSHEET_100"), 510},
        {QStringLiteral("MRV_MNU_MO_SAVECONFFILE_100"), 511},
        {QStringLiteral("MRV_MNU_MO_COPYTOCOMPANY_100"), 512},
        {QStringLiteral("MRV_MNU_MO_PRINT_100"), 513},
        {QStringLiteral("MRV_MNU_MO_WSPROPERTIES_100"), 514},
        {QStringLiteral("MRV_MNU_MO_OPTIONS_100"), 515},
        {QStringLiteral("MRV_MNU_MO_EXIT_100"), 516},
        {QStringLiteral("MRV_MNU_MO_DISPLAYDEPENCIES_100"), 517},
        {QStringLiteral("MRV_MNU_MO_HIDEDEPENDENCIES_100"), 518},
        {QStringLiteral("MRV_MNU_MO_SELECTIONVIEW_100"), 519},
        {QStringLiteral("MRV_MNU_MO_UNDOSELECTION_100"), 520},
        {QStringLiteral("MRV_MNU_MO_SORT_100"), 521},
        {QStringLiteral("MRV_MNU_MO_FILTER_100"), 522},
        {QStringLiteral("MRV_MNU_MO_HELP_100"), 523},
        {QStringLiteral("MRV_MNU_MO_ABOUT_100"), 524},
    };
}

MRV_ToolsManager::MRV_ToolsManager(MRV_ConnectionContext* context)
    : m_context(context), m_placeholders(placeholders()) {}

QString MRV_ToolsManager::menuUid(quint32 stringId) {
    return CTSUtil::GetMenuUID(kPrefix, stringId, placeholders());
}

HRESULT MRV_ToolsManager::loadMenuFromXML(int resourceId) {
    CLogBase log(u"MRV", u"MRV_ToolsManager::loadMenuFromXML");
    HRESULT hr = S_OK;
    try {
        LLUiCOM::Application& application = m_context->getApplication();
        const FrozenMenu frozen(application);
        QString xml;
        if (FAILED(hr = MRV_UDTManager::resources().GetResourceFileContents(resourceId, xml))) {
            log.LogError(u"Failed to get resource file contents of resource %d", resourceId);
            return hr;
        }
        QString localized;
        if (FAILED(hr = CTSResourceLoader::LoadXML(xml, m_placeholders, application.language(),
                                                   localized))) {
            log.LogError(u"Failed to localize menu");
            return hr;
        }
        try {
            application.loadBatchActions(localized);
        } catch (const ComError& e) {
            log.LogError(u"Failed to update menu from resource %d", resourceId);
            hr = e.code();
        }
        log.LogDbg2(u"%s", application.lastBatchResults());
    } catch (const ComError& e) {
        log.LogError(u"Exception caught: %d", e.code());
        hr = e.code();
    } catch (...) {
        log.LogError(u"Unknown exception caught");
        hr = E_FAIL;
    }
    return hr;
}

HRESULT MRV_ToolsManager::initializeLLMenu() {
    // An entry left from before (another language, an earlier load) goes
    // first; at the first load there is none to remove.
    bool present = false;
    try {
        m_context->getApplication().menuItem(menuUid(OpenApplication));
        present = true;
    } catch (const ComError&) {
    }
    if (present)
        removeLLMenu();
    return loadMenuFromXML(AddMenuResource);
}

HRESULT MRV_ToolsManager::removeLLMenu() {
    return loadMenuFromXML(RemoveMenuResource);
}

HRESULT MRV_ToolsManager::enableLLMenuItem(quint32 stringId, bool enabled) {
    CLogBase log(u"MRV", u"MRV_ToolsManager::enableLLMenuItem");
    try {
        m_context->getApplication().setMenuEnabled(
            CTSUtil::GetMenuUID(kPrefix, stringId, m_placeholders), enabled);
        return S_OK;
    } catch (const ComError& e) {
        log.LogError(u"Exception caught: %s", ComError::textForCode(e.code()));
        return e.code();
    } catch (...) {
        log.LogError(u"Undefined exception caught");
        return E_FAIL;
    }
}

HRESULT MRV_ToolsManager::initializeWinMenu(const MRV_EnableList& list) {
    return updateSubmenus(list);
}

HRESULT MRV_ToolsManager::updateSubmenus(const MRV_EnableList& list) {
    HRESULT worst = S_OK;
    for (int position = 0; position < int(std::size(kPopups)); ++position)
        if (const HRESULT hr = updateSubmenu(position, kPopups[position], list); FAILED(hr))
            worst = hr;
    return worst;
}

HRESULT MRV_ToolsManager::updateSubmenu(int position, quint32 stringId,
                                        const MRV_EnableList& list) {
    MRV_MainFrame* frame = MRV_GUIManager::instance().mainFrame();
    if (!frame)
        return E_FAIL;
    const QList<QAction*> popups = frame->menuBar()->actions();
    if (position < 0 || position >= popups.size())
        return E_INVALIDARG;
    // The mnemonics are chosen over all five popups, so that no two share
    // one in any language.
    QStringList texts;
    int index = -1;
    for (int i = 0; i < int(std::size(kPopups)); ++i) {
        texts << CTSBSTR::load(kPopups[i], MRV_GUIManager::instance().language());
        if (kPopups[i] == stringId)
            index = i;
    }
    const QList<quint32> ids(std::begin(kPopups), std::end(kPopups));
    popups[position]->setText(index >= 0
                                  ? MRV_withMnemonics(texts, ids)[index]
                                  : CTSBSTR::load(stringId, MRV_GUIManager::instance().language()));
    popups[position]->setEnabled(MRV_isEnabled(list, stringId));
    return S_OK;
}

HRESULT MRV_ToolsManager::enableMenu(const MRV_EnableList& list) {
    if (MRV_MainFrame* frame = MRV_GUIManager::instance().mainFrame())
        frame->setEnableList(list);
    for (const auto& [id, enabled] : list)
        if (id == OpenApplication)
            enableLLMenuItem(OpenApplication, enabled);
    const HRESULT hr = updateSubmenus(list);
    if (MRV_MainFrame* frame = MRV_GUIManager::instance().mainFrame())
        frame->menuBar()->update();
    return hr;
}
