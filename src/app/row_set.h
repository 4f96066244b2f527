// Rows of a result held in memory: column names and one value per column per
// row. Shared by the statement object, which keeps the rows fetched so far,
// and the snapshots, which keep a copy of all of them.
#pragma once

#include <string>
#include <vector>

#include "app/ib_value.h"

namespace veltrix {

struct TRowSet {
  std::vector<std::string> names;
  std::vector<std::vector<TIBValue>> rows;

  // Position of the column named `name`, compared without regard to case;
  // the first of equal names wins; -1 when there is none.
  int IndexOf(const std::string& name) const;
};

}  // namespace veltrix
