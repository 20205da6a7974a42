#include "xml/MRV_XmlParser.h"

#include "xml/MRV_XmlParserError.h"
#include "xml/MRV_XmlString.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>
#include <QUrl>

#include <xercesc/dom/DOMException.hpp>
#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/Locator.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <algorithm>
#include <atomic>
#include <bit>
#include <stdexcept>

namespace {

// Wrappers alive right now. Xerces must not be shut down under a live one.
std::atomic<int> liveWrappers{0};

// Starts Xerces on first use and shuts it down at process exit. A wrapper
// made before this object still destroys its parser before it, since C++
// destroys statics in reverse order of completion; the counter covers
// wrappers that outlive it anyway (held by some static made earlier): then
// Xerces is left running, which costs nothing at exit.
struct XercesPlatform {
    XercesPlatform() { xercesc::XMLPlatformUtils::Initialize(); }
    ~XercesPlatform() {
        if (liveWrappers.load() == 0)
            xercesc::XMLPlatformUtils::Terminate();
    }
    XercesPlatform(const XercesPlatform&) = delete;
    XercesPlatform& operator=(const XercesPlatform&) = delete;
};

void startXerces() {
    try {
        // A function-local static starts exactly once even when threads race;
        // when the start throws, the next wrapper tries again.
        static XercesPlatform platform;
    } catch (...) {
        throw std::runtime_error("ERROR AT THE MRV_XmlParser()");
    }
}

// The in-memory text is UTF-16 in the host's byte order; say so, so that a
// declaration naming another encoding cannot make Xerces misread it.
constexpr const XMLCh* hostUtf16 =
    std::endian::native == std::endian::little ? u"UTF-16LE" : u"UTF-16BE";

// Whether text may hold a document type declaration. One can only stand
// in the prolog, among white space, comments and processing instructions,
// and is written "<!DOCTYPE"; whatever else comes first ends the prolog
// (the root element) or makes the text no document at all. Text that ends
// before the prolog does may.
bool mayDeclareType(QStringView text) {
    qsizetype at = 0;
    for (;;) {
        while (at < text.size() && text[at].isSpace())
            ++at;
        const QStringView rest = text.sliced(at);
        QStringView close;
        if (rest.startsWith(u"<?"))
            close = u"?>";
        else if (rest.startsWith(u"<!--"))
            close = u"-->";
        else
            return rest.isEmpty() || rest.startsWith(u"<!");
        const qsizetype end = rest.indexOf(close, 2);
        if (end < 0)
            return true;
        at += end + close.size();
    }
}

// The same for a file, judged by its first characters: only a prolog of
// printable ASCII, in UTF-8 (or without a byte-order mark, in an encoding
// that reads those bytes as ASCII) or in UTF-16 with its byte-order mark,
// declaring an encoding that agrees, can say it holds none. Any other file,
// and one that cannot be read here, may.
bool fileMayDeclareType(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    const QByteArray head = file.read(64 * 1024);
    QString text;
    QStringList agreeing;
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")) {
        const bool little = head[0] == '\xFF';
        text = QStringDecoder(little ? QStringConverter::Utf16LE
                                     : QStringConverter::Utf16BE)(head.sliced(2));
        agreeing = {QStringLiteral("utf-16"),
                    little ? QStringLiteral("utf-16le") : QStringLiteral("utf-16be")};
    } else {
        text = QString::fromLatin1(head.startsWith("\xEF\xBB\xBF") ? head.sliced(3) : head);
        agreeing = {QStringLiteral("utf-8"),      QStringLiteral("utf8"),
                    QStringLiteral("us-ascii"),   QStringLiteral("ascii"),
                    QStringLiteral("iso-8859-1"), QStringLiteral("latin1")};
    }
    const auto plain = [](QChar c) {
        return (c >= u' ' && c.unicode() < 0x7F) || c == u'\t' || c == u'\n' || c == u'\r';
    };
    const QString prolog =
        text.left(std::find_if_not(text.cbegin(), text.cend(), plain) - text.cbegin());
    if (prolog.startsWith(u"<?xml")) {
        const std::optional<QString> named =
            MRV_XmlParser::declaredValue(prolog, QStringLiteral("encoding"));
        if (named ? !agreeing.contains(named->toLower())
                  : prolog.left(prolog.indexOf(u"?>")).contains(u"encoding"))
            return true;
    }
    return mayDeclareType(prolog);
}

} // namespace

