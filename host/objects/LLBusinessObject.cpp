#include "host/objects/LLBusinessObject.h"

#include "host/objects/LLCompanyState.h"
#include "host/objects/LLPassword.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLSchema.h"
#include "tsframework/ComError.h"
#include "tsframework/TSXmlText.h"

#include <QDate>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace LLObjectsCOM {

namespace {

enum Member {
    memberGetByKey = 1,
    memberGetAsXML,
    memberReadXml,
    memberAdd,
    memberUpdate,
    memberRemove,
    memberBrowser,
    memberProperty = 1000, // + index of the property in the definition
};

const QList<std::pair<const char*, int>> kMembers{
    {"GetByKey", memberGetByKey}, {"GetAsXML", memberGetAsXML}, {"ReadXml", memberReadXml},
    {"Add", memberAdd},           {"Update", memberUpdate},     {"Remove", memberRemove},
    {"Browser", memberBrowser}};

const Schema::Column* schemaColumn(const QString& table, const QString& column) {
    const Schema::Table* t = Schema::standard().table(table);
    return t ? t->column(column) : nullptr;
}

// Document text -> SQL value of the column's type; false with the reason.
bool convert(const Schema::Column* c, const QString& column, const QString& text, QVariant& out,
             int& code, QString& why) {
    if (text.contains(QChar(0))) {
        code = errWrongType;
        why = QStringLiteral("%1 holds a NUL character").arg(column);
        return false;
    }
    const QString type = c ? c->type : QStringLiteral("nvarchar");
    if (text.isEmpty()) {
        out = (c && c->isText()) || !c ? QVariant(QStringLiteral("")) : QVariant();
        return true;
    }
    if (type == u"int" || type == u"smallint") {
        bool ok = false;
        const qlonglong v = text.trimmed().toLongLong(&ok);
        const qlonglong limit = type == u"smallint" ? 32767 : 2147483647;
        if (!ok || v > limit || v < -limit - 1) {
            code = errWrongType;
            why = QStringLiteral("%1: '%2' is not a whole number").arg(column, text.left(40));
            return false;
        }
        out = v;
        return true;
    }
    if (type == u"numeric") {
        bool ok = false;
        const double v = text.trimmed().toDouble(&ok);
        if (!ok) {
            code = errWrongType;
            why = QStringLiteral("%1: '%2' is not a number").arg(column, text.left(40));
            return false;
        }
        out = v;
        return true;
    }
    if (type == u"datetime") {
        static const QRegularExpression digits(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
        static const QRegularExpression iso(QStringLiteral(
            "^(\\d{4})-(\\d{2})-(\\d{2})(?:[ T](\\d{2}):(\\d{2}):(\\d{2})(?:\\.\\d+)?)?$"));
        QRegularExpressionMatch m = digits.match(text);
        if (!m.hasMatch())
            m = iso.match(text);
        const QDate date = m.hasMatch() ? QDate(m.captured(1).toInt(), m.captured(2).toInt(),
                                                m.captured(3).toInt())
                                        : QDate();
        if (!date.isValid()) {
            code = errWrongType;
            why = QStringLiteral("%1: '%2' is not a date").arg(column, text.left(40));
            return false;
        }
        const QString time =
            m.lastCapturedIndex() >= 6 && !m.captured(4).isEmpty()
                ? QStringLiteral("%1:%2:%3").arg(m.captured(4), m.captured(5), m.captured(6))
                : QStringLiteral("00:00:00");
        out = date.toString(QStringLiteral("yyyy-MM-dd ")) + time;
        return true;
    }
    if (type == u"image") {
        out = QByteArray::fromBase64(text.toLatin1());
        return true;
    }
    if (c && c->length > 0 && text.size() > c->length) {
        code = errTooLong;
        why = QStringLiteral("%1 takes at most %2 characters, not %3")
                  .arg(column)
                  .arg(c->length)
                  .arg(text.size());
        return false;
    }
    out = text;
    return true;
}

// SQL value -> document text of the column's type.
QString documentText(const Schema::Column* c, const QVariant& value) {
    if (c && c->type == u"datetime")
        return Recordset::dateText(value);
    return Recordset::valueText(value);
}

QString where(const QStringList& columns) {
    QStringList parts;
    for (const QString& c : columns)
        parts << Schema::quoted(c) + QStringLiteral(" = ?");
    return parts.join(QStringLiteral(" AND "));
}

} // namespace

BusinessObject::BusinessObject(std::shared_ptr<CompanyState> company,
                               const ObjectDefinition& definition)
    : m_company(std::move(company)), m_def(definition) {}

int BusinessObject::fail(int code, const QString& text) const {
    m_company->setLastError(code, text);
    return code;
}

bool BusinessObject::exec(const QString& sql, const QVariantList& values) const {
    QString why;
    if (m_company->database->exec(sql, &why, values))
        return true;
    // The database's own checks (length, NOT NULL) say no the host's way.
    int code = errInvalidArgument;
    if (why.contains(QLatin1String("CHECK constraint")))
        code = errTooLong;
    else if (why.contains(QLatin1String("NOT NULL")))
        code = errRequired;
    else if (why.contains(QLatin1String("UNIQUE")))
        code = errRecordExists;
    fail(code, why);
    return false;
}

QStringList BusinessObject::userColumns(const QString& table) const {
    QStringList columns;
    if (!m_company->connected())
        return columns;
    for (const QString& c : m_company->database->columns(table))
        if (c.startsWith(QLatin1String("U_")))
            columns << c;
    return columns;
}

QString BusinessObject::columnOf(const QString& table, const QString& property) const {
    const ObjectDefinition::Field* f = nullptr;
    if (table == m_def.table)
        f = m_def.fieldByProperty(property);
    else if (const ObjectDefinition::Child* c = m_def.child(table))
        f = c->fieldByProperty(property);
    if (f)
        return f->column;
    if (property.startsWith(QLatin1String("U_")) && userColumns(table).contains(property))
        return property;
    return {};
}

bool BusinessObject::isSecret(const QString& table, const QString& column) const {
    const ObjectDefinition::Field* f = nullptr;
    if (table == m_def.table)
        f = m_def.fieldByColumn(column);
    else if (const ObjectDefinition::Child* c = m_def.child(table))
        f = c->fieldByColumn(column);
    return f && f->secret;
}

QString BusinessObject::propertyOf(const QString& table, const QString& column) const {
    const ObjectDefinition::Field* f = nullptr;
    if (table == m_def.table)
        f = m_def.fieldByColumn(column);
    else if (const ObjectDefinition::Child* c = m_def.child(table))
        f = c->fieldByColumn(column);
    if (f)
        return f->property;
    return column.startsWith(QLatin1String("U_")) ? column : QString();
}

QList<BusinessObject::Row> BusinessObject::select(const QString& table, const QStringList& columns,
                                                  const QVariantList& values, const QString& order,
                                                  bool* ok) const {
    QList<Row> rows;
    // Only the columns the document carries: a wide "SELECT *" costs the
    // driver a description of every column on every run.
    QStringList& carried = m_selected[table];
    if (carried.isEmpty()) {
        const QList<ObjectDefinition::Field>* fields =
            table == m_def.table ? &m_def.fields
                                 : (m_def.child(table) ? &m_def.child(table)->fields : nullptr);
        QSet<QString> seen;
        if (fields)
            for (const ObjectDefinition::Field& f : *fields)
                if (!f.secret && !seen.contains(f.column)) {
                    seen.insert(f.column);
                    carried << Schema::quoted(f.column);
                }
    }
    QStringList users;
    for (const QString& u : userColumns(table))
        users << Schema::quoted(u);
    QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                      .arg((carried + users).join(u','), Schema::quoted(table), where(columns));
    if (!order.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + Schema::quoted(order);
    QString why;
    Statement* q = m_company->database->run(sql, values, &why);
    *ok = q != nullptr;
    if (!q) {
        fail(errSql, why);
        return rows;
    }
    // Which columns the document carries, and their schema types, once.
    struct Wanted {
        int index;
        QString column;
        const Schema::Column* schema;
    };
    QList<Wanted> wanted;
    for (int i = 0; i < q->columnCount(); ++i) {
        const QString column = q->columnName(i);
        if (!isSecret(table, column) && !propertyOf(table, column).isEmpty())
            wanted.append({i, column, schemaColumn(table, column)});
    }
    while (q->next()) {
        Row row;
        for (const Wanted& w : wanted)
            if (!q->isNull(w.index))
                row.insert(w.column, documentText(w.schema, q->value(w.index)));
        rows << row;
    }
    q->finish();
    return rows;
}

bool BusinessObject::GetByKey(const QVariantList& keys) {
    if (!m_company->connected())
        return fail(errNotConnected, QStringLiteral("The company is not connected")) == 0;
    if (keys.size() != m_def.keys.size())
        return fail(errInvalidArgument, QStringLiteral("Object %1 takes %2 key value(s), not %3")
                                            .arg(m_def.number)
                                            .arg(m_def.keys.size())
                                            .arg(keys.size())) == 0;
    QStringList columns;
    QVariantList values;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QString& column = m_def.keys[i].column;
        QVariant value;
        int code = 0;
        QString why;
        if (!convert(schemaColumn(m_def.table, column), m_def.keys[i].property, keys[i].toString(),
                     value, code, why))
            return fail(code, why) == 0;
        columns << column;
        values << value;
    }
    bool ok = false;
    const QList<Row> rows = select(m_def.table, columns, values, QString(), &ok);
    if (!ok)
        return false;
    if (rows.isEmpty())
        return fail(errRecordMissing, QStringLiteral("No record of object %1 with key %2")
                                          .arg(m_def.number)
                                          .arg(Recordset::valueText(keys.first()))) == 0;
    Row main = rows.first();
    QMap<QString, QList<Row>> children;
    for (const ObjectDefinition::Child& child : m_def.children) {
        QStringList links;
        QVariantList linkValues;
        if (!childLinks(child, main, links, linkValues))
            return false;
        children.insert(child.table, select(child.table, links, linkValues, child.lineColumn, &ok));
        if (!ok)
            return false;
    }
    m_main = main;
    m_children = children;
    m_company->setLastError(0, QString());
    return true;
}

QString BusinessObject::GetAsXML() const {
    const auto writeRow = [this](QString& xml, const QString& table, const Row& row,
                                 const QList<ObjectDefinition::Field>& fields) {
        xml += QLatin1String("<row>");
        QSet<QString> written;
        for (const ObjectDefinition::Field& f : fields) {
            if (!row.contains(f.column) || f.secret)
                continue;
            xml += u'<' + f.property + u'>' + TSEscapeXmlText(row.value(f.column)) +
                   QLatin1String("</") + f.property + u'>';
            written.insert(f.column);
        }
        for (auto it = row.begin(); it != row.end(); ++it) {
            if (written.contains(it.key()) || !it.key().startsWith(QLatin1String("U_")))
                continue;
            xml += u'<' + it.key() + u'>' + TSEscapeXmlText(it.value()) + QLatin1String("</") +
                   it.key() + u'>';
        }
        xml += QLatin1String("</row>");
        (void)table;
    };
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><BOM><BO><AdmInfo>"
                                 "<Object>%1</Object></AdmInfo>")
                      .arg(m_def.number);
    xml += u'<' + m_def.table + u'>';
    writeRow(xml, m_def.table, m_main, m_def.fields);
    xml += QLatin1String("</") + m_def.table + u'>';
    for (const ObjectDefinition::Child& child : m_def.children) {
        xml += u'<' + child.table + u'>';
        for (const Row& row : m_children.value(child.table))
            writeRow(xml, child.table, row, child.fields);
        xml += QLatin1String("</") + child.table + u'>';
    }
    return xml + QLatin1String("</BO></BOM>");
}

