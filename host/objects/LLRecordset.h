#pragma once

#include "host/objects/LLHostObject.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class QSqlQuery;

namespace LLObjectsCOM {

struct CompanyState;

// Object type 300 of the host: runs one SQL statement of the program's
// dialects on the company and walks its rows forward. Values are QVariants
// of the stored type (integer, floating point, text; null for NULL).
class Recordset : public HostObject {
public:
    static constexpr int TypeNumber = 300;

    explicit Recordset(std::shared_ptr<CompanyState> company);
    // A recordset over rows that did not come from SQL (the company list).
    Recordset(std::shared_ptr<CompanyState> company, QStringList names, QList<QVariantList> rows);

    // Runs statement; throws ComError (and sets the company's last error)
    // when it cannot be translated or the database refuses it.
    void DoQuery(const QString& statement);
    // Runs statement with parameters bound to its "?" in order. The
    // statement is translated and prepared once per text and kept, so a
    // program writing many rows the same way pays for neither per row; a
    // value never becomes part of the SQL. Values: null for NULL, integers,
    // floating point, text, QDate or QDateTime for a date.
    void DoQuery(const QString& statement, const QVariantList& parameters);

    bool EoF() const { return m_row >= m_rows.size(); }
    void MoveFirst() { m_row = 0; }
    void MoveNext();
    int RecordCount() const { return int(m_rows.size()); }
    int FieldCount() const { return int(m_names.size()); }
    // Throws ComError for an index or name that is not a field, and for a
    // value read at end of data.
    QString FieldName(int index) const;
    QVariant Field(int index) const;
    QVariant Field(const QString& name) const;
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int RowsAffected() const { return m_rowsAffected; }

    // The declaration, then one <row> per record with one element per
    // column (element name = column name, text = value; dates as YYYYMMDD).
    QString GetAsXML() const;

    // How a value is written as text: integers as digits, dates as stored,
    // floating point without exponent and without trailing zeros.
    static QString valueText(const QVariant& value);

    int ObjectType() const override { return TypeNumber; }
    int GetIDOfName(const QString& name) const override;
    QVariant Invoke(int member, const QVariantList& args) override;
    using HostObject::Invoke;
    static QString dateText(const QVariant& value);

private:
    // Forgets the last result; throws when there is no company to ask.
    void reset();
    // Runs the server's statements that are no SQL for SQLite: "BACKUP
    // DATABASE db TO DISK = N'file'" (the company itself, into the server's
    // backup folder), "RESTORE DATABASE new FROM DISK = N'file'" (a new
    // company from such a backup) and "DROP DATABASE other"; false for any
    // other statement.
    bool runServerCommand(const QString& statement);
    int fieldIndex(const QString& name) const;
    // Which result columns are date columns of a table (by declared type).
    static QList<bool> dateColumns(const QSqlQuery& query, int count);

    std::shared_ptr<CompanyState> m_company;
    QStringList m_names;
    QList<bool> m_isDate;
    QList<QVariantList> m_rows;
    qsizetype m_row = 0;
    int m_rowsAffected = 0;
};

} // namespace LLObjectsCOM
