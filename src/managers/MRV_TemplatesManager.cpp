#include "managers/MRV_TemplatesManager.h"

#include "di/MRV_BOMRecord.h"

using namespace Qt::StringLiterals;

MRV_TemplatesManager::MRV_TemplatesManager(MRV_ConnectionContext* context,
                                           const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"TmpltName"_s};
    m_descriptionElements = {u"Description"_s};
    m_listColumns = {u"TmpltName"_s, u"Descriptio"_s};
    m_listElements = {u"Name"_s, u"Description"_s};
    m_writeFields = m_listElements;
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OCTT"_s,
        .objectType = 170,
        .keyColumns = {u"TmpltName"_s},
        .keyElements = {u"Name"_s},
        .descriptionColumn = u"Descriptio"_s,
        .descriptionElement = u"Description"_s,
    });
}

void MRV_TemplatesManager::prepareRecord(int objectType, QString& xml) {
    if (objectType != 170)
        return;
    MRV_BOMRecord record;
    if (!record.parse(xml))
        return; // the host refuses it with its own reason
    MRV_BOMRecord::Group* main = record.group(MRV_BOMRecord::groupName(u"OCTT"_s));
    if (!main)
        return;
    bool removed = false;
    for (MRV_BOMRecord::Row& row : main->rows)
        removed = row.removeField(u"AttachmentEntry"_s) || removed;
    if (removed)
        xml = record.toXml();
}
