#include "config/MRV_ChangedDataManager.h"
#include "TestData.h"
#include "config/MRV_ConfigurationManager.h"
#include "interaction/MRV_ScriptedInteraction.h"

#include <gtest/gtest.h>

namespace {

QString tableRows(const QString& table, const QStringList& rows) {
    QString body;
    for (const QString& r : rows)
        body += QStringLiteral("<row>%1</row>").arg(r);
    return QStringLiteral("<table name=\"%1\"><BOM><BO><AdmInfo><Object>-1</Object></AdmInfo>"
                          "<%1>%2</%1></BO></BOM></table>")
        .arg(table, body);
}

QString object(int number, const QString& main, const QString& lines) {
    return QStringLiteral("<BOM><BO><AdmInfo><Object>%1</Object></AdmInfo><OITM><row>%2</row>"
                          "</OITM><ITM1>%3</ITM1></BO></BOM>")
        .arg(number)
        .arg(main, lines);
}

TEST(ChangedData, AnEditLandsInTheRecordItsKeysFind) {
    MRV_ScriptedInteraction ui;
    MRV_InteractionScope scope(ui);
    QString text =
        tableRows(QStringLiteral("OCRG"),
                  {QStringLiteral("<GroupCode>100</GroupCode><GroupName>Retail</GroupName><Rem/>"),
                   QStringLiteral("<GroupCode>101</GroupCode><GroupName>A &amp; B</GroupName>"
                                  "<Rem nil=\"true\"></Rem><Disc>1</Disc>"),
                   QStringLiteral("<GroupCode>1010</GroupCode><GroupName>X</GroupName>")});
    MRV_ChangedRecord edit{QStringLiteral("OCRG"),
                           {{QStringLiteral("GroupName"), QStringLiteral("A & B")}},
                           {{QStringLiteral("GroupName"), QStringLiteral("A & B"),
                             QStringLiteral("<Wholesale> & \"Co\"")},
                            {QStringLiteral("Rem"), QString(), QStringLiteral("note")},
                            {QStringLiteral("Disc"), QStringLiteral("1"), QStringLiteral("2.5")},
                            {QStringLiteral("New"), QString(), QStringLiteral("n")}}};
    ASSERT_TRUE(MRV_ChangedDataManager::mergeSingle(text, edit));
    EXPECT_TRUE(text.contains(QStringLiteral(
        "<row><GroupCode>101</GroupCode><GroupName>&lt;Wholesale&gt; &amp; &quot;Co&quot;"
        "</GroupName><Rem>note</Rem><Disc>2.5</Disc><New>n</New></row>")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("<GroupName>Retail</GroupName><Rem/>")));

    // "<GroupCode>" must not find "<GroupCodeX>"; the self-closing form too.
    MRV_ChangedRecord first{QStringLiteral("OCRG"),
                            {{QStringLiteral("GroupCode"), QStringLiteral("100")}},
                            {{QStringLiteral("Rem"), QString(), QStringLiteral("r")}}};
    ASSERT_TRUE(MRV_ChangedDataManager::mergeSingle(text, first));
    EXPECT_TRUE(text.contains(QStringLiteral("<GroupName>Retail</GroupName><Rem>r</Rem>")));

    // Nothing found: the XML error, and the text stays as it was.
    const QString before = text;
    EXPECT_FALSE(MRV_ChangedDataManager::mergeSingle(
        text,
        {QStringLiteral("OCRG"), {{QStringLiteral("GroupCode"), QStringLiteral("999")}}, {}}));
    EXPECT_FALSE(MRV_ChangedDataManager::mergeSingle(
        text,
        {QStringLiteral("OTHER"), {{QStringLiteral("GroupCode"), QStringLiteral("100")}}, {}}));
    EXPECT_EQ(text, before);
    EXPECT_EQ(ui.shown(QStringLiteral("status bold: ")).size(), 2);
}

TEST(ChangedData, APartialSelectionKeepsOnlyItsRecords) {
    const QString rows = tableRows(QStringLiteral("OPRJ"),
                                   {QStringLiteral("<PrjCode>P1</PrjCode><PrjName>One</PrjName>"),
                                    QStringLiteral("<PrjCode>P2</PrjCode><PrjName>Two</PrjName>"),
                                    QStringLiteral("<PrjCode>P&amp;3</PrjCode>")});
    const QString items =
        QStringLiteral("<table name=\"OITM\">") +
        object(4, QStringLiteral("<ItemCode>A</ItemCode>"),
               QStringLiteral("<row><PriceList>1</PriceList></row><row><PriceList>2</PriceList>"
                              "</row>")) +
        object(4, QStringLiteral("<ItemCode>B</ItemCode>"), QString()) + QStringLiteral("</table>");
    QString text = rows + items;
    MRV_ChangedDataManager::removeUnselected(text,
                                             {{{QStringLiteral("PrjCode"), QStringLiteral("P&3")}},
                                              {{QStringLiteral("ItemCode"), QStringLiteral("A")}},
                                              {{QStringLiteral("PrjCode"), QStringLiteral("P1")}}});
    EXPECT_EQ(text, tableRows(QStringLiteral("OPRJ"),
                              {QStringLiteral("<PrjCode>P1</PrjCode><PrjName>One</PrjName>"),
                               QStringLiteral("<PrjCode>P&amp;3</PrjCode>")}) +
                        QStringLiteral("<table name=\"OITM\">") +
                        object(4, QStringLiteral("<ItemCode>A</ItemCode>"),
                               QStringLiteral("<row><PriceList>1</PriceList></row><row><PriceList>2"
                                              "</PriceList></row>")) +
                        QStringLiteral("</table>"));

    // A table left without records goes; no selection empties everything.
    QString only = rows;
    MRV_ChangedDataManager::removeUnselected(only,
                                             {{{QStringLiteral("PrjCode"), QStringLiteral("P9")}}});
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
            QStringLiteral("T"),
            {QStringLiteral("<K>%1</K><V>old</V>").arg(MRV_ConfigurationManager::escape(value))});
        ASSERT_TRUE(MRV_ChangedDataManager::mergeSingle(
            text, {QStringLiteral("T"),
                   {{QStringLiteral("K"), value}},
                   {{QStringLiteral("V"), QStringLiteral("old"), value}}}))
            << value.toStdString();
        QString merged;
        ASSERT_TRUE(MRV_ChangedDataManager::elementText(text, QStringLiteral("V"), &merged));
        EXPECT_EQ(merged, value);
        MRV_ChangedDataManager::removeUnselected(text, {{{QStringLiteral("K"), value}}});
        EXPECT_FALSE(text.isEmpty()) << value.toStdString();
    }
}

} // namespace
