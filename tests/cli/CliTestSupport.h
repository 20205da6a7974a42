#pragma once

#include "TestData.h"
#include "cli/MRV_Cli.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <gtest/gtest.h>

#include <type_traits>

namespace clitest {

using Result = CommandResult;

inline Result run(const QStringList& args) {
    return runCommand<MRV_Cli>(args);
}

// The command ended with status; if not, what it printed says why.
inline ::testing::AssertionResult exits(const Result& r, int status) {
    if (r.status == status)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "status " << r.status << ", not " << status << "\nout: " << r.out.toStdString()
           << "\nerr: " << r.err.toStdString();
}

// text holds part (a text or a pattern); if not, the text is shown.
template <typename Part>::testing::AssertionResult holds(const QString& text, const Part& part) {
    if (text.contains(part))
        return ::testing::AssertionSuccess();
    QString shown;
    if constexpr (std::is_same_v<Part, QRegularExpression>)
        shown = part.pattern();
    else
        shown = QStringView(part).toString();
    return ::testing::AssertionFailure() << "no '" << shown.toStdString() << "' in:\n"
                                         << text.toStdString();
}

} // namespace clitest
