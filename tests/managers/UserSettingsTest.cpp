#include "ManagerTestSupport.h"
#include "host/objects/LLAdminInfo.h"
#include "host/objects/LLCompanyService.h"
#include "host/objects/LLXmlText.h"
#include "managers/MRV_UserSettings.h"
#include "xml/MRV_XmlString.h"

using namespace Qt::StringLiterals;

namespace {

const QString Menus = u"MRV_TRN_USRMENUS_100"_s;
const QString Preferences = u"MRV_TRN_USRDSPSETTINGS_100"_s;
const QString Details = u"MRV_TRN_CMPDETAILS_100"_s;
const QString General = u"MRV_TRN_GENERALSETTINGS_100"_s;
const QString Display = u"MRV_TRN_CMPDSPSETTINGS_100"_s;

// Every column of the users' menus and preferences, the user by its code.
const QString MenuContents = u"SELECT u.USER_CODE, m.Position, m.Father, m.ItemType, m.Name, "
                             u"m.Link FROM CUMI m JOIN OUSR u ON u.USERID = m.USERID "
                             u"ORDER BY 1, 2"_s;
const QString PreferenceContents =
    u"SELECT u.USER_CODE, p.FormID, p.ItemID, p.ColumnID, p.Position, p.Width, p.Visible, "
    u"p.Editable, p.Descr, p.FontSize FROM CPRF p JOIN OUSR u ON u.INTERNAL_K = p.UserSign "
    u"ORDER BY 1, 2, 3, 4"_s;

// Beside the shared hostile texts, those a careless search for the user
// element, or for the end of the record, would take for markup.
const QStringList Hostile{u"<User>intruder</User>"_s, u"</User></ColumnsPreferences></BOM>"_s,
                          u"<b>bold</b>"_s, u"fish & chips &amp; &#13;"_s};

} // namespace

QList<ManagerCase> userSettingsCases() {
    return {
        {"UserMenus", Menus, MenuContents,
         u"SELECT 1 FROM OUSR WHERE USERID IN (SELECT USERID FROM CUMI)"_s, users, QString(),
         QString()},
        {"UserDisplaySettings", Preferences, PreferenceContents,
         u"SELECT DISTINCT p.FormID, p.UserSign FROM CPRF p JOIN OUSR u ON "
         u"u.INTERNAL_K = p.UserSign"_s,
         users, QString(), QString()},
    };
}

// The record keeps the host's text as it was written: the user element
// goes in and out at the places the document's structure gives.
TEST(UserSettingsRecord, TheHostsTextComesBackAsItWas) {
    for (const QString& host :
         {u"<UserMenu />"_s, u"<UserMenu/>"_s,
          u"<?xml version=\"1.0\" encoding=\"UTF-16\" ?><UserMenu><MenuItem><Name>&lt;User&gt;"
          u"</Name><Link><![CDATA[<User>x</User>]]></Link></MenuItem></UserMenu>"_s,
          u"<UserMenu>\n  <!-- <User>a</User> -->\n  <MenuItem><Name>&#x1F389; &quot;</Name>"
          u"</MenuItem>\n</UserMenu>"_s}) {
        QString record, code, back, error;
        ASSERT_TRUE(MRV_UserSettings::menuRecord(host, u"a<b>&"_s, record, error))
            << error.toStdString();
        ASSERT_TRUE(MRV_UserSettings::readMenuRecord(record, code, back, error))
            << error.toStdString();
        EXPECT_EQ(code, u"a<b>&"_s);
        EXPECT_EQ(back, host.mid(host.indexOf(u"<UserMenu"_s))) << record.toStdString();
    }
    for (const QString& host :
         {u"<ColumnsPreferences><ColumnPreference><ItemID>&amp;lt;</ItemID><Description>]]&gt;"
          u"</Description></ColumnPreference></ColumnsPreferences>"_s,
          u"<ColumnsPreferences>\n <ColumnPreference><Description><![CDATA[</User>]]>"
          u"</Description></ColumnPreference>\n</ColumnsPreferences>"_s,
          u"<ColumnsPreferences />"_s}) {
        QString record, code, form, back, error;
        ASSERT_TRUE(
            MRV_UserSettings::preferencesRecord(host, u"</User>"_s, u"13&9"_s, record, error))
            << error.toStdString();
        ASSERT_TRUE(MRV_UserSettings::readPreferencesRecord(record, code, form, back, error))
            << error.toStdString();
        EXPECT_EQ(code, u"</User>"_s);
        EXPECT_EQ(form, u"13&9"_s);
        EXPECT_EQ(back, host) << record.toStdString();
    }
    QString record, error;
    // What the host's text cannot be is refused before it travels.
    EXPECT_FALSE(MRV_UserSettings::menuRecord(u"<Menu />"_s, u"ann"_s, record, error));
    EXPECT_FALSE(MRV_UserSettings::menuRecord(u"<UserMenu />"_s, u"a\u0001"_s, record, error));
    EXPECT_FALSE(MRV_UserSettings::preferencesRecord(u"<ColumnsPreferences>"_s, u"ann"_s, u"1"_s,
                                                     record, error));
}

