#include "app/legacy_tables.h"

#include "app/legacy_paths.h"

namespace veltrix {

namespace {

constexpr uint32_t kSharedReadWrite = 66;     // read-write, deny none
constexpr uint32_t kExclusiveReadWrite = 18;  // read-write, exclusive

void Configure(qxdbf::TQxDBFNTX& table, uint32_t access_mode, bool hide_deleted) {
  table.SetDbfVersion(qxdbf::xBaseIII);
  table.SetLockProtocol(qxdbf::lpClipperLock);
  table.SetLobLockProtocol(qxdbf::lpClipperLock);
  table.SetBufferSize(4096);
  table.SetWaitBusyRes(3000);
  table.SetStorageType(qxdbf::pstFile);
  table.SetFastPostRecord(false);
  table.SetTrimInLocate(false);
  table.SetTrimCType(false);
  table.SetLobBlockSize(512);
  table.AccessMode().SetAccessMode(access_mode);
  table.SetSetDeleted(hide_deleted);
}

}  // namespace

LegacyTables::LegacyTables() {
  Configure(TableNumeracao, kExclusiveReadWrite, false);
  Configure(TableReducao, kSharedReadWrite, false);
  Configure(TableNFCE, kSharedReadWrite, false);
  Configure(QxTableProduto, kSharedReadWrite, true);
  Configure(QxTableVendas, kExclusiveReadWrite, false);
  Configure(TableVendedorVeltrix, kSharedReadWrite, false);
}

void LegacyTables::PointAt(const std::string& directory) {
  TableNumeracao.SetDBFFileName(LegacyPath(directory, "kq000022.dat"));
  TableReducao.SetDBFFileName(LegacyPath(directory, "kq000054.dat"));
  TableNFCE.SetDBFFileName(LegacyPath(directory, "kq000071.dat"));
  QxTableProduto.SetDBFFileName(LegacyPath(directory, "kq000006.dat"));
  QxTableVendas.SetDBFFileName(LegacyPath(directory, "kq000009.dat"));
  TableVendedorVeltrix.SetDBFFileName(LegacyPath(directory, "kq000017.dat"));
}

std::string LegacyTables::NameOf(const qxdbf::TQxDBFNTX& table) const {
  if (&table == &TableNumeracao) return "TableNumeracao";
  if (&table == &TableReducao) return "TableReducao";
  if (&table == &TableNFCE) return "TableNFCE";
  if (&table == &QxTableProduto) return "QxTableProduto";
  if (&table == &QxTableVendas) return "QxTableVendas";
  if (&table == &TableVendedorVeltrix) return "TableVendedorVeltrix";
  return "";
}

}  // namespace veltrix
