// A copy log from anyone, as the log viewer and the command line read it.
#include "FuzzSupport.h"
#include "config/MRV_LogFile.h"

MIRROVA_FUZZ_SETUP

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MRV_LogFile log(fuzz::inputFile(data, size, "copy log.txt"));
    if (log.loadLogFile() == S_OK)
        for (const MRV_LogFile::Row& row : log.rows())
            (void)row.join(u'|');
    return 0;
}
