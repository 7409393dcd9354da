// What the two script editing dialogs hold and check, without a window: the
// line dialog (a script line's options, seven filter texts and comment) and
// the filter dialog (one filter). A front end fills its controls from these
// records, hands them back on OK and shows the refusal message, focusing
// the named control.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/game.h"
#include "scripts/script_text.h"

namespace vexa {

// ---- Line dialog -----------------------------------------------------------------

inline constexpr const char* ScriptLineDialogCaption = "Элемент сценария";
inline constexpr const char* ClearStakesCheckText = "Удалить все ставки перед выполнением (накопление только рейтинга)";
inline constexpr const char* NewOnlyCheckText =
    "Только новые ставки (пропускать те ставки, которые уже есть в списке)";

struct TScriptLineInput {
  std::string Comment;
  TScriptOptions Options;
  std::array<std::string, ScriptFilterCount> Filters;  // as typed

  bool operator==(const TScriptLineInput&) const = default;
};

// A new line: empty fields, N from the main window's exclusion count.
TScriptLineInput NewScriptLineInput(int32_t combsExclude);
// Filled from a line: its comment, parsed options and raw filter fields.
TScriptLineInput ScriptLineInputOf(std::string_view line);
// The dialog's OK: no checks, the line as ComposeScriptLine makes it.
std::string ComposeScriptLine(const TScriptLineInput& input);

// ---- Filter dialog ---------------------------------------------------------------

inline constexpr const char* FilterDialogCaption = "Фильтр";
inline constexpr std::array<const char*, 2> FilterDirectionTexts = {"Сверху-вниз", "Снизу-вверх"};
inline constexpr std::array<const char*, 2> FilterModeTexts = {"Удалить выделенные", "Оставить выделенные"};
inline constexpr const char* BadValueRangeMessage = "Введен некорректный диапазон значений!";
inline constexpr const char* NoValueListModeMessage =
    "Для данного вида статистики не доступен режим выделения по списку значений!";
inline constexpr const char* MultiSelectCountStopMessage =
    "В режиме мультивыделения остановка сценария по количеству комбинаций или чисел не может быть "
    "выполнена!\rВыберите другой способ останова.";
inline constexpr const char* FilterStatListName = "cbDrawsStatType";

// The controls' values when the dialog opens: a used filter as it is, an
// unused one from the main window's method and window length (sort column
// 1, stop value 1). The coefficient boxes show the global weights whenever
// the filter does not override them; the stop value is at least 1.
TFilterItem FilterDialogValues(const TFilterItem& item, const TStatMethod* currentStat, int32_t currentDrawsLen,
                               const TCdl& globalCdl);

struct TFilterDialogEnabling {
  bool CDLOverride = false;   // cbCDLOverride: the three "Вес" level modes
  bool Coefficients = false;  // the coefficient boxes and both flags
};
TFilterDialogEnabling FilterDialogEnabling(uint8_t levelMode, bool cdlOverrideChecked);

// edDrawsLen and edLevelValue take control keys, digits, ",", "-" and ";".
bool IsFilterValueKey(char32_t key);

enum class TFilterField { None, Stat, DrawsLen, LevelMode, LevelValue, StopMode };

struct TFilterCheck {
  std::string Message;  // "" when accepted
  TFilterField Focus = TFilterField::None;
};

// The OK check of the record rebuilt from the controls: window lengths, the
// level value list and the list mode's support, and no count stop with
// multi-selection. A record without a method is refused too.
TFilterCheck CheckFilterItem(const TFilterItem& item);

}  // namespace vexa
