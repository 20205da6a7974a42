#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

class MRV_LogFile;

// What the header of a copy log says about its run, read the way the log
// viewer's additional information shows it: the header text split at "|"
// (start time, base, target, copy method, response, missing-fields flag,
// end time), each field tested before it is believed.
class MRV_LogHeaderInfo {
public:
    // A field that failed its test: the message for it (string 144) in the
    // language given, and the field's number from 1.
    struct Failure {
        int field = 0;
        QString message;
    };

    // Nothing when the header has fewer than seven fields (a run without
    // its end line); otherwise the values, or the first failing field.
    // Times are read in the log's own format or in the locale's.
    static std::optional<MRV_LogHeaderInfo> read(const MRV_LogFile& log, const QLocale& locale,
                                                 int language, Failure* failure);

    // A date and time as the log writes it or as the locale writes it;
    // invalid when it is neither.
    static QDateTime readTime(const QString& text, const QLocale& locale);
    // The copy methods and responses a header may name.
    static bool isCopyMethod(int id);
    static bool isResponse(int id);

    QDateTime start;
    QDateTime end;
    QString base;
    QString target;
    int copyMethod = 0;
    int response = 0;
    bool ignoreMissingFields = false;

    // The eight values the viewer shows, in the locale and language given:
    // date, start time, end time, base, target, copy method text, response
    // text, and "1" or "0" for the flag.
    QStringList shownValues(const QLocale& locale, int language) const;
    static QString timeText(const QTime& time, const QLocale& locale);
};
