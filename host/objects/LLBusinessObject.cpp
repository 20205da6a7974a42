#include "host/objects/LLBusinessObject.h"

#include "host/objects/LLComError.h"
#include "host/objects/LLCompanyState.h"
#include "host/objects/LLPassword.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLSchema.h"
#include "host/objects/LLTableShape.h"
#include "host/objects/LLXmlText.h"

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

using Kind = TableShape::Kind;

// YYYYMMDD or ISO text -> the stored "YYYY-MM-DD HH:MM:SS".
bool convertDate(const QString& name, const QString& text, QVariant& out, int& code, QString& why) {
    static const QRegularExpression digits(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    static const QRegularExpression iso(QStringLiteral(
        "^(\\d{4})-(\\d{2})-(\\d{2})(?:[ T](\\d{2}):(\\d{2}):(\\d{2})(?:\\.\\d+)?)?$"));
    QRegularExpressionMatch m = digits.match(text);
    if (!m.hasMatch())
        m = iso.match(text);
    const QDate date =
        m.hasMatch() ? QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt())
                     : QDate();
    if (!date.isValid()) {
        code = errWrongType;
        why = QStringLiteral("%1: '%2' is not a date").arg(name, text.left(40));
        return false;
    }
    const QString time =
        m.lastCapturedIndex() >= 6 && !m.captured(4).isEmpty()
            ? QStringLiteral("%1:%2:%3").arg(m.captured(4), m.captured(5), m.captured(6))
            : QStringLiteral("00:00:00");
    out = date.toString(QStringLiteral("yyyy-MM-dd ")) + time;
    return true;
}

// Document text -> SQL value of the column's kind; false with the reason.
bool convert(const TableShape::Column& c, const QString& text, QVariant& out, int& code,
             QString& why) {
    const QString& name = c.property.isEmpty() ? c.name : c.property;
    if (text.contains(QChar(0))) {
        code = errWrongType;
        why = QStringLiteral("%1 holds a NUL character").arg(name);
        return false;
    }
    if (text.isEmpty()) {
        out = c.kind == Kind::Text ? QVariant(QStringLiteral("")) : QVariant();
        return true;
    }
    switch (c.kind) {
    case Kind::Integer:
    case Kind::SmallInt: {
        bool ok = false;
        const qlonglong v = text.trimmed().toLongLong(&ok);
        const qlonglong limit = c.kind == Kind::SmallInt ? 32767 : 2147483647;
        if (!ok || v > limit || v < -limit - 1) {
            code = errWrongType;
            why = QStringLiteral("%1: '%2' is not a whole number").arg(name, text.left(40));
            return false;
        }
        out = v;
        return true;
    }
    case Kind::Numeric: {
        bool ok = false;
        const double v = text.trimmed().toDouble(&ok);
        if (!ok) {
            code = errWrongType;
            why = QStringLiteral("%1: '%2' is not a number").arg(name, text.left(40));
            return false;
        }
        out = v;
        return true;
    }
    case Kind::Date:
        return convertDate(name, text, out, code, why);
    case Kind::Image:
        out = QByteArray::fromBase64(text.toLatin1());
        return true;
    case Kind::Text:
        break;
    }
    if (c.length > 0 && text.size() > c.length) {
        code = errTooLong;
        why = QStringLiteral("%1 takes at most %2 characters, not %3")
                  .arg(name)
                  .arg(c.length)
                  .arg(text.size());
        return false;
    }
    out = text;
    return true;
}

// SQL value -> document text of the column's kind.
QString documentText(Kind kind, const QVariant& value) {
    return kind == Kind::Date ? Recordset::dateText(value) : Recordset::valueText(value);
}

// A reference's target column, for converting the value looked for.
TableShape::Column targetColumn(const TableShape& shape, const TableShape::Reference& ref) {
    TableShape::Column c = shape.columns[ref.column];
    c.kind = ref.targetKind;
    c.length = 0;
    return c;
}

// How the database said no, as the host's code.
int sqlErrorCode(const QString& why) {
    if (why.contains(QLatin1String("CHECK constraint")))
        return errTooLong;
    if (why.contains(QLatin1String("NOT NULL")))
        return errRequired;
    if (why.contains(QLatin1String("UNIQUE")))
        return errRecordExists;
    return errInvalidArgument;
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
    fail(sqlErrorCode(why), why);
    return false;
}

