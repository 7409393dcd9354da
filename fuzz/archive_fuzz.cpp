// The draws archive file: records, the status texts and the lookups.
#include "core/draws_archive.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexa;
  const TDrawsArray draws = DecodeDraws(fuzz::Bytes(data, size));
  if (EncodeDraws(draws) != fuzz::Bytes(data, size).substr(0, draws.size() * sizeof(TDraw))) __builtin_trap();
  TDrawsArchive archive;
  archive.SetDraws(draws);
  for (int offset = 0; offset < std::min(archive.Count(), 4); ++offset) {
    archive.SetDrawsOffset(offset);
    (void)archive.Status();
    (void)archive.NextDrawNumber(offset);
    (void)archive.NextDrawText(offset);
    (void)archive.DrawCombAt(offset);
    (void)archive.NextDrawSet();
  }
  for (const TDraw& d : draws) {
    (void)archive.IndexOfDrawNumber(d.Number);
    (void)DrawDateText(d);
  }
  return 0;
}
