#include "config/MRV_ScratchTarget.h"

#include "di/MRV_Util.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLRecordset.h"
#include "tsframework/CLogBase.h"

#include <QCoreApplication>
#include <QDateTime>

namespace {

QString bracketed(const QString& name) {
    return u'[' + QString(name).replace(u']', QStringLiteral("]]")) + u']';
}

} // namespace

MRV_ScratchTarget::MRV_ScratchTarget(LLObjectsCOM::Company& target) : m_target(target) {}

MRV_ScratchTarget::~MRV_ScratchTarget() {
    if (m_company && m_company->Connected())
        m_company->Disconnect();
    m_company.reset();
    if (m_database.isEmpty())
        return;
    try {
        m_target.GetRecordset()->DoQuery(
            QStringLiteral("DROP DATABASE %1").arg(bracketed(m_database)));
    } catch (const ComError& e) {
        CLogBase(u"MRV", u"MRV_ScratchTarget")
            .LogError(u"Failed to drop '%s': %s", m_database, e.errorMessage());
    }
}

bool MRV_ScratchTarget::open(QString& why) {
    // The process and the moment make the name: two previews of one target
    // never meet.
    const QString stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmsszzz"));
    const QString name = QStringLiteral("%1_MRVPREVIEW_%2_%3")
                             .arg(m_target.CompanyDB.left(40))
                             .arg(QCoreApplication::applicationPid())
                             .arg(stamp);
    const QString file = name + QStringLiteral(".bak");
    try {
        const std::unique_ptr<LLObjectsCOM::Recordset> rs = m_target.GetRecordset();
        rs->DoQuery(QStringLiteral("BACKUP DATABASE %1 TO DISK = N'%2'")
                        .arg(bracketed(m_target.CompanyDB), file));
        rs->DoQuery(
            QStringLiteral("RESTORE DATABASE %1 FROM DISK = N'%2'").arg(bracketed(name), file));
    } catch (const ComError& e) {
        why = e.description();
        return false;
    }
    m_database = name;
    auto company = std::make_shared<LLObjectsCOM::Company>();
    MRV_Util::CopyLogin(m_target, *company);
    company->CompanyDB = name;
    // Records travel in the form the program set on the target.
    company->XmlExportType = m_target.XmlExportType;
    company->XMLAsString = m_target.XMLAsString;
    if (company->Connect() != 0) {
        why = company->GetLastErrorDescription();
        return false;
    }
    m_company = std::move(company);
    return true;
}
