#include "app/funcoes.h"

namespace veltrix {

namespace {

// The last n characters of s, after n copies of `fill` in front: the shared
// rule of the zero-filled fields.
std::string FillLeftKeepLast(std::string_view s, int n, char fill) {
  if (n <= 0) return {};
  const auto width = static_cast<size_t>(n);
  if (s.size() >= width) return std::string(s.substr(s.size() - width));
  std::string out(width - s.size(), fill);
  out.append(s);
  return out;
}

}  // namespace

std::string repete(std::string_view s, int n) {
  std::string out;
  if (n <= 0 || s.empty()) return out;
  out.reserve(s.size() * static_cast<size_t>(n));
  for (int k = 0; k < n; ++k) out.append(s);
  return out;
}

std::string espacos(int n) { return n <= 0 ? std::string() : std::string(static_cast<size_t>(n), ' '); }

std::string zeroEsquerda(int64_t i, int n) { return FillLeftKeepLast(std::to_string(i), n, '0'); }

std::string zeroEsquerdaTexto(std::string_view s, int n) { return FillLeftKeepLast(s, n, '0'); }

std::string completaDireita(std::string_view s, int n) {
  if (n <= 0) return {};
  const auto width = static_cast<size_t>(n);
  if (s.size() >= width) return std::string(s.substr(0, width));
  std::string out(s);
  out.append(width - s.size(), ' ');
  return out;
}

std::string completaEsquerda(std::string_view s, int n) { return FillLeftKeepLast(s, n, ' '); }

size_t posicao(std::string_view sub, std::string_view s) {
  // Start positions run over s only, so nothing is found in an empty s, not
  // even the empty text.
  if (s.empty()) return 0;
  const size_t at = s.find(sub);
  return at == std::string_view::npos ? 0 : at + 1;
}

bool contem(std::string_view sub, std::string_view s) { return posicao(sub, s) > 0; }

size_t posicaoUltima(std::string_view c, std::string_view s) {
  if (c.size() != 1) return 0;
  const size_t at = s.rfind(c.front());
  return at == std::string_view::npos ? 0 : at + 1;
}

std::string Trim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return std::string(s);
}

std::string tiraEspacos(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (c != ' ') out.push_back(c);
  }
  return out;
}

std::string soDigitos(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c >= '0' && c <= '9') out.push_back(c);
  }
  return out;
}

}  // namespace veltrix
