#include <stdexcept>

#include "app/form1.h"

namespace veltrix {

void TForm1::buscaVendedores() { throw std::logic_error("buscaVendedores: under construction"); }
void TForm1::buscaUsuarios() { throw std::logic_error("buscaUsuarios: under construction"); }

}  // namespace veltrix
