// The product description the point of sale gets for a legacy product.
#pragma once

#include <string>
#include <string_view>

namespace veltrix {

// `ve_descricao`: nome without the leading and trailing characters of code 32
// and below. For products sold by the square metre (unid "M2", exactly in
// upper case, after dropping the trailing blanks the legacy field is padded
// with) the point of sale's display has room for less: the first 22
// characters of nome as stored, then without their spaces.
std::string ve_descricao(std::string_view nome, std::string_view unid);

}  // namespace veltrix
