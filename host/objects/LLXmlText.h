#pragma once

#include <QString>

// Text for XML written by hand: &, < and > become entity references and CR
// becomes &#13; (a parser would turn a bare CR into LF); with quotes, " and '
// become references too.
QString LLEscapeXmlText(const QString& text, bool quotes = false);
