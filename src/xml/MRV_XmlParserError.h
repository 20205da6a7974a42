#pragma once

#include <QString>

#include <xercesc/sax/ErrorHandler.hpp>

// Collects what a Xerces parser complains about as XML fragments: one
// <Error> element per error or fatal error, one <Warning> element per
// warning. The collections survive from one parse to the next until they are
// taken, so a caller may log the reasons whenever it likes.
class MRV_XmlParserError : public xercesc::ErrorHandler {
public:
    MRV_XmlParserError() = default;
    ~MRV_XmlParserError() override = default;
    MRV_XmlParserError(const MRV_XmlParserError&) = delete;
    MRV_XmlParserError& operator=(const MRV_XmlParserError&) = delete;

    void warning(const xercesc::SAXParseException& e) override;
    void error(const xercesc::SAXParseException& e) override;
    // Recorded exactly as an error.
    void fatalError(const xercesc::SAXParseException& e) override;
    // Xerces calls this at the start of every parse; the collections are kept
    // until taken, so it does nothing.
    void resetErrors() override {}

    // Records an error that did not reach us through the callbacks above (an
    // exception thrown out of the parse).
    void addError(const QString& systemId, quint64 line, quint64 column,
                  const QString& description);

    // The system id named by entries whose exception carries none (Xerces
    // leaves it empty when the document itself cannot be opened).
    void setDocumentId(const QString& id) { m_documentId = id; }

    // The first error of the parse under way or last made, for people:
    // "FILE, line L, column C: what" (empty when there is none).
    const QString& firstError() const { return m_firstError; }
    // A parse begins: the first error is its own from now on.
    void newParse() { m_firstError.clear(); }
    // The same form for any problem of a file at a place.
    static QString describe(const QString& systemId, quint64 line, quint64 column,
                            const QString& description);

    const QString& errors() const { return m_errors; }
    const QString& warnings() const { return m_warnings; }
    // The collected errors; the collection is empty afterwards.
    QString takeErrors();
    // The collected warnings; the collection is empty afterwards.
    QString takeWarnings();

    // One entry: <element>System Id = ..., Line Number = ..., Column Number
    // = ..., Description = ...</element>, with &, < and > escaped so that the
    // list stays well-formed whatever a path or a message holds.
    static QString entry(const QString& element, const QString& systemId, quint64 line,
                         quint64 column, const QString& description);

private:
    QString entry(const QString& element, const xercesc::SAXParseException& e) const;

    QString m_documentId;
    QString m_firstError;
    QString m_errors;
    QString m_warnings;
};