class UserSettings : public ManagerOnServer {
protected:
    // One menu item and one column preference per hostile text for a user
    // of the base whose own code is hostile too.
    void hostileSettings() {
        QStringList texts = Hostile;
        for (const QString& v : nastyStrings())
            if (isXmlText(v) && v.size() <= 100)
                texts << v;
        exec(*base, u"INSERT INTO OUSR (INTERNAL_K, USERID, USER_CODE, U_NAME) VALUES (90, 90, "
                    u"N'a</User><User>b&amp;', N'<Hostile>')"_s);
        for (int i = 0; i < texts.size(); ++i) {
            const QString text = lit(texts[i]);
            for (const int user : {1, 90})
                exec(*base, u"INSERT INTO CUMI (USERID, Position, Father, ItemType, Name, Link) "
                            u"VALUES (%1, %2, -1, 'M', %3, %3)"_s.arg(user)
                                .arg(100 + i)
                                .arg(text));
            // A column is named by the text where it fits a column id.
            const QString columnId =
                !texts[i].isEmpty() && texts[i].size() <= 20 ? texts[i] : u"C%1"_s.arg(i);
            exec(*base,
                 u"INSERT INTO CPRF (FormID, UserSign, ItemID, ColumnID, Position, Descr) "
                 u"VALUES (N'990', 90, %1, %2, %3, %4)"_s.arg(lit(u"I%1"_s.arg(i)), lit(columnId))
                     .arg(i)
                     .arg(text));
        }
    }
};

// Menu items and preferences arrive with every character of their texts
// as the base has it, whatever markup or escaping the texts hold, also
// through a configuration file.
TEST_P(UserSettings, MenusAndPreferencesArriveByteForByte) {
    hostileSettings();
    users(*base, *target);
    ASSERT_GT(rows(*base, u"SELECT 1 FROM CPRF WHERE UserSign = 90"_s).size(), 50);
    for (const QString& category : {Menus, Preferences}) {
        const BOMTableList carried = throughFile(category, u"carried.xml"_s);
        EXPECT_EQ(manager(category)->writeToTarget(carried, MRV_DIInterface::AddAndUpdate), S_OK)
            << failures();
        // The file lists the records the base lists, by the same keys.
        QList<QVariantList> fromBase, fromFile;
        for (const MRV_DIDataSet::Row& row : listed(category))
            fromBase << row.keys;
        for (const MRV_DIDataSet::Row& row : listed(category, &carried))
            fromFile << row.keys;
        EXPECT_EQ(fromFile, fromBase);
    }
    expectSame(MenuContents);
    expectSame(PreferenceContents);
    // Again, as updates: nothing changes.
    const qsizetype mark = logRecords().size();
    for (const QString& category : {Menus, Preferences})
        EXPECT_EQ(copy(category, MRV_DIInterface::AddAndUpdate), S_OK);
    expectOnlyUpdates(mark);
    expectSame(MenuContents);
    expectSame(PreferenceContents);
}

