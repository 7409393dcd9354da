// The ".lcv" combinations file, read into a list and written back.
#include "combs/combs_list.h"
#include "core/user_interface.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexa;
  TSilentUserInterface ui;
  TCombsList combs(ui);
  combs.AppendCombsText(fuzz::Bytes(data, size));
  const std::string text = combs.CombsFileText();
  TCombsList again(ui);
  again.AppendCombsText(text);
  if (again.CombsFileText() != text) __builtin_trap();
  return 0;
}
