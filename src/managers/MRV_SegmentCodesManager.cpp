#include "managers/MRV_SegmentCodesManager.h"

#include "di/MRV_CompanySql.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLHostObject.h"

#include <memory>

using namespace Qt::StringLiterals;

MRV_SegmentCodesManager::MRV_SegmentCodesManager(MRV_ConnectionContext* context,
                                                 const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"SegmentId"_s, u"Code"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"SegmentId"_s, u"Code"_s, u"Name"_s, u"ShortName"_s};
    m_listElements = {u"SegmentID"_s, u"Code"_s, u"Name"_s, u"ShortName"_s};
    m_writeFields = {u"Code"_s, u"Name"_s};
    m_columnFlags = {0, 0, 1, 1};
    declareTable({
        .name = u"OASC"_s,
        .objectType = 143,
        .keyColumns = {u"SegmentId"_s, u"Code"_s},
        .keyElements = {u"SegmentID"_s, u"Code"_s},
        .descriptionColumn = u"Name"_s,
        .descriptionElement = u"Name"_s,
    });
}

MRV_DIDataSet* MRV_SegmentCodesManager::listFromDatabase() {
    MRV_DIDataSet* listed = MRV_DIInterface::listFromDatabase();
    // A code means something only within its segment: each row says which.
    LLObjectsCOM::Company& base = baseCompany();
    const std::unique_ptr<LLObjectsCOM::HostObject> segment = base.GetBusinessObject(142);
    QHash<QString, QString> names;
    QList<MRV_DIDataSet::Row> rows = listed->rows();
    listed->clearRows();
    for (MRV_DIDataSet::Row& row : rows) {
        const QString id = MRV_CompanySql::text(row.keys.value(0));
        if (!names.contains(id))
            names.insert(id, segment->Invoke(u"GetByKey"_s, {row.keys.value(0)}).toBool()
                                 ? MRV_CompanySql::text(segment->Invoke(u"Name"_s))
                                 : QString());
        const QString name = names.value(id);
        row.description = name.isEmpty() ? row.description : name + u": "_s + row.description;
        listed->addRow(row);
    }
    return listed;
}
