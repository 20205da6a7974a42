#include "host/objects/LLObjectCatalog.h"

#include "host/objects/LLComError.h"
#include "host/objects/LLErrors.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace LLObjectsCOM {

namespace {

template <typename List>
auto findField(const List& fields, const QString& name, bool byColumn) ->
    typename List::value_type const* {
    for (const auto& f : fields)
        if ((byColumn ? f.column : f.property) == name)
            return &f;
    return nullptr;
}

// Looks a field up through an index once it is built, by search before.
const ObjectDefinition::Field* indexed(const QList<ObjectDefinition::Field>& fields,
                                       const QHash<QString, qsizetype>& index, const QString& name,
                                       bool byColumn) {
    if (index.isEmpty())
        return findField(fields, name, byColumn);
    const auto it = index.constFind(name);
    return it == index.cend() ? nullptr : &fields[*it];
}

void buildIndex(const QList<ObjectDefinition::Field>& fields, QHash<QString, qsizetype>& byProperty,
                QHash<QString, qsizetype>& byColumn) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        byProperty.insert(fields[i].property, i);
        if (!byColumn.contains(fields[i].column))
            byColumn.insert(fields[i].column, i);
    }
}

// One line of a file: its indentation and its words.
struct Line {
    int indent = 0;
    QStringList words;
};

Line split(const QString& raw) {
    QString text = raw;
    const qsizetype hash = text.indexOf(u'#');
    if (hash >= 0)
        text.truncate(hash);
    Line line;
    while (line.indent < text.size() && text[line.indent] == u' ')
        ++line.indent;
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    line.words = text.trimmed().split(blanks, Qt::SkipEmptyParts);
    return line;
}

// Checks names against the schema while a file is read.
class Reader {
public:
    Reader(const Schema& schema, const QString& file, QString* error)
        : m_schema(schema), m_file(file), m_error(error) {}

    bool fail(int line, const QString& what) const {
        if (m_error)
            *m_error = QStringLiteral("%1:%2: %3").arg(m_file).arg(line).arg(what);
        return false;
    }
    const Schema::Table* table(int line, const QString& name) const {
        const Schema::Table* t = m_schema.table(name);
        if (!t)
            fail(line, QStringLiteral("no table %1 in the schema").arg(name));
        return t;
    }
    bool column(int line, const Schema::Table* t, const QString& name) const {
        return t->column(name) ||
               fail(line, QStringLiteral("'%1' is not a column of table %2").arg(name, t->name));
    }

private:
    const Schema& m_schema;
    QString m_file;
    QString* m_error;
};

} // namespace

const ObjectDefinition::Field* ObjectDefinition::Child::fieldByProperty(const QString& p) const {
    return indexed(fields, propertyIndex, p, false);
}
const ObjectDefinition::Field* ObjectDefinition::Child::fieldByColumn(const QString& c) const {
    return indexed(fields, columnIndex, c, true);
}
const ObjectDefinition::Field* ObjectDefinition::fieldByProperty(const QString& p) const {
    return indexed(fields, propertyIndex, p, false);
}
const ObjectDefinition::Field* ObjectDefinition::fieldByColumn(const QString& c) const {
    return indexed(fields, columnIndex, c, true);
}
const ObjectDefinition::Child* ObjectDefinition::child(const QString& table) const {
    for (const Child& c : children)
        if (c.table == table)
            return &c;
    return nullptr;
}

