// The draws CSV import: lines, the field splitter and the numbers fields.
#include "acquire/draws_csv.h"
#include "core/file_io.h"
#include "core/format.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexa;
  std::vector<std::string> lines;
  SplitLines(fuzz::Bytes(data, size), lines);
  for (const std::string& line : lines) {
    const std::vector<std::string> fields = SplitCsvFields(line);
    for (const std::string& f : fields) (void)StrToIntDef(f, 0);
    TDraw draw;
    (void)ValidateDrawNumbers(line, draw);
    (void)MakeEnteredDraw(StrToIntDef(line, 0), line, 45000, draw);
  }
  return 0;
}
