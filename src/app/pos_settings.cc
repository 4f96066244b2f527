#include "app/pos_settings.h"

#include "app/ib_database.h"
#include "app/ib_transaction.h"

namespace veltrix {

std::vector<std::string> PosConnectionParams() {
  return {"user_name=sysdba", "password=vaduvuvur", "lc_ctype=ISO8859_1"};
}

std::vector<std::string> PosTransactionParams() { return {"read_committed", "rec_version", "nowait"}; }

void ApplyPosSettings(TIBDatabase& database, TIBTransaction& transaction) {
  database.SetDatabaseName(kPosDefaultDatabaseName);
  database.SetParams(PosConnectionParams());
  database.SetSQLDialect(3);
  transaction.SetDefaultDatabase(&database);
  transaction.SetParams(PosTransactionParams());
  transaction.SetDefaultAction(taCommit);
  database.SetDefaultTransaction(&transaction);
}

}  // namespace veltrix
