#include "managers/MRV_WarehousesManager.h"

#include "managers/MRV_ItemsGroupsManager.h"

using namespace Qt::StringLiterals;

MRV_WarehousesManager::MRV_WarehousesManager(MRV_ConnectionContext* context,
                                             const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"WhsCode"_s};
    m_descriptionElements = {u"WarehouseName"_s};
    m_listColumns = {u"WhsCode"_s, u"WhsName"_s, u"Location"_s, u"DropShip"_s, u"UseTax"_s,
                     u"Street"_s,  u"City"_s,    u"ZipCode"_s,  u"State"_s,    u"Country"_s};
    m_listElements = {u"WarehouseCode"_s, u"WarehouseName"_s, u"Location"_s, u"DropShip"_s,
                      u"UseTax"_s,        u"Street"_s,        u"City"_s,     u"ZipCode"_s,
                      u"State"_s,         u"Country"_s};
    m_writeFields = {u"WhsCode"_s, u"WhsName"_s};
    m_columnFlags = {0, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    QList<MRV_Reference> references{
        MRV_Reference::byName(u"Location"_s, u"OLCT"_s, u"Code"_s, {u"Location"_s})};
    for (const QString& field : MRV_ItemsGroupsManager::accountFields())
        references << MRV_Reference::account(field);
    declareTable({
        .name = u"OWHS"_s,
        .objectType = 64,
        .keyColumns = {u"WhsCode"_s},
        .keyElements = {u"WarehouseCode"_s},
        .descriptionColumn = u"WhsName"_s,
        .descriptionElement = u"WarehouseName"_s,
        // What the host refuses to remove a warehouse for.
        .removalFilter = {u"WhsCode NOT IN (SELECT WhsCode FROM OITW) AND WhsCode NOT IN (SELECT "
                          u"DfltWH FROM OITM WHERE DfltWH IS NOT NULL) AND WhsCode NOT IN (SELECT "
                          u"ToWH FROM OITT WHERE ToWH IS NOT NULL) AND WhsCode NOT IN (SELECT "
                          u"Warehouse FROM ITT1 WHERE Warehouse IS NOT NULL) AND WhsCode NOT IN "
                          u"(SELECT WhsCode FROM FCT1 WHERE WhsCode IS NOT NULL) AND WhsCode NOT "
                          u"IN (SELECT Warehouse FROM OUDG WHERE Warehouse IS NOT NULL) AND "
                          u"WhsCode NOT IN (SELECT DefaultWarehouse FROM OADM WHERE "
                          u"DefaultWarehouse IS NOT NULL)"_s},
        .references = references,
    });
}
