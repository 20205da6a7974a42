#include "managers/MRV_AlternativeItemsManager.h"

using namespace Qt::StringLiterals;

MRV_AlternativeItemsManager::MRV_AlternativeItemsManager(MRV_ConnectionContext* context,
                                                         const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"OrigItem"_s, u"AltItem"_s};
    m_descriptionElements = {u"Match"_s};
    m_listColumns = {u"OrigItem"_s, u"AltItem"_s, u"Match"_s};
    m_listElements = m_listColumns;
    m_columnFlags = {0, 0, 1};
    const auto item = [](const QString& field) {
        return MRV_Reference::byCode(field, u"OITM"_s, u"ItemCode"_s);
    };
    declareTable({
        .name = u"OALI"_s,
        .keyColumns = {u"OrigItem"_s, u"AltItem"_s},
        .descriptionColumn = u"Match"_s,
        .references = {item(u"OrigItem"_s), item(u"AltItem"_s)},
    });
}
