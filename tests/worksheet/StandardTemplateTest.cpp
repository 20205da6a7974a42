// Checks the template that ships with the program against the catalogue
// and the conventions the rest of the program relies on.
#include "WorksheetTestSupport.h"

#include "catalogue/MRV_ResourceManager.h"
#include "di/MRV_ConnectionContext.h"
#include "di/MRV_UDTManager.h"
#include "interaction/MRV_ScriptedInteraction.h"
#include "worksheet/MRV_WorksheetTemplateManager.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using Node = MRV_WorksheetNode;

constexpr auto id = &WorksheetTest::categoryId;

// Where each catalogue entry stands in the standard tree: "parent: the
// entries below it", no parent for the top level.
const char* const kTree[] = {
    ": CUSTOMIZATION USERS INITSETTINGS COA MASTERDATA MANUALTRANSACTIONS DOCUMENTS",
    "CUSTOMIZATION: QUERIES UDEFS PRINTLAYOUTS",
    "UDEFS: UDF FSUDF FSSTDF UDO UDT UDTCONT",
    "PRINTLAYOUTS: DOCREP QUERYLAYOUTS",
    "USERS: USERSLEAF AUTHORIZATIONS DISPLAYSETTINGS USRMENUS",
    "AUTHORIZATIONS: AUTHORIZATIONSLEAF ADDITIONALAUT OWNERSHIP",
    "DISPLAYSETTINGS: CMPDSPSETTINGS USRDSPSETTINGS",
    "INITSETTINGS: GENERAL FINANCE LOGISTICS",
    "GENERAL: SETTINGS DEFINITIONS",
    "SETTINGS: CMPDETAILS GENERALSETTINGS DOCNUMBERING DOCSETTINGS PRTONADDSETTINGS POSTPER",
    "DEFINITIONS: ALERTS COUNTRIES ADDRESSFORMAT APPROVALPROCS",
    "FINANCE: FINANCESETTINGS FINANCEDEFINITIONS",
    "FINANCESETTINGS: CURRENCYSETTINGS COASETTINGS TAXDEFINITION",
    "FINANCEDEFINITIONS: INDEXES TRANSACTIONCODES BANKSANDBRANCHES CREDITSUPPLIERS PAYMENTMETHODS "
    "DUNNINGLEVELS PAYMENTTERMS PAYMENTBLOCKS SETUPCREDITCARDS HOUSEBANKACCOUNTS",
    "CREDSETUP: CREDITCARDS CCPAYMENTS CCPAYMNTMETHODS",
    "LOGISTICS: LOGISTICSSETTINGS LOGISTICSDEFS",
    "LOGISTICSSETTINGS: INVENTORYSETTINGS PRICELISTDEFS",
    "LOGISTICSDEFS: COMMISIONGROUPS SALESEMPLOYEES PROJECTS SALESOPPORTUNITIES SALESSTAGES "
    "PARTNERS COMPETITORS LANDEDCOSTS CUSTOMERGROUPS SUPPLIERGROUPS BPPROPERTIES BPPRIORITIES "
    "ITEMGROUPS1 ITEMPROPERTIES WAREHOUSES1 UOMLENGTHWIDTH UOMWEIGHT CUSTOMGROUPS MANUFACTURERS "
    "SHIPPINGTYPES LOCATIONS INVENTORYCYCLES TEMPLATES PACKAGETYPES TERRITORIES PREDEFINEDTEXT "
    "RELTNSHPS",
    "ITEMS: ITEMGROUPS WAREHOUSES ITEMSLEAF ALTERNATIVEITEMS BPCATALOGNUMBERS",
    "COA: COASETUP COATITLES ACCOUNTS DEFGLACCTDTRMINATION BUDGET FINANCIALREPORTTMPL CREDSETUP",
    "COASETUP: ACCTSEGMENTATION SEGMENTCODES",
    "DEFGLACCTDTRMINATION: GLACCTDETERMINATION GLBANKSETTINGS GLCCSETTINGS GLINVNTRYSETTINGS "
    "GLTAXDEFSETTINGS",
    "MASTERDATA: BUSINESSPARTNERS ITEMS PRICELISTS BILLOFMATERIALS FORECASTS USERDEFAULTS",
    "BUSINESSPARTNERS: BPGENERALINFO BPACCOUNTS BPADDRESSES CONTACTPERSONS BPBANKS",
    "PRICELISTS: PRICELISTSLEAF SPECIALPRICESBP DISCOUNTGROUPS PRICEHIERARCHIES",
    "USERDEFAULTS: DEFAULTS DEFAULTLAYOUTS DEFAULTSERIES",
    "MANUALTRANSACTIONS: FINANCIALMT INVENTORYMT",
    "FINANCIALMT: MANUALJOURNALENTRIES OPENINGBALANCES",
    "INVENTORYMT: STOCKPOSTINGS INITIALQUANTITIES",
    "DOCUMENTS: SALESDOCS PURCHASEDOCS BANKINGDOCS INVENTORYDOCS OTHERDOCS",
};

