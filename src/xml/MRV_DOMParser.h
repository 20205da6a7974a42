#pragma once

#include "xml/MRV_XmlParser.h"

#include <QString>

#include <memory>
#include <optional>

XERCES_CPP_NAMESPACE_BEGIN
class DOMDocument;
class DOMNode;
XERCES_CPP_NAMESPACE_END

// One XML document in memory, parsed or built, with a cursor (the current
// node) that is moved over it. Every cursor operation is safe without a
// current node: it answers false, 0, "" or "ERROR" and changes nothing.
//
// Text that XML 1.0 cannot carry (NUL, most C0 controls, lone surrogates,
// U+FFFE, U+FFFF) is refused with false wherever it would enter the document.
class MRV_DOMParser : public MRV_XmlParser {
public:
    MRV_DOMParser();
    ~MRV_DOMParser() override;

    // "ERROR" when there is no document.
    QString serialize(bool withHeader) override;
    // The cursor goes to the first child of the document node (passing over
    // comments while skip() is set), which is the root element of the
    // program's documents.
    bool initCursor() override;
    QString xmlDeclaration() const override;

    // Replaces the document with a new one holding only an empty root element
    // named rootName, which becomes current. False for a name XML does not
    // allow; there is no document then.
    bool createDocument(const QString& rootName);

    bool hasCurrent() const { return m_current != nullptr; }
    // The root element becomes current; false when there is none.
    bool moveToRoot();

    // "ERROR" without a current node.
    QString nodeName() const;
    // The value of the current node's first child ("" when it has none);
    // "ERROR" without a current node.
    QString nodeText() const;
    // All the text below the current node (text and CDATA joined, comments
    // left out), as the element's value; "ERROR" without a current node.
    QString textContent() const;
    int countElementChildren() const;
    // True, with value set, only when the current node is an element with that
    // attribute; value is left alone otherwise.
    bool getAttribute(const QString& name, QString& value) const;
    bool setAttribute(const QString& name, const QString& value);

    // The number of elements named name (or, when there are none, name in upper
    // case) below the current element, at any depth. The first of them in
    // document order becomes current; with none, the cursor stays.
    int find(const QString& name);
    // The index-th child node of any kind becomes current.
    bool moveToChild(int index);
    bool moveToNextSibling();
    // direction 0: first child (forward) or parent (backward); direction 1:
    // next (forward) or previous (backward) sibling. While skip() is set, text
    // and comment nodes are passed over in the same sense. False, with the
    // cursor unchanged, when the step finds no node.
    bool step(int direction, bool forward);

    // Appends an element named name to the current node, with one attribute
    // when attrName is not empty and a text node when text is not empty. The
    // new element becomes current when makeCurrent is set. On false the
    // document and the cursor are as they were.
    bool addElement(const QString& name, const QString& text, const QString& attrName,
                    const QString& attrValue, bool makeCurrent);
    bool addElement(const QString& name, bool makeCurrent);
    // Takes the current node (and what is below it) out of the document; its
    // parent becomes current.
    bool removeCurrent();

    // Writes a UTF-16LE file: the byte-order mark, then serialize(true). The
    // file is replaced only once it is completely written. False when there is
    // no document or the file cannot be written.
    bool saveToFile(const QString& path);

protected:
    void beforeParse() override;
    void afterParse(bool ok) override;

private:
    struct DocumentRelease {
        void operator()(xercesc::DOMDocument* document) const;
    };

    // The document as text without declaration; nothing when Xerces cannot
    // write it.
    std::optional<QString> write() const;
    // from, or the first node after it in its sibling sense that is neither
    // text nor comment while skip() is set.
    xercesc::DOMNode* passOver(xercesc::DOMNode* from, bool forward) const;

    std::unique_ptr<xercesc::DOMDocument, DocumentRelease> m_document;
    xercesc::DOMNode* m_current = nullptr;
};
