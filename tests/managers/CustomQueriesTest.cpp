#include "ManagerTestSupport.h"
#include "xml/MRV_XmlString.h"

using namespace Qt::StringLiterals;

namespace {

const QString Queries = u"MRV_TRN_QUERIES_100"_s;
const QString UserFieldSearches = u"MRV_TRN_FSUDF_100"_s;
const QString StandardSearches = u"MRV_TRN_FSSTDF_100"_s;
const QString DocumentLayouts = u"MRV_TRN_DOCREP_100"_s;
const QString QueryLayouts = u"MRV_TRN_QUERYLAYOUTS_100"_s;

// A query by name and category name, never by number.
const QString QueryContents =
    u"SELECT q.QName, c.CatName, q.QString, q.QType FROM OUQR q LEFT JOIN OQCN c "
    u"ON c.CategoryId = q.QCategory WHERE q.QCategory <> -2 ORDER BY 1, 2"_s;
const QString UserField = u"ItemID LIKE 'U!_%' ESCAPE '!'"_s;

QString searchContents(const QString& kind) {
    return u"SELECT s.FormID, s.ItemID, s.ColumnID, s.FieldID, s.Action, q.QName, s.Refresh, "
           u"s.FrceRefrsh, s.ByField FROM CSHS s LEFT JOIN OUQR q ON q.IntrnalKey = s.QueryID "
           u"WHERE %1 ORDER BY 1, 2, 3"_s.arg(kind);
}
QString layoutContents(const QString& kind) {
    return u"SELECT DocName, TypeCode, Author, Notes, Language, Paper, Template FROM RDOC "
           u"WHERE %1 ORDER BY 1, 2"_s.arg(kind);
}

const QString Documents = u"Author <> 'System' AND TypeCode NOT LIKE 'USR%'"_s;
const QString OfQueries =
    u"Author <> 'System' AND (TypeCode LIKE 'USRT%' OR TypeCode LIKE 'USRP%')"_s;

// The base's queries under other numbers, known by their names.
void queriesByName(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    copyNamesUnderOtherKeys(base, target, u"SELECT QName FROM OUQR WHERE QCategory <> -2"_s,
                            u"INSERT INTO OUQR (IntrnalKey, QName) VALUES (%1, %2)"_s);
}

// The base's categories under other numbers, known by their names.
void categoriesByName(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    copyNamesUnderOtherKeys(base, target, u"SELECT CatName FROM OQCN WHERE CategoryId <> -2"_s,
                            u"INSERT INTO OQCN (CategoryId, CatName) VALUES (%1, %2)"_s);
}

// The layouts of a category; the hostile ones are of type.
ManagerCase layoutCase(const char* name, const QString& category, const QString& kind,
                       const char* type) {
    return {.name = name,
            .categoryId = category,
            .contents = layoutContents(kind),
            .records = u"SELECT 1 FROM RDOC WHERE "_s + kind,
            .prepare = [](LLObjectsCOM::Company&, LLObjectsCOM::Company&) {},
            .insertNamed = u"INSERT INTO RDOC (DocCode, DocName, TypeCode, Author) VALUES (%3, "
                           u"%2, '%1', 'tester')"_s.arg(QLatin1String(type)),
            .names = u"SELECT DocName FROM RDOC WHERE "_s + kind,
            .nameWidth = 100,
            // Layouts are overwritten where they stand, never removed.
            .removable = u"SELECT 1 FROM RDOC WHERE 0 = 1"_s,
            .steady = u"SELECT TypeCode FROM RTYP WHERE TypeCode IN (SELECT TypeCode FROM RDOC "
                      u"WHERE %1)"_s.arg(kind)};
}

} // namespace