std::optional<QString> MRV_XmlParser::declaredValue(QStringView document, const QString& name) {
    if (document.startsWith(QChar(0xFEFF)))
        document = document.mid(1);
    if (!document.startsWith(u"<?xml"))
        return std::nullopt;
    static const QRegularExpression pseudoAttribute(
        QStringLiteral(R"(\s([A-Za-z]+)\s*=\s*(["'])([A-Za-z0-9._-]*)\2)"));
    const QStringView declaration = document.left(document.indexOf(u"?>"));
    QRegularExpressionMatchIterator it = pseudoAttribute.globalMatch(declaration.toString());
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedView(1) == name)
            return m.captured(3);
    }
    return std::nullopt;
}

MRV_XmlParser::MRV_XmlParser() {
    startXerces();
    m_errorHandler = std::make_unique<MRV_XmlParserError>();
    m_securityManager = std::make_unique<xercesc::SecurityManager>();
    // Counted last: a constructor that throws earlier never reaches the
    // destructor that would count it off again.
    ++liveWrappers;
}

MRV_XmlParser::~MRV_XmlParser() {
    m_domParser.reset();
    m_saxReader.reset();
    m_securityManager.reset();
    m_errorHandler.reset();
    --liveWrappers;
}

void MRV_XmlParser::setDomParser(std::unique_ptr<xercesc::XercesDOMParser> parser) {
    // The scanner that reports a document type declaration (the one for
    // plain well-formed documents passes over it in silence); no document
    // gets that far.
    parser->useScanner(xercesc::XMLUni::fgIGXMLScanner);
    parser->setValidationScheme(xercesc::XercesDOMParser::Val_Auto);
    parser->setLoadExternalDTD(false);
    parser->setDisableDefaultEntityResolution(true);
    parser->setDoSchema(false);
    parser->setLoadSchema(false);
    parser->setSecurityManager(m_securityManager.get());
    m_domParser = std::move(parser);
}

void MRV_XmlParser::setSaxReader(std::unique_ptr<xercesc::SAX2XMLReader> reader) {
    m_saxReader = std::move(reader);
    m_saxScanner = nullptr;
    useSaxScanner(true);
}

void MRV_XmlParser::useSaxScanner(bool strict) {
    using xercesc::XMLUni;
    const XMLCh* scanner = strict ? XMLUni::fgIGXMLScanner : XMLUni::fgWFXMLScanner;
    if (m_saxScanner == scanner)
        return;
    xercesc::SAX2XMLReader* reader = m_saxReader.get();
    reader->setProperty(XMLUni::fgXercesScannerName, const_cast<XMLCh*>(scanner));
    // Set again on the new scanner rather than trusting what it took over.
    reader->setFeature(XMLUni::fgSAX2CoreValidation, false);
    reader->setFeature(XMLUni::fgXercesDynamic, false);
    reader->setFeature(XMLUni::fgXercesLoadExternalDTD, false);
    reader->setFeature(XMLUni::fgXercesDisableDefaultEntityResolution, true);
    reader->setFeature(XMLUni::fgXercesSchema, false);
    reader->setFeature(XMLUni::fgXercesLoadSchema, false);
    // The cap on entity expansion guards the scanner that reads declared
    // entities. The other one declares none, yet counts every "&amp;"
    // against the cap and would refuse a large plain document for it.
    reader->setProperty(XMLUni::fgXercesSecurityManager,
                        strict ? m_securityManager.get() : nullptr);
    m_saxScanner = scanner;
}

void MRV_XmlParser::refuseDoctype(const xercesc::Locator* where) {
    throw xercesc::SAXParseException(
        reinterpret_cast<const XMLCh*>(DoctypeRefused), where ? where->getPublicId() : nullptr,
        where ? where->getSystemId() : nullptr, where ? where->getLineNumber() : 0,
        where ? where->getColumnNumber() : 0);
}