// The tree as (parent, children) pairs.
QList<std::pair<QString, QStringList>> children() {
    QList<std::pair<QString, QStringList>> pairs;
    for (const QString line : kTree)
        pairs.append(
            {line.section(u':', 0, 0), line.section(u':', 1).split(u' ', Qt::SkipEmptyParts)});
    return pairs;
}

qsizetype placedEntries() {
    qsizetype count = 0;
    for (const auto& [parent, below] : children())
        count += below.size();
    return count;
}

class StandardTemplate : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        server = std::make_unique<LLObjectsCOM::Server>(openCompany(*company, 6));
        context.company = company;
        // The program's tables, with the note table, as start-up makes them.
        ASSERT_EQ(MRV_UDTManager(&context).checkCompany(), S_OK);
        manager.setConnectionContext(&context);
        ASSERT_EQ(manager.initialize(), S_OK) << manager.templatePath().toStdString();
        for (const auto& node : nodes())
            byCategory.insert(node->categoryId, node.get());
    }

    const MRV_Worksheet::NodeList& nodes() const { return manager.templateWorksheet().nodes; }
    const Node* node(const char* shortId) const { return byCategory.value(id(shortId)); }
    const Node* parentOf(const Node& n) const {
        return manager.templateNode(Node::parentId(n.leafId));
    }
    // The leaves below a node, or the node itself when it is a leaf.
    QList<const Node*> leavesOf(const Node& folder) const {
        QList<const Node*> leaves;
        for (const auto& n : nodes())
            if (n->leaf && (n.get() == &folder || n->leafId.startsWith(folder.leafId + u'.')))
                leaves << n.get();
        return leaves;
    }

    MRV_ScriptedInteraction ui;
    MRV_InteractionScope scope{ui};
    std::shared_ptr<LLObjectsCOM::Company> company = std::make_shared<LLObjectsCOM::Company>();
    std::unique_ptr<LLObjectsCOM::Server> server;
    MRV_ConnectionContext context;
    MRV_WorksheetTemplateManager manager;
    QMultiHash<QString, const Node*> byCategory;
};

} // namespace

// The template beside the program reads without complaint and holds the
// catalogue's entries where their sections say, and nothing else.
TEST_F(StandardTemplate, PlacesEveryCatalogueEntryWhereItsSectionSays) {
    EXPECT_TRUE(QFileInfo(MRV_WorksheetTemplateManager::defaultTemplatePath()).isFile());
    EXPECT_TRUE(ui.shown(u"error: "_s).isEmpty());
    EXPECT_EQ(nodes().size(), size_t(placedEntries()));
    QSet<QString> placed;
    for (const auto& n : nodes()) {
        EXPECT_NE(n->stringId, 0u) << n->categoryId.toStdString();
        EXPECT_FALSE(n->text.isEmpty()) << n->categoryId.toStdString();
        placed.insert(n->categoryId);
    }
    for (const auto& [parent, below] : children())
        for (const QString& child : below) {
            SCOPED_TRACE(child.toStdString());
            ASSERT_EQ(byCategory.count(id(qPrintable(child))), 1);
            const Node* n = node(qPrintable(child));
            if (parent.isEmpty()) {
                EXPECT_EQ(n->getLevel(), 1);
            } else {
                const Node* p = parentOf(*n);
                ASSERT_NE(p, nullptr);
                EXPECT_EQ(p->categoryId, id(qPrintable(parent)));
            }
        }
    EXPECT_FALSE(placed.contains(id("XLREPORTS")));
    // Everything else of the catalogue's categories is placed.
    for (const XMLMAP& entry : MRV_ResourceManager::instance()->entries())
        if (entry.name.startsWith(u"MRV_TRN_") && entry.name != id("XLREPORTS")) {
            EXPECT_TRUE(placed.contains(entry.name)) << entry.name.toStdString();
        }
}

