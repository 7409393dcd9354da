#include "stats/stat.h"

#include <algorithm>
#include <filesystem>

#include "core/format.h"
#include "stats/stat_list.h"

namespace vexa {

std::string KindMarks(unsigned flags) {
  static constexpr const char* Marks[] = {"S", "N", "D", "P", "G"};
  std::string s;
  for (unsigned bit = 0; bit < 5; ++bit)
    if (flags & (1u << bit)) s += Marks[bit];
  return s;
}

namespace {

struct TGroupInfo {
  const char* Id;
  const char* Caption;
};

constexpr TGroupInfo Groups[StatGroupCount] = {
    {"num", "Числа тиража"},
    {"sum", "Сумма чисел тиража"},
    {"dif", "Разности между числами тиража"},
    {"grp", "Каналы (группы чисел)"},
    {"mtx", "Матрица тиража"},
    {"sgm", "Сегменты матрицы тиража"},
    {"seq", "Последовательности чисел в одном тираже"},
    {"rep", "Повторяющиеся числа в нескольких тиражах"},
    {"ser", "Серии (цепочки) значений"},
    {"per", "Периоды повторения значений"},
    {"mov", "Переходы (изменения) значений между тиражами"},
    {"ogn", "Характеристическое число Огнева"},
    {"shr", "Методы шинковки"},
};

bool ValidGroup(int group) { return group >= 0 && group < StatGroupCount; }

}  // namespace

std::string GroupId(int group) { return ValidGroup(group) ? Groups[group].Id : "#ERROR#"; }

std::string GroupCaption(int group) { return ValidGroup(group) ? Groups[group].Caption : "#ERROR#"; }

std::string GroupHeading(int group) {
  if (!ValidGroup(group)) return "#ERROR#";
  return Format("{ %1:s } %0:s", {Groups[group].Caption, Groups[group].Id});
}

// ---- Membership ----------------------------------------------------------------

bool HasKey(const TStatDrawArray& values, const TStatKey4& key) {
  return std::any_of(values.begin(), values.end(), [&](const TStatDraw& v) { return v.Key == key; });
}

bool HasPair(const TStatDrawArray& values, int32_t x, int32_t y) {
  return std::any_of(values.begin(), values.end(),
                     [&](const TStatDraw& v) { return Key32(v.Key, 1) == x && Key32(v.Key, 2) == y; });
}

bool HasKeyByte(const TStatDrawArray& values, int j, uint8_t x) {
  return std::any_of(values.begin(), values.end(), [&](const TStatDraw& v) { return KeyByte(v.Key, j) == x; });
}

bool HasComponent(const TStatDrawArray& values, int j, int16_t x) {
  return std::any_of(values.begin(), values.end(),
                     [&](const TStatDraw& v) { return v.Key[static_cast<size_t>(j - 1)] == x; });
}

bool HasValue32(const TStatDrawArray& values, int j, int32_t x) {
  return std::any_of(values.begin(), values.end(), [&](const TStatDraw& v) { return Key32(v.Key, j) == x; });
}

// ---- Class operations ----------------------------------------------------------

unsigned StatFlags(const TStatClass& cls) { return cls.Kind | (cls.HasGraph ? skGraph : 0u); }

std::string CodeFor(const TStatClass& cls, int param) { return Format(cls.Code, {param}); }

std::string CaptionFor(const TStatClass& cls, int param) {
  if (cls.CaptionFor != nullptr) return cls.CaptionFor(param);
  return Format(cls.Caption, {param});
}

std::string HelpTopicFor(const TStatClass& cls, int param) {
  return Format(cls.HelpTopic != nullptr ? cls.HelpTopic : cls.Code, {param});
}

void ParamRangeOf(const TStatClass& cls, const TStatList& list, int& low, int& high) {
  low = 0;
  high = 0;
  if (!cls.HasParam) return;
  if (cls.ParamRange != nullptr) {
    cls.ParamRange(list, low, high);
  } else {
    low = cls.ParamLow;
    high = cls.ParamHigh;
  }
}

std::string HelpUrlFor(const TStatClass& cls, int param, const std::string& helpFile) {
  std::error_code ec;
  if (helpFile.empty() || !std::filesystem::exists(helpFile, ec)) return "";
  return "ms-its:" + helpFile + Format("::/Filters_%.4d_%s.htm", {1049, HelpTopicFor(cls, param)});
}

// ---- TCustomStat -------------------------------------------------------------------

TCustomStat::TCustomStat(const TStatClass& cls, const TStatList& list, int param)
    : Class_(cls), List_(list), FParam(param), FDraws(&list.Draws()) {}

int32_t TCustomStat::TextToValue(std::string_view text) const { return StrToIntDef(text, 0); }

int32_t TCustomStat::ParseValue(std::string_view text) const {
  return Class_.AcceptsValueList ? TextToValue(text) : 0;
}

void TCustomStat::ListAllValues(int, TStatDrawArray&) { FRec = TStatDraw{}; }

TDraw TCustomStat::DrawAt(int index, bool sorted) const {
  TDraw d{};
  if (index >= 0 && static_cast<size_t>(index) < FDraws->size()) {
    d = (*FDraws)[static_cast<size_t>(index)];
    if (sorted) SortDrawNums(d);
  }
  return d;
}

void TCustomStat::LoadDraw(int index, int refIndex, bool sorted) {
  FDraw = DrawAt(index, sorted);
  if (Class_.Kind & skDraw) FPrevDraw = DrawAt(refIndex, sorted);
}

void TCustomStat::AddValues(const TComb&, TStatDraw&, TStatDrawArray&, bool) const {}

void TCustomStat::CalcCombination(const TComb& comb, TStatDrawArray& list) const {
  TStatDraw rec{};
  rec.Hits = 1;
  AddValues(comb, rec, list, false);
}

void TCustomStat::BeginDraw(int index, int lastIndex, bool sorted) {
  LoadDraw(index, lastIndex, sorted);
  FRec = TStatDraw{};
  FRec.Draw = FDraw.Number;
  FRec.PrevDraw = FDraw.Number;
  FRec.Age = lastIndex - index + 1;
  FRec.Hits = 1;
}

void TCustomStat::CalcDraw(int index, int lastIndex, bool sorted, TStatDrawArray& list, TStatWork&,
                           TLastValueArray&) {
  BeginDraw(index, lastIndex, sorted);
  AddValues(FDraw.Nums, FRec, list, true);
}

int TCustomStat::FindNextOccurrence(const TStatDraw& rec, int fromIndex, int lastIndex, bool sorted) {
  TStatWork work{};
  const int newest = static_cast<int>(FDraws->size()) - 1;
  for (int i = std::max(fromIndex, 0); i <= newest; ++i) {
    TStatDrawArray found;
    TLastValueArray lastSeen;
    CalcDraw(i, lastIndex, sorted, found, work, lastSeen);
    for (const TStatDraw& e : found)
      if (e.Key == rec.Key) return e.Draw;
  }
  return -1;
}

void TCustomStat::PrepareValues(const TStatDrawArray& values) {
  PreparedKeys_.clear();
  PreparedKeys_.reserve(values.size());
  for (const TStatDraw& v : values) PreparedKeys_.push_back(PackKey(v.Key));
  std::sort(PreparedKeys_.begin(), PreparedKeys_.end());
  PreparedBits_.clear();
  const bool dense = !PreparedKeys_.empty() && PreparedKeys_.back() <= 0xFFFF;
  if (dense) {
    PreparedBits_.assign(static_cast<size_t>(PreparedKeys_.back() / 64 + 1), 0);
    for (uint64_t k : PreparedKeys_) PreparedBits_[static_cast<size_t>(k / 64)] |= uint64_t{1} << (k % 64);
  }
  PreparedFor_ = &values;
  PreparedSize_ = values.size();
}

uint64_t TCustomStat::MatchWord(const TComb* in, size_t m, const TStatDrawArray& values, int lastIndex,
                               bool sorted, bool del) const {
  uint64_t word = 0;
  for (size_t j = 0; j < m; ++j)
    word |= static_cast<uint64_t>(Matches(in[j], values, lastIndex, sorted, del) != del) << j;
  return word;
}

bool TCustomStat::SelectedSorted(uint64_t packed) const {
  return std::binary_search(PreparedKeys_.begin(), PreparedKeys_.end(), packed);
}

int32_t TCustomStat::GraphValue(const TComb&, int, int, bool) { return 0; }

int32_t TCustomStat::GraphValueOfDraw(int index, int refIndex, bool sorted) {
  const TDraw d = DrawAt(index, sorted);
  return GraphValue(d.Nums, index, refIndex, sorted);
}

// ---- Family bases --------------------------------------------------------------------

std::string TCustomValuesStat::ValueToText(const TStatDraw& rec) const { return std::to_string(Key32(rec.Key)); }

std::string TCustomNumbersStat::ValueToText(const TStatDraw& rec) const { return std::to_string(Key32(rec.Key)); }

std::string TCustomGraphStat::ValueToText(const TStatDraw& rec) const { return std::to_string(Key32(rec.Key)); }

std::string TCustomMaskStat::ValueToText(const TStatDraw& rec) const {
  const int32_t v = Key32(rec.Key);
  const int bits = BitCount();
  std::string s;
  for (int b = bits - 1; b >= 0; --b) s += ((v >> b) & 1) ? OneLetter() : ZeroLetter();
  return s + Format(" (%.3d)", {v});
}

int32_t TCustomMaskStat::TextToValue(std::string_view text) const {
  // Letters may be Cyrillic: step through UTF-8 characters, not bytes.
  const std::string one = OneLetter();
  int32_t v = 0;
  size_t i = 0;
  for (int k = 0; k < BitCount(); ++k) {
    bool isOne = false;
    if (i < text.size()) {
      size_t len = 1;
      const auto b = static_cast<unsigned char>(text[i]);
      if (b >= 0xF0) len = 4;
      else if (b >= 0xE0) len = 3;
      else if (b >= 0xC0) len = 2;
      isOne = text.substr(i, len) == one;
      i += len;
    }
    v = v * 2 + (isOne ? 1 : 0);
  }
  return v;
}

void TCustomMaskStat::ListAllValues(int lastIndex, TStatDrawArray& list) {
  TCustomStat::ListAllValues(lastIndex, list);
  for (int32_t v = 0; v < (1 << BitCount()); ++v) MergeValue(list, FRec, v, false);
}

std::string TCustomRatioStat::ValueToText(const TStatDraw& rec) const {
  const int32_t k = Key32(rec.Key);
  return std::to_string(k) + ":" + std::to_string(MainCount - k);
}

int32_t TCustomRatioStat::TextToValue(std::string_view text) const {
  const size_t colon = text.find(':');
  return StrToIntDef(colon == std::string_view::npos ? text : text.substr(0, colon), 0);
}

}  // namespace vexa
