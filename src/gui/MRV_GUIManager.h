#pragma once

#include "host/objects/LLHResult.h"
#include "shell/MRV_ToolsManager.h"
#include "worksheet/MRV_WorksheetController.h"

#include <QPointer>
#include <QString>

#include <memory>

class MRV_ConfigurationController;
class MRV_ConfigurationManager;
class MRV_ConnectionContext;
class MRV_DIDataSet;
class MRV_LogFileDlg;
class MRV_MainFrame;
class MRV_SelectionManager;
class MRV_WorksheetNode;
class QTranslator;

// The one controller behind the program's own window: it owns the open
// worksheet and the configuration manager that serves it, decides which
// commands are available, and runs every user flow. It reaches the host
// only through the connection context.
class MRV_GUIManager : public MRV_WorksheetController {
public:
    static MRV_GUIManager& instance();

    // The context of the logged-in company; the tools manager is made on
    // it. The context stays the caller's.
    void setConnectionContext(MRV_ConnectionContext* context);
    MRV_ConnectionContext* connectionContext() const { return m_context; }
    MRV_ToolsManager* toolsManager() const { return m_tools.get(); }
    void setMainFrame(MRV_MainFrame* frame);
    MRV_MainFrame* mainFrame() const;
    // The host's current language, in which every text is shown.
    int language() const;

    // From the host.
    HRESULT handleMenuEvent(const QString& menuUid, bool* passOn);
    HRESULT initializeLLMenu();
    HRESULT initializeMainWindow();
    HRESULT changeLanguage();
    HRESULT startMirrova();
    HRESULT closeMirrova();

    // A command of the main window by its id.
    HRESULT command(quint32 id);

    HRESULT showWelcomeForm();
    HRESULT openNewWorksheet();
    HRESULT openWorksheet();
    HRESULT showWorksheet();
    HRESULT closeWorksheet(bool force);
    HRESULT saveWorksheet(bool askForName, bool quiet);
    HRESULT saveConfigurationFile();
    HRESULT copyToTargetCompany();
    // What the copy would do, run into a scratch copy of the target, shown
    // with its findings; approvable from there.
    HRESULT previewCopy();
    // The target after the run of logPath against the base: S_OK when it
    // lacks nothing and differs in nothing, S_FALSE when it does (shown).
    HRESULT verifyCopy(const QString& logPath);
    HRESULT showOptionsForm();
    HRESULT showWorkSheetPropertiesForm();
    // Asks for a log file and shows it.
    HRESULT showReportForm();
    // mode: 1 for the log of the run just made, 2 for a file the user chose.
    HRESULT showLogFile(const QString& path, int mode = 2);
    HRESULT showHelp();
    HRESULT showAbout();
    HRESULT toggleSelectionView();
    HRESULT undoSelection();
    HRESULT selectAllCategories(bool on);
    HRESULT selectAllDetails(bool on);
    HRESULT showDependencies(bool on);
    HRESULT showAllDependencies(bool on);
    HRESULT SortTable();
    HRESULT FilterTable();
    // The log viewer's own sort and filter, through the same dialogs.
    HRESULT LogSortTable();
    HRESULT LogFilterTable();
    HRESULT copyTreeNodeText();

    // Works out which commands are available now and shows it.
    void enableMenuOptions();
    const MRV_EnableList& enableList() const { return m_enable; }
    bool running() const { return m_running; }
    bool worksheetOpen() const { return m_worksheetOpen; }
    MRV_SelectionManager* selection() const { return m_selection.get(); }
    MRV_LogFileDlg* logViewer() const;

    // The help file's URL for a language.
    static QString helpUrl(const QString& folder, int language);
    // The file name proposed for a base's configuration file.
    static QString proposedConfigurationName(const QString& baseName);

    // The worksheet's window, for the worksheet.
    HRESULT readBaseConfiguration(MRV_Worksheet& worksheet) override;
    int listFromConfiguration(MRV_WorksheetNode& node) override;
    void storeSelectionStates(MRV_Worksheet& worksheet) override;

    // Back to the state of a process that has just started (tests).
    void reset();

private:
    MRV_GUIManager();
    ~MRV_GUIManager() override;

    // Before another worksheet opens: the open one is closed (the user may
    // keep it); S_OK to go on.
    HRESULT closeForAnother();
    // The host's language becomes the program's: its texts, the direction
    // of its windows and the toolkit's own texts.
    void applyLanguage(int language);
    // The main window's own texts and direction in the current language.
    void showFrameInLanguage();
    // Reads the open worksheet (or, with refresh, rebuilds it for a new
    // base) and shows it; closes it when that fails.
    HRESULT readWorksheet(bool refresh);
    void showTreeForm(bool show);
    // Base and target in the tree's header, and the locks they call for.
    void showHeaderData();
    const MRV_DIDataSet* listRecords(MRV_WorksheetNode& node);
    void setEnabled(quint32 id, bool enabled);

    MRV_ConnectionContext* m_context = nullptr;
    std::unique_ptr<MRV_ToolsManager> m_tools;
    std::unique_ptr<MRV_SelectionManager> m_selection;
    std::unique_ptr<MRV_ConfigurationManager> m_configuration;
    std::unique_ptr<MRV_ConfigurationController> m_reader;
    QPointer<MRV_MainFrame> m_frame;
    QPointer<MRV_LogFileDlg> m_logViewer;
    std::unique_ptr<QTranslator> m_toolkitTexts;
    MRV_EnableList m_enable;
    bool m_running = false;
    bool m_worksheetOpen = false;
    bool m_allDependencies = false;
};
