// The pattern match behind the LIKE operator of the expression language.
#pragma once

#include <string_view>

namespace qxdbf {

// True when `text` (its first `text_length` bytes) matches `pattern`, in
// which `any_run` stands for any run of characters (possibly none) and `one`
// for exactly one character. LIKE calls it with "%" and "_".
//
// The match is the one LIKE filters have always given, kept so that stored
// filters select the same records: the pattern is cut at every `any_run`
// into segments, and each segment is placed at its leftmost fit at or after
// the end of the previous one, without ever moving an earlier segment back.
// The first segment must fit at the start of the text. A segment that meets
// an exhausted text matches without consuming anything. Text left after the
// last segment is accepted only when the pattern ends in `any_run`.
// Consequences: "abab" does not match "%ab" (the "ab" sticks at the first
// place it fits), while "abc" matches "abc%x". An empty text matches only a
// pattern that is exactly `any_run`. A negative length counts as 0.
// REQUIRES: text_length readable bytes at `text`.
bool MatchPattern(std::string_view pattern, const char* text, int text_length, char any_run,
                  char one);

}  // namespace qxdbf
