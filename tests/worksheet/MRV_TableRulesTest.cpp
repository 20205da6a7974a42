#include "worksheet/MRV_TableRules.h"
#include "TestData.h"
#include "worksheet/MRV_WorksheetNode.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using T = MRV_ColumnType;
using R = MRV_FilterRule;

int sign(int v) {
    return (v > 0) - (v < 0);
}

struct CompareCase {
    const char* a;
    const char* b;
    T type;
    int expected;
};

const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

class CompareTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareTest, OrdersLikeTheGrid) {
    const CompareCase& c = GetParam();
    const QString a = QString::fromUtf8(c.a), b = QString::fromUtf8(c.b);
    EXPECT_EQ(sign(MRV_TableRules::compare(a, b, c.type, kEnglish)), c.expected)
        << c.a << " " << c.b;
    EXPECT_EQ(sign(MRV_TableRules::compare(b, a, c.type, kEnglish)), -c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CompareTest,
    ::testing::Values(
        CompareCase{"abc", "ABC", T::Text, 0}, CompareCase{"apple", "Banana", T::Text, -1},
        CompareCase{"Zeta", "alpha", T::Text, 1}, CompareCase{"", "a", T::Text, -1},
        // Numbers compare by value, not as text.
        CompareCase{"10", "9", T::Number, 1}, CompareCase{"1,000.5", "999", T::Number, 1},
        CompareCase{"-2", "1", T::Number, -1}, CompareCase{"2.50", "2.5", T::Number, 0},
        // Both read as 0: the texts decide.
        CompareCase{"abc", "xyz", T::Number, -1}, CompareCase{"0", "zero", T::Number, -1},
        CompareCase{"", "0.0", T::Number, -1},
        // Infinities and NaN are no numbers.
        CompareCase{"nan", "inf", T::Number, 1},
        CompareCase{"01/02/2024", "12/31/2023", T::Date, 1},
        CompareCase{"3/5/24", "3/5/24", T::Date, 0},
        // Not both dates: as text ("1..." before "a...").
        CompareCase{"12/31/2023", "abc", T::Date, -1}, CompareCase{"a", "B", T::Date, -1},
        CompareCase{"x", "X", T::Selected, 0}));

TEST(TableRulesCompare, NumbersFollowTheLocaleSeparators) {
    // In German "1.234,5" is 1234.5 and greater than "999,9".
    EXPECT_GT(MRV_TableRules::compare(u"1.234,5"_s, u"999,9"_s, T::Number, kGerman), 0);
    EXPECT_LT(MRV_TableRules::compare(u"0,5"_s, u"0,75"_s, T::Number, kGerman), 0);
    EXPECT_GT(MRV_TableRules::compare(u"31.12.2023"_s, u"01.01.2023"_s, T::Date, kGerman), 0);
}

TEST(TableRulesCompare, RowsTryTheKeysInOrder) {
    const QList<T> types = {T::Text, T::Number};
    const QStringList a = {u"b"_s, u"1"_s}, b = {u"B"_s, u"2"_s};
    // The first key ties (case), the second decides; descending negates.
    EXPECT_LT(
        MRV_TableRules::compareRows(a, false, b, false, {{0, true}, {1, true}}, types, kEnglish),
        0);
    EXPECT_GT(
        MRV_TableRules::compareRows(a, false, b, false, {{0, true}, {1, false}}, types, kEnglish),
        0);
    // A selected record is greater than an unselected one.
    EXPECT_GT(
        MRV_TableRules::compareRows(a, true, b, false, {{-1, true}, {1, true}}, types, kEnglish),
        0);
    EXPECT_LT(MRV_TableRules::compareRows(a, true, b, false, {{-1, false}}, types, kEnglish), 0);
    EXPECT_EQ(MRV_TableRules::compareRows(a, true, b, true, {}, types, kEnglish), 0);
    // A key naming a column a row lacks compares empty texts.
    EXPECT_EQ(MRV_TableRules::compareRows(a, false, b, false, {{7, true}}, types, kEnglish), 0);
}

struct FilterCase {
    const char* cell;
    int rule;
    const char* value;
    const char* toValue;
    T type;
    bool passes;
};

class FilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterTest, DecidesTheRow) {
    const FilterCase& c = GetParam();
    const R rule{0, c.rule, QString::fromUtf8(c.value), QString::fromUtf8(c.toValue)};
    EXPECT_EQ(MRV_TableRules::passes(QString::fromUtf8(c.cell), rule, c.type), c.passes)
        << "cell '" << c.cell << "' rule " << c.rule << " '" << c.value << "'..'" << c.toValue
        << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Text, FilterTest,
    ::testing::Values(FilterCase{"ABC", R::Equal, "abc", "", T::Text, true},
                      FilterCase{"ABC", R::NotEqual, "abc", "", T::Text, false},
                      FilterCase{"ABD", R::NotEqual, "abc", "", T::Text, true},
                      FilterCase{"f", R::InRange, "c", "m", T::Text, true},
                      FilterCase{"f", R::InRange, "m", "c", T::Text, true}, // bounds swapped
                      FilterCase{"z", R::InRange, "m", "c", T::Text, false},
                      FilterCase{"anything", R::InRange, "", "", T::Text, true},
                      FilterCase{"z", R::OutOfRange, "m", "c", T::Text, true},
                      FilterCase{"f", R::OutOfRange, "c", "m", T::Text, false},
                      FilterCase{"anything", R::OutOfRange, "", "", T::Text, false},
                      FilterCase{"b", R::Greater, "A", "", T::Text, true},
                      FilterCase{"a", R::Greater, "A", "", T::Text, false},
                      FilterCase{"a", R::GreaterOrEqual, "A", "", T::Text, true},
                      FilterCase{"a", R::Smaller, "B", "", T::Text, true},
                      FilterCase{"b", R::SmallerOrEqual, "B", "", T::Text, true},
                      FilterCase{"c", R::SmallerOrEqual, "B", "", T::Text, false},
                      FilterCase{"Hello World", R::Contains, "O W", "", T::Text, true},
                      FilterCase{"Hello", R::NotContains, "xyz", "", T::Text, true},
                      FilterCase{"Hello", R::NotContains, "ELL", "", T::Text, false},
                      FilterCase{"Hello", R::StartsWith, "he", "", T::Text, true},
                      FilterCase{"Hello", R::StartsWith, "lo", "", T::Text, false},
                      FilterCase{"Hello", R::EndsWith, "LO", "", T::Text, true},
                      FilterCase{"lo", R::EndsWith, "hello", "", T::Text, false},
                      FilterCase{"  \t", R::IsEmpty, "", "", T::Text, true},
                      FilterCase{" x ", R::IsEmpty, "", "", T::Text, false},
                      FilterCase{" x ", R::IsNotEmpty, "", "", T::Text, true},
                      // A date column filters as text.
                      FilterCase{"01/02/2024", R::Greater, "12/31/2023", "", T::Date, false},
                      FilterCase{"x", R::None, "", "", T::Text, true},
                      FilterCase{"x", 15, "x", "", T::Text, false},
                      FilterCase{"x", -1, "x", "", T::Text, false}));

