#pragma once

// Makes a company hold more records of every category: each record of a
// category's own tables is repeated with new values in the columns that
// must be unique (numbers moved past the table's highest, texts given a
// suffix) and in its name, and its lines travel with it. What a record
// names elsewhere it still names, so the copies are as valid as the
// records they repeat.

#include "di/MRV_DIInterface.h"
#include "host/objects/LLCompany.h"

#include <QSet>
#include <QString>

namespace bench {

class CompanyScaler {
public:
    explicit CompanyScaler(LLObjectsCOM::Company& company) : m_company(company) {}

    // Each record of the category's tables times - 1 more times; false
    // with the reason, the company keeping what was added before.
    bool scale(MRV_DIInterface& category, int times, QString& error);
    qint64 rowsAdded() const { return m_added; }
    // Tables whose unique text columns are too short for the new values.
    const QStringList& passedOver() const { return m_passedOver; }

private:
    struct Column {
        QString name;
        QString type;
        int length = 0; // of a text column; 0 for none
        bool integer = false;
        bool text = false;
        qint64 low = 0, high = 0;
        bool alone = false;  // unique on its own, not with others
        QSet<QString> taken; // the texts it holds, case folded
        qint64 serial = 0;
    };
    struct Table {
        QString name;
        QList<Column> columns;
        QList<QStringList> unique; // the column sets that must be unique
    };
    using Map = QHash<QString, QVariant>; // "column|old value" -> new value

    bool describe(const QString& name, Table& table, QString& error);
    // The columns of table (the main table or one of its lines) that name
    // records elsewhere, upper case.
    static QSet<QString> referring(MRV_DIInterface& category, const MRV_TableDeclaration& main,
                                   const QString& table);
    // The rows matching where, repeated; mapped columns (a line's link to
    // its parent) take the parent's new value, the rows without a parent
    // repeated being left out; the new values of the columns changed go to
    // changed for lines that follow.
    bool repeat(const QString& name, const QString& where, const QSet<QString>& keep,
                const QString& describing, const QList<std::pair<QString, QString>>& links,
                const QList<Map>& parents, QList<Map>& changed, int times, QString& error);
    QVariant moved(Column& c, const QVariant& value, int k);

    LLObjectsCOM::Company& m_company;
    QSet<QString> m_done;
    qint64 m_added = 0;
    QStringList m_passedOver;
};

} // namespace bench