TEST_F(StandardTemplate, NestsFoldersBeforeTheirContentAndSiblingsInCatalogueOrder) {
    QHash<QString, int> catalogueOrder;
    const auto& entries = MRV_ResourceManager::instance()->entries();
    for (int i = 0; i < entries.size(); ++i)
        catalogueOrder.insert(entries[i].name, i);

    QSet<QString> seen;
    QHash<QString, int> lastChild; // parent leaf id -> number of its last child
    QHash<QString, int> lastOrder; // parent leaf id -> catalogue index of its last child
    for (const auto& n : nodes()) {
        SCOPED_TRACE(n->leafId.toStdString());
        EXPECT_FALSE(seen.contains(n->leafId)) << "leaf id used twice";
        const QString parent = Node::parentId(n->leafId);
        if (!parent.isEmpty()) {
            EXPECT_TRUE(seen.contains(parent)) << "a folder comes before its content";
        }
        seen.insert(n->leafId);
        const int number = n->leafId.mid(n->leafId.lastIndexOf(u'.') + 1).toInt();
        EXPECT_EQ(number, lastChild.value(parent) + 1) << "siblings are numbered 1, 2, ...";
        lastChild[parent] = number;
        const int order = catalogueOrder.value(n->categoryId, -1);
        EXPECT_GT(order, lastOrder.value(parent, -1)) << "siblings follow the catalogue";
        lastOrder[parent] = order;
        // The level the reader derives from the nesting matches the leaf id.
        EXPECT_EQ(n->getLevel(), Node::levelOf(n->leafId));
    }
}

TEST_F(StandardTemplate, CopiedCategoriesAreLeavesUsedOnceAndShowTheirRecords) {
    const QStringList managed = WorksheetTest::categoriesWithManager();
    ASSERT_EQ(managed.size(), 94);
    for (const QString& category : managed) {
        SCOPED_TRACE(category.toStdString());
        ASSERT_EQ(byCategory.count(category), 1) << "used by one leaf only";
        const Node* n = byCategory.value(category);
        EXPECT_TRUE(n->leaf);
        EXPECT_NE(n->dataAreaFormat, Node::NoDataArea);
        QString leafId;
        EXPECT_EQ(manager.getLeafId(category, leafId), S_OK);
        EXPECT_EQ(leafId, n->leafId);
    }
    for (const auto& n : nodes()) {
        const bool copied = managed.contains(n->categoryId);
        // Record details are loaded only for grids and field views; a node
        // without a manager has none to load.
        if (n->dataAreaFormat == Node::RecordGrid || n->dataAreaFormat == Node::FieldView) {
            EXPECT_TRUE(copied && n->leaf) << n->categoryId.toStdString();
        }
        // A node can be checked when it, or something below it, is copied.
        bool copiesSomething = false;
        for (const Node* leaf : leavesOf(*n))
            copiesSomething = copiesSomething || managed.contains(leaf->categoryId);
        EXPECT_EQ(n->allowSelection, copiesSomething) << n->categoryId.toStdString();
    }
}

TEST_F(StandardTemplate, NotesNameTheirCategory) {
    // "category=note" pairs.
    const QString notes =
        u"QUERIES=1 UDEFS=2 UDF=2 UDT=2 UDTCONT=2 PRINTLAYOUTS=3 DOCREP=3 QUERYLAYOUTS=3 "
        "SETUPCREDITCARDS=4 COA=5 GLACCTDETERMINATION=6 GLINVNTRYSETTINGS=7 ITEMSLEAF=8 "
        "CMPDSPSETTINGS=10 USRDSPSETTINGS=12 GENERALSETTINGS=13 PRTONADDSETTINGS=15 "
        "COASETTINGS=16 INVENTORYSETTINGS=17 GLBANKSETTINGS=18 BPADDRESSES=19 "
        "CONTACTPERSONS=20 COATITLES=23 ACCOUNTS=24 DOCNUMBERING=25 ITEMGROUPS1=26 "
        "WAREHOUSES1=27 STOCKPOSTINGS=28 TAXDEFINITION=29 OPENINGBALANCES=30"_s;
    for (const QString& pair : notes.split(u' ')) {
        SCOPED_TRACE(pair.toStdString());
        const int number = pair.section(u'=', 1).toInt();
        const Node* n = byCategory.value(id(qPrintable(pair.section(u'=', 0, 0))));
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(n->noteNumber, number);
        EXPECT_EQ(n->noteStringId,
                  MRV_ResourceManager::instance()->getStringId(u"MRV_LMS_NOTE%1_0"_s.arg(number)));
        EXPECT_FALSE(n->noteText.isEmpty());
        // A note is shown with the record grid or alone, never with a field
        // view, which has no room for it.
        EXPECT_NE(n->dataAreaFormat, Node::FieldView);
        EXPECT_NE(n->dataAreaFormat, Node::NoDataArea);
    }
    for (const auto& n : nodes())
        EXPECT_TRUE(n->noteNumber != 11 && n->noteNumber != 22) << "notes without a text";
}

