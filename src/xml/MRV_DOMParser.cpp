#include "xml/MRV_DOMParser.h"

#include "xml/MRV_XmlParserError.h"
#include "xml/MRV_XmlString.h"

#include <QSaveFile>
#include <QtEndian>

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/XMLValidator.hpp>
#include <xercesc/internal/XMLScanner.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/Locator.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/XMLString.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <bit>
#include <string>

namespace {

const XMLCh* const lsFeature = u"LS";

xercesc::DOMImplementation* lsImplementation() {
    return xercesc::DOMImplementationRegistry::getDOMImplementation(lsFeature);
}

bool isTextOrComment(const xercesc::DOMNode* node) {
    const auto type = node->getNodeType();
    return type == xercesc::DOMNode::TEXT_NODE || type == xercesc::DOMNode::COMMENT_NODE;
}

// Owns a node made by the document but not yet placed in it.
struct NodeRelease {
    void operator()(xercesc::DOMNode* node) const { node->release(); }
};
using DetachedNode = std::unique_ptr<xercesc::DOMElement, NodeRelease>;

struct SerializerRelease {
    void operator()(xercesc::DOMLSSerializer* serializer) const { serializer->release(); }
};

struct XmlStringRelease {
    void operator()(XMLCh* text) const { xercesc::XMLString::release(&text); }
};

// The DOM parser with two guards that Xerces lacks.
//
// Text: Xerces reports the text of one node in pieces (around every entity
// reference and at its read-buffer boundaries), and its DOM grows the text
// node piece by piece. Every growth frees the old buffer through a linear
// search of all large buffers the document holds, which made a 50 MB document
// with "&amp;" in its longer texts take minutes to parse. Here the pieces are
// gathered and handed on as one, before whatever event comes next.
//
// Document type declarations: refused before their subsets are read (see
// MRV_XmlParser).
//
// Depth: Xerces' serializer recurses once per level and overflows the stack
// somewhere past 50,000 levels (far sooner on a small thread stack), so a
// hostile document could parse fine and crash later. Deeper nesting than
// MaxDepth is refused while parsing; the program's documents stay far below.
class GuardedDOMParser final : public xercesc::XercesDOMParser {
public:
    static constexpr int MaxDepth = 1000;

    using XercesDOMParser::XercesDOMParser;

    void docCharacters(const XMLCh* const chars, const XMLSize_t length,
                       const bool cdataSection) override {
        if (cdataSection) {
            flush();
            XercesDOMParser::docCharacters(chars, length, true);
        } else {
            m_pending.append(chars, length);
        }
    }
    void docComment(const XMLCh* const comment) override {
        flush();
        XercesDOMParser::docComment(comment);
    }
    void docPI(const XMLCh* const target, const XMLCh* const data) override {
        flush();
        XercesDOMParser::docPI(target, data);
    }
    void endDocument() override {
        flush();
        XercesDOMParser::endDocument();
    }
    void endElement(const xercesc::XMLElementDecl& elemDecl, const unsigned int urlId,
                    const bool isRoot, const XMLCh* const elemPrefix) override {
        flush();
        --m_depth;
        XercesDOMParser::endElement(elemDecl, urlId, isRoot, elemPrefix);
    }
    void endEntityReference(const xercesc::XMLEntityDecl& entDecl) override {
        flush();
        XercesDOMParser::endEntityReference(entDecl);
    }
    void ignorableWhitespace(const XMLCh* const chars, const XMLSize_t length,
                             const bool cdataSection) override {
        flush();
        XercesDOMParser::ignorableWhitespace(chars, length, cdataSection);
    }
    void resetDocument() override {
        m_depth = 0;
        m_pending.clear();
        m_pending.shrink_to_fit();
        XercesDOMParser::resetDocument();
    }
    void startElement(const xercesc::XMLElementDecl& elemDecl, const unsigned int urlId,
                      const XMLCh* const elemPrefix,
                      const xercesc::RefVectorOf<xercesc::XMLAttr>& attrList,
                      const XMLSize_t attrCount, const bool isEmpty, const bool isRoot) override {
        flush();
        if (m_depth >= MaxDepth) {
            const xercesc::Locator* where = getScanner()->getLocator();
            throw xercesc::SAXParseException(u"elements are nested too deeply",
                                             where->getPublicId(), where->getSystemId(),
                                             where->getLineNumber(), where->getColumnNumber());
        }
        // An empty element gets no end event, so it never counts as open.
        if (!isEmpty)
            ++m_depth;
        XercesDOMParser::startElement(elemDecl, urlId, elemPrefix, attrList, attrCount, isEmpty,
                                      isRoot);
    }
    void doctypeDecl(const xercesc::DTDElementDecl&, const XMLCh* const, const XMLCh* const,
                     const bool, const bool) override {
        MRV_XmlParser::refuseDoctype(getScanner()->getLocator());
    }
    void startEntityReference(const xercesc::XMLEntityDecl& entDecl) override {
        flush();
        XercesDOMParser::startEntityReference(entDecl);
    }

private:
    void flush() {
        if (m_pending.empty())
            return;
        XercesDOMParser::docCharacters(m_pending.data(), m_pending.size(), false);
        m_pending.clear();
    }

