#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace LLObjectsCOM {

struct CompanyState;

// The company's administration information: the one OADM row as
// properties named as the columns (the company name as "CompanyName").
// Properties set are kept until Update writes them all at once; a failing
// call sets the company's last error and throws ComError.
class AdminInfo {
public:
    // Reads the row; throws when the company is not connected or has none.
    explicit AdminInfo(std::shared_ptr<CompanyState> company);

    QStringList PropertyNames() const;
    // The value as set since the last read, else as stored: whole numbers
    // as int, amounts as double, dates as QDate, text as QString; null for
    // NULL. Names compare without regard to case.
    QVariant GetProperty(const QString& name) const;
    // Takes the value for the next Update. A null value or empty text
    // clears a number or date. Throws for an unknown or read-only property
    // (CreateDate, UpdateDate: the host keeps them).
    void SetProperty(const QString& name, const QVariant& value);
    bool HasChanges() const { return !m_changes.isEmpty(); }

    // Writes every property set since the last read, all or none: a value
    // of the wrong type, too long, outside its range, or an empty company
    // name refuses the whole update (and the properties stay set). Stamps
    // the update date, then reads the row again.
    void Update();
    // Reads the row again and drops what was set.
    void Refresh();

private:
    // The property's own spelling, or empty.
    QString propertyName(const QString& name) const;
    void read();
    void checkChanges() const;

    std::shared_ptr<CompanyState> m_company;
    QVariant m_key;
    QMap<QString, QVariant> m_values;  // property -> stored value
    QMap<QString, QVariant> m_changes; // property -> value as set
};

} // namespace LLObjectsCOM
