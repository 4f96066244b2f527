// The legacy product table (kq000006.dat): its 42-field layout and a
// generator of large tables in that layout for the read benchmark.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bench_util.h"

namespace qxdbf_bench {

// The product table's fields in record order (478-byte records).
const std::vector<FieldSpec>& ProductFields();

// Index of field `name` in ProductFields(); raises std::out_of_range when
// the layout has no such field.
int ProductFieldIndex(const std::string& name);

// Creates `path` through the engine's table creation, then appends `count`
// live records as raw bytes in large writes (much faster than appending
// through the engine, which is what the read benchmark needs), ends the
// file with 0x1A and stores the count in the header. Every record gets its
// own CODIGO and QUANT; the other fields come from a pool of varied
// records so that the data looks like a real catalogue. Deterministic for a
// given count. Raises std::system_error when a write fails.
TableShape WriteProductTable(const std::string& path, int64_t count);

}  // namespace qxdbf_bench
