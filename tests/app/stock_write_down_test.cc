// The stock write-down on a real legacy product table: the pending list,
// one walk per batch, and a walk that fails on a record another program
// holds locked.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <string>
#include <vector>

#include "app/form1.h"
#include "sales_fixture.h"
#include "test_util.h"

namespace veltrix {
namespace {

using qxdbf_test::ChildProcess;
using qxdbf_test::CliProgram;
using veltrix_test::SalesFixture;

Money Units(const std::string& text) { return Money::FromText(text); }

TEST(StockWriteDownTest, OneWalkTakesEachQuantityOffEveryLiveRecordOfItsCode) {
  SalesFixture f;
  f.AppendProduct("000042", Units("10"));
  f.AppendProduct("000043", Units("5"));
  f.AppendProduct("000042", Units("20"));        // the same code twice: both lose it
  f.AppendProduct("000044", Units("7"), true);   // deleted: not touched
  f.AppendProduct("000099", Units("1"));         // nothing sold

  TForm1& form = *f.form;
  form.acumulaPendente("000042", Units("1,5"));
  form.acumulaPendente("000044", Units("1"));
  form.acumulaPendente("000042", Units("2"));
  form.acumulaPendente("000077", Units("4"));    // no product record
  ASSERT_EQ(form.State().listaBaixa.size(), 3u);
  EXPECT_EQ(form.posicaoPendente("000042"), 0);
  EXPECT_EQ(form.posicaoPendente("000077"), 2);
  EXPECT_EQ(form.posicaoPendente("42"), -1);
  EXPECT_EQ(form.State().listaBaixa[0].quantidade, Units("3,5"));

  form.baixaEstoqueVeltrix();
  EXPECT_EQ(f.Quants(), (std::vector<std::string>{"6,5", "5", "16,5", "7", "1"}));
  EXPECT_TRUE(form.State().listaBaixa.empty());
  EXPECT_FALSE(form.Tables().QxTableProduto.Active());
  EXPECT_TRUE(f.ui.log.empty());

  // An empty list walks the table and changes nothing.
  form.baixaEstoqueVeltrix();
  EXPECT_EQ(f.Quants(), (std::vector<std::string>{"6,5", "5", "16,5", "7", "1"}));
}

// A record locked by another program stops the walk of the first batch
// after it has written down the record before. More is sold before the next
// batch; its walk starts again at the first record and, in the end, every
// record has lost every sold quantity exactly once.
TEST(StockWriteDownTest, FailedWalkIsResumedWithoutLosingOrRepeating) {
  SalesFixture f;
  f.SetPedido("000001");
  f.AppendProduct("000042", Units("10"));
  f.AppendProduct("000043", Units("5"));
  f.AppendProduct("000042", Units("20"));
  f.Sale(1, "5");
  f.SaleItem(1, 42, "1.5", "2", "3");
  f.SaleItem(1, 43, "1", "2", "2");
  f.form->Tables().QxTableProduto.SetWaitBusyRes(5);
  {
    ChildProcess holder(
        {CliProgram(), "lock", f.Legacy(LegacyFile::kProduto), "--record", "2", "--seconds", "1.5"});
    ASSERT_EQ(holder.ReadLine(), "locked");
    f.form->Timer2Timer();
    EXPECT_EQ(holder.Wait(), 0);
  }
  const std::vector<std::string>& log = f.ui.log;
  EXPECT_NE(std::find(log.begin(), log.end(),
                      "Erro(baixaEstoqueVeltrix): TQxSmartDBF.InternalPost: Can not lock DBF record. - 1"),
            log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "01 Venda(s) Transferida(s) até o cupom nº 1 ( Buffer: 2)"), log.end());
  EXPECT_EQ(f.Quants(), (std::vector<std::string>{"8,5", "5", "20"}));
  // The sale itself is done; only the write-down waits, and keeps the
  // window from closing.
  EXPECT_EQ(f.Exported().at(1), 1);
  EXPECT_TRUE(f.form->State().Pending());
  f.form->Button1Click();
  EXPECT_EQ(f.ui.messages, std::vector<std::string>{kPendingSalesMessage});

  f.Sale(2, "4");
  f.SaleItem(2, 42, "2", "2", "4");
  f.form->Timer2Timer();
  EXPECT_EQ(f.Quants(), (std::vector<std::string>{"6,5", "4", "16,5"}));
  EXPECT_FALSE(f.form->State().Pending());
  EXPECT_EQ(f.ui.log.back(), "01 Venda(s) Transferida(s) até o cupom nº 2 ( Buffer: 0)");
  EXPECT_EQ(f.Records(LegacyFile::kVendas).size(), 5u);

  // Nothing is taken off twice by a later batch.
  f.form->Timer2Timer();
  EXPECT_EQ(f.Quants(), (std::vector<std::string>{"6,5", "4", "16,5"}));
}

// A legacy program updates a product's stock the usual way (lock the
// record, read, write, unlock) while a walk reaches that record: the walk
// waits for the lock and takes the sale off the stock the other program
// wrote, so neither change is lost.
TEST(StockWriteDownTest, WaitsForAProgramHoldingTheRecordAndKeepsItsChange) {
  SalesFixture f;
  f.AppendProduct("000041", Units("1"));
  f.AppendProduct("000042", Units("10"));
  f.form->acumulaPendente("000042", Units("3"));

  std::atomic<bool> holding{false};
  std::thread receipt([&f, &holding] {
    qxdbf::TQxDBFNTX other;
    SalesFixture::OpenShared(other, f.Legacy(LegacyFile::kProduto));
    other.SetRecNo(2);
    ASSERT_TRUE(other.LockRecord(2));
    holding = true;
    // The walk reads the record and waits for the lock meanwhile.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    other.Refresh();
    other.Edit();
    other.FieldByName("QUANT").SetAsCurrency((Money::FromTenThousandths(other.FieldByName("QUANT").AsCurrency()) +
                                              Units("100")).TenThousandths());
    other.Post();  // writes under the held lock and releases it
    other.Close();
  });
  while (!holding) std::this_thread::yield();
  f.form->baixaEstoqueVeltrix();
  receipt.join();
  EXPECT_EQ(f.Quants(), (std::vector<std::string>{"1", "107"}));
  EXPECT_TRUE(f.form->State().listaBaixa.empty());
}

}  // namespace
}  // namespace veltrix
