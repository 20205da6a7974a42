#include "xml/MRV_SAXParser.h"

#include "xml/MRV_XmlParserError.h"

#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/sax2/XMLReaderFactory.hpp>
#include <xercesc/util/XMLUni.hpp>

MRV_SAXParser::MRV_SAXParser() {
    std::unique_ptr<xercesc::SAX2XMLReader> reader(xercesc::XMLReaderFactory::createXMLReader());
    reader->setProperty(xercesc::XMLUni::fgXercesSecurityManager, securityManager());
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
