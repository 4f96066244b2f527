// The demo the monitor runs on when started without arguments: a legacy data
// directory with the seven tables and the change marker, and an embedded
// point-of-sale database with sample catalogue data, pending sales,
// Z-reductions and NFC-e invoices.
#pragma once

#include <string>

namespace veltrix {

struct DemoPaths {
  std::string data_directory;  // argument 1 of the monitor
  std::string database;        // argument 2 of the monitor
};

// Creates the demo afresh under `base_directory` (made when missing; an
// earlier demo there is replaced) and answers its paths. Raises on failure.
DemoPaths CreateDemo(const std::string& base_directory, const std::string& schema_path);

}  // namespace veltrix
