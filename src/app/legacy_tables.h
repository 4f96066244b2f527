// The six legacy table objects and the settings they share.
//
// Every table is a dBase III file with Clipper locks, a 4096-byte read
// window and 3000 lock attempts; the sales and numbering tables are opened
// exclusively (18), the others read-write shared with everybody (66). Only
// the product table hides deleted records.
#pragma once

#include <string>

#include "dbf/smart_dbf.h"

namespace veltrix {

struct LegacyTables {
  qxdbf::TQxDBFNTX TableNumeracao;        // kq000022.dat, numbering
  qxdbf::TQxDBFNTX TableReducao;          // kq000054.dat, Z-reductions
  qxdbf::TQxDBFNTX TableNFCE;             // kq000071.dat, NFC-e
  qxdbf::TQxDBFNTX QxTableProduto;        // kq000006.dat, products
  qxdbf::TQxDBFNTX QxTableVendas;         // kq000009.dat, sales
  qxdbf::TQxDBFNTX TableVendedorVeltrix;  // kq000017.dat sellers (kq000003.dat users)

  LegacyTables();
  // Points every table at its file under `directory`.
  void PointAt(const std::string& directory);
  // The member's name ("QxTableProduto"), shown while it is being opened.
  std::string NameOf(const qxdbf::TQxDBFNTX& table) const;
};

}  // namespace veltrix