BusinessObject::Shape BusinessObject::shape(const QString& table) const {
    if (!m_company->connected()) {
        fail(errNotConnected, QStringLiteral("The company is not connected"));
        return nullptr;
    }
    Database& db = *m_company->database;
    std::shared_ptr<const void>& slot =
        db.structureCache(QString::number(m_def.number) + u'|' + table);
    if (!slot) {
        QString why;
        Shape made = TableShape::of(db, m_def, table, &why);
        if (!made) {
            fail(errSql, why);
            return nullptr;
        }
        slot = made;
    }
    return std::static_pointer_cast<const TableShape>(slot);
}

void BusinessObject::conform(Rows& rows, const Shape& now) const {
    if (rows.shape == now)
        return;
    for (Row& row : rows.rows) {
        Row moved(now->columns.size());
        for (qsizetype i = 0; rows.shape && i < row.size() && i < rows.shape->columns.size(); ++i)
            if (row[i])
                if (const int j = now->indexOfColumn(rows.shape->columns[i].name); j >= 0)
                    moved[j] = row[i];
        row = std::move(moved);
    }
    rows.shape = now;
}

BusinessObject::Shape BusinessObject::mainShape() const {
    const Shape now = shape(m_def.table);
    if (now) {
        if (m_main.rows.isEmpty())
            m_main.rows.append(Row(now->columns.size()));
        conform(m_main, now);
    }
    return now;
}

BusinessObject::Shape BusinessObject::lineShape(const QString& table) const {
    const Shape now = shape(table);
    if (now && m_children.contains(table))
        conform(m_children[table], now);
    return now;
}

QList<BusinessObject::Row> BusinessObject::select(const TableShape& shape,
                                                  const QVariantList& values, bool* ok) const {
    QList<Row> rows;
    Statement& q = *shape.select;
    *ok = q.exec(values);
    if (!*ok) {
        fail(errSql, q.error());
        return rows;
    }
    while (q.next()) {
        Row row(shape.columns.size());
        for (qsizetype i = 0; i < shape.selected.size(); ++i)
            if (!q.isNull(int(i))) {
                const int c = shape.selected[i];
                row[c] = documentText(shape.columns[c].kind, q.value(int(i)));
            }
        rows << std::move(row);
    }
    q.finish();
    return rows;
}

bool BusinessObject::GetByKey(const QVariantList& keys) {
    const Shape main = mainShape();
    if (!main)
        return false;
    if (keys.size() != main->keyColumns.size())
        return fail(errInvalidArgument, QStringLiteral("Object %1 takes %2 key value(s), not %3")
                                            .arg(m_def.number)
                                            .arg(main->keyColumns.size())
                                            .arg(keys.size())) == 0;
    QVariantList values;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        QVariant value;
        int code = 0;
        QString why;
        if (!convert(main->columns[main->keyColumns[i]], keys[i].toString(), value, code, why))
            return fail(code, why) == 0;
        values << value;
    }
    bool ok = false;
    Rows record{main, select(*main, values, &ok)};
    if (!ok)
        return false;
    if (record.rows.isEmpty())
        return fail(errRecordMissing, QStringLiteral("No record of object %1 with key %2")
                                          .arg(m_def.number)
                                          .arg(Recordset::valueText(keys.first()))) == 0;
    QHash<QString, Rows> children;
    for (const ObjectDefinition::Child& child : m_def.children) {
        const Shape lines = shape(child.table);
        QVariantList linkValues;
        if (!lines || !childLinks(child, *main, record.rows.first(), linkValues))
            return false;
        children.insert(child.table, Rows{lines, select(*lines, linkValues, &ok)});
        if (!ok)
            return false;
    }
    m_main = std::move(record);
    m_children = std::move(children);
    m_company->setLastError(0, QString());
    return true;
}