bool ObjectCatalog::addText(const QString& text, const QString& file, const Schema& schema,
                            QString* error) {
    const Reader r(schema, file, error);
    const QStringList lines = text.split(u'\n');
    ObjectDefinition* object = nullptr;
    const Schema::Table* mainTable = nullptr;
    ObjectDefinition::Child* child = nullptr;
    const Schema::Table* childTable = nullptr;

    // An object is complete when the next one starts or the file ends.
    const auto finish = [&]() {
        if (!object)
            return true;
        if (!mainTable)
            return r.fail(object->line,
                          QStringLiteral("object %1 has no table").arg(object->number));
        if (object->keys.isEmpty())
            return r.fail(object->line, QStringLiteral("object %1 has no key").arg(object->number));
        for (ObjectDefinition::Child& c : object->children) {
            if (c.links.isEmpty())
                return r.fail(object->line, QStringLiteral("child %1 of object %2 has no link")
                                                .arg(c.table)
                                                .arg(object->number));
            buildIndex(c.fields, c.propertyIndex, c.columnIndex);
        }
        buildIndex(object->fields, object->propertyIndex, object->columnIndex);
        return true;
    };
    const auto addField = [&](int n, const QStringList& w, QList<ObjectDefinition::Field>& fields,
                              const Schema::Table* t) {
        const QStringList flags = w.mid(3);
        for (const QString& flag : flags)
            if ((flag != u"required" && flag != u"secret") || flags.count(flag) > 1)
                return r.fail(
                    n, QStringLiteral("expected 'field PROPERTY COLUMN [required] [secret]'"));
        if (w.size() < 3)
            return r.fail(n,
                          QStringLiteral("expected 'field PROPERTY COLUMN [required] [secret]'"));
        if (!r.column(n, t, w[2]))
            return false;
        if (findField(fields, w[1], false))
            return r.fail(n, QStringLiteral("property %1 is named twice").arg(w[1]));
        fields.append({w[1], w[2], flags.contains(QStringLiteral("required")),
                       flags.contains(QStringLiteral("secret"))});
        return true;
    };
    const auto addReference = [&](int n, const QStringList& w,
                                  QList<ObjectDefinition::Reference>& refs,
                                  const Schema::Table* t) {
        if (w.size() != 4)
            return r.fail(n, QStringLiteral("expected 'ref COLUMN TABLE COLUMN'"));
        const Schema::Table* target = r.table(n, w[2]);
        if (!r.column(n, t, w[1]) || !target || !r.column(n, target, w[3]))
            return false;
        refs.append({w[1], w[2], w[3]});
        return true;
    };

    for (int i = 0; i < lines.size(); ++i) {
        const int n = i + 1;
        const Line line = split(lines[i]);
        if (line.words.isEmpty())
            continue;
        const QStringList& w = line.words;
        const QString& word = w[0];
        if (line.indent == 0) {
            if (word != u"object" || w.size() < 2)
                return r.fail(n, QStringLiteral("expected 'object NUMBER NAME'"));
            if (!finish())
                return false;
            bool ok = false;
            const int number = w[1].toInt(&ok);
            if (!ok || number <= 0)
                return r.fail(n, QStringLiteral("'%1' is not an object number").arg(w[1]));
            if (const ObjectDefinition* earlier = this->object(number))
                return r.fail(n, QStringLiteral("object %1 is defined twice (first at %2:%3)")
                                     .arg(number)
                                     .arg(earlier->file)
                                     .arg(earlier->line));
            ObjectDefinition def;
            def.number = number;
            def.name = w.mid(2).join(u' ');
            def.file = file;
            def.line = n;
            m_objects.append(def);
            object = &m_objects.last();
            mainTable = nullptr;
            child = nullptr;
            continue;
        }
        if (!object)
            return r.fail(n, QStringLiteral("a line before any 'object' line"));
        if (line.indent == 2) {
            child = nullptr;
            if (word == u"table") {
                if (w.size() != 2 || mainTable)
                    return r.fail(n, QStringLiteral("expected one 'table TABLE' per object"));
                if (!(mainTable = r.table(n, w[1])))
                    return false;
                object->table = w[1];
            } else if (!mainTable) {
                return r.fail(n, QStringLiteral("'table' must come first"));
            } else if (word == u"key") {
                if (w.size() < 3 || w.size() > 4 || (w.size() == 4 && w[3] != u"auto"))
                    return r.fail(n, QStringLiteral("expected 'key PROPERTY COLUMN [auto]'"));
                if (!addField(n, w.mid(0, 3), object->fields, mainTable))
                    return false;
                object->keys.append(object->fields.last());
                object->autoKey = object->autoKey || w.size() == 4;
                if (object->autoKey &&
                    (object->keys.size() != 1 || !mainTable->column(w[2])->isInteger()))
                    return r.fail(n, QStringLiteral("'auto' needs one integer key"));
            } else if (word == u"field") {
                if (!addField(n, w, object->fields, mainTable))
                    return false;
            } else if (word == u"ref") {
                if (!addReference(n, w, object->references, mainTable))
                    return false;
            } else if (word == u"usedby") {
                const Schema::Table* other = w.size() == 3 ? r.table(n, w[1]) : nullptr;
                if (w.size() != 3)
                    return r.fail(n, QStringLiteral("expected 'usedby TABLE COLUMN'"));
                if (!other || !r.column(n, other, w[2]))
                    return false;
                object->usedBy.append({w[2], w[1]});
            } else if (word == u"fixedby") {
                const Schema::Table* other = w.size() >= 4 ? r.table(n, w[1]) : nullptr;
                if (w.size() < 4)
                    return r.fail(n, QStringLiteral("expected 'fixedby TABLE COLUMN COLUMN...'"));
                if (!other || !r.column(n, other, w[2]))
                    return false;
                for (const QString& fixed : w.mid(3))
                    if (!r.column(n, mainTable, fixed))
                        return false;
                object->fixedBy.append({{w[2], w[1]}, w.mid(3)});
            } else if (word == u"child") {
                if (w.size() != 2)
                    return r.fail(n, QStringLiteral("expected 'child TABLE'"));
                if (!(childTable = r.table(n, w[1])))
                    return false;
                if (object->child(w[1]) || w[1] == object->table)
                    return r.fail(n, QStringLiteral("table %1 is named twice").arg(w[1]));
                object->children.append(ObjectDefinition::Child());
                child = &object->children.last();
                child->table = w[1];
            } else {
                return r.fail(n, QStringLiteral("unknown line '%1'").arg(word));
            }
            continue;
        }
        if (line.indent != 4 || !child)
            return r.fail(n, QStringLiteral("lines of a child are indented four blanks"));
        if (word == u"link") {
            if (w.size() != 3)
                return r.fail(n, QStringLiteral("expected 'link CHILDCOLUMN PARENTCOLUMN'"));
            if (!r.column(n, childTable, w[1]) || !r.column(n, mainTable, w[2]))
                return false;
            child->links.append({w[1], w[2]});
        } else if (word == u"line") {
            if (w.size() != 2 || !r.column(n, childTable, w[1]))
                return w.size() == 2 ? false : r.fail(n, QStringLiteral("expected 'line COLUMN'"));
            child->lineColumn = w[1];
        } else if (word == u"number") {
            if (w.size() != 2)
                return r.fail(n, QStringLiteral("expected 'number COLUMN'"));
            if (!r.column(n, childTable, w[1]))
                return false;
            if (!childTable->column(w[1])->isInteger())
                return r.fail(n, QStringLiteral("'number' needs an integer column"));
            child->numberColumn = w[1];
        } else if (word == u"field") {
            if (!addField(n, w, child->fields, childTable))
                return false;
        } else if (word == u"ref") {
            if (!addReference(n, w, child->references, childTable))
                return false;
        } else {
            return r.fail(n, QStringLiteral("unknown child line '%1'").arg(word));
        }
    }
    return finish();
}

