// Generator (sequence) helpers of the point-of-sale link.
//
// Both run on the link's statement object, catch their own errors and report
// them as one log line; they are kept for maintenance and are not part of
// any transfer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace veltrix {

class TIBQuery;

// Receives one line for the log.
using TLogLine = std::function<void(const std::string&)>;

// Steps the generator `generator_name` by `increment` (0 reads it) through
// "select gen_id(<name>,<increment>) as cod from RDB$DATABASE" and answers
// the new value, or 0 when the statement fails, logging "Erro em Abrir
// Dataset do Generator Vendas: " and the error text. The query is closed
// afterwards.
int64_t VerValorGenerator(TIBQuery& query, int64_t increment, const std::string& generator_name,
                          const TLogLine& log);

// Runs "ALTER SEQUENCE <sequence_name> RESTART WITH <value>"; a failure is
// logged as "Erro(restartGeneratorWithValor): " and the error text. Like
// every statement it runs in the current transaction and is durable at the
// next commit or disconnect.
void restartGeneratorWithValorVeltrix(TIBQuery& query, const std::string& sequence_name,
                                      const std::string& value, const TLogLine& log);

}  // namespace veltrix
