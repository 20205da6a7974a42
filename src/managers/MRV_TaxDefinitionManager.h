#pragma once

#include "di/MRV_DIInterface.h"
#include "managers/MRV_TransportAccount.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// Tax definitions: sales tax authority types (127), authorities (126),
// sales tax codes with their authorities (128), VAT groups (5), deduction
// groups (117) and withholding tax codes (178), with their full records. An
// existing object is updated with the record's values, accounts by their
// formatted codes; a new one points at the transport account wherever the
// record has an account, until G/L Settings for Tax Setup brings the real
// ones. No details list: the category is copied whole.
class MRV_TaxDefinitionManager : public MRV_DIInterface {
public:
    MRV_TaxDefinitionManager(MRV_ConnectionContext* context, const QString& categoryId);

    // The tax objects in the order they are written (what a record refers
    // to before it); accounts are references by formatted code, optional
    // (left out, with a note, when the target lacks them) where
    // optionalAccounts is set, and so are VAT groups' indicators.
    static QList<MRV_TableDeclaration> taxObjects(bool optionalAccounts);

    MRV_DIDataSet* listFromConfiguration(const BOMTableList& tables) override;
    MRV_DIDataSet* listFromDatabase() override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;
    void prepareObject(int objectType, LLObjectsCOM::HostObject& object, int mode) override;

private:
    const MRV_TableDeclaration* tableOf(int objectType) const;
    // What names a record of the table in the base and, once written, in
    // the target: its code, or the name of a record the host numbers.
    QString identity(const MRV_TableDeclaration& table, const QString& value) const;
    QString identityField(const MRV_TableDeclaration& table) const;

    // The account properties each record of the write holds in the base:
    // an account the target lacks yet is left out of the record, and the
    // new object must still point at the transport account there.
    QHash<QString, QStringList> m_baseAccounts;
    bool m_transportReady = false;
};
