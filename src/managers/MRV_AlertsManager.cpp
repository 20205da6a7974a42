#include "managers/MRV_AlertsManager.h"

using namespace Qt::StringLiterals;

namespace {

// Users are numbered per company; a user code names the same user in each.
MRV_Reference user(const QString& field) {
    return MRV_Reference::byName(field, u"OUSR"_s, u"USERID"_s, {u"USER_CODE"_s});
}

} // namespace

MRV_AlertsManager::MRV_AlertsManager(MRV_ConnectionContext* context, const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"Code"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"Code"_s, u"Name"_s, u"Type"_s, u"Priority"_s};
    m_listElements = m_listColumns;
    m_writeFields = {u"Code"_s, u"Name"_s};
    m_columnFlags = {0, 1, 0, 1};
    declareTable({
        .name = u"OALT"_s,
        .keyColumns = {u"Code"_s},
        .descriptionColumn = u"Name"_s,
        // System alerts come with every company: neither copied nor removed.
        .kind = {{u"Type"_s, u"U"_s}},
        .references = {{
                           .field = u"QueryId"_s,
                           .table = u"OUQR"_s,
                           .keyColumn = u"IntrnalKey"_s,
                           .identifyingColumns = {u"QName"_s},
                       },
                       user(u"UserSign"_s)},
        .generatedKeyName = u"Name"_s,
    });
    declareTable({
        .name = u"ALT1"_s,
        .keyColumns = {u"Code"_s, u"UserSign"_s},
        .references = {user(u"UserSign"_s)},
        .parentTable = u"OALT"_s,
        .links = {{u"Code"_s, u"Code"_s}},
    });
}
