#include "di/MRV_UDTManager.h"

#include "di/MRV_ConnectionContext.h"
#include "di/MRV_Util.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"
#include "tsframework/CTSDbDef.h"
#include "tsframework/CTSResourceLoader.h"
#include "tsframework/TSFormat.h"

namespace {

constexpr int kUpgradeButton = 2;

QString text(quint32 id) {
    return CTSBSTR::load(id, MRV_Interaction::current().language());
}

} // namespace

MRV_UDTManager::MRV_UDTManager(MRV_ConnectionContext* context) : m_context(context) {}

const CTSResourceLoader& MRV_UDTManager::resources() {
    static const CTSResourceLoader loader(QStringLiteral(":/xml"),
                                          CTSVersion(QStringLiteral(MIRROVA_VERSION)));
    return loader;
}

bool MRV_UDTManager::hasSettingsTable() {
    if (!m_context || !m_context->company)
        throw ComError(E_POINTER, QStringLiteral("no company"));
    return CTSDbDef(*m_context->company, resources(), QStringLiteral("MRV"), TableResourceId)
        .tableExists(QStringLiteral("MRVSETT"));
}

HRESULT MRV_UDTManager::checkCompany() {
    CLogBase log(u"MRV", u"MRV_UDTManager::checkCompany");
    if (!m_context || !m_context->company)
        return E_FAIL;
    try {
        CTSDbDef definition(*m_context->company, resources(), QStringLiteral("MRV"),
                            TableResourceId);
        int state = -1;
        if (const HRESULT hr = definition.CheckVersion(state); FAILED(hr))
            return hr;
        switch (state) {
        case CTSDbDef::VersionCurrent:
            log.LogDbg0(u"Db is OK.\n");
            return updateTables();
        case CTSDbDef::TablesMissing: {
            log.LogInfo(u"Db tables do not exist yet.\n");
            const HRESULT hr = createTables();
            return FAILED(hr) ? hr : updateTables();
        }
        case CTSDbDef::TablesUpgraded:
            return updateTables();
        case CTSDbDef::DatabaseNewer:
            return S_OK;
        case CTSDbDef::UpgradeIncomplete:
            return restartUpgrade(definition);
        default:
            log.LogError(u"Unknown result from version check.\n");
            return E_INVALIDARG;
        }
    } catch (...) {
        log.LogError(u"Exception caught!\n");
        return E_FAIL;
    }
}

HRESULT MRV_UDTManager::restartUpgrade(CTSDbDef& definition) {
    CLogBase log(u"MRV", u"MRV_UDTManager::checkCompany");
    CTSVersion database(u"0.00.00.00.00");
    CTSVersion file(u"0.00.00.00.00");
    definition.GetDBVersion(database);
    definition.GetFileVersion(file);
    log.LogError(u"Add-on version is %s. Incomplete upgrade of DB tables to version %s detected.\n",
                 file.GetVersionAsBSTR(), database.GetVersionAsBSTR());
    MRV_Interaction& ui = MRV_Interaction::current();
    const QStringList buttons{text(3), text(4), QString()};
    CTSBSTR question(ui.language());
    question.FormatId(10000, database.GetVersionAsBSTR());
    if (ui.hostMessageBox(question, 1, buttons) != kUpgradeButton ||
        ui.hostMessageBox(text(10001), 1, buttons) != kUpgradeButton)
        return UpgradeDeclined;
    const HRESULT hr = createTables();
    return FAILED(hr) ? hr : updateTables();
}

HRESULT MRV_UDTManager::createTables() {
    if (!m_context || !m_context->company)
        return E_FAIL;
    CTSDbDef definition(*m_context->company, resources(), QStringLiteral("MRV"));
    return definition.Create(TableResourceId, false, CTSVersion(u"0.00.00.00.00"));
}

HRESULT MRV_UDTManager::updateTables() {
    // One failure is enough to know the table cannot take the notes; the
    // user is told once, not for every note.
    for (int n = 1; n <= NoteCount; ++n) {
        if (const HRESULT hr = storeNote(n, TSFormatArgs(u"MRV_LMS_NOTE%d_0", n)); FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT MRV_UDTManager::storeNote(int id, const QString& name) {
    if (!m_context || !m_context->company)
        return E_FAIL;
    const HRESULT hr = MRV_Util::WriteNoteToDB(*m_context->company, id, name);
    if (FAILED(hr))
        MRV_Interaction::current().hostMessageBox(text(10037), 1, {text(1), QString(), QString()});
    return hr;
}
