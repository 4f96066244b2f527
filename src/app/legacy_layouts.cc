#include "app/legacy_layouts.h"

#include <vector>

#include "dbf/smart_dbf.h"

namespace veltrix {

namespace {

struct FieldSpec {
  const char* name;
  char type;
  uint16_t len;
  uint16_t dec;
};

const std::vector<FieldSpec>& Layout(LegacyFile file) {
  static const std::vector<FieldSpec> kProduto = {
      {"CODIGO", 'C', 6, 0},    {"NOME", 'C', 40, 0},     {"P_COMPRA", 'N', 12, 3}, {"P_VENDA", 'N', 12, 3},
      {"LUCRO", 'N', 7, 2},     {"QUANT", 'N', 14, 3},    {"ESTOQUE", 'N', 10, 2},  {"DEPOSITO", 'N', 14, 3},
      {"UNID", 'C', 6, 0},      {"COMISSAO", 'N', 6, 2},  {"USUARIO", 'C', 10, 0},  {"IGUAL", 'C', 40, 0},
      {"CODBAR", 'C', 15, 0},   {"CREDICM", 'N', 9, 2},   {"BASECRED", 'N', 6, 2},  {"DEBICM", 'N', 9, 2},
      {"BASEDEB", 'N', 6, 2},   {"LOCALIZA", 'C', 15, 0}, {"FORNEC", 'C', 6, 0},    {"FABRIC", 'C', 6, 0},
      {"FRETE", 'N', 6, 2},     {"ENCARGOS", 'N', 6, 2},  {"ALIQUOTA", 'C', 3, 0},  {"FRACAO", 'N', 10, 6},
      {"REFORI", 'C', 15, 0},   {"AGREGADO", 'N', 6, 2},  {"CLASSIF", 'C', 15, 0},  {"APLIC", 'C', 40, 0},
      {"GRUPO", 'C', 6, 0},     {"SAL", 'N', 13, 3},      {"SAD", 'N', 13, 3},      {"SERIE", 'C', 1, 0},
      {"SUGESTAO", 'N', 10, 2}, {"P_VENDA1", 'N', 10, 2}, {"DEV_ICM", 'N', 5, 2},   {"COMPRA", 'N', 10, 2},
      {"IS_PIS", 'C', 1, 0},    {"EMB", 'C', 5, 0},       {"DESC_ATAC", 'C', 30, 0}, {"FILIAL1", 'N', 10, 2},
      {"FILIAL2", 'N', 10, 2},  {"COD_ISPIS", 'C', 3, 0}};
  static const std::vector<FieldSpec> kVendas = {
      {"CODIGO", 'C', 6, 0},    {"UNIDADE", 'C', 6, 0},   {"NOME", 'C', 40, 0},     {"PVENDA", 'N', 9, 2},
      {"QUANT", 'N', 10, 3},    {"P_TOTAL", 'N', 12, 2},  {"TOTAL", 'N', 12, 2},    {"NOTA", 'C', 7, 0},
      {"DATA", 'D', 8, 0},      {"VENDEDOR", 'C', 4, 0},  {"DESCONTO", 'N', 12, 2}, {"CLIENTE", 'C', 6, 0},
      {"PRAZO", 'N', 3, 0},     {"REGISTRO", 'N', 6, 0},  {"P_COMPRA", 'N', 10, 2}, {"CODHIS", 'C', 4, 0},
      {"ALIQUOTA", 'C', 3, 0},  {"ENTREGA", 'C', 1, 0},   {"OK", 'C', 1, 0},        {"ORIGEM", 'C', 2, 0},
      {"ENTRAD", 'N', 10, 2},   {"FECHAMENTO", 'C', 2, 0}, {"CRC", 'C', 4, 0},      {"REP", 'C', 1, 0},
      {"USUARIO", 'C', 10, 0}};
  // Only PEDIDO matters to the bridge; the other counters belong to the
  // legacy programs.
  static const std::vector<FieldSpec> kNumeracao = {
      {"PEDIDO", 'C', 6, 0},   {"CLIENTE", 'C', 6, 0},  {"PRODUTO", 'C', 6, 0}, {"FORNEC", 'C', 6, 0},
      {"VENDEDOR", 'C', 4, 0}, {"ORCAMENTO", 'C', 6, 0}, {"COMPRA", 'C', 6, 0}, {"DUPLICATA", 'C', 6, 0},
      {"CHEQUE", 'C', 6, 0},   {"RECIBO", 'C', 6, 0},   {"SERVICO", 'C', 6, 0}, {"CONTA", 'C', 6, 0},
      {"BANCO", 'C', 4, 0},    {"GRUPO", 'C', 6, 0},    {"USUARIO", 'C', 4, 0}};
  static const std::vector<FieldSpec> kReducao = {{"ITEM", 'C', 89, 0}};
  static const std::vector<FieldSpec> kNFCE = {
      {"DATA", 'D', 8, 0}, {"NOTA", 'C', 6, 0}, {"CHAVE", 'C', 44, 0}, {"SERIE", 'C', 3, 0}, {"NFCE", 'C', 7, 0}};
  static const std::vector<FieldSpec> kVendedores = {{"CODIGO", 'C', 6, 0}, {"VENDEDOR", 'C', 30, 0}};
  static const std::vector<FieldSpec> kUsuarios = {{"VENDEDOR", 'C', 6, 0}, {"NOM", 'C', 30, 0},
                                                   {"CRC1", 'C', 10, 0},    {"CRC2", 'C', 10, 0},
                                                   {"ACESSO", 'C', 60, 0},  {"CONFIGU", 'C', 10, 0}};
  static const std::vector<FieldSpec> kMarcador = {{"DATA", 'D', 8, 0}, {"HORA", 'C', 8, 0}};
  switch (file) {
    case LegacyFile::kProduto: return kProduto;
    case LegacyFile::kVendas: return kVendas;
    case LegacyFile::kNumeracao: return kNumeracao;
    case LegacyFile::kReducao: return kReducao;
    case LegacyFile::kNFCE: return kNFCE;
    case LegacyFile::kVendedores: return kVendedores;
    case LegacyFile::kUsuarios: return kUsuarios;
    case LegacyFile::kMarcador: return kMarcador;
  }
  return kMarcador;
}

}  // namespace

std::string LegacyFileName(LegacyFile file) {
  switch (file) {
    case LegacyFile::kProduto: return "kq000006.dat";
    case LegacyFile::kVendas: return "kq000009.dat";
    case LegacyFile::kNumeracao: return "kq000022.dat";
    case LegacyFile::kReducao: return "kq000054.dat";
    case LegacyFile::kNFCE: return "kq000071.dat";
    case LegacyFile::kVendedores: return "kq000017.dat";
    case LegacyFile::kUsuarios: return "kq000003.dat";
    case LegacyFile::kMarcador: return "KQ000062.DAT";
  }
  return "";
}

std::string CreateLegacyTable(const std::string& directory, LegacyFile file) {
  qxdbf::TQxDBFNTX table;
  table.SetDbfVersion(qxdbf::xBaseIII);
  const std::string path = directory + "/" + LegacyFileName(file);
  table.SetDBFFileName(path);
  for (const FieldSpec& field : Layout(file)) table.DBFFieldDefs().Add(field.name, field.type, field.len, field.dec);
  table.CreateTable();
  return path;
}

}  // namespace veltrix
