#include "host/objects/LLSchema.h"

#include "host/objects/LLComError.h"
#include "host/objects/LLErrors.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace LLObjectsCOM {

namespace {

// One parse position, for messages that name the file and line.
struct Cursor {
    const QString& file;
    int line;
    QString* error;

    bool fail(const QString& what) const {
        if (error)
            *error = QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(what);
        return false;
    }
};

bool parseType(const QString& text, Schema::Column& column, const Cursor& at) {
    static const QRegularExpression form(QStringLiteral("^([a-z]+)(?:\\((\\d+)(?:,(\\d+))?\\))?$"));
    const QRegularExpressionMatch m = form.match(text.toLower());
    if (!m.hasMatch())
        return at.fail(QStringLiteral("'%1' is not a column type").arg(text));
    column.type = m.captured(1);
    const bool hasArg = m.hasCaptured(2) && !m.captured(2).isEmpty();
    const bool hasSecond = m.hasCaptured(3) && !m.captured(3).isEmpty();
    if (column.type == u"nvarchar" || column.type == u"varchar" || column.type == u"char") {
        column.length = m.captured(2).toInt();
        if (!hasArg || hasSecond || column.length < 1 || column.length > 4000)
            return at.fail(QStringLiteral("%1 needs a length from 1 to 4000").arg(column.type));
        return true;
    }
    if (column.type == u"numeric") {
        column.precision = hasArg ? m.captured(2).toInt() : 19;
        column.scale = hasSecond ? m.captured(3).toInt() : 0;
        if (column.precision < 1 || column.precision > 38 || column.scale > column.precision)
            return at.fail(QStringLiteral("numeric(%1,%2) is out of range")
                               .arg(column.precision)
                               .arg(column.scale));
        return true;
    }
    static const QStringList plain{QStringLiteral("ntext"), QStringLiteral("int"),
                                   QStringLiteral("smallint"), QStringLiteral("datetime"),
                                   QStringLiteral("image")};
    if (!plain.contains(column.type))
        return at.fail(QStringLiteral("'%1' is not a column type").arg(text));
    if (hasArg)
        return at.fail(QStringLiteral("%1 takes no length").arg(column.type));
    return true;
}

// "key A, B" and "unique A, B": the columns must exist.
bool parseColumnList(const QString& rest, const Schema::Table& table, QStringList& columns,
                     const Cursor& at) {
    columns.clear();
    for (const QString& part : rest.split(u',')) {
        const QString name = part.trimmed();
        if (name.isEmpty())
            return at.fail(QStringLiteral("empty column name in a column list"));
        if (!table.column(name))
            return at.fail(
                QStringLiteral("'%1' is not a column of table %2").arg(name, table.name));
        if (columns.contains(name))
            return at.fail(QStringLiteral("'%1' is named twice").arg(name));
        columns << name;
    }
    return true;
}

bool parseColumn(const QString& text, Schema::Table& table, const Cursor& at) {
    static const QRegularExpression form(
        QStringLiteral("^(\\S+)\\s+(\\S+)(\\s+not\\s+null)?(?:\\s+default\\s+(-?\\d+(?:\\.\\d+)?|'("
                       "?:[^']|'')*'|"
                       "NULL))?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return at.fail(QStringLiteral("not a column line: %1").arg(text));
    Schema::Column column;
    column.name = m.captured(1);
    column.line = at.line;
    if (table.column(column.name))
        return at.fail(
            QStringLiteral("column %1 of table %2 is defined twice").arg(column.name, table.name));
    if (!parseType(m.captured(2), column, at))
        return false;
    column.notNull = !m.captured(3).isEmpty();
    column.defaultValue = m.captured(4);
    table.columnIndex.insert(column.name, table.columns.size());
    table.columns.append(column);
    return true;
}

} // namespace

bool Schema::Column::isText() const {
    return type == u"nvarchar" || type == u"varchar" || type == u"char" || type == u"ntext";
}

const Schema::Column* Schema::Table::column(const QString& name) const {
    const auto it = columnIndex.constFind(name);
    return it == columnIndex.cend() ? nullptr : &columns[*it];
}

const Schema::Table* Schema::table(const QString& name) const {
    const auto it = m_index.constFind(name);
    return it == m_index.cend() ? nullptr : &m_tables[*it];
}

bool Schema::addText(const QString& text, const QString& file, QString* error) {
    const QStringList lines = text.split(u'\n');
    Table* current = nullptr;
    // Tables are validated as a whole when the next one starts or the file ends.
    const auto finish = [&](const Cursor& at) {
        if (current && current->columns.isEmpty())
            return Cursor{file, current->line, at.error}.fail(
                QStringLiteral("table %1 has no columns").arg(current->name));
        return true;
    };
    for (int i = 0; i < lines.size(); ++i) {
        const Cursor at{file, i + 1, error};
        QString line = lines[i];
        // A '#' inside a quoted default is text, not a comment.
        qsizetype hash = -1;
        bool inQuote = false;
        for (qsizetype p = 0; p < line.size(); ++p) {
            if (line[p] == u'\'')
                inQuote = !inQuote;
            else if (line[p] == u'#' && !inQuote) {
                hash = p;
                break;
            }
        }
        if (hash >= 0)
            line.truncate(hash);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const bool indented = line[0].isSpace();
        const QString body = line.trimmed();
        const QString word = body.section(QRegularExpression(QStringLiteral("\\s+")), 0, 0);
        const QString rest = body.mid(word.size()).trimmed();
        if (!indented) {
            if (word != u"table")
                return at.fail(QStringLiteral("expected 'table NAME', found: %1").arg(body));
            if (!finish(at))
                return false;
            const QString name = rest.section(QRegularExpression(QStringLiteral("\\s+")), 0, 0);
            static const QRegularExpression validName(
                QStringLiteral("^@?[A-Za-z_][A-Za-z0-9_]{0,49}$"));
            if (!validName.match(name).hasMatch())
                return at.fail(QStringLiteral("'%1' is not a table name").arg(name));
            if (const Table* earlier = table(name))
                return at.fail(QStringLiteral("table %1 is defined twice (first at %2:%3)")
                                   .arg(name, earlier->file)
                                   .arg(earlier->line));
            Table t;
            t.name = name;
            t.description = rest.mid(name.size()).trimmed();
            t.file = file;
            t.line = i + 1;
            m_index.insert(name, m_tables.size());
            m_tables.append(t);
            current = &m_tables.last();
            continue;
        }
        if (!current)
            return at.fail(QStringLiteral("a column line before any 'table' line"));
        if (word == u"key") {
            if (!current->key.isEmpty())
                return at.fail(QStringLiteral("table %1 has a key already").arg(current->name));
            if (!parseColumnList(rest, *current, current->key, at))
                return false;
        } else if (word == u"unique") {
            QStringList columns;
            if (!parseColumnList(rest, *current, columns, at))
                return false;
            current->uniques.append(columns);
        } else if (!parseColumn(body, *current, at)) {
            return false;
        }
    }
    return finish(Cursor{file, int(lines.size()), error});
}

std::optional<Schema> Schema::load(const QString& folder, QString* error) {
    Schema schema;
    const QStringList files =
        QDir(folder).entryList({QStringLiteral("*.tables")}, QDir::Files, QDir::Name);
    if (files.isEmpty()) {
        if (error)
            *error = QStringLiteral("%1: no *.tables files").arg(folder);
        return std::nullopt;
    }
    for (const QString& name : files) {
        QFile file(QDir(folder).filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            if (error)
                *error = QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
            return std::nullopt;
        }
        if (!schema.addText(QString::fromUtf8(file.readAll()), name, error))
            return std::nullopt;
    }
    return schema;
}

const Schema& Schema::standard() {
    static const Schema schema = [] {
        QString error;
        std::optional<Schema> loaded = load(QStringLiteral(":/ledgerline/schema"), &error);
        if (!loaded)
            throw ComError(errSchema, QStringLiteral("The host schema is broken: %1").arg(error));
        return *loaded;
    }();
    return schema;
}

namespace {

// The constraint that keeps a column's values within its type: whole
// numbers of the integer types' ranges, numbers of a numeric's digits.
QString rangeCheck(const Schema::Column& c) {
    // SQLite keeps whatever it is given; a server refuses a value its
    // column's type cannot hold, and the host's objects could not read it
    // back. The constraint's name says why when one is refused.
    const QString column = Schema::quoted(c.name);
    if (c.isInteger()) {
        const bool small = c.type == u"smallint";
        const qlonglong limit = small ? 32767 : 2147483647;
        return QStringLiteral(" CONSTRAINT %1 CHECK (%2 IS NULL OR (typeof(%2) = 'integer' AND %2 "
                              "BETWEEN %3 AND %4))")
            .arg(Schema::quoted(QStringLiteral("%1 takes a whole number from %2 to %3")
                                    .arg(c.name)
                                    .arg(-limit - 1)
                                    .arg(limit)),
                 column)
            .arg(-limit - 1)
            .arg(limit);
    }
    if (c.type == u"numeric") {
        // Digits before the point: precision less scale (a plain numeric
        // takes what a double does).
        const int digits = c.precision > 0 ? c.precision - c.scale : 0;
        const QString limit =
            digits > 0 ? QStringLiteral(" AND abs(%1) < 1e%2").arg(column).arg(digits) : QString();
        return QStringLiteral(" CONSTRAINT %1 CHECK (%2 IS NULL OR (typeof(%2) IN ('integer', "
                              "'real')%3))")
            .arg(Schema::quoted(digits > 0
                                    ? QStringLiteral("%1 takes a number of at most %2 digits "
                                                     "before the point")
                                          .arg(c.name)
                                          .arg(digits)
                                    : QStringLiteral("%1 takes a number").arg(c.name)),
                 column, limit);
    }
    return QString();
}

} // namespace

QString Schema::quoted(const QString& identifier) {
    return u'"' + QString(identifier).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString Schema::createStatement(const Table& table, bool caseInsensitive) {
    QStringList parts;
    for (const Column& c : table.columns) {
        QString def = quoted(c.name) + u' ';
        if (c.isText())
            def += QStringLiteral("TEXT");
        else if (c.type == u"datetime")
            def += QStringLiteral("DATETEXT"); // text affinity; the name marks dates
                                               // for the recordset's XML
        else if (c.isInteger())
            def += QStringLiteral("INTEGER");
        else if (c.type == u"numeric")
            def += QStringLiteral("REAL");
        else
            def += QStringLiteral("BLOB");
        if (c.isText() && caseInsensitive)
            def += QStringLiteral(" COLLATE ") + QLatin1String(CaseInsensitiveCollation);
        if (c.notNull)
            def += QStringLiteral(" NOT NULL");
        if (!c.defaultValue.isEmpty())
            def += QStringLiteral(" DEFAULT ") + c.defaultValue;
        // A value longer than its column allows is refused, not cut.
        if (c.length > 0)
            def += QStringLiteral(" CHECK (length(%1) <= %2)").arg(quoted(c.name)).arg(c.length);
        def += rangeCheck(c);
        parts << def;
    }
    const auto columnList = [](const QStringList& names) {
        QStringList q;
        for (const QString& n : names)
            q << quoted(n);
        return q.join(QStringLiteral(", "));
    };
    if (!table.key.isEmpty())
        parts << QStringLiteral("PRIMARY KEY (%1)").arg(columnList(table.key));
    for (const QStringList& unique : table.uniques)
        parts << QStringLiteral("UNIQUE (%1)").arg(columnList(unique));
    return QStringLiteral("CREATE TABLE %1 (%2)")
        .arg(quoted(table.name), parts.join(QStringLiteral(", ")));
}

QStringList Schema::createStatements(bool caseInsensitive) const {
    QStringList statements;
    for (const Table& t : m_tables)
        statements << createStatement(t, caseInsensitive);
    return statements;
}

} // namespace LLObjectsCOM
