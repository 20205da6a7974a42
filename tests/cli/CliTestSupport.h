#pragma once

#include "cli/MRV_Cli.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <gtest/gtest.h>

#include <type_traits>

namespace clitest {

// What a command line gave: its exit status and what it printed.
struct Result {
    int status;
    QString out;
    QString err;
};

inline Result run(const QStringList& args) {
    QString out, err;
    QTextStream o(&out), e(&err);
    const int status = MRV_Cli(o, e).run(args);
    return {status, out, err};
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
