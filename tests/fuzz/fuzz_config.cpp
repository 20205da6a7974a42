// A configuration file from anyone (and the configuration template, which
// the same reader reads): read whole or refused.
#include "FuzzSupport.h"
#include "config/MRV_ConfigurationManager.h"
#include "di/MRV_ConnectionContext.h"

MIRROVA_FUZZ_SETUP

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = fuzz::inputFile(data, size, "configuration.xml");
    MRV_ConnectionContext context;
    MRV_ConfigurationManager manager(context);
    manager.openFile(path);
    return 0;
}
