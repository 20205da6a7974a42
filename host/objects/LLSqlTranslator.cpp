#include "host/objects/LLSqlTranslator.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace LLObjectsCOM {

namespace {

enum class Kind {
    Space,     // whitespace; comments become a single blank
    Word,      // keyword or bare identifier
    Number,    // numeric literal
    String,    // '…'
    NString,   // N'…'
    QuotedId,  // "…"
    BracketId, // […]
    Variable,  // @NAME
    Punct,     // operator or punctuation
    Group      // a parenthesized part; its tokens are in `inner`
};

struct Node {
    Kind kind = Kind::Space;
    QString text;
    qsizetype pos = 0; // 0-based position in the statement
    std::vector<Node> inner;
};

using Seq = std::vector<Node>;

QString where(qsizetype pos) {
    return QStringLiteral(" at position %1").arg(pos + 1);
}

bool isWordStart(QChar c) {
    return c.isLetter() || c == u'_' || c == u'#';
}

// MSSQL allows @, $ and # after the first character of a name.
bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#' || c == u'@';
}

QString quoteIdentifier(const QString& name) {
    QString copy = name;
    return QLatin1Char('"') + copy.replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

QString quoteLiteral(const QString& value) {
    QString copy = value;
    return QLatin1Char('\'') + copy.replace(QLatin1Char('\''), QLatin1String("''")) +
           QLatin1Char('\'');
}

// ---------------------------------------------------------------- lexing

class Lexer {
public:
    Lexer(const QString& text, bool parameters) : m_s(text), m_parameters(parameters) {}

    bool run(Seq& tokens, QString& error) {
        const qsizetype n = m_s.size();
        qsizetype i = 0;
        while (i < n) {
            const QChar c = m_s[i];
            const QChar next = i + 1 < n ? m_s[i + 1] : QChar();
            qsizetype end = i + 1;
            Kind kind = Kind::Punct;
            if (c.isSpace()) {
                while (end < n && m_s[end].isSpace())
                    ++end;
                kind = Kind::Space;
            } else if (c == u'-' && next == u'-') {
                while (end < n && m_s[end] != u'\n')
                    ++end;
                tokens.push_back({Kind::Space, QStringLiteral(" "), i, {}});
                i = end;
                continue;
            } else if (c == u'/' && next == u'*') {
                end = m_s.indexOf(QLatin1String("*/"), i + 2);
                if (end < 0) {
                    error = QStringLiteral("unterminated comment starting") + where(i);
                    return false;
                }
                tokens.push_back({Kind::Space, QStringLiteral(" "), i, {}});
                i = end + 2;
                continue;
            } else if (c == u'\'') {
                kind = Kind::String;
                if (!closeQuoted(i, u'\'', end)) {
                    error = QStringLiteral("unterminated string literal starting") + where(i);
                    return false;
                }
            } else if ((c == u'N' || c == u'n') && next == u'\'') {
                kind = Kind::NString;
                if (!closeQuoted(i + 1, u'\'', end)) {
                    error = QStringLiteral("unterminated string literal starting") + where(i);
                    return false;
                }
            } else if (c == u'"') {
                kind = Kind::QuotedId;
                if (!closeQuoted(i, u'"', end)) {
                    error = QStringLiteral("unterminated quoted identifier starting") + where(i);
                    return false;
                }
            } else if (c == u'[') {
                kind = Kind::BracketId;
                if (!closeQuoted(i, u']', end)) {
                    error = QStringLiteral("unterminated bracketed identifier starting") + where(i);
                    return false;
                }
            } else if (c == u'@') {
                kind = Kind::Variable;
                while (end < n && isWordChar(m_s[end]))
                    ++end;
                if (end == i + 1) {
                    error = QStringLiteral("'@' without a name") + where(i);
                    return false;
                }
            } else if (c.isDigit() || (c == u'.' && next.isDigit())) {
                kind = Kind::Number;
                end = number(i);
            } else if (isWordStart(c)) {
                kind = Kind::Word;
                while (end < n && isWordChar(m_s[end]))
                    ++end;
            } else if (!punct(i, end)) {
                error = QStringLiteral("unexpected character '%1'").arg(c) + where(i);
                return false;
            }
            tokens.push_back({kind, m_s.mid(i, end - i), i, {}});
            i = end;
        }
        return true;
    }

private:
    // From the opening character at `open`, finds the end of a quoted token;
    // the closing character doubled stands for itself.
    bool closeQuoted(qsizetype open, QChar close, qsizetype& end) const {
        qsizetype j = open + 1;
        while (j < m_s.size()) {
            if (m_s[j] == close) {
                if (j + 1 < m_s.size() && m_s[j + 1] == close) {
                    j += 2;
                    continue;
                }
                end = j + 1;
                return true;
            }
            ++j;
        }
        return false;
    }

    qsizetype number(qsizetype i) const {
        const qsizetype n = m_s.size();
        auto isHex = [](QChar c) {
            return c.isDigit() || QStringLiteral("abcdefABCDEF").contains(c);
        };
        if (m_s[i] == u'0' && i + 2 < n && (m_s[i + 1] == u'x' || m_s[i + 1] == u'X') &&
            isHex(m_s[i + 2])) {
            qsizetype j = i + 2;
            while (j < n && isHex(m_s[j]))
                ++j;
            return j;
        }
        qsizetype j = i;
        while (j < n && m_s[j].isDigit())
            ++j;
        if (j < n && m_s[j] == u'.') {
            ++j;
            while (j < n && m_s[j].isDigit())
                ++j;
        }
        if (j < n && (m_s[j] == u'e' || m_s[j] == u'E')) {
            qsizetype k = j + 1;
            if (k < n && (m_s[k] == u'+' || m_s[k] == u'-'))
                ++k;
            if (k < n && m_s[k].isDigit()) {
                while (k < n && m_s[k].isDigit())
                    ++k;
                j = k;
            }
        }
        return j;
    }

    bool punct(qsizetype i, qsizetype& end) const {
        static const QStringList pairs = {
            QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("<>"), QStringLiteral("!="),
            QStringLiteral("!<"), QStringLiteral("!>"), QStringLiteral("||"), QStringLiteral("=="),
            QStringLiteral("<<"), QStringLiteral(">>")};
        const QStringView two = QStringView(m_s).mid(i, 2);
        for (const QString& p : pairs) {
            if (two == p) {
                end = i + 2;
                return true;
            }
        }
        if (QStringLiteral("(),.;+-*/%=<>&|^~").contains(m_s[i]) ||
            (m_parameters && m_s[i] == u'?')) {
            end = i + 1;
            return true;
        }
        return false;
    }

    const QString& m_s;
    bool m_parameters;
};

// Nests the tokens by parentheses and cuts off a trailing ';'.
bool buildTree(const Seq& tokens, Seq& root, QString& error) {
    std::vector<Node> open; // groups not yet closed, innermost last
    auto current = [&]() -> Seq& { return open.empty() ? root : open.back().inner; };
    for (std::size_t t = 0; t < tokens.size(); ++t) {
        const Node& tok = tokens[t];
        if (tok.kind == Kind::Punct && tok.text == u"(") {
            open.push_back({Kind::Group, QString(), tok.pos, {}});
        } else if (tok.kind == Kind::Punct && tok.text == u")") {
            if (open.empty()) {
                error = QStringLiteral("unbalanced ')'") + where(tok.pos);
                return false;
            }
            Node group = std::move(open.back());
            open.pop_back();
            current().push_back(std::move(group));
        } else if (tok.kind == Kind::Punct && tok.text == u";") {
            if (!open.empty()) {
                error = QStringLiteral("';' inside parentheses") + where(tok.pos);
                return false;
            }
            for (std::size_t rest = t + 1; rest < tokens.size(); ++rest) {
                if (tokens[rest].kind != Kind::Space) {
                    error = QStringLiteral("more than one statement: text after ';'") +
                            where(tokens[rest].pos);
                    return false;
                }
            }
            break;
        } else {
            current().push_back(tok);
        }
    }
    if (!open.empty()) {
        error = QStringLiteral("unclosed '('") + where(open.back().pos);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- helpers

qsizetype nextSig(const Seq& s, qsizetype i) {
    qsizetype j = i + 1;
    while (j < qsizetype(s.size()) && s[j].kind == Kind::Space)
        ++j;
    return j;
}

qsizetype prevSig(const Seq& s, qsizetype i) {
    qsizetype j = i - 1;
    while (j >= 0 && s[j].kind == Kind::Space)
        --j;
    return j;
}

bool isWord(const Node& n, const char* upper) {
    return n.kind == Kind::Word && n.text.compare(QLatin1String(upper), Qt::CaseInsensitive) == 0;
}

bool isWordIn(const Seq& s, qsizetype i, const char* upper) {
    return i >= 0 && i < qsizetype(s.size()) && isWord(s[i], upper);
}

bool isPunct(const Node& n, const char* text) {
    return n.kind == Kind::Punct && n.text == QLatin1String(text);
}

bool isIdentifier(const Node& n) {
    return n.kind == Kind::Word || n.kind == Kind::QuotedId || n.kind == Kind::BracketId;
}

// The name an identifier token stands for, without quoting.
QString identifierName(const Node& n) {
    if (n.kind == Kind::Word)
        return n.text;
    const QChar close = n.kind == Kind::BracketId ? u']' : u'"';
    QString name = n.text.mid(1, n.text.size() - 2);
    return name.replace(QString(2, close), QString(close));
}

QString literalContent(const Node& n) {
    const qsizetype open = n.kind == Kind::NString ? 1 : 0;
    return n.text.mid(open + 1, n.text.size() - open - 2)
        .replace(QLatin1String("''"), QLatin1String("'"));
}

Seq trimmed(Seq s) {
    while (!s.empty() && s.back().kind == Kind::Space)
        s.pop_back();
    qsizetype first = 0;
    while (first < qsizetype(s.size()) && s[first].kind == Kind::Space)
        ++first;
    s.erase(s.begin(), s.begin() + first);
    return s;
}

std::vector<Seq> splitArguments(const Node& group) {
    std::vector<Seq> args;
    Seq current;
    bool any = false;
    for (const Node& n : group.inner) {
        if (isPunct(n, ",")) {
            args.push_back(trimmed(std::move(current)));
            current.clear();
            any = true;
        } else {
            current.push_back(n);
            any = any || n.kind != Kind::Space;
        }
    }
    if (any)
        args.push_back(trimmed(std::move(current)));
    return args;
}

std::optional<QString> singleLiteral(const Seq& arg) {
    if (arg.size() == 1 && (arg[0].kind == Kind::String || arg[0].kind == Kind::NString))
        return literalContent(arg[0]);
    return std::nullopt;
}

// SQLite would read a word glued to a quote or another word as one token
// (x'..' is a blob, 'a''b' one string), so such neighbours get a blank.
bool binds(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'"' || c == u'\'';
}

void append(QString& out, const QString& piece) {
    if (piece.isEmpty())
        return;
    if (!out.isEmpty() && binds(out.back()) && binds(piece.front()))
        out += QLatin1Char(' ');
    out += piece;
}

const QString kStorageFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// A date or timestamp text as the MSSQL family and DB2 accept it: yyyymmdd or
// yyyy-mm-dd, optionally followed by a time (blank, 'T' or DB2's '-'
// before it; ':' or DB2's '.' between its parts; fractions dropped).
std::optional<QDateTime> parseDateText(const QString& text) {
    static const QRegularExpression shape(
        QStringLiteral("^(\\d{4})(-?)(\\d{2})\\2(\\d{2})"
                       "(?:[ T-](\\d{2})[:.](\\d{2})(?:[:.](\\d{2})(?:\\.\\d{1,9})?)?)?$"));
    const QRegularExpressionMatch m = shape.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
    const QTime time(m.captured(5).toInt(), m.captured(6).toInt(), m.captured(7).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    // UTC keeps date arithmetic free of daylight-saving jumps, as on the server.
    return QDateTime(date, time, Qt::UTC);
}

std::optional<QDateTime> parseCompactDate(const QString& text) {
    static const QRegularExpression shape(QStringLiteral("^\\d{8}$"));
    if (!shape.match(text).hasMatch())
        return std::nullopt;
    const QDate date = QDate::fromString(text, QStringLiteral("yyyyMMdd"));
    if (!date.isValid())
        return std::nullopt;
    return QDateTime(date, QTime(0, 0), Qt::UTC);
}

enum class DateType { None, DateTime, Date };

DateType dateType(const QString& name) {
    const QString up = name.toUpper();
    if (up == u"DATETIME" || up == u"SMALLDATETIME" || up == u"DATETIME2" || up == u"TIMESTAMP")
        return DateType::DateTime;
    if (up == u"DATE")
        return DateType::Date;
    return DateType::None;
}

struct DateUnit {
    const char* sqlite; // SQLite modifier unit
    int factor;         // how many of those one unit is
    bool monthly;       // month arithmetic, clamped to the month's end
};

std::optional<DateUnit> dateUnit(const QString& name) {
    const QString up = name.toUpper();
    auto in = [&](std::initializer_list<const char*> names) {
        for (const char* n : names)
            if (up == QLatin1String(n))
                return true;
        return false;
    };
    if (in({"YEAR", "YY", "YYYY"}))
        return DateUnit{"years", 1, true};
    if (in({"QUARTER", "QQ", "Q"}))
        return DateUnit{"months", 3, true};
    if (in({"MONTH", "MM", "M"}))
        return DateUnit{"months", 1, true};
    if (in({"DAY", "DD", "D", "DAYOFYEAR", "DY", "Y", "WEEKDAY", "DW", "W"}))
        return DateUnit{"days", 1, false};
    if (in({"WEEK", "WK", "WW"}))
        return DateUnit{"days", 7, false};
    if (in({"HOUR", "HH"}))
        return DateUnit{"hours", 1, false};
    if (in({"MINUTE", "MI", "N"}))
        return DateUnit{"minutes", 1, false};
    if (in({"SECOND", "SS", "S"}))
        return DateUnit{"seconds", 1, false};
    return std::nullopt;
}

// ---------------------------------------------------------------- translation

class Translation {
public:
    Translation(int serverType, const std::function<QDateTime()>& clock)
        : m_serverType(serverType), m_clock(clock) {}

    bool sequence(const Seq& s, QString& out);
    QString error;

private:
    bool node(const Seq& s, qsizetype i, QString& piece, qsizetype& last);
    bool word(const Seq& s, qsizetype i, QString& piece, qsizetype& last);
    bool qualifiedName(const Seq& s, qsizetype i, QString& piece, qsizetype& last, bool& done);
    bool planTop(const Seq& s, std::vector<bool>& skip, QString& limit);
    bool fetchFirst(const Seq& s, qsizetype i, QString& piece, qsizetype& last);
    bool function(const QString& name, const Node& group, QString& piece, bool& done);
    bool convert(const Node& group, QString& piece);
    bool cast(const Node& group, QString& piece, bool& done);
    bool timestampIso(const Node& group, QString& piece);
    bool dateAdd(const Node& group, QString& piece);
    bool dateOperand(const Seq& arg, qsizetype pos, QString& expr,
                     std::optional<QDateTime>& literal);
    bool expression(const Seq& s, QString& out) { return sequence(s, out); }
    bool fail(const QString& what, qsizetype pos) {
        error = what + where(pos);
        return false;
    }
    bool now(qsizetype pos, QString& piece);
    QString literalText(const Node& n) const;

    int m_serverType;
    const std::function<QDateTime()>& m_clock;
    QString m_now;
};

bool Translation::sequence(const Seq& s, QString& out) {
    std::vector<bool> skip(s.size(), false);
    QString limit;
    if (!planTop(s, skip, limit))
        return false;
    QString text;
    for (qsizetype i = 0; i < qsizetype(s.size()); ++i) {
        if (skip[i])
            continue;
        QString piece;
        qsizetype last = i;
        if (!node(s, i, piece, last))
            return false;
        append(text, piece);
        i = last;
    }
    if (!limit.isEmpty()) {
        // LIMIT closes the SELECT, before any blank that ended the sequence.
        qsizetype body = text.size();
        while (body > 0 && text[body - 1].isSpace())
            --body;
        text.insert(body, QStringLiteral(" LIMIT ") + limit);
    }
    append(out, text);
    return true;
}

QString Translation::literalText(const Node& n) const {
    // The quoted dialect writes timestamps with fractions; the company files
    // store whole seconds.
    static const QRegularExpression fractional(
        QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\\.(\\d{3}|\\d{6})$"));
    const QString body = n.kind == Kind::NString ? n.text.mid(1) : n.text;
    if (m_serverType == 5) {
        const QString content = body.mid(1, body.size() - 2);
        if (fractional.match(content).hasMatch())
            return quoteLiteral(content.left(19));
    }
    return body;
}

bool Translation::node(const Seq& s, qsizetype i, QString& piece, qsizetype& last) {
    const Node& n = s[i];
    last = i;
    switch (n.kind) {
    case Kind::Space: {
        piece = n.text;
        for (QChar& c : piece)
            if (c.unicode() > 0x7f)
                c = u' ';
        return true;
    }
    case Kind::Number:
        piece = n.text;
        return true;
    case Kind::String:
    case Kind::NString:
        piece = literalText(n);
        return true;
    case Kind::Variable:
        if (n.text.startsWith(QLatin1String("@@")))
            return fail(QStringLiteral("server variable %1 is not supported").arg(n.text), n.pos);
        // Bare @NAME is a user table; in SQLite it would be a parameter.
        piece = quoteIdentifier(n.text);
        return true;
    case Kind::Punct:
        if (n.text == u"!<")
            piece = QStringLiteral(">=");
        else if (n.text == u"!>")
            piece = QStringLiteral("<=");
        else
            piece = n.text;
        return true;
    case Kind::Group: {
        QString inner;
        if (!sequence(n.inner, inner))
            return false;
        piece = QLatin1Char('(') + inner + QLatin1Char(')');
        return true;
    }
    case Kind::Word:
    case Kind::QuotedId:
    case Kind::BracketId: {
        const qsizetype before = prevSig(s, i);
        if (before < 0 || !isPunct(s[before], ".")) {
            bool done = false;
            if (!qualifiedName(s, i, piece, last, done))
                return false;
            if (done)
                return true;
        }
        if (n.kind == Kind::Word)
            return word(s, i, piece, last);
        piece = n.kind == Kind::QuotedId ? n.text : quoteIdentifier(identifierName(n));
        return true;
    }
    }
    return true;
}

// msdb.dbo.x and msdb..x name the attached msdb schema; dbo.x is the
// company's own table.
bool Translation::qualifiedName(const Seq& s, qsizetype i, QString& piece, qsizetype& last,
                                bool& done) {
    std::vector<qsizetype> parts{i}; // -1 for an empty part (x..y)
    qsizetype at = i;
    while (true) {
        const qsizetype dot = nextSig(s, at);
        if (dot >= qsizetype(s.size()) || !isPunct(s[dot], "."))
            break;
        const qsizetype k = nextSig(s, dot);
        if (k < qsizetype(s.size()) && isIdentifier(s[k])) {
            parts.push_back(k);
            at = k;
        } else if (k < qsizetype(s.size()) && isPunct(s[k], ".")) {
            parts.push_back(-1);
            at = dot;
        } else {
            break;
        }
    }
    if (parts.size() < 2)
        return true;
    auto nameIs = [&](qsizetype p, const char* name) {
        return p >= 0 &&
               identifierName(s[p]).compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    auto emitName = [&](qsizetype p, QString& out) {
        qsizetype unused = p;
        if (s[p].kind == Kind::Word)
            return word(s, p, out, unused);
        out = s[p].kind == Kind::QuotedId ? s[p].text : quoteIdentifier(identifierName(s[p]));
        return true;
    };
    if (parts.size() >= 3 && parts[2] >= 0 && (parts[1] < 0 || nameIs(parts[1], "DBO"))) {
        if (!nameIs(parts[0], "MSDB"))
            return fail(QStringLiteral("names in database '%1' are not supported")
                            .arg(identifierName(s[i])),
                        s[i].pos);
        QString table;
        if (!emitName(parts[2], table))
            return false;
        piece = QStringLiteral("msdb.") + table;
        last = parts[2];
        done = true;
        return true;
    }
    if (parts[1] >= 0 && nameIs(parts[0], "DBO")) {
        if (!emitName(parts[1], piece))
            return false;
        last = parts[1];
        done = true;
    }
    return true;
}

bool Translation::now(qsizetype pos, QString& piece) {
    if (m_now.isEmpty()) {
        const QDateTime time = m_clock ? m_clock() : QDateTime::currentDateTime();
        if (!time.isValid())
            return fail(QStringLiteral("the clock gave no valid time for the current time"), pos);
        m_now = quoteLiteral(time.toString(kStorageFormat));
    }
    piece = m_now;
    return true;
}

bool Translation::word(const Seq& s, qsizetype i, QString& piece, qsizetype& last) {
    const Node& n = s[i];
    const qsizetype before = prevSig(s, i);
    const bool member = before >= 0 && isPunct(s[before], ".");
    const qsizetype after = nextSig(s, i);
    const bool hasAfter = after < qsizetype(s.size());
    if (!member) {
        if (hasAfter && s[after].kind == Kind::Group) {
            bool done = false;
            if (!function(n.text.toUpper(), s[after], piece, done))
                return false;
            if (done) {
                last = after;
                return true;
            }
            if (isWord(n, "TOP"))
                return fail(QStringLiteral("TOP is only supported right after SELECT"), n.pos);
        }
        if (isWord(n, "CURRENT_TIMESTAMP"))
            return now(n.pos, piece);
        if (isWord(n, "CURRENT") && isWordIn(s, after, "TIMESTAMP")) {
            last = after;
            return now(n.pos, piece);
        }
        if (isWord(n, "TOP") && hasAfter && s[after].kind == Kind::Number)
            return fail(QStringLiteral("TOP is only supported right after SELECT"), n.pos);
        if (isWord(n, "FETCH"))
            return fetchFirst(s, i, piece, last);
    }
    // '@' and '#' are name characters in MSSQL but not in SQLite; NOTNULL
    // and ISNULL are operators in SQLite but plain names there (CUFD has a
    // column NotNull), so they are quoted unless ISNULL is called.
    if (n.text.contains(u'@') || n.text.contains(u'#') || isWord(n, "NOTNULL") ||
        (isWord(n, "ISNULL") && !(hasAfter && s[after].kind == Kind::Group)))
        piece = quoteIdentifier(n.text);
    else
        piece = n.text;
    return true;
}

// SELECT [DISTINCT|ALL] TOP n … becomes SELECT … LIMIT n, LIMIT at the end
// of the sequence the SELECT stands in (statement or parenthesized query).
bool Translation::planTop(const Seq& s, std::vector<bool>& skip, QString& limit) {
    const qsizetype size = s.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (!isWord(s[i], "SELECT"))
            continue;
        qsizetype top = nextSig(s, i);
        if (isWordIn(s, top, "DISTINCT") || isWordIn(s, top, "ALL"))
            top = nextSig(s, top);
        if (!isWordIn(s, top, "TOP"))
            continue;
        const qsizetype count = nextSig(s, top);
        if (count < size && s[count].kind == Kind::Number && !s[count].text.contains(u'.') &&
            !s[count].text.contains(u'e', Qt::CaseInsensitive)) {
            limit = s[count].text;
        } else if (count < size && s[count].kind == Kind::Group) {
            QString inner;
            if (!expression(s[count].inner, inner))
                return false;
            limit = QLatin1Char('(') + inner + QLatin1Char(')');
        } else {
            return fail(QStringLiteral("TOP needs a whole number or a parenthesized expression"),
                        s[top].pos);
        }
        const qsizetype rest = nextSig(s, count);
        if (isWordIn(s, rest, "PERCENT"))
            return fail(QStringLiteral("TOP … PERCENT is not supported"), s[rest].pos);
        if (isWordIn(s, rest, "WITH") && isWordIn(s, nextSig(s, rest), "TIES"))
            return fail(QStringLiteral("TOP … WITH TIES is not supported"), s[rest].pos);
        for (qsizetype k = rest; k < size; ++k) {
            if (isWord(s[k], "UNION") || isWord(s[k], "EXCEPT") || isWord(s[k], "INTERSECT"))
                return fail(QStringLiteral("TOP in a compound SELECT is not supported"),
                            s[top].pos);
            if (isWord(s[k], "LIMIT") || isWord(s[k], "FETCH") || isWord(s[k], "SELECT"))
                return fail(QStringLiteral("TOP cannot be combined with %1").arg(s[k].text),
                            s[top].pos);
        }
        // Drop TOP, its count and the blank after them.
        qsizetype end = count;
        if (end + 1 < size && s[end + 1].kind == Kind::Space)
            ++end;
        for (qsizetype k = top; k <= end; ++k)
            skip[k] = true;
        return true;
    }
    return true;
}

// FETCH FIRST|NEXT [n] ROW|ROWS ONLY (DB2 and the quoted dialect).
bool Translation::fetchFirst(const Seq& s, qsizetype i, QString& piece, qsizetype& last) {
    const qsizetype first = nextSig(s, i);
    if (!isWordIn(s, first, "FIRST") && !isWordIn(s, first, "NEXT"))
        return fail(QStringLiteral("FETCH is only supported as FETCH FIRST n ROWS ONLY"), s[i].pos);
    qsizetype rows = nextSig(s, first);
    QString count = QStringLiteral("1");
    if (rows < qsizetype(s.size()) && s[rows].kind == Kind::Number) {
        count = s[rows].text;
        rows = nextSig(s, rows);
    }
    const qsizetype only = nextSig(s, rows);
    if (!(isWordIn(s, rows, "ROW") || isWordIn(s, rows, "ROWS")) || !isWordIn(s, only, "ONLY"))
        return fail(QStringLiteral("FETCH is only supported as FETCH FIRST n ROWS ONLY"), s[i].pos);
    piece = QStringLiteral("LIMIT ") + count;
    last = only;
    return true;
}

bool Translation::function(const QString& name, const Node& group, QString& piece, bool& done) {
    const std::vector<Seq> args = splitArguments(group);
    auto arity = [&](std::size_t count) {
        if (args.size() == count)
            return true;
        fail(
            QStringLiteral("%1 takes %2 argument(s), not %3").arg(name).arg(count).arg(args.size()),
            group.pos);
        return false;
    };
    auto renamed = [&](const QString& sqliteName) {
        QString inner;
        if (!sequence(group.inner, inner))
            return false;
        piece = sqliteName + QLatin1Char('(') + inner + QLatin1Char(')');
        return true;
    };
    done = true;
    if (name == u"GETDATE")
        return arity(0) && now(group.pos, piece);
    if (name == u"CONVERT")
        return convert(group, piece);
    if (name == u"TIMESTAMP_ISO")
        return timestampIso(group, piece);
    if (name == u"DATEADD")
        return dateAdd(group, piece);
    if (name == u"ISNULL")
        return arity(2) && renamed(QStringLiteral("IFNULL"));
    if (name == u"SUBSTRING")
        return arity(3) && renamed(QStringLiteral("SUBSTR"));
    if (name == u"LEN") {
        // LEN does not count trailing blanks.
        if (!arity(1) || !renamed(QStringLiteral("RTRIM")))
            return false;
        piece = QStringLiteral("LENGTH(") + piece + QLatin1Char(')');
        return true;
    }
    if (name == u"CAST")
        return cast(group, piece, done);
    done = false;
    return true;
}

// A date operand: a literal in a form the servers accept becomes its stored
// text, anything else is translated as an expression.
bool Translation::dateOperand(const Seq& arg, qsizetype pos, QString& expr,
                              std::optional<QDateTime>& literal) {
    if (const std::optional<QString> text = singleLiteral(arg)) {
        literal = parseDateText(*text);
        if (!literal)
            return fail(QStringLiteral("'%1' is not a date").arg(*text), pos);
        expr = quoteLiteral(literal->toString(kStorageFormat));
        return true;
    }
    if (arg.empty())
        return fail(QStringLiteral("missing date argument"), pos);
    return expression(arg, expr);
}

// CONVERT(type, value [, style]).
bool Translation::convert(const Node& group, QString& piece) {
    const std::vector<Seq> args = splitArguments(group);
    if (args.size() != 2 && args.size() != 3)
        return fail(QStringLiteral("CONVERT takes 2 or 3 arguments"), group.pos);
    const Seq& type = args[0];
    const bool typeOk =
        (type.size() == 1 && type[0].kind == Kind::Word) ||
        (type.size() == 2 && type[0].kind == Kind::Word && type[1].kind == Kind::Group) ||
        (type.size() == 3 && type[0].kind == Kind::Word && type[1].kind == Kind::Space &&
         type[2].kind == Kind::Group);
    if (!typeOk)
        return fail(QStringLiteral("CONVERT needs a type name first"), group.pos);
    const QString typeName = type[0].text.toUpper();
    int style = -1;
    if (args.size() == 3) {
        bool ok = false;
        if (args[2].size() == 1 && args[2][0].kind == Kind::Number)
            style = args[2][0].text.toInt(&ok);
        if (!ok)
            return fail(QStringLiteral("CONVERT style must be a whole number"), group.pos);
    }
    const Seq& value = args[1];
    if (value.empty())
        return fail(QStringLiteral("CONVERT has no value to convert"), group.pos);

    if (const DateType target = dateType(typeName); target != DateType::None) {
        const bool compact = style == 112;
        if (!compact && style != -1 && style != 120 && style != 121 && style != 126 &&
            style != 20 && style != 21 && style != 23)
            return fail(QStringLiteral("CONVERT style %1 is not supported for dates").arg(style),
                        group.pos);
        if (const std::optional<QString> text = singleLiteral(value)) {
            const std::optional<QDateTime> parsed =
                compact ? parseCompactDate(*text) : parseDateText(*text);
            if (!parsed)
                return fail(
                    QStringLiteral("'%1' is not a date%2")
                        .arg(*text, compact ? QStringLiteral(" of the form yyyymmdd") : QString()),
                    value[0].pos);
            QDateTime moment = *parsed;
            if (target == DateType::Date)
                moment.setTime(QTime(0, 0));
            piece = quoteLiteral(moment.toString(kStorageFormat));
            return true;
        }
        QString expr;
        if (!expression(value, expr))
            return false;
        const QString dayStart =
            target == DateType::Date ? QStringLiteral(", 'start of day'") : QString();
        if (compact)
            piece = QStringLiteral("datetime(substr(%1, 1, 4) || '-' || substr(%1, 5, 2) || '-' "
                                   "|| substr(%1, 7, 2)%2)")
                        .arg(expr, dayStart);
        else
            piece = QStringLiteral("datetime(%1%2)").arg(expr, dayStart);
        return true;
    }

    QString expr;
    if (!expression(value, expr))
        return false;
    static const QStringList text = {QStringLiteral("CHAR"),  QStringLiteral("VARCHAR"),
                                     QStringLiteral("NCHAR"), QStringLiteral("NVARCHAR"),
                                     QStringLiteral("TEXT"),  QStringLiteral("NTEXT")};
    static const QStringList whole = {QStringLiteral("INT"), QStringLiteral("BIGINT"),
                                      QStringLiteral("SMALLINT"), QStringLiteral("TINYINT"),
                                      QStringLiteral("BIT")};
    static const QStringList real = {QStringLiteral("DECIMAL"), QStringLiteral("NUMERIC"),
                                     QStringLiteral("FLOAT"),   QStringLiteral("REAL"),
                                     QStringLiteral("MONEY"),   QStringLiteral("SMALLMONEY")};
    if (text.contains(typeName)) {
        // Styles format a date value, which is stored as text.
        if (style == 112)
            piece = QStringLiteral("strftime('%Y%m%d', %1)").arg(expr);
        else if (style == 120 || style == 20)
            piece = QStringLiteral("strftime('%Y-%m-%d %H:%M:%S', %1)").arg(expr);
        else if (style == 23)
            piece = QStringLiteral("date(%1)").arg(expr);
        else if (style == -1)
            piece = QStringLiteral("CAST(%1 AS TEXT)").arg(expr);
        else
            return fail(QStringLiteral("CONVERT style %1 is not supported for text").arg(style),
                        group.pos);
        // A length truncates; (max) does not.
        const Node& length = type.back();
        if (length.kind == Kind::Group) {
            const Seq size = trimmed(length.inner);
            if (size.size() == 1 && size[0].kind == Kind::Number)
                piece = QStringLiteral("SUBSTR(%1, 1, %2)").arg(piece, size[0].text);
            else if (!(size.size() == 1 && isWord(size[0], "MAX")))
                return fail(QStringLiteral("CONVERT text length must be a number or MAX"),
                            length.pos);
        }
        return true;
    }
    if (style != -1)
        return fail(QStringLiteral("CONVERT style is only supported for dates and text"),
                    group.pos);
    if (whole.contains(typeName)) {
        piece = QStringLiteral("CAST(%1 AS INTEGER)").arg(expr);
        return true;
    }
    if (real.contains(typeName)) {
        piece = QStringLiteral("CAST(%1 AS REAL)").arg(expr);
        return true;
    }
    return fail(QStringLiteral("CONVERT to %1 is not supported").arg(type[0].text), group.pos);
}

// CAST(x AS datetime): SQLite would give a datetime type numeric affinity
// and turn '2024-01-31 00:00:00' into 2024.
bool Translation::cast(const Node& group, QString& piece, bool& done) {
    const Seq inner = trimmed(group.inner);
    qsizetype as = -1;
    for (qsizetype k = 0; k < qsizetype(inner.size()); ++k)
        if (isWord(inner[k], "AS"))
            as = k;
    const qsizetype typeAt = as < 0 ? -1 : nextSig(inner, as);
    if (typeAt < 0 || typeAt >= qsizetype(inner.size()) || inner[typeAt].kind != Kind::Word) {
        done = false;
        return true;
    }
    const DateType target = dateType(inner[typeAt].text);
    if (target == DateType::None) {
        done = false;
        return true;
    }
    const Seq value = trimmed(Seq(inner.begin(), inner.begin() + as));
    QString expr;
    std::optional<QDateTime> literal;
    if (!dateOperand(value, group.pos, expr, literal))
        return false;
    if (literal) {
        QDateTime moment = *literal;
        if (target == DateType::Date)
            moment.setTime(QTime(0, 0));
        piece = quoteLiteral(moment.toString(kStorageFormat));
    } else {
        piece = QStringLiteral("datetime(%1%2)")
                    .arg(expr,
                         target == DateType::Date ? QStringLiteral(", 'start of day'") : QString());
    }
    return true;
}

bool Translation::timestampIso(const Node& group, QString& piece) {
    const std::vector<Seq> args = splitArguments(group);
    if (args.size() != 1)
        return fail(QStringLiteral("TIMESTAMP_ISO takes one argument"), group.pos);
    QString expr;
    std::optional<QDateTime> literal;
    if (!dateOperand(args[0], group.pos, expr, literal))
        return false;
    piece = literal ? expr : QStringLiteral("datetime(%1)").arg(expr);
    return true;
}

// DATEADD(unit, n, date). Month and year steps end on the last day of a
// shorter month, as the server does (SQLite would run into the next month).
bool Translation::dateAdd(const Node& group, QString& piece) {
    const std::vector<Seq> args = splitArguments(group);
    if (args.size() != 3)
        return fail(QStringLiteral("DATEADD takes 3 arguments"), group.pos);
    if (args[0].size() != 1 || args[0][0].kind != Kind::Word)
        return fail(QStringLiteral("DATEADD needs a date part first"), group.pos);
    const std::optional<DateUnit> unit = dateUnit(args[0][0].text);
    if (!unit)
        return fail(QStringLiteral("DATEADD date part '%1' is not supported").arg(args[0][0].text),
                    args[0][0].pos);

    // A literal count: a number with an optional sign; fractions are cut off.
    std::optional<qint64> count;
    const Seq& n = args[1];
    if (n.empty())
        return fail(QStringLiteral("DATEADD has no count"), group.pos);
    {
        Seq digits = n;
        int sign = 1;
        if (isPunct(digits.front(), "-") || isPunct(digits.front(), "+")) {
            sign = isPunct(digits.front(), "-") ? -1 : 1;
            digits = trimmed(Seq(digits.begin() + 1, digits.end()));
        }
        if (digits.size() == 1 && digits[0].kind == Kind::Number &&
            !digits[0].text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
            bool ok = false;
            const double value = digits[0].text.toDouble(&ok);
            if (ok && std::abs(value) < 1e15)
                count = sign * qint64(std::trunc(value));
        }
    }

    QString date;
    std::optional<QDateTime> literal;
    if (!dateOperand(args[2], group.pos, date, literal))
        return false;

    if (count && literal) {
        const qint64 steps = *count * unit->factor;
        const QString u = QLatin1String(unit->sqlite);
        QDateTime moment = *literal;
        if (u == u"years")
            moment = moment.addYears(int(steps));
        else if (u == u"months")
            moment = moment.addMonths(int(steps));
        else if (u == u"days")
            moment = moment.addDays(steps);
        else if (u == u"hours")
            moment = moment.addSecs(steps * 3600);
        else if (u == u"minutes")
            moment = moment.addSecs(steps * 60);
        else
            moment = moment.addSecs(steps);
        if (!moment.isValid() || moment.date().year() < 1 || moment.date().year() > 9999)
            return fail(QStringLiteral("DATEADD leaves the range of dates"), group.pos);
        piece = quoteLiteral(moment.toString(kStorageFormat));
        return true;
    }

    QString modifier;
    if (count) {
        const qint64 steps = *count * unit->factor;
        modifier = QStringLiteral("'%1%2 %3'")
                       .arg(steps < 0 ? QString() : QStringLiteral("+"))
                       .arg(steps)
                       .arg(QLatin1String(unit->sqlite));
    } else {
        QString expr;
        if (!expression(n, expr))
            return false;
        QString steps = QStringLiteral("CAST(%1 AS INTEGER)").arg(expr);
        if (unit->factor != 1)
            steps = QStringLiteral("(%1 * %2)").arg(steps, QString::number(unit->factor));
        modifier = QStringLiteral("%1 || ' %2'").arg(steps, QLatin1String(unit->sqlite));
    }
    const QString moved = QStringLiteral("datetime(%1, %2)").arg(date, modifier);
    if (!unit->monthly) {
        piece = moved;
        return true;
    }
    piece = QStringLiteral("(CASE WHEN strftime('%d', %1) = strftime('%d', %2) THEN %1 "
                           "ELSE date(%1, 'start of month', '-1 day') || ' ' || time(%2) END)")
                .arg(moved, date);
    return true;
}

} // namespace

SqlTranslator::SqlTranslator(int serverType) : m_serverType(serverType) {}

void SqlTranslator::setClock(std::function<QDateTime()> clock) {
    m_clock = std::move(clock);
}

QString SqlTranslator::storageText(const QDateTime& moment) {
    return moment.toString(kStorageFormat);
}

bool SqlTranslator::translate(const QString& statement, QString& sqlite, QString& error) const {
    sqlite.clear();
    error.clear();
    if (const qsizetype nul = statement.indexOf(QChar(0)); nul >= 0) {
        error = QStringLiteral("NUL character") + where(nul);
        return false;
    }
    Seq tokens;
    if (!Lexer(statement, m_parameters).run(tokens, error))
        return false;
    Seq root;
    if (!buildTree(tokens, root, error))
        return false;
    if (trimmed(root).empty()) {
        error = QStringLiteral("empty statement");
        return false;
    }
    Translation translation(m_serverType, m_clock);
    QString out;
    if (!translation.sequence(root, out)) {
        error = translation.error;
        return false;
    }
    while (!out.isEmpty() && out.back().isSpace())
        out.chop(1);
    sqlite = out;
    return true;
}

} // namespace LLObjectsCOM
