// The sales import: pending point-of-sale sales copied into the legacy sales
// table under fresh legacy order numbers, their quantities queued for the
// stock write-down, and the sales marked as exported.
#include <cctype>
#include <exception>
#include <string>
#include <vector>

#include "app/convert_error.h"
#include "app/digit_layouts.h"
#include "app/form1.h"
#include "app/funcoes.h"
#include "app/sql_literal.h"
#include "app/valor_campo.h"

namespace veltrix {

namespace {

// Only sales with at least one item are fetched: an item-less sale is never
// copied nor marked, and ten of them at the head of the queue would keep
// every later sale out for good.
constexpr const char* kPendingSalesSelect =
    "select nota, data, total, vendedor, desconto, ok, crc from venda where exportado = 0 "
    "and exists (select 1 from item_venda i where i.nota = venda.nota) order by nota rows 10";
constexpr const char* kProductNamesSelect = "select cod, nome from produto";
// The batch's numbers, each enclosed in hyphens: "-12-" must not match in
// "-112-" or "-120-", as a bare "12" would.
constexpr const char* kWholeNumberMatch = " containing('-' || cast(nota as varchar(6)) || '-')";

// The check value of a sale: nine digits, of which the legacy programs keep
// the last eight packed in four characters; a shorter value counts as 1.
constexpr size_t kCrcDigits = 9;
constexpr const char* kDefaultCrc = "000000001";
constexpr const char* kFirstOrderNumber = "000001";
constexpr int kOrderDigits = 6;
constexpr int kSellerDigits = 4;
constexpr int kProductCodeDigits = 6;

bool IsImportSwitchedOff(const std::string& mode) {
  return mode == "nao_importa_venda" || mode == "NAO_IMPORTA_VENDA";
}

// The order number kept in PEDIDO: leading blanks are allowed, as the
// legacy programs' own conversion allows them; anything else but digits
// (six blanks, a letter) is refused.
int OrderNumber(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  const std::string digits = text.substr(i);
  bool valid = !digits.empty() && digits.size() <= 9;
  for (char c : digits) valid = valid && std::isdigit(static_cast<unsigned char>(c));
  if (!valid) throw EConvertError("'" + text + "' is not a valid integer value");
  return std::stoi(digits);
}

// Characters 2 to 7 of the check value and its last two, packed in pairs.
std::string PackedCrc(std::string crc) {
  if (crc.size() < kCrcDigits) crc = kDefaultCrc;
  return compactaPares(crc.substr(1, 6) + crc.substr(crc.size() - 2));
}

}  // namespace

bool TForm1::existeVendaNovaNoBdDoQuovo() {
  int estagio = 1;
  try {
    if (database_.Connected()) database_.Close();
    if (IsImportSwitchedOff(Argument(3))) return false;
    estagio = 2;
    Connect();
    // No new batch while copied sales are still unmarked.
    if (!RetryPendingMarking()) {
      database_.Close();
      return false;
    }
    estagio = 3;
    pedidos_.Close();
    pedidos_.SetCommandText(kPendingSalesSelect);
    estagio = 4;
    pedidos_.Open();
    query_.FetchAll();
    estagio = 5;
    if (pedidos_.IsEmpty()) {
      estagio = 6;
      pedidos_.Close();
      database_.Close();
      return false;
    }
    return true;
  } catch (const std::exception& e) {
    ui_.AppendLog("Erro(existeVendaNovaNoBdDoQuovo): " + std::to_string(estagio) + "  " + e.what());
    try {
      database_.Close();
    } catch (const std::exception&) {
      // The probe's own error is the one reported.
    }
    return false;
  }
}

void TForm1::transfereVendas() {
  qxdbf::TQxDBFNTX& numeracao = tables_.TableNumeracao;
  state_.erroCopia = false;
  try {
    if (numeracao.FileLocked()) {
      ui_.AppendLog("Erro: arquivo de numeração bloqueado");
      database_.Close();
      return;
    }
    if (!abreTabela(numeracao)) {
      ui_.AppendLog("Erro: arquivo de numeração não pode ser aberto");
      database_.Close();
      return;
    }
    if (!numeracao.FLock()) {
      numeracao.Close();
      ui_.AppendLog("Erro: arquivo de numeração não pode ser bloqueado");
      database_.Close();
      return;
    }
    std::string pedido = numeracao.FieldByName("PEDIDO").AsString().substr(0, kOrderDigits);
    state_.gravandoVendas = true;
    // A numbering table without a record has given out no number yet.
    if (pedido.empty()) pedido = kFirstOrderNumber;
    const int a = OrderNumber(pedido);
    const int b = copiaVendasParaVeltrix(a);
    if (a < b && !state_.erroCopia) {
      // On a table without records the edit starts the first record.
      numeracao.Edit();
      numeracao.FieldByName("PEDIDO").SetAsString(zeroEsquerda(b, kOrderDigits));
      numeracao.Post();
      ui_.SetCaption("Vendas transferidas para o Veltrix");
      marcaPedidosImportados();
      database_.Close();
      state_.gravandoVendas = false;
    }
    numeracao.UnLock();
    numeracao.Close();
    state_.gravandoVendas = false;
  } catch (const std::exception& e) {
    ui_.AppendLog(std::string("Erro: ") + e.what());
    // Each release is tried on its own, so one failing does not keep the
    // others (or the numbering table's lock) held until the next tick.
    try {
      if (numeracao.Active()) numeracao.Cancel();
      numeracao.UnLock();
    } catch (const std::exception&) {
    }
    try {
      numeracao.Close();
    } catch (const std::exception&) {
    }
    query_.Close();
    try {
      database_.Close();
    } catch (const std::exception&) {
    }
    // Nothing is being written any more: the buttons must not stay refused.
    state_.gravandoVendas = false;
  }
}

int TForm1::copiaVendasParaVeltrix(int ultimo_pedido) {
  qxdbf::TQxDBFNTX& vendas = tables_.QxTableVendas;
  state_.erroCopia = false;
  int estagio = 1;
  int n = ultimo_pedido;
  if (!abreTabela(vendas)) {
    ui_.AppendLog("(copiaVendasParaVeltrix): não conseguiu abrir a tabela de vendas do Veltrix");
    return ultimo_pedido;
  }
  // What a failed copy has to take back: the records appended after these
  // (the table is held exclusively, so every later record is this copy's)
  // and the quantities queued since.
  const int registros_antes = vendas.RecordCount();
  const size_t pendentes_antes = state_.listaBaixa.size();
  std::vector<Item> acrescentado;
  bool copiado = false;
  try {
    std::string lista = "-";
    for (pedidos_.First(); !pedidos_.Eof(); pedidos_.Next()) lista += pedidos_.FieldByName("nota").AsString() + "-";
    state_.listaNotas = lista;
    const int count = pedidos_.RecordCount();

    estagio = 2;
    itens_.Close();
    itens_.SetCommandText("select nota, cod, quant, p_compra, p_venda, unid, total, aliquota from item_venda where " +
                          SqlLiteral(state_.listaNotas) + kWholeNumberMatch + " order by nota");
    itens_.Open();
    query_.FetchAll();
    pagto_.Close();
    pagto_.SetCommandText(kProductNamesSelect);
    pagto_.Open();
    query_.FetchAll();
    query_.Close();
    database_.Close();
    estagio = 3;

    // Only the sales copied here are marked afterwards.
    std::string copiadas = "-";
    std::string ultima_nota;
    for (pedidos_.First(); !pedidos_.Eof(); pedidos_.Next()) {
      const int nota = pedidos_.FieldByName("nota").AsInteger();
      ultima_nota = pedidos_.FieldByName("nota").AsString();
      const Money total = valorCampo(pedidos_.FieldByName("total")).Abs();
      const double data = pedidos_.FieldByName("data").AsDateTime();
      const std::string vendedor = zeroEsquerda(pedidos_.FieldByName("vendedor").AsInteger(), kSellerDigits);
      const std::string crc = PackedCrc(pedidos_.FieldByName("crc").AsString());

      estagio = 4;
      Money soma;
      int itens = 0;
      Money desconto;
      for (itens_.First(); !itens_.Eof(); itens_.Next()) {
        if (itens_.FieldByName("nota").AsInteger() != nota) continue;
        soma += arredonda(valorCampo(itens_.FieldByName("total")));
        itens += 1;
      }
      if (total < soma) desconto = soma - total;

      estagio = 5;
      if (itens > 0) n += 1;
      const std::string nota_veltrix = zeroEsquerda(n, kOrderDigits) + "0";
      for (itens_.First(); !itens_.Eof(); itens_.Next()) {
        if (itens_.FieldByName("nota").AsInteger() != nota) continue;
        const int cod = itens_.FieldByName("cod").AsInteger();
        const std::string codigo = zeroEsquerda(cod, kProductCodeDigits);
        const std::string nome = VeNomeProduto(cod);
        const Money quant = valorCampo(itens_.FieldByName("quant"));
        vendas.Append();
        vendas.FieldByName("CODIGO").SetAsString(codigo);
        vendas.FieldByName("UNIDADE").SetAsString(itens_.FieldByName("unid").AsString());
        vendas.FieldByName("NOME").SetAsString(nome);
        vendas.FieldByName("PVENDA").SetAsCurrency(valorCampo(itens_.FieldByName("p_venda")).TenThousandths());
        vendas.FieldByName("QUANT").SetAsCurrency(quant.TenThousandths());
        vendas.FieldByName("P_TOTAL")
            .SetAsCurrency(arredonda(valorCampo(itens_.FieldByName("total"))).TenThousandths());
        vendas.FieldByName("TOTAL").SetAsCurrency(total.TenThousandths());
        vendas.FieldByName("NOTA").SetAsString(nota_veltrix);
        vendas.FieldByName("DATA").SetAsDateTime(data);
        vendas.FieldByName("VENDEDOR").SetAsString(vendedor);
        vendas.FieldByName("P_COMPRA").SetAsCurrency(valorCampo(itens_.FieldByName("p_compra")).TenThousandths());
        vendas.FieldByName("CODHIS").SetAsString("001");
        vendas.FieldByName("ALIQUOTA").SetAsString(itens_.FieldByName("aliquota").AsString());
        vendas.FieldByName("ENTREGA").SetAsString("E");
        vendas.FieldByName("OK").SetAsString("P");
        vendas.FieldByName("CRC").SetAsString(crc);
        vendas.Post();
        acumulaPendente(codigo, quant);
        acrescentado.push_back(Item{codigo, quant});
      }

      estagio = 7;
      if (itens > 0) {
        // The closing record carries the discount the items' cents add up
        // to beyond the sale's total.
        vendas.Append();
        vendas.FieldByName("NOME").SetAsString("DESCONTO");
        vendas.FieldByName("P_TOTAL").SetAsCurrency((-desconto).TenThousandths());
        vendas.FieldByName("TOTAL").SetAsCurrency(total.TenThousandths());
        vendas.FieldByName("NOTA").SetAsString(nota_veltrix);
        vendas.FieldByName("DATA").SetAsDateTime(data);
        vendas.FieldByName("VENDEDOR").SetAsString(vendedor);
        vendas.FieldByName("CODHIS").SetAsString("001");
        vendas.FieldByName("ENTREGA").SetAsString("C");
        vendas.FieldByName("OK").SetAsString("P");
        vendas.FieldByName("CRC").SetAsString(crc);
        vendas.Post();
        copiadas += std::to_string(nota) + "-";
      }
    }
    state_.listaNotas = copiadas;
    copiado = true;

    estagio = 8;
    baixaEstoqueVeltrix();
    ui_.AppendLog(zeroEsquerda(count, 2) + " Venda(s) Transferida(s) até o cupom nº " + ultima_nota + " ( Buffer: " +
                  std::to_string(state_.listaBaixa.size()) + ")");
  } catch (const std::exception& e) {
    state_.erroCopia = true;
    ui_.AppendLog(std::string("Erro(copiaVendas): ") + e.what() + " :" + std::to_string(estagio));
    if (!copiado) {
      // The sales stay pending and come again at the next tick: nothing of
      // this attempt may stay behind, or they would be recorded and written
      // down twice.
      for (const Item& item : acrescentado) {
        const int i = posicaoPendente(item.codigo);
        if (i != -1) state_.listaBaixa[static_cast<size_t>(i)].quantidade -= item.quantidade;
      }
      for (size_t i = state_.listaBaixa.size(); i > pendentes_antes; --i)
        if (state_.listaBaixa[i - 1].quantidade == Money()) state_.listaBaixa.erase(state_.listaBaixa.begin() + (i - 1));
      try {
        vendas.TruncateRecords(registros_antes);
      } catch (const std::exception& undo) {
        ui_.AppendLog(std::string("Erro(copiaVendas): ") + undo.what());
      }
    }
  }
  // A close that fails (the end marker could not be added) leaves the
  // records written; they are numbered and marked like any others, or they
  // would come again at the next tick.
  try {
    vendas.Close();
  } catch (const std::exception& e) {
    ui_.AppendLog(std::string("Erro(copiaVendas): ") + e.what());
  }
  query_.Close();
  return n;
}

std::string TForm1::VeNomeProduto(int cod) {
  std::string nome;
  if (pagto_.Locate("cod", TIBValue::Integer(cod), loCaseInsensitive)) nome = pagto_.FieldByName("nome").AsString();
  return nome;
}

void TForm1::marcaPedidosImportados() {
  try {
    MarkSalesExported(state_.listaNotas);
  } catch (const std::exception& e) {
    ui_.AppendLog(std::string("marcaPedidosImportados: ") + e.what());
    // These sales are in the legacy tables and their numbers are stored:
    // they must be marked before any new batch is fetched, or the next tick
    // would copy them and write their stock down a second time.
    const std::string& lista = state_.listaNotas;
    state_.notasPorMarcar += state_.notasPorMarcar.empty() ? lista : lista.substr(1);
  }
}

void TForm1::MarkSalesExported(const std::string& lista) {
  Connect();
  if (transaction_.InTransaction()) transaction_.Commit();
  query_.Close();
  transaction_.StartTransaction();
  query_.SetSQL("update venda set exportado = 1 where " + SqlLiteral(lista) + kWholeNumberMatch);
  query_.Open();
  query_.Close();
  transaction_.Commit();
}

bool TForm1::RetryPendingMarking() {
  if (state_.notasPorMarcar.empty()) return true;
  try {
    MarkSalesExported(state_.notasPorMarcar);
    state_.notasPorMarcar.clear();
    return true;
  } catch (const std::exception& e) {
    ui_.AppendLog(std::string("marcaPedidosImportados: ") + e.what());
    return false;
  }
}

}  // namespace veltrix
