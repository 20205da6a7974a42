#pragma once

#include "host/objects/LLHostObject.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <utility>

namespace LLObjectsCOM {

class AdminInfo;
struct CompanyState;
struct ObjectDefinition;

// The company's service object: the administration information and the
// business services by their type numbers. Like every service call, a
// failing call sets the company's last error and throws ComError.
class CompanyService {
public:
    static constexpr int FormPreferencesServiceType = 41;
    static constexpr int LayoutServiceType = 232;
    static constexpr int MenuServiceType = 2002;

    // userSignature: the internal key of the logged-in user, stamped on
    // what the services create.
    CompanyService(std::shared_ptr<CompanyState> company, int userSignature);

    // The company's administration information, read now.
    std::unique_ptr<AdminInfo> GetAdminInfo();
    // 232 LayoutService, 41 FormPreferencesService, 2002 MenuService.
    std::unique_ptr<HostObject> GetBusinessService(int type);

private:
    std::shared_ptr<CompanyState> m_company;
    int m_userSignature = 0;
};

// What the services share: their checks, their writes in one savepoint,
// and the flat XML lists that form preferences and menus travel in.
namespace service {

// One record of a flat list: element name and text, in document order.
using Record = QList<std::pair<QString, QString>>;

void requireConnected(CompanyState& company);
// Throws errUnknownUser when OUSR has no user with this internal key.
void requireUser(CompanyState& company, int userKey);
// Runs work in a savepoint: whatever work wrote is undone when it throws,
// and the error goes on to the caller.
void atomically(CompanyState& company, const std::function<void()>& work);
// A definition in the "*.objects" format, checked against the schema; the
// services write their rows through business objects of their own so the
// values pass the same checks as every record.
ObjectDefinition definition(const QString& text);
// Adds one row through a business object of definition; on failure throws
// with the business object's code and the text prefixed by what.
void addRow(const std::shared_ptr<CompanyState>& company, const ObjectDefinition& definition,
            const QMap<QString, QString>& properties, const QString& what);
// A value of the database as record text (numbers as digits, dates as
// YYYYMMDD); empty for NULL.
QString recordText(const QVariant& value, bool isDate);

// <root><element><name>text</name>…</element>…</root>, or <root /> when
// there are no records.
QString writeList(const QString& root, const QString& element, const QList<Record>& records);
// The records of such a list. Throws errBadDocument for text that is not
// well-formed or has another root, errUnknownElement for an element that is
// not element or not one of names.
QList<QMap<QString, QString>> readList(CompanyState& company, const QString& xml,
                                       const QString& root, const QString& element,
                                       const QStringList& names);
// The argument at index of a call by name as a whole number; throws
// errInvalidArgument when it is missing or not one.
int intArgument(CompanyState& company, const QVariantList& args, int index, const QString& what);

} // namespace service

} // namespace LLObjectsCOM