QList<ManagerCase> customQueryCases() {
    const QString standard = u"NOT ("_s + UserField + u')';
    return {
        // Queries first: the searches name them.
        {.name = "Queries",
         .categoryId = Queries,
         .contents = QueryContents,
         .records = u"SELECT 1 FROM OUQR WHERE QCategory <> -2"_s,
         .prepare = categoriesByName,
         .insertNamed = u"INSERT INTO OUQR (IntrnalKey, QCategory, QName) VALUES (%1, 1, %2)"_s,
         .names = u"SELECT QName FROM OUQR WHERE QCategory <> -2"_s,
         .nameWidth = 100,
         .steady = u"SELECT CategoryId FROM OQCN WHERE CategoryId <> -2"_s},
        {"UserFieldSearches", UserFieldSearches, searchContents(UserField),
         u"SELECT 1 FROM CSHS WHERE "_s + UserField, queriesByName, QString(), QString()},
        {"StandardSearches", StandardSearches, searchContents(standard),
         u"SELECT 1 FROM CSHS WHERE "_s + standard, queriesByName, QString(), QString()},
        layoutCase("DocumentLayouts", DocumentLayouts, Documents, "INV2"),
        layoutCase("QueryLayouts", QueryLayouts, OfQueries, "USRT"),
    };
}

// The particulars, on both SQL dialects.
class CustomQueries : public ManagerOnServer {
protected:
    // The values of one element in the documents of a table entry.
    static QStringList valuesOf(const BOMTableList& tables, const QString& table,
                                const QString& element) {
        QStringList values;
        for (const MRV_BOMTable& entry : tables)
            for (const MRV_BOMDocument& d :
                 entry.name == table ? entry.documents : QList<MRV_BOMDocument>()) {
                MRV_BOMRecord record;
                EXPECT_TRUE(record.parse(d.xml));
                values << record.firstRow(table).value(element);
            }
        return values;
    }
};

// Category -2 (the system's queries) is never read, even when selected,
// and stays through the removal phase with its queries. The other
// categories arrive by name into a target that numbers them otherwise,
// whatever the copy method, and stay too.
TEST_P(CustomQueries, QueryCategoriesTravelByNameAndSystemQueriesStay) {
    const QVariantList system =
        rows(*base, u"SELECT IntrnalKey, QCategory FROM OUQR WHERE QCategory = -2"_s).value(0);
    ASSERT_EQ(system.size(), 2);
    EXPECT_TRUE(read(Queries, {system}).isEmpty());
    // The grid shows each query's category by name.
    QStringList categories;
    for (const MRV_DIDataSet::Row& row : listed(Queries))
        categories << row.values.value(2);
    categories.sort();
    EXPECT_EQ(categories, column(*base, u"SELECT COALESCE(c.CatName, q.QCategory) FROM OUQR q LEFT "
                                        u"JOIN OQCN c ON c.CategoryId = q.QCategory WHERE "
                                        u"q.QCategory <> -2 ORDER BY 1"_s));
    const BOMTableList all = read(Queries);
    EXPECT_FALSE(valuesOf(all, u"OUQR"_s, u"QueryCategory"_s).contains(u"-2"_s));
    EXPECT_FALSE(valuesOf(all, u"OQCN"_s, u"Code"_s).contains(u"-2"_s));
    for (const char* sql : {"INSERT INTO OQCN (CategoryId, CatName) VALUES (-2, 'System')",
                            "INSERT INTO OQCN (CategoryId, CatName) VALUES (7, 'Finance')",
                            "INSERT INTO OQCN (CategoryId, CatName) VALUES (9, 'Kept')",
                            "INSERT INTO OUQR (IntrnalKey, QCategory, QName) VALUES (1, -2, 'Own')",
                            "INSERT INTO OUQR (IntrnalKey, QCategory, QName) VALUES (50, 7, "
                            "'Accounts without budget')"})
        exec(*target, QLatin1String(sql));
    // Updating only updates the one query the target has, in its Finance.
    EXPECT_EQ(copy(Queries, MRV_DIInterface::UpdateExisting), S_FALSE);
    EXPECT_EQ(failedLines().size(),
              rows(*base, u"SELECT 1 FROM OUQR WHERE QCategory <> -2"_s).size() - 1);
    EXPECT_EQ(value(*target, u"SELECT QString FROM OUQR WHERE IntrnalKey = 50 AND QCategory = 7"_s),
              value(*base, u"SELECT QString FROM OUQR WHERE QName = 'Accounts without budget'"_s));
    const QString ownCategories = u"SELECT CategoryId, CatName FROM OQCN WHERE CatName IN ("
                                  u"'Kept', 'Finance', 'System') ORDER BY 1"_s;
    const QString systemQuery = u"SELECT * FROM OUQR WHERE QCategory = -2"_s;
    const QList<QVariantList> kept = rows(*target, ownCategories);
    const QList<QVariantList> own = rows(*target, systemQuery);
    EXPECT_EQ(kept.size(), 3);
    // A new query gets the number after the target's highest.
    EXPECT_EQ(copy(Queries, MRV_DIInterface::AddNew), S_FALSE);
    EXPECT_EQ(value(*target, u"SELECT MIN(IntrnalKey) FROM OUQR WHERE IntrnalKey > 1 AND "
                             u"IntrnalKey <> 50"_s)
                  .toInt(),
              51);
    EXPECT_EQ(copy(Queries, MRV_DIInterface::ReplaceAll), S_OK) << failures();
    EXPECT_EQ(rows(*target, ownCategories), kept);
    EXPECT_EQ(rows(*target, systemQuery), own);
    expectSame(QueryContents);
}