// A record is written only for a user of the same code in the target: one
// the target lacks fails "Invalid User", and nothing of it arrives.
TEST_P(UserSettings, AUserTheTargetLacksFailsItsRecords) {
    users(*base, *target);
    const QString missing = column(*base, u"SELECT MIN(USER_CODE) FROM OUSR WHERE INTERNAL_K IN "
                                          u"(SELECT UserSign FROM CPRF) AND USERID IN (SELECT "
                                          u"USERID FROM CUMI)"_s)
                                .value(0);
    ASSERT_FALSE(missing.isEmpty());
    exec(*target, u"DELETE FROM OUSR WHERE USER_CODE = %1"_s.arg(lit(missing)));
    for (const QString& category : {Menus, Preferences})
        EXPECT_EQ(copy(category, MRV_DIInterface::AddAndUpdate), S_FALSE);
    const QStringList lines = failedLines();
    const qsizetype forms =
        rows(*base, u"SELECT DISTINCT p.FormID FROM CPRF p JOIN OUSR u ON u.INTERNAL_K = "
                    u"p.UserSign WHERE u.USER_CODE = %1"_s.arg(lit(missing)))
            .size();
    ASSERT_EQ(lines.size(), 1 + forms) << lines.join(u'\n').toStdString();
    for (const QString& line : lines)
        EXPECT_TRUE(line.contains(u": Invalid User"_s) && line.contains(missing))
            << line.toStdString();
    for (QString contents : {MenuContents, PreferenceContents}) {
        contents.insert(contents.indexOf(u" ORDER BY"_s),
                        u" WHERE u.USER_CODE <> %1"_s.arg(lit(missing)));
        expectSame(contents);
    }
}

// A selected form the user has no preferences for travels as none: it
// takes the target's preferences for the form away, and adds nothing
// where there are none.
TEST_P(UserSettings, AFormWithoutPreferencesTravelsAsNone) {
    users(*base, *target);
    const QString user = column(*base, u"SELECT MIN(u.USER_CODE) FROM OUSR u JOIN CPRF p ON "
                                       u"p.UserSign = u.INTERNAL_K"_s)
                             .value(0);
    const QString targetKey =
        column(*target, u"SELECT INTERNAL_K FROM OUSR WHERE USER_CODE = %1"_s.arg(lit(user)))
            .value(0);
    exec(*target, u"INSERT INTO CPRF (FormID, UserSign, ItemID, ColumnID, Descr) VALUES "
                  u"(N'777', %1, N'1', N'2', N'Own')"_s.arg(targetKey));
    const BOMTableList tables = read(Preferences, {{u"777"_s, user}, {u"778"_s, user}});
    ASSERT_EQ(tables.size(), 1);
    ASSERT_EQ(tables[0].documents.size(), 2);
    for (const MRV_BOMDocument& document : tables[0].documents)
        EXPECT_TRUE(document.xml.contains(u"<ColumnsPreferences><User>"_s + LLEscapeXmlText(user) +
                                          u"</User></ColumnsPreferences>"_s))
            << document.xml.toStdString();
    EXPECT_EQ(manager(Preferences)->writeToTarget(tables, MRV_DIInterface::AddAndUpdate), S_OK);
    EXPECT_TRUE(rows(*target, u"SELECT 1 FROM CPRF WHERE FormID IN (N'777', N'778')"_s).isEmpty());
    const QList<QStringList> lines = logRecords();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0][Type] + lines[1][Type], u"213212"_s);
}

