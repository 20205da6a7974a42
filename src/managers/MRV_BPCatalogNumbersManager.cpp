#include "managers/MRV_BPCatalogNumbersManager.h"

using namespace Qt::StringLiterals;

MRV_BPCatalogNumbersManager::MRV_BPCatalogNumbersManager(MRV_ConnectionContext* context,
                                                         const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"ItemCode"_s, u"CardCode"_s};
    m_descriptionElements = {u"Substitute"_s};
    m_listColumns = {u"Substitute"_s};
    m_listElements = {u"Substitute"_s};
    m_writeFields = {u"ItemCode"_s, u"Substitute"_s};
    m_columnFlags = {1};
    declareTable({
        .name = u"OSCN"_s,
        .objectType = 73,
        .keyColumns = {u"ItemCode"_s, u"CardCode"_s},
        .descriptionColumn = u"Substitute"_s,
        .references = {MRV_Reference::byCode(u"ItemCode"_s, u"OITM"_s, u"ItemCode"_s),
                       MRV_Reference::byCode(u"CardCode"_s, u"OCRD"_s, u"CardCode"_s)},
    });
}
