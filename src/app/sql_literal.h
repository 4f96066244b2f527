// Texts written into statement texts as SQL string literals.
#pragma once

#include <string>
#include <string_view>

namespace veltrix {

// `text` enclosed in single quotes, each single quote inside doubled
// ("D'Avila" gives 'D''Avila'), so that a name can never end the literal
// early and change the statement.
std::string SqlLiteral(std::string_view text);

}  // namespace veltrix
