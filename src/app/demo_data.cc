// The demo: a small shop's legacy data directory and point-of-sale
// database, so that a first run shows every transfer at work. Sales,
// invoices and closings are dated relative to today, so the demo looks the
// same whichever day it is created.
#include "app/demo_data.h"

#include <filesystem>
#include <map>
#include <vector>

#include "app/ib_database.h"
#include "app/ib_query.h"
#include "app/ib_transaction.h"
#include "app/legacy_layouts.h"
#include "app/pos_settings.h"
#include "app/sql_script.h"
#include "dbf/smart_dbf.h"

namespace veltrix {

namespace {

using Record = std::map<std::string, std::string>;

void AppendRecords(const std::string& directory, LegacyFile file, const std::vector<Record>& records) {
  qxdbf::TQxDBFNTX table;
  table.SetDBFFileName(CreateLegacyTable(directory, file));
  table.AccessMode().SetAccessMode(18);
  table.Open();
  for (const Record& record : records) {
    table.Append();
    for (const auto& [name, value] : record) table.FieldByName(name).SetAsString(value);
    table.Post();
  }
  table.Close();
}

Record Product(const char* codigo, const char* nome, const char* unid, const char* venda, const char* quant,
               const char* codbar) {
  return {{"CODIGO", codigo}, {"NOME", nome},     {"UNID", unid},       {"P_COMPRA", "1.9"},
          {"P_VENDA", venda}, {"QUANT", quant},   {"CODBAR", codbar},   {"ALIQUOTA", "T18"},
          {"REFORI", std::string("REF-") + codigo}};
}

void CreateLegacyData(const std::string& directory) {
  AppendRecords(directory, LegacyFile::kProduto,
                {Product("000001", "ARROZ TIPO 1 5KG", "UN", "24.9", "40", "7891234500011"),
                 Product("000002", "FEIJAO CARIOCA 1KG", "UN", "8.49", "55", "7891234500028"),
                 Product("000003", "CAFE TORRADO 500G", "UN", "17.5", "0", "7891234500035"),
                 Product("000004", "QUEIJO MINAS FRESCAL", "KG", "39.9", "12.5", "2000401"),
                 Product("000005", "PISO CERAMICO ACETINADO BEGE 45X45 CX 2M", "M2", "32.9", "80", ""),
                 Product("000006", "SABAO EM PO 1KG", "UN", "11.75", "-2", "7891234500066")});
  AppendRecords(directory, LegacyFile::kVendas, {});
  AppendRecords(directory, LegacyFile::kNumeracao, {{{"PEDIDO", "000100"}}});
  AppendRecords(directory, LegacyFile::kReducao, {});
  AppendRecords(directory, LegacyFile::kNFCE, {});
  AppendRecords(directory, LegacyFile::kVendedores,
                {{{"CODIGO", "V-001"}, {"VENDEDOR", "ANA PAULA"}}, {{"CODIGO", "V-002"}, {"VENDEDOR", "BRUNO"}}});
  AppendRecords(directory, LegacyFile::kUsuarios,
                {{{"VENDEDOR", "001"}, {"NOM", "ANA PAULA"}, {"CRC1", "ANA"}, {"CRC2", "1234"},
                  {"ACESSO", "\x01\x02\x03\x05"}, {"CONFIGU", "S15"}},
                 {{"VENDEDOR", ""}, {"NOM", "GERENTE"}, {"CRC1", "GER"}, {"CRC2", "9999"},
                  {"ACESSO", "\x01\x02\x03\x04\x05\x06\x07\x08\x09"}, {"CONFIGU", "S20"}}});
  AppendRecords(directory, LegacyFile::kMarcador, {});
}

constexpr const char* kPosRows[] = {
    // A product the legacy catalogue no longer has: the export removes it.
    "insert into produto (cod, nome, quant) values (99, 'PRODUTO DESCONTINUADO', 1)",
    // Pending sales of today, with their items.
    "insert into venda (nota, data, total, desconto, vendedor, ok, crc) values (501, current_date, 58.29, 0, 1, 'S', "
    "'123456789')",
    "insert into item_venda (nota, cod, quant, p_compra, p_venda, total, unid, aliquota) values (501, 1, 2, 1.9, "
    "24.9, 49.8, 'UN', 'T1')",
    "insert into item_venda (nota, cod, quant, p_compra, p_venda, total, unid, aliquota) values (501, 2, 1, 1.9, "
    "8.49, 8.49, 'UN', 'T1')",
    "insert into venda (nota, data, total, desconto, vendedor, ok, crc) values (502, current_date, 45, 4.88, 2, 'S', "
    "'987654321')",
    "insert into item_venda (nota, cod, quant, p_compra, p_venda, total, unid, aliquota) values (502, 4, 1.238, 1.9, "
    "39.9, 49.3962, 'KG', 'T1')",
    // Closings of earlier days, and one of today that waits for tomorrow.
    "insert into sped_reducaoz (data, ecf, cont_reinicio, cont_reducaoz, cont_op, tot_geral, tot_aliq01, tot_desc) "
    "values (current_date - 2, 1, 1, 311, 4520, 12345.67, 9876.54, 12.5)",
    "insert into sped_reducaoz (data, ecf, cont_reinicio, cont_reducaoz, cont_op, tot_geral, tot_aliq01) values "
    "(current_date - 1, 1, 1, 312, 4533, 12987.02, 10011.4)",
    "insert into sped_reducaoz (data, ecf, cont_reinicio, cont_reducaoz, cont_op, tot_geral) values (current_date, 1, "
    "1, 313, 4540, 13001.1)",
    // Invoices of yesterday (one key written with spaces between its groups).
    "insert into NFCE (nota, chave, data, exportado, adic) values ('41', "
    "'35261212345678000190650010000000411000000410', current_date - 1, 0, '')",
    "insert into NFCE (nota, chave, data, exportado, adic) values ('42', "
    "'3526 1212 3456 7800 0190 6500 1000 0000 4210 0000 0420', current_date - 1, 0, '')",
};

void CreatePosDatabase(const std::string& path, const std::string& schema_path) {
  TIBDatabase database;
  TIBTransaction transaction;
  ApplyPosSettings(database, transaction);
  database.SetDatabaseName(path);
  CreateDatabaseFromScript(database, schema_path);
  TIBQuery query;
  query.SetDatabase(&database);
  query.SetTransaction(&transaction);
  for (const char* sql : kPosRows) {
    query.SetSQL(sql);
    query.ExecSQL();
  }
  transaction.Commit();
  database.Close();
}

}  // namespace

DemoPaths CreateDemo(const std::string& base_directory, const std::string& schema_path) {
  const std::filesystem::path base = std::filesystem::absolute(base_directory);
  DemoPaths paths{(base / "legacy").string(), (base / "pos.fdb").string()};
  std::filesystem::remove_all(paths.data_directory);
  std::filesystem::remove(paths.database);
  std::filesystem::create_directories(paths.data_directory);
  CreateLegacyData(paths.data_directory);
  CreatePosDatabase(paths.database, schema_path);
  return paths;
}

}  // namespace veltrix
