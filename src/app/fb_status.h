// Status vectors of the client library, turned into EIBError.
//
// Internal to the link: includes the library's C header.
#pragma once

#include <ibase.h>

#include <string>

namespace veltrix {

// True when the call that filled `status` failed.
bool Failed(const ISC_STATUS* status);

// The library's text for a failed status: each message line of the vector,
// joined by "\n" (as the library prints them, e.g. "Dynamic SQL Error",
// "SQL error code = -204", "Table unknown", "FOO", ...).
std::string StatusText(const ISC_STATUS* status);

// Raises EIBError with StatusText when the call failed.
void CheckStatus(const ISC_STATUS* status);

}  // namespace veltrix