// A record that is not of the expected shape is refused with the reason,
// and the target keeps what it has; the user element is found by the
// structure, not by the first text that looks like one.
TEST_P(UserSettings, RecordsOfAnotherShapeAreRefusedSayingWhy) {
    users(*base, *target);
    const QString user = u"lobster"_s;
    const QString key =
        column(*target, u"SELECT INTERNAL_K FROM OUSR WHERE USER_CODE = 'lobster'"_s).value(0);
    ASSERT_FALSE(key.isEmpty());
    const QString menu = u"<UserMenu><MenuItem><Position>1</Position><Name>Mine</Name></MenuItem>"
                         u"</UserMenu>"_s;
    const QString prefs = u"<ColumnPreference><ItemID>1</ItemID><ColumnID>2</ColumnID>"
                          u"</ColumnPreference>"_s;
    const QList<std::tuple<QString, QString, QString>> refused{
        {Menus, u"<BOM>"_s + menu + u"</BOM>"_s, u"holds <UserMenu> instead of <User>"_s},
        {Menus, u"<BOM><User>a</User><User>b</User>"_s + menu + u"</BOM>"_s,
         u"holds <User>, <User>, <UserMenu> instead"_s},
        {Menus, u"<BOM><User><b>lobster</b></User>"_s + menu + u"</BOM>"_s,
         u"<User> holds more than a text"_s},
        {Menus, u"<BOM><User> </User>"_s + menu + u"</BOM>"_s, u"<User> is empty"_s},
        {Menus, u"<BOM><User>lobster</User>"_s + menu, u"line 1"_s},
        {Menus, u"<Menu><User>lobster</User></Menu>"_s, u"its root is <Menu>"_s},
        {Menus, u"<!DOCTYPE BOM [<!ENTITY e \"x\">]><BOM><User>&e;</User>"_s + menu + u"</BOM>"_s,
         u"document type declaration"_s},
        {Menus, u"<BOM>lobster<User>lobster</User>"_s + menu + u"</BOM>"_s,
         u"text outside its elements"_s},
        {Preferences,
         u"<BOM><ColumnsPreferences>"_s + prefs +
             u"</ColumnsPreferences><FormID>5</FormID></BOM>"_s,
         u"<ColumnPreference> stands where <User> belongs"_s},
        {Preferences, u"<BOM><ColumnsPreferences /><FormID>5</FormID></BOM>"_s, u"names no user"_s},
        {Preferences,
         u"<BOM><ColumnsPreferences><User>lobster</User>"_s + prefs +
             u"<User>x</User></ColumnsPreferences><FormID>5</FormID></BOM>"_s,
         u"names a user twice"_s},
        {Preferences, u"<BOM><ColumnsPreferences><User>lobster</User></ColumnsPreferences></BOM>"_s,
         u"instead of <ColumnsPreferences>, <FormID>"_s},
        {Preferences,
         u"<BOM><FormID>5</FormID><ColumnsPreferences><User>lobster</User></ColumnsPreferences>"
         u"</BOM>"_s,
         u"instead of <ColumnsPreferences>, <FormID>"_s},
    };
    const auto state = [this] {
        return rows(*target, u"SELECT * FROM CUMI ORDER BY 1, 2"_s) +
               rows(*target, u"SELECT * FROM CPRF ORDER BY 1, 2, 3, 4"_s);
    };
    const QList<QVariantList> kept = state();
    for (const auto& [category, xml, why] : refused) {
        const qsizetype mark = logRecords().size();
        const QString table = category == Menus ? u"CUMI"_s : u"CPRF"_s;
        EXPECT_EQ(manager(category)->writeToTarget({{table, {{xml, 0}}}}, 4), S_FALSE);
        const QStringList lines = failedLines(mark);
        ASSERT_EQ(lines.size(), 1) << xml.toStdString();
        EXPECT_TRUE(lines[0].contains(why)) << lines[0].toStdString();
    }
    EXPECT_EQ(state(), kept);

    // A comment before the user element, or a user-like text within the
    // host's own, is not the user.
    const QList<std::pair<QString, QString>> written{
        {Menus, u"<BOM><!-- <User>intruder</User> --><User>lobster</User><UserMenu><MenuItem>"
                u"<Position>1</Position><Name><![CDATA[<User>x</User>]]></Name></MenuItem>"
                u"</UserMenu></BOM>"_s},
        {Preferences, u"<BOM><ColumnsPreferences><!-- <User>intruder</User> --><User>lobster"
                      u"</User><ColumnPreference><ItemID>1</ItemID><ColumnID>2</ColumnID>"
                      u"<Description>&lt;User&gt;x&lt;/User&gt;</Description></ColumnPreference>"
                      u"</ColumnsPreferences><FormID>5</FormID></BOM>"_s}};
    for (const auto& [category, xml] : written)
        EXPECT_EQ(manager(category)->writeToTarget(
                      {{category == Menus ? u"CUMI"_s : u"CPRF"_s, {{xml, 0}}}}, 4),
                  S_OK)
            << failures();
    EXPECT_EQ(column(*target, u"SELECT m.Name FROM CUMI m JOIN OUSR u ON u.USERID = m.USERID "
                              u"WHERE u.USER_CODE = 'lobster'"_s),
              QStringList{u"<User>x</User>"_s});
    EXPECT_EQ(
        column(*target, u"SELECT Descr FROM CPRF WHERE FormID = '5' AND UserSign = %1"_s.arg(key)),
        QStringList{u"<User>x</User>"_s});
}

