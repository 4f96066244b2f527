// Today's date on the shop's clock.
//
// The imports take only the fiscal records of earlier days: the point of
// sale may still be writing today's. "Today" is the local calendar date of
// the machine the bridge runs on, as the point of sale dates its records.
#pragma once

#include <cstdint>

namespace veltrix {

// The local date of today as days since 30 December 1899 (the day numbers
// of date parameters and fields).
int32_t DiaDeHoje();

}  // namespace veltrix
