#include "managers/MRV_TransportAccount.h"

#include "config/MRV_CopyLog.h"
#include "di/MRV_CompanySql.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_DIInterface.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "tsframework/CLogBase.h"

using namespace Qt::StringLiterals;

namespace {

const QString TaxDefinitionCategory = u"MRV_TRN_TAXDEFINITION_100"_s;

struct TaxObject {
    int objectType;
    QString table;
    // What names the object to the user: its code, or the name of one the
    // host numbers.
    QString keyColumn;
    QString nameColumn;
};

// In the order a tax object refers to another: authorities name their
// type, codes their authorities.
const QList<TaxObject>& taxTables() {
    static const QList<TaxObject> tables{
        {127, u"OSTT"_s, u"Name"_s, u"Name"_s},       {126, u"OSTA"_s, u"Code"_s, u"Name"_s},
        {128, u"OSTC"_s, u"Code"_s, u"Name"_s},       {5, u"OVTG"_s, u"Code"_s, u"Name"_s},
        {117, u"ODDG"_s, u"DdgCode"_s, u"DdgName"_s}, {178, u"OWHT"_s, u"WTCode"_s, u"WTName"_s},
    };
    return tables;
}

} // namespace

QString MRV_TransportAccount::code() {
    return u"MVTRANSACCT"_s;
}

QStringList MRV_TransportAccount::accountProperties(int objectType) {
    switch (objectType) {
    case 126:
        return {u"AOrPTaxAccount"_s, u"AOrRTaxAccount"_s, u"DeferredTaxAccount"_s,
                u"NonDeductibleAccount"_s, u"UseTaxAccount"_s};
    case 5:
        return {u"AquisitionTax"_s, u"DeferredTaxAcc"_s, u"NonDeductAcc"_s, u"TaxAccount"_s};
    default:
        return {u"Account"_s};
    }
}

bool MRV_TransportAccount::exists(MRV_CompanySql& target) {
    return !target
                .query(target.statement(
                    {u"SELECT AcctCode FROM OACT WHERE AcctCode = 'MVTRANSACCT'"_s,
                     u"SELECT \"AcctCode\" FROM OACT WHERE \"AcctCode\" = 'MVTRANSACCT'"_s}))
                .values.isEmpty();
}

void MRV_TransportAccount::ensure(MRV_CompanySql& target) {
    if (exists(target))
        return;
    target.execute(
        target.statement({u"INSERT INTO OACT (AcctCode, AcctName) VALUES ('MVTRANSACCT', "
                          u"'Mirrova transport account')"_s,
                          u"INSERT INTO OACT (\"AcctCode\", \"AcctName\") VALUES ('MVTRANSACCT', "
                          u"'Mirrova transport account')"_s}));
}

QList<MRV_TransportAccount::User> MRV_TransportAccount::users(MRV_CompanySql& target) {
    QList<User> found;
    for (const TaxObject& t : taxTables()) {
        const QStringList fields = accountProperties(t.objectType);
        QStringList columns{target.column(t.keyColumn), target.column(t.nameColumn)};
        QStringList conditions;
        for (const QString& field : fields) {
            columns << target.column(field);
            conditions << target.column(field) + u" = 'MVTRANSACCT'"_s;
        }
        const MRV_CompanySql::Rows rows =
            target.query(u"SELECT %1 FROM %2 WHERE %3 ORDER BY %4"_s.arg(
                columns.join(u", "_s), target.table(t.table), conditions.join(u" OR "_s),
                target.column(t.keyColumn)));
        for (const QVariantList& row : rows.values) {
            User user{t.table,
                      MRV_CompanySql::text(row.value(0)),
                      MRV_CompanySql::text(row.value(1)),
                      {}};
            for (qsizetype i = 0; i < fields.size(); ++i)
                if (MRV_CompanySql::text(row.value(2 + i)) == code())
                    user.fields << fields[i];
            found << user;
        }
    }
    return found;
}

bool MRV_TransportAccount::removeIfUnused(MRV_CompanySql& target) {
    if (!exists(target))
        return true;
    if (!users(target).isEmpty())
        return false;
    target.execute(target.statement({u"DELETE FROM OACT WHERE AcctCode = 'MVTRANSACCT'"_s,
                                     u"DELETE FROM OACT WHERE \"AcctCode\" = 'MVTRANSACCT'"_s}));
    return true;
}

void MRV_TransportAccount::settle(MRV_ConnectionContext& context) {
    CLogBase log(u"MRV", u"MRV_TransportAccount::settle");
    if (!context.targetCompany || !context.targetCompany->Connected())
        return;
    QList<User> left;
    try {
        MRV_CompanySql target(*context.targetCompany);
        if (!exists(target))
            return;
        left = users(target);
        if (left.isEmpty()) {
            removeIfUnused(target);
            return;
        }
    } catch (const ComError& e) {
        // Whether anything still points at it is not known: the user must
        // hear that the account may be left.
        log.LogError(u"The transport account %s could not be checked: %s", code(),
                     e.errorMessage());
        left = {User{u"OACT"_s, code(), u"Mirrova transport account"_s, {}}};
        left.first().fields << e.description();
    }
    for (const User& user : left) {
        const QString error =
            user.table == u"OACT"
                ? u"The transport account %1 may still be named by tax objects: %2"_s.arg(
                      code(), user.fields.join(u", "_s))
                : u"%1 %2 still points at the transport account %3 (%4): copy G/L Settings "
                  u"for Tax Setup to give it its accounts"_s.arg(user.table, user.code, code(),
                                                                 user.fields.join(u", "_s));
        log.LogError(u"%s", error);
        if (!context.copyLog)
            continue;
        try {
            MRV_CopyLog& copyLog = *context.copyLog;
            copyLog.resetRecord();
            copyLog.setCategoryId(TaxDefinitionCategory);
            copyLog.setTransactionType(MRV_DIInterface::UpdateExisting);
            copyLog.setResult(u"403"_s);
            copyLog.setBaseCode(user.code);
            copyLog.setBaseDescription(user.name);
            copyLog.setTargetCode(user.code);
            copyLog.setTargetDescription(user.name);
            copyLog.setError(error);
            copyLog.writeRecord(true);
        } catch (const MRV_CopyLog::WriteError& e) {
            log.LogError(u"%s", QString::fromLocal8Bit(e.what()));
        }
    }
}

void MRV_TransportAccount::removeAfterWrite(LLObjectsCOM::Company& company,
                                            const QString& category) {
    CLogBase log(u"MRV", u"MRV_TransportAccount::removeAfterWrite");
    try {
        MRV_CompanySql target(company);
        if (!removeIfUnused(target))
            log.LogInfo(u"%s: the transport account %s stays: tax objects still point at it",
                        category, code());
    } catch (const ComError& e) {
        log.LogError(u"%s: the transport account %s stays: %s", category, code(), e.errorMessage());
    }
}