bool BusinessObject::readRows(QXmlStreamReader& xml, const QString& table, QList<Row>& rows,
                              int& code, QString& text) const {
    while (xml.readNextStartElement()) {
        if (xml.name() != u"row") {
            code = errUnknownElement;
            text = QStringLiteral("Unknown element <%1> in <%2>").arg(xml.name(), table);
            return false;
        }
        Row row;
        while (xml.readNextStartElement()) {
            const QString property = xml.name().toString();
            const QString column = columnOf(table, property);
            if (column.isEmpty()) {
                code =
                    property.startsWith(QLatin1String("U_")) ? errUnknownField : errUnknownElement;
                text = property.startsWith(QLatin1String("U_"))
                           ? QStringLiteral("Table %1 has no user-defined field %2")
                                 .arg(table, property)
                           : QStringLiteral("Object %1 has no property %2 in %3")
                                 .arg(m_def.number)
                                 .arg(property, table);
                return false;
            }
            if (row.contains(column)) {
                code = errBadDocument;
                text = QStringLiteral("Property %1 is given twice").arg(property);
                return false;
            }
            const QString value = xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
            if (xml.hasError())
                break;
            row.insert(column, value);
        }
        rows << row;
    }
    return !xml.hasError();
}

int BusinessObject::ReadXml(const QString& document, int index) {
    if (index != 0)
        return fail(errInvalidArgument, QStringLiteral("Only document index 0 exists"));
    QXmlStreamReader xml(document);
    int code = errBadDocument;
    QString text;
    Row main = m_main;
    QMap<QString, QList<Row>> children = m_children;
    QSet<QString> groups;
    const auto bad = [&](const QString& why) {
        return fail(code, why.isEmpty() ? QStringLiteral("Not a record document") : why);
    };
    if (!xml.readNextStartElement() || xml.name() != u"BOM")
        return bad(QStringLiteral("The record document's root must be <BOM>"));
    if (!xml.readNextStartElement() || xml.name() != u"BO")
        return bad(QStringLiteral("The record document has no <BO>"));
    while (xml.readNextStartElement()) {
        const QString group = xml.name().toString();
        if (group == u"AdmInfo") {
            while (xml.readNextStartElement()) {
                if (xml.name() == u"Object") {
                    const QString object = xml.readElementText();
                    if (object.trimmed() != QString::number(m_def.number)) {
                        code = errBadDocument;
                        return bad(QStringLiteral("The document is of object %1, not %2")
                                       .arg(object.left(20))
                                       .arg(m_def.number));
                    }
                } else {
                    xml.skipCurrentElement();
                }
            }
            continue;
        }
        const bool isMain = group == m_def.table;
        if (!isMain && !m_def.child(group)) {
            code = errUnknownElement;
            return bad(QStringLiteral("Object %1 has no table %2").arg(m_def.number).arg(group));
        }
        if (groups.contains(group))
            return bad(QStringLiteral("Table %1 is given twice").arg(group));
        groups.insert(group);
        QList<Row> rows;
        if (!readRows(xml, group, rows, code, text))
            return bad(xml.hasError() ? xml.errorString() : text);
        if (isMain) {
            if (rows.size() != 1)
                return bad(
                    QStringLiteral("Table %1 holds %2 rows, not one").arg(group).arg(rows.size()));
            for (auto it = rows.first().begin(); it != rows.first().end(); ++it)
                main.insert(it.key(), it.value());
        } else {
            children.insert(group, rows);
        }
    }
    if (xml.hasError())
        return bad(xml.errorString());
    m_main = main;
    m_children = children;
    m_company->setLastError(0, QString());
    return 0;
}