QString BusinessObject::GetAsXML() const {
    const auto writeRows = [](QString& xml, const QString& table, const Rows& rows) {
        xml += u'<';
        xml += table;
        xml += u'>';
        for (const Row& row : rows.rows) {
            xml += QLatin1String("<row>");
            for (const int i : rows.shape->selected) {
                if (i >= row.size() || !row[i])
                    continue;
                LLAppendXmlElement(xml, rows.shape->columns[i].property, *row[i]);
            }
            xml += QLatin1String("</row>");
        }
        xml += QLatin1String("</");
        xml += table;
        xml += u'>';
    };
    // The document shows the record as the tables stand now.
    if (!mainShape())
        return QString();
    QString xml;
    xml.reserve(4096);
    xml += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><BOM><BO><AdmInfo>"
                          "<Object>%1</Object></AdmInfo>")
               .arg(m_def.number);
    writeRows(xml, m_def.table, m_main);
    for (const ObjectDefinition::Child& child : m_def.children) {
        const Shape lines = lineShape(child.table);
        if (!lines)
            return QString();
        if (const auto it = m_children.constFind(child.table); it != m_children.cend())
            writeRows(xml, child.table, *it);
        else
            writeRows(xml, child.table, Rows{lines, {}});
    }
    xml += QLatin1String("</BO></BOM>");
    // Callers keep documents by the thousand (a copy run holds every record
    // of a category): the room reserved for building goes.
    xml.squeeze();
    return xml;
}

bool BusinessObject::readRows(QXmlStreamReader& xml, const TableShape& shape, QList<Row>& rows,
                              int& code, QString& text) const {
    while (xml.readNextStartElement()) {
        if (xml.name() != u"row") {
            code = errUnknownElement;
            text = QStringLiteral("Unknown element <%1> in <%2>").arg(xml.name(), shape.table);
            return false;
        }
        Row row(shape.columns.size());
        while (xml.readNextStartElement()) {
            const QString property = xml.name().toString();
            const int i = shape.indexOfProperty(property);
            if (i < 0) {
                const bool user = property.startsWith(QLatin1String("U_"));
                code = user ? errUnknownField : errUnknownElement;
                text = user ? QStringLiteral("Table %1 has no user-defined field %2")
                                  .arg(shape.table, property)
                            : QStringLiteral("Object %1 has no property %2 in %3")
                                  .arg(m_def.number)
                                  .arg(property, shape.table);
                return false;
            }
            if (row[i]) {
                code = errBadDocument;
                text = QStringLiteral("Property %1 is given twice").arg(property);
                return false;
            }
            row[i] = xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
            if (xml.hasError())
                break;
        }
        rows << std::move(row);
    }
    return !xml.hasError();
}

int BusinessObject::ReadXml(const QString& document, int index) {
    if (index != 0)
        return fail(errInvalidArgument, QStringLiteral("Only document index 0 exists"));
    const Shape mainNow = mainShape();
    if (!mainNow)
        return m_company->lastErrorCode;
    QXmlStreamReader xml(document);
    int code = errBadDocument;
    QString text;
    Rows main = m_main;
    QHash<QString, Rows> children = m_children;
    QSet<QString> groups;
    const auto bad = [&](const QString& why) {
        return fail(code, why.isEmpty() ? QStringLiteral("Not a record document") : why);
    };
    if (!LLReadRootElement(xml) || xml.name() != u"BOM")
        return bad(xml.hasError() ? LLXmlAt(xml, xml.errorString())
                                  : QStringLiteral("The record document's root must be <BOM>"));
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
        const Shape table = isMain ? mainNow : shape(group);
        if (!table)
            return m_company->lastErrorCode;
        QList<Row> rows;
        if (!readRows(xml, *table, rows, code, text))
            return bad(xml.hasError() ? xml.errorString() : text);
        if (isMain) {
            if (rows.size() != 1)
                return bad(
                    QStringLiteral("Table %1 holds %2 rows, not one").arg(group).arg(rows.size()));
            Row& held = main.rows.first();
            for (qsizetype i = 0; i < held.size(); ++i)
                if (rows.first()[i])
                    held[i] = rows.first()[i];
        } else {
            children.insert(group, Rows{table, rows});
        }
    }
    if (xml.hasError())
        return bad(xml.errorString());
    m_main = std::move(main);
    m_children = std::move(children);
    m_company->setLastError(0, QString());
    return 0;
}

bool BusinessObject::sqlValues(const TableShape& shape, const Row& row, QList<int>& columns,
                               QVariantList& values) const {
    for (qsizetype i = 0; i < shape.columns.size() && i < row.size(); ++i) {
        if (!row[i])
            continue;
        const TableShape::Column& c = shape.columns[i];
        QVariant value;
        int code = 0;
        QString why;
        if (!convert(c, *row[i], value, code, why)) {
            fail(code, why);
            return false;
        }
        if (c.secret && !row[i]->isEmpty())
            value = Password::hash(*row[i]);
        columns << int(i);
        values << value;
    }
    return true;
}

