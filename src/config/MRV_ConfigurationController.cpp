#include "config/MRV_ConfigurationController.h"

#include "config/MRV_ConfigurationManager.h"
#include "di/MRV_DIInterface.h"
#include "worksheet/MRV_WorksheetNode.h"

HRESULT MRV_ConfigurationController::readBaseConfiguration(MRV_Worksheet& worksheet) {
    const HRESULT hr = m_manager.openConfiguration(&m_context, false);
    if (hr == S_OK)
        m_manager.updateWorksheet(worksheet);
    return hr;
}

int MRV_ConfigurationController::listFromConfiguration(MRV_WorksheetNode& node) {
    if (!node.manager)
        return 0;
    node.details = node.manager->listFromConfiguration(m_manager.tablesOf(node.categoryId));
    return node.details ? int(node.details->rows().size()) : 0;
}
