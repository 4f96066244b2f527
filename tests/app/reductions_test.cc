// Z-reduction import: closings of earlier days packed into the legacy
// reductions table and flagged, on real legacy files and a real embedded
// point-of-sale database.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bridge_fixture.h"
#include "legacy_record_io.h"

namespace veltrix {
namespace {

using veltrix_test::BridgeFixture;

// Codes of characters `first` to `last` (1-based) of a packed line.
std::vector<int> Codes(const std::string& line, size_t first, size_t last) {
  std::vector<int> codes;
  for (size_t i = first; i <= last && i <= line.size(); ++i) codes.push_back(static_cast<unsigned char>(line[i - 1]));
  return codes;
}

// The flag of every closing, by printer number.
std::vector<std::string> Flags(BridgeFixture& bridge) {
  std::vector<std::string> flags;
  for (const auto& row : bridge.Rows("select ecf, tot_aliq08 from sped_reducaoz order by ecf").rows)
    flags.push_back(row[0].AsString() + "=" + row[1].AsString());
  return flags;
}

std::vector<std::string> LogFrom(const std::vector<std::string>& log, const std::string& first) {
  for (size_t i = 0; i < log.size(); ++i)
    if (log[i] == first) return {log.begin() + static_cast<long>(i), log.end()};
  return {};
}

TEST(ReductionsTest, EarlierClosingsArePackedAndOnlyTheyAreFlagged) {
  BridgeFixture bridge;
  veltrix_test::ConnectBridge(*bridge.form);
  bridge.Seed({
      // Copied: the closing of 5 March 2014 of printer 105.
      "insert into sped_reducaoz (data, ecf, cont_reinicio, cont_reducaoz, cont_op, tot_geral, tot_canc, "
      "tot_aliq01, tot_aliq07, tot_aliq08, tot_desc, tot_nn) values ('2014-03-05', 105, 1, 15, 300, 12345.67, "
      "null, 0.05, 7.07, 0, 1.5, 99999999.99)",
      // Not copied: today's closing, one without a date, one exported.
      "insert into sped_reducaoz (data, ecf, tot_geral, tot_aliq08) values (current_date, 2, 10, 0)",
      "insert into sped_reducaoz (data, ecf, tot_geral, tot_aliq08) values (null, 3, 10, 0)",
      "insert into sped_reducaoz (data, ecf, tot_geral, tot_aliq08) values ('2014-03-04', 4, 10, 1)",
  });
  bridge.form->buscaReducoes();
  veltrix_test::CommitBridge(*bridge.form);

  EXPECT_EQ(LogFrom(bridge.ui.log, "Buscando Reduções Z"),
            (std::vector<std::string>{"Buscando Reduções Z", "Importada Redução - Data: 05/03/2014 Ecf: 05"}));
  const auto records = veltrix_test::ReadRecords(bridge.Legacy(LegacyFile::kReducao));
  ASSERT_EQ(records.size(), 1u);
  const std::string line = records[0].at("ITEM");
  ASSERT_EQ(line.size(), 89u);
  EXPECT_EQ(Codes(line, 1, 3), (std::vector<int>{62, 51, 53}));               // 14 03 05
  EXPECT_EQ(Codes(line, 4, 4), (std::vector<int>{53}));                       // ecf 105 as 05
  EXPECT_EQ(Codes(line, 5, 9), (std::vector<int>{48, 48, 48, 49, 48}));       // restarts 1 as 0000000100
  EXPECT_EQ(Codes(line, 10, 14), (std::vector<int>{48, 48, 48, 63, 48}));     // counter 15 as 0000001500
  EXPECT_EQ(Codes(line, 20, 24), (std::vector<int>{48, 49, 71, 93, 115}));    // 12345,67
  EXPECT_EQ(line.substr(24, 5), "00000");                                     // NULL tot_canc
  EXPECT_EQ(Codes(line, 30, 34), (std::vector<int>{48, 48, 48, 48, 53}));     // 0,05
  EXPECT_EQ(line.substr(59, 5), line.substr(64, 5));                          // tot_aliq07 twice
  EXPECT_EQ(Codes(line, 60, 64), (std::vector<int>{48, 48, 48, 55, 55}));     // 7,07
  EXPECT_EQ(Codes(line, 70, 74), (std::vector<int>{48, 48, 48, 49, 98}));     // 1,50
  EXPECT_EQ(Codes(line, 85, 89), (std::vector<int>{147, 147, 147, 147, 147})); // 99999999,99

  EXPECT_EQ(Flags(bridge), (std::vector<std::string>{"2=0", "3=0", "4=1", "105=1"}));
}

TEST(ReductionsTest, NothingPendingLeavesTheTableAlone) {
  BridgeFixture bridge;
  veltrix_test::ConnectBridge(*bridge.form);
  bridge.form->buscaReducoes();
  EXPECT_EQ(bridge.ui.log.back(), "Buscando Reduções Z");
  EXPECT_TRUE(veltrix_test::ReadRecords(bridge.Legacy(LegacyFile::kReducao)).empty());
}

TEST(ReductionsTest, SynchronisationErrorEndsTheRoutineBeforeTheClosings) {
  BridgeFixture bridge;
  veltrix_test::ConnectBridge(*bridge.form);
  bridge.Seed({"insert into sped_reducaoz (data, ecf, tot_aliq08) values ('2014-03-05', 1, 0)"});
  // A sellers file in another layout: no seller code to read.
  const std::string sellers = bridge.Legacy(LegacyFile::kVendedores);
  std::filesystem::copy_file(bridge.Legacy(LegacyFile::kReducao), sellers,
                             std::filesystem::copy_options::overwrite_existing);
  veltrix_test::AppendRecords(sellers, {{{"ITEM", "1"}}});
  bridge.form->buscaReducoes();
  veltrix_test::CommitBridge(*bridge.form);
  EXPECT_EQ(bridge.ui.log, (std::vector<std::string>{"Buscando Vendedores",
                                                     "Erro(buscaReducoes): Field 'codigo' not found"}));
  EXPECT_TRUE(veltrix_test::ReadRecords(bridge.Legacy(LegacyFile::kReducao)).empty());
  EXPECT_EQ(Flags(bridge), std::vector<std::string>{"1=0"});
  EXPECT_FALSE(bridge.form->Tables().TableVendedorVeltrix.Active());
}

TEST(ReductionsTest, UnopenableTableIsLoggedAndNothingFlagged) {
  BridgeFixture bridge;
  veltrix_test::ConnectBridge(*bridge.form);
  bridge.Seed({"insert into sped_reducaoz (data, ecf, tot_aliq08) values ('2014-03-05', 1, 0)"});
  std::filesystem::remove(bridge.Legacy(LegacyFile::kReducao));
  bridge.form->buscaReducoes();
  veltrix_test::CommitBridge(*bridge.form);
  ASSERT_FALSE(bridge.ui.log.empty());
  EXPECT_EQ(bridge.ui.log.back().rfind("Erro(buscaReducoes): ", 0), 0u) << bridge.ui.log.back();
  EXPECT_EQ(Flags(bridge), std::vector<std::string>{"1=0"});
}

}  // namespace
}  // namespace veltrix