bool BusinessObject::checkReferences(const TableShape& shape, const Row& row) const {
    // One query for all of a record's references: EXISTS per reference.
    QList<int> checked;
    QVariantList targets;
    for (qsizetype r = 0; r < shape.references.size(); ++r) {
        const TableShape::Reference& ref = shape.references[r];
        const QString value = row[ref.column].value_or(QString());
        if (value.isEmpty())
            continue;
        QVariant target;
        int code = 0;
        QString why;
        if (!convert(targetColumn(shape, ref), value, target, code, why))
            return fail(code, why) == 0;
        checked << int(r);
        targets << target;
    }
    if (checked.isEmpty())
        return true;
    QString sqlError;
    Statement* q = shape.probe(*m_company->database, checked, &sqlError);
    if (!q || !q->exec(targets) || !q->next())
        return fail(errSql, q ? q->error() : sqlError) == 0;
    qsizetype missing = -1;
    for (qsizetype i = 0; i < checked.size() && missing < 0; ++i)
        if (q->integer(int(i)) == 0)
            missing = i;
    q->finish();
    if (missing < 0)
        return true;
    const TableShape::Reference& ref = shape.references[checked[missing]];
    const TableShape::Column& c = shape.columns[ref.column];
    return fail(errReference, QStringLiteral("%1 of %2 refers to %3 '%4', which does not exist")
                                  .arg(c.property.isEmpty() ? c.name : c.property, shape.table,
                                       ref.table, row[ref.column]->left(60))) == 0;
}

bool BusinessObject::keyValues(const TableShape& main, QVariantList& values) const {
    const Row& row = m_main.rows.first();
    for (const int k : main.keyColumns) {
        const TableShape::Column& c = main.columns[k];
        const QString text = row[k].value_or(QString());
        if (text.isEmpty())
            return fail(errRequired, QStringLiteral("The key %1 is missing").arg(c.property)) == 0;
        QVariant v;
        int code = 0;
        QString why;
        if (!convert(c, text, v, code, why))
            return fail(code, why) == 0;
        values << v;
    }
    return true;
}

bool BusinessObject::exists(const TableShape& main, const QVariantList& keys, bool* ok) const {
    Statement& q = *main.exists;
    *ok = q.exec(keys);
    if (!*ok) {
        fail(errSql, q.error());
        return false;
    }
    const bool found = q.next();
    q.finish();
    return found;
}

bool BusinessObject::assignKey(const TableShape& main) {
    const int key = main.keyColumns.first();
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
    q = db.run(QStringLiteral("SELECT MAX(%1) FROM %2").arg(main.columns[key].quoted, main.quoted),
               {}, &why);
    if (!q)
        return fail(errSql, why) == 0;
    if (q->next() && !q->isNull(0))
        next = std::max(next, q->integer(0) + 1);
    q->finish();
    m_main.rows.first()[key] = QString::number(next);
    return known ? exec(QStringLiteral("UPDATE ONNM SET AutoKey = ? WHERE ObjectCode = ?"),
                        {next + 1, code})
                 : exec(QStringLiteral("INSERT INTO ONNM (ObjectCode, AutoKey) VALUES (?, ?)"),
                        {code, next + 1});
}

bool BusinessObject::childLinks(const ObjectDefinition::Child& child, const TableShape& main,
                                const Row& row, QVariantList& values) const {
    for (const ObjectDefinition::Link& link : child.links) {
        const int i = main.indexOfColumn(link.parentColumn);
        TableShape::Column c;
        if (i >= 0)
            c = main.columns[i];
        c.name = link.parentColumn;
        QVariant v;
        int code = 0;
        QString why;
        if (!convert(c, i >= 0 ? row[i].value_or(QString()) : QString(), v, code, why))
            return fail(code, why) == 0;
        values << v;
    }
    return true;
}

