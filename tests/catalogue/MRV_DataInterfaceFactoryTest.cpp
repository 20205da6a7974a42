#include "catalogue/MRV_DataInterfaceFactory.h"
#include "TestData.h"
#include "catalogue/MRV_ResourceManager.h"
#include "di/MRV_DIInterface.h"

// The factory makes a manager exactly for the ids it knows one for, each
// for its own category, and answers null for folders, notes, unknown ids and
// the empty id, without throwing.
TEST(DataInterfaceFactory, MakesAManagerExactlyWhereThereIsOne) {
    MRV_DataInterfaceFactory factory(nullptr);
    int made = 0;
    for (const XMLMAP& entry : MRV_ResourceManager::instance()->entries()) {
        const std::unique_ptr<MRV_DIInterface> manager = factory.createDataInterface(entry.name);
        EXPECT_EQ(manager != nullptr, MRV_DataInterfaceFactory::hasManager(entry.name))
            << entry.name.toStdString();
        if (manager) {
            EXPECT_EQ(manager->getCategoryString(), entry.name);
            ++made;
        }
    }
    EXPECT_GE(made, 9);
    EXPECT_EQ(factory.createDataInterface(QStringLiteral("MRV_TRN_CUSTOMIZATION_100")), nullptr);
    EXPECT_EQ(factory.createDataInterface(QStringLiteral("MRV_LMS_NOTE1_0")), nullptr);
    EXPECT_EQ(factory.createDataInterface(QStringLiteral("NOT_A_CATEGORY")), nullptr);
    EXPECT_EQ(factory.createDataInterface(QString()), nullptr);
    EXPECT_EQ(factory.createDataInterface(QStringLiteral("mrv_trn_countries_100")), nullptr);
}
