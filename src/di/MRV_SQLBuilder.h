#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// Builds SELECT, DELETE, INSERT and UPDATE texts from a table, a column
// list and column/value items, written for the database server type the
// host reports for a company: the quoted dialect (server type 5) puts
// identifiers in double quotes and text in plain '' literals, the others
// write plain identifiers and N'' literals; user tables ("@NAME") stand in
// brackets except on server types 2 and 5.
//
// Every value goes into the text escaped: quotes in text are doubled, and a
// value given as a number or a date must be one. A value that is not what
// its type says makes the builder invalid (isValid()), and its statements
// must not be run: a number is written without quotes, so anything else in
// its place would be SQL of the value's own.
class MRV_SQLBuilder {
public:
    // The type of a value as addCondition takes it, from its column's type.
    enum ValueType { Text = 0, TextOtherKind = 1, Number = 2, Date = 3 };
    // How a value stands in the statement.
    enum ValueKind { Quoted = 0, Literal = 2 };

    explicit MRV_SQLBuilder(int serverType, const QString& table = QString());

    void setTable(const QString& table) { m_table = table; }
    void addSelectColumn(const QString& column);
    // Formats value for the server type and appends an item. Type 1 is
    // dropped on server type 5; a date is eight digits (year, month, day;
    // dashes between them are taken too); an empty number or date is NULL.
    void addCondition(const QString& column, const QString& value, int valueType);

    int itemCount() const { return int(m_items.size()); }
    bool isValid() const { return m_invalid.isEmpty(); }
    // Why the builder is invalid: the column and the value that did not fit.
    const QString& invalidReason() const { return m_invalid; }

    // " WHERE " and the items (OR between items on one column, AND between
    // items on different ones); empty without items.
    QString buildWhere() const;
    QString buildSelect() const;
    // The same SELECT with a "?" for each value, the values in parameters
    // in order (see buildBoundInsert): one statement text per table and
    // columns, which the host prepares once.
    QString buildBoundSelect(QVariantList& parameters) const;
    QString buildDelete() const;
    QString buildInsert() const;
    // The same INSERT with a "?" for each value, and the values in order
    // (null for NULL, numbers as numbers, dates as QDate): one text per
    // table and columns, which the host prepares once.
    QString buildBoundInsert(QVariantList& parameters) const;
    // "UPDATE t SET c = v , ..."; the caller appends the WHERE text of a
    // second builder holding the key conditions.
    QString buildUpdate() const;

    int serverType() const { return m_serverType; }

    // A table as the server type writes it ("[@MRVSETT]" or "@MRVSETT").
    static QString tableName(const QString& table, int serverType);
    // A column as the server type writes it.
    static QString columnName(const QString& column, int serverType);
    // value is a number as a condition or value of a number column takes it.
    static bool isNumber(const QString& value);
    // value with every "'" doubled.
    static QString escapeText(const QString& value);
    // value as a text literal of the server type, escaped.
    static QString textLiteral(const QString& value, int serverType);

    // The quoted-dialect forms of a fixed statement: identifiers of the
    // WHERE part (quoteWhere), or of the column list, the WHERE part and
    // the ORDER BY list (quoteSelect), go into double quotes; keywords,
    // literals, numbers, operators and function names stay, and N''
    // literals lose their N.
    static QString quoteWhere(const QString& statement);
    static QString quoteSelect(const QString& statement);

private:
    struct Item {
        QString column;
        QString value; // text as given (Quoted), or the literal
        int kind = Quoted;
        QVariant bound; // a literal's value as a parameter: null for NULL
    };

    QString table() const { return tableName(m_table, m_serverType); }
    QString selectFrom() const;
    // The WHERE clause; with parameters, a "?" for each value, the values
    // appended to it.
    QString where(QVariantList* parameters) const;
    // A value as a bound insert takes it (empty text is NULL), and as a
    // bound condition compares with it.
    static QVariant boundValue(const Item& item);
    static QVariant conditionValue(const Item& item);
    // A value as it stands in an INSERT or UPDATE (empty text is NULL).
    QString valueText(const Item& item) const;
    void invalid(const QString& column, const QString& value, const QString& what);

    QString m_table;
    QList<Item> m_items;
    QStringList m_selectColumns;
    int m_serverType;
    QString m_invalid;
};
