#include "ManagerTestSupport.h"
#include "di/MRV_DIFailureAbortException.h"
#include "managers/MRV_TaxDefinitionManager.h"

using namespace Qt::StringLiterals;

namespace {

const QString TaxDefinition = u"MRV_TRN_TAXDEFINITION_100"_s;
const QString TaxSetup = u"MRV_TRN_GLTAXDEFSETTINGS_100"_s;
const QString BankSettings = u"MRV_TRN_GLBANKSETTINGS_100"_s;
const QString HouseBanks = u"MRV_TRN_HOUSEBANKACCOUNTS_100"_s;

struct AccountField {
    const char* table;
    const char* key;
    const char* field;
};
const QList<AccountField> taxAccountFields{{"OSTT", "Name", "Account"},
                                           {"OSTA", "Code", "AOrRTaxAccount"},
                                           {"OSTA", "Code", "AOrPTaxAccount"},
                                           {"OSTA", "Code", "UseTaxAccount"},
                                           {"OSTA", "Code", "DeferredTaxAccount"},
                                           {"OSTA", "Code", "NonDeductibleAccount"},
                                           {"OSTC", "Code", "Account"},
                                           {"OVTG", "Code", "TaxAccount"},
                                           {"OVTG", "Code", "AquisitionTax"},
                                           {"OVTG", "Code", "DeferredTaxAcc"},
                                           {"OVTG", "Code", "NonDeductAcc"},
                                           {"ODDG", "DdgCode", "Account"},
                                           {"OWHT", "WTCode", "Account"}};

// Each account field of a table as (record, formatted code of its account).
QString formattedAccounts(const char* table, const char* key, const char* field) {
    return u"SELECT t.%2, a.FormatCode FROM %1 t LEFT JOIN OACT a ON a.AcctCode = t.%3 "
           u"ORDER BY 1"_s.arg(QLatin1String(table), QLatin1String(key), QLatin1String(field));
}

// The tax objects that have an account at all.
const QString objectsWithAccounts =
    u"SELECT Name FROM OSTT WHERE Account IS NOT NULL UNION ALL SELECT Code FROM OSTA UNION ALL "
    u"SELECT Code FROM OSTC WHERE Account IS NOT NULL UNION ALL SELECT Code FROM OVTG UNION ALL "
    u"SELECT DdgCode FROM ODDG WHERE Account IS NOT NULL UNION ALL SELECT WTCode FROM OWHT "
    u"WHERE Account IS NOT NULL"_s;

} // namespace

// The base's chart of accounts in the target under other account codes:
// the copy must go by formatted codes.
class FinanceTax : public ManagerOnServer {
protected:
    void SetUp() override {
        ManagerOnServer::SetUp();
        accountsOf(*base, *target, u"SELECT AcctCode FROM OACT WHERE Postable = 'Y'"_s);
    }
    qsizetype transportAccounts() {
        return rows(*target, u"SELECT 1 FROM OACT WHERE AcctCode = 'MVTRANSACCT'"_s).size();
    }
    // The failed lines the end of a run wrote about the transport account.
    QStringList namedAtTheEnd(qsizetype from) {
        QStringList named;
        const QList<QStringList> records = logRecords();
        for (qsizetype i = from; i < records.size(); ++i) {
            EXPECT_EQ(records[i][Category], TaxDefinition);
            EXPECT_EQ(records[i][Result], u"403"_s);
            EXPECT_TRUE(records[i][Error].contains(u"still points at the transport account"_s))
                << records[i][Error].toStdString();
            named << records[i][BaseCode];
        }
        named.sort();
        return named;
    }
    // Every tax object's accounts by formatted code, as the base has them.
    void expectTheBasesAccounts() {
        for (const AccountField& f : taxAccountFields)
            EXPECT_EQ(rows(*target, formattedAccounts(f.table, f.key, f.field)),
                      rows(*base, formattedAccounts(f.table, f.key, f.field)))
                << f.table << '.' << f.field;
    }
};

