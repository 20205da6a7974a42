#pragma once

#include "host/objects/LLHResult.h"

#include <QString>

class CTSDbDef;
class CTSResourceLoader;
class MRV_ConnectionContext;

// The program's user tables MRVNOTE and MRVSETT in the logged-in company:
// checked at start-up, made or completed when needed, and the category
// notes stored in MRVNOTE.
class MRV_UDTManager {
public:
    // The resource that defines the tables.
    static constexpr int TableResourceId = 135;
    // The result when the user declines to finish an interrupted upgrade.
    static constexpr HRESULT UpgradeDeclined = static_cast<HRESULT>(0x80040503u);
    // How many category notes there are (MRV_LMS_NOTE1_0 ...).
    static constexpr int NoteCount = 30;

    explicit MRV_UDTManager(MRV_ConnectionContext* context);

    // Checks the tables' version and makes, completes or refreshes them;
    // after an interrupted upgrade the user decides whether to run it again.
    HRESULT checkCompany();
    // Whether the company holds the settings table; reads only. Throws
    // ComError when the host cannot tell.
    bool hasSettingsTable();
    // Makes whatever the tables lack.
    HRESULT createTables();
    // Writes the category notes.
    HRESULT updateTables();
    // Writes one note; a failure is shown in the host's message box.
    HRESULT storeNote(int id, const QString& name);

    // The program's resources and version.
    static const CTSResourceLoader& resources();

private:
    HRESULT restartUpgrade(CTSDbDef& definition);

    MRV_ConnectionContext* m_context;
};
