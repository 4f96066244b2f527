#include <stdexcept>

#include "app/form1.h"

namespace veltrix {

void TForm1::buscaReducoes() { throw std::logic_error("buscaReducoes: under construction"); }

}  // namespace veltrix
