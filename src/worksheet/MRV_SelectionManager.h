#pragma once

#include "di/MRV_DIDataSet.h"
#include "host/objects/LLHResult.h"
#include "worksheet/MRV_Worksheet.h"

#include <QString>

class MRV_ConnectionContext;
class MRV_WorksheetController;

// The open worksheet and the user's flows on it: open, refresh after the
// base changed, save (asking for a file name where needed). The window that
// shows the worksheet owns one per open worksheet.
class MRV_SelectionManager {
public:
    // controller: the window showing the worksheet, if there is one (it
    // reads a base configuration file and holds the tree's states).
    explicit MRV_SelectionManager(MRV_ConnectionContext* context,
                                  MRV_WorksheetController* controller = nullptr);
    MRV_SelectionManager(const MRV_SelectionManager&) = delete;
    MRV_SelectionManager& operator=(const MRV_SelectionManager&) = delete;

    // Opens the worksheet whose path the context holds, or a new one for
    // the context's base and target when it holds none. 0, 1 when the user
    // cancelled a login, or a failure.
    HRESULT openWorksheet();
    // Rebuilds header and tree for the context's new base; the selections
    // are lost.
    HRESULT refreshWorksheet();
    // Saves to the context's worksheet path, asking for a file first when
    // there is none or askForName is set. 0, S_FALSE when the user cancelled
    // the file dialog, or a failure.
    HRESULT saveWorksheet(bool askForName);

    MRV_Worksheet& worksheet() { return m_worksheet; }
    const MRV_Worksheet& worksheet() const { return m_worksheet; }

    // The selection object of one listed record: its key values under the
    // key columns' names, typed as the columns are.
    static MRV_SelectionObject selectionOf(const MRV_DIDataSet& list,
                                           const MRV_DIDataSet::Row& row);

    // The file name proposed for a new worksheet of a base named baseName:
    // the name without the characters a file name cannot hold, and suffix
    // ("_config.xml" for a configuration file); empty when nothing is left
    // of the name.
    static QString proposedFileName(const QString& baseName,
                                    const QString& suffix = QStringLiteral("_WS.xml"));

private:
    // The path chosen in the save dialog; empty when the user cancelled.
    QString askForPath();
    // The folder new worksheets are proposed in, from the stored settings.
    QString worksheetFolder() const;

    MRV_ConnectionContext* m_context;
    MRV_WorksheetController* m_controller;
    MRV_Worksheet m_worksheet;
};
