#include "host/client/LLLanguages.h"

#include <QLocale>

using namespace Qt::StringLiterals;

const QList<LLLanguage>& LLLanguages::all() {
    static const QList<LLLanguage> languages{
        {1028, u"中文(繁體)"_s, {u"zh_TW"_s, u"zh_HK"_s}},
        {1029, u"Čeština"_s, {u"cs_CZ"_s}},
        {1030, u"Dansk"_s, {u"da_DK"_s}},
        {1031, u"Deutsch"_s, {u"de_DE"_s, u"de_AT"_s, u"de_CH"_s}},
        {1032, u"Ελληνικά"_s, {u"el_GR"_s}},
        {1033, u"English (United States)"_s, {u"en_US"_s}},
        {1035, u"Suomi"_s, {u"fi_FI"_s}},
        {1036, u"Français"_s, {u"fr_FR"_s, u"fr_BE"_s, u"fr_CH"_s}},
        {1037, u"עברית"_s, {u"he_IL"_s}},
        {1038, u"Magyar"_s, {u"hu_HU"_s}},
        {1040, u"Italiano"_s, {u"it_IT"_s}},
        {1041, u"日本語"_s, {u"ja_JP"_s}},
        {1042, u"한국어"_s, {u"ko_KR"_s}},
        {1043, u"Nederlands"_s, {u"nl_NL"_s, u"nl_BE"_s}},
        {1045, u"Polski"_s, {u"pl_PL"_s}},
        {1046, u"Português (Brasil)"_s, {u"pt_BR"_s}},
        {1049, u"Русский"_s, {u"ru_RU"_s}},
        {1051, u"Slovenčina"_s, {u"sk_SK"_s}},
        {1053, u"Svenska"_s, {u"sv_SE"_s}},
        {2052, u"中文(简体)"_s, {u"zh_CN"_s}},
        {2057, u"English (United Kingdom)"_s, {u"en_GB"_s}},
        // Both written forms of Norwegian read the one Norwegian table.
        {2068, u"Norsk"_s, {u"nb_NO"_s, u"nn_NO"_s}},
        {2070, u"Português (Portugal)"_s, {u"pt_PT"_s}},
        {3082, u"Español (España)"_s, {u"es_ES"_s}},
        {9226, u"Español (Colombia)"_s, {u"es_CO"_s}},
    };
    return languages;
}

const LLLanguage* LLLanguages::find(int lcid) {
    for (const LLLanguage& language : all())
        if (language.lcid == lcid)
            return &language;
    return nullptr;
}

int LLLanguages::forLocale(const QLocale& locale) {
    const QString name = locale.name();
    for (const LLLanguage& language : all())
        if (language.locales.contains(name))
            return language.lcid;
    // The first language of the same tongue, written the same way where
    // that tells them apart (Chinese); the variants stand in the order a
    // speaker elsewhere would rather have them (en_US before en_GB).
    for (const bool sameScript : {true, false})
        for (const LLLanguage& language : all())
            for (const QString& own : language.locales) {
                const QLocale candidate(own);
                if (candidate.language() == locale.language() &&
                    (!sameScript || candidate.script() == locale.script()))
                    return language.lcid;
            }
    return English;
}
