#include <stdexcept>

#include "app/form1.h"

namespace veltrix {

void TForm1::buscaNFCE() { throw std::logic_error("buscaNFCE: under construction"); }
void TForm1::marcaNFCEImportadas() { throw std::logic_error("marcaNFCEImportadas: under construction"); }

}  // namespace veltrix
