// Snapshots of selects against a real embedded database, and the
// "containing" lists the transfers build.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/client_data_set.h"
#include "app/ib_error.h"
#include "pos_test_db.h"

namespace veltrix {
namespace {

using veltrix_test::PosTestDatabase;

class PosSnapshotTest : public ::testing::Test {
 protected:
  void SetUp() override { snapshot_.SetProvider(&db_.provider); }

  // Opens the snapshot the way the transfers do: close, set the text, open,
  // then ask the statement for the remaining rows.
  void OpenSnapshot(const std::string& text) {
    snapshot_.Close();
    snapshot_.SetCommandText(text);
    snapshot_.Open();
    db_.query.FetchAll();
  }

  std::vector<int> Column(const std::string& name) {
    std::vector<int> values;
    for (snapshot_.First(); !snapshot_.Eof(); snapshot_.Next()) values.push_back(snapshot_.FieldByName(name).AsInteger());
    return values;
  }

  PosTestDatabase db_;
  TClientDataSet snapshot_;
};

TEST_F(PosSnapshotTest, RowsStayReadableAfterTheConnectionCloses) {
  db_.Exec("insert into produto (cod, nome) values (5, 'Caneta')");
  db_.Exec("insert into produto (cod, nome) values (42, 'Caderno')");
  db_.Exec("insert into produto (cod, nome) values (7, null)");
  OpenSnapshot("select cod, nome from produto order by cod");
  EXPECT_FALSE(db_.query.Active());
  db_.database.Close();

  ASSERT_TRUE(snapshot_.Active());
  EXPECT_EQ(snapshot_.RecordCount(), 3);
  EXPECT_EQ(Column("COD"), (std::vector<int>{5, 7, 42}));

  // Keyed lookup on "cod", as the sales import finds product names.
  ASSERT_TRUE(snapshot_.Locate("cod", TIBValue::Integer(42), loCaseInsensitive));
  EXPECT_EQ(snapshot_.FieldByName("nome").AsString(), "Caderno");
  EXPECT_EQ(snapshot_.RecNo(), 3);
  ASSERT_TRUE(snapshot_.Locate("cod", TIBValue::Integer(7), loCaseInsensitive));
  EXPECT_EQ(snapshot_.FieldByName("nome").AsString(), "");
  EXPECT_FALSE(snapshot_.Locate("cod", TIBValue::Integer(99), loCaseInsensitive));
  EXPECT_EQ(snapshot_.RecNo(), 2);  // the current row stays
  ASSERT_TRUE(snapshot_.Locate("NOME", TIBValue::Text("CADERNO"), loCaseInsensitive));
  EXPECT_FALSE(snapshot_.Locate("nome", TIBValue::Text("CADERNO"), 0));
  ASSERT_TRUE(snapshot_.Locate("nome", TIBValue::Text("Can"), loPartialKey));
  EXPECT_EQ(snapshot_.FieldByName("cod").AsInteger(), 5);

  snapshot_.Close();
  EXPECT_THROW(snapshot_.FieldByName("cod"), EIBError);
}

TEST_F(PosSnapshotTest, EmptyResultAndFailingSelect) {
  OpenSnapshot("select nota, data, total, vendedor, desconto, ok, crc from venda where exportado = 0 order by nota rows 10");
  EXPECT_TRUE(snapshot_.IsEmpty());
  EXPECT_TRUE(snapshot_.Eof());
  EXPECT_EQ(snapshot_.FieldCount(), 7);
  EXPECT_TRUE(snapshot_.FieldByName("total").IsNull());

  snapshot_.Close();
  snapshot_.SetCommandText("select cod from produtos");
  try {
    snapshot_.Open();
    ADD_FAILURE() << "no error";
  } catch (const EIBError& e) {
    EXPECT_NE(std::string(e.what()).find("Table unknown"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(snapshot_.Active());
  EXPECT_TRUE(db_.transaction.InTransaction());

  db_.provider.SetOptions(0);
  snapshot_.SetCommandText("select cod from produto");
  EXPECT_THROW(snapshot_.Open(), EIBError);
}

TEST_F(PosSnapshotTest, PendingSalesAreTheTenLowestUnexported) {
  for (int nota = 1; nota <= 14; ++nota) {
    db_.Exec("insert into venda (nota, data, total, exportado) values (" + std::to_string(nota) +
             ", '2014-03-05', 10, " + (nota == 3 ? "1" : "0") + ")");
  }
  OpenSnapshot("select nota, data, total, vendedor, desconto, ok, crc from venda where exportado = 0 order by nota rows 10");
  EXPECT_EQ(Column("nota"), (std::vector<int>{1, 2, 4, 5, 6, 7, 8, 9, 10, 11}));
}

// The transfers pass their numbers as "-12-13-" and select or mark every row
// whose number, as text, occurs inside that list.
class ContainingListTest : public PosSnapshotTest {
 protected:
  void SetUp() override {
    PosSnapshotTest::SetUp();
    for (int nota : {5, 12, 13, 14, 112}) {
      const std::string n = std::to_string(nota);
      db_.Exec("insert into venda (nota, exportado) values (" + n + ", 0)");
      db_.Exec("insert into item_venda (nota, cod, quant, total) values (" + n + ", 1, 1, 1)");
      db_.Exec("insert into item_venda (nota, cod, quant, total) values (" + n + ", 2, 1, 1)");
      db_.Exec("insert into NFCE (nota, chave, data, exportado, adic) values ('" + n + "', '', '2014-03-05', 0, '')");
    }
  }

  std::vector<int> Exported(const std::string& table) {
    OpenSnapshot("select nota from " + table + " where exportado = 1 order by nota");
    return Column("nota");
  }

  const std::string list_ = "'-12-13-'";
};

TEST_F(ContainingListTest, ItemsSelectTakesTheListedSales) {
  OpenSnapshot("select nota, cod, quant, p_compra, p_venda, unid, total, aliquota from item_venda where " + list_ +
               " containing( cast(nota as varchar(6))) order by nota");
  EXPECT_EQ(Column("nota"), (std::vector<int>{12, 12, 13, 13}));
}

TEST_F(ContainingListTest, MarkingStatementsFlagTheListedRows) {
  // Each marking routine: commit, start, run the statement (open, close),
  // commit.
  auto mark = [&](const std::string& sql) {
    if (db_.transaction.InTransaction()) db_.transaction.Commit();
    db_.query.Close();
    db_.transaction.StartTransaction();
    db_.query.SetSQL(sql);
    db_.query.Open();
    db_.query.Close();
    db_.transaction.Commit();
  };
  mark("update venda set exportado = 1 where " + list_ + " containing( cast(nota as varchar(6)))");
  mark("update nfce set exportado = 1 where " + list_ + " containing( cast(nota as varchar(6)) )");
  EXPECT_EQ(Exported("venda"), (std::vector<int>{12, 13}));
  EXPECT_EQ(Exported("NFCE"), (std::vector<int>{12, 13}));
}

TEST_F(ContainingListTest, ANumberInsideAListedNumberMatchesToo) {
  // "1" and "2" occur inside "-12-13-": the plain containing test cannot tell
  // a listed number from part of one.
  db_.Exec("insert into item_venda (nota, cod, quant, total) values (1, 1, 1, 1)");
  db_.Exec("insert into item_venda (nota, cod, quant, total) values (3, 1, 1, 1)");
  OpenSnapshot("select distinct nota from item_venda where " + list_ + " containing( cast(nota as varchar(6)))");
  EXPECT_EQ(Column("nota"), (std::vector<int>{1, 3, 12, 13}));
}

}  // namespace
}  // namespace veltrix
