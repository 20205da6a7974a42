#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

namespace LLObjectsCOM {

// Turns one statement written for the host's database servers (the MSSQL
// family, DB2 and the quoted dialect) into SQLite SQL for the company files
// of the stand-in. It works on tokens, so text inside literals and quoted
// identifiers is never touched.
//
// Translated: N'…' literals, [bracketed] identifiers, bare @TABLE names,
// CONVERT, CAST to a date type, TIMESTAMP_ISO, DATEADD, GETDATE(),
// CURRENT_TIMESTAMP / CURRENT TIMESTAMP (from the injected clock), ISNULL,
// LEN, SUBSTRING, SELECT TOP n, FETCH FIRST n ROWS ONLY, msdb.dbo.x and
// msdb..x, dbo.x, !< and !>, and on server type 5 timestamp literals with
// fractional seconds. Datetime values are text "YYYY-MM-DD HH:MM:SS".
class SqlTranslator {
public:
    // serverType: the emulated database server type (1, 3, 4, 6: MSSQL
    // family; 2: DB2; 5: the quoted dialect).
    explicit SqlTranslator(int serverType);

    // The clock GETDATE() and CURRENT_TIMESTAMP read, once per statement.
    // Default: the local current time.
    void setClock(std::function<QDateTime()> clock);

    // False, with a one-line error naming the problem and its character
    // position (1-based, in characters), when the statement cannot be translated: a NUL,
    // an unterminated literal, identifier or comment, more than one
    // statement, unbalanced parentheses, or a construct not supported.
    bool translate(const QString& statement, QString& sqlite, QString& error) const;

    // Whether "?" stands for a bound value; off by default, so that a
    // statement run without values cannot have NULL bound in silence.
    void setParameters(bool on) { m_parameters = on; }

    // A date and time as the company files store it.
    static QString storageText(const QDateTime& moment);

private:
    int m_serverType;
    bool m_parameters = false;
    std::function<QDateTime()> m_clock;
};

} // namespace LLObjectsCOM
