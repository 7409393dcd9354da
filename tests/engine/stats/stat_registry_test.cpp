// The complete registration: every method code in registration order with
// its group id and flag letters. Any change to the class table, a parameter
// range or a family's kind shows up here.
#include <gtest/gtest.h>

#include <string>

#include "acquire/demo_draws.h"
#include "core/settings.h"
#include "stats/stat_list.h"
#include "stats/stat_rows.h"

namespace vexa {
namespace {

// "CODE group flags;" for every registered method.
std::string Registration(const TStatList& list) {
  std::string text;
  for (int i = 0; i < list.Count(); ++i) {
    const TStatMethod& m = list.Items(i);
    text += m.Code() + " " + GroupId(m.StatClass->Group) + " " + KindMarks(StatFlags(*m.StatClass)) + ";";
  }
  return text;
}

TEST(StatRegistry, DefaultSettings) {
  const TDrawsArray draws;
  TStatList list{draws};
  list.RegisterAll();
  EXPECT_EQ(list.Count(), 225);
  EXPECT_EQ(Registration(list),
      "NUMS num N;DIGS num N;EVEN num NG;EVNV num SN;SMAL num NG;SMLV num SN;PRIM num NG;PRMV num SN;"
      "SUMS sum NG;SUM1 sum NG;SUM2 sum NG;SUM3 sum NG;SUMC sum DG;SUMV sum D;SUMT sum DG;SUME sum NG;"
      "SUMP sum NG;S2T3 sum NG;DIFA dif SN;DIFM dif SNG;DIFD dif NG;DIFO dif SN;DIFK dif SNG;"
      "CHAN grp N;CHNV grp N;CHNC grp NG;COLS mtx N;ROWS mtx N;COLV mtx N;ROWV mtx N;COLN mtx NG;"
      "ROWN mtx NG;COLM mtx N;ROWM mtx N;COLA mtx N;ROWA mtx N;COLC mtx NG;ROWC mtx NG;SGMS sgm N;"
      "SGMV sgm N;SGMC sgm NG;SEQL seq SN;SEQS seq SNG;LENS seq SNG;RPV2 rep D;RPV3 rep D;PRL2 rep D;"
      "PRV2O1 rep D;PRV2O2 rep D;PRV2O3 rep D;PRV+1 rep D;PRV-1 rep D;PRV+2 rep D;PRV-2 rep D;"
      "RPC2 rep D;RPC3 rep D;PRB2 rep D;RPO1 rep D;PRC2O2 rep D;PRC2O3 rep D;PRC+1 rep D;PRC-1 rep D;"
      "PRC+2 rep D;PRC-2 rep D;KNM2 num S;KNM3 num S;KNM4 num S;KNS2 num S;KNS3 num S;KNS4 num S;"
      "KNP21 num S;KNP22 num S;KNP23 num S;KNP24 num S;KNP25 num S;KNP31 num S;KNP32 num S;KNP33 num S;"
      "KNP34 num S;KNP41 num S;KNP42 num S;KNP43 num S;KDS2 dif S;KDS3 dif S;KDS4 dif S;KCM2 grp S;"
      "KCM3 grp S;KCM4 grp S;KCS2 grp S;KCS3 grp S;KCS4 grp S;KFM2 mtx S;KFM3 mtx S;KFM4 mtx S;"
      "KFS2 mtx S;KFS3 mtx S;KFS4 mtx S;KRM2 mtx S;KRM3 mtx S;KRM4 mtx S;KRS2 mtx S;KRS3 mtx S;"
      "KRS4 mtx S;KGM2 sgm S;KGM3 sgm S;KGM4 sgm S;KGS2 sgm S;KGS3 sgm S;KGS4 sgm S;POS1 num SNG;"
      "POS2 num SNG;POS3 num SNG;POS4 num SNG;POS5 num SNG;POS6 num SNG;POE1 num G;POE2 num G;"
      "CHN1 grp NG;CHN2 grp NG;CHN3 grp NG;CHN4 grp NG;CHN5 grp NG;CHN6 grp NG;CHN7 grp NG;CHN8 grp NG;"
      "CHN9 grp NG;COL1 mtx NG;COL2 mtx NG;COL3 mtx NG;COL4 mtx NG;COL5 mtx NG;ROW1 mtx NG;ROW2 mtx NG;"
      "ROW3 mtx NG;ROW4 mtx NG;ROW5 mtx NG;ROW6 mtx NG;ROW7 mtx NG;ROW8 mtx NG;ROW9 mtx NG;SGM1 sgm NG;"
      "GRPV ser D;GRPP ser D;GRCV ser D;GRCP ser D;GRSV ser D;GRSP ser D;PRDV per P;PRDC per P;"
      "PRDG per P;SDV2 mov D;SDP2 mov SD;SDN1 mov SD;SDN2 mov SD;SDN3 mov SD;SDN4 mov SD;SDN5 mov SD;"
      "SDN6 mov SD;SDP3 mov SD;SDM1 mov SD;SDM2 mov SD;SDM3 mov SD;SDM4 mov SD;SDM5 mov SD;SDM6 mov SD;"
      "SCV2 mov D;SCP2 mov SD;SCN1 mov SD;SCN2 mov SD;SCN3 mov SD;SCN4 mov SD;SCN5 mov SD;SCN6 mov SD;"
      "SCP3 mov SD;SCM1 mov SD;SCM2 mov SD;SCM3 mov SD;SCM4 mov SD;SCM5 mov SD;SCM6 mov SD;SC2C1 mov D;"
      "SC2C2 mov D;SC2C3 mov D;SC2C4 mov D;SC2C5 mov D;SC2C6 mov D;SC2C7 mov D;SC2C8 mov D;SC2C9 mov D;"
      "SC3C1 mov D;SC3C2 mov D;SC3C3 mov D;SC3C4 mov D;SC3C5 mov D;SC3C6 mov D;SC3C7 mov D;SC3C8 mov D;"
      "SC3C9 mov D;SDA2 mov D;SDG2 mov D;SDZ2 mov D;SDC2 mov D;SSV2 mov D;SSP2 mov SD;SSN1 mov SD;"
      "SSN2 mov SD;SSN3 mov SD;SSN4 mov SD;SSN5 mov SD;SSN6 mov SD;SSP3 mov SD;SSM1 mov SD;SSM2 mov SD;"
      "SSM3 mov SD;SSM4 mov SD;SSM5 mov SD;SSM6 mov SD;SS2C1 mov D;SS3C1 mov D;HCO1 ogn SNG;"
      "HCO2 ogn SNG;HCO3 ogn SD;SHR1 shr SNG;SHR2 shr SNG;SHR3 shr SNG;");
}

TEST(StatRegistry, SettingsShapeTheParameterisedMethods) {
  const TDrawsArray draws;
  TStatList list{draws};
  list.Config.ChannelSize = 7;
  list.Config.MatrixCols = 9;
  list.Config.MatrixSegments = MatrixSegmentsFromText("000000111111111112222222222223333333333333333");
  list.RegisterAll();
  // Seven channels, nine columns and five rows, segments 0 to 3.
  EXPECT_EQ(list.Count(), 228);
  EXPECT_EQ(Registration(list),
      "NUMS num N;DIGS num N;EVEN num NG;EVNV num SN;SMAL num NG;SMLV num SN;PRIM num NG;PRMV num SN;"
      "SUMS sum NG;SUM1 sum NG;SUM2 sum NG;SUM3 sum NG;SUMC sum DG;SUMV sum D;SUMT sum DG;SUME sum NG;"
      "SUMP sum NG;S2T3 sum NG;DIFA dif SN;DIFM dif SNG;DIFD dif NG;DIFO dif SN;DIFK dif SNG;"
      "CHAN grp N;CHNV grp N;CHNC grp NG;COLS mtx N;ROWS mtx N;COLV mtx N;ROWV mtx N;COLN mtx NG;"
      "ROWN mtx NG;COLM mtx N;ROWM mtx N;COLA mtx N;ROWA mtx N;COLC mtx NG;ROWC mtx NG;SGMS sgm N;"
      "SGMV sgm N;SGMC sgm NG;SEQL seq SN;SEQS seq SNG;LENS seq SNG;RPV2 rep D;RPV3 rep D;PRL2 rep D;"
      "PRV2O1 rep D;PRV2O2 rep D;PRV2O3 rep D;PRV+1 rep D;PRV-1 rep D;PRV+2 rep D;PRV-2 rep D;"
      "RPC2 rep D;RPC3 rep D;PRB2 rep D;RPO1 rep D;PRC2O2 rep D;PRC2O3 rep D;PRC+1 rep D;PRC-1 rep D;"
      "PRC+2 rep D;PRC-2 rep D;KNM2 num S;KNM3 num S;KNM4 num S;KNS2 num S;KNS3 num S;KNS4 num S;"
      "KNP21 num S;KNP22 num S;KNP23 num S;KNP24 num S;KNP25 num S;KNP31 num S;KNP32 num S;KNP33 num S;"
      "KNP34 num S;KNP41 num S;KNP42 num S;KNP43 num S;KDS2 dif S;KDS3 dif S;KDS4 dif S;KCM2 grp S;"
      "KCM3 grp S;KCM4 grp S;KCS2 grp S;KCS3 grp S;KCS4 grp S;KFM2 mtx S;KFM3 mtx S;KFM4 mtx S;"
      "KFS2 mtx S;KFS3 mtx S;KFS4 mtx S;KRM2 mtx S;KRM3 mtx S;KRM4 mtx S;KRS2 mtx S;KRS3 mtx S;"
      "KRS4 mtx S;KGM2 sgm S;KGM3 sgm S;KGM4 sgm S;KGS2 sgm S;KGS3 sgm S;KGS4 sgm S;POS1 num SNG;"
      "POS2 num SNG;POS3 num SNG;POS4 num SNG;POS5 num SNG;POS6 num SNG;POE1 num G;POE2 num G;"
      "CHN1 grp NG;CHN2 grp NG;CHN3 grp NG;CHN4 grp NG;CHN5 grp NG;CHN6 grp NG;CHN7 grp NG;COL1 mtx NG;"
      "COL2 mtx NG;COL3 mtx NG;COL4 mtx NG;COL5 mtx NG;COL6 mtx NG;COL7 mtx NG;COL8 mtx NG;COL9 mtx NG;"
      "ROW1 mtx NG;ROW2 mtx NG;ROW3 mtx NG;ROW4 mtx NG;ROW5 mtx NG;SGM0 sgm NG;SGM1 sgm NG;SGM2 sgm NG;"
      "SGM3 sgm NG;GRPV ser D;GRPP ser D;GRCV ser D;GRCP ser D;GRSV ser D;GRSP ser D;PRDV per P;"
      "PRDC per P;PRDG per P;SDV2 mov D;SDP2 mov SD;SDN1 mov SD;SDN2 mov SD;SDN3 mov SD;SDN4 mov SD;"
      "SDN5 mov SD;SDN6 mov SD;SDP3 mov SD;SDM1 mov SD;SDM2 mov SD;SDM3 mov SD;SDM4 mov SD;SDM5 mov SD;"
      "SDM6 mov SD;SCV2 mov D;SCP2 mov SD;SCN1 mov SD;SCN2 mov SD;SCN3 mov SD;SCN4 mov SD;SCN5 mov SD;"
      "SCN6 mov SD;SCP3 mov SD;SCM1 mov SD;SCM2 mov SD;SCM3 mov SD;SCM4 mov SD;SCM5 mov SD;SCM6 mov SD;"
      "SC2C1 mov D;SC2C2 mov D;SC2C3 mov D;SC2C4 mov D;SC2C5 mov D;SC2C6 mov D;SC2C7 mov D;SC3C1 mov D;"
      "SC3C2 mov D;SC3C3 mov D;SC3C4 mov D;SC3C5 mov D;SC3C6 mov D;SC3C7 mov D;SDA2 mov D;SDG2 mov D;"
      "SDZ2 mov D;SDC2 mov D;SSV2 mov D;SSP2 mov SD;SSN1 mov SD;SSN2 mov SD;SSN3 mov SD;SSN4 mov SD;"
      "SSN5 mov SD;SSN6 mov SD;SSP3 mov SD;SSM1 mov SD;SSM2 mov SD;SSM3 mov SD;SSM4 mov SD;SSM5 mov SD;"
      "SSM6 mov SD;SS2C0 mov D;SS2C1 mov D;SS2C2 mov D;SS2C3 mov D;SS3C0 mov D;SS3C1 mov D;SS3C2 mov D;"
      "SS3C3 mov D;HCO1 ogn SNG;HCO2 ogn SNG;HCO3 ogn SD;SHR1 shr SNG;SHR2 shr SNG;SHR3 shr SNG;");
}

// The statistics list of every registered method over a demo archive, at
// the newest draw and at an offset, sorted and not: no method may throw,
// and every row must be one the list and the scripts can read.
TEST(StatRegistry, EveryMethodGivesWellFormedRows) {
  const TDrawsArray draws = GenerateDemoDraws(1500, 7);
  TStatList list{draws};
  list.RegisterAll();
  for (int i = 0; i < list.Count(); ++i) {
    const std::string code = list.Items(i).Code();
    for (const TStatRowsParams params : {TStatRowsParams{.WindowLength = 1000, .DrawsOffset = 0, .Sorted = false, .ShowTotalLine = false},
                                         TStatRowsParams{.WindowLength = 300, .DrawsOffset = 7, .Sorted = true, .ShowTotalLine = false}}) {
      const auto stat = list.CreateStat(i);
      TStatRows rows;
      ASSERT_NO_THROW(rows = RecalculateStat(*stat, list.Config.Cdl, params, nullptr)) << code;
      EXPECT_EQ(rows.Window, params.WindowLength) << code;
      int64_t hits = 0;
      for (size_t r = 0; r < rows.Rows.size(); ++r) {
        const TStatRowTexts& t = rows.Rows[r].Texts;
        EXPECT_FALSE(t[scValue].empty()) << code << " row " << r;
        for (const std::string& text : t)
          EXPECT_EQ(text.find_first_of("\t\r\n"), std::string::npos) << code << " row " << r << ": " << text;
        const int count = StrToIntDef(t[scHits], -1);
        EXPECT_GE(count, 0) << code << " row " << r << ": " << t[scHits];
        EXPECT_EQ(count, rows.Rows[r].Rec.Hits) << code << " row " << r;
        hits += count;
        const TStatValues v = StatValuesOf(rows.Rows, static_cast<int>(r));
        EXPECT_EQ(v.Value, t[scValue]) << code;
      }
      EXPECT_EQ(hits, rows.Totals.SumHits) << code;
    }
  }
}

}  // namespace
}  // namespace vexa
