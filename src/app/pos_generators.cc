#include "app/pos_generators.h"

#include <exception>

#include "app/ib_query.h"

namespace veltrix {

int64_t VerValorGenerator(TIBQuery& query, int64_t increment, const std::string& generator_name,
                          const TLogLine& log) {
  try {
    query.SetSQL("select gen_id(" + generator_name + "," + std::to_string(increment) + ") as cod from RDB$DATABASE");
    query.Open();
    const int64_t value = query.FieldByName("cod").AsLargeInt();
    query.Close();
    return value;
  } catch (const std::exception& e) {
    query.Close();
    if (log) log(std::string("Erro em Abrir Dataset do Generator Vendas: ") + e.what());
    return 0;
  }
}

void restartGeneratorWithValorVeltrix(TIBQuery& query, const std::string& sequence_name,
                                      const std::string& value, const TLogLine& log) {
  try {
    query.SetSQL("ALTER SEQUENCE " + sequence_name + " RESTART WITH " + value);
    query.ExecSQL();
  } catch (const std::exception& e) {
    if (log) log(std::string("Erro(restartGeneratorWithValor): ") + e.what());
  }
}

}  // namespace veltrix
