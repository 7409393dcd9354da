// Statistic methods: the contract every method fulfils.
//
// A method maps an archive draw, or any candidate combination, to one or
// more values. A value is the four-component Key of a TStatDraw; a single
// integer lives as a signed 32-bit value over Key[0] (low) and Key[1]
// (high), a second integer over Key[2..3].
//
// A method class is a static descriptor (TStatClass: code, caption, group,
// kind, parameter range ...) plus a factory; an instance lives for one
// computation and is owned by its creator.
//
// Threads: after LoadDraw (and PrepareValues, when used), Matches and
// CalcCombination are const and may run on several threads at once. The
// other operations change the instance and are single-threaded.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/game.h"
#include "core/records.h"

namespace vexa {

class TStatList;
class TCustomStat;

// Kind bits, in the order their marks are shown.
enum TStatKindBit : unsigned {
  skSorted = 1u << 0,    // "S": depends on the order of the six numbers
  skNumbers = 1u << 1,   // "N": a combination's value depends on its numbers alone
  skDraw = 1u << 2,      // "D": depends on the reference draw too
  skPeriod = 1u << 3,    // "P": depends on when the value was last seen
  skGraph = 1u << 4,     // "G": has a graph (GetFlags only)
};

// "SNDPG" letters of a flag set, in bit order.
std::string KindMarks(unsigned flags);

constexpr int StatGroupCount = 13;
// "num" .. "shr"; "#ERROR#" outside 0..12.
std::string GroupId(int group);
std::string GroupCaption(int group);
// Format("{ %1:s } %0:s", [caption, id]); "#ERROR#" for an unknown group.
std::string GroupHeading(int group);

// The scratch block of the serial methods: 45 entries of 12 bytes, zeroed
// by the caller once per run.
using TStatWork = std::array<uint8_t, 540>;

// ---- Key conventions ---------------------------------------------------------

inline void SetKey32(TStatKey4& key, int32_t first, int32_t second = 0) {
  const auto a = static_cast<uint32_t>(first);
  const auto b = static_cast<uint32_t>(second);
  key[0] = static_cast<int16_t>(a & 0xFFFF);
  key[1] = static_cast<int16_t>(a >> 16);
  key[2] = static_cast<int16_t>(b & 0xFFFF);
  key[3] = static_cast<int16_t>(b >> 16);
}

// j = 1: the value over Key[0..1]; j = 2: over Key[2..3].
inline int32_t Key32(const TStatKey4& key, int j = 1) {
  const size_t i = j == 2 ? 2 : 0;
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint16_t>(key[i])) |
                              (static_cast<uint32_t>(static_cast<uint16_t>(key[i + 1])) << 16));
}

// Byte j (1..8) of the key read as 8 little-endian bytes.
inline uint8_t KeyByte(const TStatKey4& key, int j) {
  const auto c = static_cast<uint16_t>(key[static_cast<size_t>((j - 1) / 2)]);
  return static_cast<uint8_t>((j - 1) % 2 == 0 ? (c & 0xFF) : (c >> 8));
}

inline uint64_t PackKey(const TStatKey4& key) {
  return static_cast<uint64_t>(static_cast<uint16_t>(key[0])) |
         (static_cast<uint64_t>(static_cast<uint16_t>(key[1])) << 16) |
         (static_cast<uint64_t>(static_cast<uint16_t>(key[2])) << 32) |
         (static_cast<uint64_t>(static_cast<uint16_t>(key[3])) << 48);
}

inline TStatKey4 UnpackKey(uint64_t packed) {
  return {static_cast<int16_t>(packed & 0xFFFF), static_cast<int16_t>((packed >> 16) & 0xFFFF),
          static_cast<int16_t>((packed >> 32) & 0xFFFF), static_cast<int16_t>(packed >> 48)};
}

// Membership tests over a list of selected values.
bool HasKey(const TStatDrawArray& values, const TStatKey4& key);
bool HasPair(const TStatDrawArray& values, int32_t x, int32_t y);
bool HasKeyByte(const TStatDrawArray& values, int j, uint8_t x);
bool HasComponent(const TStatDrawArray& values, int j, int16_t x);
bool HasValue32(const TStatDrawArray& values, int j, int32_t x);

// ---- Class descriptors -------------------------------------------------------

using TStatFactory = std::unique_ptr<TCustomStat> (*)(const TStatList& list, int param);

