// Exceptions of the point-of-sale database link.
//
// Every failure of the connection, a transaction, a statement or a snapshot is
// an EIBError whose text is what the client library reports (the server's own
// error lines, joined by "\n"), or the link's own message for a misuse the
// library never sees (an unknown field, a closed dataset). Callers log the
// text; nothing inspects codes.
#pragma once

#include <stdexcept>
#include <string>

namespace veltrix {

class EIBError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace veltrix