bool BusinessObject::numberLine(const TableShape& lines, const ObjectDefinition::Child& child,
                                Row& row) const {
    const int number = lines.indexOfColumn(child.numberColumn);
    const QString& column = lines.columns[number].quoted;
    QString why;
    if (!row[number].value_or(QString()).isEmpty()) {
        Statement* q = m_company->database->run(
            QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(lines.quoted, column),
            {row[number]->toLongLong()}, &why);
        if (!q)
            return fail(errSql, why) == 0;
        const bool taken = q->next();
        q->finish();
        if (!taken)
            return true;
    }
    Statement* q = m_company->database->run(
        QStringLiteral("SELECT IFNULL(MAX(%1), 0) + 1 FROM %2").arg(column, lines.quoted), {},
        &why);
    if (!q || !q->next())
        return fail(errSql, why) == 0;
    row[number] = q->text(0);
    q->finish();
    return true;
}

bool BusinessObject::insertRow(const TableShape& shape, const Row& row) {
    QList<int> columns;
    QVariantList values;
    if (!sqlValues(shape, row, columns, values))
        return false;
    QString why;
    Statement* q = shape.insert(*m_company->database, columns, &why);
    if (!q)
        return fail(errSql, why) == 0;
    if (q->exec(values))
        return true;
    return fail(sqlErrorCode(q->error()), q->error()) == 0;
}

bool BusinessObject::deleteLines(const TableShape& lines, const QVariantList& linkValues) {
    QStringList where;
    for (const int k : lines.keyColumns)
        where << lines.columns[k].quoted + QStringLiteral(" = ?");
    return exec(QStringLiteral("DELETE FROM %1 WHERE %2")
                    .arg(lines.quoted, where.join(QStringLiteral(" AND "))),
                linkValues);
}

bool BusinessObject::writeChildren(const TableShape& main, bool replace) {
    const Row& parent = m_main.rows.first();
    for (const ObjectDefinition::Child& child : m_def.children) {
        if (!m_children.contains(child.table))
            continue;
        const Shape lines = lineShape(child.table);
        QVariantList linkValues;
        if (!lines || !childLinks(child, main, parent, linkValues))
            return false;
        if (replace && !deleteLines(*lines, linkValues))
            return false;
        const int lineColumn =
            child.lineColumn.isEmpty() ? -1 : lines->indexOfColumn(child.lineColumn);
        QList<Row>& rows = m_children[child.table].rows;
        for (qsizetype line = 0; line < rows.size(); ++line) {
            Row& row = rows[line];
            for (qsizetype i = 0; i < child.links.size(); ++i) {
                const int from = main.indexOfColumn(child.links[i].parentColumn);
                row[lines->keyColumns[i]] = from >= 0 ? parent[from] : std::nullopt;
            }
            if (lineColumn >= 0)
                row[lineColumn] = QString::number(line);
            if (!child.numberColumn.isEmpty() && !numberLine(*lines, child, row))
                return false;
            if (!checkReferences(*lines, row) || !insertRow(*lines, row))
                return false;
        }
    }
    return true;
}

int BusinessObject::inSavepoint(const std::function<bool(const TableShape&)>& work) {
    const Shape main = mainShape();
    if (!main)
        return m_company->lastErrorCode;
    const Rows mainRows = m_main;
    const QHash<QString, Rows> children = m_children;
    if (!m_company->database->exec(QStringLiteral("SAVEPOINT business_object")))
        return fail(errSql, QStringLiteral("Cannot start the write"));
    if (work(*main)) {
        m_company->database->exec(QStringLiteral("RELEASE business_object"));
        m_company->setLastError(0, QString());
        return 0;
    }
    const int code = m_company->lastErrorCode;
    const QString text = m_company->lastErrorText;
    m_company->database->exec(QStringLiteral("ROLLBACK TO business_object"));
    m_company->database->exec(QStringLiteral("RELEASE business_object"));
    m_main = mainRows;
    m_children = children;
    m_company->setLastError(code ? code : errInvalidArgument, text);
    return code ? code : errInvalidArgument;
}

