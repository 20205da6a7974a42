#include "managers/MRV_ProjectManager.h"

using namespace Qt::StringLiterals;

MRV_ProjectManager::MRV_ProjectManager(MRV_ConnectionContext* context, const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"PrjCode"_s};
    m_descriptionElements = {u"PrjName"_s};
    m_listColumns = {u"PrjCode"_s, u"PrjName"_s};
    m_listElements = m_listColumns;
    m_writeFields = m_listColumns;
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"OPRJ"_s,
        .keyColumns = {u"PrjCode"_s},
        .descriptionColumn = u"PrjName"_s,
        // "Replace All" never deletes a project that a business partner uses
        .removalFilter = {u"PrjCode NOT IN (SELECT ProjectCod FROM OCRD WHERE ProjectCod IS NOT "
                          u"NULL)"_s},
        // ... nor one that accounts or journal entries name.
        .usedBy = {{u"OACT"_s, u"Project"_s}, {u"OJDT"_s, u"Project"_s}, {u"JDT1"_s, u"Project"_s}},
    });
}
