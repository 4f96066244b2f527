#include "dbf/text_functions.h"

#include <cstring>

#include "dbf/errors.h"

namespace qxdbf {

namespace {

// Characters a repeated replacement may feed through before it is taken to
// be endless. Only rewrites that do not shrink the text can get there; real
// expressions stay many orders of magnitude below it.
constexpr uint64_t kMaxRewriteSteps = uint64_t{1} << 24;

// One pass from left to right over `text`: occurrences are found without
// overlap, the first `keep` are left alone, then up to `limit` are replaced
// (all when `limit` is negative).
std::string ReplaceInOnePass(const std::string& text, const std::string& search,
                             const std::string& replace, uint64_t keep, int64_t limit) {
  std::string out;
  size_t pos = 0;
  uint64_t seen = 0;
  int64_t replaced = 0;
  for (;;) {
    if (limit >= 0 && replaced >= limit) break;
    const size_t found = text.find(search, pos);
    if (found == std::string::npos) break;
    if (seen++ < keep) {
      out.append(text, pos, found + search.size() - pos);
    } else {
      out.append(text, pos, found - pos);
      out += replace;
      ++replaced;
    }
    pos = found + search.size();
  }
  out.append(text, pos, std::string::npos);
  return out;
}

// Replaces the leftmost occurrence until none is left. All occurrences have
// the search's length, so the leftmost one is the one that ends first: the
// text is fed character by character onto `out`, and when `out` ends with the
// search text that occurrence is cut off and the replacement is pushed back
// in front of the unread rest, to be read again like any other text. What
// `out` holds before the cut contains no occurrence, which is exactly the
// state a search from the beginning of the result would reach.
std::string ReplaceUntilNoneLeft(const std::string& text, const std::string& search,
                                 const std::string& replace) {
  const bool shrinks = replace.size() < search.size();
  std::string out;
  out.reserve(text.size());
  std::string unread(text.rbegin(), text.rend());  // next character at the back
  uint64_t steps = 0;
  while (!unread.empty()) {
    out.push_back(unread.back());
    unread.pop_back();
    // A shrinking rewrite always ends: every replacement makes the text
    // shorter. Any other one might feed itself forever.
    if (!shrinks && ++steps > kMaxRewriteSteps + text.size())
      throw EQxDBFBadArgument("StrTran: replacing '" + search + "' by '" + replace +
                              "' does not come to an end.");
    if (out.size() >= search.size() &&
        std::memcmp(out.data() + out.size() - search.size(), search.data(), search.size()) == 0) {
      out.resize(out.size() - search.size());
      unread.append(replace.rbegin(), replace.rend());
    }
  }
  return out;
}

}  // namespace

std::string SubStr(const std::string& text, int64_t start, int64_t length) {
  const int64_t size = static_cast<int64_t>(text.size());
  if (start > size) return std::string();
  int64_t from = 0;  // 0-based
  if (start > 0)
    from = start - 1;
  else if (start < 0)
    from = start < -size ? 0 : size + start;
  const int64_t available = size - from;
  const int64_t take = (length < 1 || length > available) ? available : length;
  return text.substr(static_cast<size_t>(from), static_cast<size_t>(take));
}

std::string Stuff(const std::string& text, int64_t start, int64_t remove,
                  const std::string& insert) {
  const int64_t size = static_cast<int64_t>(text.size());
  const int64_t at = start < 1 ? 0 : (start - 1 > size ? size : start - 1);
  const int64_t cut = remove < 1 ? 0 : (remove > size - at ? size - at : remove);
  std::string out = text.substr(0, static_cast<size_t>(at));
  out += insert;
  out.append(text, static_cast<size_t>(at + cut), std::string::npos);
  return out;
}

std::string StrTran(const std::string& text, const std::string& search,
                    const std::string& replace, int64_t start, int64_t count) {
  if (search.empty()) return text;
  if (count > 0) {
    const uint64_t keep = start > 1 ? static_cast<uint64_t>(start - 1) : 0;
    return ReplaceInOnePass(text, search, replace, keep, count);
  }
  if (replace.find(search) != std::string::npos)
    return ReplaceInOnePass(text, search, replace, 0, -1);
  return ReplaceUntilNoneLeft(text, search, replace);
}

}  // namespace qxdbf
