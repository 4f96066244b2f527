#include "product_table.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string_view>
#include <system_error>

#include "dbf/table_header.h"

namespace qxdbf_bench {

namespace {

// Records in the pool the generated rows are copied from.
constexpr int kPoolSize = 512;
// Bytes collected before each write of the generator.
constexpr size_t kWriteChunk = 4u << 20;
// The code field holds six digits; codes repeat after the last one.
constexpr int64_t kCodeCount = 999999;

const std::vector<FieldSpec> kProductFields = {
    {"CODIGO", 'C', 6, 0},     {"NOME", 'C', 40, 0},      {"P_COMPRA", 'N', 12, 3},
    {"P_VENDA", 'N', 12, 3},   {"LUCRO", 'N', 7, 2},      {"QUANT", 'N', 14, 3},
    {"ESTOQUE", 'N', 10, 2},   {"DEPOSITO", 'N', 14, 3},  {"UNID", 'C', 6, 0},
    {"COMISSAO", 'N', 6, 2},   {"USUARIO", 'C', 10, 0},   {"IGUAL", 'C', 40, 0},
    {"CODBAR", 'C', 15, 0},    {"CREDICM", 'N', 9, 2},    {"BASECRED", 'N', 6, 2},
    {"DEBICM", 'N', 9, 2},     {"BASEDEB", 'N', 6, 2},    {"LOCALIZA", 'C', 15, 0},
    {"FORNEC", 'C', 6, 0},     {"FABRIC", 'C', 6, 0},     {"FRETE", 'N', 6, 2},
    {"ENCARGOS", 'N', 6, 2},   {"ALIQUOTA", 'C', 3, 0},   {"FRACAO", 'N', 10, 6},
    {"REFORI", 'C', 15, 0},    {"AGREGADO", 'N', 6, 2},   {"CLASSIF", 'C', 15, 0},
    {"APLIC", 'C', 40, 0},     {"GRUPO", 'C', 6, 0},      {"SAL", 'N', 13, 3},
    {"SAD", 'N', 13, 3},       {"SERIE", 'C', 1, 0},      {"SUGESTAO", 'N', 10, 2},
    {"P_VENDA1", 'N', 10, 2},  {"DEV_ICM", 'N', 5, 2},    {"COMPRA", 'N', 10, 2},
    {"IS_PIS", 'C', 1, 0},     {"EMB", 'C', 5, 0},        {"DESC_ATAC", 'C', 30, 0},
    {"FILIAL1", 'N', 10, 2},   {"FILIAL2", 'N', 10, 2},   {"COD_ISPIS", 'C', 3, 0},
};

constexpr std::array<std::string_view, 16> kProducts = {
    "ARROZ TIPO 1",     "FEIJAO CARIOCA",   "ACUCAR CRISTAL",  "OLEO DE SOJA",
    "CAFE TORRADO",     "SABONETE ERVA DOCE", "DETERGENTE NEUTRO", "PARAFUSO SEXTAVADO",
    "CIMENTO CP II",    "TINTA ACRILICA BRANCA", "LAMPADA LED",  "FIO FLEXIVEL",
    "PISO CERAMICO",    "MACARRAO ESPAGUETE", "LEITE INTEGRAL", "BISCOITO MAISENA"};
constexpr std::array<std::string_view, 8> kSizes = {"1KG", "5KG", "500G", "900ML",
                                                     "2L",  "10UN", "3/8", "18L"};
constexpr std::array<std::string_view, 6> kUnits = {"UN", "KG", "CX", "M2", "LT", "PC"};
constexpr std::array<std::string_view, 4> kTaxCodes = {"T18", "T12", "F", "I"};
constexpr std::array<std::string_view, 5> kUses = {
    "USO DOMESTICO", "CONSTRUCAO CIVIL", "ALIMENTACAO", "LIMPEZA E HIGIENE", "ELETRICA"};

class RecordMaker {
 public:
  RecordMaker(const TableShape& shape, uint32_t seed) : shape_(shape), random_(seed) {}

  // A whole record image: live flag, then every field filled.
  std::string Pooled() {
    std::string record(static_cast<size_t>(shape_.record_length), ' ');
    for (size_t i = 0; i < kProductFields.size(); ++i) {
      const FieldSpec& f = kProductFields[i];
      char* field = record.data() + shape_.offsets[i];
      if (f.type == 'N')
        PutNumber(field, f, Between(0, MaxMagnitude(f)) + Between(0, 999) / 1000.0);
      else
        PutText(field, f, TextFor(f.name));
    }
    return record;
  }

  double Between(int64_t low, int64_t high) {
    return static_cast<double>(std::uniform_int_distribution<int64_t>(low, high)(random_));
  }
  uint32_t Next() { return static_cast<uint32_t>(random_()); }

  // Right-aligned fixed-point text, as the legacy programs store numbers.
  static void PutNumber(char* field, const FieldSpec& f, double value) {
    char text[64];
    const int n = std::snprintf(text, sizeof text, "%*.*f", f.len, f.dec, value);
    if (n != f.len) throw std::logic_error(std::string("generated number does not fit ") + f.name);
    std::memcpy(field, text, f.len);
  }

