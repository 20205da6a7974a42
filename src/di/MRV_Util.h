#pragma once

#include "tsframework/HResult.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace LLObjectsCOM {
class Company;
}
class MRV_ConnectionContext;

// Company utilities over the host's data interface. Results are codes:
// negative on failure, unless said otherwise.
namespace MRV_Util {

// The server's companies, one row each: database name, company name and
// version as texts.
HRESULT GetCompanyList(LLObjectsCOM::Company& company, QList<QStringList>& rows, bool showErrors);
// Connects a company whose login the caller set.
HRESULT Connect(LLObjectsCOM::Company& company, MRV_ConnectionContext& context);
HRESULT Disconnect(LLObjectsCOM::Company& company);
HRESULT CheckSuperUser(LLObjectsCOM::Company& company, bool& superUser);
HRESULT GetLocalization(LLObjectsCOM::Company& company, QString& code);

// Notes in the program's table MRVNOTE.
HRESULT GetNoteFromDB(LLObjectsCOM::Company& company, int id, QString& text);
HRESULT DeleteNoteFromDB(LLObjectsCOM::Company& company, int id);
HRESULT WriteNoteToDB(LLObjectsCOM::Company& company, int id, const QString& text);

// The folder of the local host installation.
HRESULT GetLocalLLFolder(QString& path);

// Same database server type, same server, same database; two absent
// companies are the same.
bool SameCompany(const LLObjectsCOM::Company* a, const LLObjectsCOM::Company* b);

} // namespace MRV_Util
