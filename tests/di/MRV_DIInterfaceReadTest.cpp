#include "EngineTestSupport.h"
#include "di/MRV_BOMRecord.h"
#include "di/MRV_SQLBuilder.h"

using namespace Qt::StringLiterals;

namespace {

// A category of segment codes: a business object with two key columns.
class SegmentCodes : public MRV_DIInterface {
public:
    explicit SegmentCodes(MRV_ConnectionContext* context)
        : MRV_DIInterface(context, u"MRV_TRN_SEGMENTCODES_100"_s) {
        m_listColumns = {u"SegmentId"_s, u"Code"_s, u"Name"_s};
        m_listElements = {u"SegmentID"_s, u"Code"_s, u"Name"_s};
        m_columnFlags = {0, 0, 1};
        declareTable({.name = u"OASC"_s,
                      .objectType = 143,
                      .keyColumns = {u"SegmentId"_s, u"Code"_s},
                      .keyElements = {u"SegmentID"_s, u"Code"_s},
                      .descriptionColumn = u"Name"_s});
    }
};

QString mainValue(const MRV_BOMDocument& document, const QString& group, const QString& field) {
    MRV_BOMRecord record;
    EXPECT_TRUE(record.parse(document.xml));
    const MRV_BOMRecord::Group* g = record.group(group);
    return g && !g->rows.isEmpty() ? g->rows.first().value(field) : QString();
}

} // namespace

class EngineRead : public EngineWorld {
protected:
    void SetUp() override {
        EngineWorld::SetUp();
        makeCompanies();
    }
};

TEST_F(EngineRead, BusinessObjectsAreReadWholeOrByTheirKeysInKeyOrder) {
    const BOMTableList all = read(u"MRV_TRN_MANUFACTURERS_100"_s);
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all.first().name, "OMRC");
    // Every manufacturer but the host's own "none" record.
    EXPECT_EQ(all.first().documents.size(),
              column(*base, u"SELECT FirmCode FROM OMRC WHERE FirmCode <> -1"_s).size());
    for (const MRV_BOMDocument& d : all.first().documents)
        EXPECT_NE(mainValue(d, u"OMRC"_s, u"Code"_s), "-1");

    // The selected records in the selection's order; a key that is gone
    // from the base is passed over.
    const BOMTableList some = read(u"MRV_TRN_MANUFACTURERS_100"_s, {{5}, {999}, {2}});
    ASSERT_EQ(some.size(), 1);
    QStringList names;
    for (const MRV_BOMDocument& d : some.first().documents)
        names << mainValue(d, u"OMRC"_s, u"ManufacturerName"_s);
    EXPECT_EQ(names, (QStringList{u"Evergreen Furniture"_s, u"Brightway Manufacturing"_s}));
    EXPECT_TRUE(read(u"MRV_TRN_MANUFACTURERS_100"_s, {{999}}).isEmpty());
}

TEST_F(EngineRead, TwoKeyColumnsReachTheHostFirstKeyFirst) {
    SegmentCodes codes(&context);
    BOMTableList tables;
    codes.readFromDatabase({{3, u"100"_s}, {2, u"WE"_s}}, tables);
    ASSERT_EQ(tables.size(), 1);
    ASSERT_EQ(tables.first().documents.size(), 2);
    EXPECT_EQ(mainValue(tables.first().documents[0], u"OASC"_s, u"Name"_s), "Sales");
    EXPECT_EQ(mainValue(tables.first().documents[1], u"OASC"_s, u"Name"_s), "West");
    // Keys read from text reach the host typed by their columns.
    codes.readFromDatabase({{u"1"_s, u"4"_s}}, tables);
    ASSERT_EQ(tables.size(), 1);
    EXPECT_EQ(mainValue(tables.first().documents[0], u"OASC"_s, u"Name"_s), "Turnover");
}

