#include "catalogue/MRV_DataInterfaceFactory.h"
#include "TestData.h"
#include "catalogue/MRV_ResourceManager.h"
#include "di/MRV_DIInterface.h"

#include <gtest/gtest.h>

// No category has a manager yet: the factory answers null for every id,
// folders, unknown ids and the empty id alike, and never throws.
TEST(DataInterfaceFactory, AnswersNullWhereThereIsNoManager) {
    MRV_DataInterfaceFactory factory(nullptr);
    for (const XMLMAP& entry : MRV_ResourceManager::instance()->entries()) {
        EXPECT_EQ(factory.createDataInterface(entry.name), nullptr) << entry.name.toStdString();
        EXPECT_FALSE(MRV_DataInterfaceFactory::hasManager(entry.name));
    }
    EXPECT_EQ(factory.createDataInterface(QStringLiteral("MRV_TRN_ITEMS_100")), nullptr);
    EXPECT_EQ(factory.createDataInterface(QStringLiteral("MRV_TRN_BPADDRESSES_100")), nullptr);
    EXPECT_EQ(factory.createDataInterface(QStringLiteral("NOT_A_CATEGORY")), nullptr);
}
