#pragma once

#include "di/MRV_DIInterface.h"

namespace LLObjectsCOM {
class HostObject;
}

// Print layouts (RDOC), read and written through the host's layout
// service: those of documents and reports (variant 1), and those of
// queries, whose types begin with "USRT" or "USRP" (variant 2). Layouts
// the system itself authored are never copied.
//
// A layout travels as the service's record document, every text escaped
// exactly once, so that what a layout holds (markup, escaped characters,
// any text) arrives as it was. Codes are handed out per company: a layout
// is the target's layout of the same name and type, overwritten when
// found, added when not. Each layout's report type (RTYP) travels with it
// and is added or updated before the layouts whatever the copy method:
// the host's own types are missing from a new company, and the types of
// query layouts belong to their company alone. The type's default layout
// stays as the target has it.
//
// The service removes no layout, and other records (dunning levels,
// default layouts, house bank accounts) name layouts: the removal phase of
// "Replace All" leaves the target's layouts, and the writing pass
// overwrites those the base has.
class MRV_PrintLayoutsManager : public MRV_DIInterface {
public:
    MRV_PrintLayoutsManager(MRV_ConnectionContext* context, const QString& categoryId, int variant);

    void readFromDatabase(MRV_KeyList keys, BOMTableList& tables) override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;

private:
    // The category's layout codes in the base, in code order.
    QStringList layoutCodes(MRV_CompanySql& base) const;
    // One layout into the target; false with the outcome's error set.
    bool writeLayout(MRV_CompanySql& target, MRV_DIReferences& references,
                     LLObjectsCOM::HostObject& service, const MRV_BOMDocument& document,
                     int copyMethod, QHash<QString, QString>& written, Outcome& outcome);
};
