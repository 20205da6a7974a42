#include "di/MRV_SQLBuilder.h"

#include "TestData.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace {

constexpr int Bracketed = 6;
constexpr int IsoStamp = 2;
constexpr int NumericDate = 3;
constexpr int Quoted = 5;

QString where(int serverType, const QList<std::tuple<QString, QString, int>>& items) {
    MRV_SQLBuilder b(serverType, u"T"_s);
    for (const auto& [column, value, type] : items)
        b.addCondition(column, value, type);
    return b.buildWhere();
}

} // namespace

TEST(SQLBuilder, ConditionsOnOneColumnAreAlternativesAndOnSeveralAllHold) {
    EXPECT_EQ(where(Bracketed, {{"c", "a", 0}, {"c", "b", 0}}), " WHERE c = N'a' OR c = N'b'");
    EXPECT_EQ(where(Bracketed, {{"a", "1", 2}, {"b", "x", 0}}), " WHERE a = 1 AND b = N'x'");
    // A run of alternatives beside another condition is bracketed, so the
    // AND does not take one alternative alone.
    EXPECT_EQ(where(Bracketed, {{"t", "C", 0}, {"k", "1", 2}, {"k", "2", 2}}),
              " WHERE t = N'C' AND (k = 1 OR k = 2)");
    EXPECT_EQ(where(Bracketed, {}), "");
    EXPECT_EQ(where(Quoted, {{"c", "a", 0}, {"d", "", 2}}), " WHERE \"c\" = 'a' AND \"d\" IS NULL");
    // The text NULL is a value, not a test for NULL.
    EXPECT_EQ(where(Bracketed, {{"c", "NULL", 0}}), " WHERE c = N'NULL'");
}

TEST(SQLBuilder, DatesAreWrittenForEachServerType) {
    EXPECT_EQ(where(IsoStamp, {{"d", "20240131", 3}}), " WHERE d = TIMESTAMP_ISO('2024-01-31')");
    EXPECT_EQ(where(Quoted, {{"d", "20240131", 3}}), " WHERE \"d\" = '2024-01-31 00:00:00.000000'");
    EXPECT_EQ(where(Bracketed, {{"d", "20240131", 3}}),
              " WHERE d = CONVERT(datetime,'20240131',112)");
    EXPECT_EQ(where(NumericDate, {{"d", "2024-01-31", 3}}), " WHERE d = 20240131");
    EXPECT_EQ(where(Bracketed, {{"d", "", 3}}), " WHERE d IS NULL");
}

TEST(SQLBuilder, StatementsHaveTheirFixedForms) {
    MRV_SQLBuilder select(Bracketed, u"@MRVSETT"_s);
    EXPECT_EQ(select.buildSelect(), "SELECT * FROM [@MRVSETT]");
    select.addSelectColumn(u"Code"_s);
    select.addSelectColumn(u"Name"_s);
    select.addCondition(u"Code"_s, u"O'Brien"_s, 0);
    EXPECT_EQ(select.buildSelect(), "SELECT Code, Name FROM [@MRVSETT] WHERE Code = N'O''Brien'");
    EXPECT_EQ(select.buildDelete(), "DELETE  FROM [@MRVSETT] WHERE Code = N'O''Brien'");
    EXPECT_EQ(MRV_SQLBuilder::tableName(u"@MRVSETT"_s, IsoStamp), "@MRVSETT");
    EXPECT_EQ(MRV_SQLBuilder::tableName(u"@MRVSETT"_s, Quoted), "@MRVSETT");

    MRV_SQLBuilder insert(Bracketed, u"OCRG"_s);
    insert.addCondition(u"GroupCode"_s, u"7"_s, 2);
    insert.addCondition(u"GroupName"_s, QString(), 0);
    insert.addCondition(u"PriceList"_s, QString(), 2);
    insert.addCondition(u"Note"_s, u"it's"_s, 0);
    EXPECT_EQ(insert.buildInsert(), "INSERT INTO OCRG (GroupCode, GroupName, PriceList, Note) "
                                    "VALUES (7, NULL, NULL, N'it''s')");
    EXPECT_EQ(
        insert.buildUpdate(),
        "UPDATE OCRG SET GroupCode = 7 , GroupName = NULL , PriceList = NULL , Note = N'it''s'");
    // Bound, the same values as parameters: numbers as numbers, NULL as
    // null, text unescaped, a date as a date.
    insert.addCondition(u"Rate"_s, u"2.50"_s, 2);
    insert.addCondition(u"Since"_s, u"2024-01-31"_s, 3);
    QVariantList values;
    EXPECT_EQ(insert.buildBoundInsert(values),
              "INSERT INTO OCRG (GroupCode, GroupName, PriceList, Note, Rate, Since) "
              "VALUES (?, ?, ?, ?, ?, ?)");
    EXPECT_EQ(values, (QVariantList{qint64(7), QVariant(), QVariant(), u"it's"_s, 2.5,
                                    QDate(2024, 1, 31)}));
    // As conditions: NULL is still tested for, and empty text compares with
    // the empty text, not with NULL.
    MRV_SQLBuilder lookup(Bracketed, u"OCRG"_s);
    lookup.addSelectColumn(u"GroupCode"_s);
    lookup.addCondition(u"GroupName"_s, QString(), 0);
    lookup.addCondition(u"PriceList"_s, QString(), 2);
    lookup.addCondition(u"Note"_s, u"it's"_s, 0);
    lookup.addCondition(u"Since"_s, u"2024-01-31"_s, 3);
    EXPECT_EQ(lookup.buildBoundSelect(values),
              "SELECT GroupCode FROM OCRG WHERE GroupName = ? AND PriceList IS NULL AND Note = ? "
              "AND Since = ?");
    EXPECT_EQ(values, (QVariantList{u""_s, u"it's"_s, QDate(2024, 1, 31)}));
    EXPECT_FALSE(values.first().isNull());

    MRV_SQLBuilder quoted(Quoted, u"OCRG"_s);
    quoted.addSelectColumn(u"GroupCode"_s);
    quoted.addSelectColumn(u"MAX(GroupCode)"_s);
    quoted.addCondition(u"GroupName"_s, u"a"_s, 0);
    quoted.addCondition(u"Kind"_s, u"x"_s, 1); // dropped on type 5
    EXPECT_EQ(quoted.buildSelect(),
              "SELECT \"GroupCode\", MAX(GroupCode) FROM OCRG WHERE \"GroupName\" = 'a'");
}