TEST_F(EngineRead, TableRowsComeAsOneDocumentOfObjectMinusOne) {
    const BOMTableList all = read(u"MRV_TRN_PROJECTS_100"_s);
    ASSERT_EQ(all.size(), 1);
    ASSERT_EQ(all.first().documents.size(), 1);
    const QString& xml = all.first().documents.first().xml;
    EXPECT_TRUE(xml.startsWith(u"<BOM><BO><AdmInfo><Object>-1</Object></AdmInfo><OPRJ><row>"_s));
    MRV_BOMRecord record;
    ASSERT_TRUE(record.parse(xml));
    EXPECT_EQ(record.group(u"OPRJ"_s)->rows.size(),
              column(*base, u"SELECT PrjCode FROM OPRJ"_s).size());

    // A selection reads only its rows; a key that cannot be a value of its
    // column selects nothing, and an empty result is no document at all.
    const BOMTableList some = read(u"MRV_TRN_PROJECTS_100"_s, {{u"PRJ003"_s}, {u"PRJ001"_s}});
    ASSERT_TRUE(record.parse(some.first().documents.first().xml));
    EXPECT_EQ(record.group(u"OPRJ"_s)->rows.size(), 2);
    EXPECT_TRUE(read(u"MRV_TRN_PROJECTS_100"_s, {{u"x' OR 'a'='a"_s}}).isEmpty());

    // A selection longer than one statement takes is read in parts.
    MRV_KeyList many;
    for (int i = 0; i < 250; ++i)
        many << QVariantList{u"NONE%1"_s.arg(i)};
    many << QVariantList{u"PRJ002"_s};
    const BOMTableList found = read(u"MRV_TRN_PROJECTS_100"_s, many);
    ASSERT_EQ(found.size(), 1);
    ASSERT_TRUE(record.parse(found.first().documents.first().xml));
    EXPECT_EQ(record.group(u"OPRJ"_s)->rows.first().value(u"PrjCode"_s), "PRJ002");
}

TEST_F(EngineRead, ReferencesGetDependencyRecordsNamingTheRecordByItsName) {
    const BOMTableList groups = read(u"MRV_TRN_CUSTOMERGROUPS_100"_s);
    MRV_BOMRecord record;
    ASSERT_TRUE(record.parse(groups.first().documents.first().xml));
    const QList<MRV_BOMRecord::Row>& rows = record.group(u"OCRG"_s)->rows;
    ASSERT_EQ(rows.size(),
              column(*base, u"SELECT GroupCode FROM OCRG WHERE GroupType = 'C'"_s).size());
    for (const MRV_BOMRecord::Row& row : rows) {
        EXPECT_EQ(row.value(u"GroupType"_s), "C");
        const MRV_BOMRecord::Dependency* dep = row.dependency(u"PriceList"_s);
        ASSERT_TRUE(dep);
        EXPECT_EQ(dep->table, "OPLN");
        EXPECT_EQ(dep->keyFields, QStringList{u"ListName"_s});
        EXPECT_EQ(dep->keyValues, column(*base, u"SELECT ListName FROM OPLN WHERE ListNum = "_s +
                                                    row.value(u"PriceList"_s)));
    }
    // A territory's parent is named by its description; the top (-2) has
    // no dependency.
    const BOMTableList territories = read(u"MRV_TRN_TERRITORIES_100"_s);
    for (const MRV_BOMDocument& d : territories.first().documents) {
        ASSERT_TRUE(record.parse(d.xml));
        const MRV_BOMRecord::Row& row = record.group(u"OTER"_s)->rows.first();
        const MRV_BOMRecord::Dependency* dep = row.dependency(u"Parent"_s);
        EXPECT_EQ(dep == nullptr, row.value(u"Parent"_s) == u"-2");
        if (dep) {
            EXPECT_EQ(dep->keyValues,
                      column(*base, u"SELECT descript FROM OTER WHERE territryID = "_s +
                                        row.value(u"Parent"_s)));
        }
    }
}

TEST_F(EngineRead, ChildRowsAreReadWithExactlyTheirParents) {
    const BOMTableList tables = read(u"MRV_TRN_COUNTRIES_100"_s, {{u"US"_s}, {u"DE"_s}});
    ASSERT_EQ(tables.size(), 2);
    EXPECT_EQ(tables[0].name, "OCRY");
    EXPECT_EQ(tables[1].name, "OCST");
    MRV_BOMRecord states;
    ASSERT_TRUE(states.parse(tables[1].documents.first().xml));
    QSet<QString> countries;
    for (const MRV_BOMRecord::Row& row : states.group(u"OCST"_s)->rows)
        countries.insert(row.value(u"Country"_s));
    EXPECT_EQ(countries, (QSet<QString>{u"US"_s, u"DE"_s}));
    EXPECT_EQ(states.group(u"OCST"_s)->rows.size(),
              column(*base, u"SELECT Code FROM OCST WHERE Country IN ('US', 'DE')"_s).size());
    // A country without states brings no second table.
    exec(*base, u"INSERT INTO OCRY (Code, Name) VALUES (N'ZZ', N'Nowhere')"_s);
    EXPECT_EQ(read(u"MRV_TRN_COUNTRIES_100"_s, {{u"ZZ"_s}}).size(), 1);
}

