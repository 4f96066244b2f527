// The built-in settings of the link to the point-of-sale database.
//
// The point of sale's database is reached with a fixed user and password
// (overridable through ISC_USER and ISC_PASSWORD, see ib_database.h), in the
// ISO 8859-1 character set and SQL dialect 3. Its one transaction reads the
// latest committed version of each row and fails at once on a lock conflict
// instead of waiting, because the point-of-sale program works on the same
// rows at the same time and the bridge must never hang behind it; work left
// pending when the connection closes is committed. The connection never
// prompts for a login and never disconnects by itself, which this link does
// not do anyway.
#pragma once

#include <string>
#include <vector>

namespace veltrix {

class TIBDatabase;
class TIBTransaction;

// Where the point of sale keeps its database unless the command line names
// another (the shop's "C:\VELTRIXW\BD.FDB" without its drive letter).
inline constexpr char kPosDefaultDatabaseName[] = "/VELTRIXW/BD.FDB";

// Connection parameters (user, password, character set).
std::vector<std::string> PosConnectionParams();

// Transaction parameters.
std::vector<std::string> PosTransactionParams();

// Gives `database` the default name, the connection parameters and dialect 3
// and `transaction` as its default transaction; gives `transaction` its
// parameters and commit as its default action.
void ApplyPosSettings(TIBDatabase& database, TIBTransaction& transaction);

}  // namespace veltrix
