#pragma once

// Error codes of the host's data interface, as Connect, DoQuery and the
// business objects report them (negative, with a text in the last error).
#include <QString>

namespace LLObjectsCOM {

// Hands an error text to a caller that asked for one.
inline void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

enum ErrorCode : int {
    errNone = 0,
    errUnknownServer = -1101,
    errDatabaseLogin = -1102,
    errUnknownDatabase = -1103,
    errWrongUserOrPassword = -1104,
    errNotACompany = -1105,
    errAlreadyConnected = -1106,
    errNotConnected = -1107,
    errServerType = -1108,
    errServerFolder = -1109,
    errPasswordMustChange = -1110,
    errSql = -2001,
    errInvalidArgument = -2002,
    errNoTransaction = -2003,
    errUnknownObject = -2004,
    errCompanyExists = -2005,
    errUnknownUser = -2006,
    errUserExists = -2007,
    errSchema = -2008,
    // Business objects
    errRecordExists = -10,
    errRecordMissing = -2028,
    errRequired = -5002,
    errWrongType = -5003,
    errTooLong = -5004,
    errReference = -5005,
    errUnknownElement = -5006,
    errInUse = -5007,
    errBadDocument = -5008,
    errUnknownField = -5009,
    errUnknownMember = -5010,
};

} // namespace LLObjectsCOM
