// One filter of a script line: parsed against the registry, written again,
// and made into the filter part a run would apply.
#include "core/error.h"
#include "fuzz/stats_support.h"
#include "scripts/script_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexa;
  const std::string_view text = fuzz::Bytes(data, size);
  try {
    const TFilterItem item = ParseFilterItem(text, fuzz::Stats());
    const std::string again = FormatFilterItem(item);
    (void)CdlOf(item);
    (void)StatIndexOf(fuzz::Stats(), item.Stat);
    const TFilterItem second = ParseFilterItem(again, fuzz::Stats());
    (void)FormatFilterItem(second);
    (void)ReadCoefficient(text);
  } catch (const EVexaError&) {
  }
  return 0;
}