INSTANTIATE_TEST_SUITE_P(
    Number, FilterTest,
    ::testing::Values(FilterCase{"10", R::Equal, "10.0", "", T::Number, true},
                      FilterCase{"10", R::NotEqual, "10.0", "", T::Number, false},
                      FilterCase{"10", R::Greater, "9", "", T::Number, true}, // as text "10" < "9"
                      FilterCase{"10", R::Smaller, "9", "", T::Number, false},
                      FilterCase{"5", R::InRange, "10", "1", T::Number, true},
                      FilterCase{"10", R::InRange, "1", "10", T::Number, true},
                      FilterCase{"10", R::OutOfRange, "1", "10", T::Number, false},
                      FilterCase{"11", R::OutOfRange, "10", "1", T::Number, true},
                      FilterCase{"-3", R::GreaterOrEqual, "-3", "", T::Number, true},
                      FilterCase{"-3", R::SmallerOrEqual, "-4", "", T::Number, false},
                      FilterCase{"12", R::Contains, "1", "", T::Number, false},
                      FilterCase{"12", R::NotContains, "9", "", T::Number, false},
                      FilterCase{"12", R::StartsWith, "1", "", T::Number, false},
                      FilterCase{"12", R::EndsWith, "2", "", T::Number, false},
                      FilterCase{" ", R::IsEmpty, "", "", T::Number, true},
                      FilterCase{"0", R::IsNotEmpty, "", "", T::Number, true},
                      // A value that is no number: that condition compares texts.
                      FilterCase{"abc", R::Equal, "ABC", "", T::Number, true},
                      FilterCase{"12", R::Equal, "twelve", "", T::Number, false},
                      FilterCase{"12", R::NotEqual, "twelve", "", T::Number, true},
                      FilterCase{"12", R::InRange, "", "", T::Number, true},
                      FilterCase{"12", R::OutOfRange, "", "", T::Number, false},
                      FilterCase{"inf", R::Greater, "1e308", "", T::Number, true}));

