// The two timers: the start sequence and the 25-second transfer cycle, with
// the retrying table open they share.
#include <exception>
#include <string>

#include "app/form1.h"
#include "app/funcoes.h"
#include "app/legacy_paths.h"
#include "app/marker_stamp.h"
#include "dbf/busy_wait.h"
#include "dbf/platform_file.h"

namespace veltrix {

namespace {

constexpr int kOpenAttempts = 10;
// Marker checks start at this tick after start or after a re-export.
constexpr int kTicksBeforeMarkerCheck = 20;
// Failed re-exports after which a damaged database is restored.
constexpr int kFailuresBeforeRestore = 10;

}  // namespace

double TForm1::dataAtualizacaoVeltrix() const { return veltrix::dataAtualizacaoVeltrix(MarkerPath()); }

bool TForm1::abreTabela(qxdbf::TQxDBFNTX& table) {
  if (table.Active()) return true;
  const std::string caption = ui_.Caption();
  bool opened = false;
  for (int attempt = 1; attempt <= kOpenAttempts && !opened; ++attempt) {
    try {
      table.Open();
      opened = true;
    } catch (const std::exception&) {
      ui_.SetCaption("Erro ao abrir tabela " + tables_.NameOf(table) + "  Tentativa: " + std::to_string(attempt));
      qxdbf::SetProcessMessagesHook([this] { ui_.ProcessMessages(); });
      qxdbf::BusyWait(true, open_retry_pause_);
      qxdbf::SetProcessMessagesHook({});
    }
  }
  ui_.SetCaption(caption);
  return opened;
}

void TForm1::Timer1Timer() {
  state_.erroCopia = false;
  ui_.SetTimerEnabled(MonitorTimer::kStart, false);
  ui_.AppendLog("Conectando com o Banco de Dados");
  ui_.AppendLog("Parâmetro 1(Banco de Dados do Veltrix): " + dir_veltrix_);
  ui_.AppendLog("Parâmetro 2(Unidade de Trabalho do Pdv): " + Argument(2));
  ui_.AppendLog(
      "Parâmetro 3(delete-zera BD Quovo ou nao_importa_venda - Não importar vendas do Quovo ou sem_estoque - "
      "Informar sempre estoque 1000 para o Quovo): " +
      Argument(3));
  // Only a local database can be checked; the result is only reported.
  if (!qxdbf::FileExists(database_.DatabaseName())) ui_.AppendLog("BD não encontrado: " + database_.DatabaseName());
  ui_.AppendLog("Conectado com o Banco de Dados");
  if (!qxdbf::FileExists(LegacyPath(dir_veltrix_, "KQ000006.DAT"))) {
    ui_.AppendLog("Banco de dados do Veltrix " + dir_veltrix_ + " não encontrado (" +
                  std::to_string(state_.falhasConversao) + ")");
    return;
  }
  // A connection error ends the start sequence here: the cycle stays off and
  // the error is shown by the caller.
  Connect();
  buscaReducoes();
  buscaNFCE();
  ui_.AppendLog("Convertendo dados");
  try {
    converteDados();
  } catch (const std::exception&) {
    // The start sequence goes on without a catalogue export.
  }
  ui_.SetTimerEnabled(MonitorTimer::kCycle, true);
  ui_.AppendLog("Habilitada rotina para receber vendas");
}

void TForm1::Timer2Timer() {
  ui_.SetTimerEnabled(MonitorTimer::kCycle, false);
  ui_.SetCaption("Aguardando vendas");
  // Whatever goes wrong in one tick, the next tick comes: the cycle carries
  // the shop's sales and must not stop for good on a transient error.
  try {
    state_.contadorCiclos += 1;
    if (state_.contadorCiclos >= kTicksBeforeMarkerCheck && MarkerChanged()) ReExportCatalogue();
    if (existeVendaNovaNoBdDoQuovo()) transfereVendas();
  } catch (const std::exception& e) {
    ui_.AppendLog(std::string("Erro: ") + e.what());
  }
  ui_.SetTimerEnabled(MonitorTimer::kCycle, true);
}

bool TForm1::MarkerChanged() {
  try {
    return dataAtualizacaoVeltrix() != state_.ultimaAtualizacao;
  } catch (const std::exception& e) {
    // An unreadable marker (a legacy program is writing it) counts as
    // unchanged; it is read again at the next tick.
    ui_.AppendLog(std::string("Erro(dataAtualizacaoVeltrix): ") + e.what());
    return false;
  }
}

void TForm1::ReExportCatalogue() {
  try {
    Connect();
    converteDados();
    state_.contadorCiclos = 0;
    state_.falhasConversao = 0;
  } catch (const std::exception& e) {
    const std::string message = e.what();
    try {
      database_.Close();
    } catch (const std::exception&) {
      // The export's own error is the one worth reporting.
    }
    ui_.AppendLog("Erro(converteDados): " + message + " - " + std::to_string(state_.falhasConversao));
    state_.falhasConversao += 1;
    if (state_.falhasConversao > kFailuresBeforeRestore &&
        (contem("firebird", message) || contem("corruption", message))) {
      state_.falhasConversao = 0;
      restauraBdQuovo();
    }
  }
  try {
    state_.ultimaAtualizacao = dataAtualizacaoVeltrix();
  } catch (const std::exception& e) {
    ui_.AppendLog(std::string("Erro(dataAtualizacaoVeltrix): ") + e.what());
  }
}

}  // namespace veltrix
