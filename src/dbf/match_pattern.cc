#include "dbf/match_pattern.h"

namespace qxdbf {

namespace {

// State of the walk through the text.
struct Cursor {
  const char* text;  // the text being matched
  int pos;           // where the next segment is tried
  int left;          // characters from pos to the end
};

// Places one segment at the cursor (or, when floating, at the first place
// after it where it fits) and moves the cursor past it.
bool MatchSegment(std::string_view segment, Cursor& at, bool floating, char one) {
  if (at.left == 0) return true;
  while (at.left > 0) {
    bool differs = false;
    for (size_t i = 0; i < segment.size(); ++i) {
      // Running off the end cannot be mended by moving right: the segment
      // only fits worse further on.
      if (static_cast<int>(i) >= at.left) return false;
      if (segment[i] != one && segment[i] != at.text[at.pos + static_cast<int>(i)]) {
        differs = true;
        break;
      }
    }
    if (!differs) {
      at.pos += static_cast<int>(segment.size());
      at.left -= static_cast<int>(segment.size());
      return true;
    }
    if (!floating) return false;
    ++at.pos;
    --at.left;
  }
  return false;
}

}  // namespace

bool MatchPattern(std::string_view pattern, const char* text, int text_length, char any_run,
                  char one) {
  if (text_length <= 0) return pattern.size() == 1 && pattern[0] == any_run;

  Cursor at{text, 0, text_length};
  bool floating = false;
  size_t start = 0;
  for (;;) {
    const size_t stop = pattern.find(any_run, start);
    const std::string_view segment =
        pattern.substr(start, stop == std::string_view::npos ? std::string_view::npos : stop - start);
    if (!MatchSegment(segment, at, floating, one)) return false;
    if (stop == std::string_view::npos) break;
    floating = true;
    start = stop + 1;
  }
  if (at.left > 0) return !pattern.empty() && pattern.back() == any_run;
  return true;
}

}  // namespace qxdbf
