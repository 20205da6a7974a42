#include "shell/MyDispatch.h"

#include "di/MRV_ConnectionContext.h"
#include "di/MRV_SettingsManager.h"
#include "di/MRV_UDTManager.h"
#include "di/MRV_Util.h"
#include "gui/MRV_GUIManager.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/ui/LLUiApplication.h"
#include "shell/MRV_ToolsManager.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"

MyDispatch::MyDispatch() = default;

MyDispatch::~MyDispatch() {
    // The controller must not keep a context that goes.
    if (m_gui && m_gui->connectionContext() == m_context.get())
        m_gui->setConnectionContext(nullptr);
}

int MyDispatch::OnApplicationLoad(LLUiCOM::Application& application) {
    m_application = &application;
    m_company = application.company();
    CLogBase log(u"MRV", u"MyDispatch::OnApplicationLoad");

    // Only a superuser may copy a company's configuration.
    bool superUser = false;
    if (!m_company || MRV_Util::CheckSuperUser(*m_company, superUser) != S_OK || !superUser) {
        const int language = application.language();
        CTSBSTR text(language);
        text.FormatId(10035, m_company ? m_company->UserName : QString());
        application.messageBox(text, 1, CTSBSTR::load(1, language));
        if (m_company)
            MRV_Util::Disconnect(*m_company);
        return E_FAIL;
    }
    m_company->XmlExportType = 3;
    m_company->XMLAsString = true;

    // A load after a company change brings a context of its own; the
    // controller takes it before the old one goes.
    auto context = std::make_unique<MRV_ConnectionContext>(m_company);
    context->application = &application;
    m_gui = &MRV_GUIManager::instance();
    m_gui->setConnectionContext(context.get());
    m_context = std::move(context);

    if (const HRESULT hr = MRV_UDTManager(m_context.get()).checkCompany(); FAILED(hr)) {
        log.LogError(u"Failed to check company database");
        return hr;
    }
    if (const HRESULT hr = MRV_SettingsManager(m_context.get()).checkSettings(); FAILED(hr)) {
        log.LogError(u"Failed to check settings");
        return hr;
    }
    const HRESULT hr = m_gui->initializeLLMenu();
    if (FAILED(hr))
        log.LogError(u"Failed to add menu entry for Mirrova to the tools menu");
    return hr;
}

int MyDispatch::OnMenuEvent(const LLUiCOM::MenuEvent& event, bool* passOn) {
    if (!event.beforeAction || !m_gui)
        return S_OK;
    return m_gui->handleMenuEvent(event.menuUid, passOn);
}

int MyDispatch::OnFormLoad(const LLUiCOM::FormEvent&, bool* passOn) {
    if (passOn)
        *passOn = true;
    return S_OK;
}

int MyDispatch::OnChangeLanguage() {
    return m_gui ? m_gui->changeLanguage() : S_OK;
}

int MyDispatch::OnCompanyEvent(std::shared_ptr<LLObjectsCOM::Company> company) {
    m_company = std::move(company);
    OnApplicationUnload();
    return 0;
}

int MyDispatch::OnApplicationUnload() {
    CLogBase log(u"MRV", u"MyDispatch::OnApplicationUnload");
    if (!m_gui || !m_context)
        return S_OK;
    if (FAILED(m_gui->closeMirrova()))
        log.LogError(u"Failed to close Mirrova");
    MRV_ToolsManager tools(m_context.get());
    tools.enableLLMenuItem(MRV_ToolsManager::OpenApplication, false);
    const HRESULT hr = tools.removeLLMenu();
    if (FAILED(hr))
        log.LogError(u"Failed to remove menu of Mirrova");
    return hr;
}