TEST_P(FinanceTax, NewTaxObjectsWaitOnTheTransportAccountUntilTheirAccountsArrive) {
    // G/L Settings for Tax Setup only updates: into the empty target it
    // brings the indicators and nothing else.
    EXPECT_EQ(copy(TaxSetup, MRV_DIInterface::AddNew), S_FALSE);
    expectSame(u"SELECT Code FROM OIND ORDER BY 1"_s);
    EXPECT_TRUE(rows(*target, u"SELECT 1 FROM OSTA UNION ALL SELECT 1 FROM OVTG"_s).isEmpty());
    EXPECT_EQ(logged(u"212"_s, u"402"_s), rows(*base, u"SELECT 1 FROM OIND"_s).size());

    // Tax definitions alone: every account of a new object is the
    // transport account, which exists once; the end of the run names each
    // object that points at it.
    ASSERT_EQ(copy(TaxDefinition, MRV_DIInterface::AddAndUpdate), S_OK);
    EXPECT_EQ(transportAccounts(), 1);
    for (const AccountField& f : taxAccountFields) {
        const QString sql = u"SELECT COUNT(*) FROM %1 WHERE %2 IS NOT NULL"_s.arg(
            QLatin1String(f.table), QLatin1String(f.field));
        EXPECT_EQ(value(*target, sql + u" AND %1 = 'MVTRANSACCT'"_s.arg(QLatin1String(f.field))),
                  value(*base, sql))
            << f.table << '.' << f.field;
    }
    qsizetype mark = logRecords().size();
    MRV_TransportAccount::settle(context);
    QStringList withAccounts = column(*base, objectsWithAccounts);
    withAccounts.sort();
    EXPECT_EQ(namedAtTheEnd(mark), withAccounts);
    EXPECT_EQ(transportAccounts(), 1);

    // G/L Settings for Tax Setup gives every object its own accounts, by
    // formatted code, and the transport account goes: nothing is named.
    ASSERT_EQ(copy(TaxSetup, MRV_DIInterface::UpdateExisting), S_OK);
    EXPECT_EQ(transportAccounts(), 0);
    expectTheBasesAccounts();
    mark = logRecords().size();
    MRV_TransportAccount::settle(context);
    EXPECT_EQ(logRecords().size(), mark);

    // A rerun with "Add New Records and Update Existing Records" adds and
    // fails nothing, and existing objects keep their accounts.
    mark = logRecords().size();
    ASSERT_EQ(copy(TaxDefinition, MRV_DIInterface::AddAndUpdate), S_OK);
    expectOnlyUpdates(mark);
    EXPECT_EQ(transportAccounts(), 0);
    expectTheBasesAccounts();
    const QString lines = u"SELECT l.STCCode, l.STACode, t.Name, x.Name FROM STC1 l LEFT JOIN "
                          u"OSTT t ON t.AbsId = l.STAType LEFT JOIN OSTT x ON x.AbsId = "
                          u"l.STATaxOnTaxType ORDER BY 1, 2"_s;
    expectSame(lines);
}

TEST_P(FinanceTax, ARunStoppedBetweenNamesWhatStillPointsAtTheTransportAccount) {
    ASSERT_EQ(copy(TaxDefinition, MRV_DIInterface::AddNew), S_OK);
    // The output VAT groups' tax account is gone from the target: the first
    // of them fails, and the run stops there.
    const QString taxAccount = value(*base, u"SELECT a.FormatCode FROM OVTG v JOIN OACT a ON "
                                            u"a.AcctCode = v.TaxAccount WHERE v.Code = 'O1'"_s)
                                   .toString();
    ASSERT_FALSE(taxAccount.isEmpty());
    exec(*target, u"DELETE FROM OACT WHERE FormatCode = '%1'"_s.arg(taxAccount));
    context.responseToFailure = 2;
    EXPECT_THROW(copy(TaxSetup, MRV_DIInterface::UpdateExisting), MRV_DIFailureAbortException);
    const qsizetype mark = logRecords().size();
    MRV_TransportAccount::settle(context);
    // What the run did not reach is named, each once: the deduction groups
    // and withholding codes after the VAT groups among them; the objects
    // before them have their accounts.
    QStringList pointing;
    for (const AccountField& f : taxAccountFields)
        for (const QString& code :
             column(*target,
                    u"SELECT %1 FROM %2 WHERE %3 = 'MVTRANSACCT'"_s.arg(
                        QLatin1String(f.key), QLatin1String(f.table), QLatin1String(f.field))))
            if (!pointing.contains(code))
                pointing << code;
    pointing.sort();
    EXPECT_TRUE(pointing.contains(u"CONTR10"_s) && pointing.contains(u"W10"_s))
        << pointing.join(u' ').toStdString();
    EXPECT_FALSE(pointing.contains(u"CA"_s));
    EXPECT_EQ(namedAtTheEnd(mark), pointing);
    EXPECT_EQ(transportAccounts(), 1);
}

