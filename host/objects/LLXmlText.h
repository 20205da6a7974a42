#pragma once

#include <QString>

// Text for XML written by hand: &, < and > become entity references and CR
// becomes &#13; (a parser would turn a bare CR into LF); with quotes, " and '
// become references too.
QString LLEscapeXmlText(const QString& text, bool quotes = false);
// The same, appended to out: documents are built in one buffer instead of
// from a string per value.
void LLAppendXmlText(QString& out, QStringView text, bool quotes = false);
// <name>text, escaped</name>.
QString LLXmlElement(const QString& name, const QString& text);
void LLAppendXmlElement(QString& out, QStringView name, QStringView text);

class QXmlStreamReader;

// Reads up to the document's root element; false at the end of the text or
// at an error. A document type declaration is an error: it could declare
// entities that grow without end, and documents from elsewhere need none.
bool LLReadRootElement(QXmlStreamReader& xml);
// what, with where the reader stands: "what (line L, column C)".
QString LLXmlAt(const QXmlStreamReader& xml, const QString& what);
