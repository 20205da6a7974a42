#include "config/MRV_ChangedDataManager.h"
#include "TestData.h"
#include "config/MRV_ConfigurationManager.h"
#include "interaction/MRV_ScriptedInteraction.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString tableRows(const QString& table, const QStringList& rows) {
    QString body;
    for (const QString& r : rows)
        body += u"<row>%1</row>"_s.arg(r);
    return u"<table name=\"%1\"><BOM><BO><AdmInfo><Object>-1</Object></AdmInfo>"
           "<%1>%2</%1></BO></BOM></table>"_s.arg(table, body);
}

QString object(int number, const QString& main, const QString& lines) {
    return u"<BOM><BO><AdmInfo><Object>%1</Object></AdmInfo><OITM><row>%2</row>"
           "</OITM><ITM1>%3</ITM1></BO></BOM>"_s.arg(number)
               .arg(main, lines);
}

TEST(ChangedData, AnEditLandsInTheRecordItsKeysFind) {
    MRV_ScriptedInteraction ui;
    MRV_InteractionScope scope(ui);
    QString text =
        tableRows(u"OCRG"_s, {u"<GroupCode>100</GroupCode><GroupName>Retail</GroupName><Rem/>"_s,
                              u"<GroupCode>101</GroupCode><GroupName>A &amp; B</GroupName>"
                              "<Rem nil=\"true\"></Rem><Disc>1</Disc>"_s,
                              u"<GroupCode>1010</GroupCode><GroupName>X</GroupName>"_s});
    MRV_ChangedRecord edit{u"OCRG"_s,
                           {{u"GroupName"_s, u"A & B"_s}},
                           {{u"GroupName"_s, u"A & B"_s, u"<Wholesale> & \"Co\""_s},
                            {u"Rem"_s, QString(), u"note"_s},
                            {u"Disc"_s, u"1"_s, u"2.5"_s},
                            {u"New"_s, QString(), u"n"_s}}};
    ASSERT_TRUE(MRV_ChangedDataManager::mergeSingle(text, edit));
    EXPECT_TRUE(text.contains(
        u"<row><GroupCode>101</GroupCode><GroupName>&lt;Wholesale&gt; &amp; &quot;Co&quot;"
        "</GroupName><Rem>note</Rem><Disc>2.5</Disc><New>n</New></row>"_s))
        << text.toStdString();
    EXPECT_TRUE(text.contains(u"<GroupName>Retail</GroupName><Rem/>"_s));

    // "<GroupCode>" must not find "<GroupCodeX>"; the self-closing form too.
    MRV_ChangedRecord first{
        u"OCRG"_s, {{u"GroupCode"_s, u"100"_s}}, {{u"Rem"_s, QString(), u"r"_s}}};
    ASSERT_TRUE(MRV_ChangedDataManager::mergeSingle(text, first));
    EXPECT_TRUE(text.contains(u"<GroupName>Retail</GroupName><Rem>r</Rem>"_s));

    // Nothing found: the XML error, and the text stays as it was.
    const QString before = text;
    EXPECT_FALSE(
        MRV_ChangedDataManager::mergeSingle(text, {u"OCRG"_s, {{u"GroupCode"_s, u"999"_s}}, {}}));
    EXPECT_FALSE(
        MRV_ChangedDataManager::mergeSingle(text, {u"OTHER"_s, {{u"GroupCode"_s, u"100"_s}}, {}}));
    EXPECT_EQ(text, before);
    EXPECT_EQ(ui.shown(u"status bold: "_s).size(), 2);
}

TEST(ChangedData, APartialSelectionKeepsOnlyItsRecords) {
    const QString rows = tableRows(u"OPRJ"_s, {u"<PrjCode>P1</PrjCode><PrjName>One</PrjName>"_s,
                                               u"<PrjCode>P2</PrjCode><PrjName>Two</PrjName>"_s,
                                               u"<PrjCode>P&amp;3</PrjCode>"_s});
    const QString items = u"<table name=\"OITM\">"_s +
                          object(4, u"<ItemCode>A</ItemCode>"_s,
                                 u"<row><PriceList>1</PriceList></row><row><PriceList>2</PriceList>"
                                 "</row>"_s) +
                          object(4, u"<ItemCode>B</ItemCode>"_s, QString()) + u"</table>"_s;
    QString text = rows + items;
    MRV_ChangedDataManager::removeUnselected(
        text, {{{u"PrjCode"_s, u"P&3"_s}}, {{u"ItemCode"_s, u"A"_s}}, {{u"PrjCode"_s, u"P1"_s}}});
    EXPECT_EQ(text, tableRows(u"OPRJ"_s, {u"<PrjCode>P1</PrjCode><PrjName>One</PrjName>"_s,
                                          u"<PrjCode>P&amp;3</PrjCode>"_s}) +
                        u"<table name=\"OITM\">"_s +
                        object(4, u"<ItemCode>A</ItemCode>"_s,
                               u"<row><PriceList>1</PriceList></row><row><PriceList>2"
                               "</PriceList></row>"_s) +
                        u"</table>"_s);

    // A table left without records goes; no selection empties everything.
    QString only = rows;
    MRV_ChangedDataManager::removeUnselected(only, {{{u"PrjCode"_s, u"P9"_s}}});
    EXPECT_TRUE(only.isEmpty());
    only = rows;
    MRV_ChangedDataManager::removeUnselected(only, {});
    EXPECT_TRUE(only.isEmpty());
}

TEST(ChangedData, HostileValuesMatchAndMergeExactly) {
    MRV_ScriptedInteraction ui;
    MRV_InteractionScope scope(ui);
    for (const QString& value : nastyStrings()) {
        if (value.isEmpty())
            continue;
        QString text = tableRows(
            u"T"_s, {u"<K>%1</K><V>old</V>"_s.arg(MRV_ConfigurationManager::escape(value))});
        ASSERT_TRUE(MRV_ChangedDataManager::mergeSingle(
            text, {u"T"_s, {{u"K"_s, value}}, {{u"V"_s, u"old"_s, value}}}))
            << value.toStdString();
        QString merged;
        ASSERT_TRUE(MRV_ChangedDataManager::elementText(text, u"V"_s, &merged));
        EXPECT_EQ(merged, value);
        MRV_ChangedDataManager::removeUnselected(text, {{{u"K"_s, value}}});
        EXPECT_FALSE(text.isEmpty()) << value.toStdString();
    }
}

} // namespace
