#include "managers/MRV_DefaultReportLayoutManager.h"

using namespace Qt::StringLiterals;

namespace {

const QString Layouts = u"RDFL"_s;
const QString Partner = u"CardCode"_s;

} // namespace

MRV_DefaultReportLayoutManager::MRV_DefaultReportLayoutManager(MRV_ConnectionContext* context,
                                                               const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"DoumntDode"_s, u"UserId"_s, Partner};
    m_listColumns = {u"DoumntDode"_s, u"UserId"_s, Partner, u"DfltReport"_s};
    m_listElements = m_listColumns;
    m_writeFields = {u"DoumntDode"_s, u"DfltReport"_s};
    m_columnFlags = {0, 0, 0, 1};
    declareTable({
        .name = Layouts,
        .keyColumns = {u"DoumntDode"_s, u"UserId"_s, Partner},
        .descriptionColumn = u"DfltReport"_s,
        .references =
            {
                MRV_Reference::byCode(u"DoumntDode"_s, u"RTYP"_s, u"TypeCode"_s),
                // -1 is every user.
                MRV_Reference::byName(u"UserId"_s, u"OUSR"_s, u"INTERNAL_K"_s, {u"USER_CODE"_s})
                    .keeping({u"-1"_s}),
                MRV_Reference::byCode(Partner, u"OCRD"_s, u"CardCode"_s),
                MRV_Reference::byCode(u"DfltReport"_s, u"RDOC"_s, u"DocCode"_s),
            },
    });
}

HRESULT MRV_DefaultReportLayoutManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    // A layout for no particular partner has the empty partner code, which
    // a written value would turn into no value at all: the row leaves it
    // to the column's default.
    BOMTableList own;
    for (const MRV_BOMTable& entry : tables) {
        MRV_BOMTable copy{entry.name, {}};
        for (const MRV_BOMDocument& document : entry.documents) {
            MRV_BOMRecord record;
            MRV_BOMRecord::Group* group = entry.name == Layouts && record.parse(document.xml)
                                              ? record.group(Layouts)
                                              : nullptr;
            if (!group) {
                copy.documents << document;
                continue;
            }
            for (MRV_BOMRecord::Row& row : group->rows)
                if (row.has(Partner) && row.value(Partner).isEmpty())
                    row.removeField(Partner);
            copy.documents << MRV_BOMDocument{record.toXml(), document.flag};
        }
        own << copy;
    }
    return MRV_DIInterface::writeToTarget(own, copyMethod);
}
