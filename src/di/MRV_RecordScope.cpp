#include "di/MRV_RecordScope.h"

#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLRecordset.h"

MRV_RecordScope::MRV_RecordScope(LLObjectsCOM::Company& company)
    : m_company(company), m_own(!company.InTransaction()) {
    if (m_own)
        m_company.StartTransaction();
    else
        run(QStringLiteral("SAVEPOINT mrv_record"));
}

MRV_RecordScope::~MRV_RecordScope() {
    if (m_done)
        return;
    try {
        finish(false);
    } catch (const ComError&) {
        // Undoing failed as well; the connection's own rollback is all
        // that is left, and a destructor must not throw.
    }
}

void MRV_RecordScope::finish(bool ok) {
    if (m_done)
        return;
    m_done = true;
    if (m_own) {
        if (m_company.InTransaction())
            m_company.EndTransaction(ok ? 0 : 1);
        return;
    }
    if (!ok)
        run(QStringLiteral("ROLLBACK TO mrv_record"));
    run(QStringLiteral("RELEASE mrv_record"));
}

void MRV_RecordScope::run(const QString& sql) {
    m_company.GetRecordset()->DoQuery(sql);
}
