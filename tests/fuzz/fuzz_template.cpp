// The category tree's template, which a user could replace beside the
// program: read whole or refused with the problem it found.
#include "FuzzSupport.h"
#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetTemplateManager.h"

MIRROVA_FUZZ_SETUP

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MRV_WorksheetTemplateManager manager(fuzz::inputFile(data, size, "WorkSheet.tpl"));
    if (manager.initialize() == S_OK) {
        MRV_Worksheet worksheet;
        manager.getWorksheetTemplate(worksheet);
    }
    return 0;
}
