#include "xml/MRV_SAXParser.h"

#include "xml/MRV_XmlParserError.h"

#include <xercesc/parsers/SAX2XMLReaderImpl.hpp>
#include <xercesc/sax2/ContentHandler.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/validators/DTD/DTDElementDecl.hpp>

namespace {

// The caller's content handler, seen through a stand-in that keeps the
// parser's locator: a refused document type declaration is reported where
// it stands, and the reader itself offers no way to the locator.
class LocatingHandler final : public xercesc::ContentHandler {
public:
    xercesc::ContentHandler* target = nullptr;
    const xercesc::Locator* locator = nullptr;

    void characters(const XMLCh* const chars, const XMLSize_t length) override {
        if (target)
            target->characters(chars, length);
    }
    void endDocument() override {
        if (target)
            target->endDocument();
    }
    void endElement(const XMLCh* const uri, const XMLCh* const localname,
                    const XMLCh* const qname) override {
        if (target)
            target->endElement(uri, localname, qname);
    }
    void ignorableWhitespace(const XMLCh* const chars, const XMLSize_t length) override {
        if (target)
            target->ignorableWhitespace(chars, length);
    }
    void processingInstruction(const XMLCh* const name, const XMLCh* const data) override {
        if (target)
            target->processingInstruction(name, data);
    }
    void setDocumentLocator(const xercesc::Locator* const where) override {
        locator = where;
        if (target)
            target->setDocumentLocator(where);
    }
    void startDocument() override {
        if (target)
            target->startDocument();
    }
    void startElement(const XMLCh* const uri, const XMLCh* const localname,
                      const XMLCh* const qname, const xercesc::Attributes& attrs) override {
        if (target)
            target->startElement(uri, localname, qname, attrs);
    }
    void startPrefixMapping(const XMLCh* const prefix, const XMLCh* const uri) override {
        if (target)
            target->startPrefixMapping(prefix, uri);
    }
    void endPrefixMapping(const XMLCh* const prefix) override {
        if (target)
            target->endPrefixMapping(prefix);
    }
    void skippedEntity(const XMLCh* const name) override {
        if (target)
            target->skippedEntity(name);
    }
};

// The SAX2 reader that ends the parse at a document type declaration,
// before its internal subset is read or its external one fetched.
class GuardedSAX2Reader final : public xercesc::SAX2XMLReaderImpl {
public:
    GuardedSAX2Reader() {
        SAX2XMLReaderImpl::setContentHandler(&m_handler);
        // The reader hears of a document type declaration only while some
        // lexical handler is installed.
        SAX2XMLReaderImpl::setLexicalHandler(&m_noLexical);
    }

    xercesc::ContentHandler* getContentHandler() const override { return m_handler.target; }
    void setContentHandler(xercesc::ContentHandler* const handler) override {
        m_handler.target = handler;
    }
    void setLexicalHandler(xercesc::LexicalHandler* const handler) override {
        SAX2XMLReaderImpl::setLexicalHandler(handler ? handler : &m_noLexical);
    }
    void doctypeDecl(const xercesc::DTDElementDecl&, const XMLCh* const, const XMLCh* const,
                     const bool, const bool) override {
        MRV_XmlParser::refuseDoctype(m_handler.locator);
    }

private:
    LocatingHandler m_handler;
    xercesc::DefaultHandler m_noLexical;
};

} // namespace

MRV_SAXParser::MRV_SAXParser() {
    auto reader = std::make_unique<GuardedSAX2Reader>();
    reader->setErrorHandler(&errorHandler());
    setSaxReader(std::move(reader));
}

MRV_SAXParser::~MRV_SAXParser() = default;

QString MRV_SAXParser::serialize(bool withHeader) {
    (void)withHeader;
    return {};
}

bool MRV_SAXParser::initCursor() {
    return true;
}

QString MRV_SAXParser::xmlDeclaration() const {
    return QStringLiteral(R"(<?xml version="1.0" encoding="UTF-16"?>)");
}
