#include "tsframework/CTSVersion.h"
#include "TestData.h"
#include "tsframework/CTSDateTime.h"

#include <QTimeZone>

using namespace Qt::StringLiterals;

TEST(Version, ReadsAndWritesTheFiveNumbers) {
    const std::pair<const char*, const char*> cases[] = {
        {"0.00.00.00.00", "0.00.00.00.00"}, {"0.1.0", "0.01.00.00.00"},
        {"1.2.3.4.5", "1.02.03.04.05"},     {"10.123.4.5.6", "10.123.04.05.06"},
        {" 2.07 ", "2.07.00.00.00"},        {"7", "7.00.00.00.00"}};
    for (const auto& [text, written] : cases) {
        CTSVersion v;
        EXPECT_TRUE(v.SetVersion(QString::fromLatin1(text))) << text;
        EXPECT_EQ(v.GetVersionAsBSTR(), QLatin1String(written)) << text;
        EXPECT_EQ(CTSVersion(v.GetVersionAsBSTR()), v) << "what is written reads back";
    }
    EXPECT_TRUE(CTSVersion().IsZero());
    EXPECT_TRUE(CTSVersion(u"0.00.00.00.00").IsZero());
    EXPECT_FALSE(CTSVersion(u"0.00.00.00.01").IsZero());
}

TEST(Version, RefusesWhatIsNotAVersionAndStaysAsItWas) {
    for (const char* text : {"", "1..2", "1.2.3.4.5.6", "a.b", "-1", "+1", "1.2.", ".1", "123456",
                             "1,2", "1 .2", "0x10"}) {
        CTSVersion v(1, 2, 3, 4, 5);
        EXPECT_FALSE(v.SetVersion(QString::fromLatin1(text))) << text;
        EXPECT_EQ(v, CTSVersion(1, 2, 3, 4, 5)) << text;
    }
    for (const QString& nasty : nastyStrings()) {
        CTSVersion v(3, 0);
        if (!v.SetVersion(nasty)) {
            EXPECT_EQ(v, CTSVersion(3, 0));
        }
    }
}

TEST(Version, ComparesNumberByNumber) {
    EXPECT_LT(CTSVersion(u"0.09"), CTSVersion(u"0.10"));
    EXPECT_LT(CTSVersion(u"0.99.99.99.99"), CTSVersion(u"1"));
    EXPECT_GT(CTSVersion(u"1.0.0.0.1"), CTSVersion(u"1"));
    EXPECT_EQ(CTSVersion(u"1.2"), CTSVersion(1, 2, 0, 0, 0));
    EXPECT_EQ(CTSVersion(u"1.02.00"), CTSVersion(u"1.2.0.0.0"));
}

// --- Dates and times -----------------------------------------------------------

namespace {

QDateTime at(int offsetSeconds) {
    return QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9), QTimeZone(offsetSeconds));
}

} // namespace

TEST(DateTime, FormatsLikeStrftimeInTheCLocale) {
    const CTSDateTime t(at(3600));
    const std::pair<const char*, const char*> cases[] = {
        {"%Y%m%d%H%M%S", "20240305070809"},    {"%Y-%m-%d %H:%M:%S", "2024-03-05 07:08:09"},
        {"%y|%j|%e|%I|%p", "24|065| 5|07|AM"}, {"%a %A %b %B", "Tue Tuesday Mar March"},
        {"%F %T", "2024-03-05 07:08:09"},      {"100%% %Q %", "100% %Q %"},
        {"no conversion", "no conversion"}};
    for (const auto& [format, expected] : cases)
        EXPECT_EQ(t.Format(QString::fromLatin1(format)), QLatin1String(expected)) << format;
    EXPECT_EQ(
        CTSDateTime(QDateTime(QDate(2024, 3, 5), QTime(0, 30), QTimeZone(0))).Format(u"%I %p"),
        u"12 AM"_s);
    EXPECT_EQ(
        CTSDateTime(QDateTime(QDate(2024, 3, 5), QTime(12, 0), QTimeZone(0))).Format(u"%I %p"),
        u"12 PM"_s);
    for (const QString& nasty : nastyStrings())
        if (!nasty.contains(u'%')) {
            EXPECT_EQ(t.Format(nasty), nasty);
        }
}

TEST(DateTime, WritesAndReadsIso8601WithTheOffset) {
    EXPECT_EQ(CTSDateTime(at(3600)).GetAsISO8601(), u"2024-03-05T07:08:09+01:00"_s);
    EXPECT_EQ(CTSDateTime(at(0)).GetAsISO8601(), u"2024-03-05T07:08:09Z"_s);
    EXPECT_EQ(CTSDateTime(at(-5 * 3600 - 1800)).GetAsISO8601(), u"2024-03-05T07:08:09-05:30"_s);
    for (int offset : {0, 3600, -19800}) {
        const std::optional<CTSDateTime> back =
            CTSDateTime::FromISO8601(CTSDateTime(at(offset)).GetAsISO8601());
        ASSERT_TRUE(back) << offset;
        EXPECT_EQ(back->dateTime().toMSecsSinceEpoch(), at(offset).toMSecsSinceEpoch());
    }
    const CTSDateTime now;
    const std::optional<CTSDateTime> local = CTSDateTime::FromISO8601(now.GetAsISO8601());
    ASSERT_TRUE(local);
    EXPECT_EQ(local->dateTime().toSecsSinceEpoch(), now.dateTime().toSecsSinceEpoch());
    for (const char* bad : {"", "2024-02-30T00:00:00", "yesterday", "20240305"})
        EXPECT_FALSE(CTSDateTime::FromISO8601(QString::fromLatin1(bad))) << bad;
}
