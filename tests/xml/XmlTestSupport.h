#pragma once

#include "TestData.h"
#include "config/LogTestSupport.h"
#include "xml/MRV_DOMParser.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <optional>

// Line and column of the first entry of an error list; -1 when absent.
inline std::pair<int, int> firstErrorPosition(const QString& errorList) {
    static const QRegularExpression re(
        QStringLiteral(R"(<Error>System Id = [^,]*, Line Number = (\d+), Column Number = (\d+),)"));
    const auto m = re.match(errorList);
    if (!m.hasMatch())
        return {-1, -1};
    return {m.captured(1).toInt(), m.captured(2).toInt()};
}

// The current node's attribute name, or none; a missing attribute leaves
// the caller's value as it was.
inline std::optional<QString> attribute(const MRV_DOMParser& parser, const QString& name) {
    QString value = QStringLiteral("kept");
    if (parser.getAttribute(name, value))
        return value;
    EXPECT_EQ(value, QStringLiteral("kept")) << name.toStdString();
    return std::nullopt;
}

using logtest::readBytes;
using logtest::utf16Text;
using logtest::writeBytes;
