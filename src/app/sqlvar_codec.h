// Values in and out of the client library's XSQLVAR descriptors.
//
// Internal to the link. A fetched column is read in the form its declared
// type gives (see ib_value.h for the kinds). A parameter is sent in the form
// of the value the caller set (64-bit integers with their scale, doubles,
// text, dates, times, timestamps) and the server converts it to the
// parameter's declared type, so a text may be bound to an integer parameter
// and an integer to a text one, as with any SQL assignment. A text bound to a
// numeric, date, time or boolean parameter is converted by the link with the
// reading rules of TIBValue (decimal comma or point, day/month/year), never
// by the server, whose date texts are month/day/year; such a conversion
// raises EIBError naming the text. A value bound to a blob parameter is
// stored as a new blob of its text.
//
// Dates travel as the library's day numbers (days since 17 November 1858) and
// times in ten-thousandths of a second; the link's day numbers count from 30
// December 1899, which is day 15018 there.
#pragma once

#include <ibase.h>

#include <vector>

#include "app/ib_value.h"

namespace veltrix {

// Day 0 of the link (30 December 1899) as a day number of the library.
constexpr int32_t kLibraryDayOfOrigin = 15018;

// Bytes an output descriptor needs for a value of its declared type.
size_t OutputBufferSize(const XSQLVAR& var);

// The value of an output descriptor after a fetch: NULL when its indicator
// says so; blobs are read whole as text; arrays are not supported and read
// as NULL.
TIBValue ReadSqlVar(const XSQLVAR& var, isc_db_handle* db, isc_tr_handle* tr);

// Makes `var` carry `value`: sets its type, length, scale and data pointer,
// keeping the bytes in `buffer` and the NULL flag in `indicator`, both owned
// by the caller until the statement has run. `declared` is the descriptor
// as the library described the parameter. Raises EIBError when a text is too
// long for a non-blob parameter.
void BindSqlVar(XSQLVAR& var, const XSQLVAR& declared, const TIBValue& value, std::vector<char>& buffer,
                short& indicator, isc_db_handle* db, isc_tr_handle* tr);

}  // namespace veltrix