int BusinessObject::Add() {
    if (m_def.number == UserTablesType)
        return inSavepoint([this](const TableShape& main) { return addUserTable(main); });
    if (m_def.number == UserFieldsType)
        return inSavepoint([this](const TableShape& main) { return addUserField(main); });
    return inSavepoint([this](const TableShape& main) {
        if (m_def.autoKey && !assignKey(main))
            return false;
        Row& row = m_main.rows.first();
        // Users carry a second number (alerts and menus use it): the key.
        const int userId = main.indexOfColumn(QStringLiteral("USERID"));
        if (userId >= 0 && row[userId].value_or(QString()).isEmpty() && main.keyColumns.size() == 1)
            row[userId] = row[main.keyColumns.first()];
        for (qsizetype i = 0; i < main.columns.size(); ++i)
            if (main.columns[i].required && row[i].value_or(QString()).isEmpty())
                return fail(errRequired,
                            QStringLiteral("%1 is required").arg(main.columns[i].property)) == 0;
        QVariantList keys;
        bool ok = false;
        if (!keyValues(main, keys))
            return false;
        if (exists(main, keys, &ok))
            return fail(errRecordExists, QStringLiteral("A record of object %1 with key %2 exists "
                                                        "already")
                                             .arg(m_def.number)
                                             .arg(Recordset::valueText(keys.first()))) == 0;
        return ok && checkReferences(main, row) && insertRow(main, row) &&
               writeChildren(main, false);
    });
}

bool BusinessObject::existingKey(const TableShape& main, QVariantList& keys) const {
    bool ok = false;
    if (!keyValues(main, keys))
        return false;
    if (exists(main, keys, &ok))
        return true;
    return ok && fail(errRecordMissing, QStringLiteral("No record of object %1 with key %2")
                                            .arg(m_def.number)
                                            .arg(Recordset::valueText(keys.first()))) == 0;
}

int BusinessObject::Update() {
    return inSavepoint([this](const TableShape& main) {
        QVariantList keys;
        if (!existingKey(main, keys))
            return false;
        if (m_def.number == UserFieldsType && !keepsUserFieldColumn(main, keys))
            return false;
        const Row& row = m_main.rows.first();
        for (qsizetype i = 0; i < main.columns.size(); ++i)
            if (main.columns[i].required && row[i] && row[i]->isEmpty())
                return fail(errRequired,
                            QStringLiteral("%1 is required").arg(main.columns[i].property)) == 0;
        if (!checkReferences(main, row) || !keepsFixedColumns(main, keys))
            return false;
        Row changes = row;
        QStringList where;
        for (const int k : main.keyColumns) {
            changes[k].reset();
            where << main.columns[k].quoted + QStringLiteral(" = ?");
        }
        QList<int> columns;
        QVariantList values;
        if (!sqlValues(main, changes, columns, values))
            return false;
        if (!columns.isEmpty()) {
            QStringList sets;
            for (const int c : columns)
                sets << main.columns[c].quoted + QStringLiteral(" = ?");
            if (!exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                          .arg(main.quoted, sets.join(u','), where.join(QStringLiteral(" AND "))),
                      values + keys))
                return false;
        }
        return writeChildren(main, true);
    });
}

bool BusinessObject::inUse(const QVariantList& keys) const {
    for (const ObjectDefinition::Link& use : m_def.usedBy) {
        QString why;
        Statement* q = m_company->database->run(
            QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ? LIMIT 1")
                .arg(Schema::quoted(use.parentColumn), Schema::quoted(use.childColumn)),
            {keys.first()}, &why);
        if (!q)
            return fail(errSql, why) != 0;
        const bool found = q->next();
        q->finish();
        if (found)
            return fail(errInUse,
                        QStringLiteral("The record is still used in %1").arg(use.parentColumn)) !=
                   0;
    }
    return false;
}

bool BusinessObject::keepsFixedColumns(const TableShape& main, const QVariantList& keys) const {
    const Row& row = m_main.rows.first();
    QStringList where;
    for (const int k : main.keyColumns)
        where << main.columns[k].quoted + QStringLiteral(" = ?");
    for (const ObjectDefinition::Fixed& fixed : m_def.fixedBy) {
        // The columns the document sets to another value than the stored one.
        QList<int> given;
        QStringList selected;
        for (const QString& column : fixed.columns)
            if (const int i = main.indexOfColumn(column); i >= 0 && i < row.size() && row[i]) {
                given << i;
                selected << main.columns[i].quoted;
            }
        if (given.isEmpty())
            continue;
        QString why;
        Statement* q = m_company->database->run(
            QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                .arg(selected.join(u','), main.quoted, where.join(QStringLiteral(" AND "))),
            keys, &why);
        if (!q || !q->next())
            return fail(errSql, q ? q->error() : why) == 0;
        QStringList changed;
        for (qsizetype n = 0; n < given.size(); ++n) {
            const TableShape::Column& c = main.columns[given[n]];
            QVariant value;
            int code = 0;
            QString invalid;
            if (!convert(c, *row[given[n]], value, code, invalid)) {
                q->finish();
                return fail(code, invalid) == 0;
            }
            const QString stored = q->isNull(int(n)) ? QString() : q->value(int(n)).toString();
            const QString wanted = value.isNull() ? QString() : value.toString();
            if (stored != wanted)
                changed << (c.property.isEmpty() ? c.name : c.property);
        }
        q->finish();
        if (changed.isEmpty())
            continue;
        q = m_company->database->run(
            QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ? LIMIT 1")
                .arg(Schema::quoted(fixed.use.parentColumn), Schema::quoted(fixed.use.childColumn)),
            {keys.first()}, &why);
        if (!q)
            return fail(errSql, why) == 0;
        const bool used = q->next();
        q->finish();
        if (used)
            return fail(errInUse,
                        QStringLiteral("%1 cannot change while the record is used in %2")
                            .arg(changed.join(QStringLiteral(", ")), fixed.use.parentColumn)) == 0;
    }
    return true;
}

