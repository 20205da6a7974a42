#pragma once

#include "host/objects/LLHResult.h"
#include "tsframework/XMLMAP.h"

#include <QList>
#include <QString>

#include <utility>

class MRV_ConnectionContext;

// Which commands are available: (command or string id, enabled) pairs. An
// id that is not in the list counts as disabled.
using MRV_EnableList = QList<std::pair<quint32, bool>>;
bool MRV_isEnabled(const MRV_EnableList& list, quint32 id);

// The program's menus: its entry in the client's Tools menu (added,
// localized, enabled and removed through the client's batches of UI
// actions) and the texts and availability of the popups of its own main
// window.
class MRV_ToolsManager {
public:
    // The resources that add and remove the client's menu entry.
    static constexpr int AddMenuResource = 136;
    static constexpr int RemoveMenuResource = 128;
    // The string id of the entry "Open Mirrova".
    static constexpr quint32 OpenApplication = 505;

    explicit MRV_ToolsManager(MRV_ConnectionContext* context);

    // The unique id of the client's menu entry for a string id.
    static QString menuUid(quint32 stringId);

    HRESULT loadMenuFromXML(int resourceId);
    // Removes the entry, then adds it in the client's current language.
    HRESULT initializeLLMenu();
    HRESULT removeLLMenu();
    HRESULT enableLLMenuItem(quint32 stringId, bool enabled);
    HRESULT initializeWinMenu(const MRV_EnableList& list);
    // The five popups of the main window: File, Edit, View, Data, Help.
    HRESULT updateSubmenus(const MRV_EnableList& list);
    HRESULT updateSubmenu(int position, quint32 stringId, const MRV_EnableList& list);
    // Stores the list in the main window, applies it to the client's entry
    // and to the popups, and redraws the menu bar.
    HRESULT enableMenu(const MRV_EnableList& list);

    // The menu placeholders and their string ids.
    static QList<XMLMAP> placeholders();

private:
    MRV_ConnectionContext* m_context;
    QList<XMLMAP> m_placeholders;
};
