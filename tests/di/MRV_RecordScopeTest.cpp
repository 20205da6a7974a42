#include "di/MRV_RecordScope.h"
#include "EngineTestSupport.h"

using namespace Qt::StringLiterals;

namespace {

class RecordScope : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        openCompany(company, 6);
    }
    void insert(const char* code) {
        EngineWorld::exec(
            company,
            u"INSERT INTO OPRJ (PrjCode, PrjName) VALUES (N'%1', N'x')"_s.arg(QLatin1String(code)));
    }
    QStringList codes() {
        return EngineWorld::column(company, u"SELECT PrjCode FROM OPRJ ORDER BY PrjCode"_s);
    }
    LLObjectsCOM::Company company;
};

// Inside a category's transaction each record stands alone: a refused one
// is undone, the others stay, and the transaction goes on.
TEST_F(RecordScope, UndoesOnlyItsOwnRecordInsideAnOpenTransaction) {
    company.StartTransaction();
    {
        MRV_RecordScope kept(company);
        insert("A");
        kept.finish(true);
    }
    {
        MRV_RecordScope refused(company);
        insert("B");
        refused.finish(false);
    }
    {
        MRV_RecordScope thrown(company); // left by an exception: undone
        insert("C");
    }
    EXPECT_TRUE(company.InTransaction());
    company.EndTransaction(0);
    EXPECT_EQ(codes(), QStringList{u"A"_s});
}

TEST_F(RecordScope, IsATransactionOfItsOwnWhenNoneIsOpen) {
    {
        MRV_RecordScope scope(company);
        EXPECT_TRUE(company.InTransaction());
        insert("A");
        scope.finish(true);
    }
    EXPECT_FALSE(company.InTransaction());
    {
        MRV_RecordScope scope(company);
        insert("B");
    }
    EXPECT_FALSE(company.InTransaction());
    EXPECT_EQ(codes(), QStringList{u"A"_s});
}

} // namespace