TEST(TableRulesFilter, AllConditionsInOrder) {
    const QList<T> types = {T::Text, T::Number};
    const QStringList row = {u"Widget"_s, u"42"_s};
    EXPECT_TRUE(MRV_TableRules::passesAll(row, {}, types));
    EXPECT_TRUE(MRV_TableRules::passesAll(
        row, {{0, R::StartsWith, u"wid"_s, {}}, {1, R::Greater, u"41"_s, {}}}, types));
    EXPECT_FALSE(MRV_TableRules::passesAll(
        row, {{0, R::StartsWith, u"wid"_s, {}}, {1, R::Greater, u"42"_s, {}}}, types));
    // A condition on a column the row lacks sees an empty cell.
    EXPECT_TRUE(MRV_TableRules::passesAll(row, {{5, R::IsEmpty, {}, {}}}, types));
}

TEST(TableRulesFilter, HostileValuesKeepTheRulesConsistent) {
    const QStringList nasty = nastyStrings();
    ASSERT_FALSE(nasty.isEmpty());
    for (const QString& s : nasty) {
        SCOPED_TRACE(s.toStdString());
        for (const T type : {T::Text, T::Number, T::Date}) {
            const auto pass = [&](int rule, const QString& value, const QString& to = {}) {
                return MRV_TableRules::passes(s, {0, rule, value, to}, type);
            };
            EXPECT_TRUE(pass(R::Equal, s));
            EXPECT_TRUE(pass(R::Equal, s.toUpper()) || s.toUpper().toLower() != s.toLower());
            EXPECT_FALSE(pass(R::NotEqual, s));
            EXPECT_TRUE(pass(R::InRange, s, s));
            EXPECT_FALSE(pass(R::OutOfRange, s, s));
            EXPECT_TRUE(pass(R::GreaterOrEqual, s));
            EXPECT_FALSE(pass(R::Greater, s));
            EXPECT_EQ(pass(R::IsEmpty, {}), s.trimmed().isEmpty());
            EXPECT_NE(pass(R::IsEmpty, {}), pass(R::IsNotEmpty, {}));
            const bool text = type != T::Number;
            EXPECT_EQ(pass(R::Contains, s), text);
            EXPECT_EQ(pass(R::StartsWith, s), text);
            EXPECT_EQ(pass(R::EndsWith, s), text);
            EXPECT_FALSE(pass(R::NotContains, s));
            for (const QString& other : nasty) {
                // Not Equal is always the opposite of Equal.
                EXPECT_NE(pass(R::Equal, other), pass(R::NotEqual, other)) << other.toStdString();
                const int ab = sign(MRV_TableRules::compare(s, other, type, kEnglish));
                const int ba = sign(MRV_TableRules::compare(other, s, type, kEnglish));
                ASSERT_EQ(ab, -ba) << other.toStdString();
            }
            EXPECT_EQ(MRV_TableRules::compare(s, s, type, kEnglish), 0);
        }
    }
}

TEST(WorksheetNodeEdits, KeepsOneChangePerFieldAndDropsUndoneOnes) {
    MRV_WorksheetNode node;
    const QList<std::pair<QString, QString>> key = {{u"Code"_s, u"A'1"_s}};
    const QList<std::pair<QString, QString>> other = {{u"Code"_s, u"B"_s}};
    node.recordEdit(u"OCRG"_s, key, u"Name"_s, u"old"_s, u"old"_s);
    EXPECT_TRUE(node.edits.isEmpty()); // no change at all
    node.recordEdit(u"OCRG"_s, key, u"Name"_s, u"old"_s, u"first"_s);
    node.recordEdit(u"OCRG"_s, key, u"Name"_s, u"first"_s, u"<second & third>"_s);
    node.recordEdit(u"OCRG"_s, other, u"Name"_s, u"x"_s, u"y"_s);
    ASSERT_EQ(node.edits.size(), 2);
    const MRV_ChangedField* edit = node.editOf(u"OCRG"_s, key, u"Name"_s);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->oldValue, u"old"_s);
    EXPECT_EQ(edit->newValue, u"<second & third>"_s);
    EXPECT_EQ(node.editOf(u"OCRD"_s, key, u"Name"_s), nullptr);
    node.recordEdit(u"OCRG"_s, key, u"Name"_s, u"<second & third>"_s, u"old"_s);
    EXPECT_EQ(node.editOf(u"OCRG"_s, key, u"Name"_s), nullptr);
    ASSERT_EQ(node.edits.size(), 1);
    EXPECT_EQ(node.edits[0].keys, other);
    // A copy of the node carries the edits.
    EXPECT_EQ(MRV_WorksheetNode(node).edits, node.edits);
}

} // namespace
