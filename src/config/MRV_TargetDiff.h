#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace LLObjectsCOM {
class Company;
}
class MRV_ConnectionContext;
class MRV_Worksheet;
struct MRV_TableDeclaration;

// What a copy run changed in a company, found by comparing the tables of
// the run's categories before and after it: the rows added, removed and
// changed, each changed row with the columns whose values differ. Rows are
// matched by the keys their category declares.
class MRV_TargetDiff {
public:
    struct Field {
        QString column;
        QString before;
        QString after;
    };
    struct Row {
        enum Kind { Added, Removed, Changed };
        QString categoryId;
        QString table;
        QString key; // the key columns' values, joined by ", "
        Kind kind = Changed;
        QList<Field> fields; // of a changed row
    };

    // The differences of the selected categories' tables between before
    // and after (companies of one server type), in category order.
    static QList<Row> compare(MRV_ConnectionContext& context, const MRV_Worksheet& worksheet,
                              LLObjectsCOM::Company& before, LLObjectsCOM::Company& after);
    // Each table of the selected categories in company: its name, its
    // columns and its rows' values as text, in key order.
    static void forEachTableIn(MRV_ConnectionContext& context, const MRV_Worksheet& worksheet,
                               LLObjectsCOM::Company& company,
                               const std::function<void(const QString&, const QStringList&,
                                                        const QList<QStringList>&)>& use);
    // Columns the host keeps itself (the time and user of the last change,
    // a record's version counter): a run that changes nothing else changes
    // them too.
    static bool kept(const QString& column);

private:
    // Each table the selected categories declare (settings excepted), once,
    // with the first category declaring it.
    static void
    forEachTable(MRV_ConnectionContext& context, const MRV_Worksheet& worksheet,
                 const std::function<void(const QString&, const MRV_TableDeclaration&)>& use);
};
