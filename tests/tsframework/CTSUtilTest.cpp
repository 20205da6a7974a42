#include "tsframework/CTSUtil.h"
#include "TestData.h"
#include "host/HostTestSupport.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLUserTables.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(CTSUtil::ISOLangIDFromOLLLanguage(3081), QStringLiteral("EN"));
    EXPECT_EQ(CTSUtil::ISOLangIDFromOLLLanguage(2058), QStringLiteral("ES"));
    EXPECT_EQ(CTSUtil::ISOLangIDFromOLLLanguage(1044), QStringLiteral("NO"));
    EXPECT_EQ(CTSUtil::ISOLangIDFromOLLLanguage(3076), QStringLiteral("ZHTW"));
    for (int unknown : {0, -1, 1055, 1024})
        EXPECT_TRUE(CTSUtil::ISOLangIDFromOLLLanguage(unknown).isEmpty()) << unknown;

    for (const char* code : {"EN", "cs", "PTBR", "zhtw", "ESCO", "NO", "PT", "ZH"})
        EXPECT_EQ(CTSUtil::ISOLangIDFromOLLLanguage(
                      CTSUtil::OLLLanguageFromISOLangID(QLatin1String(code))),
                  QLatin1String(code).toString().toUpper())
            << code;
    EXPECT_EQ(CTSUtil::OLLLanguageFromISOLangID(QStringLiteral("EN")), 1033);
    for (const QString& nasty : nastyStrings())
        EXPECT_EQ(CTSUtil::OLLLanguageFromISOLangID(nasty), 0) << nasty.toStdString();
}

TEST(Util, MenuIdsNameThePlaceholderOfTheString) {
    const QList<XMLMAP> menu{{QStringLiteral("MRV_MNU_MO_OPENAPPLICATION_100"), 505},
                             {QStringLiteral("MRV_MNU_MH_FILE_100"), 500}};
    EXPECT_EQ(CTSUtil::GetMenuUID(QStringLiteral("MRV_"), 505, menu),
              QStringLiteral("MRV_@MRV_MNU_MO_OPENAPPLICATION_100"));
    EXPECT_EQ(CTSUtil::GetMenuUID(QStringLiteral("MRV_"), 500, menu),
              QStringLiteral("MRV_@MRV_MNU_MH_FILE_100"));
    EXPECT_TRUE(CTSUtil::GetMenuUID(QStringLiteral("MRV_"), 999, menu).isEmpty());
}

TEST(Util, TheStatusBarGetsOneLine) {
    QStringList shown;
    const auto bar = [&shown](const QString& text) { shown << text; };
    CTSUtil::SetStatusBarErrorMessage(bar, QStringLiteral("first\r\nsecond\nthird\rfourth"));
    CTSUtil::SetStatusBarErrorMessage(bar, QStringLiteral("plain"));
    CTSUtil::SetStatusBarErrorMessage({}, QStringLiteral("nobody listens"));
    EXPECT_EQ(shown,
              (QStringList{QStringLiteral("first second third fourth"), QStringLiteral("plain")}));
}

// --- Next code values --------------------------------------------------------

TEST_F(HostWorld, NextCodeValuesFollowTheLargestNumber) {
    LLObjectsCOM::Company company;
    openCompany(company, 6);
    QString error;
    ASSERT_TRUE(LLObjectsCOM::UserTables::addTable(*company.state()->database, true,
                                                   QStringLiteral("ABCCODES"), QStringLiteral("c"),
                                                   0, &error))
        << error.toStdString();
    const auto add = [&](const char* code) {
        company.GetRecordset()->DoQuery(
            QStringLiteral("INSERT INTO [@ABCCODES] (Code, Name) VALUES (N'%1', N'x')")
                .arg(QLatin1String(code)));
    };
    EXPECT_EQ(CTSUtil::GetNextCodeValue(company, QStringLiteral("@ABCCODES")),
              QStringLiteral("00000001"));
    add("00000007");
    add("abc");
    add("12a");
    add("3");
    EXPECT_EQ(CTSUtil::GetNextCodeValue(company, QStringLiteral("@ABCCODES")),
              QStringLiteral("00000008"));
    add("123456789");
    EXPECT_EQ(CTSUtil::GetNextCodeValue(company, QStringLiteral("@ABCCODES")),
              QStringLiteral("123456790"));
    EXPECT_TRUE(CTSUtil::GetNextCodeValue(company, QStringLiteral("@NOSUCH")).isEmpty());
    EXPECT_TRUE(
        CTSUtil::GetNextCodeValue(company, QStringLiteral("@X]; DROP TABLE OITM")).isEmpty());
    EXPECT_TRUE(CTSUtil::GetNextCodeValue(company, QString()).isEmpty());
}

TEST_F(HostWorld, NextCodeValuesOnEveryServerType) {
    for (int type : {2, 5}) {
        LLObjectsCOM::Company company;
        openCompany(company, type);
        ASSERT_TRUE(LLObjectsCOM::UserTables::addTable(
            *company.state()->database, false, QStringLiteral("ABCCODES"), QStringLiteral("c"), 0));
        company.GetRecordset()->DoQuery(
            QStringLiteral("INSERT INTO @ABCCODES (\"Code\", \"Name\") VALUES ('00000041', 'x')"));
        EXPECT_EQ(CTSUtil::GetNextCodeValue(company, QStringLiteral("@ABCCODES")),
                  QStringLiteral("00000042"))
            << type;
    }
}
