// Whole-blob reads and writes.
//
// Internal to the link. Blob columns reach the bridge as text (a text blob in
// the connection's character set, or a binary blob's bytes), and a text value
// bound to a blob parameter is stored as a new blob.
#pragma once

#include <ibase.h>

#include <string>

namespace veltrix {

// The bytes of the blob `id`. Raises EIBError.
std::string ReadBlob(isc_db_handle* db, isc_tr_handle* tr, const ISC_QUAD& id);

// Creates a blob holding `bytes` and answers its id. Raises EIBError.
ISC_QUAD WriteBlob(isc_db_handle* db, isc_tr_handle* tr, const std::string& bytes);

}  // namespace veltrix
