#pragma once

#include "xml/MRV_PlainXmlReader.h"

#include <xercesc/sax2/DefaultHandler.hpp>

// A sink that the full parser drives too, so that a document the plain
// reader declines reaches the same handling: elements by their qualified
// name, text as it comes.
class MRV_SaxSink : public xercesc::DefaultHandler, public MRV_PlainXmlReader::Sink {
public:
    void startElement(const XMLCh* const, const XMLCh* const, const XMLCh* const qname,
                      const xercesc::Attributes&) final {
        plainStart(QStringView(qname));
    }
    void endElement(const XMLCh* const, const XMLCh* const, const XMLCh* const) final {
        plainEnd();
    }
    void characters(const XMLCh* const chars, const XMLSize_t length) final {
        plainText(QStringView(chars, qsizetype(length)));
    }
};
