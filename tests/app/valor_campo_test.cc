// Money columns of point-of-sale rows: NULL reads as zero, never an error.
#include "app/valor_campo.h"

#include <gtest/gtest.h>

#include "app/ib_error.h"
#include "pos_test_db.h"

namespace veltrix {
namespace {

TEST(ValorCampoTest, NullIsZeroAndNumbersAreMoney) {
  EXPECT_EQ(valorCampo(TIBValue()), Money());
  EXPECT_EQ(valorCampo(TIBValue::Currency(125000)), Money::FromText("12,5"));
  EXPECT_EQ(valorCampo(TIBValue::Scaled(1234567, 2)), Money::FromText("12345,67"));
  EXPECT_EQ(valorCampo(TIBValue::Integer(15)), Money::FromWhole(15));
  EXPECT_THROW(valorCampo(TIBValue::Text("abc")), EIBError);
}

// A Z reduction as the point of sale stores it: a NULL total reads as 0, the
// counters and the numeric(15,4) totals as money, and a missing column is
// the link's error.
TEST(ValorCampoTest, ReadsTheCurrentRowOfARealQuery) {
  veltrix_test::PosTestDatabase db;
  db.Exec("insert into sped_reducaoz (data, ecf, cont_reinicio, tot_geral, tot_canc, tot_desc) "
          "values ('2014-03-05', 105, 15, 12345.67, null, -0.0049)");
  db.query.SetSQL("select * from sped_reducaoz");
  db.query.Open();
  ASSERT_FALSE(db.query.Eof());
  EXPECT_EQ(valorCampo(db.query, "tot_geral"), Money::FromText("12345,67"));
  EXPECT_EQ(valorCampo(db.query, "TOT_CANC"), Money());
  EXPECT_EQ(valorCampo(db.query, "cont_reinicio"), Money::FromWhole(15));
  EXPECT_EQ(valorCampo(db.query, "tot_desc"), Money::FromTenThousandths(-49));
  EXPECT_THROW(valorCampo(db.query, "tot_bogus"), EIBError);
}

}  // namespace
}  // namespace veltrix
