// Z-reduction import: the printer's daily closings of earlier days, copied
// from the point of sale's `sped_reducaoz` into the legacy reductions table
// as one packed 89-character line each, then flagged as exported.
//
// The line is 178 decimal digits packed two to a character: the date as
// yymmdd, the printer number in two digits, then 17 values of ten digits of
// whole cents each (the three counters are written the same way, so a
// counter of 15 reads 0000001500). The legacy programs read exactly this
// layout, including `tot_aliq07` twice: `tot_aliq08` is not a total but the
// export flag.
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "app/digit_layouts.h"
#include "app/form1.h"
#include "app/funcoes.h"
#include "app/local_today.h"
#include "app/valor_campo.h"

namespace veltrix {

namespace {

// The ten-digit values of the line, in order after date and printer.
constexpr const char* kLineValues[] = {
    "cont_reinicio", "cont_reducaoz", "cont_op",    "tot_geral",  "tot_canc",   "tot_aliq01",
    "tot_aliq02",    "tot_aliq03",    "tot_aliq04", "tot_aliq05", "tot_aliq06", "tot_aliq07",
    "tot_aliq07",    "tot_desc",      "tot_ff",     "tot_ii",     "tot_nn"};

// The columns a closing is recognised by when it is flagged. The table has
// no key, so a copied closing is matched on every column it was copied
// from: a closing written by the point of sale between the select and the
// flagging is never flagged unless it is the same closing in every value.
constexpr const char* kMatchedColumns[] = {
    "data",       "ecf",        "cont_reinicio", "cont_reducaoz", "cont_op",    "tot_geral",
    "tot_canc",   "tot_aliq01", "tot_aliq02",    "tot_aliq03",    "tot_aliq04", "tot_aliq05",
    "tot_aliq06", "tot_aliq07", "tot_desc",      "tot_ff",        "tot_ii",     "tot_nn"};

constexpr const char* kPendingClosings = "tot_aliq08 = 0 and data is not null and data < :dat";

// The matched columns of one copied closing, as the select gave them.
using CopiedClosing = std::vector<TIBValue>;

std::string FlagStatement() {
  std::string sql = std::string("update sped_reducaoz set tot_aliq08 = 1 where ") + kPendingClosings;
  for (const char* column : kMatchedColumns)
    sql += std::string(" and ") + column + " is not distinct from :" + column;
  return sql;
}

}  // namespace

void TForm1::buscaReducoes() {
  qxdbf::TQxDBFNTX& table = tables_.TableReducao;
  try {
    buscaVendedores();
    buscaUsuarios();
    ui_.AppendLog("Buscando Reduções Z");
    // One date for the select and the flagging: a run across midnight must
    // not flag the closings of the day that has just ended.
    const int32_t today = DiaDeHoje();
    query_.SetSQL(std::string("select * from sped_reducaoz where ") + kPendingClosings);
    query_.ParamByName("dat").SetAsDate(today);
    query_.Open();
    if (!query_.IsEmpty()) {
      std::vector<CopiedClosing> copied;
      table.Open();
      for (; !query_.Eof(); query_.Next()) {
        // The legacy programs append after an edit of the current record;
        // the unchanged edit is abandoned by the insert.
        table.Edit();
        table.Insert();
        const std::string date = query_.FieldByName("data").AsString();
        const int ecf = query_.FieldByName("ecf").AsInteger();
        const std::string printer = zeroEsquerda(ecf, 2);
        ui_.AppendLog("Importada Redução - Data: " + date + " Ecf: " + printer);
        std::string digits = formataData(date) + printer;
        for (const char* column : kLineValues) digits += valorDigitos(10, valorCampo(query_, column));
        table.FieldByName("item").SetAsString(compactaPares(digits));
        table.Post();
        CopiedClosing closing;
        for (const char* column : kMatchedColumns) closing.push_back(query_.FieldByName(column));
        copied.push_back(std::move(closing));
      }
      table.Close();
      query_.SetSQL(FlagStatement());
      for (const CopiedClosing& closing : copied) {
        query_.ParamByName("dat").SetAsDate(today);
        for (size_t i = 0; i < closing.size(); ++i) query_.ParamByName(kMatchedColumns[i]) = closing[i];
        query_.ExecSQL();
      }
    }
    query_.Close();
  } catch (const std::exception& e) {
    ui_.AppendLog(std::string("Erro(buscaReducoes): ") + e.what());
    query_.Close();
    try {
      table.Close();
    } catch (const std::exception&) {
      // The first error is the one the log needs.
    }
  }
}

}  // namespace veltrix
