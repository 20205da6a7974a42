// Record documents as the host hands them over. The record reader must
// take or refuse any text without harm, and a record it took must read
// back the same from the document it writes. The plain reader is set
// against the full parser: what it takes, the parser must read the same;
// what the parser refuses, it must decline.
#include "FuzzSupport.h"
#include "di/MRV_BOMRecord.h"
#include "xml/XmlEvents.h"

MIRROVA_FUZZ_SETUP

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString xml = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    MRV_BOMRecord record;
    if (record.parse(xml)) {
        const QString written = record.toXml();
        MRV_BOMRecord again;
        if (!again.parse(written) || again.toXml() != written)
            std::abort();
    }
    const std::optional<QString> plain = xmlevents::plain(xml);
    if (plain && plain != xmlevents::parsed(xml))
        std::abort();
    return 0;
}
