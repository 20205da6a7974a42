#include "catalogue/MRV_ResourceManager.h"
#include "TestData.h"
#include "catalogue/MRV_CategoryKinds.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const MRV_ResourceManager& catalogue() {
    return *MRV_ResourceManager::instance();
}

} // namespace

TEST(Catalogue, EntriesInTreeOrderThenNotesThenSentinel) {
    const QList<XMLMAP>& e = catalogue().entries();
    ASSERT_EQ(e.size(), 140 + 28 + 1);
    EXPECT_EQ(e[0], XMLMAP(u"MRV_TRN_CUSTOMIZATION_100"_s, 700));
    EXPECT_EQ(e[139], XMLMAP(u"MRV_TRN_RELTNSHPS_40"_s, 211));
    EXPECT_EQ(e[140], XMLMAP(u"MRV_LMS_NOTE1_0"_s, 163));
    EXPECT_EQ(e[149], XMLMAP(u"MRV_LMS_NOTE10_0"_s, 166));
    EXPECT_EQ(e[150], XMLMAP(u"MRV_LMS_NOTE12_0"_s, 174));
    EXPECT_EQ(e[167], XMLMAP(u"MRV_LMS_NOTE30_0"_s, 20001));
    EXPECT_EQ(e[168], XMLMAP(QString(), MRV_ResourceManager::SentinelStringId));

    QSet<QString> ids;
    for (const XMLMAP& entry : e) {
        EXPECT_TRUE(entry.text.isEmpty());
        EXPECT_FALSE(ids.contains(entry.name)) << entry.name.toStdString();
        ids.insert(entry.name);
    }
}

TEST(Catalogue, GetStringIdMatchesExactly) {
    EXPECT_EQ(catalogue().getStringId(u"MRV_TRN_UDF_100"_s), 147u);
    EXPECT_EQ(catalogue().getStringId(u"MRV_TRN_QUERIES_100"_s), 701u);
    EXPECT_EQ(catalogue().getStringId(u"MRV_TRN_queries_100"_s), 0u);
    EXPECT_EQ(catalogue().getStringId(u"MRV_TRN_QUERIES_100 "_s), 0u);
    EXPECT_EQ(catalogue().getStringId(u"MRV_LMS_NOTE11_0"_s), 0u);
    EXPECT_EQ(catalogue().getStringId(u"MRV_LMS_NOTE22_0"_s), 0u);
    EXPECT_EQ(catalogue().getStringId(u"MRV_LMS_NOTE23_0"_s), 221u);
    EXPECT_EQ(catalogue().getStringId(QString()), 0xFFFFFFFFu);
}

TEST(Catalogue, GetTextAnswersOneWhenThereIsNoText) {
    for (int language : {1033, 1031, 2052, 1055}) {
        QString text = u"stale"_s;
        EXPECT_EQ(catalogue().getText(0, language, text), 1);
        EXPECT_TRUE(text.isEmpty());
        text = u"stale"_s;
        EXPECT_EQ(catalogue().getText(MRV_ResourceManager::SentinelStringId, language, text), 1);
        EXPECT_TRUE(text.isEmpty());
        EXPECT_EQ(catalogue().getText(0x80000000u, language, text), 1);
        EXPECT_EQ(catalogue().getText(999999, language, text), 1);
        EXPECT_TRUE(text.isEmpty());
    }
    // Notes 11 and 22 have no entry, hence no text.
    EXPECT_TRUE(catalogue().textOf(u"MRV_LMS_NOTE11_0"_s, 1033).isEmpty());
    EXPECT_TRUE(catalogue().textOf(u"MRV_LMS_NOTE22_0"_s, 1033).isEmpty());
}

TEST(Catalogue, CompiledInEnglishTexts) {
    QString text;
    EXPECT_EQ(catalogue().getText(147, 1033, text), 0);
    EXPECT_EQ(text, u"User-Defined Fields");
    EXPECT_EQ(catalogue().textOf(u"MRV_TRN_PRTONADDSETTINGS_100"_s, 1033),
              u"Print Preferences - 'Add button...' Settings");
    EXPECT_EQ(catalogue().textOf(u"MRV_LMS_NOTE2_0"_s, 1033),
              u"These objects can only be transferred if base and  target databases are both "
              u"MS-SQL.  Other databases are not supported for this function.");
    const QString note10 = catalogue().textOf(u"MRV_LMS_NOTE10_0"_s, 1033);
    EXPECT_EQ(note10.split(u"\r\n"_s).size(), 4);
    EXPECT_TRUE(note10.startsWith(u"The content of this category includes:\r\n- Tables column"));
    // A language whose table lacks the text shows the English one.
    EXPECT_EQ(catalogue().textOf(u"MRV_TRN_UDF_100"_s, 1031), u"User-Defined Fields");
    EXPECT_EQ(catalogue().textOf(u"MRV_TRN_UDF_100"_s, 1055), u"User-Defined Fields");
}

TEST(Catalogue, EveryEntryHasATextInEveryLanguage) {
    for (const XMLMAP& entry : catalogue().entries()) {
        if (entry.name.isEmpty())
            continue;
        for (int language : {1033, 1028, 2057, 9226}) {
            QString text;
            EXPECT_EQ(catalogue().getText(entry.stringId, language, text), 0)
                << entry.name.toStdString() << " in " << language;
            EXPECT_FALSE(text.isEmpty());
        }
    }
}

TEST(CategoryKinds, ToldByStringId) {
    for (quint32 id : {702u, 147u, 148u, 149u, 704u, 705u, 706u})
        EXPECT_TRUE(MRV_CategoryKinds::isUserDefinedElement(id)) << id;
    for (quint32 id : {703u, 701u, 707u, 0u, 0xFFFFFFFFu})
        EXPECT_FALSE(MRV_CategoryKinds::isUserDefinedElement(id)) << id;
    EXPECT_TRUE(MRV_CategoryKinds::isQuery(701));
    EXPECT_FALSE(MRV_CategoryKinds::isQuery(700));
    EXPECT_FALSE(MRV_CategoryKinds::isQuery(702));
    for (quint32 id : {707u, 708u, 709u})
        EXPECT_TRUE(MRV_CategoryKinds::isPrintLayout(id)) << id;
    for (quint32 id : {706u, 710u, 0u})
        EXPECT_FALSE(MRV_CategoryKinds::isPrintLayout(id)) << id;
    const quint32 udo = catalogue().getStringId(u"MRV_TRN_UDO_100"_s);
    EXPECT_TRUE(MRV_CategoryKinds::isUserDefinedElement(udo));
}