bool BusinessObject::sqlValues(const QString& table, const Row& row, QStringList& columns,
                               QVariantList& values) const {
    for (auto it = row.begin(); it != row.end(); ++it) {
        QVariant value;
        int code = 0;
        QString why;
        if (!convert(schemaColumn(table, it.key()), propertyOf(table, it.key()), it.value(), value,
                     code, why)) {
            fail(code, why);
            return false;
        }
        if (isSecret(table, it.key()) && !it.value().isEmpty())
            value = Password::hash(it.value());
        columns << it.key();
        values << value;
    }
    return true;
}

bool BusinessObject::checkReferences(const QString& table,
                                     const QList<ObjectDefinition::Reference>& refs,
                                     const Row& row) const {
    // One query for all of a record's references: EXISTS per reference.
    QList<const ObjectDefinition::Reference*> checked;
    QStringList probes;
    QVariantList targets;
    for (const ObjectDefinition::Reference& ref : refs) {
        const QString value = row.value(ref.column);
        if (value.isEmpty())
            continue;
        QVariant target;
        int code = 0;
        QString why;
        if (!convert(schemaColumn(ref.table, ref.targetColumn), ref.column, value, target, code,
                     why))
            return fail(code, why) == 0;
        checked << &ref;
        probes << QStringLiteral("EXISTS (SELECT 1 FROM %1 WHERE %2 = ?)")
                      .arg(Schema::quoted(ref.table), Schema::quoted(ref.targetColumn));
        targets << target;
    }
    if (checked.isEmpty())
        return true;
    QString sqlError;
    Statement* q =
        m_company->database->run(QStringLiteral("SELECT ") + probes.join(u','), targets, &sqlError);
    if (!q || !q->next())
        return fail(errSql, sqlError) == 0;
    qsizetype missing = -1;
    for (qsizetype i = 0; i < checked.size() && missing < 0; ++i)
        if (q->value(int(i)).toInt() == 0)
            missing = i;
    q->finish();
    if (missing < 0)
        return true;
    const ObjectDefinition::Reference& ref = *checked[missing];
    const QString property = propertyOf(table, ref.column);
    return fail(errReference, QStringLiteral("%1 of %2 refers to %3 '%4', which does not exist")
                                  .arg(property.isEmpty() ? ref.column : property, table, ref.table,
                                       row.value(ref.column).left(60))) == 0;
}

