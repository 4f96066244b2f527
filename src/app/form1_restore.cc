// Putting the saved copy of the point-of-sale database in place of a
// damaged one.
//
// The point of sale keeps a copy of its database beside it, under the same
// name with the last three characters replaced by "BKP". The damaged file
// is never overwritten or deleted: it is renamed aside, and the copy reaches
// its place through a temporary file in the same directory and a rename, so
// a failure at any step leaves either the old file or a whole copy.
#include <ctime>
#include <exception>
#include <filesystem>
#include <string>

#include "app/form1.h"
#include "dbf/platform_file.h"

namespace veltrix {

namespace {

bool IsLocalPath(const std::string& name) { return !name.empty() && (name[0] == '/' || name.find(':') == std::string::npos); }

std::string BackupName(const std::string& name) { return name.substr(0, name.size() - 3) + "BKP"; }

// A name beside `path` that does not exist yet.
std::string FreeNameBeside(const std::string& path, const std::string& tag) {
  const std::time_t now = std::time(nullptr);
  char stamp[32];
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "%Y%m%d%H%M%S", &local);
  std::string candidate = path + "." + tag + "-" + stamp;
  for (int n = 1; qxdbf::FileExists(candidate); ++n) candidate = path + "." + tag + "-" + stamp + "-" + std::to_string(n);
  return candidate;
}

}  // namespace

void TForm1::restauraBdQuovo() {
  const std::string name = database_.DatabaseName();
  try {
    database_.Close();
  } catch (const std::exception& e) {
    ui_.AppendLog(std::string("Erro(restauraBdQuovo): ") + e.what());
  }
  if (!IsLocalPath(name) || name.size() < 4) {
    ui_.AppendLog("Erro(restauraBdQuovo): banco de dados não é um arquivo local: " + name);
    return;
  }
  const std::string backup = BackupName(name);
  std::error_code error;
  if (!std::filesystem::is_regular_file(backup, error)) {
    ui_.AppendLog("Erro(restauraBdQuovo): copia do Bd do Quovo não encontrada: " + backup);
    return;
  }
  const std::string temporary = FreeNameBeside(name, "restaurando");
  if (!std::filesystem::copy_file(backup, temporary, error)) {
    std::filesystem::remove(temporary, error);
    ui_.AppendLog("Erro(restauraBdQuovo): copia do Bd do Quovo ilegível: " + backup);
    return;
  }
  const std::string damaged = FreeNameBeside(name, "danificado");
  if (qxdbf::FileExists(name) && !qxdbf::RenameFile(name, damaged)) {
    std::filesystem::remove(temporary, error);
    ui_.AppendLog("Erro(restauraBdQuovo): não foi possível renomear " + name);
    return;
  }
  if (!qxdbf::RenameFile(temporary, name)) {
    qxdbf::RenameFile(damaged, name);
    ui_.AppendLog("Erro(restauraBdQuovo): não foi possível colocar a copia em " + name);
    return;
  }
  ui_.AppendLog("Restaurada copia do Bd do Quovo");
}

}  // namespace veltrix