TEST_F(StandardTemplate, CopyMethodsThatWouldHarmATargetAreReplaced) {
    for (const auto& n : nodes()) {
        SCOPED_TRACE(n->categoryId.toStdString());
        // A substitute exists exactly when something is prohibited, and it
        // is itself allowed.
        EXPECT_EQ(n->substituteCopyMethod != 0, !n->prohibitedCopyMethods.isEmpty());
        if (n->substituteCopyMethod != 0) {
            EXPECT_FALSE(n->prohibits(n->substituteCopyMethod));
            EXPECT_GE(n->substituteCopyMethod, 1);
            EXPECT_LE(n->substituteCopyMethod, 4);
        }
        // The note that promises "Update Existing Records" is kept.
        if (n->noteNumber == 9) {
            EXPECT_EQ(QSet<int>(n->prohibitedCopyMethods.begin(), n->prohibitedCopyMethods.end()),
                      (QSet<int>{1, 3, 4}));
            EXPECT_EQ(n->substituteCopyMethod, 2);
        }
    }
    EXPECT_EQ(node("AUTHORIZATIONSLEAF")->noteNumber, 9);
    EXPECT_EQ(node("GLTAXDEFSETTINGS")->noteNumber, 9);
    // Settings are never emptied by "Replace All".
    for (const char* folder : {"SETTINGS", "FINANCESETTINGS", "LOGISTICSSETTINGS"})
        for (const Node* leaf : leavesOf(*node(folder))) {
            SCOPED_TRACE(leaf->categoryId.toStdString());
            EXPECT_TRUE(leaf->prohibits(1));
            EXPECT_EQ(leaf->effectiveCopyMethod(1), 4);
            EXPECT_EQ(leaf->effectiveCopyMethod(3), 3);
        }
    EXPECT_TRUE(node("CMPDSPSETTINGS")->prohibits(1));
    EXPECT_FALSE(node("ITEMSLEAF")->prohibits(1));
}

TEST_F(StandardTemplate, DependenciesNameCopiedCategoriesTheRecordsReferTo) {
    const QStringList managed = WorksheetTest::categoriesWithManager();
    for (const auto& n : nodes()) {
        SCOPED_TRACE(n->categoryId.toStdString());
        EXPECT_EQ(n->hasDependencies, !n->dependencies.isEmpty());
        if (!n->dependencies.isEmpty()) {
            EXPECT_TRUE(managed.contains(n->categoryId));
        }
        for (const QString& dependency : n->dependencies) {
            const Node* target = manager.templateNode(dependency);
            ASSERT_NE(target, nullptr) << dependency.toStdString();
            EXPECT_NE(target, n.get());
            EXPECT_TRUE(target->leaf && managed.contains(target->categoryId));
        }
    }
    const auto dependsOn = [&](const char* from, const char* to) {
        return node(from)->dependencies.contains(node(to)->leafId);
    };
    for (const auto& [from, to] : {std::pair{"ITEMSLEAF", "ITEMGROUPS"},
                                   {"ITEMSLEAF", "WAREHOUSES"},
                                   {"ITEMSLEAF", "MANUFACTURERS"},
                                   {"ITEMSLEAF", "SHIPPINGTYPES"},
                                   {"FSUDF", "QUERIES"},
                                   {"FSSTDF", "QUERIES"},
                                   {"GLTAXDEFSETTINGS", "TAXDEFINITION"},
                                   {"CCPAYMNTMETHODS", "CREDITCARDS"},
                                   {"ITEMGROUPS", "ACCOUNTS"},
                                   {"DEFAULTSERIES", "DOCNUMBERING"}})
        EXPECT_TRUE(dependsOn(from, to)) << from << " needs " << to;
    EXPECT_FALSE(dependsOn("QUERIES", "UDF")) << "a query runs without its fields";
}

TEST_F(StandardTemplate, OnlyCategoriesThatCannotCorruptCrossLocalizations) {
    // Accounts, taxes, postings and company settings follow the
    // localization; none of them may be copied across.
    for (const char* folder : {"COA", "FINANCE", "MANUALTRANSACTIONS", "SETTINGS"})
        for (const Node* leaf : leavesOf(*node(folder)))
            EXPECT_FALSE(leaf->localizationTransfer) << leaf->categoryId.toStdString();
    for (const char* category : {"ITEMSLEAF", "ITEMGROUPS", "WAREHOUSES", "BPGENERALINFO",
                                 "INVENTORYSETTINGS", "DEFAULTSERIES", "AUTHORIZATIONSLEAF"})
        EXPECT_FALSE(node(category)->localizationTransfer) << category;
    for (const char* category : {"QUERIES", "UDF", "USERSLEAF", "MANUFACTURERS", "COUNTRIES"})
        EXPECT_TRUE(node(category)->localizationTransfer) << category;
    // A folder allows the transfer when something below it does.
    for (const auto& n : nodes()) {
        if (n->leaf)
            continue;
        bool below = false;
        for (const Node* leaf : leavesOf(*n))
            below = below || leaf->localizationTransfer;
        EXPECT_EQ(n->localizationTransfer, below) << n->categoryId.toStdString();
    }
}
