#include "di/MRV_SQLBuilder.h"

#include <QDate>
#include <QRegularExpression>

namespace {

constexpr int QuotedDialect = 5;
constexpr int Db2 = 2;
constexpr int Sybase = 3;

// Eight digits of a real date, from "YYYYMMDD" or "YYYY-MM-DD"; empty when
// the value is neither.
QString dateDigits(const QString& value) {
    static const QRegularExpression date(QStringLiteral(R"(^(\d{4})-?(\d{2})-?(\d{2})$)"));
    const QRegularExpressionMatch m = date.match(value);
    if (!m.hasMatch() ||
        !QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()).isValid())
        return QString();
    return m.captured(1) + m.captured(2) + m.captured(3);
}

QString dashed(const QString& digits) {
    return digits.left(4) + u'-' + digits.mid(4, 2) + u'-' + digits.mid(6, 2);
}

} // namespace

bool MRV_SQLBuilder::isNumber(const QString& value) {
    static const QRegularExpression number(
        QStringLiteral(R"(^[+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?$)"));
    return number.match(value).hasMatch();
}

MRV_SQLBuilder::MRV_SQLBuilder(int serverType, const QString& table)
    : m_table(table), m_serverType(serverType) {}

QString MRV_SQLBuilder::tableName(const QString& table, int serverType) {
    if (table.startsWith(u'@') && serverType != Db2 && serverType != QuotedDialect)
        return u'[' + table + u']';
    return table;
}

QString MRV_SQLBuilder::columnName(const QString& column, int serverType) {
    if (serverType != QuotedDialect)
        return column;
    QString name = column;
    name.replace(u'"', QLatin1String("\"\""));
    return u'"' + name + u'"';
}

QString MRV_SQLBuilder::escapeText(const QString& value) {
    QString text = value;
    text.replace(u'\'', QLatin1String("''"));
    return text;
}

QString MRV_SQLBuilder::textLiteral(const QString& value, int serverType) {
    return (serverType == QuotedDialect ? QStringLiteral("'") : QStringLiteral("N'")) +
           escapeText(value) + u'\'';
}

void MRV_SQLBuilder::addSelectColumn(const QString& column) {
    // An expression ("MAX(Code)", "*") is the caller's own text.
    const bool expression = column == u"*" || column.contains(u'(');
    m_selectColumns << (expression ? column : columnName(column, m_serverType));
}

void MRV_SQLBuilder::invalid(const QString& column, const QString& value, const QString& what) {
    if (m_invalid.isEmpty())
        m_invalid = QStringLiteral("%1: '%2' is not %3").arg(column, value.left(60), what);
}

void MRV_SQLBuilder::addCondition(const QString& column, const QString& value, int valueType) {
    if (valueType == TextOtherKind && m_serverType == QuotedDialect)
        return;
    Item item{columnName(column, m_serverType), QString(), Quoted, {}};
    if (valueType == Date && !value.isEmpty()) {
        const QString digits = dateDigits(value);
        item.kind = Literal;
        if (!digits.isEmpty())
            item.bound =
                QDate(digits.left(4).toInt(), digits.mid(4, 2).toInt(), digits.right(2).toInt());
        if (digits.isEmpty()) {
            invalid(column, value, QStringLiteral("a date"));
            item.value = QStringLiteral("NULL");
        } else if (m_serverType == Db2) {
            item.value = QStringLiteral("TIMESTAMP_ISO('%1')").arg(dashed(digits));
        } else if (m_serverType == QuotedDialect) {
            item.value = QStringLiteral("'%1 00:00:00.000000'").arg(dashed(digits));
        } else if (m_serverType == Sybase) {
            item.value = digits;
        } else {
            item.value = QStringLiteral("CONVERT(datetime,'%1',112)").arg(digits);
        }
    } else if (valueType == Number || valueType == Date) {
        item.kind = Literal;
        item.value = value.isEmpty() ? QStringLiteral("NULL") : value;
        if (!value.isEmpty() && !isNumber(value)) {
            invalid(column, value, QStringLiteral("a number"));
            item.value = QStringLiteral("NULL");
        } else if (!value.isEmpty()) {
            // As the literal would be: whole numbers that fit as integers,
            // the others as reals.
            bool whole = false;
            const qint64 n = value.toLongLong(&whole);
            item.bound = whole ? QVariant(n) : QVariant(value.toDouble());
        }
    } else {
        item.value = value; // escaped where it goes into a statement
    }
    m_items << item;
}