INSTANTIATE_TEST_SUITE_P(ServerTypes, FinanceTax, ::testing::Values(6, 5), anyServerTypeName);

// House bank accounts arrive at the target's banks, numbered from the
// host's counter, with their accounts by formatted code; each bank gets its
// default account; G/L Settings for Banks then only updates.
TEST_P(FinanceTax, HouseBankAccountsArriveAtTheTargetsBanksAndTheirSettingsOnlyUpdate) {
    banks(*base, *target);
    // The payment templates the target lacks, under other codes.
    addRows(*base, *target,
            u"SELECT DocName, TypeCode FROM RDOC WHERE DocCode IN (SELECT Template FROM DSC1)"_s,
            u"INSERT INTO RDOC (DocCode, DocName, TypeCode) VALUES ('P%1', %2, %3)"_s,
            u"SELECT DocName, TypeCode FROM RDOC"_s);
    const QString accounts =
        u"SELECT d.BankCode, d.Country, d.Account, d.AccNo, d.AcctName, g.FormatCode, "
        u"i.FormatCode, r.DocName, b.BankName FROM DSC1 d JOIN ODSC b ON b.AbsEntry = d.BankKey "
        u"LEFT JOIN OACT g ON g.AcctCode = d.GLAccount LEFT JOIN OACT i ON i.AcctCode = "
        u"d.GLInterimAccount LEFT JOIN RDOC r ON r.DocCode = d.Template ORDER BY 1, 3"_s;
    const QString defaults = u"SELECT b.BankCode, b.DfltAcct, d.Account FROM ODSC b LEFT JOIN "
                             u"DSC1 d ON d.AbsEntry = b.DfltActKey ORDER BY 1"_s;
    EXPECT_EQ(copy(BankSettings, MRV_DIInterface::AddNew), S_FALSE);
    EXPECT_TRUE(rows(*target, u"SELECT 1 FROM DSC1"_s).isEmpty());

    const qsizetype count = rows(*base, u"SELECT 1 FROM DSC1"_s).size();
    ASSERT_EQ(copy(HouseBanks, MRV_DIInterface::AddNew), S_OK);
    expectSame(accounts);
    expectSame(defaults);
    EXPECT_EQ(value(*target, u"SELECT AutoKey FROM ONNM WHERE ObjectCode = '183'"_s).toInt(),
              value(*target, u"SELECT MAX(AbsEntry) FROM DSC1"_s).toInt() + 1);
    EXPECT_EQ(logged(u"212"_s, u"402"_s), count);

    // A rerun adds and fails nothing.
    qsizetype mark = logRecords().size();
    ASSERT_EQ(copy(HouseBanks, MRV_DIInterface::AddAndUpdate), S_OK);
    expectOnlyUpdates(mark);
    expectSame(accounts);

    // G/L Settings for Banks, whatever the method, updates what is there.
    exec(*target, u"UPDATE DSC1 SET GLAccount = NULL"_s);
    exec(*target, u"UPDATE OADM SET BankCountry = NULL, DefaultBankNo = NULL, DefaultBranch = "
                  u"N'Kept'"_s);
    mark = logRecords().size();
    ASSERT_EQ(copy(BankSettings, MRV_DIInterface::AddAndUpdate), S_OK);
    expectOnlyUpdates(mark);
    expectSame(accounts);
    expectSame(u"SELECT BankCountry, DefaultBankNo, DefaultBankAccount FROM OADM"_s);
    EXPECT_EQ(value(*target, u"SELECT DefaultBranch FROM OADM"_s).toString(), u"Kept"_s);
}
