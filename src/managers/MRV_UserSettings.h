#pragma once

#include "di/MRV_DIInterface.h"

#include <QString>
#include <QVariant>

#include <optional>

class MRV_CompanySql;

// What a user sets up for themselves travels as the host's own XML (a
// user's menu, a user's column preferences for a form), with the user's
// code added so that the record finds its user in a company that numbers
// its users otherwise:
//
//   <BOM><User>code</User><UserMenu>…</UserMenu></BOM>
//   <BOM><ColumnsPreferences><User>code</User><ColumnPreference>…</ColumnPreference>…
//     </ColumnsPreferences><FormID>form</FormID></BOM>
//
// The host's XML is carried as the host wrote it: the user element is put
// into the text and taken out of it again at the places the document's
// structure gives, so nothing else of the text is parsed into something
// else and written anew. A record that is not of this shape is refused
// with the reason.
namespace MRV_UserSettings {

// A user's menu as a record; false with why when the host's text is not
// one <UserMenu> element or the code cannot travel in XML.
bool menuRecord(const QString& hostXml, const QString& userCode, QString& record, QString& error);
// The user's code and the host's <UserMenu> element of a record.
bool readMenuRecord(const QString& record, QString& userCode, QString& hostXml, QString& error);

// A user's preferences for a form as a record; false with why when the
// host's text is not one <ColumnsPreferences> element or the code or the
// form cannot travel in XML.
bool preferencesRecord(const QString& hostXml, const QString& userCode, const QString& formId,
                       QString& record, QString& error);
// The user's code, the form and the host's <ColumnsPreferences> element
// of a record, the user element taken out: "<ColumnsPreferences />" when
// the user has no preferences for the form.
bool readPreferencesRecord(const QString& record, QString& userCode, QString& formId,
                           QString& hostXml, QString& error);

// A user of a company, found by user code.
struct User {
    int key = 0;     // internal key (OUSR INTERNAL_K), as the host's services take it
    QVariant number; // user number (OUSR USERID); null when the user has none
    QString name;
};
// alias.column in the company's dialect, for statements that join tables.
QString qualified(const MRV_CompanySql& company, const QString& alias, const QString& column);
// The XML declaration the host's services take in front of a document.
QString declaration();

// nullopt when the company has no user of the code. Throws ComError when
// the host call fails.
std::optional<User> findUser(MRV_CompanySql& company, const QString& userCode);

// The documents of the entries of table; nullopt when tables has none.
std::optional<QList<MRV_BOMDocument>> documentsOf(const BOMTableList& tables, const QString& table);

// Whether the copy method (1, 2 or 3) writes a record that the target has
// (exists) or lacks: true with the outcome's operation set, false with its
// error saying why not.
bool admit(int method, bool exists, MRV_DIInterface::Outcome& outcome);

} // namespace MRV_UserSettings
