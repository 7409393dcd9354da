// Script lines: fields, options, the list view's row (which parses every
// filter) and the way back from a rating name.
#include "fuzz/stats_support.h"
#include "scripts/script_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexa;
  const std::string_view line = fuzz::Bytes(data, size);
  (void)IsScriptSeparator(line);
  const TScriptOptions options = ParseScriptOptions(ScriptLineOptions(line));
  (void)FormatScriptOptions(options);
  (void)ScriptOptionsText(options);
  (void)FormatScriptOptionsShort(options);
  std::array<std::string, ScriptFilterCount> filters;
  for (int i = 1; i <= static_cast<int>(ScriptFilterCount); ++i)
    filters[static_cast<size_t>(i - 1)] = ScriptLineFilter(line, i);
  (void)ComposeScriptLine(ScriptLineOptions(line), filters, ScriptLineComment(line));
  (void)ScriptRow(line, fuzz::Stats());
  (void)RatingScriptLine(line);
  (void)WordCount(line, "|#:");
  (void)ExtractWord(line, 3, "|#:");
  return 0;
}
