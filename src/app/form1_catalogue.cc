#include <stdexcept>

#include "app/form1.h"

namespace veltrix {

void TForm1::converteDados() { throw std::logic_error("converteDados: under construction"); }

}  // namespace veltrix
