#pragma once

// What a document tells a reader, as one text, to set the plain reader
// against the full parser: elements as "<name>" and "</>", text as it was
// told, pieces joined.
#include "xml/MRV_PlainXmlReader.h"
#include "xml/MRV_SAXParser.h"
#include "xml/MRV_SaxSink.h"

#include <xercesc/sax2/SAX2XMLReader.hpp>

#include <QString>

#include <optional>

namespace xmlevents {

struct Events : MRV_SaxSink {
    QString seen;
    void plainStart(QStringView name) override { seen += u'<' + name.toString() + u'>'; }
    void plainEnd() override { seen += QStringLiteral("</>"); }
    void plainText(QStringView text) override { seen += text.toString().replace(u'<', u'{'); }
};

// What the plain reader tells; nothing when it declines.
inline std::optional<QString> plain(const QString& xml) {
    Events events;
    return MRV_PlainXmlReader::read(xml, events) ? std::optional(events.seen) : std::nullopt;
}

// What the full parser tells; nothing when it refuses.
inline std::optional<QString> parsed(const QString& xml) {
    Events events;
    MRV_SAXParser sax;
    sax.reader()->setContentHandler(&events);
    return sax.parseString(xml) ? std::optional(events.seen) : std::nullopt;
}

} // namespace xmlevents
