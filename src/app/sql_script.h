// SQL scripts: the schema of a point-of-sale database as a text file.
//
// A script is a series of statements, each ended by the terminator (";" at
// first). "SET TERM <new>" followed by the current terminator changes it, so
// that procedure and trigger bodies, which hold ";" themselves, can be
// written as one statement. Terminators inside string literals, quoted
// identifiers and comments do not count. The directives that only concern an
// interactive SQL tool (SET NAMES, SET SQL DIALECT, SET AUTODDL, SET ECHO,
// SET BAIL, SET LIST, SET STATS, SET PLAN, SET COUNT, SET WARNINGS, SET
// HEADING) and COMMIT, which the runner does after every statement anyway,
// are dropped. Everything else (including SET GENERATOR, which is SQL) is a
// statement.
#pragma once

#include <string>
#include <vector>

namespace veltrix {

class TIBDatabase;

// The statements of `script`, trimmed, without their terminators, in order.
// A last statement without terminator counts; empty statements do not.
std::vector<std::string> SplitSqlScript(const std::string& script);

// Runs every statement of `script` on the connected `database` and commits
// after each, so a table created by one statement is usable by the next.
// Runs in the database's default transaction, or in a transaction of its own
// when there is none. Raises EIBError with the library's message followed by
// "\nStatement: " and the failing statement; the statements before it stay
// committed.
void RunSqlScript(TIBDatabase& database, const std::string& script);

// Creates the database named by the database's settings (CreateDatabase)
// and runs the script file `script_path` on it; the database is left
// connected. Raises EIBError when the file cannot be read, the database
// cannot be created or a statement fails.
void CreateDatabaseFromScript(TIBDatabase& database, const std::string& script_path);

}  // namespace veltrix
