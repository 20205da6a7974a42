#pragma once

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace LLObjectsCOM {

// One prepared SQLite statement on a connection's handle, run again and
// again with new values. Talks to SQLite directly: the business objects run
// the same few statements for every record, and a driver that describes
// every result column on every run costs more than the query itself.
class Statement {
public:
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // The connection closes: the statement lets go of it and fails from
    // now on (one that outlives its connection must not keep it open).
    void detach();

    // False, with SQLite's text in error(), when the text did not prepare.
    bool isValid() const { return m_stmt != nullptr; }
    const QString& error() const { return m_error; }

    // Binds values to the "?" in order and runs up to the first row (or to
    // the end for statements without rows). False with error() set.
    bool exec(const QVariantList& values);
    // Moves to the next row; the first call after exec() lands on the first.
    bool next();
    // Done reading: the statement lets go of its locks until the next exec.
    void finish();

    int columnCount() const;
    QString columnName(int i) const;
    bool isNull(int i) const;
    // The value as SQLite holds it: integer, real, text, blob or null.
    QVariant value(int i) const;
    QString text(int i) const;
    qint64 integer(int i) const;
    // The type a result column's table declares for it; empty for an
    // expression.
    QString declaredType(int i) const;
    // Rows the last run changed (INSERT, UPDATE, DELETE).
    int changes() const;

private:
    bool bind(int index, const QVariant& value);
    bool step();

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    QString m_error;
    bool m_pending = false; // exec() stepped onto a row next() has not handed out
    bool m_row = false;     // the statement stands on a row
};

} // namespace LLObjectsCOM
