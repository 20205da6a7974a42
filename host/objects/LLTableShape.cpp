#include "host/objects/LLTableShape.h"

#include "host/objects/LLDatabase.h"

#include <algorithm>

namespace LLObjectsCOM {

namespace {

TableShape::Kind kindOf(const Schema::Column* c) {
    if (!c)
        return TableShape::Kind::Text;
    if (c->type == u"int")
        return TableShape::Kind::Integer;
    if (c->type == u"smallint")
        return TableShape::Kind::SmallInt;
    if (c->type == u"numeric")
        return TableShape::Kind::Numeric;
    if (c->type == u"datetime")
        return TableShape::Kind::Date;
    if (c->type == u"image")
        return TableShape::Kind::Image;
    return TableShape::Kind::Text;
}

const Schema::Column* schemaColumn(const Schema::Table* table, const QString& column) {
    return table ? table->column(column) : nullptr;
}

QString equalities(const TableShape& s, const QList<int>& columns) {
    QStringList parts;
    for (const int i : columns)
        parts << s.columns[i].quoted + QStringLiteral(" = ?");
    return parts.join(QStringLiteral(" AND "));
}

// The set as a key: two bytes per position.
QByteArray keyOf(const QList<int>& positions) {
    QByteArray key;
    key.reserve(positions.size() * 2);
    for (const int p : positions)
        key.append(char(p & 0xff)).append(char(p >> 8));
    return key;
}

} // namespace

std::shared_ptr<const TableShape> TableShape::of(Database& db, const ObjectDefinition& object,
                                                 const QString& table, QString* error) {
    const ObjectDefinition::Child* child = table == object.table ? nullptr : object.child(table);
    if (!child && table != object.table) {
        if (error)
            *error = QStringLiteral("Object %1 has no table %2").arg(object.number).arg(table);
        return nullptr;
    }
    auto s = std::make_shared<TableShape>();
    s->table = table;
    s->quoted = Schema::quoted(table);
    s->isMain = !child;
    const Schema::Table* schemaTable = Schema::standard().table(table);
    const auto add = [&](const QString& name, const QString& property) {
        if (s->byColumn.contains(name))
            return -1;
        Column c;
        c.name = name;
        c.quoted = Schema::quoted(name);
        c.property = property;
        const Schema::Column* sc = schemaColumn(schemaTable, name);
        c.kind = kindOf(sc);
        c.length = sc && sc->isText() ? sc->length : 0;
        s->columns << c;
        s->byColumn.insert(name, int(s->columns.size() - 1));
        if (!property.isEmpty())
            s->byProperty.insert(property, int(s->columns.size() - 1));
        return int(s->columns.size() - 1);
    };
    for (const ObjectDefinition::Field& f : child ? child->fields : object.fields) {
        const int i = add(f.column, f.property);
        if (i >= 0) {
            s->columns[i].secret = f.secret;
            s->columns[i].required = f.required;
        }
    }
    QStringList users;
    for (const QString& c : db.columns(table))
        if (c.startsWith(QLatin1String("U_")) && !s->byColumn.contains(c))
            users << c;
    std::sort(users.begin(), users.end());
    for (const QString& u : users)
        s->columns[add(u, u)].user = true;
    // Columns the host fills itself and never hands out as properties.
    if (child) {
        for (const ObjectDefinition::Link& link : child->links) {
            add(link.childColumn, QString());
            s->keyColumns << s->byColumn.value(link.childColumn);
        }
        for (const QString& own : {child->lineColumn, child->numberColumn})
            if (!own.isEmpty())
                add(own, QString());
        if (!child->lineColumn.isEmpty())
            s->order = Schema::quoted(child->lineColumn);
    } else {
        for (const ObjectDefinition::Field& key : object.keys)
            s->keyColumns << s->byColumn.value(key.column);
        if (schemaColumn(schemaTable, QStringLiteral("USERID")))
            add(QStringLiteral("USERID"), QString());
    }
    for (const ObjectDefinition::Reference& ref : child ? child->references : object.references) {
        const int i = s->byColumn.value(ref.column, -1);
        if (i < 0)
            continue;
        s->references.append(
            {i, ref.table, ref.targetColumn,
             kindOf(schemaColumn(Schema::standard().table(ref.table), ref.targetColumn))});
    }

    QStringList selected;
    for (qsizetype i = 0; i < s->columns.size(); ++i)
        if (!s->columns[i].property.isEmpty() && !s->columns[i].secret) {
            s->selected << int(i);
            selected << s->columns[i].quoted;
        }
    QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                      .arg(selected.isEmpty() ? QStringLiteral("1") : selected.join(u','),
                           s->quoted, equalities(*s, s->keyColumns));
    if (!s->order.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + s->order;
    s->select = db.statement(sql, error);
    if (!s->select)
        return nullptr;
    if (s->isMain) {
        s->exists = db.statement(QStringLiteral("SELECT 1 FROM %1 WHERE %2")
                                     .arg(s->quoted, equalities(*s, s->keyColumns)),
                                 error);
        if (!s->exists)
            return nullptr;
    }
    return s;
}

Statement* TableShape::insert(Database& db, const QList<int>& given, QString* error) const {
    std::shared_ptr<Statement>& st = m_inserts[keyOf(given)];
    if (!st) {
        QStringList names, marks;
        for (const int i : given) {
            names << columns[i].quoted;
            marks << QStringLiteral("?");
        }
        st = db.statement(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                              .arg(quoted, names.join(u','), marks.join(u',')),
                          error);
        if (!st) {
            m_inserts.remove(keyOf(given));
            return nullptr;
        }
    }
    return st.get();
}

Statement* TableShape::probe(Database& db, const QList<int>& refs, QString* error) const {
    std::shared_ptr<Statement>& st = m_probes[keyOf(refs)];
    if (!st) {
        QStringList probes;
        for (const int r : refs)
            probes << QStringLiteral("EXISTS (SELECT 1 FROM %1 WHERE %2 = ?)")
                          .arg(Schema::quoted(references[r].table),
                               Schema::quoted(references[r].targetColumn));
        st = db.statement(QStringLiteral("SELECT ") + probes.join(u','), error);
        if (!st) {
            m_probes.remove(keyOf(refs));
            return nullptr;
        }
    }
    return st.get();
}

} // namespace LLObjectsCOM
