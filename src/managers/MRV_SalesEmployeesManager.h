#pragma once

#include "di/MRV_DIInterface.h"

// Sales Employees: business object 53 in OSLP (-1 is the built-in "no
// sales employee"), with the employees they are (object 171 in OHEM, with
// their managers, managers first) and the unlocked values of the
// employees' lookup tables. Both are numbered by the host: a sales
// employee is known by its name, an employee by its last and first name,
// a lookup value by its name.
//
// A sales employee and its employee name each other, so a sales employee
// is written without its employee, and linked to it once the employees
// are in. Employees and lookup values go with the sales employees: they
// are added or updated, never removed.
class MRV_SalesEmployeesManager : public MRV_DIInterface {
public:
    MRV_SalesEmployeesManager(MRV_ConnectionContext* context, const QString& categoryId);

    // The employees of the sales employees read, and their managers.
    std::optional<MRV_KeyList> relatedRecords(const MRV_TableDeclaration& table,
                                              const BOMTableList& read) override;
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;

private:
    // A sales employee's employee, by the values that name it.
    struct Link {
        QString salesEmployee; // its name
        QString baseCode;
        QStringList employee; // last and first name
    };
    // Sets each written sales employee's employee in the target; a link
    // that cannot be made gets a failed line of its own.
    void linkEmployees(const QList<Link>& links, int copyMethod);
};
