#include "managers/MRV_DefaultSeriesManager.h"

using namespace Qt::StringLiterals;

MRV_DefaultSeriesManager::MRV_DefaultSeriesManager(MRV_ConnectionContext* context,
                                                   const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"ObjectCode"_s, u"DocSubType"_s, u"UserSign"_s};
    m_listColumns = {u"ObjectCode"_s, u"DocSubType"_s, u"UserSign"_s, u"Series"_s};
    m_listElements = m_listColumns;
    m_writeFields = {u"ObjectCode"_s, u"Series"_s};
    m_columnFlags = {0, 0, 0, 1};
    declareTable({
        .name = u"NNM2"_s,
        .keyColumns = {u"ObjectCode"_s, u"DocSubType"_s, u"UserSign"_s},
        .descriptionColumn = u"Series"_s,
        .references =
            {
                MRV_Reference::byName(u"UserSign"_s, u"OUSR"_s, u"INTERNAL_K"_s, {u"USER_CODE"_s}),
                // A series name is unique within its document type and
                // subtype, in the base and in the target.
                MRV_Reference::byName(u"Series"_s, u"NNM1"_s, u"Series"_s, {u"SeriesName"_s})
                    .within(
                        {{u"ObjectCode"_s, u"ObjectCode"_s}, {u"DocSubType"_s, u"DocSubType"_s}}),
            },
    });
}
