#include "managers/MRV_TerritoriesManager.h"

using namespace Qt::StringLiterals;

MRV_TerritoriesManager::MRV_TerritoriesManager(MRV_ConnectionContext* context,
                                               const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"territryID"_s};
    m_descriptionElements = {u"Description"_s};
    m_listColumns = {u"territryID"_s, u"descript"_s, u"parent"_s};
    m_listElements = {u"TerritoryID"_s, u"Description"_s, u"Parent"_s};
    m_writeFields = {u"TerritoryID"_s, u"Description"_s};
    m_columnFlags = {0, 1, 0};
    declareTable({
        .name = u"OTER"_s,
        .objectType = 200,
        .keyColumns = {u"territryID"_s},
        .keyElements = {u"TerritoryID"_s},
        .descriptionColumn = u"descript"_s,
        .descriptionElement = u"Description"_s,
        .readAll = {u"SELECT territryID FROM OTER ORDER BY parent"_s},
        // The parent's key differs between companies: it travels by the
        // parent's description. -2 is the top of the tree.
        .references = {{
            .field = u"Parent"_s,
            .table = u"OTER"_s,
            .keyColumn = u"territryID"_s,
            .identifyingColumns = {u"descript"_s},
            .keptValues = {u"-2"_s},
        }},
        // The host numbers territories itself: a territory is the one of the
        // same description in the target.
        .generatedKeyName = u"descript"_s,
        .parentColumn = u"parent"_s,
        .parentElement = u"Parent"_s,
    });
}
