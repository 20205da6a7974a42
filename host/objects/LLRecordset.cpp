#include "host/objects/LLRecordset.h"

#include "host/objects/LLComError.h"
#include "host/objects/LLCompanyState.h"
#include "host/objects/LLServer.h"
#include "host/objects/LLSqlTranslator.h"
#include "host/objects/LLStatement.h"
#include "host/objects/LLXmlText.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>

#include <cmath>

#include <sqlite3.h>

namespace LLObjectsCOM {

Recordset::Recordset(std::shared_ptr<CompanyState> company) : m_company(std::move(company)) {}

Recordset::Recordset(std::shared_ptr<CompanyState> company, QStringList names,
                     QList<QVariantList> rows)
    : m_company(std::move(company)), m_names(std::move(names)), m_rows(std::move(rows)) {}

void Recordset::reset() {
    m_names.clear();
    m_isDate.clear();
    m_rows.clear();
    m_row = 0;
    m_rowsAffected = 0;
    if (!m_company)
        throw ComError(errNotConnected, QStringLiteral("The recordset has no company"));
    if (!m_company->connected())
        m_company->fail(errNotConnected, QStringLiteral("The company is not connected"));
}

namespace {

bool isDateType(const QString& declared) {
    return declared.compare(u"DATETEXT", Qt::CaseInsensitive) == 0 ||
           declared.compare(u"DATETIME", Qt::CaseInsensitive) == 0;
}

// SQLite's text of a statement with parameters, translated once per text.
// One that reads the clock is translated each time: the translation holds
// the moment.
QString boundSql(CompanyState& company, const QString& statement) {
    if (const auto found = company.boundStatements.constFind(statement);
        found != company.boundStatements.cend())
        return *found;
    SqlTranslator translator(company.serverType);
    translator.setClock(company.clock);
    translator.setParameters(true);
    QString sql, error;
    if (!translator.translate(statement, sql, error))
        company.fail(errSql, error);
    if (!statement.contains(u"GETDATE", Qt::CaseInsensitive) &&
        !statement.contains(u"CURRENT", Qt::CaseInsensitive)) {
        if (company.boundStatements.size() >= 512)
            company.boundStatements.clear();
        company.boundStatements.insert(statement, sql);
    }
    return sql;
}

// A statement of the MSSQL family's server that is no SQL for SQLite, of
// the shape given: @db stands for a database name (bracketed, or a plain
// identifier), @file for a plain file name of the server's backup folder.
QRegularExpression serverStatement(QString shape) {
    shape.replace(QStringLiteral("@db"), QStringLiteral(R"((?:\[([^\]\x00]+)\]|([A-Za-z0-9_]+)))"))
        .replace(QStringLiteral("@file"), QStringLiteral(R"(DISK\s*=\s*N?'([^'\\/\x00]+)')"));
    return QRegularExpression(QStringLiteral(R"(^\s*%1\s*;?\s*$)").arg(shape),
                              QRegularExpression::CaseInsensitiveOption);
}

} // namespace

bool Recordset::runServerCommand(const QString& statement) {
    static const QRegularExpression backupShape =
        serverStatement(QStringLiteral(R"(BACKUP\s+DATABASE\s+@db\s+TO\s+@file)"));
    static const QRegularExpression restoreShape =
        serverStatement(QStringLiteral(R"(RESTORE\s+DATABASE\s+@db\s+FROM\s+@file)"));
    static const QRegularExpression dropShape =
        serverStatement(QStringLiteral(R"(DROP\s+DATABASE\s+@db)"));
    const QRegularExpressionMatch backup = backupShape.match(statement);
    const QRegularExpressionMatch restore = restoreShape.match(statement);
    const QRegularExpressionMatch drop = dropShape.match(statement);
    const QRegularExpressionMatch& match = backup.hasMatch()    ? backup
                                           : restore.hasMatch() ? restore
                                                                : drop;
    if (!match.hasMatch())
        return false;
    if (m_company->serverType == 2 || m_company->serverType == 5 || !m_company->server)
        m_company->fail(errSql, QStringLiteral("The database server does not know '%1'")
                                    .arg(statement.simplified().section(u' ', 0, 1)));
    const Server& server = *m_company->server;
    Database& db = *m_company->database;
    const QString named = match.captured(1) + match.captured(2);
    const bool own =
        named.compare(QFileInfo(db.path()).completeBaseName(), Qt::CaseInsensitive) == 0;
    QString error;
    bool ok = false;
    if (backup.hasMatch()) {
        if (!own)
            m_company->fail(errSql,
                            QStringLiteral("A company backs up only itself, not '%1'").arg(named));
        if (db.inTransaction())
            m_company->fail(errSql,
                            QStringLiteral("BACKUP DATABASE is not allowed in a transaction"));
        ok = db.backup(server, backup.captured(3), m_company->clock(), nullptr, &error);
    } else if (restore.hasMatch()) {
        ok = Database::restore(server, restore.captured(3), named, &error);
    } else {
        // The company one works in stays.
        if (own)
            m_company->fail(errSql,
                            QStringLiteral("Cannot drop the company in use, '%1'").arg(named));
        ok = Database::drop(server, named, &error);
    }
    if (!ok)
        m_company->fail(errSql, error);
    m_company->setLastError(0, QString());
    return true;
}

void Recordset::DoQuery(const QString& statement, const QVariantList& parameters) {
    reset();
    const QString sql = boundSql(*m_company, statement);
    QVariantList values;
    values.reserve(parameters.size());
    for (const QVariant& value : parameters) {
        if (value.typeId() == QMetaType::QDate && !value.isNull())
            values << SqlTranslator::storageText(QDateTime(value.toDate(), QTime(0, 0)));
        else if (value.typeId() == QMetaType::QDateTime && !value.isNull())
            values << SqlTranslator::storageText(value.toDateTime());
        else
            values << value;
    }
    QString error;
    Statement* query = m_company->database->run(sql, values, &error);
    if (!query)
        m_company->fail(errSql, error);
    for (int i = 0; i < query->columnCount(); ++i) {
        m_names << query->columnName(i);
        m_isDate << isDateType(query->declaredType(i));
    }
    while (query->next()) {
        QVariantList row;
        row.reserve(m_names.size());
        for (int i = 0; i < m_names.size(); ++i)
            row << query->value(i);
        m_rows << row;
    }
    error = query->error();
    query->finish();
    if (!error.isEmpty())
        m_company->fail(errSql, error);
    m_rowsAffected = m_names.isEmpty() ? query->changes() : 0;
    m_company->setLastError(0, QString());
}

void Recordset::DoQuery(const QString& statement) {
    reset();
    if (runServerCommand(statement))
        return;

    SqlTranslator translator(m_company->serverType);
    translator.setClock(m_company->clock);
    QString sql, error;
    if (!translator.translate(statement, sql, error))
        m_company->fail(errSql, error);

    QSqlQuery query(m_company->database->connection());
    query.setForwardOnly(true);
    if (!query.exec(sql)) {
        const QSqlError e = query.lastError();
        m_company->fail(errSql, e.databaseText().isEmpty() ? e.text() : e.databaseText());
    }
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        m_names << record.fieldName(i);
    m_isDate = dateColumns(query, record.count());
    while (query.next()) {
        QVariantList row;
        row.reserve(m_names.size());
        for (int i = 0; i < m_names.size(); ++i)
            row << query.value(i);
        m_rows << row;
    }
    if (query.lastError().isValid())
        m_company->fail(errSql, query.lastError().databaseText());
    m_rowsAffected = query.isSelect() ? 0 : query.numRowsAffected();
    m_company->setLastError(0, QString());
}

QList<bool> Recordset::dateColumns(const QSqlQuery& query, int count) {
    QList<bool> dates(count, false);
    const QVariant handle = query.result()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0)
        return dates;
    sqlite3_stmt* statement = *static_cast<sqlite3_stmt* const*>(handle.constData());
    for (int i = 0; statement && i < count; ++i)
        dates[i] = isDateType(QString::fromUtf8(sqlite3_column_decltype(statement, i)));
    return dates;
}