bool MRV_XmlParser::parseFile(const QString& path) {
    // Xerces opens a folder as if it were a file, fails to read it and leaks
    // the reader it was building; a folder is turned away before that.
    if (QFileInfo(path).isDir()) {
        startParse();
        m_errorHandler->addError(path, 0, 0, QStringLiteral("The path is a folder, not a file"));
        return false;
    }
    // A URL would make the parser fetch it: only the local file is read.
    QString local = path;
    if (path.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(path);
        if (url.isLocalFile())
            local = url.toLocalFile();
    }
    std::unique_ptr<xercesc::LocalFileInputSource> source;
    try {
        source = std::make_unique<xercesc::LocalFileInputSource>(toXmlCh(local));
    } catch (const xercesc::XMLException& e) {
        startParse();
        m_errorHandler->addError(path, 0, 0, fromXmlCh(e.getMessage()));
        return false;
    }
    // A file that may declare a document type is read by the scanner that
    // reports the declaration (see parseString).
    if (m_saxReader)
        useSaxScanner(fileMayDeclareType(local));
    return run<xercesc::InputSource>(*source, local);
}

bool MRV_XmlParser::parseString(const QString& text) {
    QString document = text;
    // A byte-order mark left over from decoding a file would end up behind
    // the declaration put in front below, where it is not allowed.
    if (document.startsWith(QChar(0xFEFF)))
        document.remove(0, 1);
    if (!document.contains(QLatin1String("?xml"), Qt::CaseInsensitive))
        document.prepend(QLatin1String(R"(<?xml version="1.0" encoding="UTF-16"?>)"));

    xercesc::MemBufInputSource source(reinterpret_cast<const XMLByte*>(document.utf16()),
                                      static_cast<XMLSize_t>(document.size()) * 2, BufferId);
    source.setEncoding(hostUtf16);
    // The scanner that reports a document type declaration (so that it can
    // be refused) costs twice as much per document as the one that only
    // checks well-formedness; a record is parsed several times on its way,
    // so text without a declaration goes to the cheaper one.
    if (m_saxReader)
        useSaxScanner(mayDeclareType(document));
    return run<xercesc::InputSource>(source, QLatin1String(BufferId));
}

QString MRV_XmlParser::firstError() const {
    return m_errorHandler->firstError();
}

QString MRV_XmlParser::errorList() {
    return QLatin1String("<ErrorList>") + m_errorHandler->takeErrors() +
           QLatin1String("</ErrorList>");
}

void MRV_XmlParser::startParse() {
    m_skip = true;
    beforeParse();
    m_errorHandler->newParse();
}

template <typename Source> bool MRV_XmlParser::run(const Source& source, const QString& systemId) {
    startParse();
    m_errorHandler->setDocumentId(systemId);

    // Xerces counts errors and fatal errors itself, whichever handler the
    // caller installed on a SAX reader. Exceptions out of parse() are its
    // other way of failing; they are recorded as errors so that the caller
    // sees a false result and a reason, never an exception.
    bool failed = false;
    try {
        if (m_domParser) {
            m_domParser->parse(source);
            failed = m_domParser->getErrorCount() > 0;
        } else if (m_saxReader) {
            m_saxReader->parse(source);
            failed = m_saxReader->getErrorCount() > 0;
        } else {
            m_errorHandler->addError(systemId, 0, 0, QStringLiteral("No parser"));
            failed = true;
        }
    } catch (const xercesc::SAXParseException& e) {
        m_errorHandler->fatalError(e);
        failed = true;
    } catch (const xercesc::SAXException& e) {
        m_errorHandler->addError(systemId, 0, 0, fromXmlCh(e.getMessage()));
        failed = true;
    } catch (const xercesc::XMLException& e) {
        m_errorHandler->addError(systemId, 0, 0, fromXmlCh(e.getMessage()));
        failed = true;
    } catch (const xercesc::DOMException& e) {
        m_errorHandler->addError(systemId, 0, 0, fromXmlCh(e.getMessage()));
        failed = true;
    } catch (const xercesc::OutOfMemoryException&) {
        m_errorHandler->addError(systemId, 0, 0, QStringLiteral("Out of memory"));
        failed = true;
    }

    afterParse(!failed);
    if (failed)
        return false;
    initCursor();
    return true;
}
