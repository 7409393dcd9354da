// A results month page as the download reads it.
#include "acquire/download.h"
#include "core/error.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexa;
  try {
    (void)ReadMonthPage(fuzz::Bytes(data, size), 0);
  } catch (const EVexaError&) {
  }
  return 0;
}
