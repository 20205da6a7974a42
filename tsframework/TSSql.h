#pragma once

#include <QString>

namespace LLObjectsCOM {
class Company;
}

// The framework's own SQL in the three forms of the host's database
// servers: type 5 quotes column names and writes plain '…' texts, every
// other type writes names bare and N'…' texts; user tables ("@NAME") stand
// in brackets except on types 2 and 5.
namespace TSSql {

// The connected company's server type, else the one asked for at login.
int serverType(const LLObjectsCOM::Company& company);
QString table(int serverType, const QString& name);
QString column(int serverType, const QString& name);
// A text literal with its quotes doubled.
QString text(int serverType, const QString& value);
// A name the framework may put into SQL as it stands: letters, digits, '_'
// and a leading '@'.
bool isPlainName(const QString& name);

} // namespace TSSql
