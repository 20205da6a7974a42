#include "managers/MRV_ManufacturersManager.h"

using namespace Qt::StringLiterals;

MRV_ManufacturersManager::MRV_ManufacturersManager(MRV_ConnectionContext* context,
                                                   const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"FirmCode"_s};
    m_descriptionElements = {u"ManufacturerName"_s};
    m_listColumns = {u"FirmCode"_s, u"FirmName"_s};
    m_listElements = {u"Code"_s, u"ManufacturerName"_s};
    m_writeFields = {u"Code"_s, u"ManufacturerName"_s};
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OMRC"_s,
        .objectType = 43,
        .keyColumns = {u"FirmCode"_s},
        .keyElements = {u"Code"_s},
        .descriptionColumn = u"FirmName"_s,
        .descriptionElement = u"ManufacturerName"_s,
        // "- No Manufacturer -" (-1) is the host's own in every company,
        // and new items point at it: it is neither copied nor removed.
        .filter = {u"FirmCode <> -1"_s},
        // The host numbers these records itself: a record is the target's
        // record of the same name.
        .generatedKeyName = u"FirmName"_s,
    });
}
