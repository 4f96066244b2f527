// A bridge with the seeding and reading the sales import and the stock
// write-down tests share: point-of-sale sales and items, legacy products
// and numbering, and the legacy records as another program reads them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/money.h"
#include "bridge_fixture.h"
#include "dbf/smart_dbf.h"

namespace veltrix_test {

// One legacy record: text fields without their trailing blanks, numbers as
// money text ("3,5", "-1"), dates as day numbers, and "*" under "_deleted"
// for a deleted record.
using LegacyRecord = std::map<std::string, std::string>;

struct SalesFixture : BridgeFixture {
  using BridgeFixture::BridgeFixture;

  // A pending sale of 5 March 2014 (day 41703) by seller 7.
  void Sale(int nota, const std::string& total, const std::string& crc = "123456789") {
    Seed({"insert into venda (nota, data, total, desconto, vendedor, ok, crc, exportado) values (" +
          std::to_string(nota) + ", '2014-03-05', " + total + ", 0, 7, 'S', '" + crc + "', 0)"});
  }
  // An item; numbers in SQL form ("1.5").
  void SaleItem(int nota, int cod, const std::string& quant, const std::string& p_venda, const std::string& total) {
    Seed({"insert into item_venda (nota, cod, quant, p_compra, p_venda, total, unid, aliquota) values (" +
          std::to_string(nota) + ", " + std::to_string(cod) + ", " + quant + ", 1.25, " + p_venda + ", " + total +
          ", 'UN', 'T1')"});
  }
  // exportado of every sale, by nota.
  std::map<int, int> Exported() {
    std::map<int, int> out;
    for (const auto& row : Rows("select nota, exportado from venda").rows) out[row[0].AsInteger()] = row[1].AsInteger();
    return out;
  }

  // Opens a legacy table as another program does: shared, deleted records
  // visible.
  static void OpenShared(qxdbf::TQxDBFNTX& table, const std::string& path) {
    table.SetDBFFileName(path);
    table.AccessMode().SetAccessMode(66);
    table.SetLockProtocol(qxdbf::lpClipperLock);
    table.Open();
  }

  void AppendProduct(const std::string& codigo, veltrix::Money quant, bool deleted = false) {
    qxdbf::TQxDBFNTX table;
    OpenShared(table, Legacy(veltrix::LegacyFile::kProduto));
    table.Append();
    table.FieldByName("CODIGO").SetAsString(codigo);
    table.FieldByName("QUANT").SetAsCurrency(quant.TenThousandths());
    table.Post();
    if (deleted) table.MarkDeleted(true);
    table.Close();
  }

  void SetPedido(const std::string& pedido) {
    qxdbf::TQxDBFNTX table;
    OpenShared(table, Legacy(veltrix::LegacyFile::kNumeracao));
    table.Edit();
    table.FieldByName("PEDIDO").SetAsString(pedido);
    table.Post();
    table.Close();
  }

  std::vector<LegacyRecord> Records(veltrix::LegacyFile file) {
    qxdbf::TQxDBFNTX table;
    OpenShared(table, Legacy(file));
    std::vector<LegacyRecord> out;
    for (table.First(); !table.Eof(); table.Next()) {
      LegacyRecord record;
      for (int i = 0; i < table.FieldCount(); ++i) {
        qxdbf::TField& field = table.Fields(i);
        std::string value;
        if (field.DataType() == qxdbf::ftDate) {
          value = field.IsNull() ? "" : std::to_string(static_cast<int>(field.AsDateTime()));
        } else if (field.DataType() == qxdbf::ftString || field.DataType() == qxdbf::ftFixedChar) {
          value = field.AsString();
          value.erase(value.find_last_not_of(' ') + 1);
        } else {
          value = field.IsNull() ? "" : veltrix::Money::FromTenThousandths(field.AsCurrency()).ToText();
        }
        record[field.FieldName()] = value;
      }
      if (table.Deleted()) record["_deleted"] = "*";
      out.push_back(record);
    }
    table.Close();
    return out;
  }

  // QUANT of every product record, in record order.
  std::vector<std::string> Quants() {
    std::vector<std::string> out;
    for (const LegacyRecord& r : Records(veltrix::LegacyFile::kProduto)) out.push_back(r.at("QUANT"));
    return out;
  }
};

}  // namespace veltrix_test
