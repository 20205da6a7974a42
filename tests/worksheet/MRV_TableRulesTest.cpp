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

const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

struct CompareCase {
    const char* a;
    const char* b;
    T type;
    int expected;
    const QLocale* locale = &kEnglish;
};

// A case by its values, so that its test is named by them.
void PrintTo(const CompareCase& c, std::ostream* out) {
    *out << "'" << c.a << "' '" << c.b << "' type " << int(c.type) << " "
         << c.locale->name().toStdString();
}

class CompareTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareTest, OrdersLikeTheGrid) {
    const CompareCase& c = GetParam();
    const QString a = QString::fromUtf8(c.a), b = QString::fromUtf8(c.b);
    EXPECT_EQ(sign(MRV_TableRules::compare(a, b, c.type, *c.locale)), c.expected)
        << ::testing::PrintToString(c);
    EXPECT_EQ(sign(MRV_TableRules::compare(b, a, c.type, *c.locale)), -c.expected);
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
        CompareCase{"x", "X", T::Selected, 0},
        // Numbers and dates follow the locale's separators.
        CompareCase{"1.234,5", "999,9", T::Number, 1, &kGerman},
        CompareCase{"0,5", "0,75", T::Number, -1, &kGerman},
        CompareCase{"31.12.2023", "01.01.2023", T::Date, 1, &kGerman}));

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
    bool passes;
    T type = T::Text;
};

// A number column's case.
FilterCase N(const char* cell, int rule, const char* value, const char* toValue, bool passes) {
    return {cell, rule, value, toValue, passes, T::Number};
}
using F = FilterCase;

void PrintTo(const FilterCase& c, std::ostream* out) {
    *out << "'" << c.cell << "' rule " << c.rule << " '" << c.value << "'..'" << c.toValue
         << "' type " << int(c.type);
}

class FilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterTest, DecidesTheRow) {
    const FilterCase& c = GetParam();
    const R rule{0, c.rule, QString::fromUtf8(c.value), QString::fromUtf8(c.toValue)};
    EXPECT_EQ(MRV_TableRules::passes(QString::fromUtf8(c.cell), rule, c.type), c.passes)
        << ::testing::PrintToString(c);
}

INSTANTIATE_TEST_SUITE_P(
    Text, FilterTest,
    ::testing::Values(
        F{"ABC", R::Equal, "abc", "", true}, F{"ABC", R::NotEqual, "abc", "", false},
        F{"ABD", R::NotEqual, "abc", "", true}, F{"f", R::InRange, "c", "m", true},
        F{"f", R::InRange, "m", "c", true}, // bounds swapped
        F{"z", R::InRange, "m", "c", false}, F{"anything", R::InRange, "", "", true},
        F{"z", R::OutOfRange, "m", "c", true}, F{"f", R::OutOfRange, "c", "m", false},
        F{"anything", R::OutOfRange, "", "", false}, F{"b", R::Greater, "A", "", true},
        F{"a", R::Greater, "A", "", false}, F{"a", R::GreaterOrEqual, "A", "", true},
        F{"a", R::Smaller, "B", "", true}, F{"b", R::SmallerOrEqual, "B", "", true},
        F{"c", R::SmallerOrEqual, "B", "", false}, F{"Hello World", R::Contains, "O W", "", true},
        F{"Hello", R::NotContains, "xyz", "", true}, F{"Hello", R::NotContains, "ELL", "", false},
        F{"Hello", R::StartsWith, "he", "", true}, F{"Hello", R::StartsWith, "lo", "", false},
        F{"Hello", R::EndsWith, "LO", "", true}, F{"lo", R::EndsWith, "hello", "", false},
        F{"  \t", R::IsEmpty, "", "", true}, F{" x ", R::IsEmpty, "", "", false},
        F{" x ", R::IsNotEmpty, "", "", true},
        // A date column filters as text.
        F{"01/02/2024", R::Greater, "12/31/2023", "", false, T::Date},
        F{"x", R::None, "", "", true}, F{"x", 15, "x", "", false}, F{"x", -1, "x", "", false}));

INSTANTIATE_TEST_SUITE_P(
    Number, FilterTest,
    ::testing::Values(
        N("10", R::Equal, "10.0", "", true), N("10", R::NotEqual, "10.0", "", false),
        N("10", R::Greater, "9", "", true), // as text "10" < "9"
        N("10", R::Smaller, "9", "", false), N("5", R::InRange, "10", "1", true),
        N("10", R::InRange, "1", "10", true), N("10", R::OutOfRange, "1", "10", false),
        N("11", R::OutOfRange, "10", "1", true), N("-3", R::GreaterOrEqual, "-3", "", true),
        N("-3", R::SmallerOrEqual, "-4", "", false), N("12", R::Contains, "1", "", false),
        N("12", R::NotContains, "9", "", false), N("12", R::StartsWith, "1", "", false),
        N("12", R::EndsWith, "2", "", false), N(" ", R::IsEmpty, "", "", true),
        N("0", R::IsNotEmpty, "", "", true),
        // A value that is no number: that condition compares texts.
        N("abc", R::Equal, "ABC", "", true), N("12", R::Equal, "twelve", "", false),
        N("12", R::NotEqual, "twelve", "", true), N("12", R::InRange, "", "", true),
        N("12", R::OutOfRange, "", "", false), N("inf", R::Greater, "1e308", "", true)));

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
