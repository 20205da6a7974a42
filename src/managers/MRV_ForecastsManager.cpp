#include "managers/MRV_ForecastsManager.h"

using namespace Qt::StringLiterals;

MRV_ForecastsManager::MRV_ForecastsManager(MRV_ConnectionContext* context,
                                           const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"AbsID"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"AbsID"_s, u"Code"_s, u"Name"_s, u"StartDate"_s, u"EndDate"_s};
    m_listElements = {u"ForecastID"_s, u"Code"_s, u"Name"_s, u"StartDate"_s, u"EndDate"_s};
    m_writeFields = {u"Code"_s, u"Name"_s};
    m_columnFlags = {0, 0, 1, 1, 1};
    const QString lines = u"FCT1"_s;
    declareTable({
        .name = u"OFCT"_s,
        .objectType = 198,
        .keyColumns = {u"AbsID"_s},
        .keyElements = {u"ForecastID"_s},
        .descriptionColumn = u"Name"_s,
        .descriptionElement = u"Name"_s,
        .references = {MRV_Reference::byCode(u"ItemCode"_s, u"OITM"_s, u"ItemCode"_s, lines),
                       MRV_Reference::byCode(u"Warehouse"_s, u"OWHS"_s, u"WhsCode"_s, lines)},
        .generatedKeyName = u"Code"_s,
    });
}
