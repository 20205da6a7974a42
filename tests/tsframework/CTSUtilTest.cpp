#include "tsframework/CTSUtil.h"
#include "TestData.h"
#include "host/HostTestSupport.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLUserTables.h"

using namespace Qt::StringLiterals;

TEST(Util, EveryProgramLanguageHasItsHelpCode) {
    const QList<std::pair<int, const char*>> languages{
        {1028, "ZHTW"}, {1029, "CS"}, {1030, "DA"}, {1031, "DE"}, {1032, "EL"},
        {1033, "EN"},   {1035, "FI"}, {1036, "FR"}, {1037, "HE"}, {1038, "HU"},
        {1040, "IT"},   {1041, "JA"}, {1042, "KO"}, {1043, "NL"}, {1045, "PL"},
        {1046, "PTBR"}, {1049, "RU"}, {1051, "SK"}, {1053, "SV"}, {2052, "ZH"},
        {2057, "EN"},   {2068, "NO"}, {2070, "PT"}, {3082, "ES"}, {9226, "ESCO"}};
    for (const auto& [id, code] : languages)
        EXPECT_EQ(CTSUtil::ISOLangIDFromOLLLanguage(id), QLatin1String(code)) << id;
    // Variants take their primary language.
    EXPECT_EQ(CTSUtil::ISOLangIDFromOLLLanguage(3081), u"EN"_s);
    EXPECT_EQ(CTSUtil::ISOLangIDFromOLLLanguage(2058), u"ES"_s);
    EXPECT_EQ(CTSUtil::ISOLangIDFromOLLLanguage(1044), u"NO"_s);
    EXPECT_EQ(CTSUtil::ISOLangIDFromOLLLanguage(3076), u"ZHTW"_s);
    for (int unknown : {0, -1, 1055, 1024})
        EXPECT_TRUE(CTSUtil::ISOLangIDFromOLLLanguage(unknown).isEmpty()) << unknown;

    for (const char* code : {"EN", "cs", "PTBR", "zhtw", "ESCO", "NO", "PT", "ZH"})
        EXPECT_EQ(CTSUtil::ISOLangIDFromOLLLanguage(
                      CTSUtil::OLLLanguageFromISOLangID(QLatin1String(code))),
                  QLatin1String(code).toString().toUpper())
            << code;
    EXPECT_EQ(CTSUtil::OLLLanguageFromISOLangID(u"EN"_s), 1033);
    for (const QString& nasty : nastyStrings())
        EXPECT_EQ(CTSUtil::OLLLanguageFromISOLangID(nasty), 0) << nasty.toStdString();
}

TEST(Util, MenuIdsNameThePlaceholderOfTheString) {
    const QList<XMLMAP> menu{{u"MRV_MNU_MO_OPENAPPLICATION_100"_s, 505},
                             {u"MRV_MNU_MH_FILE_100"_s, 500}};
    EXPECT_EQ(CTSUtil::GetMenuUID(u"MRV_"_s, 505, menu), u"MRV_@MRV_MNU_MO_OPENAPPLICATION_100"_s);
    EXPECT_EQ(CTSUtil::GetMenuUID(u"MRV_"_s, 500, menu), u"MRV_@MRV_MNU_MH_FILE_100"_s);
    EXPECT_TRUE(CTSUtil::GetMenuUID(u"MRV_"_s, 999, menu).isEmpty());
}

TEST(Util, TheStatusBarGetsOneLine) {
    QStringList shown;
    const auto bar = [&shown](const QString& text) { shown << text; };
    CTSUtil::SetStatusBarErrorMessage(bar, u"first\r\nsecond\nthird\rfourth"_s);
    CTSUtil::SetStatusBarErrorMessage(bar, u"plain"_s);
    CTSUtil::SetStatusBarErrorMessage({}, u"nobody listens"_s);
    EXPECT_EQ(shown, (QStringList{u"first second third fourth"_s, u"plain"_s}));
}

// --- Next code values --------------------------------------------------------

// The query differs by server type, so each type runs the whole sequence.
TEST_F(HostWorld, NextCodeValuesFollowTheLargestNumber) {
    for (int type : {6, 2, 5}) {
        SCOPED_TRACE(type);
        LLObjectsCOM::Company company;
        const LLObjectsCOM::Server server = openCompany(company, type);
        QString error;
        ASSERT_TRUE(LLObjectsCOM::UserTables::addTable(
            *company.state()->database, server.caseInsensitive(), u"ABCCODES"_s, u"c"_s, 0, &error))
            << error.toStdString();
        const auto add = [&](const char* code) {
            company.GetRecordset()->DoQuery(
                u"INSERT INTO @ABCCODES (\"Code\", \"Name\") VALUES ('%1', 'x')"_s.arg(
                    QLatin1String(code)));
        };
        EXPECT_EQ(CTSUtil::GetNextCodeValue(company, u"@ABCCODES"_s), u"00000001"_s);
        for (const char* code : {"00000007", "abc", "12a", "3"})
            add(code);
        EXPECT_EQ(CTSUtil::GetNextCodeValue(company, u"@ABCCODES"_s), u"00000008"_s);
        add("123456789");
        EXPECT_EQ(CTSUtil::GetNextCodeValue(company, u"@ABCCODES"_s), u"123456790"_s);
        EXPECT_TRUE(CTSUtil::GetNextCodeValue(company, u"@NOSUCH"_s).isEmpty());
        EXPECT_TRUE(CTSUtil::GetNextCodeValue(company, u"@X]; DROP TABLE OITM"_s).isEmpty());
        EXPECT_TRUE(CTSUtil::GetNextCodeValue(company, QString()).isEmpty());
    }
}
