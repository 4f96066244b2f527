#include "app/sql_script.h"

#include <fstream>
#include <sstream>

#include "app/ib_database.h"
#include "app/ib_error.h"
#include "app/ib_transaction.h"
#include "app/latin1_text.h"
#include "app/sql_params.h"

namespace veltrix {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// The words of a statement in upper case, blanks of any kind collapsed.
std::vector<std::string> Words(const std::string& statement) {
  std::vector<std::string> words;
  std::string word;
  for (char c : statement) {
    if (IsBlank(c)) {
      if (!word.empty()) words.push_back(UpperLatin1(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(UpperLatin1(word));
  return words;
}

bool IsToolDirective(const std::vector<std::string>& words) {
  if (words.empty()) return false;
  if (words[0] == "COMMIT") return true;
  if (words[0] != "SET" || words.size() < 2) return false;
  static const char* const kDirectives[] = {"NAMES", "SQL", "AUTODDL", "ECHO", "BAIL", "LIST",
                                            "STATS", "PLAN", "COUNT", "WARNINGS", "HEADING"};
  for (const char* d : kDirectives) {
    if (words[1] == d) return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> SplitSqlScript(const std::string& script) {
  std::vector<std::string> statements;
  std::string terminator = ";";
  size_t start = 0;
  size_t i = 0;
  auto finish = [&](size_t end) {
    const std::string statement = Trim(script.substr(start, end - start));
    const std::vector<std::string> words = Words(statement);
    if (words.size() >= 2 && words[0] == "SET" && words[1] == "TERM") {
      // "SET TERM <new>": the rest of the statement is the new terminator.
      const size_t at = UpperLatin1(statement).find("TERM") + 4;
      const std::string next = Trim(statement.substr(at));
      if (!next.empty()) terminator = next;
    } else if (!statement.empty() && !IsToolDirective(words)) {
      statements.push_back(statement);
    }
  };
  while (i < script.size()) {
    const size_t skip = SkipSqlVerbatim(script, i);
    if (skip != i) {
      i = skip;
      continue;
    }
    if (script.compare(i, terminator.size(), terminator) == 0) {
      finish(i);
      i += terminator.size();
      start = i;
      continue;
    }
    ++i;
  }
  finish(script.size());
  return statements;
}

void RunSqlScript(TIBDatabase& database, const std::string& script) {
  TIBTransaction own;
  TIBTransaction* transaction = database.DefaultTransaction();
  if (transaction == nullptr) {
    own.SetDefaultDatabase(&database);
    database.SetDefaultTransaction(&own);
    transaction = &own;
  }
  for (const std::string& statement : SplitSqlScript(script)) {
    try {
      database.ExecuteImmediate(statement);
      transaction->Commit();
    } catch (const EIBError& e) {
      try {
        if (transaction->InTransaction()) transaction->Rollback();
      } catch (const EIBError&) {
        // The statement's own error is the one worth reporting.
      }
      throw EIBError(std::string(e.what()) + "\nStatement: " + statement);
    }
  }
}

void CreateDatabaseFromScript(TIBDatabase& database, const std::string& script_path) {
  std::ifstream in(script_path, std::ios::binary);
  if (!in) throw EIBError("Cannot read the script file " + script_path);
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw EIBError("Cannot read the script file " + script_path);
  database.CreateDatabase();
  RunSqlScript(database, text.str());
}

}  // namespace veltrix
