#pragma once

#include "di/MRV_BOMRecord.h"
#include "di/MRV_BOMTableList.h"
#include "di/MRV_DIInterface.h"

#include <QList>
#include <QString>
#include <QStringList>

class MRV_CompanySql;
struct MRV_TableDeclaration;

// The settings path of the record engine: a category's settings travel as
// one record whose element holds the company's name and one element per
// setting, named as the setting:
//   <BOM><DocumentSettings><CompanyName>…</CompanyName>
//     <QuotationValidDays>30</QuotationValidDays>…</DocumentSettings></BOM>
// Settings of rows keyed by document type stand in one "row" element per
// row. Writing updates the target's settings as one unit, all or none, and
// logs one line; the removal phase leaves settings alone.
class MRV_DISettings {
public:
    MRV_DISettings(MRV_DIInterface& owner, MRV_CompanySql& company,
                   const MRV_TableDeclaration& table);

    // The company's settings as a record. Throws ComError when the host
    // cannot read them.
    QString read();
    // Writes each document into the target, one log line each.
    void write(const QList<MRV_BOMDocument>& documents);

private:
    using Outcome = MRV_DIInterface::Outcome;
    using Values = QList<std::pair<QString, QString>>;

    struct Record {
        QString companyName;
        MRV_BOMRecord::Row settings; // administration information: the element's children
        QList<Values> rows;          // rows of another table
    };
    bool parse(const QString& xml, Record& record, QString& error) const;
    // The value of every setting, in the declaration's order; false with
    // the missing one named.
    bool settingsOf(const Values& values, QStringList& texts, QString& error) const;
    bool writeAdminInfo(const Record& record, Outcome& outcome);
    bool writeRows(const Record& record, Outcome& outcome);
    bool writeRow(const Values& row, QString& error);

    MRV_DIInterface& m_owner;
    MRV_CompanySql& m_sql;
    const MRV_TableDeclaration& m_table;
};
