#include "gui/MRV_GUIManager.h"

#include "config/MRV_ConfigurationController.h"
#include "config/MRV_ConfigurationManager.h"
#include "config/MRV_CopyFlow.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_DIInterface.h"
#include "di/MRV_SettingsManager.h"
#include "di/MRV_Util.h"
#include "gui/MRV_AboutBox.h"
#include "gui/MRV_CopyOptionsFormDlg.h"
#include "gui/MRV_DetailFormDlg.h"
#include "gui/MRV_FilterTableDlg.h"
#include "gui/MRV_LogFileDlg.h"
#include "gui/MRV_MainFrame.h"
#include "gui/MRV_SortTableDlg.h"
#include "gui/MRV_TreeFormDlg.h"
#include "gui/MRV_TrialFindingsDlg.h"
#include "gui/MRV_WelcomeFormDlg.h"
#include "gui/MRV_WorksheetPropertiesFormDlg.h"
#include "gui/MRV_WorksheetTreeModel.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/ui/LLUiApplication.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"
#include "tsframework/CTSStringTable.h"
#include "tsframework/CTSUtil.h"
#include "tsframework/TSModule.h"
#include "worksheet/MRV_SelectionManager.h"
#include "worksheet/MRV_WorksheetNode.h"
#include "worksheet/MRV_WorksheetTemplateManager.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>
#include <QUrl>

namespace {

// The commands and their state before anything happened.
MRV_EnableList initialEnableList() {
    return {{505, true},  {500, true},   {501, true},  {502, true},  {503, true},    {504, true},
            {506, true},  {507, true},   {508, true},  {523, true},  {32806, false}, {509, false},
            {510, false}, {511, false},  {512, false}, {531, false}, {513, false},   {514, false},
            {515, false}, {516, true},   {517, false}, {524, true},  {518, false},   {519, false},
            {520, false}, {527, false},  {528, false}, {529, false}, {530, false},   {521, false},
            {522, false}, {32808, false}};
}

// The languages the help comes in, by code.
const QStringList& helpLanguages() {
    static const QStringList codes = {
        QStringLiteral("EN"), QStringLiteral("CS"),   QStringLiteral("DA"),
        QStringLiteral("DE"), QStringLiteral("ES"),   QStringLiteral("FI"),
        QStringLiteral("FR"), QStringLiteral("HE"),   QStringLiteral("HU"),
        QStringLiteral("IT"), QStringLiteral("JA"),   QStringLiteral("KO"),
        QStringLiteral("NL"), QStringLiteral("NO"),   QStringLiteral("PL"),
        QStringLiteral("PT"), QStringLiteral("RU"),   QStringLiteral("SK"),
        QStringLiteral("SV"), QStringLiteral("ZH"),   QStringLiteral("PTBR"),
        QStringLiteral("EL"), QStringLiteral("ZHTW"), QStringLiteral("ESCO")};
    return codes;
}

QString text(quint32 id) {
    return MRV_Interaction::current().text(id);
}

} // namespace

MRV_GUIManager& MRV_GUIManager::instance() {
    static MRV_GUIManager manager;
    return manager;
}

MRV_GUIManager::MRV_GUIManager() : m_enable(initialEnableList()) {}

MRV_GUIManager::~MRV_GUIManager() = default;

void MRV_GUIManager::reset() {
    m_selection.reset();
    m_reader.reset();
    m_configuration.reset();
    m_tools.reset();
    m_context = nullptr;
    if (m_toolkitTexts)
        QCoreApplication::removeTranslator(m_toolkitTexts.get());
    m_toolkitTexts.reset();
    if (m_logViewer)
        m_logViewer->deleteLater();
    m_frame = nullptr;
    m_enable = initialEnableList();
    m_running = m_worksheetOpen = m_allDependencies = false;
}

void MRV_GUIManager::setConnectionContext(MRV_ConnectionContext* context) {
    m_context = context;
    m_tools = context ? std::make_unique<MRV_ToolsManager>(context) : nullptr;
    if (context && context->application) {
        try {
            applyLanguage(context->getApplication().language());
        } catch (const ComError&) {
            // getApplication has told the user; the language stays.
        }
    }
}

