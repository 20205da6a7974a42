#include "tsframework/CTSDbDef.h"

#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLErrors.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLUserTables.h"
#include "host/objects/LLXmlText.h"
#include "tsframework/CLogBase.h"
#include "tsframework/TSSql.h"

using LLObjectsCOM::BusinessObject;

namespace {

// The framework's own table of add-on versions.
CTSDbDefinition::Table versionTableDefinition() {
    CTSDbDefinition::Table t;
    t.name = QString::fromUtf16(CTSDbDef::VersionTable);
    t.description = QStringLiteral("Add-on table versions");
    CTSDbDefinition::Field version;
    version.name = QStringLiteral("Version");
    version.description = QStringLiteral("Version of the tables");
    version.size = 20;
    CTSDbDefinition::Field state;
    state.name = QStringLiteral("State");
    state.description = QStringLiteral("State of the tables");
    state.size = 1;
    state.validValues = {{QStringLiteral("C"), QStringLiteral("Complete")},
                         {QStringLiteral("U"), QStringLiteral("Being made")}};
    t.fields = {version, state};
    return t;
}

std::unique_ptr<BusinessObject> businessObject(LLObjectsCOM::Company& company, int type) {
    std::unique_ptr<LLObjectsCOM::HostObject> object = company.GetBusinessObject(type);
    auto* bo = dynamic_cast<BusinessObject*>(object.get());
    if (!bo)
        throw ComError(E_FAIL, QStringLiteral("Object %1 is not a business object").arg(type));
    object.release();
    return std::unique_ptr<BusinessObject>(bo);
}

QString element(const char* name, const QString& value) {
    return QStringLiteral("<%1>%2</%1>").arg(QLatin1String(name), LLEscapeXmlText(value));
}

// The record document of a new user field with its valid values.
QString fieldDocument(const QString& table, const CTSDbDefinition::Field& field) {
    QString row = element("TableName", table) + element("Name", field.name) +
                  element("Description", field.description) +
                  element("Type", QString::number(field.hostType()));
    if (field.hostType() == 0)
        row += element("EditSize", QString::number(field.hostSize()));
    if (!field.defaultValue.isEmpty())
        row += element("DefaultValue", field.defaultValue);
    QString values;
    for (const CTSDbDefinition::ValidValue& v : field.validValues)
        values += QStringLiteral("<row>") + element("Value", v.value) +
                  element("Description", v.description) + QStringLiteral("</row>");
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><BOM><BO><AdmInfo>"
                          "<Object>%1</Object></AdmInfo><CUFD><row>%2</row></CUFD><UFD1>%3</UFD1>"
                          "</BO></BOM>")
        .arg(BusinessObject::UserFieldsType)
        .arg(row, values);
}

} // namespace

CTSDbDef::CTSDbDef(LLObjectsCOM::Company& company, const CTSResourceLoader& loader, QString prefix,
                   int definitionId)
    : m_company(company), m_loader(loader), m_prefix(std::move(prefix)),
      m_definitionId(definitionId) {}

HRESULT CTSDbDef::lastError(const QString& what) const {
    int code = 0;
    QString text;
    m_company.GetLastError(code, text);
    CLogBase(u"TSF", u"CTSDbDef").LogError(u"%s: %s (%d)", what, text, code);
    return code < 0 ? code : E_FAIL;
}

bool CTSDbDef::tableExists(const QString& name) {
    std::unique_ptr<BusinessObject> tables =
        businessObject(m_company, BusinessObject::UserTablesType);
    if (tables->GetByKey({name}))
        return true;
    // Only a missing record means a missing table; anything else is a
    // failure to look.
    int code = 0;
    QString text;
    m_company.GetLastError(code, text);
    if (code != LLObjectsCOM::errRecordMissing)
        throw ComError(FAILED(code) ? code : E_FAIL, text);
    return false;
}

QStringList CTSDbDef::fieldNames(const QString& table) {
    const int type = TSSql::serverType(m_company);
    std::unique_ptr<LLObjectsCOM::Recordset> rs = m_company.GetRecordset();
    rs->DoQuery(QStringLiteral("SELECT %1 FROM CUFD WHERE %2 = %3")
                    .arg(TSSql::column(type, QStringLiteral("AliasID")),
                         TSSql::column(type, QStringLiteral("TableID")),
                         TSSql::text(type, u'@' + table)));
    QStringList names;
    for (; !rs->EoF(); rs->MoveNext())
        names << rs->Field(0).toString().toUpper();
    return names;
}

