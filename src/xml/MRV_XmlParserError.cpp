#include "xml/MRV_XmlParserError.h"

#include "host/objects/LLXmlText.h"

#include "xml/MRV_XmlString.h"

#include <xercesc/sax/SAXParseException.hpp>

#include <utility>

void MRV_XmlParserError::warning(const xercesc::SAXParseException& e) {
    m_warnings += entry(QStringLiteral("Warning"), e);
}

void MRV_XmlParserError::error(const xercesc::SAXParseException& e) {
    QString systemId = fromXmlCh(e.getSystemId());
    if (systemId.isEmpty())
        systemId = m_documentId;
    addError(systemId, e.getLineNumber(), e.getColumnNumber(), fromXmlCh(e.getMessage()));
}

void MRV_XmlParserError::fatalError(const xercesc::SAXParseException& e) {
    error(e);
}

void MRV_XmlParserError::addError(const QString& systemId, quint64 line, quint64 column,
                                  const QString& description) {
    if (m_firstError.isEmpty())
        m_firstError = describe(systemId, line, column, description);
    m_errors += entry(QStringLiteral("Error"), systemId, line, column, description);
}

QString MRV_XmlParserError::takeErrors() {
    return std::exchange(m_errors, QString());
}

QString MRV_XmlParserError::describe(const QString& systemId, quint64 line, quint64 column,
                                     const QString& description) {
    const QString what = description.trimmed().isEmpty()
                             ? QStringLiteral("the file is not well-formed XML")
                             : description.trimmed();
    if (line == 0)
        return QStringLiteral("%1: %2").arg(systemId, what);
    return QStringLiteral("%1, line %2, column %3: %4")
        .arg(systemId, QString::number(line), QString::number(column), what);
}

QString MRV_XmlParserError::takeWarnings() {
    return std::exchange(m_warnings, QString());
}

QString MRV_XmlParserError::entry(const QString& element, const QString& systemId, quint64 line,
                                  quint64 column, const QString& description) {
    // One multi-argument arg() call: chained calls would expand a "%2" that
    // the path or the message itself happens to contain.
    const QString text =
        QStringLiteral("System Id = %1, Line Number = %2, Column Number = %3, "
                       "Description = %4")
            .arg(systemId, QString::number(line), QString::number(column), description);
    return LLXmlElement(element, text);
}

QString MRV_XmlParserError::entry(const QString& element,
                                  const xercesc::SAXParseException& e) const {
    QString systemId = fromXmlCh(e.getSystemId());
    if (systemId.isEmpty())
        systemId = m_documentId;
    return entry(element, systemId, e.getLineNumber(), e.getColumnNumber(),
                 fromXmlCh(e.getMessage()));
}
