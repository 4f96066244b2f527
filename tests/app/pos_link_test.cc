// The point-of-sale link against a real embedded database: connection,
// transaction, statements with named parameters, and errors.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/ib_error.h"
#include "app/sql_script.h"
#include "pos_test_db.h"

// The client library keeps process-wide state (its big-number, Unicode and
// code-page tables) until exit; a sanitized build would report that as
// leaks of every test that touches a database.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfbclient.so\nleak:libtommath.so\nleak:libicuuc.so\nleak:libicui18n.so\n";
}

namespace veltrix {
namespace {

using veltrix_test::PosTestDatabase;
using veltrix_test::SecondConnection;

constexpr int32_t kDay2014_03_05 = 41703;

// The text of an error raised by `body`, or "" when none was.
template <typename Body>
std::string ErrorOf(Body body) {
  try {
    body();
  } catch (const EIBError& e) {
    return e.what();
  }
  return "";
}

class PosLinkTest : public ::testing::Test {
 protected:
  int CountRows(const std::string& where) {
    db_.query.SetSQL("select count(*) as n from produto where " + where);
    db_.query.Open();
    const int n = db_.query.FieldByName("N").AsInteger();
    db_.query.Close();
    return n;
  }

  PosTestDatabase db_;
};

TEST_F(PosLinkTest, ParametersAreBoundByNameInAnyOrderAndCase) {
  TIBQuery& q = db_.query;
  // The same name twice takes one value; names match without regard to case;
  // each value is converted by the server to the column's type.
  q.SetSQL("insert into produto (cod, nome, refori, p_venda, quant, fornec) "
           "values (:cod, :nome, :nome, :p_venda, :quant, :cod)");
  ASSERT_EQ(q.ParamCount(), 4);
  q.ParamByName("QUANT").SetAsString("2,5");
  q.ParamByName("p_venda").SetAsCurrency(129900);
  q.ParamByName("Nome").SetAsString("Caf\xe9 torrado");
  q.ParamByName("cod").SetAsString("12");
  q.ExecSQL();

  q.SetSQL("select Cod, NOME, refori, p_venda, quant, fornec, unid, grupo from produto where cod = :c");
  q.ParamByName("c").SetAsInteger(12);
  q.Open();
  ASSERT_FALSE(q.Eof());
  EXPECT_EQ(q.FieldByName("cod").AsInteger(), 12);
  EXPECT_EQ(q.FieldByName("nome").AsString(), "Caf\xe9 torrado");
  EXPECT_EQ(q.FieldByName("REFORI").AsString(), "Caf\xe9 torrado");
  EXPECT_EQ(q.FieldByName("p_venda").AsCurrency(), 129900);
  EXPECT_EQ(q.FieldByName("p_venda").AsString(), "12,99");
  EXPECT_EQ(q.FieldByName("quant").AsCurrency(), 25000);
  EXPECT_EQ(q.FieldByName("fornec").AsInteger(), 12);
  // NULL columns.
  EXPECT_TRUE(q.FieldByName("unid").IsNull());
  EXPECT_EQ(q.FieldByName("unid").AsString(), "");
  EXPECT_EQ(q.FieldByName("grupo").AsInteger(), 0);
  EXPECT_EQ(ErrorOf([&] { q.FieldByName("preco"); }), "Field 'preco' not found");
  EXPECT_EQ(ErrorOf([&] { q.ParamByName("x"); }), "Parameter 'x' not found");
}

TEST_F(PosLinkTest, DatesNullsAndMoneyTravelBothWays) {
  TIBQuery& q = db_.query;
  q.SetSQL("insert into venda (nota, data, total, vendedor, crc, exportado) "
           "values (:nota, :data, :total, :vendedor, :crc, 0)");
  for (int nota = 1; nota <= 3; ++nota) {
    q.ParamByName("nota").SetAsInteger(nota);
    q.ParamByName("data").SetAsDateTime(kDay2014_03_05 + nota - 2 + 0.75);  // the time part is dropped
    q.ParamByName("total").SetAsCurrency(-12345 * nota);
    q.ParamByName("vendedor").Clear();
    q.ParamByName("crc").SetAsString(nota == 2 ? "" : "123456789");
    q.ExecSQL();
  }
  q.SetSQL("insert into venda (nota) values (4)");
  q.ExecSQL();

  q.SetSQL("select nota, data, total, vendedor, crc from venda where data < :dat order by nota");
  q.ParamByName("dat").SetAsDate(kDay2014_03_05 + 1);
  q.Open();
  EXPECT_EQ(q.FieldByName("nota").AsInteger(), 1);
  EXPECT_EQ(q.FieldByName("data").AsDateTime(), kDay2014_03_05 - 1);
  EXPECT_EQ(q.FieldByName("data").AsString(), "04/03/2014");
  EXPECT_EQ(q.FieldByName("total").AsCurrency(), -12345);
  EXPECT_TRUE(q.FieldByName("vendedor").IsNull());
  q.Next();
  EXPECT_EQ(q.FieldByName("nota").AsInteger(), 2);
  EXPECT_FALSE(q.FieldByName("crc").IsNull());
  EXPECT_EQ(q.FieldByName("crc").AsString(), "");
  q.Next();
  EXPECT_TRUE(q.Eof());
  EXPECT_EQ(q.FieldByName("nota").AsInteger(), 2);  // the last row stays current
  EXPECT_EQ(q.RecordCount(), 2);

  q.SetSQL("select data, total from venda where nota = 4");
  q.Open();
  EXPECT_EQ(q.FieldByName("data").AsDateTime(), 0.0);  // NULL: the zero date
  EXPECT_EQ(q.FieldByName("data").AsString(), "");
  EXPECT_EQ(q.FieldByName("total").AsCurrency(), 0);  // the column default

  // Texts follow the shop's conventions, whatever the server would make of
  // them ("05/03/2014" is 3 May to it).
  q.SetSQL("insert into venda (nota, data, total) values (:nota, :data, :total)");
  q.ParamByName("nota").SetAsString("5");
  q.ParamByName("data").SetAsString("05/03/2014");
  q.ParamByName("total").SetAsString("1.234,5");
  EXPECT_NE(ErrorOf([&] { q.ExecSQL(); }).find("'1.234,5'"), std::string::npos);
  q.ParamByName("total").SetAsString("-1234,56785");
  q.ExecSQL();
  q.SetSQL("select data, total from venda where nota = 5");
  q.Open();
  EXPECT_EQ(q.FieldByName("data").AsDateTime(), kDay2014_03_05);
  EXPECT_EQ(q.FieldByName("total").AsCurrency(), -12345679);
}

TEST_F(PosLinkTest, RepeatedTextIsPreparedOnce) {
  TIBQuery& q = db_.query;
  const std::string upsert =
      "update or insert into produto (cod, nome, p_compra, p_venda, unid, aliquota, refori, codbar, quant, "
      "fornec, grupo)values (:cod, :nome, :p_compra, :p_venda, :unid, :aliquota, :refori, :codbar, :quant, "
      ":fornec, 0)";
  const int before = q.PrepareCount();
  for (int round = 0; round < 2; ++round) {
    for (int cod = 1; cod <= 50; ++cod) {
      q.SetSQL(upsert);
      q.ParamByName("cod").SetAsInteger(cod);
      q.ParamByName("nome").SetAsString("Produto " + std::to_string(cod));
      q.ParamByName("p_compra").SetAsCurrency(10000);
      q.ParamByName("p_venda").SetAsCurrency(20000 + round);
      q.ParamByName("unid").SetAsString("UN");
      q.ParamByName("aliquota").SetAsString("T1");
      q.ParamByName("refori").SetAsString("");
      q.ParamByName("codbar").SetAsString("20001");
      q.ParamByName("quant").SetAsCurrency(10000000);
      q.ParamByName("fornec").SetAsInteger(0);
      q.ExecSQL();
    }
  }
  EXPECT_EQ(q.PrepareCount() - before, 1);
  EXPECT_EQ(CountRows("p_venda = 2.0001"), 50);  // the second round updated every row
  EXPECT_EQ(q.PrepareCount() - before, 2);       // a new text is prepared
}

TEST_F(PosLinkTest, FirstStatementStartsTheTransactionAndDisconnectCommits) {
  EXPECT_FALSE(db_.transaction.InTransaction());
  db_.Exec("insert into produto (cod, nome) values (1, 'pendente')");
  EXPECT_TRUE(db_.transaction.InTransaction());

  // Another connection does not see the uncommitted row yet.
  SecondConnection other(db_.path);
  other.query.SetSQL("select count(*) as n from produto");
  other.query.Open();
  EXPECT_EQ(other.query.FieldByName("n").AsInteger(), 0);
  other.query.Close();

  db_.database.SetConnected(false);
  EXPECT_FALSE(db_.database.Connected());
  EXPECT_FALSE(db_.transaction.InTransaction());
  db_.database.SetConnected(false);  // a no-op

  other.query.Open();
  EXPECT_EQ(other.query.FieldByName("n").AsInteger(), 1);
}

TEST_F(PosLinkTest, DisconnectStillClosesWhenTheCommitFails) {
  // A commit trigger refuses any transaction that leaves product -1 behind.
  RunSqlScript(db_.database,
               "create exception e_recusado 'commit recusado';\n"
               "SET TERM ^ ;\n"
               "create trigger recusa on transaction commit as begin\n"
               "  if (exists(select * from produto where cod = -1)) then exception e_recusado;\n"
               "end^\n");
  db_.Exec("insert into produto (cod, nome) values (-1, 'recusado')");
  const std::string error = ErrorOf([&] { db_.database.Close(); });
  EXPECT_NE(error.find("commit recusado"), std::string::npos) << error;
  EXPECT_FALSE(db_.database.Connected());
  EXPECT_FALSE(db_.transaction.InTransaction());

  db_.database.Open();
  EXPECT_EQ(CountRows("cod = -1"), 0);  // rolled back
  db_.Exec("insert into produto (cod, nome) values (1, 'aceito')");
  db_.database.Close();
  db_.database.Open();
  EXPECT_EQ(CountRows("cod = 1"), 1);
}

TEST_F(PosLinkTest, FailingStatementLeavesTheTransactionUsable) {
  db_.Exec("insert into produto (cod, nome) values (1, 'antes')");
  const std::string duplicate = ErrorOf([&] { db_.Exec("insert into produto (cod, nome) values (1, 'de novo')"); });
  EXPECT_NE(duplicate.find("violation of PRIMARY or UNIQUE KEY constraint"), std::string::npos) << duplicate;
  const std::string missing = ErrorOf([&] { db_.Exec("update produtos set fornec = 999"); });
  EXPECT_NE(missing.find("Table unknown"), std::string::npos) << missing;
  EXPECT_NE(missing.find("PRODUTOS"), std::string::npos) << missing;
  EXPECT_TRUE(db_.transaction.InTransaction());

  db_.Exec("insert into produto (cod, nome) values (2, 'depois')");
  db_.transaction.Commit();
  EXPECT_EQ(CountRows("cod in (1, 2)"), 2);
  EXPECT_EQ(CountRows("nome = 'de novo'"), 0);
}

TEST_F(PosLinkTest, OpenOnAStatementWithoutRowsExecutesIt) {
  TIBQuery& q = db_.query;
  q.SetSQL("insert into vendedor (cod, nome) values (7, 'Ana')");
  q.Open();
  EXPECT_TRUE(q.Active());
  EXPECT_TRUE(q.IsEmpty());
  q.Close();
  q.SetSQL("select nome from vendedor where cod = 7");
  q.Open();
  EXPECT_EQ(q.FieldByName("nome").AsString(), "Ana");
  // An empty result: every field reads as NULL.
  q.SetSQL("select nome from vendedor where cod = 8");
  q.Open();
  EXPECT_TRUE(q.IsEmpty());
  EXPECT_TRUE(q.Eof());
  EXPECT_TRUE(q.FieldByName("nome").IsNull());
}

TEST_F(PosLinkTest, CommitClosesOpenStatementsAndEndsTheTransaction) {
  db_.Exec("insert into vendedor (cod, nome) values (1, 'A')");
  db_.query.SetSQL("select * from vendedor");
  db_.query.Open();
  db_.transaction.Commit();
  EXPECT_FALSE(db_.query.Active());
  EXPECT_FALSE(db_.transaction.InTransaction());
  EXPECT_EQ(ErrorOf([&] { db_.transaction.Commit(); }), "Transaction is not active");
  db_.query.FetchAll();  // without effect on a closed statement
  EXPECT_EQ(ErrorOf([&] { db_.query.Next(); }), "Cannot perform this operation on a closed dataset");
}

TEST_F(PosLinkTest, EmptyTextAndMissingConnectionRaise) {
  db_.query.SetSQL("");
  const std::string empty = ErrorOf([&] { db_.query.ExecSQL(); });
  EXPECT_NE(empty.find("Unexpected end of command"), std::string::npos) << empty;
  db_.database.Close();
  db_.query.SetSQL("select * from produto");
  EXPECT_EQ(ErrorOf([&] { db_.query.Open(); }), "Database not open");
}

TEST_F(PosLinkTest, ConnectingToAMissingFileCarriesTheLibraryMessage) {
  TIBDatabase database;
  database.SetParams(PosConnectionParams());
  database.SetDatabaseName(db_.dir.File("nao_existe.fdb"));
  const std::string error = ErrorOf([&] { database.Open(); });
  EXPECT_NE(error.find("nao_existe.fdb"), std::string::npos) << error;
  EXPECT_FALSE(database.Connected());
  database.SetParams({"user_name=sysdba", "dialect=3"});
  EXPECT_EQ(ErrorOf([&] { database.Open(); }), "Unknown database parameter: dialect=3");
}

TEST_F(PosLinkTest, LockConflictFailsAtOnceAndReadersSeeTheCommittedVersion) {
  db_.Exec("insert into produto (cod, nome) values (1, 'original')");
  db_.transaction.Commit();
  db_.Exec("update produto set nome = 'pendente' where cod = 1");

  SecondConnection other(db_.path);
  // Read committed, record version: the last committed version, no waiting.
  other.query.SetSQL("select nome from produto where cod = 1");
  other.query.Open();
  EXPECT_EQ(other.query.FieldByName("nome").AsString(), "original");
  // No wait: the conflicting update fails at once with the server's text.
  other.query.SetSQL("update produto set nome = 'outro' where cod = 1");
  const std::string conflict = ErrorOf([&] { other.query.ExecSQL(); });
  EXPECT_NE(conflict.find("update conflicts with concurrent update"), std::string::npos) << conflict;
  EXPECT_TRUE(other.transaction.InTransaction());
}

TEST_F(PosLinkTest, EnvironmentUserOverridesTheBuiltInOne) {
  db_.database.Close();
  auto current_user = [&] {
    db_.query.SetSQL("select current_user as u from rdb$database");
    db_.query.Open();
    std::string user = db_.query.FieldByName("u").AsString();
    db_.database.Close();
    return user;
  };
  const char* saved = std::getenv("ISC_USER");
  const std::string saved_value = saved ? saved : "";
  unsetenv("ISC_USER");
  db_.database.Open();
  EXPECT_EQ(current_user(), "SYSDBA");
  setenv("ISC_USER", "CAIXA1", 1);
  db_.database.Open();
  EXPECT_EQ(current_user(), "CAIXA1");
  if (saved) {
    setenv("ISC_USER", saved_value.c_str(), 1);
  } else {
    unsetenv("ISC_USER");
  }
}

TEST_F(PosLinkTest, BlobColumnsReadAndWriteAsText) {
  db_.database.ExecuteImmediate("create table obs (id integer, texto blob sub_type text character set ISO8859_1)");
  db_.transaction.Commit();
  const std::string long_text = std::string(70000, 'x') + "\xe7\xe3o";
  db_.query.SetSQL("insert into obs (id, texto) values (:id, :texto)");
  db_.query.ParamByName("id").SetAsInteger(1);
  db_.query.ParamByName("texto").SetAsString(long_text);
  db_.query.ExecSQL();
  db_.query.SetSQL("select texto from obs where id = 1");
  db_.query.Open();
  EXPECT_EQ(db_.query.FieldByName("texto").AsString(), long_text);
}

}  // namespace
}  // namespace veltrix
