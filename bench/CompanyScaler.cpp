#include "CompanyScaler.h"

#include "di/MRV_CompanySql.h"
#include "host/objects/LLCompanyState.h"
#include "host/objects/LLDatabase.h"
#include "host/objects/LLObjectCatalog.h"
#include "host/objects/LLStatement.h"

#include <QRegularExpression>

#include <cmath>

using namespace LLObjectsCOM;

namespace bench {

namespace {

QString keyOf(const QString& column, const QVariant& value) {
    return column + u'|' + value.toString();
}

// The condition of a declaration's rows, as the host's SQL takes it.
QString whereOf(const MRV_TableDeclaration& t) {
    QStringList parts;
    if (!t.filter.isEmpty())
        parts << u'(' + t.filter.plain + u')';
    for (const auto& [column, value] : t.kind)
        parts << QStringLiteral("%1 = N'%2'")
                     .arg(column,
                          QString(value).replace(QStringLiteral("'"), QStringLiteral("''")));
    return parts.isEmpty() ? QStringLiteral("1 = 1") : parts.join(QStringLiteral(" AND "));
}

} // namespace

bool CompanyScaler::describe(const QString& name, Table& table, QString& error) {
    Database& db = *m_company.state()->database;
    table = Table{name, {}, {}};
    Statement* q = db.run(QStringLiteral("PRAGMA table_info(\"%1\")").arg(name), {}, &error);
    if (!q)
        return false;
    QStringList key;
    while (q->next()) {
        Column c;
        c.name = q->text(1);
        c.type = q->text(2).toUpper();
        const bool date = c.type.startsWith(u"DATE");
        c.integer = c.type.contains(u"INT");
        c.text = !date && (c.type.contains(u"CHAR") || c.type.contains(u"TEXT"));
        if (q->integer(5) > 0)
            key << c.name;
        table.columns << c;
    }
    q->finish();
    // The longest text a column takes, as the table's checks say.
    q = db.run(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?"),
               {name}, &error);
    const QString create = q && q->next() ? q->text(0) : QString();
    if (q)
        q->finish();
    for (Column& c : table.columns) {
        const QRegularExpression check(
            QStringLiteral(R"(length\("%1"\) <= (\d+))").arg(QRegularExpression::escape(c.name)));
        c.length = check.match(create).captured(1).toInt();
    }
    if (table.columns.isEmpty())
        return error = QStringLiteral("%1 has no columns").arg(name), false;
    if (!key.isEmpty())
        table.unique << key;
    QStringList indexes;
    q = db.run(QStringLiteral("PRAGMA index_list(\"%1\")").arg(name), {}, &error);
    if (!q)
        return false;
    while (q->next())
        if (q->integer(2) != 0)
            indexes << q->text(1);
    q->finish();
    for (const QString& index : indexes) {
        QStringList columns;
        q = db.run(QStringLiteral("PRAGMA index_info(\"%1\")").arg(index), {}, &error);
        if (!q)
            return false;
        while (q->next())
            columns << q->text(2);
        q->finish();
        table.unique << columns;
    }
    return true;
}

QVariant CompanyScaler::moved(Column& c, const QVariant& value, int k) {
    if (value.isNull())
        return value;
    if (c.integer && value.canConvert<qlonglong>())
        return value.toLongLong() + qint64(k) * (c.high - c.low + 1);
    const QString text = value.toString();
    // "_": the one mark names of user tables and fields may hold.
    QString made = text + QStringLiteral("_%1").arg(k);
    // One of several columns that are unique together: the suffix sets the
    // row apart, as the record it repeats was.
    if (!c.alone)
        return c.length > 0 && made.size() > c.length
                   ? text.left(std::max<qsizetype>(0, c.length - (made.size() - text.size()))) +
                         made.mid(text.size())
                   : made;
    // Cut short, texts could end alike: numbers of the column's own tell
    // them apart, past every value the column holds.
    while (c.taken.contains(made.toCaseFolded()) || (c.length > 0 && made.size() > c.length)) {
        QString suffix = QString::number(++c.serial, 36);
        if (c.length == 0 || suffix.size() < c.length)
            suffix.prepend(u'_');
        made = text.left(std::max<qsizetype>(0, c.length - suffix.size())) + suffix;
    }
    c.taken.insert(made.toCaseFolded());
    return made;
}

bool CompanyScaler::repeat(const QString& name, const QString& where, const QSet<QString>& keep,
                           const QString& describing,
                           const QList<std::pair<QString, QString>>& links,
                           const QList<Map>& parents, QList<Map>& changed, int times,
                           QString& error) {
    Table table;
    if (!describe(name, table, error))
        return false;
    const auto columnAt = [&](const QString& column) -> qsizetype {
        for (qsizetype i = 0; i < table.columns.size(); ++i)
            if (table.columns[i].name.compare(column, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    };
    QSet<QString> linked;
    for (const auto& [here, there] : links)
        linked.insert(here.toUpper());
    // One column of each unique set that a link to a parent does not
    // already set apart, and that names no other record: its last (a
    // field of a table, not its table); the name too, unless it names
    // another record.
    QList<qsizetype> moving;
    for (const QStringList& set : std::as_const(table.unique)) {
        if (std::any_of(set.cbegin(), set.cend(),
                        [&](const QString& c) { return linked.contains(c.toUpper()); }))
            continue;
        QString chosen;
        for (const QString& c : set)
            if (!keep.contains(c.toUpper()))
                chosen = c;
        // All of them name other records (an item's alternative, a
        // partner's price of an item): the first, which is the record
        // repeated the same way elsewhere (the item "A1_2").
        if (chosen.isEmpty())
            chosen = set.value(0);
        const qsizetype at = columnAt(chosen);
        if (at >= 0 && set.size() == 1)
            table.columns[at].alone = true;
        if (at >= 0 && !moving.contains(at))
            moving << at;
    }
    if (const qsizetype at = columnAt(describing); at >= 0 && table.columns[at].text &&
                                                   !keep.contains(describing.toUpper()) &&
                                                   !moving.contains(at)) {
        table.columns[at].alone = true; // names are looked up one by one
        moving << at;
    }

    MRV_CompanySql sql(m_company);
    for (const qsizetype at : std::as_const(moving)) {
        Column& c = table.columns[at];
        if (!c.integer) {
            if (!c.alone)
                continue;
            for (const QVariantList& row :
                 sql.query(QStringLiteral("SELECT DISTINCT %1 FROM %2").arg(c.name, name)).values)
                c.taken.insert(row.value(0).toString().toCaseFolded());
            continue;
        }
        const MRV_CompanySql::Rows range =
            sql.query(QStringLiteral("SELECT MIN(%1), MAX(%1) FROM %2").arg(c.name, name));
        c.low = range.values.value(0).value(0).toLongLong();
        c.high = range.values.value(0).value(1).toLongLong();
    }
    QStringList names, marks;
    for (const Column& c : std::as_const(table.columns))
        names << u'"' + c.name + u'"', marks << QStringLiteral("?");
    const MRV_CompanySql::Rows rows =
        sql.query(QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(names.join(u','), name, where));
    // A text column too short for the new values it would need (a
    // country's three letters hold 46,656 values) leaves the table as is.
    for (const qsizetype at : std::as_const(moving)) {
        const Column& c = table.columns[at];
        const double room = c.alone && c.length > 0 && c.text ? std::pow(36.0, c.length) : 1e18;
        const bool fits = c.alone || c.length == 0 || c.length > 2 + int(std::log10(times));
        if (!fits || room < 2.0 * double(c.taken.size() + rows.values.size() * qsizetype(times))) {
            m_passedOver << name;
            return true;
        }
    }
    Database& db = *m_company.state()->database;
    const std::shared_ptr<Statement> insert =
        db.statement(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                         .arg(name, names.join(u','), marks.join(u',')),
                     &error);
    if (!insert)
        return false;
    for (int k = 1; k < times; ++k) {
        Map out;
        for (const QVariantList& row : rows.values) {
            QVariantList values = row;
            bool orphan = false;
            for (const auto& [here, there] : links) {
                const qsizetype at = columnAt(here);
                const Map& parent = parents.value(k - 1);
                const auto found = parent.constFind(keyOf(there, row.value(at)));
                if (at < 0 || found == parent.cend()) {
                    orphan = true;
                    break;
                }
                values[at] = *found;
            }
            if (orphan)
                continue;
            for (const qsizetype at : std::as_const(moving)) {
                values[at] = moved(table.columns[at], row.value(at), k);
                out.insert(keyOf(table.columns[at].name, row.value(at)), values[at]);
            }
            if (!insert->exec(values))
                return error = QStringLiteral("%1: %2").arg(name, insert->error()), false;
            ++m_added;
        }
        changed << out;
    }
    return true;
}

QSet<QString> CompanyScaler::referring(MRV_DIInterface& category, const MRV_TableDeclaration& main,
                                       const QString& table) {
    QSet<QString> columns;
    const ObjectDefinition* object =
        main.isObject() ? ObjectCatalog::standard().object(main.objectType) : nullptr;
    const ObjectDefinition::Child* child =
        object && table != main.name ? object->child(table) : nullptr;
    if (object && !child)
        for (const ObjectDefinition::Reference& r : object->references)
            columns.insert(r.column.toUpper());
    if (child)
        for (const ObjectDefinition::Reference& r : child->references)
            columns.insert(r.column.toUpper());
    for (const MRV_TableDeclaration& t : category.tables()) {
        for (const MRV_Reference& r : t.references) {
            // The group of a business object's reference is its table.
            const bool here =
                object ? (r.group.isEmpty() ? main.name : r.group) == table : t.name == table;
            if (!here)
                continue;
            const ObjectDefinition::Field* f = child    ? child->fieldByProperty(r.field)
                                               : object ? object->fieldByProperty(r.field)
                                                        : nullptr;
            columns.insert((f ? f->column : r.field).toUpper());
        }
    }
    // A record's own single key is repeated whatever it names: repeated
    // the same way, a product tree's item is the repeated item.
    // Kind columns ("C" for customers) say which category a row is of.
    for (const MRV_TableDeclaration& t : category.tables())
        if (t.name == table)
            for (const auto& [column, value] : t.kind)
                columns.insert(column.toUpper());
    if (table == main.name && main.keyColumns.size() == 1)
        columns.remove(main.keyColumns.first().toUpper());
    return columns;
}

bool CompanyScaler::scale(MRV_DIInterface& category, int times, QString& error) {
    for (const MRV_TableDeclaration& t : category.tables()) {
        if (t.isSettings() || t.isChild() || t.companion || m_done.contains(t.name))
            continue;
        m_done.insert(t.name);
        const ObjectDefinition* object =
            t.isObject() ? ObjectCatalog::standard().object(t.objectType) : nullptr;
        QList<Map> changed;
        const QString describing =
            !t.generatedKeyName.isEmpty() ? t.generatedKeyName : t.descriptionColumn;
        if (!repeat(t.name, whereOf(t), referring(category, t, t.name), describing, {}, {}, changed,
                    times, error))
            return false;
        QList<std::tuple<QString, QString, QList<std::pair<QString, QString>>>> lines;
        if (object)
            for (const ObjectDefinition::Child& child : object->children) {
                QList<std::pair<QString, QString>> links;
                for (const ObjectDefinition::Link& link : child.links)
                    links << std::pair{link.childColumn, link.parentColumn};
                lines << std::tuple{child.table, QStringLiteral("1 = 1"), links};
            }
        for (const MRV_TableDeclaration& c : category.tables())
            if (c.parentTable == t.name)
                lines << std::tuple{c.name, whereOf(c), c.links};
        for (const auto& [table, where, links] : lines) {
            if (m_done.contains(table))
                continue;
            m_done.insert(table);
            QList<Map> unused;
            if (!repeat(table, where, referring(category, t, table), QString(), links, changed,
                        unused, times, error))
                return false;
        }
    }
    return true;
}

} // namespace bench
