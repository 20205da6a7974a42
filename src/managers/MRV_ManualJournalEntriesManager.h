#pragma once

#include "di/MRV_DIInterface.h"

#include <QHash>

class MRV_CompanySql;
class MRV_DIReferences;

// Journal entries of one transaction type: business object 30 in OJDT with
// its lines in JDT1. Variant 0 copies the manual entries (type 30), 1 the
// opening balances (-2), 2 the stock postings (58); an entry arrives with
// its type.
//
// Entries are numbered by the target, and are only ever added: a posted
// entry is never changed, and the removal phase of "Replace All" removes
// none (the target's ledger is its own). An entry is in the target already
// when the target holds an entry of the same type with the same dates,
// references, memo and lines (account by formatted code, partner, debit,
// credit); each such target entry stands for one base entry, so two equal
// base entries are two entries. A rerun therefore adds nothing.
//
// Accounts travel by formatted code, the series by its name, partners,
// projects, transaction codes, tax groups and currencies by their codes;
// the profit centres and distribution rules the lines name travel with the
// entries and are written first. An entry whose lines do not balance, or
// one of whose references the target cannot resolve, fails whole: the
// entry, its lines and its type are written as one unit or not at all.
class MRV_ManualJournalEntriesManager : public MRV_DIInterface {
public:
    enum Variant { ManualEntries = 0, OpeningBalances = 1, StockPostings = 2 };

    MRV_ManualJournalEntriesManager(MRV_ConnectionContext* context, const QString& categoryId,
                                    int variant);

    // The host's transaction type of a variant's entries.
    static QString transactionType(int variant);

    std::optional<MRV_KeyList> relatedRecords(const MRV_TableDeclaration& table,
                                              const BOMTableList& read) override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;
    // The system-currency amounts are the target's to compute; a line
    // without a partner posts to its account.
    void prepareRecord(int objectType, QString& xml) override;

private:
    // The target's entries of the variant's type by what makes them the
    // same entry, each with the entry numbers that hold it.
    using TargetEntries = QHash<QString, QStringList>;
    TargetEntries targetEntries(MRV_CompanySql& target);
    void writeEntry(MRV_CompanySql& target, MRV_DIReferences& references, TargetEntries& existing,
                    const MRV_BOMDocument& document, int copyMethod);
    // Gives the entry just added the variant's transaction type.
    void setTransactionType(MRV_CompanySql& target, const QString& entry);

    int m_variant;
};
