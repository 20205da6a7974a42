#pragma once

#include "host/objects/LLHResult.h"
#include "tsframework/CTSDbDefinition.h"
#include "tsframework/CTSResourceLoader.h"
#include "tsframework/CTSVersion.h"

#include <QString>

namespace LLObjectsCOM {
class Company;
}

// An add-on's user tables in a company: made from the add-on's database
// definition resource through the host's user-table (153) and user-field
// (152) objects, and kept at the add-on's version.
//
// The version of each add-on's tables is a row of the user table
// @TSEXTDBVERSION (Code and Name: the add-on's prefix; U_Version: the
// version the tables have or are being brought to; U_State: "C" complete,
// "U" while tables are being made). The framework makes that table itself
// when it is first needed.
class CTSDbDef {
public:
    // What CheckVersion finds.
    enum VersionState {
        VersionCurrent = 0,    // the tables are at the add-on's version
        TablesMissing = 1,     // the add-on has no tables in the company yet
        TablesUpgraded = 2,    // the tables were older and have been brought up
        DatabaseNewer = 3,     // a later add-on version made them; left alone
        UpgradeIncomplete = 4, // making the tables began and never finished
    };

    static constexpr const char16_t* VersionTable = u"TSEXTDBVERSION";

    // prefix: the add-on's prefix, which every table of its definition
    // starts with. definitionId: the definition resource CheckVersion
    // upgrades older tables with (0: none; they are then reported older
    // but left as they are).
    CTSDbDef(LLObjectsCOM::Company& company, const CTSResourceLoader& loader, QString prefix,
             int definitionId = 0);

    // The state of the add-on's tables, one of VersionState. A failure to
    // read the version (or to upgrade) is returned, state untouched.
    HRESULT CheckVersion(int& state);

    // Makes every table, field and key of definition resource resourceId
    // that the company lacks; force drops the tables first (their rows are
    // lost). The tables then have version, or the add-on's version when
    // version is 0.00.00.00.00. While the work runs the version row says
    // it is unfinished, so an interrupted run is found by CheckVersion.
    HRESULT Create(int resourceId, bool force, const CTSVersion& version);

    // The version the tables have (or are being brought to); S_FALSE and
    // version unchanged when the add-on has no tables yet.
    HRESULT GetDBVersion(CTSVersion& version);
    // The add-on's own version.
    HRESULT GetFileVersion(CTSVersion& version) const;
    // Whether the company holds the user table (name without "@"); reads
    // only. Throws ComError when the host cannot tell.
    bool tableExists(const QString& name);

private:
    struct VersionRow {
        bool exists = false;
        CTSVersion version;
        bool complete = false;
    };

    // Both throw ComError when the host refuses.
    void readVersion(VersionRow& row);
    void writeVersion(const CTSVersion& version, bool complete);
    HRESULT ensureVersionTable();
    HRESULT apply(const CTSDbDefinition& definition, bool force);
    HRESULT createTable(const CTSDbDefinition::Table& table, bool force);
    HRESULT createField(const QString& table, const CTSDbDefinition::Field& field);
    HRESULT createKey(const QString& table, const CTSDbDefinition::Key& key);
    QStringList fieldNames(const QString& table);
    HRESULT loadDefinition(int resourceId, CTSDbDefinition& definition) const;
    // The host's last error as a failure code (E_FAIL when it has none).
    HRESULT lastError(const QString& what) const;

    LLObjectsCOM::Company& m_company;
    const CTSResourceLoader& m_loader;
    QString m_prefix;
    int m_definitionId;
};
