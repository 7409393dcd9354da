#include "scripts/script_variants.h"

#include <charconv>
#include <limits>
#include <new>

#include "core/error.h"
#include "core/format.h"

namespace vexa {
namespace {

constexpr const char* ValueListDelimiters = ",;";

// ---- Reading the column texts ----------------------------------------------------

bool ReadNumber(std::string_view text, double& value) {
  std::string s(Trim(text));
  const std::string& separator = FormatSettings().DecimalSeparator;
  if (!separator.empty() && separator != ".")
    for (size_t at = s.find(separator); at != std::string::npos; at = s.find(separator, at + 1))
      s.replace(at, separator.size(), ".");
  if (!s.empty() && s[0] == '+') s.erase(0, 1);
  if (s.empty()) return false;
  const char* end = s.data() + s.size();
  const auto [ptr, ec] = std::from_chars(s.data(), end, value);
  return ec == std::errc() && ptr == end;
}

int32_t StrictInt(std::string_view text) {
  int32_t v = 0;
  if (!TryStrToInt(text, v)) throw EConvertError(Format("Значение \"%s\" не является целым числом!", {text}));
  return v;
}

double StrictNumber(std::string_view text) {
  double v = 0;
  if (!ReadNumber(text, v)) throw EConvertError(Format("Значение \"%s\" не является числом!", {text}));
  return v;
}

template <typename F>
void ForEachListWord(std::string_view text, F f) {
  const int words = WordCount(text, ValueListDelimiters);
  for (int n = 1; n <= words; ++n) f(ExtractWord(text, n, ValueListDelimiters));
}

bool InIntList(int32_t value, std::string_view list) {
  bool found = false;
  ForEachListWord(list, [&](const std::string& w) { found = StrictInt(w) == value || found; });
  return found;
}

bool InNumberList(double value, std::string_view list) {
  bool found = false;
  ForEachListWord(list, [&](const std::string& w) { found = StrictNumber(w) == value || found; });
  return found;
}

}  // namespace

double ColumnNumberDef(std::string_view text, double def) {
  double v = 0;
  return ReadNumber(text, v) ? v : def;
}

// ---- Texts ---------------------------------------------------------------------------

std::string StatRowLogText(const TStatValues& row) {
  return Format("< [%s] кол-во: %s (%s %%), отклонение: %s (%s %%), глубина: %s (%s %%), вес: %s >",
                {row.Value, row.Count, row.CountPercent, row.Deviation, row.DeviationPercent, row.Depth,
                 row.DepthPercent, row.Weight});
}

std::string StakeOriginText(int line, int variant, std::string_view comment, std::string_view description) {
  std::string s = Format("%.2d.%.3d:", {line, variant});
  if (!comment.empty()) (s += " ") += comment;
  return s + " @ " + std::string(description);
}

uint64_t RandomIndex(std::mt19937_64& random, uint64_t n) {
  // A value in the incomplete stretch at the top of the range is drawn again.
  const uint64_t limit = std::numeric_limits<uint64_t>::max() - std::numeric_limits<uint64_t>::max() % n;
  uint64_t x = random();
  while (x >= limit) x = random();
  return x % n;
}

// ---- Filter variants ---------------------------------------------------------------

bool IsSingleValueLevelMode(int mode) {
  return (mode >= lmLMV && mode <= lmLLP) || (mode >= lmDMV && mode <= lmDLP) || (mode >= lmCMV && mode <= lmCLP) ||
         (mode >= lmWMV && mode <= lmPXR);
}

TFilterPart TFilterVariants::Part(size_t d, uint32_t choice) const {
  const TPosition& p = Items_[d];
  if (p.Single) {
    const size_t per = p.Values.size();
    const std::string value = std::to_string(p.Values[choice % per]);
    return MakeFilterPart(p.Item, p.Lengths[choice / per], value, value);
  }
  return MakeFilterPart(p.Item, p.Lengths[choice], p.Item.LevelMode == lmLNO ? p.Item.LevelValue : p.List,
                        p.Item.LevelValue);
}

TFilterSet TFilterVariants::Set(int v) const {
  TFilterSet set;
  const auto& indexes = Indexes_.at(static_cast<size_t>(v));
  for (size_t d = 0; d < Items_.size(); ++d) set[d] = Part(d, indexes[d]);
  return set;
}

void TFilterVariants::Clear() {
  Items_.clear();
  Indexes_.clear();
}

class TFilterVariantBuilder {
 public:
  TFilterVariantBuilder(const std::vector<TFilterItem>& items, const TVariantHooks& hooks)
      : Items_(items), Hooks_(hooks) {}

  TFilterVariants Build() {
    // No filter at all: position 1 has no window length.
    if (Items_.empty()) throw EVexaError(Format(BadFilterFormat, {FormatFilterItem(TFilterItem{})}));
    Prepared_.assign(Items_.size(), false);
    Out_.Items_.resize(Items_.size());
    Expand(0);
    return std::move(Out_);
  }

 private:
  bool Stopped() {
    Halted_ = Halted_ || (Hooks_.Stopped && Hooks_.Stopped());
    return Halted_;
  }

