#pragma once

#include "di/MRV_DIInterface.h"

// Banks: business object 3 in ODSC, known by their code within their
// country; the default house bank account travels by its bank code and
// account number.
class MRV_BanksManager : public MRV_DIInterface {
public:
    MRV_BanksManager(MRV_ConnectionContext* context, const QString& categoryId);

    // The banks' table, as every category that writes banks declares it.
    static MRV_TableDeclaration bankTable();
};
