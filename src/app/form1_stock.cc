#include <stdexcept>

#include "app/form1.h"

namespace veltrix {

int TForm1::posicaoPendente(const std::string&) const { throw std::logic_error("posicaoPendente: under construction"); }
void TForm1::acumulaPendente(const std::string&, Money) { throw std::logic_error("acumulaPendente: under construction"); }
void TForm1::baixaEstoqueVeltrix() { throw std::logic_error("baixaEstoqueVeltrix: under construction"); }

}  // namespace veltrix
