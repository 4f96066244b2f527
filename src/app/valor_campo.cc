#include "app/valor_campo.h"

namespace veltrix {

Money valorCampo(const TIBQuery& query, const std::string& name) { return valorCampo(query.FieldByName(name)); }

Money valorCampo(const TIBValue& field) {
  return field.IsNull() ? Money() : Money::FromTenThousandths(field.AsCurrency());
}

}  // namespace veltrix