// A search whose query the target lacks fails, naming the query; the
// others name the target's query of the same name.
TEST_P(CustomQueries, ASearchWhoseQueryTheTargetLacksFailsNamingIt) {
    queriesByName(*base, *target);
    exec(*target, u"DELETE FROM OUQR WHERE QName = 'Item colors'"_s);
    EXPECT_EQ(copy(UserFieldSearches, MRV_DIInterface::AddAndUpdate), S_FALSE);
    EXPECT_EQ(failedLines(), QStringList{u"6: QueryID refers to OUQR QName 'Item colors', which "
                                         u"is not in the target company"_s});
    const QString others = searchContents(UserField + u" AND ItemID <> 'U_Color'"_s);
    expectSame(others);
}

// The search categories split by the item id's first two characters as
// they stand: "U_" and nothing else.
TEST_P(CustomQueries, SearchVariantsSplitByTheItemIdsFirstTwoCharacters) {
    int index = 100;
    for (const char* item : {"UX", "UX_1", "U", "U_", "U_Extra", "XU_", "%U_"})
        exec(*base, u"INSERT INTO CSHS (IndexID, FormID, ItemID, QueryID) VALUES (%1, '900', "
                    u"%2, 1)"_s.arg(index++)
                        .arg(lit(QLatin1String(item))));
    for (const auto& [category, expected] :
         {std::pair{UserFieldSearches, QStringList{u"U_"_s, u"U_Extra"_s}},
          {StandardSearches, {u"%U_"_s, u"U"_s, u"UX"_s, u"UX_1"_s, u"XU_"_s}}}) {
        const BOMTableList tables = read(category);
        const QStringList forms = valuesOf(tables, u"CSHS"_s, u"FormID"_s);
        QStringList items = valuesOf(tables, u"CSHS"_s, u"ItemID"_s);
        for (qsizetype i = forms.size() - 1; i >= 0; --i)
            if (forms[i] != u"900")
                items.removeAt(i);
        items.sort();
        EXPECT_EQ(items, expected);
    }
}

// A layout is the target's layout of the same name and type, overwritten
// under its code there; its type keeps the target's default layout. Two
// base layouts that are one layout of the target fail the second, naming
// the first. Layouts of the system's are never read, of query previews
// neither.
TEST_P(CustomQueries, LayoutsAreMatchedByNameAndTypeUnderTheTargetsCode) {
    const QVariantList layout =
        rows(*base,
             u"SELECT DocCode, DocName, TypeCode FROM RDOC WHERE %1 ORDER BY 1"_s.arg(Documents))
            .value(0);
    ASSERT_EQ(layout.size(), 3);
    const QString name = lit(layout[1].toString()), type = lit(layout[2].toString());
    exec(*target,
         u"UPDATE RTYP SET TypeName = 'Own', DfltReport = 'ZZ000001' WHERE TypeCode = %1"_s.arg(
             type));
    exec(*target, u"INSERT INTO RDOC (DocCode, DocName, TypeCode, Template) VALUES ('ZZ000001', "
                  u"%1, %2, 'old')"_s.arg(name, type));
    EXPECT_EQ(copy(DocumentLayouts, MRV_DIInterface::AddAndUpdate), S_OK) << failures();
    EXPECT_EQ(
        column(*target,
               u"SELECT DocCode FROM RDOC WHERE DocName = %1 AND TypeCode = %2"_s.arg(name, type)),
        QStringList{u"ZZ000001"_s});
    expectSame(layoutContents(Documents));
    EXPECT_EQ(column(*target, u"SELECT DfltReport FROM RTYP WHERE TypeCode = %1"_s.arg(type)),
              QStringList{u"ZZ000001"_s});

    exec(*base, u"INSERT INTO RDOC (DocCode, DocName, TypeCode, Author) VALUES ('ZY000001', "
                u"%1, %2, 'tester')"_s.arg(name, type));
    const qsizetype mark = logRecords().size();
    EXPECT_EQ(copy(DocumentLayouts, MRV_DIInterface::AddAndUpdate), S_FALSE);
    EXPECT_EQ(failedLines(mark),
              QStringList{u"ZY000001: The target company takes this layout for the base layout "
                          u"%1 written before it (their names and types are the same)"_s.arg(
                              layout[0].toString())});

    ASSERT_FALSE(column(*base, u"SELECT 1 FROM RDOC WHERE Author = 'System' AND TypeCode = "
                               u"'USRP'"_s)
                     .isEmpty());
    EXPECT_FALSE(valuesOf(read(QueryLayouts), u"RDOC"_s, u"Author"_s).contains(u"System"_s));
}