bool BusinessObject::keyValues(QVariantList& values) const {
    for (const ObjectDefinition::Field& key : m_def.keys) {
        QVariant v;
        int code = 0;
        QString why;
        const QString text = m_main.value(key.column);
        if (text.isEmpty())
            return fail(errRequired, QStringLiteral("The key %1 is missing").arg(key.property)) ==
                   0;
        if (!convert(schemaColumn(m_def.table, key.column), key.property, text, v, code, why))
            return fail(code, why) == 0;
        values << v;
    }
    return true;
}

bool BusinessObject::exists(const QVariantList& keys, bool* ok) const {
    QStringList columns;
    for (const ObjectDefinition::Field& key : m_def.keys)
        columns << key.column;
    QString why;
    Statement* q = m_company->database->run(QStringLiteral("SELECT 1 FROM %1 WHERE %2")
                                                .arg(Schema::quoted(m_def.table), where(columns)),
                                            keys, &why);
    *ok = q != nullptr;
    if (!q) {
        fail(errSql, why);
        return false;
    }
    const bool found = q->next();
    q->finish();
    return found;
}

bool BusinessObject::assignKey() {
    const ObjectDefinition::Field& key = m_def.keys.first();
    const QString code = QString::number(m_def.number);
    Database& db = *m_company->database;
    QString why;
    Statement* q =
        db.run(QStringLiteral("SELECT AutoKey FROM ONNM WHERE ObjectCode = ?"), {code}, &why);
    if (!q)
        return fail(errSql, why) == 0;
    const bool known = q->next();
    qlonglong next = known ? q->integer(0) : 1;
    q->finish();
    // Rows written past the counter (by SQL) must not be overwritten.
    q = db.run(QStringLiteral("SELECT MAX(%1) FROM %2")
                   .arg(Schema::quoted(key.column), Schema::quoted(m_def.table)),
               {}, &why);
    if (!q)
        return fail(errSql, why) == 0;
    if (q->next() && !q->isNull(0))
        next = std::max(next, q->integer(0) + 1);
    q->finish();
    m_main.insert(key.column, QString::number(next));
    return known ? exec(QStringLiteral("UPDATE ONNM SET AutoKey = ? WHERE ObjectCode = ?"),
                        {next + 1, code})
                 : exec(QStringLiteral("INSERT INTO ONNM (ObjectCode, AutoKey) VALUES (?, ?)"),
                        {code, next + 1});
}