struct TStatClass {
  const char* ClassName = "";   // "TstValues"
  const char* Code = "";        // "NUMS", "POS%d"
  const char* Caption = "";     // may hold "%0:d"; "%%s" survives one formatting
  const char* HelpTopic = nullptr;  // nullptr: the code
  int Group = 0;
  unsigned Kind = 0;            // skSorted | skNumbers | skDraw | skPeriod
  bool HasGraph = false;
  bool HasParam = false;
  bool AcceptsValueList = true;
  bool Available = true;
  int ParamLow = 0;             // inclusive range when HasParam ...
  int ParamHigh = 0;
  // ... unless the range depends on the settings.
  void (*ParamRange)(const TStatList& list, int& low, int& high) = nullptr;
  // Replaces Format(Caption, [param]) where the caption needs more.
  std::string (*CaptionFor)(int param) = nullptr;
  TStatFactory Create = nullptr;
};

unsigned StatFlags(const TStatClass& cls);  // kind plus G
std::string CodeFor(const TStatClass& cls, int param);
std::string CaptionFor(const TStatClass& cls, int param);
std::string HelpTopicFor(const TStatClass& cls, int param);
void ParamRangeOf(const TStatClass& cls, const TStatList& list, int& low, int& high);
inline bool IsFullSetComputable(const TStatClass& cls) { return (cls.Kind & skNumbers) != 0; }
// "ms-its:<file>::/Filters_1049_<topic>.htm"; empty without a help file.
std::string HelpUrlFor(const TStatClass& cls, int param, const std::string& helpFile);

// ---- Instances ---------------------------------------------------------------

class TCustomStat {
 public:
  TCustomStat(const TStatClass& cls, const TStatList& list, int param);
  virtual ~TCustomStat() = default;
  TCustomStat(const TCustomStat&) = delete;
  TCustomStat& operator=(const TCustomStat&) = delete;

  const TStatClass& Class() const { return Class_; }
  int Param() const { return FParam; }
  std::string Caption() const { return CaptionFor(Class_, FParam); }
  bool HasGraph() const { return Class_.HasGraph; }
  const TDrawsArray& Draws() const { return *FDraws; }

  virtual std::string ValueToText(const TStatDraw& rec) const = 0;
  // Inverse of ValueToText for typed values; decimal by default (0 unreadable).
  virtual int32_t TextToValue(std::string_view text) const;
  int32_t ParseValue(std::string_view text) const;

  // Adds every possible value with Hits 0, so that values that never
  // occurred still get a row. Nothing by default.
  virtual void ListAllValues(int lastIndex, TStatDrawArray& list);
  // FDraw := draw index (zero outside the archive), sorted when asked; for
  // kind D also FPrevDraw := draw refIndex.
  virtual void LoadDraw(int index, int refIndex, bool sorted);
  // Adds the values of a combination, Hits 1, no gap tracking.
  virtual void CalcCombination(const TComb& comb, TStatDrawArray& list) const;
  // Adds the values of archive draw `index` of the window ending at `lastIndex`.
  virtual void CalcDraw(int index, int lastIndex, bool sorted, TStatDrawArray& list, TStatWork& work,
                        TLastValueArray& lastSeen);
  // Number of the first draw from `fromIndex` on that has rec's value; -1 if none.
  int FindNextOccurrence(const TStatDraw& rec, int fromIndex, int lastIndex, bool sorted);
  // The filter test: the combination, taken as the draw after draw
  // lastIndex, has one of its values among `values`.
  // REQUIRES: LoadDraw(-1, lastIndex, sorted) was called.
  virtual bool Matches(const TComb& comb, const TStatDrawArray& values, int lastIndex, bool sorted,
                       bool del) const = 0;
  // Lets a method turn a selection into a lookup table before many Matches
  // calls with the same list. Matches is correct without it. The table is
  // bound to that list object: the caller keeps it alive and unchanged while
  // it calls Matches, and prepares again (or uses a new instance) for another.
  virtual void PrepareValues(const TStatDrawArray& values);
  // Matches over in[0..m), m <= 64: bit j set when Matches(in[j]) != del.
  // A filter asks it once per 64 combinations, so a method that overrides
  // it with MatchWordOf runs its test inline instead of a call per combination.
  virtual uint64_t MatchWord(const TComb* in, size_t m, const TStatDrawArray& values, int lastIndex, bool sorted,
                             bool del) const;

  // Graph methods only (HasGraph).
  virtual int32_t GraphValue(const TComb& comb, int index, int refIndex, bool sorted);
  int32_t GraphValueOfDraw(int index, int refIndex, bool sorted);

