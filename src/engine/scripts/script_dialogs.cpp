#include "scripts/script_dialogs.h"

#include <algorithm>

#include "combs/filter.h"
#include "core/format.h"

namespace vexa {

// ---- Line dialog -----------------------------------------------------------------

TScriptLineInput NewScriptLineInput(int32_t combsExclude) {
  TScriptLineInput input;
  input.Options.DrawsExclude = combsExclude;
  return input;
}

TScriptLineInput ScriptLineInputOf(std::string_view line) {
  TScriptLineInput input;
  input.Comment = ScriptLineComment(line);
  input.Options = ParseScriptOptions(ScriptLineOptions(line));
  for (int i = 1; i <= ScriptFilterCount; ++i) input.Filters[static_cast<size_t>(i - 1)] = ScriptLineFilter(line, i);
  return input;
}

std::string ComposeScriptLine(const TScriptLineInput& input) {
  return ComposeScriptLine(FormatScriptOptions(input.Options), input.Filters, input.Comment);
}

// ---- Filter dialog ---------------------------------------------------------------

TFilterItem FilterDialogValues(const TFilterItem& item, const TStatMethod* currentStat, int32_t currentDrawsLen,
                               const TCdl& globalCdl) {
  TFilterItem values = item;
  if (!item.Used) {
    values = TFilterItem{};
    values.Stat = currentStat;
    values.DrawsLen = std::to_string(currentDrawsLen);
    values.SortOrder = 1;
    values.StopValue = 1;
  }
  if (!values.CDLOverride) {
    values.CoefCount = globalCdl.Count;
    values.CoefDeviation = globalCdl.Deviation;
    values.CoefLevel = globalCdl.Level;
    values.CoefPercents = globalCdl.UsePercents;
    values.CoefAbs = globalCdl.UseAbsValues;
  }
  values.StopValue = std::max<int32_t>(values.StopValue, 1);
  return values;
}

TFilterDialogEnabling FilterDialogEnabling(uint8_t levelMode, bool cdlOverrideChecked) {
  TFilterDialogEnabling e;
  e.CDLOverride = levelMode >= lmWMV && levelMode <= lmWDV;
  e.Coefficients = e.CDLOverride && cdlOverrideChecked;
  return e;
}

bool IsFilterValueKey(char32_t key) {
  return key < U' ' || key == U'\x7f' || (key >= U'0' && key <= U'9') || key == U',' || key == U'-' || key == U';';
}

TFilterCheck CheckFilterItem(const TFilterItem& item) {
  // Only an empty method list leaves the dialog without a method.
  if (item.Stat == nullptr) return {Format(NoMethodSelectedFormat, {FilterStatListName}), TFilterField::Stat};
  const TIntArray lengths = ParseValueList(item.DrawsLen);
  if (lengths.empty() || (lengths.size() == 1 && lengths[0] == 0))
    return {BadValueRangeMessage, TFilterField::DrawsLen};
  if (item.LevelMode != lmLNO) {
    if (item.LevelMode == lmLVA && !item.Stat->StatClass->AcceptsValueList)
      return {NoValueListModeMessage, TFilterField::LevelMode};
    if (ParseValueList(item.LevelValue).empty()) return {BadValueRangeMessage, TFilterField::LevelValue};
  }
  if (item.MultiSelect && item.StopMode == smSC) return {MultiSelectCountStopMessage, TFilterField::StopMode};
  return {};
}

}  // namespace vexa
