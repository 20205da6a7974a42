#pragma once

#include "di/MRV_DIInterface.h"

#include <QHash>

// The account fields of the posting-period categories (business object 229
// in OACP), one record per category. Categories are numbered per company,
// so a record names its category by the first day of its financial year
// ("PeriodCategory", "%Y-%m-%d"), and accounts travel by formatted code.
// In the target the category whose financial year begins on that day takes
// the record, whatever it is called; a record whose day begins no target
// category is not written, and its line says so. Categories are never
// added nor removed here: that is the posting periods' business.
//
// The declaration of the table gives the record's element (settingsElement),
// its account fields in order (settings) and those that travel for the
// reader but are never written (settingsNotWritten).
class MRV_PeriodCategoryAccounts {
public:
    MRV_PeriodCategoryAccounts(MRV_DIInterface& owner, const MRV_TableDeclaration& table);

    // The selected categories of the base (all when keys is empty), in
    // category order. Throws ComError when a host call fails.
    QList<MRV_BOMDocument> read(LLObjectsCOM::Company& base, const MRV_KeyList& keys);
    // Updates the target's category of each record, one log line each;
    // the number of records that failed. Throws ComError when the target's
    // categories cannot be read at all.
    int write(LLObjectsCOM::Company& target, const QList<MRV_BOMDocument>& documents);

    // The day a stored or document date names, as "%Y-%m-%d"; empty when
    // the text is no date.
    static QString isoDate(const QString& text);

private:
    using Outcome = MRV_DIInterface::Outcome;

    bool writeRecord(LLObjectsCOM::Company& target, const QString& xml, Outcome& outcome);
    // The target's account of a formatted code; false with the reason.
    bool targetAccount(LLObjectsCOM::Company& target, const QString& field,
                       const QString& formatCode, QString& account, QString& error);

    MRV_DIInterface& m_owner;
    const MRV_TableDeclaration& m_table;
    // Target side of one write: category by the first day of its year, and
    // which base record took it.
    QHash<QString, QString> m_categoryOfDay;
    QHash<QString, QString> m_claimedBy;
    QHash<QString, QString> m_accounts; // formatted code -> account code
};

// G/L Account Determination: the account fields of each posting-period
// category (see MRV_PeriodCategoryAccounts), and the company-wide
// determination settings of the administration information, copied as a
// whole. The details list shows the base's categories.
class MRV_GLAccountDeterminationManager : public MRV_DIInterface {
public:
    MRV_GLAccountDeterminationManager(MRV_ConnectionContext* context, const QString& categoryId);

    int initialize() override;
    void readFromDatabase(MRV_KeyList keys, BOMTableList& tables) override;
    MRV_DIDataSet* listFromConfiguration(const BOMTableList& tables) override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;
};
