#include "shell/MRV_MirrovaApp.h"

#include "gui/MRV_GUIManager.h"
#include "gui/MRV_GuiInteraction.h"
#include "gui/MRV_MainFrame.h"
#include "host/objects/LLComError.h"
#include "shell/MRV_Mirrova.h"
#include "tsframework/CLogBase.h"

MRV_MirrovaApp::MRV_MirrovaApp(MRV_Interaction* interaction) : m_interaction(interaction) {
    if (!m_interaction) {
        m_ownInteraction = std::make_unique<MRV_GuiInteraction>();
        m_interaction = m_ownInteraction.get();
    }
}

MRV_MirrovaApp::~MRV_MirrovaApp() {
    ExitInstance(m_exitCode);
}

bool MRV_MirrovaApp::connected(int result) {
    return result >= 0 && result != 1;
}

bool MRV_MirrovaApp::InitInstance(const QStringList& arguments) {
    CLogBase log(u"MRV", u"MRV_MirrovaApp::InitInstance");
    m_scope = std::make_unique<MRV_InteractionScope>(*m_interaction);

    m_commandLine = arguments.value(1);
    if (m_commandLine.isEmpty()) {
        m_exitCode = NotStartedByClient;
        return false;
    }
    m_addOn = std::make_unique<MRV_Mirrova>(m_commandLine);
    int result = E_FAIL;
    QString why;
    try {
        result = m_addOn->Connect(0);
    } catch (const ComError& e) {
        result = e.code();
        why = e.description();
    } catch (...) {
        result = E_FAIL;
    }
    if (!connected(result)) {
        log.LogError(u"Connect failed with %d", result);
        failedToConnect(why);
        return false;
    }

    m_frame = std::make_unique<MRV_MainFrame>();
    MRV_GUIManager& gui = MRV_GUIManager::instance();
    gui.setMainFrame(m_frame.get());
    gui.initializeMainWindow();
    m_addOn->SetWndHandle(quintptr(m_frame->winId()));
    return true;
}

void MRV_MirrovaApp::failedToConnect(const QString& why) {
    m_addOn.reset();
    m_exitCode = ConnectFailed;
    m_interaction->fatal(QStringLiteral("Orvant Ledgerline Mirrova"),
                         why.isEmpty() ? QStringLiteral("Failed to connect to Orvant Ledgerline")
                                       : why);
}

int MRV_MirrovaApp::ExitInstance(int status) {
    // The controller lets go of the window and the context before they go.
    MRV_GUIManager::instance().reset();
    m_addOn.reset();
    m_frame.reset();
    m_scope.reset();
    return status;
}
