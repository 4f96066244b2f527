// The bridge's process-wide run state, with its values at start.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/money.h"

namespace veltrix {

// One pending stock write-down: a six-digit product code and the quantity
// sold since the entry was made.
//
// `aplicado` remembers, per product record number, how much of `quantidade`
// a write-down has already taken off that record. A walk that fails part-way
// keeps the entry, and the next walk takes off only the rest
// (`quantidade` - `aplicado`), so every record loses each sold quantity
// exactly once, also when more was sold meanwhile.
struct Item {
  std::string codigo;  // at most 6 characters
  Money quantidade;
  std::map<int, Money> aplicado = {};
};

struct RunState {
  int falhasConversao = 0;      // consecutive failed catalogue re-exports
  int contadorCiclos = 0;       // cycle ticks since the last successful re-export
  bool gravandoVendas = false;  // a sales transfer holds the numbering table
  bool erroCopia = false;       // the last sales copy failed
  std::vector<Item> listaBaixa; // quantities sold, not yet written down; one entry per code
  std::string listaNotas;       // "-n1-n2-...-" of the last batch
  std::string notasPorMarcar;   // "-n1-...-": copied and numbered sales whose marking failed
  double ultimaAtualizacao = 0; // stamp of the change marker (days since 30/12/1899)

  // Sales or write-downs are pending: the buttons refuse to act.
  bool Pending() const { return gravandoVendas || !listaBaixa.empty() || !notasPorMarcar.empty(); }
};

}  // namespace veltrix
