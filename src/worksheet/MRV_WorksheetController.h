#pragma once

#include "host/objects/LLHResult.h"

class MRV_Worksheet;
class MRV_WorksheetNode;

// What the worksheet needs of the window that shows it: the configuration
// manager that reads a base configuration file for the open worksheet, and
// the category tree, which holds the selection states while the user works.
// The GUI controller implements it; without one (a run without windows)
// the worksheet's own states are the current ones and a configuration-file
// base cannot be opened.
class MRV_WorksheetController {
public:
    virtual ~MRV_WorksheetController() = default;

    // Reads the base configuration file that the connection context names
    // (baseFilePath) and brings the worksheet in line with it: its copy
    // options, description and which categories the file holds. 0, or the
    // reader's failure.
    virtual HRESULT readBaseConfiguration(MRV_Worksheet& worksheet) = 0;
    // Lists the records of the node's category from the base configuration
    // file through the node's category manager, and gives the node the
    // record list; returns the number of records listed.
    virtual int listFromConfiguration(MRV_WorksheetNode& node) = 0;
    // The tree writes its current selection states into the worksheet's
    // nodes, before the worksheet is saved.
    virtual void storeSelectionStates(MRV_Worksheet& worksheet) = 0;
};
