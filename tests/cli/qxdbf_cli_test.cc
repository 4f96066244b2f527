// qxdbf on tables written by another DBF implementation, and its writes
// read back by that implementation.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "test_util.h"

namespace {

using qxdbf_test::ChildProcess;
using qxdbf_test::CliProgram;
using qxdbf_test::TempDir;

const char* const kPython = "/usr/bin/python3";

std::vector<std::string> Lines(const std::vector<std::string>& argv, int* status = nullptr) {
  ChildProcess child(argv);
  std::vector<std::string> lines;
  for (std::string line = child.ReadLine(); !line.empty(); line = child.ReadLine()) lines.push_back(line);
  const int exit_status = child.Wait();
  if (status) *status = exit_status;
  return lines;
}

class PeerTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dir.File("peer.dbf");
    if (access(kPython, X_OK) != 0 ||
        qxdbf_test::RunProgram({kPython, PEER_TABLE_SCRIPT, "write", path}) != 0)
      GTEST_SKIP() << "python3-dbf is not installed";
  }
  TempDir dir;
  std::string path;
};

TEST_F(PeerTableTest, InfoDescribesTheTable) {
  const auto lines = Lines({CliProgram(), "info", path});
  const std::vector<std::string> expected = {
      "Version byte:   0x03 (xBaseIII)", "Header length:  257", "Record length:  91",
      "Records:        3", "Fields:         7"};
  for (const auto& want : expected)
    EXPECT_NE(std::find(lines.begin(), lines.end(), want), lines.end()) << want;
  auto field = [&](const std::string& prefix) {
    for (const auto& l : lines)
      if (l.rfind(prefix, 0) == 0) return l;
    return std::string();
  };
  EXPECT_EQ(field("3   QUANT"), "3   QUANT        N    -                      10    3      54  ftFloat");
  EXPECT_EQ(field("7   ESTOQUE"), "7   ESTOQUE      N    -                       6    0      85  ftInteger");
}

TEST_F(PeerTableTest, DumpPrintsWhatThePeerStored) {
  EXPECT_EQ(Lines({CliProgram(), "dump", path}),
            (std::vector<std::string>{"CODIGO,NOME,QUANT,PRECO,DATA,ATIVO,ESTOQUE",
                                      "7891234567890,\"CAFE, \"\"TORRADO\"\" 500G\",12.500,15.90,2024-02-29,T,42",
                                      "456,SAL,0.001,1.00,1999-12-31,,0"}));
  const auto all = Lines({CliProgram(), "dump", path, "--deleted"});
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[2], "*,123,ACUCAR,-3.000,4.25,,F,-7");
}

TEST_F(PeerTableTest, WritesReadBackInThePeer) {
  int status = -1;
  EXPECT_EQ(Lines({CliProgram(), "append", path, "CODIGO=555", "NOME=PAO", "QUANT=7.25",
                   "DATA=2025-01-31", "ATIVO=T", "ESTOQUE=12"}, &status),
            std::vector<std::string>{"4"});
  EXPECT_EQ(status, 0);
  Lines({CliProgram(), "set", path, "1", "QUANT=99.5", "NOME=CAFE"}, &status);
  EXPECT_EQ(status, 0);
  Lines({CliProgram(), "delete", path, "3"}, &status);
  EXPECT_EQ(status, 0);
  Lines({CliProgram(), "recall", path, "2"}, &status);
  EXPECT_EQ(status, 0);
  Lines({CliProgram(), "set", path, "1", "NOPE=1"}, &status);
  EXPECT_EQ(status, 1);
  Lines({CliProgram(), "set", path, "9", "QUANT=1"}, &status);
  EXPECT_EQ(status, 1);

  EXPECT_EQ(Lines({kPython, PEER_TABLE_SCRIPT, "read", path}),
            (std::vector<std::string>{
                "CODIGO=7891234567890|NOME=CAFE|QUANT=99.5|PRECO=15.9|DATA=2024-02-29|ATIVO=True|ESTOQUE=42",
                "CODIGO=123|NOME=ACUCAR|QUANT=-3.0|PRECO=4.25|DATA=None|ATIVO=False|ESTOQUE=-7",
                "CODIGO=555|NOME=PAO|QUANT=7.25|PRECO=None|DATA=2025-01-31|ATIVO=True|ESTOQUE=12"}));
}

TEST(CliTest, WrongUsageAndMissingFiles) {
  int status = 0;
  Lines({CliProgram()}, &status);
  EXPECT_EQ(status, 2);
  Lines({CliProgram(), "info", "/nonexistent/x.dbf"}, &status);
  EXPECT_EQ(status, 1);
  Lines({CliProgram(), "lock", "x.dbf", "--file"}, &status);
  EXPECT_EQ(status, 2);
}

}  // namespace