// Whatever a layout's texts hold (markup, escaped characters, quotes, any
// character XML carries) arrives as it was, written straight and through a
// configuration file: the record holds each text escaped exactly once.
TEST_P(CustomQueries, LayoutTextsArriveByteForByte) {
    // Beside the shared hostile strings: an escape alone, mixed escapes,
    // both quotes, lone carriage returns and padding.
    QStringList texts{
        u"&lt;"_s,         u"<b>x</b>"_s,           u"\"q\" 'a'"_s, u"a & b &amp; &#38; &gt;"_s,
        u"Größe 日本 😀"_s, u"line\r\nbreak\rend"_s, u"  padded  "_s};
    for (const QString& v : nastyStrings())
        if (isXmlText(v) && !v.isEmpty())
            texts << v;
    // The first characters of a text, never half a character.
    const auto fit = [](const QString& text, qsizetype size) {
        QString part = text.left(size);
        if (!part.isEmpty() && part.back().isHighSurrogate())
            part.chop(1);
        return lit(part);
    };
    for (int i = 0; i < texts.size(); ++i)
        exec(*base, u"INSERT INTO RDOC (DocCode, DocName, TypeCode, Author, Notes, Paper, "
                    u"Template) VALUES ('X%1', %2, 'INV2', %3, %4, %3, %5)"_s.arg(i)
                        .arg(fit(u"T%1 "_s.arg(i) + texts[i], 100), fit(texts[i], 20),
                             fit(texts[i], 254), lit(texts[i] + u"<If>&lt;</If>"_s)));
    const QString columns = u"SELECT DocName, Author, Notes, Paper, Template FROM RDOC WHERE "
                            u"DocCode LIKE 'X%' ORDER BY DocName"_s;
    const QList<QVariantList> expected = rows(*base, columns);
    ASSERT_EQ(expected.size(), texts.size());

    const BOMTableList tables = read(DocumentLayouts);
    qsizetype once = 0;
    for (const MRV_BOMDocument& d : tables.last().documents)
        once += d.xml.contains(u"<Remarks>&amp;lt;</Remarks>"_s) &&
                d.xml.contains(u"&amp;lt;&lt;If&gt;&amp;lt;&lt;/If&gt;"_s);
    EXPECT_EQ(once, 1);
    EXPECT_EQ(manager(DocumentLayouts)->writeToTarget(tables, MRV_DIInterface::AddNew), S_OK)
        << failures();
    EXPECT_EQ(rows(*target, columns), expected);

    const BOMTableList carried = throughFile(DocumentLayouts, u"layouts.xml"_s);
    exec(*target, u"UPDATE RDOC SET Notes = 'changed', Template = 'changed'"_s);
    EXPECT_EQ(manager(DocumentLayouts)->writeToTarget(carried, MRV_DIInterface::UpdateExisting),
              S_OK)
        << failures();
    EXPECT_EQ(rows(*target, columns), expected);
}

INSTANTIATE_TEST_SUITE_P(ServerTypes, CustomQueries, ::testing::Values(6, 5), anyServerTypeName);
