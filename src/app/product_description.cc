#include "app/product_description.h"

#include "app/funcoes.h"

namespace veltrix {

namespace {

constexpr size_t kSquareMetreNameWidth = 22;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::string ve_descricao(std::string_view nome, std::string_view unid) {
  while (!unid.empty() && IsBlank(unid.back())) unid.remove_suffix(1);
  if (unid == "M2") return tiraEspacos(nome.substr(0, kSquareMetreNameWidth));
  return Trim(nome);
}

}  // namespace veltrix