QString MRV_SQLBuilder::valueText(const Item& item) const {
    if (item.kind == Literal)
        return item.value;
    return item.value.isEmpty() ? QStringLiteral("NULL") : textLiteral(item.value, m_serverType);
}

QString MRV_SQLBuilder::buildWhere() const {
    return where(nullptr);
}

QVariant MRV_SQLBuilder::boundValue(const Item& item) {
    if (item.kind == Literal)
        return item.bound;
    return item.value.isEmpty() ? QVariant() : QVariant(item.value);
}

QVariant MRV_SQLBuilder::conditionValue(const Item& item) {
    // A condition on empty text compares with the empty text, as its
    // literal '' does; only a NULL literal tests for NULL.
    if (item.kind == Quoted)
        return item.value.isEmpty() ? QVariant(QStringLiteral("")) : QVariant(item.value);
    return item.bound;
}

QString MRV_SQLBuilder::where(QVariantList* parameters) const {
    if (m_items.isEmpty())
        return QString();
    // Items on one column are alternatives (OR), items on different columns
    // all hold (AND). Where a run of alternatives meets other conditions it
    // is bracketed, so that AND does not bind one alternative alone.
    int runs = 0;
    bool alternatives = false;
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (i == 0 || m_items[i - 1].column != m_items[i].column)
            ++runs;
        else
            alternatives = true;
    }
    const bool bracket = alternatives && runs > 1;
    QString where = QStringLiteral(" WHERE ");
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        const Item& item = m_items[i];
        const bool sameAsBefore = i > 0 && m_items[i - 1].column == item.column;
        const bool sameAsNext = i + 1 < m_items.size() && m_items[i + 1].column == item.column;
        if (i > 0)
            where += sameAsBefore ? QStringLiteral(" OR ") : QStringLiteral(" AND ");
        if (bracket && sameAsNext && !sameAsBefore)
            where += u'(';
        where += item.column;
        // Only a NULL literal tests for NULL; the text 'NULL' is a value.
        if (item.kind == Literal && item.value == u"NULL")
            where += QStringLiteral(" IS NULL");
        else if (parameters)
            where += QStringLiteral(" = ?"), *parameters << conditionValue(item);
        else
            where += QStringLiteral(" = ") +
                     (item.kind == Quoted ? textLiteral(item.value, m_serverType) : item.value);
        if (bracket && sameAsBefore && !sameAsNext)
            where += u')';
    }
    return where;
}

QString MRV_SQLBuilder::buildSelect() const {
    return selectFrom() + buildWhere();
}

QString MRV_SQLBuilder::buildBoundSelect(QVariantList& parameters) const {
    parameters.clear();
    return selectFrom() + where(&parameters);
}

QString MRV_SQLBuilder::selectFrom() const {
    const QString columns = m_selectColumns.isEmpty() ? QStringLiteral("*")
                                                      : m_selectColumns.join(QStringLiteral(", "));
    return QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM ") + table();
}

QString MRV_SQLBuilder::buildDelete() const {
    return QStringLiteral("DELETE  FROM ") + table() + buildWhere();
}

QString MRV_SQLBuilder::buildInsert() const {
    QStringList columns, values;
    for (const Item& item : m_items) {
        columns << item.column;
        values << valueText(item);
    }
    return QStringLiteral("INSERT INTO ") + table() + QStringLiteral(" (") +
           columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
           values.join(QStringLiteral(", ")) + u')';
}

QString MRV_SQLBuilder::buildBoundInsert(QVariantList& parameters) const {
    parameters.clear();
    QStringList columns, marks;
    for (const Item& item : m_items) {
        columns << item.column;
        marks << QStringLiteral("?");
        parameters << boundValue(item);
    }
    return QStringLiteral("INSERT INTO ") + table() + QStringLiteral(" (") +
           columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
           marks.join(QStringLiteral(", ")) + u')';
}

