// Seller and user synchronisation: the legacy sellers (kq000017.dat) and
// users (kq000003.dat) copied into the point of sale's `vendedor` and
// `usuario`, new or changed entries only. Nothing is deleted and nothing
// flows back.
//
// Both files are read through the one table object TableVendedorVeltrix,
// pointed at each file in turn. The comparisons are byte for byte: the
// legacy fields come with their blank padding, and the point of sale keeps
// the padding it was given, so an entry written once compares equal at the
// next start.
#include <exception>
#include <string>
#include <utility>

#include "app/access_code.h"
#include "app/convert_error.h"
#include "app/form1.h"
#include "app/funcoes.h"
#include "app/legacy_paths.h"
#include "app/sql_literal.h"

namespace veltrix {

namespace {

// The point of sale's configuration line of a user, built around characters
// 2 and 3 of the legacy `configu` (the user's discount limit).
constexpr const char* kConfigHead = "-0- ";
constexpr const char* kConfigTail = ",00 -1- T -2-  -3-  -4-";

// Closes the table on every way out of a routine and, when asked, points it
// back at its usual file, so that an error in one routine never leaves the
// shared table object open on the other routine's file.
class TableSession {
 public:
  TableSession(qxdbf::TQxDBFNTX& table, std::string home_file) : table_(table), home_file_(std::move(home_file)) {}
  ~TableSession() {
    try {
      table_.Close();
      if (!home_file_.empty()) table_.SetDBFFileName(home_file_);
    } catch (...) {
      // Closing a table that was read only has nothing worth reporting.
    }
  }
  TableSession(const TableSession&) = delete;
  TableSession& operator=(const TableSession&) = delete;

 private:
  qxdbf::TQxDBFNTX& table_;
  std::string home_file_;
};

// A digit text as an integer; more digits than an integer holds raise the
// conversion error naming the text.
int DigitsAsInteger(const std::string& digits) {
  long long value = 0;
  for (const char c : digits) {
    value = value * 10 + (c - '0');
    if (value > 2147483647LL) throw EConvertError("'" + digits + "' is not a valid integer value");
  }
  return static_cast<int>(value);
}

// Every byte of a text field, NUL bytes included: `acesso` holds rights
// with the value 0, which a text read would take for the end of the text.
std::string FieldBytes(qxdbf::TField& field) {
  std::string bytes(static_cast<size_t>(field.DataSize()) + 1, '\0');
  if (!field.GetData(bytes.data())) return {};
  bytes.resize(static_cast<size_t>(field.Size()));
  return bytes;
}

std::string ConfigurationLine(const std::string& configu) {
  const std::string limit = configu.size() > 1 ? configu.substr(1, 2) : "";
  return kConfigHead + limit + kConfigTail;
}

}  // namespace

void TForm1::buscaVendedores() {
  qxdbf::TQxDBFNTX& table = tables_.TableVendedorVeltrix;
  table.SetDBFFileName(LegacyPath(dir_veltrix_, "kq000017.dat"));
  TableSession session(table, "");
  if (!abreTabela(table)) {
    ui_.AppendLog("Erro ao abrir Tabela de vendores do Veltrix");
    return;
  }
  table.First();
  ui_.AppendLog("Buscando Vendedores");
  while (!table.Eof()) {
    const std::string code = soDigitos(table.FieldByName("codigo").AsString());
    const std::string name = table.FieldByName("vendedor").AsString();
    table.Next();
    if (code.empty()) continue;
    const std::string number = std::to_string(DigitsAsInteger(code));
    query_.SetSQL("select cod, nome from vendedor where cod = " + number);
    query_.Open();
    if (!query_.IsEmpty() && query_.FieldByName("nome").AsString() == name) continue;
    query_.SetSQL("update or insert into vendedor (cod, nome) values (" + number + ", " + SqlLiteral(name) + ")");
    query_.ExecSQL();
    ui_.AppendLog("Cadastrando vendedor: " + name);
  }
  query_.Close();
}

void TForm1::buscaUsuarios() {
  qxdbf::TQxDBFNTX& table = tables_.TableVendedorVeltrix;
  table.SetDBFFileName(LegacyPath(dir_veltrix_, "kq000003.dat"));
  TableSession session(table, LegacyPath(dir_veltrix_, "kq000017.dat"));
  if (!abreTabela(table)) {
    ui_.AppendLog("Erro ao abrir Tabela de usuários do Veltrix");
    return;
  }
  table.First();
  ui_.AppendLog("Buscando Usuários");
  // The point of sale numbers users by their record's position in the
  // legacy file, deleted records included, so a deleted user leaves a gap
  // instead of shifting everybody after it.
  int position = 0;
  for (; !table.Eof(); table.Next()) {
    position += 1;
    // A deleted record is skipped before its fields are converted: a
    // damaged seller number in a record nobody uses must not stop the
    // synchronisation of the live users.
    if (table.Deleted()) continue;
    const int seller = DigitsAsInteger(soDigitos(table.FieldByName("vendedor").AsString()));
    const std::string name = table.FieldByName("nom").AsString();
    const std::string login = table.FieldByName("crc1").AsString();
    const std::string password = table.FieldByName("crc2").AsString();
    const std::string access = substituiCaracteres(acessoParaDigitos(FieldBytes(table.FieldByName("acesso"))));
    const std::string config = ConfigurationLine(table.FieldByName("configu").AsString());

    query_.SetSQL("select cod, nome, usu, acesso, senha, configu, vendedor from usuario where cod = " +
                  std::to_string(position));
    query_.Open();
    // The seller link is compared too: a user moved to another seller must
    // reach the point of sale even when nothing else changed.
    if (!query_.IsEmpty() && query_.FieldByName("nome").AsString() == name &&
        query_.FieldByName("usu").AsString() == login && query_.FieldByName("acesso").AsString() == access &&
        query_.FieldByName("configu").AsString() == config && query_.FieldByName("senha").AsString() == password &&
        !query_.FieldByName("vendedor").IsNull() && query_.FieldByName("vendedor").AsInteger() == seller)
      continue;
    ui_.AppendLog("Cadastrando usuário: " + name);
    query_.SetSQL("update or insert into usuario (cod, nome, usu, senha, vendedor, acesso, configu) values (" +
                  std::to_string(position) + ", " + SqlLiteral(name) + ", " + SqlLiteral(login) + ", " +
                  SqlLiteral(password) + ", " + std::to_string(seller) + ", " + SqlLiteral(access) + ", " +
                  SqlLiteral(config) + ")");
    query_.ExecSQL();
  }
  query_.Close();
}

}  // namespace veltrix
