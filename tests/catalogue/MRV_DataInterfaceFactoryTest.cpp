#include "catalogue/MRV_DataInterfaceFactory.h"
#include "TestData.h"
#include "catalogue/MRV_ResourceManager.h"
#include "di/MRV_DIInterface.h"
#include "managers/MRV_CountriesManager.h"
#include "managers/MRV_CustomerGroupsManager.h"
#include "managers/MRV_ManufacturersManager.h"
#include "managers/MRV_TerritoriesManager.h"
#include "managers/MRV_VendorGroupsManager.h"

#include <gtest/gtest.h>

namespace {

const QStringList kWithManager{
    QStringLiteral("MRV_TRN_COUNTRIES_100"),       QStringLiteral("MRV_TRN_CURRENCYSETTINGS_100"),
    QStringLiteral("MRV_TRN_COMMISIONGROUPS_100"), QStringLiteral("MRV_TRN_PROJECTS_100"),
    QStringLiteral("MRV_TRN_CUSTOMERGROUPS_100"),  QStringLiteral("MRV_TRN_SUPPLIERGROUPS_100"),
    QStringLiteral("MRV_TRN_MANUFACTURERS_100"),   QStringLiteral("MRV_TRN_SHIPPINGTYPES_100"),
    QStringLiteral("MRV_TRN_TERRITORIES_100")};

} // namespace

// The categories that have a manager get one made for their own id; every
// other entry of the catalogue, folders, unknown ids and the empty id get
// none, and nothing throws.
TEST(DataInterfaceFactory, MakesTheManagerOfEachCategoryThatHasOne) {
    MRV_DataInterfaceFactory factory(nullptr);
    for (const XMLMAP& entry : MRV_ResourceManager::instance()->entries()) {
        const auto made = factory.createDataInterface(entry.name);
        const bool expected = kWithManager.contains(entry.name);
        EXPECT_EQ(made != nullptr, expected) << entry.name.toStdString();
        EXPECT_EQ(MRV_DataInterfaceFactory::hasManager(entry.name), expected);
        if (made) {
            EXPECT_EQ(made->getCategoryString(), entry.name);
        }
    }
    EXPECT_EQ(factory.createDataInterface(QStringLiteral("MRV_TRN_ITEMS_100")), nullptr);
    EXPECT_EQ(factory.createDataInterface(QStringLiteral("MRV_TRN_BPADDRESSES_100")), nullptr);
    EXPECT_EQ(factory.createDataInterface(QStringLiteral("NOT_A_CATEGORY")), nullptr);
    EXPECT_EQ(factory.createDataInterface(QStringLiteral("mrv_trn_countries_100")), nullptr);
}

TEST(DataInterfaceFactory, EachIdGetsItsOwnManagerClass) {
    MRV_DataInterfaceFactory factory(nullptr);
    const auto is = [&](const char* id, auto* type) {
        const auto made = factory.createDataInterface(QString::fromLatin1(id));
        return dynamic_cast<std::remove_pointer_t<decltype(type)>*>(made.get()) != nullptr;
    };
    EXPECT_TRUE(is("MRV_TRN_COUNTRIES_100", static_cast<MRV_CountriesManager*>(nullptr)));
    EXPECT_TRUE(is("MRV_TRN_MANUFACTURERS_100", static_cast<MRV_ManufacturersManager*>(nullptr)));
    EXPECT_TRUE(is("MRV_TRN_TERRITORIES_100", static_cast<MRV_TerritoriesManager*>(nullptr)));
    EXPECT_TRUE(is("MRV_TRN_CUSTOMERGROUPS_100", static_cast<MRV_CustomerGroupsManager*>(nullptr)));
    EXPECT_TRUE(is("MRV_TRN_SUPPLIERGROUPS_100", static_cast<MRV_VendorGroupsManager*>(nullptr)));
    EXPECT_FALSE(
        is("MRV_TRN_SUPPLIERGROUPS_100", static_cast<MRV_CustomerGroupsManager*>(nullptr)));
}