bool BusinessObject::childLinks(const ObjectDefinition::Child& child, const Row& main,
                                QStringList& columns, QVariantList& values) const {
    for (const ObjectDefinition::Link& link : child.links) {
        QVariant v;
        int code = 0;
        QString why;
        if (!convert(schemaColumn(m_def.table, link.parentColumn), link.parentColumn,
                     main.value(link.parentColumn), v, code, why))
            return fail(code, why) == 0;
        columns << link.childColumn;
        values << v;
    }
    return true;
}

bool BusinessObject::numberLine(const ObjectDefinition::Child& child, Row& row) const {
    const QString column = child.numberColumn;
    const QString table = Schema::quoted(child.table);
    QString why;
    if (!row.value(column).isEmpty()) {
        Statement* q = m_company->database->run(
            QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(table, Schema::quoted(column)),
            {row.value(column).toLongLong()}, &why);
        if (!q)
            return fail(errSql, why) == 0;
        const bool taken = q->next();
        q->finish();
        if (!taken)
            return true;
    }
    Statement* q = m_company->database->run(
        QStringLiteral("SELECT IFNULL(MAX(%1), 0) + 1 FROM %2").arg(Schema::quoted(column), table),
        {}, &why);
    if (!q || !q->next())
        return fail(errSql, why) == 0;
    row.insert(column, q->value(0).toString());
    q->finish();
    return true;
}

