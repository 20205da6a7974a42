#include "managers/MRV_COATitlesManager.h"

#include "di/MRV_CompanySql.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "tsframework/CLogBase.h"

using namespace Qt::StringLiterals;

bool MRV_AccountsBySegments(LLObjectsCOM::Company& company) {
    MRV_CompanySql sql(company);
    return MRV_CompanySql::text(sql.scalar(
               sql.statement({u"SELECT EnableAccountSegmentation FROM OADM"_s}))) == u"Y";
}

bool MRV_AccountExists(LLObjectsCOM::Company& company, const QString& code) {
    MRV_CompanySql sql(company);
    MRV_SQLBuilder select = sql.builder(u"OACT"_s);
    select.addSelectColumn(u"AcctCode"_s);
    select.addCondition(u"AcctCode"_s, code, MRV_SQLBuilder::Text);
    return select.isValid() && !sql.query(select.buildSelect()).values.isEmpty();
}

MRV_TableDeclaration MRV_ChartTable(bool postable) {
    const QString which = postable ? u"Postable = 'Y'"_s : u"Postable = 'N' AND Levels <> 1"_s;
    return {
        .name = u"OACT"_s,
        .objectType = 1,
        .keyColumns = {u"AcctCode"_s},
        .keyElements = {u"Code"_s},
        .descriptionColumn = u"AcctName"_s,
        .descriptionElement = u"Name"_s,
        .filter = {which},
        .readAll = {u"SELECT AcctCode FROM OACT WHERE %1 ORDER BY Levels, FatherNum, GrpLine"_s.arg(
            which)},
        .references = {MRV_Reference::account(u"FatherAccountKey"_s)},
        .generatedKeyName = u"FormatCode"_s,
    };
}

MRV_COATitlesManager::MRV_COATitlesManager(MRV_ConnectionContext* context,
                                           const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    m_keyColumns = {u"AcctCode"_s};
    m_descriptionElements = {u"Name"_s};
    m_listColumns = {u"AcctCode"_s, u"AcctName"_s, u"Levels"_s};
    m_listElements = {u"Code"_s, u"Name"_s, u"AccountLevel"_s};
    m_writeFields = {u"Code"_s, u"Name"_s};
    m_columnFlags = {0, 1, 0};
    // A title's father is a title or drawer: titles are written parents
    // first.
    MRV_TableDeclaration titles = MRV_ChartTable(false);
    titles.parentColumn = u"FatherNum"_s;
    titles.parentElement = u"FatherAccountKey"_s;
    declareTable(titles);
}

HRESULT MRV_COATitlesManager::writeToTarget(const BOMTableList& tables, int copyMethod) {
    if (copyMethod == RemovalPhase)
        return S_OK;
    try {
        m_bySegments = MRV_AccountsBySegments(targetCompany());
    } catch (const ComError& e) {
        CLogBase(u"MRV", u"MRV_COATitlesManager::writeToTarget")
            .LogError(u"Failed to write %s: %s", getCategoryString(), e.errorMessage());
        return E_FAIL;
    }
    return MRV_DIInterface::writeToTarget(tables, copyMethod);
}

bool MRV_COATitlesManager::resolveTargetKey(const QString& name, const QString& table,
                                            QString& key) {
    const QString own = key;
    const bool found = MRV_DIInterface::resolveTargetKey(name, table, key);
    if (found || table != u"OACT")
        return found;
    // A new title keeps its code.
    key = own;
    return !m_bySegments && MRV_AccountExists(targetCompany(), own);
}
