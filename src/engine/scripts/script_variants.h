// The variants of a script line's filters and the tests a script run makes
// on the rows of the statistics table.
//
// A line's used filters (1 to 7) make the Cartesian product of their
// choices: every window length, and for the single-value level modes every
// condition value, the first filter varying slowest. The list modes test all
// their values in one variant. Pure functions, no state.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/game.h"
#include "scripts/script_text.h"
#include "stats/stat_rows.h"

namespace vexa {

inline constexpr const char* BadFilterFormat = "Некорректное описание фильтра: %s!";
// A filter naming no registered method at all.
inline constexpr const char* UnknownMethodFormat =
    "Метод расчета статистики \"%s\" не зарегистрирован в программе!\rФильтр: %s\r\rВозможно, сценарий создан "
    "другой модификацией программы.";
inline constexpr const char* TooManyVariantsText =
    "Вы задали слишком много вариантов фильтров - программа не сможет обработать их все!\rПожалуйста, уменьшите в "
    "каждом из фильтров количество вариантов длины выборки и глубины, а затем повторите попытку.";
// More variants than this are refused as if memory had run out.
inline constexpr int64_t MaxFilterVariants = int64_t{1} << 22;

// ---- Filter variants -------------------------------------------------------------

// Level modes whose every value makes a variant of its own; the other modes
// test the whole list in one variant.
bool IsSingleValueLevelMode(int mode);

// The variants of a line's used filters, in order: the window lengths and
// condition values of every position, the last position varying fastest.
// A variant is kept as one choice index per position, so a long list costs
// little memory; its parts are made when it is asked for.
class TFilterVariants {
 public:
  int Positions() const { return static_cast<int>(Items_.size()); }
  int Count() const { return static_cast<int>(Indexes_.size()); }
  // REQUIRES: 0 <= v < Count(). Positions past Positions() are unused.
  TFilterSet Set(int v) const;
  void Clear();

 private:
  friend class TFilterVariantBuilder;
  struct TPosition {
    TFilterItem Item;
    TIntArray Lengths;
    TIntArray Values;
    bool Single = false;  // one variant per value
    std::string List;     // the values joined by ","
  };
  TFilterPart Part(size_t d, uint32_t choice) const;
  std::vector<TPosition> Items_;
  std::vector<std::array<uint32_t, ScriptFilterCount>> Indexes_;
};

struct TVariantHooks {
  std::function<bool()> Stopped;             // polled before every choice; true ends the building
  std::function<void(int count)> Progress;   // after every 1000th variant
};

// The variants of `items` (the used filters, 1 to 7 of them). Throws
// EVexaError BadFilterFormat for a filter without window lengths or, in a
// mode other than 0, without values (also for no filter at all), and
// UnknownMethodFormat for a filter naming no registered method;
// std::bad_alloc when there would be more than MaxFilterVariants.
// A stop leaves the variants made so far.
TFilterVariants BuildFilterVariants(const std::vector<TFilterItem>& items, const TVariantHooks& hooks = {});

// ---- Row conditions --------------------------------------------------------------

// A column text read as a number (the table's decimal separator), or def.
double ColumnNumberDef(std::string_view text, double def);

// Whether a row of the statistics table meets a part's condition. The
// value is the row's value as the method's integer (mode 31). Throws
// EConvertError when a list mode meets a column text that is not a number,
// or the condition argument is not one.
bool RowMeetsCondition(const TStatValues& row, int32_t value, uint8_t levelMode, std::string_view levelArg);

// The row as the log shows it: "< [v] кол-во: ... вес: ... >".
std::string StatRowLogText(const TStatValues& row);

// "03.012: comment @ description", or "03.012: @ description" without a comment.
std::string StakeOriginText(int line, int variant, std::string_view comment, std::string_view description);

// An index 0 .. n-1, every one equally likely. REQUIRES: n > 0.
uint64_t RandomIndex(std::mt19937_64& random, uint64_t n);

}  // namespace vexa