bool BusinessObject::writeChildren(bool replace) {
    for (const ObjectDefinition::Child& child : m_def.children) {
        if (!m_children.contains(child.table))
            continue;
        QStringList linkColumns;
        QVariantList linkValues;
        if (!childLinks(child, m_main, linkColumns, linkValues))
            return false;
        if (replace && !exec(QStringLiteral("DELETE FROM %1 WHERE %2")
                                 .arg(Schema::quoted(child.table), where(linkColumns)),
                             linkValues))
            return false;
        QList<Row>& rows = m_children[child.table];
        for (qsizetype line = 0; line < rows.size(); ++line) {
            Row& row = rows[line];
            for (qsizetype i = 0; i < child.links.size(); ++i)
                row.insert(child.links[i].childColumn, m_main.value(child.links[i].parentColumn));
            if (!child.lineColumn.isEmpty())
                row.insert(child.lineColumn, QString::number(line));
            if (!child.numberColumn.isEmpty() && !numberLine(child, row))
                return false;
            if (!checkReferences(child.table, child.references, row))
                return false;
            QStringList columns;
            QVariantList values;
            if (!sqlValues(child.table, row, columns, values))
                return false;
            QStringList names, marks;
            for (const QString& c : columns) {
                names << Schema::quoted(c);
                marks << QStringLiteral("?");
            }
            if (!exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(Schema::quoted(child.table), names.join(u','), marks.join(u',')),
                      values))
                return false;
        }
    }
    return true;
}