QString Recordset::dateText(const QVariant& value) {
    // Stored as "YYYY-MM-DD HH:MM:SS"; the host hands dates out as YYYYMMDD.
    const QString text = value.toString();
    if (text.size() >= 10 && text[4] == u'-' && text[7] == u'-')
        return text.left(4) + text.mid(5, 2) + text.mid(8, 2);
    return valueText(value);
}

void Recordset::MoveNext() {
    if (m_row < m_rows.size())
        ++m_row;
}

namespace {
const QList<std::pair<const char*, int>> kRecordsetMembers{
    {"DoQuery", 1},     {"EoF", 2},        {"MoveFirst", 3}, {"MoveNext", 4},
    {"RecordCount", 5}, {"FieldCount", 6}, {"GetAsXML", 7},  {"Field", 8}};
} // namespace

int Recordset::GetIDOfName(const QString& name) const {
    return memberId(kRecordsetMembers, name);
}

QVariant Recordset::Invoke(int member, const QVariantList& args) {
    switch (member) {
    case 1:
        DoQuery(args.value(0).toString());
        return {};
    case 2:
        return EoF();
    case 3:
        MoveFirst();
        return {};
    case 4:
        MoveNext();
        return {};
    case 5:
        return RecordCount();
    case 6:
        return FieldCount();
    case 7:
        return GetAsXML();
    case 8:
        return args.value(0).typeId() == QMetaType::QString ? Field(args.value(0).toString())
                                                            : Field(args.value(0).toInt());
    default:
        throw ComError(errUnknownMember, QStringLiteral("Unknown member %1").arg(member));
    }
}