  // The window lengths and values of position d, checked.
  void Prepare(size_t d) {
    const TFilterItem& item = Items_[d];
    if (item.Stat == nullptr && !item.StatText.empty())
      throw EVexaError(Format(UnknownMethodFormat, {ExtractWord(item.StatText, 1, ":"), FormatFilterItem(item)}));
    TFilterVariants::TPosition& p = Out_.Items_[d];
    p.Item = item;
    p.Lengths = ParseValueList(item.DrawsLen);
    if (item.LevelMode != lmLNO) p.Values = ParseValueList(item.LevelValue);
    if (p.Lengths.empty() || (item.LevelMode != lmLNO && p.Values.empty()))
      throw EVexaError(Format(BadFilterFormat, {FormatFilterItem(item)}));
    p.Single = IsSingleValueLevelMode(item.LevelMode);
    for (int32_t v : p.Values) {
      if (!p.List.empty()) p.List += ",";
      p.List += std::to_string(v);
    }
    const int64_t choices =
        static_cast<int64_t>(p.Lengths.size()) * (p.Single ? static_cast<int64_t>(p.Values.size()) : 1);
    if (choices > MaxFilterVariants || Product_ * choices > MaxFilterVariants) throw std::bad_alloc();
    Product_ *= choices;
    Prepared_[d] = true;
  }

  void Expand(size_t d) {
    if (!Prepared_[d]) Prepare(d);
    const TFilterVariants::TPosition& p = Out_.Items_[d];
    const size_t perLength = p.Single ? p.Values.size() : 1;
    for (size_t wi = 0; wi < p.Lengths.size(); ++wi) {
      if (Stopped()) return;
      for (size_t qi = 0; qi < perLength; ++qi) {
        if (p.Single && Stopped()) return;
        Current_[d] = static_cast<uint32_t>(wi * perLength + qi);
        if (d + 1 < Items_.size()) {
          Expand(d + 1);
          if (Halted_) return;
        } else {
          Out_.Indexes_.push_back(Current_);
          const size_t count = Out_.Indexes_.size();
          if (count % 1000 == 0 && Hooks_.Progress) Hooks_.Progress(static_cast<int>(count));
        }
      }
    }
  }

  const std::vector<TFilterItem>& Items_;
  const TVariantHooks& Hooks_;
  TFilterVariants Out_;
  std::vector<bool> Prepared_;
  std::array<uint32_t, ScriptFilterCount> Current_{};
  int64_t Product_ = 1;
  bool Halted_ = false;
};

TFilterVariants BuildFilterVariants(const std::vector<TFilterItem>& items, const TVariantHooks& hooks) {
  return TFilterVariantBuilder(items, hooks).Build();
}

// ---- Row conditions ------------------------------------------------------------------

bool RowMeetsCondition(const TStatValues& row, int32_t value, uint8_t levelMode, std::string_view levelArg) {
  auto t = [&] { return StrictInt(levelArg); };
  auto atLeast = [&](const std::string& text) { return StrToIntDef(text, 0) >= t(); };
  auto atMost = [&](const std::string& text) { return StrToIntDef(text, 65535) <= t(); };
  auto atLeastNumber = [&](const std::string& text) { return ColumnNumberDef(text, 0) >= t(); };
  auto atMostNumber = [&](const std::string& text, double def) { return ColumnNumberDef(text, def) <= t(); };
  auto inInts = [&](const std::string& text) { return InIntList(StrictInt(text), levelArg); };
  auto inNumbers = [&](const std::string& text) { return InNumberList(StrictNumber(text), levelArg); };
  switch (levelMode) {
    case lmLNO: return true;
    case lmLMV: return atLeast(row.Depth);
    case lmDMV: return atLeast(row.Deviation);
    case lmCMV: return atLeast(row.Count);
    case lmLLV: return atMost(row.Depth);
    case lmDLV: return atMost(row.Deviation);
    case lmCLV: return atMost(row.Count);
    case lmLMP: return atLeastNumber(row.DepthPercent);
    case lmDMP: return atLeastNumber(row.DeviationPercent);
    case lmCMP: return atLeastNumber(row.CountPercent);
    case lmLLP: return atMostNumber(row.DepthPercent, 65535);
    case lmDLP: return atMostNumber(row.DeviationPercent, 65535);
    case lmCLP: return atMostNumber(row.CountPercent, 65535);
    case lmLDV: return inInts(row.Depth);
    case lmDDV: return inInts(row.Deviation);
    case lmCDV: return inInts(row.Count);
    case lmLDP: return inNumbers(row.DepthPercent);
    case lmDDP: return inNumbers(row.DeviationPercent);
    case lmCDP: return inNumbers(row.CountPercent);
    case lmWMV: return atLeastNumber(row.Weight);
    case lmWLV: return atMostNumber(row.Weight, 0);
    case lmWDV: return inNumbers(row.Weight);
    case lmPIM: return atLeast(row.PeriodMin);
    case lmPXM: return atLeast(row.PeriodMax);
    case lmPIL: return atMost(row.PeriodMin);
    case lmPXL: return atMost(row.PeriodMax);
    case lmPIR: return inInts(row.PeriodMin);
    case lmPXR: return inInts(row.PeriodMax);
    case lmPAM: return atLeastNumber(row.Period);
    case lmPAL: return atMostNumber(row.Period, 0);
    case lmPAR: return inNumbers(row.Period);
    case lmLVA: return InIntList(value, levelArg);
    default: return false;
  }
}

}  // namespace vexa