int BusinessObject::inSavepoint(const std::function<bool()>& work) {
    if (!m_company->connected())
        return fail(errNotConnected, QStringLiteral("The company is not connected"));
    const Row main = m_main;
    const QMap<QString, QList<Row>> children = m_children;
    if (!m_company->database->exec(QStringLiteral("SAVEPOINT business_object")))
        return fail(errSql, QStringLiteral("Cannot start the write"));
    if (work()) {
        m_company->database->exec(QStringLiteral("RELEASE business_object"));
        m_company->setLastError(0, QString());
        return 0;
    }
    const int code = m_company->lastErrorCode;
    const QString text = m_company->lastErrorText;
    m_company->database->exec(QStringLiteral("ROLLBACK TO business_object"));
    m_company->database->exec(QStringLiteral("RELEASE business_object"));
    m_main = main;
    m_children = children;
    m_company->setLastError(code ? code : errInvalidArgument, text);
    return code ? code : errInvalidArgument;
}

int BusinessObject::Add() {
    if (m_def.number == UserTablesType)
        return inSavepoint([this] { return addUserTable(); });
    if (m_def.number == UserFieldsType)
        return inSavepoint([this] { return addUserField(); });
    return inSavepoint([this] {
        if (m_def.autoKey && !assignKey())
            return false;
        // Users carry a second number (alerts and menus use it): the key.
        if (schemaColumn(m_def.table, QStringLiteral("USERID")) &&
            m_main.value(QStringLiteral("USERID")).isEmpty() && m_def.keys.size() == 1)
            m_main.insert(QStringLiteral("USERID"), m_main.value(m_def.keys.first().column));
        for (const ObjectDefinition::Field& f : m_def.fields)
            if (f.required && m_main.value(f.column).isEmpty())
                return fail(errRequired, QStringLiteral("%1 is required").arg(f.property)) == 0;
        QVariantList keys;
        bool ok = false;
        if (!keyValues(keys))
            return false;
        if (exists(keys, &ok))
            return fail(errRecordExists, QStringLiteral("A record of object %1 with key %2 exists "
                                                        "already")
                                             .arg(m_def.number)
                                             .arg(Recordset::valueText(keys.first()))) == 0;
        if (!ok || !checkReferences(m_def.table, m_def.references, m_main))
            return false;
        QStringList columns;
        QVariantList values;
        if (!sqlValues(m_def.table, m_main, columns, values))
            return false;
        QStringList names, marks;
        for (const QString& c : columns) {
            names << Schema::quoted(c);
            marks << QStringLiteral("?");
        }
        return exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                        .arg(Schema::quoted(m_def.table), names.join(u','), marks.join(u',')),
                    values) &&
               writeChildren(false);
    });
}

bool BusinessObject::existingKey(QVariantList& keys) const {
    bool ok = false;
    if (!keyValues(keys))
        return false;
    if (exists(keys, &ok))
        return true;
    return ok && fail(errRecordMissing, QStringLiteral("No record of object %1 with key %2")
                                            .arg(m_def.number)
                                            .arg(Recordset::valueText(keys.first()))) == 0;
}

int BusinessObject::Update() {
    return inSavepoint([this] {
        QVariantList keys;
        if (!existingKey(keys))
            return false;
        for (const ObjectDefinition::Field& f : m_def.fields)
            if (f.required && m_main.contains(f.column) && m_main.value(f.column).isEmpty())
                return fail(errRequired, QStringLiteral("%1 is required").arg(f.property)) == 0;
        if (!checkReferences(m_def.table, m_def.references, m_main))
            return false;
        Row changes = m_main;
        QStringList keyColumns;
        for (const ObjectDefinition::Field& key : m_def.keys) {
            changes.remove(key.column);
            keyColumns << key.column;
        }
        QStringList columns;
        QVariantList values;
        if (!sqlValues(m_def.table, changes, columns, values))
            return false;
        if (!columns.isEmpty()) {
            QStringList sets;
            for (const QString& c : columns)
                sets << Schema::quoted(c) + QStringLiteral(" = ?");
            if (!exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                          .arg(Schema::quoted(m_def.table), sets.join(u','), where(keyColumns)),
                      values + keys))
                return false;
        }
        return writeChildren(true);
    });
}

