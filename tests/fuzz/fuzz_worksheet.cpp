// A worksheet file from anyone: read whole or refused with what and where.
#include "FuzzSupport.h"
#include "di/MRV_ConnectionContext.h"
#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetManager.h"

MIRROVA_FUZZ_SETUP

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = fuzz::inputFile(data, size, "worksheet.xml");
    MRV_ConnectionContext context;
    MRV_WorksheetManager manager(&context);
    MRV_Worksheet worksheet;
    QString problem;
    if (FAILED(manager.readWorksheetFile(worksheet, path, problem)) && problem.isEmpty())
        std::abort(); // a refusal must say why
    return 0;
}
