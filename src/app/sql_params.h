// Named parameters in statement texts.
//
// The bridge writes parameters as ":name" inside its statements; the client
// library only knows positional "?" markers. ParseNamedParams rewrites the
// text and remembers which name stands at each position, so that a value set
// once by name is bound at every position where the name occurs.
//
// A colon starts a parameter only outside string literals ('...', with ''
// inside, and q'{...}' with any delimiter pair), quoted identifiers ("...")
// and comments (-- to the end of the line, /* ... */), and only when a
// letter or "_" follows it; the name runs over letters, digits, "_" and "$".
// Anything else is copied unchanged, so a text without parameters comes back
// as it was.
#pragma once

#include <string>
#include <vector>

namespace veltrix {

struct ParsedSql {
  // The text with every ":name" replaced by "?".
  std::string text;
  // The name at each "?", in order of appearance, as written (without ":").
  std::vector<std::string> names;
};

ParsedSql ParseNamedParams(const std::string& sql);

// Index just past the string literal, quoted identifier or comment that
// starts at text[i], or i when none starts there. An unterminated one runs to
// the end of the text (the server then reports the error). Shared with the
// script splitter, which must not end a statement inside one.
// REQUIRES: i < text.size().
size_t SkipSqlVerbatim(const std::string& text, size_t i);

}  // namespace veltrix