// Holidays with their dates, the address lines, the company information
// and the administration fields arrive; the address text and the current
// period stay the target's, and a rerun only updates.
TEST_P(UserSettings, CompanyDetailsArriveWhole) {
    const QString holidays =
        u"SELECT h.HldCode, h.WeekendFrom, h.WeekendTo, h.IgnoreWeekend, h.Remarks, d.StrDate, "
        u"d.EndDate, d.Remarks FROM OHLD h LEFT JOIN HLD1 d ON d.HldCode = h.HldCode "
        u"ORDER BY 1, 6"_s;
    const QString addresses = u"SELECT * FROM ADM1 ORDER BY Code"_s;
    const QString information =
        u"SELECT MinimumBaseAmountPerDoc, MinimumAmountForAppndixOP, "
        u"MinimumAmountForAnnualList, BISRBankCountry, BISRBankNo, BISRBankAccount, "
        u"BISRBranch FROM CINF"_s;
    exec(*base, u"UPDATE OADM SET ManagingDirector = N'<Anna> & \"Bo\"', ISRType = 2, "
                u"TaxPercentage = 12.5, AddressinForeignLanguage = N'Elsewhere'"_s);
    exec(*target, u"UPDATE OADM SET Address = N'Own street', CurrPeriod = N'Own'"_s);
    // A holiday and an address line the target has already are updated.
    exec(*target, u"INSERT INTO OHLD (HldCode, Remarks) VALUES ('Plant shutdown', 'Old')"_s);
    exec(*target, u"INSERT INTO ADM1 (Code, Street) VALUES (1, 'Old street')"_s);
    ASSERT_GE(rows(*base, holidays).size(), 7);
    ASSERT_GE(rows(*base, addresses).size(), 3);
    // What the fields name by code is there.
    countries(*base, *target);
    copyNamesUnderOtherKeys(
        *base, *target, u"SELECT Code FROM OSTC WHERE Code = (SELECT DefaultTaxCode FROM OADM)"_s,
        u"INSERT INTO OSTC (Code, Name) VALUES (%2, %2)"_s);

    ASSERT_EQ(copy(Details, MRV_DIInterface::AddAndUpdate), S_OK) << failures();
    expectSame(holidays);
    expectSame(addresses);
    expectSame(information);
    const auto baseAdmin = base->GetCompanyService()->GetAdminInfo();
    const auto targetAdmin = target->GetCompanyService()->GetAdminInfo();
    const QStringList written = manager(Details)->mainTable().settings;
    ASSERT_FALSE(written.isEmpty());
    // As the client shows them: a text the base never set is empty.
    const auto shown = [](const std::unique_ptr<LLObjectsCOM::AdminInfo>& admin,
                          const QString& field) { return admin->GetProperty(field).toString(); };
    for (const QString& field : written) {
        if (field == u"Address" || field == u"AddressinForeignLanguage" || field == u"CurrPeriod")
            EXPECT_NE(shown(targetAdmin, field), shown(baseAdmin, field)) << field.toStdString();
        else
            EXPECT_EQ(shown(targetAdmin, field), shown(baseAdmin, field)) << field.toStdString();
    }
    EXPECT_EQ(targetAdmin->GetProperty(u"TaxPercentage"_s), QVariant(12.5));
    EXPECT_EQ(targetAdmin->GetProperty(u"Address"_s), QVariant(u"Own street"_s));
    EXPECT_EQ(targetAdmin->GetProperty(u"CompanyName"_s), QVariant(target->CompanyName()));

    const qsizetype mark = logRecords().size();
    ASSERT_EQ(copy(Details, MRV_DIInterface::AddAndUpdate), S_OK);
    expectOnlyUpdates(mark);
    expectSame(holidays);
}

