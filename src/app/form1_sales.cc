#include <stdexcept>

#include "app/form1.h"

namespace veltrix {

bool TForm1::existeVendaNovaNoBdDoQuovo() { throw std::logic_error("existeVendaNovaNoBdDoQuovo: under construction"); }
void TForm1::transfereVendas() { throw std::logic_error("transfereVendas: under construction"); }
int TForm1::copiaVendasParaVeltrix(int) { throw std::logic_error("copiaVendasParaVeltrix: under construction"); }
std::string TForm1::VeNomeProduto(int) { throw std::logic_error("VeNomeProduto: under construction"); }
void TForm1::marcaPedidosImportados() { throw std::logic_error("marcaPedidosImportados: under construction"); }

}  // namespace veltrix
