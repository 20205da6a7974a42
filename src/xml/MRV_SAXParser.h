#pragma once

#include "xml/MRV_XmlParser.h"

// Drives a Xerces SAX2 reader over a file or a string. The caller installs its
// own content handler (and, if it likes, its own error handler; by default the
// shared one collects errors for errorList()) on reader() before parsing.
// Xerces exceptions thrown by those handlers end the parse with false and an
// entry in errorList(); any other exception passes through to the caller.
class MRV_SAXParser : public MRV_XmlParser {
public:
    MRV_SAXParser();
    ~MRV_SAXParser() override;

    // A SAX reader holds no document: always empty.
    QString serialize(bool withHeader) override;
    // Nothing to set up: always true.
    bool initCursor() override;
    QString xmlDeclaration() const override;

    xercesc::SAX2XMLReader* reader() { return saxReader(); }
};