 protected:
  // The values of six numbers, for the methods whose draw and combination
  // values are computed alike; the default CalcDraw/CalcCombination call it.
  virtual void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const;
  // The common part of CalcDraw: loads the draw and fills FRec.
  void BeginDraw(int index, int lastIndex, bool sorted);
  TDraw DrawAt(int index, bool sorted) const;
  // Whether `key` is among the selected values, through the prepared table
  // when PrepareValues saw this very list. Inline: a filter asks it for
  // every combination, and the key then stays in registers.
  bool Selected(const TStatDrawArray& values, const TStatKey4& key) const {
    if (PreparedFor_ != &values || PreparedSize_ != values.size()) return HasKey(values, key);
    const uint64_t packed = PackKey(key);
    if (PreparedBits_.empty()) return SelectedSorted(packed);
    const auto word = static_cast<size_t>(packed / 64);
    return word < PreparedBits_.size() && ((PreparedBits_[word] >> (packed % 64)) & 1) != 0;
  }

  const TStatClass& Class_;
  const TStatList& List_;
  int FParam = 0;
  const TDrawsArray* FDraws = nullptr;
  TDraw FDraw{};
  TDraw FPrevDraw{};
  TStatDraw FRec{};

 private:
  const TStatDrawArray* PreparedFor_ = nullptr;
  size_t PreparedSize_ = 0;
  std::vector<uint64_t> PreparedKeys_;  // sorted
  // When every selected key is one value 0..65535 (Key[1..3] zero): bit v
  // set for each, so a filter's test is a bit lookup.
  std::vector<uint64_t> PreparedBits_;
  bool SelectedSorted(uint64_t packed) const;
};

// MatchWord of a method whose Matches can be inlined: the call names the
// method's own Matches, not the virtual slot.
template <typename Self>
uint64_t MatchWordOf(const Self& self, const TComb* in, size_t m, const TStatDrawArray& values, int lastIndex,
                     bool sorted, bool del) {
  uint64_t word = 0;
  for (size_t j = 0; j < m; ++j)
    word |= static_cast<uint64_t>(self.Self::Matches(in[j], values, lastIndex, sorted, del) != del) << j;
  return word;
}

// Values are the numbers 1..45; text is the decimal number.
class TCustomValuesStat : public TCustomStat {
 public:
  using TCustomStat::TCustomStat;
  std::string ValueToText(const TStatDraw& rec) const override;
};

// Values are other integers; text is the decimal number.
class TCustomNumbersStat : public TCustomStat {
 public:
  using TCustomStat::TCustomStat;
  std::string ValueToText(const TStatDraw& rec) const override;
};

class TCustomGraphStat : public TCustomStat {
 public:
  using TCustomStat::TCustomStat;
  std::string ValueToText(const TStatDraw& rec) const override;
  int32_t GraphValue(const TComb& comb, int index, int refIndex, bool sorted) override = 0;
};

// A pattern of six bits, one per number in order, the first most significant.
// Text: six letters (OneLetter for 1, ZeroLetter for 0) and " (%.3d)".
class TCustomMaskStat : public TCustomStat {
 public:
  using TCustomStat::TCustomStat;
  virtual std::string ZeroLetter() const = 0;
  virtual std::string OneLetter() const = 0;
  virtual int BitCount() const { return MainCount; }
  std::string ValueToText(const TStatDraw& rec) const override;
  // The first BitCount characters, OneLetter as 1 and anything else as 0.
  int32_t TextToValue(std::string_view text) const override;
  // All 2^BitCount patterns.
  void ListAllValues(int lastIndex, TStatDrawArray& list) override;
};

// k numbers of a class against 6 - k; text "k:6-k".
class TCustomRatioStat : public TCustomGraphStat {
 public:
  using TCustomGraphStat::TCustomGraphStat;
  std::string ValueToText(const TStatDraw& rec) const override;
  // The integer before the first ":" ("2:4" gives 2).
  int32_t TextToValue(std::string_view text) const override;
};

// Adds rec with `key` set to one 32-bit value.
inline void MergeValue(TStatDrawArray& list, TStatDraw& rec, int32_t value, bool trackGaps) {
  SetKey32(rec.Key, value);
  MergeStatDraw(list, rec, trackGaps);
}

// The factory of a descriptor: MakeStat<TstValues, TstValuesClass>.
template <typename T, const TStatClass& Cls>
std::unique_ptr<TCustomStat> MakeStat(const TStatList& list, int param) {
  return std::make_unique<T>(Cls, list, param);
}

}  // namespace vexa
