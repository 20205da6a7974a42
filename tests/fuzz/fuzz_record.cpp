// Record documents as the host hands them over. The record reader must
// take or refuse any text without harm, and a record it took must read
// back the same from the document it writes. The plain reader is set
// against the full parser: what it takes, the parser must read the same;
// what the parser refuses, it must decline.
#include "FuzzSupport.h"
#include "di/MRV_BOMRecord.h"
#include "xml/MRV_PlainXmlReader.h"
#include "xml/MRV_SAXParser.h"
#include "xml/MRV_SaxSink.h"

#include <xercesc/sax2/SAX2XMLReader.hpp>

namespace {

struct Events : MRV_SaxSink {
    QString seen;
    void plainStart(QStringView name) override { seen += u'<' + name.toString() + u'>'; }
    void plainEnd() override { seen += QStringLiteral("</>"); }
    void plainText(QStringView text) override { seen += text.toString().replace(u'<', u'{'); }
};

} // namespace

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
    Events plain, full;
    const bool plainRead = MRV_PlainXmlReader::read(xml, plain);
    MRV_SAXParser sax;
    sax.reader()->setContentHandler(&full);
    const bool fullRead = sax.parseString(xml);
    if (plainRead && (!fullRead || plain.seen != full.seen))
        std::abort();
    return 0;
}
