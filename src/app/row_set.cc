#include "app/row_set.h"

#include "app/latin1_text.h"

namespace veltrix {

int TRowSet::IndexOf(const std::string& name) const {
  for (size_t i = 0; i < names.size(); ++i) {
    if (SameTextLatin1(names[i], name)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace veltrix
