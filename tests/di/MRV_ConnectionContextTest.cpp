#include "di/MRV_ConnectionContext.h"
#include "DiTestSupport.h"

using namespace Qt::StringLiterals;

using LLObjectsCOM::Company;

namespace {

class ContextTest : public DiWorld {
protected:
    std::shared_ptr<Company> connected(const LLObjectsCOM::Server& server, const QString& db) {
        MRV_ConnectionContext::CompanyPtr c;
        EXPECT_EQ(MRV_ConnectionContext::CreateCompanyInstance(c), S_OK);
        connect(*c, server, db);
        return c;
    }
    void fill() {
        context.baseCompanyName = u"Base"_s;
        context.baseFilePath = u"/b.xml"_s;
        context.targetCompanyName = u"Target"_s;
        context.targetFilePath = u"/t.xml"_s;
        context.databaseName = u"DEMO"_s;
        context.worksheetPath = u"/w_WS.xml"_s;
        context.logFilePath = u"/l.txt"_s;
        context.copyMethod = 3;
        context.responseToFailure = 2;
        context.ignoreMissingUdf = true;
        context.forceBackup = true;
    }
};

} // namespace

TEST_F(ContextTest, ResetClosesOnlyWhatNothingElseUses) {
    const LLObjectsCOM::Server server = open(6, false);
    createCompany(server, u"OTHER"_s);
    const auto base = connected(server, u"demo"_s); // the user's own company
    const auto target = connected(server, u"OTHER"_s);
    context.baseCompany = base;
    context.targetCompany = target;
    fill();
    context.reset();
    EXPECT_FALSE(context.baseCompany);
    EXPECT_FALSE(context.targetCompany);
    EXPECT_TRUE(base->Connected()) << "the logged-in company stays open";
    EXPECT_FALSE(target->Connected());
    EXPECT_TRUE(company().Connected());
    for (const QString* s : {&context.baseCompanyName, &context.baseFilePath,
                             &context.targetCompanyName, &context.targetFilePath,
                             &context.databaseName, &context.worksheetPath, &context.logFilePath})
        EXPECT_TRUE(s->isEmpty());
    EXPECT_EQ(context.copyMethod, -1);
    EXPECT_EQ(context.responseToFailure, -1);
    EXPECT_FALSE(context.ignoreMissingUdf);
    EXPECT_TRUE(ui.transcript.isEmpty());

    // A base that is also the target stays open.
    const auto other = connected(server, u"OTHER"_s);
    const auto same = connected(server, u"other"_s);
    context.baseCompany = other;
    context.targetCompany = same;
    context.reset();
    EXPECT_TRUE(other->Connected());
    EXPECT_TRUE(same->Connected());
}
