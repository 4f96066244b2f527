// Creating a database from a script, and the generator helpers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ib_error.h"
#include "app/pos_generators.h"
#include "pos_test_db.h"

namespace veltrix {
namespace {

using veltrix_test::PosTestDatabase;

TEST(PosSchema, CreatesEveryTableTheBridgeTouches) {
  PosTestDatabase db;
  db.query.SetSQL("select count(*) as n from rdb$relations where rdb$relation_name in "
                  "('PRODUTO', 'USUARIO', 'VENDEDOR', 'VENDA', 'ITEM_VENDA', 'SPED_REDUCAOZ', 'NFCE')");
  db.query.Open();
  EXPECT_EQ(db.query.FieldByName("n").AsInteger(), 7);
  // Money keeps four decimals exactly.
  db.Exec("insert into sped_reducaoz (data, ecf, tot_geral) values ('2014-03-05', 105, 12345.6789)");
  db.query.SetSQL("select tot_geral, tot_canc, tot_aliq08 from sped_reducaoz");
  db.query.Open();
  EXPECT_EQ(db.query.FieldByName("tot_geral").AsCurrency(), 123456789);
  EXPECT_EQ(db.query.FieldByName("tot_aliq08").AsCurrency(), 0);
}

TEST(PosSchema, ScriptWithProcedureBodyAndAFailingStatement) {
  PosTestDatabase db;
  const std::string script =
      "create table t (a integer);\n"
      "SET TERM ^ ;\n"
      "create procedure dobra (x integer) returns (y integer) as\n"
      "begin y = :x * 2; suspend; end^\n"
      "SET TERM ; ^\n"
      "insert into t values (1);\n"
      "insert into nada values (1);\n"
      "insert into t values (2);\n";
  try {
    RunSqlScript(db.database, script);
    ADD_FAILURE() << "no error";
  } catch (const EIBError& e) {
    const std::string text = e.what();
    EXPECT_NE(text.find("Table unknown"), std::string::npos) << text;
    EXPECT_NE(text.find("\nStatement: insert into nada values (1)"), std::string::npos) << text;
  }
  db.query.SetSQL("select y from dobra(:x)");
  db.query.ParamByName("x").SetAsInteger(21);
  db.query.Open();
  EXPECT_EQ(db.query.FieldByName("y").AsInteger(), 42);
  db.query.SetSQL("select count(*) as n from t");
  db.query.Open();
  EXPECT_EQ(db.query.FieldByName("n").AsInteger(), 1);  // statements before the failure stay committed
}

TEST(PosSchema, CreatingOverAnExistingFileFails) {
  PosTestDatabase db;
  db.database.Close();
  EXPECT_THROW(CreateDatabaseFromScript(db.database, POS_SCHEMA_PATH), EIBError);
  EXPECT_THROW(CreateDatabaseFromScript(db.database, db.dir.File("sem_script.sql")), EIBError);
}

TEST(PosGenerators, StepReadAndRestart) {
  PosTestDatabase db;
  std::vector<std::string> log;
  const TLogLine sink = [&](const std::string& line) { log.push_back(line); };
  EXPECT_EQ(VerValorGenerator(db.query, 1, "gen_venda", sink), 1);
  EXPECT_EQ(VerValorGenerator(db.query, 10, "gen_venda", sink), 11);
  EXPECT_EQ(VerValorGenerator(db.query, 0, "gen_venda", sink), 11);
  EXPECT_TRUE(log.empty());

  restartGeneratorWithValorVeltrix(db.query, "gen_venda", "500", sink);
  db.transaction.Commit();
  EXPECT_EQ(VerValorGenerator(db.query, 1, "gen_venda", sink), 501);
  EXPECT_TRUE(log.empty());

  EXPECT_EQ(VerValorGenerator(db.query, 1, "gen_nada", sink), 0);
  restartGeneratorWithValorVeltrix(db.query, "gen_venda", "quinhentos", sink);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].rfind("Erro em Abrir Dataset do Generator Vendas: ", 0), 0u) << log[0];
  EXPECT_NE(log[0].find("GEN_NADA"), std::string::npos) << log[0];
  EXPECT_EQ(log[1].rfind("Erro(restartGeneratorWithValor): ", 0), 0u) << log[1];
}

}  // namespace
}  // namespace veltrix