int BusinessObject::Remove() {
    if (m_def.number == UserTablesType)
        return inSavepoint([this](const TableShape& main) { return removeUserTable(main); });
    if (m_def.number == UserFieldsType)
        return inSavepoint([this](const TableShape& main) { return removeUserField(main); });
    return inSavepoint([this](const TableShape& main) {
        QVariantList keys;
        if (!existingKey(main, keys) || inUse(keys))
            return false;
        for (const ObjectDefinition::Child& child : m_def.children) {
            const Shape lines = shape(child.table);
            QVariantList linkValues;
            if (!lines || !childLinks(child, main, m_main.rows.first(), linkValues) ||
                !deleteLines(*lines, linkValues))
                return false;
        }
        QStringList where;
        for (const int k : main.keyColumns)
            where << main.columns[k].quoted + QStringLiteral(" = ?");
        return exec(QStringLiteral("DELETE FROM %1 WHERE %2")
                        .arg(main.quoted, where.join(QStringLiteral(" AND "))),
                    keys);
    });
}

QString BusinessObject::mainValue(const TableShape& main, const QString& column) const {
    const int i = main.indexOfColumn(column);
    return i < 0 ? QString() : m_main.rows.first()[i].value_or(QString());
}

void BusinessObject::setMainValue(const TableShape& main, const QString& column,
                                  const QString& value) {
    if (const int i = main.indexOfColumn(column); i >= 0)
        m_main.rows.first()[i] = value;
}

bool BusinessObject::updateColumns(const TableShape& main, const QStringList& columns,
                                   const QVariantList& keys) {
    Row given(main.columns.size());
    for (const QString& column : columns)
        if (const int i = main.indexOfColumn(column); i >= 0)
            given[i] = m_main.rows.first()[i];
    QList<int> indexes;
    QVariantList values;
    if (!sqlValues(main, given, indexes, values))
        return false;
    if (indexes.isEmpty())
        return true;
    QStringList sets, where;
    for (const int c : indexes)
        sets << main.columns[c].quoted + QStringLiteral(" = ?");
    for (const int k : main.keyColumns)
        where << main.columns[k].quoted + QStringLiteral(" = ?");
    return exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                    .arg(main.quoted, sets.join(u','), where.join(QStringLiteral(" AND "))),
                values + keys);
}

int BusinessObject::propertyIndex(const QString& name, bool* secret) const {
    const Shape main = mainShape();
    const int i = main ? main->indexOfProperty(name) : -1;
    if (i < 0)
        throw ComError(errUnknownMember,
                       QStringLiteral("Object %1 has no property %2").arg(m_def.number).arg(name));
    *secret = main->columns[i].secret;
    return i;
}

QVariant BusinessObject::GetProperty(const QString& name) const {
    bool secret = false;
    const int i = propertyIndex(name, &secret);
    const std::optional<QString>& value = m_main.rows.first()[i];
    if (secret || !value)
        return QVariant();
    return *value;
}

void BusinessObject::SetProperty(const QString& name, const QVariant& value) {
    bool secret = false;
    const int i = propertyIndex(name, &secret);
    std::optional<QString>& held = m_main.rows.first()[i];
    if (value.isNull())
        held.reset();
    else
        held = value.typeId() == QMetaType::Double ? Recordset::valueText(value) : value.toString();
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
