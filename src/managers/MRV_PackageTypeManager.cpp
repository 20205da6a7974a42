#include "managers/MRV_PackageTypeManager.h"

using namespace Qt::StringLiterals;

MRV_PackageTypeManager::MRV_PackageTypeManager(MRV_ConnectionContext* context,
                                               const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"PkgCode"_s};
    m_descriptionElements = {u"Type"_s};
    m_listColumns = {u"PkgCode"_s, u"PkgType"_s};
    m_listElements = {u"Code"_s, u"Type"_s};
    m_writeFields = m_listColumns;
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OPKG"_s,
        .objectType = 205,
        .keyColumns = {u"PkgCode"_s},
        .keyElements = {u"Code"_s},
        .descriptionColumn = u"PkgType"_s,
        .descriptionElement = u"Type"_s,
        // The host numbers these records itself: a record is the target's
        // record of the same name.
        .generatedKeyName = u"PkgType"_s,
    });
}
