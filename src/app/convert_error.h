// The conversion error of the bridge's text and number helpers.
//
// Raised when a text that must be a number (or a date) is not, and when a
// number does not fit the money type. The message names the offending text,
// as in "'12x' is not a valid integer value", because the callers only log
// it ("Erro(buscaReducoes): " + message) and the shop has nothing else to go
// on.
#pragma once

#include <stdexcept>
#include <string>

namespace veltrix {

class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace veltrix