TEST_F(EngineRead, TerritoriesAreReadParentsFirstWhateverTheirKeys) {
    // A tree whose parents have larger keys than their children: ordered by
    // parent key alone, children would come first.
    exec(*base, u"DELETE FROM OTER"_s);
    exec(*base, u"INSERT INTO OTER (territryID, descript, parent) VALUES (9, N'World', -2)"_s);
    exec(*base, u"INSERT INTO OTER (territryID, descript, parent) VALUES (8, N'Europe', 9)"_s);
    exec(*base, u"INSERT INTO OTER (territryID, descript, parent) VALUES (3, N'Alps', 7)"_s);
    exec(*base, u"INSERT INTO OTER (territryID, descript, parent) VALUES (7, N'DACH', 8)"_s);
    exec(*base, u"INSERT INTO OTER (territryID, descript, parent) VALUES (5, N'Asia', 9)"_s);
    QStringList order;
    const BOMTableList tables = read(u"MRV_TRN_TERRITORIES_100"_s);
    for (const MRV_BOMDocument& d : tables.first().documents)
        order << mainValue(d, u"OTER"_s, u"Description"_s);
    ASSERT_EQ(order.size(), 5);
    for (const auto& [parent, child] : {std::pair{u"World"_s, u"Europe"_s},
                                        {u"Europe"_s, u"DACH"_s},
                                        {u"DACH"_s, u"Alps"_s},
                                        {u"World"_s, u"Asia"_s}})
        EXPECT_LT(order.indexOf(parent), order.indexOf(child)) << order.join(u',').toStdString();
}

TEST_F(EngineRead, DetailsListFromTheBaseAndFromDocuments) {
    auto manufacturers = manager(u"MRV_TRN_MANUFACTURERS_100"_s);
    const MRV_DIDataSet* listed = manufacturers->listFromDatabase();
    QList<std::pair<int, bool>> columns; // type, editable
    for (const MRV_DIDataSet::Column& c : listed->columns()) {
        columns.append({c.type, c.editable});
        EXPECT_FALSE(c.description.isEmpty());
    }
    EXPECT_EQ(columns, (QList<std::pair<int, bool>>{{MRV_DIDataSet::Number, false},
                                                    {MRV_DIDataSet::Text, true}}));
    const QList<MRV_DIDataSet::Row> fromBase = listed->rows();
    ASSERT_EQ(fromBase.size(), 8);
    EXPECT_EQ(fromBase.first().keys, QVariantList{1});
    EXPECT_EQ(fromBase.first().values, (QStringList{u"1"_s, u"Acorn Devices"_s}));
    EXPECT_EQ(fromBase.first().description, "Acorn Devices");

    // The same list from the documents of a configuration file.
    const MRV_DIDataSet* fromFile =
        manufacturers->listFromConfiguration(read(u"MRV_TRN_MANUFACTURERS_100"_s));
    ASSERT_EQ(fromFile->rows().size(), fromBase.size());
    for (qsizetype i = 0; i < fromBase.size(); ++i) {
        EXPECT_EQ(fromFile->rows()[i].keys, fromBase[i].keys);
        EXPECT_EQ(fromFile->rows()[i].values, fromBase[i].values);
        EXPECT_EQ(fromFile->rows()[i].description, fromBase[i].description);
    }
    EXPECT_TRUE(manufacturers->listFromConfiguration({})->rows().isEmpty());

    // Table rows list by their columns; the main table's entry is listed
    // even when a child table follows it.
    auto countries = manager(u"MRV_TRN_COUNTRIES_100"_s);
    const MRV_DIDataSet* listedCountries =
        countries->listFromConfiguration(read(u"MRV_TRN_COUNTRIES_100"_s, {{u"US"_s}}));
    ASSERT_EQ(listedCountries->rows().size(), 1);
    const MRV_DIDataSet::Row& us = listedCountries->rows().first();
    EXPECT_EQ(us.keys, QVariantList{u"US"_s});
    EXPECT_EQ(us.values.value(0), "US");
    EXPECT_EQ(us.values.size(), 5);
}
