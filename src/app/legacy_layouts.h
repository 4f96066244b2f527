// The record layouts of the legacy tables the bridge reads and writes.
//
// The bridge never creates these files in a shop: the legacy programs own
// them and the bridge takes every layout from the file's own header. The
// layouts here are what the legacy programs write, for the demo data
// directory and for tests.
#pragma once

#include <string>

namespace veltrix {

enum class LegacyFile {
  kProduto,     // kq000006.dat, the catalogue (42 fields)
  kVendas,      // kq000009.dat, sales lines (25 fields)
  kNumeracao,   // kq000022.dat, numbering (15 fields, PEDIDO first)
  kReducao,     // kq000054.dat, packed Z-reductions (ITEM C 89)
  kNFCE,        // kq000071.dat, NFC-e invoices
  kVendedores,  // kq000017.dat, sellers
  kUsuarios,    // kq000003.dat, users
  kMarcador,    // KQ000062.DAT, the change marker
};

// The file name as the legacy programs spell it.
std::string LegacyFileName(LegacyFile file);

// Writes an empty dBase III table with the layout of `file` into
// `directory` and answers its path. Replaces an existing file.
std::string CreateLegacyTable(const std::string& directory, LegacyFile file);

}  // namespace veltrix