    std::u16string m_pending;
    int m_depth = 0;
};

} // namespace

void MRV_DOMParser::DocumentRelease::operator()(xercesc::DOMDocument* document) const {
    document->release();
}

MRV_DOMParser::MRV_DOMParser() {
    auto parser = std::make_unique<GuardedDOMParser>();
    parser->setDoNamespaces(false);
    parser->setErrorHandler(&errorHandler());
    setDomParser(std::move(parser));
}

MRV_DOMParser::~MRV_DOMParser() {
    // The document goes before the parser that made it (the base destructor
    // runs after this one).
    m_current = nullptr;
    m_document.reset();
}

void MRV_DOMParser::beforeParse() {
    m_current = nullptr;
    m_document.reset();
}

void MRV_DOMParser::afterParse(bool ok) {
    // A good document is taken from the parser so that it lives as long as
    // this wrapper wants, not until the parser's next parse. A failed parse's
    // partial document, if any, is still the parser's and is freed right away;
    // the pool never holds a document that we took.
    if (ok)
        m_document.reset(domParser()->adoptDocument());
    else
        domParser()->resetDocumentPool();
}

bool MRV_DOMParser::initCursor() {
    m_current = m_document ? passOver(m_document->getFirstChild(), true) : nullptr;
    return m_current != nullptr;
}

QString MRV_DOMParser::xmlDeclaration() const {
    return QStringLiteral(R"(<?xml version="1.0" encoding="UTF-16"?>)");
}

bool MRV_DOMParser::createDocument(const QString& rootName) {
    m_current = nullptr;
    m_document.reset();
    if (!isXmlText(rootName))
        return false;
    try {
        // Made empty and given its root by hand: the namespace-aware way of
        // naming the root would refuse a prefix that the parser accepts.
        std::unique_ptr<xercesc::DOMDocument, DocumentRelease> document(
            lsImplementation()->createDocument());
        xercesc::DOMElement* root = document->createElement(toXmlCh(rootName));
        document->appendChild(root);
        m_document = std::move(document);
        m_current = root;
        return true;
    } catch (const xercesc::DOMException&) {
        return false;
    } catch (const xercesc::OutOfMemoryException&) {
        return false;
    }
}

bool MRV_DOMParser::moveToRoot() {
    xercesc::DOMElement* root = m_document ? m_document->getDocumentElement() : nullptr;
    if (!root)
        return false;
    m_current = root;
    return true;
}

QString MRV_DOMParser::nodeName() const {
    if (!m_current)
        return QStringLiteral("ERROR");
    return fromXmlCh(m_current->getNodeName());
}

QString MRV_DOMParser::nodeText() const {
    if (!m_current)
        return QStringLiteral("ERROR");
    const xercesc::DOMNode* first = m_current->getFirstChild();
    return first ? fromXmlCh(first->getNodeValue()) : QString();
}

QString MRV_DOMParser::textContent() const {
    if (!m_current)
        return QStringLiteral("ERROR");
    return fromXmlCh(m_current->getTextContent());
}

int MRV_DOMParser::countElementChildren() const {
    if (!m_current)
        return 0;
    int count = 0;
    for (const xercesc::DOMNode* child = m_current->getFirstChild(); child;
         child = child->getNextSibling()) {
        if (child->getNodeType() == xercesc::DOMNode::ELEMENT_NODE)
            ++count;
    }
    return count;
}

bool MRV_DOMParser::getAttribute(const QString& name, QString& value) const {
    if (!m_current || m_current->getNodeType() != xercesc::DOMNode::ELEMENT_NODE ||
        !isXmlText(name))
        return false;
    const auto* element = static_cast<const xercesc::DOMElement*>(m_current);
    const xercesc::DOMAttr* attribute = element->getAttributeNode(toXmlCh(name));
    if (!attribute)
        return false;
    value = fromXmlCh(attribute->getValue());
    return true;
}

bool MRV_DOMParser::setAttribute(const QString& name, const QString& value) {
    if (!m_current || m_current->getNodeType() != xercesc::DOMNode::ELEMENT_NODE ||
        !isXmlText(name) || !isXmlText(value))
        return false;
    try {
        static_cast<xercesc::DOMElement*>(m_current)->setAttribute(toXmlCh(name), toXmlCh(value));
        return true;
    } catch (const xercesc::DOMException&) {
        return false;
    }
}

