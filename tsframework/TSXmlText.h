#pragma once

#include <QString>

// Text for XML element content written by hand: &, < and > become entity
// references and CR becomes &#13; (a parser would turn a bare CR into LF).
QString TSEscapeXmlText(const QString& text);
