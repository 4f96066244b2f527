// The connection to the point-of-sale database.
//
// A thin layer over the client library's attachment. DatabaseName is a path
// on this machine, which the library opens through its embedded engine (no
// server needed), or "host:path" (or "host/port:path"), which reaches a
// server. Params are "name=value" texts:
//
//   user_name=...     the user; replaced by the environment variable ISC_USER
//   password=...      the password; replaced by ISC_PASSWORD
//   lc_ctype=...      the connection's character set (texts are converted
//                     to and from it by the server)
//   sql_role_name=... a role
//
// (an optional "isc_dpb_" prefix is accepted; other names are refused when
// connecting). The environment variables, the usual way to give these
// credentials to the client library, win when they are set and not empty,
// so a site can change the credentials without a new build.
//
// Connecting is a no-op when connected; disconnecting is a no-op when not
// connected and otherwise closes every statement of the connection and ends
// every active transaction of it with the transaction's default action
// (commit, for the bridge's transaction) before detaching. The queries and
// transactions linked to a connection are told when it goes away, so either
// may be destroyed first.
#pragma once

#include <string>
#include <vector>

#include "app/ib_handle.h"

namespace veltrix {

class TIBQuery;
class TIBTransaction;

class TIBDatabase {
 public:
  TIBDatabase();
  // Disconnects; errors at this point are dropped (nobody is left to hear
  // them).
  ~TIBDatabase();
  TIBDatabase(const TIBDatabase&) = delete;
  TIBDatabase& operator=(const TIBDatabase&) = delete;

  const std::string& DatabaseName() const { return database_name_; }
  // Raises EIBError while connected.
  void SetDatabaseName(const std::string& name);
  const std::vector<std::string>& Params() const { return params_; }
  // Raises EIBError while connected.
  void SetParams(std::vector<std::string> params);
  int SQLDialect() const { return sql_dialect_; }
  void SetSQLDialect(int dialect) { sql_dialect_ = dialect; }
  // The transaction that statements without their own use. Setting it also
  // links the transaction to this database when it has none yet.
  TIBTransaction* DefaultTransaction() const { return default_transaction_; }
  void SetDefaultTransaction(TIBTransaction* transaction);

  bool Connected() const { return handle_ != 0; }
  // SetConnected(true) is Open, SetConnected(false) is Close.
  void SetConnected(bool connected);
  // Attaches. Raises EIBError with the library's message (unknown file,
  // unreachable server, refused login, ...). A no-op when connected.
  void Open();
  // Closes the statements, ends the active transactions with their default
  // action and detaches. When ending a transaction fails, it is rolled back
  // (its work is lost), the detach still happens and the failure is raised
  // afterwards, so a broken transaction never keeps the connection from
  // closing. A no-op when not connected.
  void Close();

  // Creates the database file named by DatabaseName, with the user and
  // character set of Params (lc_ctype becomes the database's default
  // character set) and the SQL dialect, and leaves it connected. Raises
  // EIBError (the file exists, the folder is missing, ...). REQUIRES: not
  // connected.
  void CreateDatabase();

  // Runs `sql` once, without preparing it for reuse and without named
  // parameters (so procedural bodies with ":variable" pass unchanged), in
  // the default transaction, which is started when it is not active.
  // Raises EIBError.
  void ExecuteImmediate(const std::string& sql);

  // The library's attachment handle, for the link's own classes.
  FbHandle* Handle() { return &handle_; }

 private:
  friend class TIBQuery;
  friend class TIBTransaction;

  std::string BuildDpb(bool creating) const;
  void AddQuery(TIBQuery* query);
  void RemoveQuery(TIBQuery* query);
  void AddTransaction(TIBTransaction* transaction);
  void RemoveTransaction(TIBTransaction* transaction);

  std::string database_name_;
  std::vector<std::string> params_;
  int sql_dialect_ = 3;
  TIBTransaction* default_transaction_ = nullptr;
  FbHandle handle_ = 0;
  std::vector<TIBQuery*> queries_;
  std::vector<TIBTransaction*> transactions_;
};

}  // namespace veltrix
