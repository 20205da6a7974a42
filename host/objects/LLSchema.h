#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace LLObjectsCOM {

// The tables of a company database, read from the "*.tables" data files
// (format in host/schema/README.md) and validated while they are read.
class Schema {
public:
    // The collation of text columns on case-insensitive servers: every
    // connection registers it (SQLite's own NOCASE folds ASCII only).
    static constexpr const char* CaseInsensitiveCollation = "LLCI";

    struct Column {
        QString name;
        QString type;   // nvarchar, varchar, char, ntext, int, smallint, numeric, datetime, image
        int length = 0; // characters, for the three text types with a length
        int precision = 0;
        int scale = 0;
        bool notNull = false;
        QString defaultValue; // as written: a number, 'text' or NULL; empty for none
        int line = 0;

        bool isText() const;
        bool isInteger() const { return type == u"int" || type == u"smallint"; }
    };
    struct Table {
        QString name;
        QString description;
        QList<Column> columns;
        QStringList key;
        QList<QStringList> uniques;
        QString file;
        int line = 0;

        const Column* column(const QString& name) const;

        QHash<QString, qsizetype> columnIndex; // name -> position in columns
    };

    // Reads every "*.tables" file of folder in name order. Nothing, with a
    // "file:line: what" error, on the first fault.
    static std::optional<Schema> load(const QString& folder, QString* error = nullptr);
    // The schema compiled into the host, read once.
    static const Schema& standard();

    // Adds the tables of one file's text; false with "file:line: what".
    bool addText(const QString& text, const QString& file, QString* error = nullptr);

    const QList<Table>& tables() const { return m_tables; }
    // The table named name (exact), or null.
    const Table* table(const QString& name) const;

    // CREATE TABLE statements for SQLite. On a case-insensitive server text
    // columns compare without regard to case.
    QStringList createStatements(bool caseInsensitive) const;
    static QString createStatement(const Table& table, bool caseInsensitive);

    // An identifier in double quotes, inner quotes doubled: safe in SQL
    // whatever the name holds.
    static QString quoted(const QString& identifier);

private:
    QList<Table> m_tables;
    QHash<QString, qsizetype> m_index; // table name -> position in m_tables
};

} // namespace LLObjectsCOM
