#pragma once

#include <QString>

#include <optional>

#include <xercesc/util/XercesDefs.hpp>

#include <memory>

XERCES_CPP_NAMESPACE_BEGIN
class InputSource;
class Locator;
class SAX2XMLReader;
class SecurityManager;
class XercesDOMParser;
XERCES_CPP_NAMESPACE_END

class MRV_XmlParserError;

// Common ground of the DOM cursor and the SAX driver: Xerces start-up, parsing
// from a file or from a string in memory, and one error list for both.
//
// The first wrapper made in the process starts the Xerces platform; that
// throws std::runtime_error("ERROR AT THE MRV_XmlParser()") when Xerces cannot
// start. A wrapper belongs to one owner and is never shared.
class MRV_XmlParser {
public:
    // The identifier of the memory buffer that parseString() reads; errors
    // found there name it as their system id.
    static constexpr const char* BufferId = "MRV_XmlParser";

    virtual ~MRV_XmlParser();
    MRV_XmlParser(const MRV_XmlParser&) = delete;
    MRV_XmlParser& operator=(const MRV_XmlParser&) = delete;

    // The document as text, with the XML declaration in front when withHeader
    // is set.
    virtual QString serialize(bool withHeader) = 0;
    // Puts the cursor at its start after a successful parse.
    virtual bool initCursor() = 0;
    // The declaration that this wrapper writes in front of documents.
    virtual QString xmlDeclaration() const = 0;

    // Parses the local file at path ("file:" URLs are taken as the file
    // they name; other URLs are file names like any other). False when the
    // parser reported an error; the reasons are in errorList().
    bool parseFile(const QString& path);
    // Parses text held in memory. Text without "?xml" (any letter case) gets
    // the UTF-16 declaration in front. The declaration's encoding is not
    // trusted: the text is UTF-16 whatever it claims.
    bool parseString(const QString& text);
    // What the document's XML declaration gives name ("version",
    // "encoding"); nothing without a declaration, or when it does not give
    // name a plain value.
    static std::optional<QString> declaredValue(QStringView document, const QString& name);

    // "<ErrorList>" + the errors collected so far + "</ErrorList>"; the
    // collection is empty afterwards.
    QString errorList();

    // Whether cursor steps pass over text and comment nodes. Every parse sets
    // it to true.
    void setSkip(bool skip) { m_skip = skip; }
    bool skip() const { return m_skip; }

    MRV_XmlParserError& errorHandler() { return *m_errorHandler; }
    // What went wrong first in the last parse, where, for people (see
    // MRV_XmlParserError::firstError); empty after a good parse.
    QString firstError() const;

    // The reason a document type declaration is refused.
    static constexpr const char16_t* DoctypeRefused =
        u"a document type declaration (DOCTYPE) is not allowed: the file may not declare "
        u"entities or name a DTD";
    // Ends a parse at a document type declaration: throws the SAX parse
    // exception that reports DoctypeRefused where the scanner stands.
    [[noreturn]] static void refuseDoctype(const xercesc::Locator* where);

protected:
    MRV_XmlParser();

    // The parser that parseFile()/parseString() drive; a concrete class sets
    // exactly one of them in its constructor. Both are made safe here (see
    // the class comment); the concrete parser refuses a document type
    // declaration with refuseDoctype().
    void setDomParser(std::unique_ptr<xercesc::XercesDOMParser> parser);
    void setSaxReader(std::unique_ptr<xercesc::SAX2XMLReader> reader);
    xercesc::XercesDOMParser* domParser() const { return m_domParser.get(); }
    xercesc::SAX2XMLReader* saxReader() const { return m_saxReader.get(); }

    // Called before a parse starts: drop whatever the last one produced.
    virtual void beforeParse() {}
    // Called after a parse ended; ok tells whether it succeeded.
    virtual void afterParse(bool ok) { (void)ok; }

private:
    void startParse();
    // Puts a scanner under the SAX reader, set up safely: the strict one
    // reports (so refuses) a document type declaration, the other only
    // checks well-formedness at half the cost and reads no declaration.
    void useSaxScanner(bool strict);
    // Parses source (an InputSource or a system id) and reports the outcome.
    template <typename Source> bool run(const Source& source, const QString& systemId);

    // Field order matters: the parsers refer to the handler and to the
    // security manager, so they must go first.
    std::unique_ptr<MRV_XmlParserError> m_errorHandler;
    // Caps entity expansion, so that a hostile document cannot blow up
    // memory through nested entities.
    std::unique_ptr<xercesc::SecurityManager> m_securityManager;
    std::unique_ptr<xercesc::XercesDOMParser> m_domParser;
    std::unique_ptr<xercesc::SAX2XMLReader> m_saxReader;
    const XMLCh* m_saxScanner = nullptr;
    bool m_skip = true;
};
