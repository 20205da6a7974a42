#include "managers/MRV_AccountSegmentationManager.h"

using namespace Qt::StringLiterals;

MRV_AccountSegmentationManager::MRV_AccountSegmentationManager(MRV_ConnectionContext* context,
                                                               const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"AbsId"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"AbsId"_s, u"Name"_s, u"Size"_s};
    m_listElements = {u"SegmentID"_s, u"Name"_s, u"Size"_s};
    m_writeFields = {u"SegmentID"_s, u"Name"_s};
    m_columnFlags = {0, 1, 1};
    declareTable({
        .name = u"OASG"_s,
        .objectType = 142,
        .keyColumns = {u"AbsId"_s},
        .keyElements = {u"SegmentID"_s},
        .descriptionColumn = u"Name"_s,
        .descriptionElement = u"Name"_s,
    });
}
