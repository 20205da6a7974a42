#include "catalogue/MRV_ResourceManager.h"
#include "TestData.h"
#include "catalogue/MRV_CategoryKinds.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace {

const MRV_ResourceManager& catalogue() {
    return *MRV_ResourceManager::instance();
}

} // namespace

// The tree starts at its root, the notes follow the categories, the
// sentinel ends the list, and no id comes twice.
TEST(Catalogue, EntriesInTreeOrderThenNotesThenSentinel) {
    const QList<XMLMAP>& e = catalogue().entries();
    ASSERT_GT(e.size(), 2);
    EXPECT_EQ(e.first(), XMLMAP(u"MRV_TRN_CUSTOMIZATION_100"_s, 700));
    EXPECT_EQ(e.last(), XMLMAP(QString(), MRV_ResourceManager::SentinelStringId));
    QSet<QString> ids;
    bool inNotes = false;
    for (const XMLMAP& entry : e.first(e.size() - 1)) {
        EXPECT_TRUE(entry.text.isEmpty());
        EXPECT_FALSE(ids.contains(entry.name)) << entry.name.toStdString();
        ids.insert(entry.name);
        const bool note = entry.name.startsWith(u"MRV_LMS_NOTE"_s);
        EXPECT_TRUE(note || !inNotes) << entry.name.toStdString() << " after the notes";
        inNotes = inNotes || note;
    }
    EXPECT_TRUE(inNotes);
}

TEST(Catalogue, GetStringIdMatchesExactly) {
    const std::pair<QString, quint32> cases[] = {
        {u"MRV_TRN_UDF_100"_s, 147u},   {u"MRV_TRN_QUERIES_100"_s, 701u},
        {u"MRV_TRN_queries_100"_s, 0u}, {u"MRV_TRN_QUERIES_100 "_s, 0u},
        {u"MRV_LMS_NOTE11_0"_s, 0u},    {u"MRV_LMS_NOTE22_0"_s, 0u}, // notes without entry
        {u"MRV_LMS_NOTE23_0"_s, 221u},  {QString(), 0xFFFFFFFFu},
    };
    for (const auto& [id, stringId] : cases)
        EXPECT_EQ(catalogue().getStringId(id), stringId) << id.toStdString();
}

TEST(Catalogue, GetTextAnswersOneWhenThereIsNoText) {
    for (int language : {1033, 1031, 2052, 1055})
        for (quint32 id : {0u, MRV_ResourceManager::SentinelStringId, 0x80000000u, 999999u}) {
            QString text = u"stale"_s;
            EXPECT_EQ(catalogue().getText(id, language, text), 1) << id << " in " << language;
            EXPECT_TRUE(text.isEmpty());
        }
    EXPECT_TRUE(catalogue().textOf(u"MRV_LMS_NOTE11_0"_s, 1033).isEmpty());
}

TEST(Catalogue, CompiledInEnglishTexts) {
    QString text;
    EXPECT_EQ(catalogue().getText(147, 1033, text), 0);
    EXPECT_EQ(text, u"User-Defined Fields");
    // A text of several lines keeps its line breaks.
    const QString note10 = catalogue().textOf(u"MRV_LMS_NOTE10_0"_s, 1033);
    EXPECT_EQ(note10.split(u"\r\n"_s).size(), 4);
    EXPECT_TRUE(note10.startsWith(u"The content of this category includes:\r\n- Tables column"));
    // In a language carried its own text; in one not carried the English.
    EXPECT_EQ(catalogue().textOf(u"MRV_TRN_UDF_100"_s, 1031), u"Benutzerdefinierte Felder");
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

// Exactly the categories of a kind are of it, told by their string ids.
TEST(CategoryKinds, ToldByStringId) {
    const std::pair<bool (*)(quint32), QStringList> kinds[] = {
        {MRV_CategoryKinds::isUserDefinedElement,
         {u"MRV_TRN_UDEFS_100"_s, u"MRV_TRN_UDF_100"_s, u"MRV_TRN_UDT_100"_s,
          u"MRV_TRN_UDTCONT_100"_s, u"MRV_TRN_FSUDF_100"_s, u"MRV_TRN_FSSTDF_100"_s,
          u"MRV_TRN_UDO_100"_s}},
        {MRV_CategoryKinds::isQuery, {u"MRV_TRN_QUERIES_100"_s}},
        {MRV_CategoryKinds::isPrintLayout,
         {u"MRV_TRN_PRINTLAYOUTS_100"_s, u"MRV_TRN_DOCREP_100"_s, u"MRV_TRN_QUERYLAYOUTS_100"_s}}};
    for (const auto& [isKind, members] : kinds)
        for (const XMLMAP& entry : catalogue().entries())
            EXPECT_EQ(isKind(entry.stringId), members.contains(entry.name))
                << entry.name.toStdString() << " " << entry.stringId;
}
