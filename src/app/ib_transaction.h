// A transaction of the point-of-sale connection.
//
// Params name the transaction's behaviour, as texts: "read_committed",
// "concurrency" or "consistency" (isolation); "rec_version" or
// "no_rec_version" (whether read-committed reads the latest committed version
// of a row or waits for a pending one); "nowait" or "wait" (lock conflicts
// fail at once or wait); "read" or "write" (write when neither is given). An
// optional "isc_tpb_" prefix is accepted; other names are refused when the
// transaction starts.
//
// Statements start the transaction when they find it inactive; Commit makes
// all their work durable and ends it, Rollback undoes it. Both first close
// the open cursors of the statements running in this transaction (the
// server ends them with the transaction anyway). A statement that fails
// leaves the transaction active and the work done before it pending.
// DefaultAction is how the transaction ends when its connection closes (or
// the object is destroyed) while it is active.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/ib_handle.h"

namespace veltrix {

class TIBDatabase;

enum TTransactionAction : uint8_t { taRollback, taCommit };

class TIBTransaction {
 public:
  TIBTransaction();
  // Ends an active transaction with the default action; errors at this point
  // are dropped.
  ~TIBTransaction();
  TIBTransaction(const TIBTransaction&) = delete;
  TIBTransaction& operator=(const TIBTransaction&) = delete;

  TIBDatabase* DefaultDatabase() const { return database_; }
  // Raises EIBError while the transaction is active.
  void SetDefaultDatabase(TIBDatabase* database);
  const std::vector<std::string>& Params() const { return params_; }
  void SetParams(std::vector<std::string> params) { params_ = std::move(params); }
  TTransactionAction DefaultAction() const { return default_action_; }
  void SetDefaultAction(TTransactionAction action) { default_action_ = action; }

  bool InTransaction() const { return handle_ != 0; }
  // Raises EIBError when already active, when the database is not connected
  // and with the library's message when the start fails.
  void StartTransaction();
  // Raise EIBError when not active and with the library's message when the
  // server refuses (the transaction then stays active).
  void Commit();
  void Rollback();

  // The library's transaction handle, for the link's own classes.
  FbHandle* Handle() { return &handle_; }

 private:
  friend class TIBDatabase;

  std::string BuildTpb() const;
  void CloseQueries();
  void End(TTransactionAction action);
  // Forgets the handle without telling the server (the attachment is gone).
  void Forget() { handle_ = 0; }

  TIBDatabase* database_ = nullptr;
  std::vector<std::string> params_;
  TTransactionAction default_action_ = taCommit;
  FbHandle handle_ = 0;
};

}  // namespace veltrix