void MRV_GUIManager::showFrameInLanguage() {
    if (!m_frame)
        return;
    m_frame->setLayoutDirection(MRV_layoutDirection());
    m_frame->treeForm()->retranslate();
    m_frame->detailForm()->retranslate();
}

void MRV_GUIManager::applyLanguage(int language) {
    MRV_Interaction::current().setLanguage(language);
    showFrameInLanguage();
    // The category texts new worksheets take; an open one keeps its own.
    if (MRV_WorksheetTemplateManager* templates = MRV_WorksheetTemplateManager::ifInitialized())
        templates->updateStrings();
    // The toolkit's own windows (the file chooser, a field's context menu)
    // speak the language too, where the toolkit has it.
    auto translator = std::make_unique<QTranslator>();
    const bool found =
        translator->load(QLocale(CTSStringTable::localeName(language)), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (m_toolkitTexts)
        QCoreApplication::removeTranslator(m_toolkitTexts.get());
    m_toolkitTexts.reset();
    if (found && CTSStringTable::tableLanguage(language) != CTSStringTable::English) {
        QCoreApplication::installTranslator(translator.get());
        m_toolkitTexts = std::move(translator);
    }
}

void MRV_GUIManager::setMainFrame(MRV_MainFrame* frame) {
    m_frame = frame;
    if (!frame)
        return;
    showFrameInLanguage();
    MRV_TreeFormDlg* tree = frame->treeForm();
    MRV_DetailFormDlg* detail = frame->detailForm();
    detail->setTree(tree->model());
    detail->setLister([this](MRV_WorksheetNode& node) { return listRecords(node); });
    QObject::connect(tree, &MRV_TreeFormDlg::currentNodeChanged, detail, [this](auto* node) {
        // A locked category shows no details: nothing of it can be picked.
        const bool locked = node && m_frame->treeForm()->model()->locked(*node);
        m_frame->detailForm()->showNode(locked ? nullptr : node);
        enableMenuOptions();
    });
    QObject::connect(tree->model(), &MRV_WorksheetTreeModel::selectionChanged, detail, [this] {
        m_frame->detailForm()->refresh();
        enableMenuOptions();
    });
    // An edit in the grid changes the worksheet: saving becomes possible.
    QObject::connect(detail, &MRV_DetailFormDlg::recordEdited, detail,
                     [this] { enableMenuOptions(); });
}

MRV_MainFrame* MRV_GUIManager::mainFrame() const {
    return m_frame;
}

MRV_LogFileDlg* MRV_GUIManager::logViewer() const {
    return m_logViewer;
}

int MRV_GUIManager::language() const {
    return MRV_Interaction::current().language();
}

HRESULT MRV_GUIManager::handleMenuEvent(const QString& menuUid, bool*) {
    if (menuUid.compare(MRV_ToolsManager::menuUid(MRV_ToolsManager::OpenApplication),
                        Qt::CaseInsensitive) != 0 ||
        m_running)
        return S_OK;
    // The client waits for the event's answer, and the window's work (the
    // welcome dialog first) takes as long as the user likes: it starts
    // once the answer is given.
    QTimer::singleShot(0, QCoreApplication::instance(), [this] {
        CLogBase log(u"MRV", u"MyDispatch::handleMenuEvent");
        if (FAILED(startMirrova()))
            log.LogError(u"Failed to start Mirrova");
    });
    return S_OK;
}

HRESULT MRV_GUIManager::initializeLLMenu() {
    return m_tools ? m_tools->initializeLLMenu() : E_FAIL;
}

HRESULT MRV_GUIManager::initializeMainWindow() {
    if (!m_frame)
        return E_FAIL;
    return m_tools ? m_tools->initializeWinMenu(m_enable) : S_OK;
}

HRESULT MRV_GUIManager::changeLanguage() {
    CLogBase log(u"MRV", u"MRV_GUIManager::changeLanguage");
    try {
        if (m_context)
            applyLanguage(m_context->getApplication().language());
        if (FAILED(initializeLLMenu()))
            log.LogError(u"Failed to add menu entry for Mirrova to the tools menu");
        if (m_tools)
            m_tools->initializeWinMenu(m_enable);
        enableMenuOptions();
    } catch (const std::exception&) {
        log.LogError(u"Exception during change language");
    }
    if (m_frame)
        m_frame->updateMenuItems();
    // The worksheet's texts were loaded in the old language. The box waits
    // for the user, the client's event does not.
    if (m_worksheetOpen)
        QTimer::singleShot(0, QCoreApplication::instance(),
                           [] { MRV_Interaction::current().warning(text(10062)); });
    return S_OK;
}

HRESULT MRV_GUIManager::startMirrova() {
    CLogBase log(u"MRV", u"MRV_GUIManager::startMirrova");
    if (m_running)
        return S_OK;
    if (!m_frame)
        return E_FAIL;
    try {
        m_frame->setStatusText(QString(), false, 0);
        m_frame->setWindowTitle(text(2041));
        m_frame->showMaximized();
        m_frame->raise();
        m_frame->activateWindow();
        // Running first, so that the client's entry is withdrawn while the
        // welcome dialog is up.
        m_running = true;
        enableMenuOptions();
        showWelcomeForm();
        enableMenuOptions();
    } catch (const std::exception&) {
        log.LogError(u"Exception during start");
        return E_FAIL;
    }
    return S_OK;
}

HRESULT MRV_GUIManager::showWelcomeForm() {
    MRV_WelcomeFormDlg welcome(m_frame);
    if (welcome.exec() != QDialog::Accepted)
        return S_FALSE;
    switch (welcome.choice()) {
    case MRV_WelcomeFormDlg::NewWorksheet:
        return openNewWorksheet();
    case MRV_WelcomeFormDlg::ExistingWorksheet:
        return openWorksheet();
    case MRV_WelcomeFormDlg::LogFile:
        return showReportForm();
    }
    return S_OK;
}

HRESULT MRV_GUIManager::closeMirrova() {
    CLogBase log(u"MRV", u"MRV_GUIManager::closeMirrova");
    try {
        if (m_worksheetOpen)
            if (const HRESULT hr = closeWorksheet(false); hr != S_OK)
                return hr;
        m_running = false;
        enableMenuOptions();
        if (m_logViewer)
            m_logViewer->close();
        if (m_frame && m_frame->isVisible())
            m_frame->hide();
    } catch (const std::exception&) {
        log.LogError(u"Exception during close");
        return E_FAIL;
    }
    return S_OK;
}

HRESULT MRV_GUIManager::command(quint32 id) {
    HRESULT hr = S_OK;
    switch (id) {
    case 506:
        hr = openNewWorksheet();
        break;
    case 507:
        hr = openWorksheet();
        break;
    case 508:
        hr = showReportForm();
        break;
    case 509:
        hr = closeWorksheet(false);
        break;
    case 510:
        hr = saveWorksheet(true, false);
        break;
    case 511:
        hr = saveConfigurationFile();
        break;
    case 512:
        hr = copyToTargetCompany();
        break;
    case 531:
        hr = previewCopy();
        break;
    case 513:
        QMessageBox::information(nullptr, QStringLiteral("Mirrova"),
                                 QStringLiteral("Under Construction :-)"));
        break;
    case 514:
        hr = showWorkSheetPropertiesForm();
        break;
    case 515:
        hr = showOptionsForm();
        break;
    case 516:
        hr = closeMirrova();
        break;
    case 517:
    case 518:
        hr = showDependencies(id == 517);
        break;
    case 32806:
        hr = showAllDependencies(!m_allDependencies);
        break;
    case 519:
        hr = toggleSelectionView();
        break;
    case 520:
        hr = undoSelection();
        break;
    case 521:
        hr = SortTable();
        break;
    case 522:
        hr = FilterTable();
        break;
    case 523:
        hr = showHelp();
        break;
    case 524:
        hr = showAbout();
        break;
    case 527:
    case 528:
        hr = selectAllCategories(id == 527);
        break;
    case 529:
    case 530:
        hr = selectAllDetails(id == 529);
        break;
    case 32808:
        hr = copyTreeNodeText();
        break;
    default:
        return E_INVALIDARG;
    }
    enableMenuOptions();
    return hr;
}

HRESULT MRV_GUIManager::closeForAnother() {
    if (!m_context)
        return E_FAIL;
    return m_worksheetOpen ? closeWorksheet(false) : S_OK;
}

HRESULT MRV_GUIManager::openNewWorksheet() {
    if (const HRESULT hr = closeForAnother(); hr != S_OK)
        return hr;
    // A new worksheet starts from the safest options, stored as the
    // company's defaults.
    MRV_SettingsManager settings(m_context);
    settings.getSettingsFromDatabase();
    settings.setCopyMethod(1);
    settings.setForceBackup(true);
    if (settings.saveSettingsToDatabase() != S_OK)
        MRV_Interaction::current().error(text(10004), false);
    settings.updateSettingsFromDatabase();
    m_context->worksheetPath.clear();
    if (const HRESULT hr = showWorkSheetPropertiesForm(); hr != S_OK)
        return hr;
    return showWorksheet();
}

HRESULT MRV_GUIManager::openWorksheet() {
    if (const HRESULT hr = closeForAnother(); hr != S_OK)
        return hr;
    MRV_SettingsManager settings(m_context);
    settings.updateSettingsFromDatabase();
    const QString path = MRV_Interaction::current().chooseOpenFile(
        text(2035), settings.worksheetFolder(), text(2031));
    if (path.isEmpty())
        return S_FALSE;
    m_context->worksheetPath = path;
    return showWorksheet();
}

HRESULT MRV_GUIManager::showWorksheet() {
    m_worksheetOpen = true;
    m_selection = std::make_unique<MRV_SelectionManager>(m_context, this);
    return readWorksheet(false);
}

HRESULT MRV_GUIManager::readWorksheet(bool refresh) {
    // The base is read anew, by a configuration manager of its own.
    m_configuration = std::make_unique<MRV_ConfigurationManager>(*m_context);
    m_reader = std::make_unique<MRV_ConfigurationController>(*m_context, *m_configuration);
    HRESULT hr = E_FAIL;
    {
        const MRV_WaitCursor wait;
        hr = refresh ? m_selection->refreshWorksheet() : m_selection->openWorksheet();
    }
    // A worksheet that cannot be read is closed at once.
    if (hr != S_OK) {
        closeWorksheet(true);
        return hr;
    }
    showTreeForm(true);
    enableMenuOptions();
    return S_OK;
}

void MRV_GUIManager::showTreeForm(bool show) {
    if (!m_frame)
        return;
    MRV_TreeFormDlg* tree = m_frame->treeForm();
    if (show && m_selection) {
        tree->setWorksheet(&m_selection->worksheet());
        showHeaderData();
    } else {
        m_frame->detailForm()->showNode(nullptr);
        tree->setWorksheet(nullptr);
    }
    m_frame->showSplitter(show);
    if (show)
        tree->view()->setFocus();
}

void MRV_GUIManager::showHeaderData() {
    if (!m_frame || !m_selection || !m_context)
        return;
    const MRV_Worksheet& worksheet = m_selection->worksheet();
    const QString base =
        worksheet.baseIsCompany()
            ? MRV_TreeFormDlg::headerText(worksheet.sourceCompanyName, worksheet.sourceDB)
            : worksheet.sourceFile;
    const bool targetIsFile = worksheet.targetDB.isEmpty() && !worksheet.targetFile.isEmpty();
    const QString target =
        targetIsFile ? worksheet.targetFile
                     : MRV_TreeFormDlg::headerText(worksheet.targetCompanyName, worksheet.targetDB);
    const bool msSqlLock =
        (worksheet.baseIsCompany() && MRV_Util::IsOutsideMsSql(worksheet.sourceServerType)) ||
        (!worksheet.targetDB.isEmpty() && MRV_Util::IsOutsideMsSql(worksheet.targetServerType));
    QString baseLocalization;
    QString targetLocalization;
    try {
        if (m_context->baseCompany && m_context->baseCompany->Connected())
            baseLocalization = MRV_CopyFlow::localizationOf(*m_context->baseCompany);
        else if (m_configuration && worksheet.baseIsFile())
            baseLocalization = m_configuration->header().localization;
        if (m_context->targetCompany && m_context->targetCompany->Connected())
            targetLocalization = MRV_CopyFlow::localizationOf(*m_context->targetCompany);
    } catch (const ComError& e) {
        // Without both localizations nothing is known to differ.
        CLogBase(u"MRV", u"MRV_TreeFormDlg::showHeaderData").LogError(u"%s", e.errorMessage());
    }
    const bool localizationLock = !baseLocalization.isEmpty() && !targetLocalization.isEmpty() &&
                                  baseLocalization != targetLocalization;
    m_frame->treeForm()->showHeaderData(base, target, msSqlLock, localizationLock);
}

HRESULT MRV_GUIManager::closeWorksheet(bool force) {
    if (!m_worksheetOpen)
        return S_OK;
    if (!force && m_selection && m_selection->worksheet().modified) {
        const int answer = MRV_Interaction::current().question(text(10005), true, 2);
        if (answer == MRV_Interaction::ButtonCancel)
            return S_FALSE;
        if (answer == MRV_Interaction::ButtonYes)
            if (const HRESULT hr = saveWorksheet(false, true); hr != S_OK)
                return hr;
    }
    showTreeForm(false);
    // The worksheet goes before the companies it names.
    m_selection.reset();
    m_reader.reset();
    m_configuration.reset();
    if (m_context)
        m_context->reset();
    m_worksheetOpen = false;
    enableMenuOptions();
    return S_OK;
}

HRESULT MRV_GUIManager::saveWorksheet(bool askForName, bool quiet) {
    if (!m_worksheetOpen)
        return S_OK;
    if (!m_selection)
        return E_FAIL;
    const HRESULT hr = m_selection->saveWorksheet(askForName);
    if (hr == S_OK && !quiet)
        MRV_Interaction::current().success(false);
    return hr;
}

QString MRV_GUIManager::proposedConfigurationName(const QString& baseName) {
    return MRV_SelectionManager::proposedFileName(baseName, QStringLiteral("_config.xml"));
}

HRESULT MRV_GUIManager::saveConfigurationFile() {
    if (!m_worksheetOpen || !m_selection)
        return S_OK;
    MRV_SettingsManager settings(m_context);
    settings.getSettingsFromDatabase();
    const QString baseName = m_context->baseCompany && m_context->baseCompany->Connected()
                                 ? m_context->baseCompany->CompanyName()
                                 : m_context->baseCompanyName;
    const QString name = proposedConfigurationName(baseName);
    const QString folder = settings.configurationFolder();
    const QString proposal =
        folder.isEmpty() || name.isEmpty() ? folder + name : folder + u'/' + name;
    const QString path =
        MRV_Interaction::current().chooseSaveFile(text(2033), proposal, text(2031));
    if (path.isEmpty())
        return S_FALSE;
    MRV_CopyFlow flow(*m_context, m_selection->worksheet(), *m_configuration);
    HRESULT hr = E_FAIL;
    {
        const MRV_WaitCursor wait;
        hr = flow.saveConfigurationFile(path);
    }
    if (hr == S_OK)
        MRV_Interaction::current().success(false);
    return hr;
}

HRESULT MRV_GUIManager::copyToTargetCompany() {
    if (!m_worksheetOpen || !m_selection)
        return S_OK;
    MRV_CopyFlow flow(*m_context, m_selection->worksheet(), *m_configuration);
    const HRESULT hr = flow.copyToTargetCompany();
    // The checks may have deselected what cannot cross localizations.
    if (m_frame) {
        m_frame->treeForm()->setWorksheet(&m_selection->worksheet());
        showHeaderData();
    }
    return hr;
}

HRESULT MRV_GUIManager::previewCopy() {
    if (!m_worksheetOpen || !m_selection || !m_context)
        return S_OK;
    MRV_Interaction& ui = MRV_Interaction::current();
    MRV_TrialRun trial(*m_context, m_selection->worksheet(), *m_configuration);
    QString why;
    HRESULT hr = E_FAIL;
    {
        MRV_WaitCursor wait;
        hr = trial.run(0, why, true);
    }
    if (hr == S_FALSE)
        return hr;
    if (FAILED(hr) && trial.records().isEmpty()) {
        ui.error(why.isEmpty() ? ComError::textForCode(hr) : why);
        return hr;
    }
    int added = 0, updated = 0, deleted = 0, failed = 0;
    const QString succeeded = ui.text(402), addedText = ui.text(212), updatedText = ui.text(213);
    for (const MRV_LogFile::Row& row : trial.records())
        ++(row[MRV_LogFile::Result] != succeeded        ? failed
           : row[MRV_LogFile::TransType] == addedText   ? added
           : row[MRV_LogFile::TransType] == updatedText ? updated
                                                        : deleted);
    CTSBSTR summary(language());
    summary.FormatId(10233, added, updated, deleted, failed);
    MRV_TrialFindingsDlg dialog(
        10216, m_context->targetCompanyName, summary.str(), trial.findings(), m_frame, [&] {
            QString path, why;
            if (!trial.approve(m_context->company ? m_context->company->UserName : QString(), path,
                               why)) {
                ui.error(why);
                return false;
            }
            CTSBSTR done(language());
            done.FormatId(10232, path);
            ui.statusText(done.str(), false, 0);
            return true;
        });
    dialog.exec();
    return hr;
}

HRESULT MRV_GUIManager::verifyCopy(const QString& logPath) {
    if (!m_worksheetOpen || !m_selection || !m_context)
        return E_FAIL;
    MRV_Interaction& ui = MRV_Interaction::current();
    MRV_LogFile log(logPath);
    log.setCategoryLookup(MRV_LogFile::templateLookup(m_context));
    if (log.loadLogFile() != S_OK)
        return E_FAIL;
    MRV_TrialRun trial(*m_context, m_selection->worksheet(), *m_configuration);
    QString why;
    HRESULT hr = E_FAIL;
    {
        MRV_WaitCursor wait;
        hr = trial.run(4, why);
    }
    if (hr == S_FALSE)
        return hr;
    if (FAILED(hr) && trial.records().isEmpty()) {
        ui.error(why.isEmpty() ? ComError::textForCode(hr) : why);
        return hr;
    }
    const MRV_TrialRun::Verification verification = trial.verify(log);
    CTSBSTR summary(language());
    summary.FormatId(10234, verification.missing, verification.differing, verification.unchecked);
    MRV_TrialFindingsDlg dialog(10217, m_context->targetCompanyName, summary.str(),
                                verification.findings, m_frame);
    dialog.exec();
    return verification.clean() ? S_OK : S_FALSE;
}

HRESULT MRV_GUIManager::showOptionsForm() {
    if (!m_context)
        return E_FAIL;
    MRV_CopyOptionsFormDlg options(*m_context, m_frame);
    if (options.exec() != QDialog::Accepted)
        return S_FALSE;
    if (m_worksheetOpen && m_selection) {
        MRV_Worksheet& worksheet = m_selection->worksheet();
        worksheet.copyMethod = m_context->copyMethod;
        worksheet.RTCF = m_context->responseToFailure;
        worksheet.FRFMUDF = m_context->ignoreMissingUdf;
        worksheet.backup = m_context->forceBackup;
        worksheet.modified = true;
    }
    return S_OK;
}

HRESULT MRV_GUIManager::showWorkSheetPropertiesForm() {
    if (!m_context)
        return E_FAIL;
    MRV_WorksheetPropertiesFormDlg properties(*m_context, m_worksheetOpen, m_frame);
    if (m_worksheetOpen && m_selection)
        properties.selectionLacksDependencies = [this] {
            return !MRV_CopyFlow(*m_context, m_selection->worksheet(), *m_configuration)
                        .unselectedDependencies()
                        .isEmpty();
        };
    if (properties.exec() != QDialog::Accepted)
        return S_FALSE;
    if (!m_worksheetOpen || !m_selection)
        return S_OK;
    m_selection->worksheet().modified = true;
    showHeaderData();
    if (properties.baseChanged()) {
        showTreeForm(false);
        return readWorksheet(true);
    }
    enableMenuOptions();
    return S_OK;
}

HRESULT MRV_GUIManager::showReportForm() {
    if (!m_context)
        return E_FAIL;
    MRV_SettingsManager settings(m_context);
    settings.updateSettingsFromDatabase();
    const QString path = MRV_Interaction::current().chooseOpenFile(
        text(2037), settings.logFileFolder(), QStringLiteral("*.txt"));
    if (path.isEmpty())
        return S_FALSE;
    return showLogFile(path);
}

HRESULT MRV_GUIManager::showLogFile(const QString& path, int mode) {
    if (m_logViewer)
        m_logViewer->close();
    auto* viewer = new MRV_LogFileDlg(m_context, m_frame);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    m_logViewer = viewer;
    QObject::connect(viewer, &MRV_LogFileDlg::sortRequested, viewer, [this] { LogSortTable(); });
    QObject::connect(viewer, &MRV_LogFileDlg::filterRequested, viewer,
                     [this] { LogFilterTable(); });
    if (const HRESULT hr = viewer->open(path, mode); FAILED(hr)) {
        viewer->close();
        return hr;
    }
    viewer->show();
    viewer->raise();
    return S_OK;
}

QString MRV_GUIManager::helpUrl(const QString& folder, int language) {
    QString code = CTSUtil::ISOLangIDFromOLLLanguage(language).toUpper();
    if (!helpLanguages().contains(code))
        code = QStringLiteral("EN");
    const QString base = CTSBSTR::load(400, language);
    QString file = QStringLiteral("%1/%2_%3.html").arg(folder, base, code);
    // Help that is not written in a language yet is read in English.
    if (!QFileInfo::exists(file))
        file = QStringLiteral("%1/%2_EN.html").arg(folder, base);
    return QUrl::fromLocalFile(file).toString();
}

HRESULT MRV_GUIManager::showHelp() {
    const QString url = helpUrl(TSModuleFile(QStringLiteral("help")), language());
    if (!QFileInfo::exists(QUrl(url).toLocalFile())) {
        MRV_Interaction::current().error(QUrl(url).toLocalFile(), false);
        return E_FAIL;
    }
    return QDesktopServices::openUrl(QUrl(url)) ? S_OK : E_FAIL;
}

HRESULT MRV_GUIManager::showAbout() {
    MRV_AboutBox about(m_frame);
    about.exec();
    return S_OK;
}

HRESULT MRV_GUIManager::toggleSelectionView() {
    if (!m_worksheetOpen || !m_frame)
        return S_OK;
    MRV_TreeFormDlg* tree = m_frame->treeForm();
    tree->setSelectionView(!tree->selectionView());
    m_frame->setChecked(519, tree->selectionView());
    enableMenuOptions();
    return S_OK;
}

HRESULT MRV_GUIManager::undoSelection() {
    if (m_worksheetOpen && m_frame)
        m_frame->treeForm()->model()->undo();
    enableMenuOptions();
    return S_OK;
}

HRESULT MRV_GUIManager::selectAllCategories(bool on) {
    if (m_worksheetOpen && m_frame)
        m_frame->treeForm()->model()->selectAllCategories(on);
    enableMenuOptions();
    return S_OK;
}

HRESULT MRV_GUIManager::selectAllDetails(bool on) {
    if (!m_worksheetOpen || !m_frame)
        return S_OK;
    MRV_DetailFormDlg* detail = m_frame->detailForm();
    if (MRV_WorksheetNode* node = detail->node(); node && detail->showsRecords())
        m_frame->treeForm()->model()->selectAllDetails(node, on);
    enableMenuOptions();
    return S_OK;
}

HRESULT MRV_GUIManager::showDependencies(bool on) {
    if (!m_worksheetOpen || !m_frame)
        return S_OK;
    m_frame->treeForm()->showDependencies(on);
    enableMenuOptions();
    return S_OK;
}

HRESULT MRV_GUIManager::showAllDependencies(bool on) {
    if (!m_worksheetOpen || !m_frame)
        return S_OK;
    m_allDependencies = on;
    m_frame->treeForm()->model()->setShowAllDependencies(on);
    m_frame->setChecked(32806, on);
    enableMenuOptions();
    return S_OK;
}

HRESULT MRV_GUIManager::SortTable() {
    if (m_worksheetOpen && m_frame)
        m_frame->detailForm()->sortTable();
    return S_OK;
}

HRESULT MRV_GUIManager::FilterTable() {
    if (m_worksheetOpen && m_frame)
        m_frame->detailForm()->filterTable();
    return S_OK;
}

HRESULT MRV_GUIManager::LogSortTable() {
    CLogBase log(u"MRV", u"MRV_GUIManager::LogSortTable");
    MRV_LogFileDlg* viewer = m_logViewer;
    if (!viewer)
        return S_OK;
    const auto rules = MRV_SortTableDlg::ask(viewer->columnTitles(), viewer->sortRules(), viewer);
    if (!rules)
        return S_FALSE;
    const MRV_WaitCursor wait;
    viewer->ApplySortRules(*rules);
    return S_OK;
}

HRESULT MRV_GUIManager::LogFilterTable() {
    CLogBase log(u"MRV", u"MRV_GUIManager::LogFilterTable");
    MRV_LogFileDlg* viewer = m_logViewer;
    if (!viewer)
        return S_OK;
    const auto rules = MRV_FilterTableDlg::ask(
        viewer->columnTitles(), viewer->columnTypes(),
        [viewer](int c) { return viewer->columnTexts(c); }, viewer->filterRules(), viewer);
    if (!rules)
        return S_FALSE;
    const MRV_WaitCursor wait;
    // Clearing every rule shows every row again.
    if (rules->isEmpty())
        viewer->UnApplyFilterRules();
    else
        viewer->ApplyFilterRules(*rules);
    return S_OK;
}

HRESULT MRV_GUIManager::copyTreeNodeText() {
    if (!m_worksheetOpen || !m_frame)
        return S_OK;
    if (const MRV_WorksheetNode* node = m_frame->treeForm()->currentNode())
        QApplication::clipboard()->setText(node->text);
    return S_OK;
}

void MRV_GUIManager::setEnabled(quint32 id, bool enabled) {
    for (auto& [entry, flag] : m_enable)
        if (entry == id)
            flag = enabled;
}

void MRV_GUIManager::enableMenuOptions() {
    CLogBase log(u"MRV", u"MRV_GUIManager::enableMenuOptions");
    try {
        const bool open = m_worksheetOpen;
        MRV_TreeFormDlg* tree = m_frame ? m_frame->treeForm() : nullptr;
        MRV_DetailFormDlg* detail = m_frame ? m_frame->detailForm() : nullptr;
        const MRV_WorksheetNode* current = detail ? detail->node() : nullptr;
        const bool grid = open && current &&
                          current->dataAreaFormat == MRV_WorksheetNode::RecordGrid &&
                          detail->showsRecords();
        for (auto& [id, enabled] : m_enable) {
            switch (id) {
            case 505:
                enabled = !m_running;
                break;
            case 506:
            case 507:
            case 508:
            case 515:
                enabled = true;
                break;
            case 501:
            case 502:
            case 503:
            case 509:
            case 510:
            case 511:
            case 512:
            case 531:
            case 514:
            case 519:
            case 527:
            case 528:
            case 32806:
            case 32808:
                enabled = open;
                break;
            case 520:
                enabled = open && tree && tree->undoAvailable();
                break;
            case 517:
                enabled = open && tree && tree->canDisplayDependencies();
                break;
            case 518:
                enabled = open && tree && tree->canHideDependencies();
                break;
            case 521:
            case 522:
            case 529:
            case 530:
                enabled = grid;
                break;
            default:
                break; // 500, 504, 513, 516, 523, 524 keep their flags
            }
        }
        if (m_tools)
            m_tools->enableMenu(m_enable);
        else if (m_frame)
            m_frame->setEnableList(m_enable);
    } catch (const std::exception&) {
        log.LogError(u"Exception occurred.");
    }
}

HRESULT MRV_GUIManager::readBaseConfiguration(MRV_Worksheet& worksheet) {
    return m_reader ? m_reader->readBaseConfiguration(worksheet) : E_FAIL;
}

int MRV_GUIManager::listFromConfiguration(MRV_WorksheetNode& node) {
    return m_reader ? m_reader->listFromConfiguration(node) : 0;
}

void MRV_GUIManager::storeSelectionStates(MRV_Worksheet&) {
    // The tree changes the worksheet's nodes as the user clicks: they hold
    // the current states already.
}

const MRV_DIDataSet* MRV_GUIManager::listRecords(MRV_WorksheetNode& node) {
    if (node.details || !node.manager || !m_selection || m_selection->worksheet().baseIsFile())
        return node.details;
    try {
        node.manager->initialize();
        return node.manager->listFromDatabase();
    } catch (const ComError& e) {
        MRV_Interaction::current().error(e.description(), false);
        return nullptr;
    }
}