bool BusinessObject::inUse(const QVariantList& keys) const {
    for (const ObjectDefinition::Link& use : m_def.usedBy) {
        Statement* q = m_company->database->run(
            QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ? LIMIT 1")
                .arg(Schema::quoted(use.parentColumn), Schema::quoted(use.childColumn)),
            {keys.first()});
        const bool found = q && q->next();
        if (q)
            q->finish();
        if (found)
            return fail(errInUse,
                        QStringLiteral("The record is still used in %1").arg(use.parentColumn)) !=
                   0;
    }
    return false;
}

int BusinessObject::Remove() {
    if (m_def.number == UserTablesType)
        return inSavepoint([this] { return removeUserTable(); });
    if (m_def.number == UserFieldsType)
        return inSavepoint([this] { return removeUserField(); });
    return inSavepoint([this] {
        QVariantList keys;
        if (!existingKey(keys) || inUse(keys))
            return false;
        for (const ObjectDefinition::Child& child : m_def.children) {
            QStringList linkColumns;
            QVariantList linkValues;
            if (!childLinks(child, m_main, linkColumns, linkValues))
                return false;
            if (!exec(QStringLiteral("DELETE FROM %1 WHERE %2")
                          .arg(Schema::quoted(child.table), where(linkColumns)),
                      linkValues))
                return false;
        }
        QStringList keyColumns;
        for (const ObjectDefinition::Field& key : m_def.keys)
            keyColumns << key.column;
        return exec(QStringLiteral("DELETE FROM %1 WHERE %2")
                        .arg(Schema::quoted(m_def.table), where(keyColumns)),
                    keys);
    });
}

QVariant BusinessObject::GetProperty(const QString& name) const {
    const QString column = columnOf(m_def.table, name);
    if (column.isEmpty())
        throw ComError(errUnknownMember,
                       QStringLiteral("Object %1 has no property %2").arg(m_def.number).arg(name));
    if (isSecret(m_def.table, column) || !m_main.contains(column))
        return QVariant();
    return m_main.value(column);
}

void BusinessObject::SetProperty(const QString& name, const QVariant& value) {
    const QString column = columnOf(m_def.table, name);
    if (column.isEmpty())
        throw ComError(errUnknownMember,
                       QStringLiteral("Object %1 has no property %2").arg(m_def.number).arg(name));
    if (value.isNull())
        m_main.remove(column);
    else
        m_main.insert(column, value.typeId() == QMetaType::Double ? Recordset::valueText(value)
                                                                  : value.toString());
}

int BusinessObject::GetIDOfName(const QString& name) const {
    if (const int id = memberId(kMembers, name); id >= 0)
        return id;
    for (qsizetype i = 0; i < m_def.fields.size(); ++i)
        if (m_def.fields[i].property.compare(name, Qt::CaseInsensitive) == 0)
            return memberProperty + int(i);
    return -1;
}

QVariant BusinessObject::Invoke(int member, const QVariantList& args) {
    switch (member) {
    case memberGetByKey:
        return GetByKey(args);
    case memberGetAsXML:
        return GetAsXML();
    case memberReadXml:
        return ReadXml(args.value(0).toString(), args.value(1).toInt());
    case memberAdd:
        return Add();
    case memberUpdate:
        return Update();
    case memberRemove:
        return Remove();
    case memberBrowser:
        // The browser reads documents into this same object.
        return QVariant::fromValue(static_cast<HostObject*>(this));
    default:
        break;
    }
    const qsizetype index = member - memberProperty;
    if (index >= 0 && index < m_def.fields.size())
        return GetProperty(m_def.fields[index].property);
    throw ComError(errUnknownMember, QStringLiteral("Unknown member %1").arg(member));
}

} // namespace LLObjectsCOM
