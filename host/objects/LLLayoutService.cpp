#include "host/objects/LLLayoutService.h"

#include "host/objects/LLBusinessObject.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompanyService.h"
#include "host/objects/LLCompanyState.h"
#include "host/objects/LLObjectCatalog.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>

#include <cmath>

namespace LLObjectsCOM {

namespace {

enum Member { memberList = 1, memberGet, memberAdd, memberUpdate };

const QList<std::pair<const char*, int>> kMembers{{"GetLayoutList", memberList},
                                                  {"GetLayout", memberGet},
                                                  {"AddLayout", memberAdd},
                                                  {"UpdateLayout", memberUpdate}};

const QString kCode = QStringLiteral("DocCode");
constexpr int kCodeLength = 8;

// Dates and the creating user are the host's to set, so the document does
// not carry them.
const ObjectDefinition& layoutDefinition() {
    static const ObjectDefinition definition =
        service::definition(QStringLiteral("object 232  PrintLayout\n"
                                           "  table RDOC\n"
                                           "  key DocCode DocCode\n"
                                           "  field Name DocName required\n"
                                           "  field TypeCode TypeCode required\n"
                                           "  field Author Author\n"
                                           "  field Remarks Notes\n"
                                           "  field Language Language\n"
                                           "  field Paper Paper\n"
                                           "  field Template Template\n"));
    return definition;
}

QString today(const CompanyState& company) {
    return company.clock().date().toString(QStringLiteral("yyyy-MM-dd 00:00:00"));
}

// A failed business-object call goes on as the host's error.
void check(CompanyState& company, int code) {
    if (code != 0)
        throw ComError(code, company.lastErrorText);
}

} // namespace

LayoutService::LayoutService(std::shared_ptr<CompanyState> company, int userSignature)
    : m_company(std::move(company)), m_userSignature(userSignature) {}

QStringList LayoutService::GetLayoutList() {
    service::requireConnected(*m_company);
    QSqlQuery q(m_company->database->connection());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT DocCode FROM RDOC ORDER BY DocCode")))
        m_company->fail(errSql, q.lastError().databaseText());
    QStringList codes;
    while (q.next())
        codes << q.value(0).toString();
    m_company->setLastError(0, QString());
    return codes;
}

QString LayoutService::GetLayout(const QString& docCode) {
    service::requireConnected(*m_company);
    BusinessObject layout(m_company, layoutDefinition());
    if (!layout.GetByKey({docCode})) {
        if (m_company->lastErrorCode == errRecordMissing)
            m_company->fail(errRecordMissing,
                            QStringLiteral("There is no print layout '%1'").arg(docCode));
        check(*m_company, m_company->lastErrorCode);
    }
    return layout.GetAsXML();
}

bool LayoutService::exists(const QString& docCode) {
    QSqlQuery q(m_company->database->connection());
    if (!Database::prepare(q, QStringLiteral("SELECT 1 FROM RDOC WHERE DocCode = ?"), {docCode}) ||
        !q.exec())
        m_company->fail(errSql, q.lastError().databaseText());
    return q.next();
}

QString LayoutService::freeCode(const QString& typeCode) {
    const QString prefix = typeCode.left(4);
    const int digits = kCodeLength - int(prefix.size());
    const int limit = int(std::pow(10, digits));
    for (int n = 1; n < limit; ++n) {
        const QString code = prefix + QString::number(n).rightJustified(digits, u'0');
        if (!exists(code))
            return code;
    }
    m_company->fail(errInvalidArgument,
                    QStringLiteral("No layout code is free for the type '%1'").arg(typeCode));
}

void LayoutService::stamp(const QString& docCode, const QVariant& createDate,
                          const QVariant& userSign) {
    QString why;
    if (!m_company->database->exec(QStringLiteral("UPDATE RDOC SET CreateDate = ?, UpdateDate = ?, "
                                                  "UserSign = ? WHERE DocCode = ?"),
                                   &why, {createDate, today(*m_company), userSign, docCode}))
        m_company->fail(errSql, why);
}

QString LayoutService::AddLayout(const QString& xml) {
    service::requireConnected(*m_company);
    QString code;
    service::atomically(*m_company, [&] {
        BusinessObject layout(m_company, layoutDefinition());
        check(*m_company, layout.ReadXml(xml, 0));
        const QString given = layout.GetProperty(kCode).toString();
        code = !given.isEmpty() && !exists(given)
                   ? given
                   : freeCode(layout.GetProperty(QStringLiteral("TypeCode")).toString());
        layout.SetProperty(kCode, code);
        check(*m_company, layout.Add());
        stamp(code, today(*m_company), m_userSignature);
    });
    return code;
}

void LayoutService::UpdateLayout(const QString& docCode, const QString& xml) {
    service::requireConnected(*m_company);
    service::atomically(*m_company, [&] {
        QSqlQuery q(m_company->database->connection());
        if (!Database::prepare(
                q,
                QStringLiteral("SELECT DocCode, CreateDate, UserSign FROM RDOC WHERE DocCode = ?"),
                {docCode}) ||
            !q.exec())
            m_company->fail(errSql, q.lastError().databaseText());
        if (!q.next())
            m_company->fail(errRecordMissing,
                            QStringLiteral("There is no print layout '%1'").arg(docCode));
        const QString stored = q.value(0).toString();
        const QVariant created = q.value(1);
        const QVariant creator = q.value(2);
        q.finish();

        BusinessObject layout(m_company, layoutDefinition());
        check(*m_company, layout.ReadXml(xml, 0));
        layout.SetProperty(kCode, stored);
        // Replacing the row, not merging into it, leaves nothing of the old
        // layout that the document does not carry.
        QString why;
        if (!m_company->database->exec(QStringLiteral("DELETE FROM RDOC WHERE DocCode = ?"), &why,
                                       {stored}))
            m_company->fail(errSql, why);
        check(*m_company, layout.Add());
        stamp(stored, created, creator);
    });
}

int LayoutService::GetIDOfName(const QString& name) const {
    return memberId(kMembers, name);
}

QVariant LayoutService::Invoke(int member, const QVariantList& args) {
    switch (member) {
    case memberList:
        return GetLayoutList();
    case memberGet:
        return GetLayout(args.value(0).toString());
    case memberAdd:
        return AddLayout(args.value(0).toString());
    case memberUpdate:
        UpdateLayout(args.value(0).toString(), args.value(1).toString());
        return QVariant();
    default:
        throw ComError(errUnknownMember, QStringLiteral("Unknown member %1").arg(member));
    }
}

} // namespace LLObjectsCOM
