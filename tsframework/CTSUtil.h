#pragma once

#include "tsframework/XMLMAP.h"

#include <QList>
#include <QString>

#include <functional>

namespace LLObjectsCOM {
class Company;
}

// Small helpers of the framework around the host.
class CTSUtil {
public:
    // The unique id of an add-on's host menu entry: prefix, "@" and the
    // placeholder name that placeholders gives for stringId
    // ("MRV_" and 505 -> "MRV_@MRV_MNU_MO_OPENAPPLICATION_100"). Empty when
    // no placeholder has the string id.
    static QString GetMenuUID(const QString& prefix, quint32 stringId,
                              const QList<XMLMAP>& placeholders);

    // The next free code of a table whose Code column holds numbers: one more
    // than the largest code made only of digits, eight digits at least
    // ("00000001" for an empty table). Codes that are not numbers are
    // passed over. Empty (and logged) when the table cannot be read or its
    // name is not a plain table name.
    static QString GetNextCodeValue(LLObjectsCOM::Company& company, const QString& table);

    // An error text for the host's status bar, which shows one line: line
    // breaks become blanks. The text is logged, then handed to statusBar
    // (the host application's status bar); without one it is only logged.
    static void SetStatusBarErrorMessage(const std::function<void(const QString&)>& statusBar,
                                         const QString& text);

    // The host language (a Windows language identifier) as the language
    // code of the add-on's help and resources: "EN", "DE", "PTBR", "ZHTW",
    // "ESCO" ... Empty for a language without one.
    static QString ISOLangIDFromOLLLanguage(int language);
    // The language identifier of such a code (without regard to case); 0
    // for an unknown code.
    static int OLLLanguageFromISOLangID(const QString& code);
};
