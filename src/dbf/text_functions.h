// Text routines behind the SUBSTR, STUFF and STRTRAN functions of the
// expression language. Positions count from 1, as in xBase.
#pragma once

#include <cstdint>
#include <string>

namespace qxdbf {

// `length` characters of `text` from position `start`; to the end when
// `length` is below 1 (an absent length is 0). Empty when start lies beyond
// the end. As in xBase, a start of 0 means 1 and a negative start counts
// from the end (-2 is the second-last character; further back than the
// first character means the first).
std::string SubStr(const std::string& text, int64_t start, int64_t length = 0);

// `text` with `remove` characters deleted at position `start` (none when
// `remove` is not above 0; at most those up to the end) and `insert` put in
// their place. A start below 1 means 1; a start beyond the end appends.
std::string Stuff(const std::string& text, int64_t start, int64_t remove,
                  const std::string& insert = std::string());

// `text` with occurrences of `search` replaced by `replace`.
//
// With `count` 0 (or below), every occurrence is replaced and the search
// starts again from the beginning of the result after each replacement,
// until none remains, so a replacement can form a new occurrence with the
// text around it: ("a    b", "  ", " ") gives "a b". `start` has no effect
// then. When `replace` itself contains `search` that rule would never end;
// such a call replaces the occurrences of the original text in one pass from
// left to right instead (the xBase rule).
//
// With `count` n above 0, one pass from left to right over the original
// text: occurrences are counted without overlap, the first `start` - 1 (a
// start below 1 means 1) are kept, and the next n are replaced; scanning
// resumes after each occurrence, so replaced text is never searched again.
//
// An empty `search` leaves the text as it is. Raises EQxDBFBadArgument when
// the repeated replacement has not ended after a very large amount of work
// (a rewrite that keeps feeding itself), rather than running forever.
std::string StrTran(const std::string& text, const std::string& search,
                    const std::string& replace = std::string(), int64_t start = 1,
                    int64_t count = 0);

}  // namespace qxdbf
