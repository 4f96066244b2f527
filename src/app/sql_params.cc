#include "app/sql_params.h"

namespace veltrix {

namespace {

bool IsNameStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '$'; }

// The closing delimiter of a q'<open>...<close>' literal.
char ClosingDelimiter(char open) {
  switch (open) {
    case '(': return ')';
    case '{': return '}';
    case '[': return ']';
    case '<': return '>';
    default: return open;
  }
}

}  // namespace

size_t SkipSqlVerbatim(const std::string& s, size_t i) {
  const size_t n = s.size();
  const char c = s[i];
  if (c == '\'' || c == '"') {
    size_t j = i + 1;
    while (j < n) {
      if (s[j] == c) {
        if (j + 1 < n && s[j + 1] == c) {
          j += 2;  // doubled quote inside
          continue;
        }
        return j + 1;
      }
      ++j;
    }
    return n;
  }
  if (c == '-' && i + 1 < n && s[i + 1] == '-') {
    const size_t eol = s.find('\n', i);
    return eol == std::string::npos ? n : eol;
  }
  if (c == '/' && i + 1 < n && s[i + 1] == '*') {
    const size_t end = s.find("*/", i + 2);
    return end == std::string::npos ? n : end + 2;
  }
  if ((c == 'q' || c == 'Q') && i + 2 < n && s[i + 1] == '\'' && (i == 0 || !IsNameChar(s[i - 1]))) {
    const char close = ClosingDelimiter(s[i + 2]);
    for (size_t j = i + 3; j + 1 < n; ++j) {
      if (s[j] == close && s[j + 1] == '\'') return j + 2;
    }
    return n;
  }
  return i;
}

ParsedSql ParseNamedParams(const std::string& sql) {
  ParsedSql out;
  out.text.reserve(sql.size());
  size_t i = 0;
  while (i < sql.size()) {
    const size_t skip = SkipSqlVerbatim(sql, i);
    if (skip != i) {
      out.text.append(sql, i, skip - i);
      i = skip;
      continue;
    }
    if (sql[i] == ':' && i + 1 < sql.size() && IsNameStart(sql[i + 1])) {
      size_t j = i + 1;
      while (j < sql.size() && IsNameChar(sql[j])) ++j;
      out.names.push_back(sql.substr(i + 1, j - i - 1));
      out.text += '?';
      i = j;
      continue;
    }
    // Identifiers are copied whole so that a "q" inside one never opens a
    // literal.
    if (IsNameChar(sql[i])) {
      size_t j = i;
      while (j < sql.size() && IsNameChar(sql[j])) ++j;
      out.text.append(sql, i, j - i);
      i = j;
      continue;
    }
    out.text += sql[i++];
  }
  return out;
}

}  // namespace veltrix
