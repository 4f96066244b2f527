#include "app/demo_data.h"

#include <stdexcept>

namespace veltrix {

DemoPaths CreateDemo(const std::string&, const std::string&) { throw std::logic_error("CreateDemo: under construction"); }

}  // namespace veltrix
