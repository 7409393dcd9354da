// The matrix and segment methods over the full set of combinations.
//
// The cases are those of method_bench.h, with BM_Values: CalcCombination
// alone, the method's share of BM_FullSet.
//
// Default settings (5 columns) except the segment table, which is nine
// blocks of five numbers (one segment makes every segment method trivial).
// The "@1" cases run with MatrixCols 1: 45 rows, the widest row pattern and
// the largest row tuple tables.
#include <string>

#include "acquire/demo_draws.h"
#include "core/settings.h"
#include "method_bench.h"

namespace vexa {
namespace {

constexpr const char* Codes[] = {
    "COLS", "ROWS", "COLV", "ROWV", "COLN", "ROWN", "COLM", "ROWM", "COLA", "ROWA", "COLC", "ROWC",
    "KFM2", "KFM3", "KFM4", "KFS2", "KFS3", "KFS4", "KRM2", "KRM3", "KRM4", "KRS2", "KRS3", "KRS4",
    "COL1", "COL5", "ROW1", "ROW9", "SGMS", "SGMV", "SGMC", "KGM2", "KGM3", "KGM4", "KGS2", "KGS3",
    "KGS4", "SGM1", "SGM9"};
constexpr const char* OneColumnCodes[] = {"ROWS", "ROWV", "ROWM", "COLA", "KRM4", "KRS4", "ROW45"};
struct TBenchData {
  TDrawsArray Draws = GenerateDemoDraws(1000, 7);
  TStatList List{Draws};
  TStatList OneColumn{Draws};

  TBenchData() {
    std::string blocks;
    for (char s = '1'; s <= '9'; ++s) blocks += std::string(5, s);
    List.Config.MatrixSegments = MatrixSegmentsFromText(blocks);
    List.RegisterAll();
    OneColumn.Config.MatrixCols = 1;
    OneColumn.RegisterAll();
  }
};

const bool Registered = [] {
  static TBenchData d;
  for (const char* code : Codes) bench::RegisterMethod(d.List, code, {.Suffix = "", .Values = true, .Window = bench::DefaultWindow});
  for (const char* code : OneColumnCodes) bench::RegisterMethod(d.OneColumn, code, {.Suffix = "@1", .Values = true, .Window = bench::DefaultWindow});
  return true;
}();

}  // namespace
}  // namespace vexa
