#include "app/fb_status.h"

#include <type_traits>

#include "app/ib_error.h"
#include "app/ib_handle.h"

namespace veltrix {

static_assert(std::is_same_v<FB_API_HANDLE, FbHandle>, "FbHandle must be the client library's handle type");

bool Failed(const ISC_STATUS* status) { return status[0] == 1 && status[1] != 0; }

std::string StatusText(const ISC_STATUS* status) {
  std::string text;
  const ISC_STATUS* cursor = status;
  char line[1024];
  while (fb_interpret(line, sizeof(line), &cursor) > 0) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  if (text.empty()) text = "Unknown database error " + std::to_string(status[1]);
  return text;
}

void CheckStatus(const ISC_STATUS* status) {
  if (Failed(status)) throw EIBError(StatusText(status));
}

}  // namespace veltrix
