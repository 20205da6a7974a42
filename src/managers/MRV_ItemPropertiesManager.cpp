#include "managers/MRV_ItemPropertiesManager.h"

using namespace Qt::StringLiterals;

MRV_ItemPropertiesManager::MRV_ItemPropertiesManager(MRV_ConnectionContext* context,
                                                     const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"ItmsTypCod"_s};
    m_descriptionElements = {u"ItmsGrpNam"_s};
    m_listColumns = {u"ItmsTypCod"_s, u"ItmsGrpNam"_s};
    m_listElements = m_listColumns;
    m_writeFields = m_listColumns;
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OITG"_s,
        .keyColumns = {u"ItmsTypCod"_s},
        .descriptionColumn = u"ItmsGrpNam"_s,
    });
}
