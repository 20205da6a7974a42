#include "managers/MRV_DunningLevelsManager.h"

using namespace Qt::StringLiterals;

MRV_DunningLevelsManager::MRV_DunningLevelsManager(MRV_ConnectionContext* context,
                                                   const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"LineNum"_s};
    m_descriptionElements = {u"LetterFormat"_s};
    m_listColumns = {u"LineNum"_s, u"LetrFormat"_s};
    m_listElements = {u"RowNumber"_s, u"LetterFormat"_s};
    m_writeFields = m_listElements;
    m_columnFlags = {0, 1};
    declareTable({
        .name = u"ODUN"_s,
        .objectType = 151,
        .keyColumns = {u"LineNum"_s},
        .keyElements = {u"RowNumber"_s},
        .descriptionColumn = u"LetrFormat"_s,
        .descriptionElement = u"LetterFormat"_s,
        .references = {{
                           .field = u"DunningTerm"_s,
                           .table = u"ODUT"_s,
                           .keyColumn = u"Code"_s,
                           .identifyingColumns = {u"Name"_s},
                       },
                       // Layout codes are handed out per company; a layout's
                       // name within its type is the same everywhere.
                       {
                           .field = u"LetterFormat"_s,
                           .table = u"RDOC"_s,
                           .keyColumn = u"DocCode"_s,
                           .identifyingColumns = {u"TypeCode"_s, u"DocName"_s},
                       }},
        // Row numbers differ between companies: a level is the target's
        // level of the same term after the same days, a new one gets the
        // row after the target's last.
        .generatedKeyName = u"Days"_s,
        .generatedKeyAlso = {{u"DunTerm"_s, u"DunningTerm"_s}},
        .highestKey = {u"SELECT LineNum FROM ODUN ORDER BY LineNum DESC"_s},
    });
    // The terms the levels belong to travel with them: no other category
    // brings them. A term is numbered per company and known by its name.
    declareTable({.name = u"ODUT"_s,
                  .keyColumns = {u"Code"_s},
                  .descriptionColumn = u"Name"_s,
                  .generatedKeyName = u"Name"_s,
                  .companion = true});
}
