// The catalogue export: the point-of-sale product table becomes a mirror of
// the legacy product table.
//
// Every point-of-sale product is first marked with fornec = 999; each live
// legacy product is then written with update or insert (which clears the
// mark), and what is still marked at the end was not in the legacy table
// and is deleted. All of it runs in one transaction, committed at the end.
#include <cctype>
#include <exception>
#include <string>

#include "app/form1.h"
#include "app/funcoes.h"
#include "app/money.h"
#include "app/product_description.h"

namespace veltrix {

namespace {

constexpr char kUpsertProduct[] =
    "update or insert into produto (cod, nome, p_compra, p_venda, unid, aliquota, refori, codbar, quant, fornec, "
    "grupo)values (:cod, :nome, :p_compra, :p_venda, :unid, :aliquota, :refori, :codbar, :quant, :fornec, 0)";
constexpr int64_t kUnknownStock = 1000;  // the point of sale sells freely with this stock

// done / total as a whole percentage, halves to even.
int64_t Percentage(int64_t done, int64_t total) {
  if (total <= 0) return 0;
  const int64_t scaled = done * 100;
  int64_t quotient = scaled / total;
  const int64_t twice_rest = 2 * (scaled % total);
  if (twice_rest > total || (twice_rest == total && quotient % 2 != 0)) ++quotient;
  return quotient;
}

std::string LowerCase(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Unknown or negative stock is sold as 1000; "sem_estoque" shops add 1000
// to every known stock.
Money ShapeQuantity(Money stock, bool sem_estoque) {
  if (stock < Money()) stock = Money();
  if (stock == Money()) return Money::FromWhole(kUnknownStock);
  return sem_estoque ? stock + Money::FromWhole(kUnknownStock) : stock;
}

// Scale bar codes (starting with "2", at most 10 characters) carry the
// weight or price after the product part: the point of sale wants the
// first five characters.
std::string ShapeBarCode(const std::string& stored) {
  std::string code = Trim(tiraEspacos(stored));
  if (!code.empty() && code[0] == '2' && code.size() <= 10) code = completaDireita(code, 5);
  return code;
}

Money PriceOf(const qxdbf::TField& field) {
  Money price;
  return Money::TryFromText(field.AsString(), price) ? price : Money();
}

}  // namespace

void TForm1::converteDados() {
  qxdbf::TQxDBFNTX& table = tables_.QxTableProduto;
  if (!abreTabela(table)) return;
  try {
    ExportCatalogue(table);
  } catch (...) {
    table.Close();
    throw;
  }
  table.Close();
  ui_.HideWindow();
}

void TForm1::ExportCatalogue(qxdbf::TQxDBFNTX& table) {
  Connect();
  ui_.ProcessMessages();
  ui_.SetCaption("");
  const std::string title = ui_.ApplicationTitle();
  ui_.AppendLog("Conexão com o Banco de Dados Estabelecida");
  int64_t shown = 0;
  const int64_t total = table.RecordCount();
  const std::string mode = Argument(3);
  if (mode == "delete" || mode == "DELETE") {
    ui_.AppendLog("Deletando todos os itens do Estoque do Pdv...");
    RunStatement("delete from produto");
    RunStatement("delete from usuario");
  }
  ui_.AppendLog("Exportando dados do Veltrix Estoque...");
  RunStatement("update produto set fornec = 999");
  const bool sem_estoque = LowerCase(mode) == "sem_estoque";
  int64_t exported = 0;
  for (table.First(); !table.Eof(); table.Next()) {
    ++exported;
    const int64_t percent = Percentage(exported, total);
    if (percent != shown) {
      shown = percent;
      ui_.SetApplicationTitle(std::to_string(percent) + "% Concluído");
      ui_.ProcessMessages();
    }
    ExportProduct(table, sem_estoque);
  }
  RunStatement("delete from produto where fornec = 999");
  ui_.AppendLog("Exportação de dados Concluída: " + std::to_string(exported) + " itens exportados");
  ui_.SetApplicationTitle(title);
  if (transaction_.InTransaction()) transaction_.Commit();
  query_.Close();
  database_.Close();
}

void TForm1::ExportProduct(qxdbf::TQxDBFNTX& table, bool sem_estoque) {
  // One product that cannot be read or written is reported and left marked,
  // so the end of the export removes it; the rest of the catalogue goes on.
  try {
    const Money quantity = ShapeQuantity(Money::FromTenThousandths(table.FieldByName("QUANT").AsCurrency()), sem_estoque);
    const std::string unid = table.FieldByName("UNID").AsString();
    query_.SetSQL(kUpsertProduct);
    query_.ParamByName("cod").SetAsInteger(table.FieldByName("CODIGO").AsInteger());
    query_.ParamByName("nome").SetAsString(ve_descricao(table.FieldByName("NOME").AsString(), unid));
    query_.ParamByName("p_compra").SetAsCurrency(PriceOf(table.FieldByName("P_COMPRA")).TenThousandths());
    query_.ParamByName("p_venda").SetAsCurrency(PriceOf(table.FieldByName("P_VENDA")).TenThousandths());
    query_.ParamByName("unid").SetAsString(unid.substr(0, 6));
    query_.ParamByName("aliquota").SetAsString(table.FieldByName("ALIQUOTA").AsString().substr(0, 2));
    query_.ParamByName("refori").SetAsString(table.FieldByName("REFORI").AsString());
    query_.ParamByName("codbar").SetAsString(ShapeBarCode(table.FieldByName("CODBAR").AsString()));
    query_.ParamByName("quant").SetAsCurrency(quantity.TenThousandths());
    query_.ParamByName("fornec").SetAsInteger(0);
    query_.ExecSQL();
  } catch (const std::exception& e) {
    ui_.AppendLog(std::string("Erro(converteDados): ") + e.what());
  }
}

void TForm1::RunStatement(const std::string& sql) {
  query_.SetSQL(sql);
  query_.ExecSQL();
}

}  // namespace veltrix
