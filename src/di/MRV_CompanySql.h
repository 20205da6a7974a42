#pragma once

#include "di/MRV_SQLBuilder.h"
#include "di/MRV_TableDeclaration.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

namespace LLObjectsCOM {
class Company;
}

// SQL on one company through the host's recordset, in the company's
// dialect, and what the host says about a table's fields (through its
// object 305). A failing host call throws ComError with the host's code and
// text.
class MRV_CompanySql {
public:
    struct Field {
        QString description;
        int hostType = 0; // the host's field type: 0 text, 1 memo, 2 numeric, 3 date, 4 float
    };
    struct Rows {
        QStringList names;
        QList<QVariantList> values;
    };

    explicit MRV_CompanySql(LLObjectsCOM::Company& company);

    LLObjectsCOM::Company& company() const { return m_company; }
    int serverType() const { return m_serverType; }
    // The server compares text without regard to case (the MSSQL family).
    bool comparesCaseless() const;
    // A manager's statement, or condition, in the company's dialect: its
    // own quoted text, or the plain one rewritten for the quoted dialect.
    QString statement(const MRV_Sql& sql) const;
    QString condition(const MRV_Sql& sql) const;
    MRV_SQLBuilder builder(const QString& table = QString()) const {
        return MRV_SQLBuilder(m_serverType, table);
    }
    QString column(const QString& name) const {
        return MRV_SQLBuilder::columnName(name, m_serverType);
    }
    QString table(const QString& name) const {
        return MRV_SQLBuilder::tableName(name, m_serverType);
    }

    // With parameters, they are bound to the statement's "?" in order (see
    // MRV_SQLBuilder::buildBoundSelect).
    Rows query(const QString& statement, const QVariantList& parameters = {});
    // The rows the builder's select finds, its values bound: one prepared
    // statement per table and columns, however many values it is run with.
    Rows select(const MRV_SQLBuilder& builder);
    // The rows one at a time, for results too large to hold twice.
    void forEachRow(const QString& statement, const std::function<void(const QVariantList&)>& use,
                    QStringList* names = nullptr, const QVariantList& parameters = {});
    // The rows as the recordset writes them in XML.
    QString queryXml(const QString& statement);
    void execute(const QString& statement);
    // statement with parameters bound to its "?" in order (see
    // MRV_SQLBuilder::buildBoundInsert).
    void execute(const QString& statement, const QVariantList& parameters);
    // The first value of the first row; null when there is none.
    QVariant scalar(const QString& statement);

    // The fields of a table (its columns and user-defined fields) by column
    // name; read once per table. Throws ComError for a table the company
    // does not have.
    const QHash<QString, Field>& fields(const QString& table);
    // How addCondition takes a value of the column (text when unknown).
    int valueType(const QString& table, const QString& column);
    // Conditions on the columns compare their values as one text can: no
    // date among them, whose literal the server reads its own way.
    bool comparesAsText(const QString& table, const QStringList& columns);
    // Values of the columns as conditions on them compare, one text: equal
    // texts, equal values. nullopt for a value that equals nothing (an
    // empty or malformed number).
    std::optional<QString> comparable(const QString& table, const QStringList& columns,
                                      const QStringList& values);
    // The variant type (QMetaType id) a key value of the column travels as.
    int keyType(const QString& table, const QString& column);

    // A value as the host writes it in record documents.
    static QString text(const QVariant& value);

private:
    LLObjectsCOM::Company& m_company;
    int m_serverType;
    QHash<QString, QHash<QString, Field>> m_fields;
};
