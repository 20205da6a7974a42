#include "di/MRV_CompanySql.h"

#include "di/MRV_Util.h"

#include "host/objects/LLCompany.h"
#include "host/objects/LLRecordset.h"

#include <QVariantMap>

#include <algorithm>

MRV_CompanySql::MRV_CompanySql(LLObjectsCOM::Company& company)
    : m_company(company), m_serverType(company.ServerType()) {}

MRV_CompanySql::Rows MRV_CompanySql::query(const QString& statement,
                                           const QVariantList& parameters) {
    Rows rows;
    forEachRow(
        statement, [&rows](const QVariantList& row) { rows.values << row; }, &rows.names,
        parameters);
    return rows;
}

MRV_CompanySql::Rows MRV_CompanySql::select(const MRV_SQLBuilder& builder) {
    QVariantList values;
    const QString statement = builder.buildBoundSelect(values);
    return query(statement, values);
}

void MRV_CompanySql::forEachRow(const QString& statement,
                                const std::function<void(const QVariantList&)>& use,
                                QStringList* names, const QVariantList& parameters) {
    const std::unique_ptr<LLObjectsCOM::Recordset> rs = m_company.GetRecordset();
    if (parameters.isEmpty())
        rs->DoQuery(statement);
    else
        rs->DoQuery(statement, parameters);
    const int fields = rs->FieldCount();
    if (names)
        for (int i = 0; i < fields; ++i)
            *names << rs->FieldName(i);
    QVariantList row;
    for (; !rs->EoF(); rs->MoveNext()) {
        row.clear();
        row.reserve(fields);
        for (int i = 0; i < fields; ++i)
            row << rs->Field(i);
        use(row);
    }
}

QString MRV_CompanySql::queryXml(const QString& statement) {
    const std::unique_ptr<LLObjectsCOM::Recordset> rs = m_company.GetRecordset();
    rs->DoQuery(statement);
    return rs->GetAsXML();
}

void MRV_CompanySql::execute(const QString& statement) {
    m_company.GetRecordset()->DoQuery(statement);
}

void MRV_CompanySql::execute(const QString& statement, const QVariantList& parameters) {
    m_company.GetRecordset()->DoQuery(statement, parameters);
}

QVariant MRV_CompanySql::scalar(const QString& statement) {
    const Rows rows = query(statement);
    return rows.values.isEmpty() || rows.values.first().isEmpty() ? QVariant()
                                                                  : rows.values.first().first();
}

const QHash<QString, MRV_CompanySql::Field>& MRV_CompanySql::fields(const QString& table) {
    const auto known = m_fields.constFind(table);
    if (known != m_fields.cend())
        return *known;
    const std::unique_ptr<LLObjectsCOM::HostObject> bridge = m_company.GetBusinessObject(305);
    QHash<QString, Field> fields;
    const QVariantList list =
        bridge->Invoke(QStringLiteral("GetFieldDescriptions"), {table}).toList();
    for (const QVariant& entry : list) {
        const QVariantMap map = entry.toMap();
        fields.insert(map.value(QStringLiteral("Name")).toString(),
                      Field{map.value(QStringLiteral("Description")).toString(),
                            map.value(QStringLiteral("Type")).toInt()});
    }
    return *m_fields.insert(table, fields);
}

int MRV_CompanySql::valueType(const QString& table, const QString& column) {
    switch (fields(table).value(column).hostType) {
    case 2:
    case 4:
        return MRV_SQLBuilder::Number;
    case 3:
        return MRV_SQLBuilder::Date;
    default:
        return MRV_SQLBuilder::Text;
    }
}

bool MRV_CompanySql::comparesCaseless() const {
    return !MRV_Util::IsOutsideMsSql(m_serverType);
}

bool MRV_CompanySql::comparesAsText(const QString& table, const QStringList& columns) {
    return std::none_of(columns.cbegin(), columns.cend(), [&](const QString& column) {
        return valueType(table, column) == MRV_SQLBuilder::Date;
    });
}

std::optional<QString> MRV_CompanySql::comparable(const QString& table, const QStringList& columns,
                                                  const QStringList& values) {
    QString text;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        QString part = values.value(i);
        if (valueType(table, columns[i]) == MRV_SQLBuilder::Number) {
            if (!MRV_SQLBuilder::isNumber(part))
                return std::nullopt;
            part = QString::number(part.toDouble(), 'g', 17);
        } else if (comparesCaseless()) {
            part = part.toCaseFolded();
        }
        // Each part with its length: no values can pass for others.
        text += QString::number(part.size()) + u':' + part;
    }
    return text;
}

int MRV_CompanySql::keyType(const QString& table, const QString& column) {
    return fields(table).value(column).hostType == 2 ? QMetaType::Int : QMetaType::QString;
}

QString MRV_CompanySql::statement(const MRV_Sql& sql) const {
    if (m_serverType != 5)
        return sql.plain;
    return sql.quoted.isEmpty() ? MRV_SQLBuilder::quoteSelect(sql.plain) : sql.quoted;
}

QString MRV_CompanySql::condition(const MRV_Sql& sql) const {
    if (m_serverType != 5)
        return sql.plain;
    return sql.quoted.isEmpty() ? MRV_SQLBuilder::quoteWhere(sql.plain) : sql.quoted;
}

QString MRV_CompanySql::text(const QVariant& value) {
    return LLObjectsCOM::Recordset::valueText(value);
}
