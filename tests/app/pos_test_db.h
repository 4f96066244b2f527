// A fresh point-of-sale database for a test: created from schema/pos.sql in
// a temporary folder through the embedded engine, with the link's
// connection, transaction, statement and provider wired as the bridge wires
// them.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "app/data_set_provider.h"
#include "app/ib_database.h"
#include "app/ib_query.h"
#include "app/ib_transaction.h"
#include "app/pos_settings.h"
#include "app/sql_script.h"
#include "test_util.h"

namespace veltrix_test {

// The embedded engine keeps its lock files in /tmp/firebird unless
// FIREBIRD_LOCK names another folder; when another user created that folder
// the engine cannot open anything. Every test database is private to its
// test, so a lock folder of this user's own is safe here. (The bridge itself
// must share the lock folder of every other program that opens its database
// the embedded way, so it never sets this.) Must run before the first
// attachment of the process.
inline void UsePrivateLockFolder() {
  if (std::getenv("FIREBIRD_LOCK") != nullptr) return;
  const char* tmp = std::getenv("TMPDIR");
  const std::string dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/veltrix-fb-lock-" + std::to_string(getuid());
  mkdir(dir.c_str(), 0700);
  setenv("FIREBIRD_LOCK", dir.c_str(), 1);
}

struct PosTestDatabase {
  PosTestDatabase() {
    UsePrivateLockFolder();
    path = dir.File("pos.fdb");
    veltrix::ApplyPosSettings(database, transaction);
    database.SetDatabaseName(path);
    veltrix::CreateDatabaseFromScript(database, POS_SCHEMA_PATH);
    query.SetDatabase(&database);
    query.SetTransaction(&transaction);
    provider.SetDataSet(&query);
    provider.SetOptions(veltrix::poAllowCommandText);
  }

  // Runs one statement through the link's statement object.
  void Exec(const std::string& sql) {
    query.SetSQL(sql);
    query.ExecSQL();
  }

  qxdbf_test::TempDir dir;
  std::string path;
  veltrix::TIBDatabase database;
  veltrix::TIBTransaction transaction;
  veltrix::TIBQuery query;
  veltrix::TDataSetProvider provider;
};

// A second, independent connection to the same database (another program),
// with the bridge's settings.
struct SecondConnection {
  explicit SecondConnection(const std::string& path) {
    veltrix::ApplyPosSettings(database, transaction);
    database.SetDatabaseName(path);
    database.Open();
    query.SetDatabase(&database);
  }

  veltrix::TIBDatabase database;
  veltrix::TIBTransaction transaction;
  veltrix::TIBQuery query;
};

}  // namespace veltrix_test