// Settings that name records the target numbers itself arrive as the
// target's record of the same name; one the target lacks is left out, the
// target keeps its own value, and the line says so.
TEST_P(UserSettings, DefaultsTravelByName) {
    const QList<std::tuple<QString, QString, QString, QString>> references{
        {Display, u"StandardUnitofLength"_s, u"OLGT"_s, u"UnitCode, UnitDisply"_s},
        {Display, u"WeightUnitDefault"_s, u"OWGT"_s, u"UnitCode, UnitDisply"_s},
        {General, u"DefaultCustomerPaymentTerms"_s, u"OCTG"_s, u"GroupNum, PymntGroup"_s},
        {General, u"DefaultVendorPaymentTerms"_s, u"OCTG"_s, u"GroupNum, PymntGroup"_s},
        {General, u"DefaultDunningTerm"_s, u"ODUT"_s, u"Code, Name"_s},
    };
    const auto named = [](LLObjectsCOM::Company& company, const QString& field,
                          const QString& table, const QString& columns) {
        const QStringList c = columns.split(u", "_s);
        return column(company, u"SELECT r.%1 FROM OADM a LEFT JOIN %2 r ON r.%3 = a.%4"_s.arg(
                                   c[1], table, c[0], field))
            .value(0);
    };
    // In the target each named record gets another number, before a decoy
    // that takes the base's.
    for (const auto& [category, field, table, columns] : references) {
        const QString name = named(*base, field, table, columns);
        ASSERT_FALSE(name.isEmpty()) << field.toStdString();
        const QString key = value(*base, u"SELECT %1 FROM OADM"_s.arg(field)).toString();
        const QStringList c = columns.split(u", "_s);
        if (column(*target, u"SELECT 1 FROM %1 WHERE %2 = %3"_s.arg(table, c[0], key)).isEmpty())
            exec(*target,
                 u"INSERT INTO %1 (%2) VALUES (%3, 'Decoy %3')"_s.arg(table, columns, key));
        exec(*target, u"INSERT INTO %1 (%2) VALUES (%3, %4)"_s.arg(table, columns)
                          .arg(80 + column(*target, u"SELECT 1 FROM %1"_s.arg(table)).size())
                          .arg(lit(name)));
    }
    for (const QString& category : {Display, General})
        EXPECT_EQ(copy(category, MRV_DIInterface::AddAndUpdate), S_OK) << failures();
    for (const auto& [category, field, table, columns] : references)
        EXPECT_EQ(named(*target, field, table, columns), named(*base, field, table, columns))
            << field.toStdString();
    // The folders of the second record arrive too.
    const QString paths = u"SELECT WordPath, BitmapPath, AttachPath, ExtPath FROM OADP"_s;
    EXPECT_FALSE(value(*base, paths).toString().isEmpty());
    expectSame(paths);
    EXPECT_EQ(logRecords().size(), 3);

    // Without the payment terms the target keeps its own.
    exec(*base, u"UPDATE OCTG SET PymntGroup = N'Only in the base' WHERE GroupNum = (SELECT "
                u"DefaultCustomerPaymentTerms FROM OADM)"_s);
    const QVariant own = value(*target, u"SELECT DefaultCustomerPaymentTerms FROM OADM"_s);
    const qsizetype mark = logRecords().size();
    EXPECT_EQ(copy(General, MRV_DIInterface::AddAndUpdate), S_OK);
    EXPECT_EQ(value(*target, u"SELECT DefaultCustomerPaymentTerms FROM OADM"_s), own);
    const QStringList line = logRecords().value(mark);
    EXPECT_EQ(line.value(Result), u"402"_s);
    EXPECT_TRUE(line.value(Error).contains(u"Only in the base"_s) &&
                line.value(Error).contains(u"written without it"_s))
        << line.value(Error).toStdString();
}

INSTANTIATE_TEST_SUITE_P(ServerTypes, UserSettings, ::testing::Values(6, 5), anyServerTypeName);
