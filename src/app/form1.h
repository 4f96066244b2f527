// TForm1: the bridge core. It owns the run state, the six legacy tables and
// the point-of-sale connection, and talks to the screen only through
// MonitorUi, so that the front end (or a test) drives it event by event.
//
// The routines are methods of this one class, as the transfers share its
// state; their bodies live in one file per transfer (form1_*.cc, named after
// the work they do).
#pragma once

#include <string>
#include <vector>

#include "app/client_data_set.h"
#include "app/data_set_provider.h"
#include "app/ib_database.h"
#include "app/ib_query.h"
#include "app/ib_transaction.h"
#include "app/legacy_tables.h"
#include "app/monitor_ui.h"
#include "app/run_state.h"

namespace veltrix {

// Mouse messages of the tray icon's callback.
inline constexpr int kTrayLeftButtonDown = 513;
inline constexpr int kTrayRightButtonDown = 516;

class TForm1 {
 public:
  // `args` are the command-line arguments after the program name: data
  // directory, point-of-sale database, mode word.
  TForm1(MonitorUi& ui, std::vector<std::string> args);

  // --- window (form1.cc) ---------------------------------------------------
  // Start-up: run state, paths, the NFCE/EMIT directory, the marker stamp.
  void FormCreate();
  // "Fechar": refused while sales or write-downs are pending.
  void Button1Click();
  // "Atualizar": the same guard, then a catalogue export with the cycle
  // paused. The cycle resumes even when the export fails; the error is then
  // raised to the caller.
  void ButtonAtuClick();
  // The tray icon's callback: a left press shows the window, a right press
  // hides it.
  void TrayIconMessage(int mouse_message);
  // A click on the window or on the log hides the window.
  void FormClick();

  // --- the two timers (form1_cycle.cc) ---------------------------------------
  // Timer 1, once, two seconds after start: the start sequence.
  void Timer1Timer();
  // Timer 2, every 25 seconds: one tick of the transfer cycle.
  void Timer2Timer();
  // Opens one of the six tables, trying ten times two seconds apart with
  // events served meanwhile; true when open (also when it was open already).
  bool abreTabela(qxdbf::TQxDBFNTX& table);
  // Puts the saved copy of the point-of-sale database in place of the
  // damaged one (a local database file only).
  void restauraBdQuovo();
  // The stamp of the change marker.
  double dataAtualizacaoVeltrix() const;
  // The pause between the attempts of abreTabela (2 seconds; tests shorten
  // it).
  void SetOpenRetryPause(double seconds) { open_retry_pause_ = seconds; }

  // --- catalogue export (form1_catalogue.cc) ---------------------------------
  void converteDados();

  // --- sellers and users (form1_sellers.cc) ----------------------------------
  void buscaVendedores();
  void buscaUsuarios();

  // --- Z-reductions and NFC-e (form1_reductions.cc, form1_nfce.cc) ----------
  void buscaReducoes();
  void buscaNFCE();
  void marcaNFCEImportadas();

  // --- sales import and stock write-down (form1_sales.cc, form1_stock.cc) ---
  bool existeVendaNovaNoBdDoQuovo();
  // The transfer step of a tick, run when the probe found pending sales.
  void transfereVendas();
  int copiaVendasParaVeltrix(int ultimo_pedido);
  std::string VeNomeProduto(int cod);
  void marcaPedidosImportados();
  int posicaoPendente(const std::string& codigo) const;
  void acumulaPendente(const std::string& codigo, Money quantidade);
  void baixaEstoqueVeltrix();

  // --- settings ---------------------------------------------------------------
  const std::string& DirVeltrix() const { return dir_veltrix_; }
  // Command-line argument n (1 to 3), empty when absent.
  std::string Argument(int n) const;
  std::string MarkerPath() const;

  // --- owned objects ------------------------------------------------------------
  RunState& State() { return state_; }
  LegacyTables& Tables() { return tables_; }
  TIBDatabase& Database() { return database_; }
  TIBTransaction& Transaction() { return transaction_; }
  TIBQuery& IBQueryQuovo() { return query_; }
  TClientDataSet& ClientDataSetPedidos() { return pedidos_; }
  TClientDataSet& ClientDataSetItens() { return itens_; }
  TClientDataSet& ClientDataSetPagto() { return pagto_; }
  MonitorUi& Ui() { return ui_; }

 private:
  // Connects when not connected.
  void Connect();
  // Tick steps: the marker differs from the last stamp (an unreadable
  // marker counts as unchanged); the re-export with its failure counting.
  bool MarkerChanged();
  void ReExportCatalogue();
  // Export steps: the walk over the open product table; one product.
  void ExportCatalogue(qxdbf::TQxDBFNTX& table);
  void ExportProduct(qxdbf::TQxDBFNTX& table, bool sem_estoque);
  // Sales marking: one statement in a transaction of its own, raising on
  // failure; the retry of a batch whose marking failed (true when nothing
  // is left unmarked).
  void MarkSalesExported(const std::string& lista);
  bool RetryPendingMarking();
  // Takes the current product record's pending quantity off its stock;
  // false when the record was deleted or changed its code meanwhile (the
  // cursor then stands on another record that has not been looked at).
  bool WriteDownRecord(qxdbf::TQxDBFNTX& produto);
  // Sets the statement's text and executes it once.
  void RunStatement(const std::string& sql);

  MonitorUi& ui_;
  std::vector<std::string> args_;
  std::string dir_veltrix_;
  RunState state_;
  LegacyTables tables_;
  TIBDatabase database_;
  TIBTransaction transaction_;
  TIBQuery query_;
  TDataSetProvider provider_;
  TClientDataSet pedidos_;
  TClientDataSet itens_;
  TClientDataSet pagto_;
  double open_retry_pause_ = 2.0;
};

// The message both buttons show while sales or write-downs are pending.
inline constexpr const char* kPendingSalesMessage =
    "Existem vendas importadas pendentes de gravação, aguarde";

}  // namespace veltrix