QString MRV_SQLBuilder::buildUpdate() const {
    QStringList sets;
    for (const Item& item : m_items)
        sets << item.column + QStringLiteral(" = ") + valueText(item);
    return QStringLiteral("UPDATE ") + table() + QStringLiteral(" SET ") +
           sets.join(QStringLiteral(" , "));
}

// The rewriters work on tokens, so that a literal holding blanks or
// keywords, a bracket or a subquery is never split or quoted by mistake.
namespace {

struct Token {
    enum Kind { Word, Literal, Identifier, Number, Symbol } kind;
    QString text;
};

bool isWordStart(QChar c) {
    return c.isLetter() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

bool isWordPart(QChar c) {
    return isWordStart(c) || c.isDigit() || c == u'.';
}

// The end of a literal or quoted name that opens at from with quote; a
// doubled quote stands inside.
qsizetype closing(QStringView s, qsizetype from, QChar quote) {
    qsizetype i = from + 1;
    while (i < s.size()) {
        if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return s.size();
}

bool signStartsNumber(const QList<Token>& tokens) {
    if (tokens.isEmpty())
        return true;
    const Token& last = tokens.last();
    return last.kind == Token::Symbol && last.text != u")";
}

QList<Token> tokenize(QStringView s) {
    QList<Token> tokens;
    qsizetype i = 0;
    while (i < s.size()) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        Token::Kind kind = Token::Symbol;
        if ((c == u'N' || c == u'n') && i + 1 < s.size() && s[i + 1] == u'\'') {
            end = closing(s, i + 1, u'\'');
            kind = Token::Literal;
        } else if (c == u'\'') {
            end = closing(s, i, u'\'');
            kind = Token::Literal;
        } else if (c == u'"') {
            end = closing(s, i, u'"');
            kind = Token::Identifier;
        } else if (c == u'[') {
            end = s.indexOf(u']', i);
            end = end < 0 ? s.size() : end + 1;
            kind = Token::Identifier;
        } else if (c.isDigit() || (c == u'-' && i + 1 < s.size() && s[i + 1].isDigit() &&
                                   signStartsNumber(tokens))) {
            while (end < s.size() && (s[end].isLetterOrNumber() || s[end] == u'.'))
                ++end;
            kind = Token::Number;
        } else if (c == u'%' && i + 1 < s.size() && s[i + 1].isLetter()) {
            // A placeholder of a format ("%s", "%d") stays one token.
            while (end < s.size() && s[end].isLetter())
                ++end;
        } else if (isWordStart(c)) {
            while (end < s.size() && isWordPart(s[end]))
                ++end;
            kind = Token::Word;
        } else if (QStringLiteral("<>=!").contains(c)) {
            while (end < s.size() && QStringLiteral("<>=!").contains(s[end]))
                ++end;
        }
        tokens << Token{kind, s.mid(i, end - i).toString()};
        i = end;
    }
    return tokens;
}

bool isKeyword(const QString& word) {
    static const QSet<QString> keywords{
        QStringLiteral("SELECT"), QStringLiteral("FROM"),     QStringLiteral("WHERE"),
        QStringLiteral("AND"),    QStringLiteral("OR"),       QStringLiteral("NOT"),
        QStringLiteral("LIKE"),   QStringLiteral("IS"),       QStringLiteral("NULL"),
        QStringLiteral("IN"),     QStringLiteral("EXISTS"),   QStringLiteral("BETWEEN"),
        QStringLiteral("ORDER"),  QStringLiteral("BY"),       QStringLiteral("ASC"),
        QStringLiteral("DESC"),   QStringLiteral("GROUP"),    QStringLiteral("HAVING"),
        QStringLiteral("AS"),     QStringLiteral("ON"),       QStringLiteral("JOIN"),
        QStringLiteral("LEFT"),   QStringLiteral("RIGHT"),    QStringLiteral("INNER"),
        QStringLiteral("OUTER"),  QStringLiteral("UNION"),    QStringLiteral("ALL"),
        QStringLiteral("ANY"),    QStringLiteral("DISTINCT"), QStringLiteral("TOP"),
        QStringLiteral("CASE"),   QStringLiteral("WHEN"),     QStringLiteral("THEN"),
        QStringLiteral("ELSE"),   QStringLiteral("END"),      QStringLiteral("ESCAPE")};
    return keywords.contains(word.toUpper());
}

QString quotedName(const QString& word) {
    QStringList parts = word.split(u'.');
    for (QString& part : parts)
        part = u'"' + part + u'"';
    return parts.join(u'.');
}

// A token as the quoted dialect writes it; identifiers only when quote is
// set (parts such as FROM are left as they stand).
QString rewritten(const QList<Token>& tokens, qsizetype i, bool quote) {
    const Token& t = tokens[i];
    switch (t.kind) {
    case Token::Literal:
        return t.text.startsWith(u'\'') ? t.text : t.text.mid(1);
    case Token::Identifier:
        return t.text.startsWith(u'[') ? u'"' + t.text.mid(1, t.text.size() - 2) + u'"' : t.text;
    case Token::Word: {
        const bool function = i + 1 < tokens.size() && tokens[i + 1].text == u"(";
        return quote && !function && !isKeyword(t.text) ? quotedName(t.text) : t.text;
    }
    default:
        return t.text;
    }
}

// Tokens joined with blanks, but none inside brackets, before a comma or
// between a function's name and its bracket.
QString joined(const QList<Token>& tokens, const QStringList& parts) {
    QString text;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const bool call = parts[i] == u"(" && i > 0 && tokens[i - 1].kind == Token::Word &&
                          !isKeyword(tokens[i - 1].text);
        const bool tight =
            i == 0 || call || parts[i] == u")" || parts[i] == u"," || parts[i - 1] == u"(";
        if (!tight)
            text += u' ';
        text += parts[i];
    }
    return text;
}

// The position of the top-level word (outside brackets) from start on, or
// -1; "ORDER" counts only when "BY" follows.
qsizetype topLevel(const QList<Token>& tokens, const QString& word, qsizetype start = 0) {
    int depth = 0;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.text == u"(")
            ++depth;
        else if (t.text == u")")
            --depth;
        else if (i >= start && depth == 0 && t.kind == Token::Word &&
                 t.text.compare(word, Qt::CaseInsensitive) == 0 &&
                 (word != u"ORDER" ||
                  (i + 1 < tokens.size() &&
                   tokens[i + 1].text.compare(QLatin1String("BY"), Qt::CaseInsensitive) == 0)))
            return i;
    }
    return -1;
}

} // namespace

