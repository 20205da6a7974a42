#pragma once

#include "worksheet/MRV_WorksheetController.h"

class MRV_ConfigurationManager;
class MRV_ConnectionContext;

// The worksheet's window without a window: a base configuration file is
// read by the worksheet's configuration manager, and the selection states
// are those the worksheet holds. The command line and tests use it; the
// GUI controller does the same and more.
class MRV_ConfigurationController : public MRV_WorksheetController {
public:
    MRV_ConfigurationController(MRV_ConnectionContext& context, MRV_ConfigurationManager& manager)
        : m_context(context), m_manager(manager) {}

    HRESULT readBaseConfiguration(MRV_Worksheet& worksheet) override;
    int listFromConfiguration(MRV_WorksheetNode& node) override;
    void storeSelectionStates(MRV_Worksheet&) override {}

private:
    MRV_ConnectionContext& m_context;
    MRV_ConfigurationManager& m_manager;
};
