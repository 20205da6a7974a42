#include "worksheet/MRV_SelectionManager.h"

#include "di/MRV_ConnectionContext.h"
#include "di/MRV_SettingsManager.h"
#include "host/objects/LLCompany.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"
#include "worksheet/MRV_WorksheetController.h"
#include "worksheet/MRV_WorksheetManager.h"

#include <QFileInfo>

MRV_SelectionManager::MRV_SelectionManager(MRV_ConnectionContext* context,
                                           MRV_WorksheetController* controller)
    : m_context(context), m_controller(controller) {}

HRESULT MRV_SelectionManager::openWorksheet() {
    const QString path = m_context->worksheetPath;
    if (path.isEmpty()) {
        if (m_context->company)
            m_worksheet.creationUser = m_context->company->UserName;
    } else {
        m_worksheet.path = path;
    }
    return MRV_WorksheetManager(m_context, m_controller).openWorksheet(m_worksheet, false);
}

HRESULT MRV_SelectionManager::refreshWorksheet() {
    return MRV_WorksheetManager(m_context, m_controller).openWorksheet(m_worksheet, true);
}

QString MRV_SelectionManager::proposedFileName(const QString& baseName, const QString& suffix) {
    QString name = baseName;
    for (const QChar c : QStringLiteral("\\/:*<>?\""))
        name.remove(c);
    return name.isEmpty() ? QString() : name + suffix;
}

QString MRV_SelectionManager::askForPath() {
    MRV_Interaction& ui = MRV_Interaction::current();
    const QString current = m_context->worksheetPath;
    QString proposal;
    if (current.isEmpty()) {
        const QString base = m_context->baseCompany && m_context->baseCompany->Connected()
                                 ? m_context->baseCompany->CompanyName()
                                 : QFileInfo(m_context->baseFilePath).fileName();
        const QString folder = worksheetFolder();
        const QString name = proposedFileName(base);
        proposal = folder.isEmpty() || name.isEmpty() ? folder + name : folder + u'/' + name;
    } else {
        proposal = current;
    }
    QString chosen = ui.chooseSaveFile(CTSBSTR::load(2036, ui.language()), proposal,
                                       CTSBSTR::load(2031, ui.language()));
    // The dialog's default extension.
    if (!chosen.isEmpty() && QFileInfo(chosen).suffix().isEmpty())
        chosen += QStringLiteral(".xml");
    return chosen;
}

HRESULT MRV_SelectionManager::saveWorksheet(bool askForName) {
    CLogBase log(u"MRV", u"MRV_SelectionManager::saveWorksheet");
    QString path = m_context->worksheetPath;
    if (path.isEmpty() || askForName) {
        path = askForPath();
        if (path.isEmpty())
            return S_FALSE;
    }
    m_worksheet.updateHeaderData(*m_context, path);
    if (m_controller)
        m_controller->storeSelectionStates(m_worksheet);
    return MRV_WorksheetManager(m_context, m_controller).saveWorksheet(m_worksheet, path);
}

QString MRV_SelectionManager::worksheetFolder() const {
    MRV_SettingsManager settings(m_context);
    settings.getSettingsFromDatabase();
    return settings.worksheetFolder();
}

MRV_SelectionObject MRV_SelectionManager::selectionOf(const MRV_DIDataSet& list,
                                                      const MRV_DIDataSet::Row& row) {
    MRV_SelectionObject record;
    for (qsizetype i = 0; i < list.keyColumns().size() && i < row.keys.size(); ++i) {
        const int type = i < list.keyTypes().size() ? list.keyTypes()[i] : QMetaType::QString;
        record.keys.append({list.keyColumns()[i], row.keys[i].toString(),
                            type == QMetaType::QString
                                ? QStringLiteral("string")
                                : QString::fromLatin1(QMetaType(type).name())});
    }
    return record;
}