std::optional<ObjectCatalog> ObjectCatalog::load(const QString& folder, const Schema& schema,
                                                 QString* error) {
    ObjectCatalog catalog;
    const QStringList files =
        QDir(folder).entryList({QStringLiteral("*.objects")}, QDir::Files, QDir::Name);
    for (const QString& name : files) {
        QFile file(QDir(folder).filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            if (error)
                *error = QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
            return std::nullopt;
        }
        if (!catalog.addText(QString::fromUtf8(file.readAll()), name, schema, error))
            return std::nullopt;
    }
    return catalog;
}

const ObjectCatalog& ObjectCatalog::standard() {
    static const ObjectCatalog catalog = [] {
        QString error;
        std::optional<ObjectCatalog> loaded =
            load(QStringLiteral(":/ledgerline/schema"), Schema::standard(), &error);
        if (!loaded)
            throw ComError(errSchema,
                           QStringLiteral("The host's objects are broken: %1").arg(error));
        return *loaded;
    }();
    return catalog;
}

const ObjectDefinition* ObjectCatalog::object(int number) const {
    for (const ObjectDefinition& o : m_objects)
        if (o.number == number)
            return &o;
    return nullptr;
}

QStringList ObjectCatalog::referenceIndexes(const Schema& schema) const {
    QStringList statements;
    QSet<QString> made;
    const auto index = [&](const ObjectDefinition::Reference& ref) {
        const Schema::Table* table = schema.table(ref.table);
        if (!table || !table->column(ref.targetColumn))
            return;
        // A key or unique constraint that starts with the column has an
        // index already.
        if (table->key.value(0) == ref.targetColumn)
            return;
        for (const QStringList& unique : table->uniques)
            if (unique.value(0) == ref.targetColumn)
                return;
        const QString name = QStringLiteral("IX_%1_%2").arg(ref.table, ref.targetColumn);
        if (made.contains(name))
            return;
        made.insert(name);
        statements << QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
                          .arg(Schema::quoted(name), Schema::quoted(ref.table),
                               Schema::quoted(ref.targetColumn));
    };
    for (const ObjectDefinition& o : m_objects) {
        for (const ObjectDefinition::Reference& ref : o.references)
            index(ref);
        for (const ObjectDefinition::Child& child : o.children)
            for (const ObjectDefinition::Reference& ref : child.references)
                index(ref);
    }
    return statements;
}

} // namespace LLObjectsCOM
