// Money columns of the point-of-sale rows, NULL read as zero.
#pragma once

#include <string>

#include "app/ib_query.h"
#include "app/ib_value.h"
#include "app/money.h"

namespace veltrix {

// `valorCampo`: the field `name` of the query's current row as money; 0 when
// it is NULL (the totals of a Z reduction may be missing). Raises EIBError
// when the query has no such field or the value is not a number.
Money valorCampo(const TIBQuery& query, const std::string& name);
// The same for a field already looked up (a snapshot's field, for one).
Money valorCampo(const TIBValue& field);

}  // namespace veltrix
