// NFC-e import: the electronic consumer invoices of earlier days, copied
// from the point of sale's `NFCE` into the legacy NFC-e table, then flagged
// as exported.
//
// The cash register and the invoice number the legacy programs show are
// cut out of the 44-digit access key (state 2, year and month 4, issuer 14,
// model 2, series 3, number 9, emission type 1, code 8, check digit 1):
// characters 23 to 25 are the series, 28 to 34 the last seven digits of the
// number. The point of sale may write the key with spaces between its digit
// groups; they are removed first.
#include <exception>
#include <string>

#include "app/form1.h"
#include "app/funcoes.h"
#include "app/local_today.h"
#include "app/sql_literal.h"

namespace veltrix {

namespace {

constexpr size_t kSeriesStart = 22;  // 0-based: characters 23 to 25
constexpr size_t kSeriesLength = 3;
constexpr size_t kNumberStart = 27;  // 0-based: characters 28 to 34
constexpr size_t kNumberLength = 7;

// The conditions of an invoice waiting to be copied. The flagging repeats
// them, so that an invoice of another register with a listed number (the
// numbers run per series) is not flagged while it is still waiting: dated
// today, or carrying additional data.
constexpr const char* kPendingInvoices =
    "(exportado = 0 or exportado = null) and data is not null and data < :dat and adic = ''";

// At most this many characters of the list go into one flagging statement:
// the server refuses a string literal beyond 64 KB, and the first run in a
// shop may copy years of invoices (some ten thousand numbers fill 64 KB).
constexpr size_t kMaxListChars = 30000;

// Characters from `start` of `text`, fewer (or none) when it is shorter.
std::string Slice(const std::string& text, size_t start, size_t length) {
  return start < text.size() ? text.substr(start, length) : std::string();
}

}  // namespace

void TForm1::buscaNFCE() {
  qxdbf::TQxDBFNTX& table = tables_.TableNFCE;
  try {
    ui_.AppendLog("Buscando NFC-e...");
    query_.SetSQL(std::string("select * from NFCE where ") + kPendingInvoices);
    query_.ParamByName("dat").SetAsDate(DiaDeHoje());
    query_.Open();
    // The list starts afresh even when nothing is pending: a list left from
    // another transfer must never reach the flagging of invoices.
    state_.listaNotas.assign(1, '-');
    table.Open();
    for (; !query_.Eof(); query_.Next()) {
      // The legacy programs append after an edit of the current record;
      // the unchanged edit is abandoned by the insert.
      table.Edit();
      table.Insert();
      const double date = query_.FieldByName("data").AsDateTime();
      const std::string nota = query_.FieldByName("nota").AsString();
      const std::string chave = tiraEspacos(query_.FieldByName("chave").AsString());
      const std::string serie = Slice(chave, kSeriesStart, kSeriesLength);
      const std::string nfce = Slice(chave, kNumberStart, kNumberLength);
      state_.listaNotas += nota + "-";
      ui_.AppendLog("Importada NFC-e: " + nfce + " Caixa: " + serie);
      table.FieldByName("data").SetAsDateTime(date);
      table.FieldByName("nota").SetAsString(zeroEsquerdaTexto(nota, 6));
      table.FieldByName("chave").SetAsString(chave);
      table.FieldByName("serie").SetAsString(serie);
      table.FieldByName("nfce").SetAsString(nfce);
      table.Post();
    }
    table.Close();
    marcaNFCEImportadas();
  } catch (const std::exception& e) {
    ui_.AppendLog(std::string("Erro(buscaNFCE): ") + e.what());
    query_.Close();
    try {
      table.Close();
    } catch (const std::exception&) {
      // The first error is the one the log needs.
    }
  }
}

void TForm1::marcaNFCEImportadas() {
  try {
    Connect();
    // Commits what the start sequence ran before (sellers, users, the
    // Z-reduction flags) together with nothing of its own.
    if (transaction_.InTransaction()) transaction_.Commit();
    query_.Close();
    transaction_.StartTransaction();
    // Each number is matched whole, between its two hyphens: "-12-" must not
    // flag the invoices 1 and 2. The number is compared as the database
    // keeps it, as it was listed, without a cast that a nine-digit invoice
    // number would overflow.
    const std::string sql_head = std::string("update nfce set exportado = 1 where ") + kPendingInvoices + " and ";
    const std::string sql_tail = " containing('-' || nota || '-')";
    const std::string& list = state_.listaNotas;
    size_t start = 0;  // the hyphen that opens the next part of the list
    while (start + 1 < list.size()) {
      // A part ends on a hyphen, so every number in it stays whole.
      size_t end = list.size() - 1;
      if (end - start > kMaxListChars) end = list.rfind('-', start + kMaxListChars);
      if (end == std::string::npos || end <= start) break;
      query_.SetSQL(sql_head + SqlLiteral(list.substr(start, end - start + 1)) + sql_tail);
      query_.ParamByName("dat").SetAsDate(DiaDeHoje());
      query_.ExecSQL();
      start = end;
    }
    query_.Close();
    transaction_.Commit();
  } catch (const std::exception& e) {
    ui_.AppendLog(std::string("marcaNFCEImportadas: ") + e.what());
  }
}

}  // namespace veltrix