int MRV_DOMParser::find(const QString& name) {
    if (!m_current || m_current->getNodeType() != xercesc::DOMNode::ELEMENT_NODE ||
        !isXmlText(name))
        return 0;
    const auto* element = static_cast<const xercesc::DOMElement*>(m_current);
    xercesc::DOMNodeList* matches = element->getElementsByTagName(toXmlCh(name));
    if (matches->getLength() == 0) {
        const QString upper = name.toUpper();
        if (upper == name)
            return 0;
        matches = element->getElementsByTagName(toXmlCh(upper));
        if (matches->getLength() == 0)
            return 0;
    }
    m_current = matches->item(0);
    return static_cast<int>(matches->getLength());
}

bool MRV_DOMParser::moveToChild(int index) {
    if (!m_current || index < 0)
        return false;
    xercesc::DOMNode* child = m_current->getChildNodes()->item(static_cast<XMLSize_t>(index));
    if (!child)
        return false;
    m_current = child;
    return true;
}

bool MRV_DOMParser::moveToNextSibling() {
    xercesc::DOMNode* next = m_current ? m_current->getNextSibling() : nullptr;
    if (!next)
        return false;
    m_current = next;
    return true;
}

xercesc::DOMNode* MRV_DOMParser::passOver(xercesc::DOMNode* from, bool forward) const {
    while (from && skip() && isTextOrComment(from))
        from = forward ? from->getNextSibling() : from->getPreviousSibling();
    return from;
}

bool MRV_DOMParser::step(int direction, bool forward) {
    if (!m_current)
        return false;
    xercesc::DOMNode* next = nullptr;
    if (direction == 0) {
        next = forward ? passOver(m_current->getFirstChild(), true) : m_current->getParentNode();
    } else if (direction == 1) {
        next = passOver(forward ? m_current->getNextSibling() : m_current->getPreviousSibling(),
                        forward);
    }
    if (!next)
        return false;
    m_current = next;
    return true;
}

bool MRV_DOMParser::addElement(const QString& name, const QString& text, const QString& attrName,
                               const QString& attrValue, bool makeCurrent) {
    if (!m_current || !isXmlText(name) || !isXmlText(text) || !isXmlText(attrName) ||
        !isXmlText(attrValue))
        return false;
    try {
        // Built completely before it is placed, so that a failure anywhere
        // leaves the document and the cursor untouched.
        DetachedNode element(m_document->createElement(toXmlCh(name)));
        if (!attrName.isEmpty())
            element->setAttribute(toXmlCh(attrName), toXmlCh(attrValue));
        if (!text.isEmpty())
            element->appendChild(m_document->createTextNode(toXmlCh(text)));
        m_current->appendChild(element.get());
        xercesc::DOMElement* placed = element.release();
        if (makeCurrent)
            m_current = placed;
        return true;
    } catch (const xercesc::DOMException&) {
        return false;
    } catch (const xercesc::OutOfMemoryException&) {
        return false;
    }
}

bool MRV_DOMParser::addElement(const QString& name, bool makeCurrent) {
    return addElement(name, QString(), QString(), QString(), makeCurrent);
}

bool MRV_DOMParser::removeCurrent() {
    xercesc::DOMNode* parent = m_current ? m_current->getParentNode() : nullptr;
    if (!parent)
        return false;
    try {
        parent->removeChild(m_current)->release();
    } catch (const xercesc::DOMException&) {
        return false;
    }
    m_current = parent;
    return true;
}

std::optional<QString> MRV_DOMParser::write() const {
    if (!m_document)
        return std::nullopt;
    try {
        std::unique_ptr<xercesc::DOMLSSerializer, SerializerRelease> serializer(
            lsImplementation()->createLSSerializer());
        // Our own declaration goes in front when wanted: the serializer would
        // name the encoding the document was read in, which is not what the
        // UTF-16 text we hand out is.
        serializer->getDomConfig()->setParameter(xercesc::XMLUni::fgDOMXMLDeclaration, false);
        std::unique_ptr<XMLCh, XmlStringRelease> text(serializer->writeToString(m_document.get()));
        if (!text)
            return std::nullopt;
        return fromXmlCh(text.get());
    } catch (const xercesc::DOMException&) {
        return std::nullopt;
    } catch (const xercesc::OutOfMemoryException&) {
        return std::nullopt;
    }
}

QString MRV_DOMParser::serialize(bool withHeader) {
    const std::optional<QString> text = write();
    if (!text)
        return QStringLiteral("ERROR");
    return withHeader ? xmlDeclaration() + *text : *text;
}

bool MRV_DOMParser::saveToFile(const QString& path) {
    const std::optional<QString> body = write();
    if (!body)
        return false;
    const QString text = xmlDeclaration() + *body;

    QByteArray bytes;
    bytes.reserve(2 + text.size() * 2);
    bytes.append('\xFF');
    bytes.append('\xFE');
    if constexpr (std::endian::native == std::endian::little) {
        bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    } else {
        for (const QChar c : text) {
            const char16_t unit = qToLittleEndian(c.unicode());
            bytes.append(reinterpret_cast<const char*>(&unit), 2);
        }
    }

    // Written beside the target and renamed over it on commit: a crash or a
    // full disk never leaves half a document where a whole one was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