// A value that should be a number or a date but is not one would stand in
// the statement without quotes; the builder refuses it instead.
TEST(SQLBuilder, ValuesThatAreNotWhatTheirTypeSaysMakeTheBuilderInvalid) {
    for (const QString& bad : {u"1; DROP TABLE OITM"_s, u"1 OR 1=1"_s, u"0x10"_s, u"12abc"_s}) {
        MRV_SQLBuilder b(Bracketed, u"T"_s);
        b.addCondition(u"n"_s, bad, MRV_SQLBuilder::Number);
        EXPECT_FALSE(b.isValid()) << bad.toStdString();
        EXPECT_FALSE(b.buildWhere().contains(bad));
        EXPECT_TRUE(b.invalidReason().contains(u"not a number"_s));
    }
    for (const QString& bad : {u"20241301"_s, u"2024013"_s, u"20240131') OR ('1'='1"_s}) {
        MRV_SQLBuilder b(Bracketed, u"T"_s);
        b.addCondition(u"d"_s, bad, MRV_SQLBuilder::Date);
        EXPECT_FALSE(b.isValid()) << bad.toStdString();
    }
    MRV_SQLBuilder good(Bracketed, u"T"_s);
    for (const QString& n : {u"-1"_s, u"2.5"_s, u"1e3"_s, u".5"_s})
        good.addCondition(u"n"_s, n, MRV_SQLBuilder::Number);
    EXPECT_TRUE(good.isValid());
}

// Every hostile text stays one literal: its quotes are doubled and nothing
// of it escapes the literal.
TEST(SQLBuilder, HostileTextStaysInsideItsLiteral) {
    for (const QString& nasty : nastyStrings()) {
        for (const int type : {Bracketed, Quoted}) {
            MRV_SQLBuilder b(type, u"T"_s);
            b.addCondition(u"c"_s, nasty, 0);
            const QString text = b.buildWhere();
            const QString prefix = type == Quoted ? u" WHERE \"c\" = '"_s : u" WHERE c = N'"_s;
            ASSERT_TRUE(text.startsWith(prefix) && text.endsWith(u'\'')) << text.toStdString();
            const QString inner = text.mid(prefix.size()).chopped(1);
            EXPECT_EQ(inner, QString(nasty).replace(u'\'', QLatin1String("''")));
            EXPECT_TRUE(b.isValid());
        }
    }
}

TEST(SQLBuilder, RewritersQuoteIdentifiersAndLeaveTheRest) {
    EXPECT_EQ(MRV_SQLBuilder::quoteWhere(
                  u"SELECT Code FROM %s WHERE Name = N'%s' AND GroupType = 'C' ORDER BY Code"_s),
              "SELECT Code FROM %s WHERE \"Name\" = '%s' AND \"GroupType\" = 'C' ORDER BY Code");
    // Literals keep their blanks and keywords; numbers, NULL tests and
    // subqueries come through whole.
    EXPECT_EQ(
        MRV_SQLBuilder::quoteWhere(u"WHERE Name = 'a AND b' AND Code <> -1 AND X IS NOT NULL"_s),
        "WHERE \"Name\" = 'a AND b' AND \"Code\" <> -1 AND \"X\" IS NOT NULL");
    EXPECT_EQ(MRV_SQLBuilder::quoteWhere(
                  u"PrjCode NOT IN (SELECT ProjectCod FROM OCRD WHERE ProjectCod IS NOT NULL)"_s),
              "\"PrjCode\" NOT IN (SELECT \"ProjectCod\" FROM \"OCRD\" WHERE \"ProjectCod\" IS "
              "NOT NULL)");
    EXPECT_EQ(MRV_SQLBuilder::quoteSelect(
                  u"SELECT GroupCode, GroupName, MAX(Code) FROM OCRG WHERE GroupType = N'C' "
                  "ORDER BY GroupName DESC, GroupCode"_s),
              "SELECT \"GroupCode\", \"GroupName\", MAX(\"Code\") FROM OCRG WHERE \"GroupType\" = "
              "'C' ORDER BY \"GroupName\" DESC, \"GroupCode\"");
    EXPECT_EQ(MRV_SQLBuilder::quoteSelect(u"SELECT * FROM [@MRVSETT] WHERE T0.Code = 1"_s),
              "SELECT * FROM \"@MRVSETT\" WHERE \"T0\".\"Code\" = 1");
}
