// The stock write-down: the quantities of a batch of copied sales, gathered
// per product code, taken off the legacy product table in one walk.
#include <exception>
#include <string>

#include "app/form1.h"
#include "dbf/errors.h"

namespace veltrix {

namespace {

// Codes are kept as the legacy tables store them in CODIGO: six characters.
constexpr size_t kCodeLength = 6;

}  // namespace

int TForm1::posicaoPendente(const std::string& codigo) const {
  const std::vector<Item>& lista = state_.listaBaixa;
  for (size_t i = 0; i < lista.size(); ++i)
    if (lista[i].codigo == codigo) return static_cast<int>(i);
  return -1;
}

void TForm1::acumulaPendente(const std::string& codigo, Money quantidade) {
  const int i = posicaoPendente(codigo);
  if (i == -1) {
    state_.listaBaixa.push_back(Item{codigo.substr(0, kCodeLength), quantidade});
    return;
  }
  state_.listaBaixa[static_cast<size_t>(i)].quantidade += quantidade;
}

void TForm1::baixaEstoqueVeltrix() {
  qxdbf::TQxDBFNTX& produto = tables_.QxTableProduto;
  try {
    // Every walk starts at the first record: a table left open by a failed
    // walk is closed first, so no record is skipped.
    produto.Close();
    produto.Open();
    produto.First();
    while (!produto.Eof()) {
      // A record that vanished under its lock leaves the cursor on the
      // next live one, which is looked at without moving on.
      if (WriteDownRecord(produto)) produto.Next();
    }
    produto.Close();
    state_.listaBaixa.clear();
  } catch (const std::exception& e) {
    ui_.AppendLog(std::string("Erro(baixaEstoqueVeltrix): ") + e.what() + " - 1");
    // The list keeps every entry with what was applied; the next write-down
    // walks the table again from its first record.
    try {
      if (produto.Active()) produto.Cancel();
      produto.Close();
    } catch (const std::exception&) {
      // The write-down's own error is the one reported.
    }
  }
}

bool TForm1::WriteDownRecord(qxdbf::TQxDBFNTX& produto) {
  const int i = posicaoPendente(produto.FieldByName("CODIGO").AsString());
  if (i == -1) return true;
  Item& item = state_.listaBaixa[static_cast<size_t>(i)];
  const int recno = produto.RecNo();
  // What an earlier, failed walk took off this record is not taken again.
  const Money falta = item.quantidade - item.aplicado[recno];
  if (falta == Money()) return true;
  // As the legacy programs do: lock the record, read its stock afresh, write,
  // unlock. Reading before the lock would lose a sale or a receipt another
  // program writes into the record in between.
  if (!produto.LockRecord(recno)) throw qxdbf::EQxDBFError("TQxSmartDBF.InternalPost: Can not lock DBF record.");
  struct Unlock {
    qxdbf::TQxDBFNTX& table;
    int recno;
    ~Unlock() { table.UnlockRecord(recno); }
  } unlock{produto, recno};
  produto.Refresh();
  if (produto.RecNo() != recno || produto.FieldByName("CODIGO").AsString() != item.codigo) return false;
  produto.Edit();
  qxdbf::TField& quant = produto.FieldByName("QUANT");
  quant.SetAsCurrency((Money::FromTenThousandths(quant.AsCurrency()) - falta).TenThousandths());
  produto.Post();
  item.aplicado[recno] = item.quantidade;
  return true;
}

}  // namespace veltrix