QString MRV_SQLBuilder::quoteWhere(const QString& statement) {
    const QList<Token> tokens = tokenize(statement);
    // A bare condition (no WHERE) is rewritten whole.
    const qsizetype where = topLevel(tokens, QStringLiteral("WHERE"));
    const qsizetype order = topLevel(tokens, QStringLiteral("ORDER"), where < 0 ? 0 : where);
    QStringList parts;
    for (qsizetype i = 0; i < tokens.size(); ++i)
        parts << rewritten(tokens, i, i > where && (order < 0 || i < order));
    return joined(tokens, parts);
}

QString MRV_SQLBuilder::quoteSelect(const QString& statement) {
    const QList<Token> tokens = tokenize(statement);
    const qsizetype select = topLevel(tokens, QStringLiteral("SELECT"));
    const qsizetype from = topLevel(tokens, QStringLiteral("FROM"));
    const qsizetype where = topLevel(tokens, QStringLiteral("WHERE"));
    const qsizetype order = topLevel(tokens, QStringLiteral("ORDER"));
    const qsizetype fromEnd = where >= 0 ? where : order >= 0 ? order : tokens.size();
    QStringList parts;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const bool columns = select >= 0 && i > select && (from < 0 || i < from);
        const bool tablePart = from >= 0 && i > from && i < fromEnd;
        const bool conditions = where >= 0 && i > where && (order < 0 || i < order);
        const bool ordering = order >= 0 && i > order + 1;
        parts << rewritten(tokens, i, (columns || conditions || ordering) && !tablePart);
    }
    return joined(tokens, parts);
}
