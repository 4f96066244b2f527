// Statement texts without a database: named parameters and script splitting.
#include <gtest/gtest.h>

#include "app/sql_params.h"
#include "app/sql_script.h"

namespace veltrix {
namespace {

struct ParamCase {
  const char* sql;
  const char* text;
  std::vector<std::string> names;
};

TEST(ParseNamedParams, ReplacesOnlyRealParameters) {
  const ParamCase cases[] = {
      {"select * from t where a = :a and b = :B_2", "select * from t where a = ? and b = ?", {"a", "B_2"}},
      {"update or insert into produto (cod, nome)values (:cod, :nome)",
       "update or insert into produto (cod, nome)values (?, ?)", {"cod", "nome"}},
      {"values (:x, :x)", "values (?, ?)", {"x", "x"}},
      {"where s = ':no' and t = 'it''s :no' and u = :yes", "where s = ':no' and t = 'it''s :no' and u = ?", {"yes"}},
      {"select \"a:b\" from t where c = :c", "select \"a:b\" from t where c = ?", {"c"}},
      {"select 1 -- :no\nfrom t where a = :a", "select 1 -- :no\nfrom t where a = ?", {"a"}},
      {"select /* :no */ 1 from t where a=:a", "select /* :no */ 1 from t where a=?", {"a"}},
      {"where s = q'{:no}' and a = :a", "where s = q'{:no}' and a = ?", {"a"}},
      {"where seq':x' = 1", "where seq':x' = 1", {}},
      {"select a :1, b: from t", "select a :1, b: from t", {}},
      {"where a = 'open :no", "where a = 'open :no", {}},
      {"", "", {}},
  };
  for (const auto& c : cases) {
    const ParsedSql parsed = ParseNamedParams(c.sql);
    EXPECT_EQ(parsed.text, c.text) << c.sql;
    EXPECT_EQ(parsed.names, c.names) << c.sql;
  }
}

TEST(SplitSqlScript, StatementsTerminatorsAndDirectives) {
  const std::string script =
      "SET SQL DIALECT 3;\n"
      "set names ISO8859_1;\n"
      "/* a; comment */ create table t (a varchar(5) default ';');\n"
      "-- line; comment\n"
      "insert into t values ('x;y');\n"
      "COMMIT WORK;\n"
      "set generator g to 5;\n"
      "SET TERM ^ ;\n"
      "create procedure p as declare v integer; begin v = 1; end^\n"
      "SET TERM ; ^\n"
      ";;\n"
      "select 1 from rdb$database";
  const std::vector<std::string> expected = {
      "/* a; comment */ create table t (a varchar(5) default ';')",
      "-- line; comment\ninsert into t values ('x;y')",
      "set generator g to 5",
      "create procedure p as declare v integer; begin v = 1; end",
      "select 1 from rdb$database",
  };
  EXPECT_EQ(SplitSqlScript(script), expected);
}

TEST(SplitSqlScript, EmptyAndBlankScripts) {
  EXPECT_TRUE(SplitSqlScript("").empty());
  EXPECT_TRUE(SplitSqlScript(" \n;\n ; ").empty());
}

}  // namespace
}  // namespace veltrix
