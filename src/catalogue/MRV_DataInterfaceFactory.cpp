#include "catalogue/MRV_DataInterfaceFactory.h"

#include "di/MRV_DIInterface.h"
#include "managers/MRV_CommissionGroupsManager.h"
#include "managers/MRV_CountriesManager.h"
#include "managers/MRV_CurrencySettingsManager.h"
#include "managers/MRV_CustomerGroupsManager.h"
#include "managers/MRV_ManufacturersManager.h"
#include "managers/MRV_ProjectManager.h"
#include "managers/MRV_ShippingTypesManager.h"
#include "managers/MRV_TerritoriesManager.h"
#include "managers/MRV_VendorGroupsManager.h"

#include <algorithm>
#include <vector>

namespace {

using Creator = std::unique_ptr<MRV_DIInterface> (*)(MRV_ConnectionContext*, const QString&);

// Managers shared by several categories take the variant as a third
// constructor argument: create<MRV_PrintLayoutsManager, 2>.
template <class Manager, auto... variant>
std::unique_ptr<MRV_DIInterface> create(MRV_ConnectionContext* context, const QString& id) {
    return std::make_unique<Manager>(context, id, variant...);
}

struct ManagerEntry {
    const char16_t* categoryId;
    Creator create;
};

// One line per category that has a manager, in catalogue order, e.g.
//     {u"MRV_TRN_QUERIES_100", create<MRV_QueryManager>},
//     {u"MRV_TRN_FSUDF_100", create<MRV_FormattedSearchManager, true>},
// Folders and categories without records of their own have no line.
const std::vector<ManagerEntry>& managers() {
    static const std::vector<ManagerEntry> table = {
        {u"MRV_TRN_COUNTRIES_100", create<MRV_CountriesManager>},
        {u"MRV_TRN_CURRENCYSETTINGS_100", create<MRV_CurrencySettingsManager>},
        {u"MRV_TRN_COMMISIONGROUPS_100", create<MRV_CommissionGroupsManager>},
        {u"MRV_TRN_PROJECTS_100", create<MRV_ProjectManager>},
        {u"MRV_TRN_CUSTOMERGROUPS_100", create<MRV_CustomerGroupsManager>},
        {u"MRV_TRN_SUPPLIERGROUPS_100", create<MRV_VendorGroupsManager>},
        {u"MRV_TRN_MANUFACTURERS_100", create<MRV_ManufacturersManager>},
        {u"MRV_TRN_SHIPPINGTYPES_100", create<MRV_ShippingTypesManager>},
        {u"MRV_TRN_TERRITORIES_100", create<MRV_TerritoriesManager>},
    };
    return table;
}

const ManagerEntry* findManager(const QString& categoryId) {
    const auto& table = managers();
    const auto it = std::find_if(table.begin(), table.end(), [&](const ManagerEntry& e) {
        return categoryId == QStringView(e.categoryId);
    });
    return it == table.end() ? nullptr : &*it;
}

} // namespace

std::unique_ptr<MRV_DIInterface>
MRV_DataInterfaceFactory::createDataInterface(const QString& categoryId) const {
    const ManagerEntry* entry = findManager(categoryId);
    return entry ? entry->create(m_context, categoryId) : nullptr;
}

bool MRV_DataInterfaceFactory::hasManager(const QString& categoryId) {
    return findManager(categoryId) != nullptr;
}
