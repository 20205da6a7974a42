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
                {.field = u"UserSign"_s,
                 .table = u"OUSR"_s,
                 .keyColumn = u"INTERNAL_K"_s,
                 .identifyingColumns = {u"USER_CODE"_s}},
                // A series name is unique within its document type and
                // subtype, in the base and in the target.
                {.field = u"Series"_s,
                 .table = u"NNM1"_s,
                 .keyColumn = u"Series"_s,
                 .identifyingColumns = {u"SeriesName"_s},
                 .matching = {{u"ObjectCode"_s, u"ObjectCode"_s},
                              {u"DocSubType"_s, u"DocSubType"_s}},
                 .matchInTarget = true},
            },
    });
}