QString Recordset::FieldName(int index) const {
    if (index < 0 || index >= m_names.size())
        throw ComError(errInvalidArgument, QStringLiteral("No field %1").arg(index));
    return m_names[index];
}

QVariant Recordset::Field(int index) const {
    if (index < 0 || index >= m_names.size())
        throw ComError(errInvalidArgument, QStringLiteral("No field %1").arg(index));
    if (EoF())
        throw ComError(errInvalidArgument, QStringLiteral("No current record"));
    return m_rows[m_row][index];
}

QVariant Recordset::Field(const QString& name) const {
    const int index = fieldIndex(name);
    if (index < 0)
        throw ComError(errInvalidArgument, QStringLiteral("No field '%1'").arg(name));
    return Field(index);
}

int Recordset::fieldIndex(const QString& name) const {
    for (int i = 0; i < m_names.size(); ++i)
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString Recordset::valueText(const QVariant& value) {
    if (value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15)
            return QString::number(static_cast<qint64>(d));
        QString text = QString::number(d, 'f', 6);
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
        return text;
    }
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray().toBase64());
    default:
        return value.toString();
    }
}

namespace {

// A column of an expression ("COUNT(*)", "MAX(Code)") has a name that is
// no element name: what XML does not allow becomes "_".
QString elementName(const QString& column) {
    QString name = column;
    for (QChar& c : name) {
        if (!(c.isLetterOrNumber() || c == u'_' || c == u'-' || c == u'.'))
            c = u'_';
    }
    if (name.isEmpty() || !(name[0].isLetter() || name[0] == u'_'))
        name.prepend(u'_');
    return name;
}

} // namespace

QString Recordset::GetAsXML() const {
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>");
    QStringList elements;
    for (const QString& column : m_names)
        elements << elementName(column);
    for (const QVariantList& row : m_rows) {
        xml += QLatin1String("<row>");
        for (int i = 0; i < m_names.size(); ++i) {
            xml += u'<' + elements[i] + u'>';
            xml += LLEscapeXmlText(m_isDate.value(i) ? dateText(row[i]) : valueText(row[i]));
            xml += QLatin1String("</") + elements[i] + u'>';
        }
        xml += QLatin1String("</row>");
    }
    return xml;
}

} // namespace LLObjectsCOM