HRESULT CTSDbDef::createTable(const CTSDbDefinition::Table& table, bool force) {
    CLogBase log(u"TSF", u"CTSDbDef::createTable");
    bool exists = tableExists(table.name);
    if (exists && force) {
        log.LogInfo(u"Dropping table @%s to make it anew", table.name);
        std::unique_ptr<BusinessObject> tables =
            businessObject(m_company, BusinessObject::UserTablesType);
        if (!tables->GetByKey({table.name}) || tables->Remove() != 0)
            return lastError(QStringLiteral("Cannot drop the table @%1").arg(table.name));
        exists = false;
    }
    if (!exists) {
        log.LogInfo(u"Creating table @%s", table.name);
        std::unique_ptr<BusinessObject> added =
            businessObject(m_company, BusinessObject::UserTablesType);
        added->SetProperty(QStringLiteral("TableName"), table.name);
        added->SetProperty(QStringLiteral("TableDescription"), table.description);
        added->SetProperty(QStringLiteral("TableType"), 0);
        if (added->Add() != 0)
            return lastError(QStringLiteral("Cannot create the table @%1").arg(table.name));
    }
    const QStringList present = fieldNames(table.name);
    for (const CTSDbDefinition::Field& field : table.fields) {
        if (present.contains(field.name.toUpper()))
            continue;
        if (const HRESULT hr = createField(table.name, field); FAILED(hr))
            return hr;
    }
    for (const CTSDbDefinition::Key& key : table.keys) {
        if (const HRESULT hr = createKey(table.name, key); FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT CTSDbDef::createField(const QString& table, const CTSDbDefinition::Field& field) {
    CLogBase(u"TSF", u"CTSDbDef::createField")
        .LogInfo(u"Creating field U_%s of @%s", field.name, table);
    std::unique_ptr<BusinessObject> fields =
        businessObject(m_company, BusinessObject::UserFieldsType);
    if (fields->ReadXml(fieldDocument(u'@' + table, field)) != 0 || fields->Add() != 0)
        return lastError(
            QStringLiteral("Cannot create the field U_%1 of @%2").arg(field.name, table));
    return S_OK;
}

HRESULT CTSDbDef::createKey(const QString& table, const CTSDbDefinition::Key& key) {
    // The host keeps keys as indexes of the table; there is no business
    // object for them.
    if (!m_company.Connected())
        throw ComError(E_FAIL, QStringLiteral("The company is not connected"));
    LLObjectsCOM::Database& db = *m_company.state()->database;
    if (LLObjectsCOM::UserTables::hasKey(db, u'@' + table, key.name))
        return S_OK;
    QString why;
    if (!LLObjectsCOM::UserTables::addKey(db, u'@' + table, key.name, key.unique, key.fields,
                                          &why)) {
        CLogBase(u"TSF", u"CTSDbDef::createKey").LogError(u"%s", why);
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CTSDbDef::apply(const CTSDbDefinition& definition, bool force) {
    for (const CTSDbDefinition::Table& table : definition.tables) {
        if (const HRESULT hr = createTable(table, force); FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT CTSDbDef::ensureVersionTable() {
    return createTable(versionTableDefinition(), false);
}

void CTSDbDef::readVersion(VersionRow& row) {
    row = VersionRow();
    if (!tableExists(QString::fromUtf16(VersionTable)))
        return;
    const int type = TSSql::serverType(m_company);
    std::unique_ptr<LLObjectsCOM::Recordset> rs = m_company.GetRecordset();
    rs->DoQuery(QStringLiteral("SELECT %1, %2 FROM %3 WHERE %4 = %5")
                    .arg(TSSql::column(type, QStringLiteral("U_Version")),
                         TSSql::column(type, QStringLiteral("U_State")),
                         TSSql::table(type, u'@' + QString::fromUtf16(VersionTable)),
                         TSSql::column(type, QStringLiteral("Code")), TSSql::text(type, m_prefix)));
    if (rs->EoF())
        return;
    row.exists = true;
    // A version text that cannot be read counts as the oldest version, so
    // the tables are brought up rather than left alone.
    row.version.SetVersion(rs->Field(0).toString());
    row.complete = rs->Field(1).toString() == u"C";
}

void CTSDbDef::writeVersion(const CTSVersion& version, bool complete) {
    const int type = TSSql::serverType(m_company);
    const QString table = TSSql::table(type, u'@' + QString::fromUtf16(VersionTable));
    const QString versionText = TSSql::text(type, version.GetVersionAsBSTR());
    const QString state = TSSql::text(type, complete ? QStringLiteral("C") : QStringLiteral("U"));
    const QString code = TSSql::text(type, m_prefix);
    std::unique_ptr<LLObjectsCOM::Recordset> rs = m_company.GetRecordset();
    rs->DoQuery(QStringLiteral("UPDATE %1 SET %2 = %3, %4 = %5 WHERE %6 = %7")
                    .arg(table, TSSql::column(type, QStringLiteral("U_Version")), versionText,
                         TSSql::column(type, QStringLiteral("U_State")), state,
                         TSSql::column(type, QStringLiteral("Code")), code));
    if (rs->RowsAffected() > 0)
        return;
    QStringList columns;
    for (const char* c : {"Code", "Name", "U_Version", "U_State"})
        columns << TSSql::column(type, QLatin1String(c));
    rs->DoQuery(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3, %3, %4, %5)")
                    .arg(table, columns.join(QStringLiteral(", ")), code, versionText, state));
}

HRESULT CTSDbDef::loadDefinition(int resourceId, CTSDbDefinition& definition) const {
    CLogBase log(u"TSF", u"CTSDbDef::loadDefinition");
    QString xml;
    if (const HRESULT hr = m_loader.GetResourceFileContents(resourceId, xml); FAILED(hr))
        return hr;
    QString error;
    if (!CTSDbDefinition::parse(xml, definition, error)) {
        log.LogError(u"The database definition %d is not valid: %s", resourceId, error);
        return E_INVALIDARG;
    }
    for (const CTSDbDefinition::Table& table : definition.tables) {
        // An add-on keeps to the tables its prefix names, and to names the
        // host can take as they stand.
        if (!table.name.startsWith(m_prefix) || !TSSql::isPlainName(table.name)) {
            log.LogError(u"The table %s of definition %d does not belong to the add-on %s",
                         table.name, resourceId, m_prefix);
            return E_INVALIDARG;
        }
    }
    return S_OK;
}

HRESULT CTSDbDef::Create(int resourceId, bool force, const CTSVersion& version) {
    CLogBase log(u"TSF", u"CTSDbDef::Create");
    try {
        CTSDbDefinition definition;
        if (const HRESULT hr = loadDefinition(resourceId, definition); FAILED(hr))
            return hr;
        const CTSVersion target = version.IsZero() ? m_loader.GetModuleVersion() : version;
        HRESULT hr = ensureVersionTable();
        if (SUCCEEDED(hr)) {
            writeVersion(target, false);
            hr = apply(definition, force);
        }
        if (SUCCEEDED(hr))
            writeVersion(target, true);
        if (FAILED(hr))
            log.LogError(u"Tables of %s not made (0x%X)", m_prefix, hr);
        else
            log.LogInfo(u"Tables of %s are at version %s", m_prefix, target.GetVersionAsBSTR());
        return hr;
    } catch (const ComError& e) {
        log.LogError(u"Tables of %s not made: %s", m_prefix, e.errorMessage());
        return e.code();
    }
}

HRESULT CTSDbDef::CheckVersion(int& state) {
    CLogBase log(u"TSF", u"CTSDbDef::CheckVersion");
    try {
        VersionRow row;
        readVersion(row);
        const CTSVersion file = m_loader.GetModuleVersion();
        if (!row.exists) {
            state = TablesMissing;
        } else if (!row.complete) {
            state = UpgradeIncomplete;
        } else if (row.version == file) {
            state = VersionCurrent;
        } else if (row.version > file) {
            state = DatabaseNewer;
        } else {
            log.LogInfo(u"Tables of %s are at version %s, the add-on at %s", m_prefix,
                        row.version.GetVersionAsBSTR(), file.GetVersionAsBSTR());
            if (m_definitionId > 0) {
                if (const HRESULT hr = Create(m_definitionId, false, file); FAILED(hr))
                    return hr;
            }
            state = TablesUpgraded;
        }
        return S_OK;
    } catch (const ComError& e) {
        log.LogError(u"Cannot read the version of %s: %s", m_prefix, e.errorMessage());
        return e.code();
    }
}

HRESULT CTSDbDef::GetDBVersion(CTSVersion& version) {
    try {
        VersionRow row;
        readVersion(row);
        if (!row.exists)
            return S_FALSE;
        version = row.version;
        return S_OK;
    } catch (const ComError& e) {
        CLogBase(u"TSF", u"CTSDbDef::GetDBVersion").LogError(u"%s", e.errorMessage());
        return e.code();
    }
}

HRESULT CTSDbDef::GetFileVersion(CTSVersion& version) const {
    version = m_loader.GetModuleVersion();
    return S_OK;
}