  static void PutText(char* field, const FieldSpec& f, std::string_view text) {
    std::memcpy(field, text.data(), std::min<size_t>(text.size(), f.len));
  }

 private:
  // Largest whole part that still fits the field with a sign.
  static int64_t MaxMagnitude(const FieldSpec& f) {
    const int whole_digits = f.len - (f.dec > 0 ? f.dec + 1 : 0) - 1;
    int64_t max = 1;
    for (int i = 0; i < whole_digits && max < 100000; ++i) max *= 10;
    return max - 1;
  }

  template <size_t N>
  std::string_view Pick(const std::array<std::string_view, N>& list) {
    return list[Next() % N];
  }

  std::string Digits(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += static_cast<char>('0' + Next() % 10);
    return text;
  }

  std::string TextFor(std::string_view name) {
    if (name == "NOME" || name == "IGUAL") return std::string(Pick(kProducts)) + " " + std::string(Pick(kSizes));
    if (name == "UNID") return std::string(Pick(kUnits));
    if (name == "CODBAR") return "789" + Digits(10);
    if (name == "ALIQUOTA") return std::string(Pick(kTaxCodes));
    if (name == "APLIC") return std::string(Pick(kUses));
    if (name == "DESC_ATAC") return "ATACADO ACIMA DE " + std::to_string(Next() % 50 + 2) + " UN";
    if (name == "USUARIO") return "OPERADOR" + std::to_string(Next() % 9 + 1);
    if (name == "SERIE" || name == "IS_PIS") return Next() % 2 ? "S" : "N";
    if (name == "EMB") return "CX" + std::to_string(Next() % 48 + 1);
    if (name == "LOCALIZA") return "CORREDOR " + std::to_string(Next() % 20 + 1) + " P" + std::to_string(Next() % 6 + 1);
    // Codes of suppliers, makers, groups, classes and references: digits.
    const FieldSpec& f = kProductFields[static_cast<size_t>(ProductFieldIndex(std::string(name)))];
    return Digits(f.len);
  }

  const TableShape& shape_;
  std::mt19937_64 random_;
};

void WriteFully(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::system_error(errno, std::generic_category(), "writing the product table");
    data += n;
    size -= static_cast<size_t>(n);
  }
}

}  // namespace

const std::vector<FieldSpec>& ProductFields() { return kProductFields; }

int ProductFieldIndex(const std::string& name) {
  for (size_t i = 0; i < kProductFields.size(); ++i)
    if (name == kProductFields[i].name) return static_cast<int>(i);
  throw std::out_of_range("no product field " + name);
}

TableShape WriteProductTable(const std::string& path, int64_t count) {
  const TableShape shape = CreateTable(path, kProductFields);
  RecordMaker maker(shape, 20240315);
  std::vector<std::string> pool;
  for (int i = 0; i < kPoolSize; ++i) pool.push_back(maker.Pooled());

  const int fd = ::open(path.c_str(), O_WRONLY);
  if (fd < 0) throw std::system_error(errno, std::generic_category(), "opening " + path);
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  if (::lseek(fd, shape.header_length, SEEK_SET) != shape.header_length)
    throw std::system_error(errno, std::generic_category(), "seeking in " + path);

  const int codigo = ProductFieldIndex("CODIGO");
  const int quant = ProductFieldIndex("QUANT");
  const FieldSpec& quant_spec = kProductFields[static_cast<size_t>(quant)];
  const size_t length = static_cast<size_t>(shape.record_length);
  std::string chunk;
  chunk.reserve(kWriteChunk + length);
  for (int64_t i = 0; i < count; ++i) {
    const size_t at = chunk.size();
    chunk += pool[maker.Next() % kPoolSize];
    char* record = chunk.data() + at;
    char code[8];
    std::snprintf(code, sizeof code, "%06lld", static_cast<long long>(i % kCodeCount + 1));
    std::memcpy(record + shape.offsets[static_cast<size_t>(codigo)], code, 6);
    // Some stock is negative, as it is in a shop that sells before it books
    // the delivery.
    RecordMaker::PutNumber(record + shape.offsets[static_cast<size_t>(quant)], quant_spec,
                           maker.Between(-50000, 99999999) / 1000.0);
    if (chunk.size() >= kWriteChunk) {
      WriteFully(fd, chunk.data(), chunk.size());
      chunk.clear();
    }
  }
  chunk += '\x1A';
  WriteFully(fd, chunk.data(), chunk.size());

  uint8_t stored_count[4];
  for (int i = 0; i < 4; ++i) stored_count[i] = static_cast<uint8_t>(static_cast<uint64_t>(count) >> (8 * i));
  if (::pwrite(fd, stored_count, 4, qxdbf::kHeaderCountOffset) != 4)
    throw std::system_error(errno, std::generic_category(), "writing the record count of " + path);
  return shape;
}

}  // namespace qxdbf_bench
