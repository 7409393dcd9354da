#include "stats/comb_value_stats.h"

#include <array>
#include <vector>

#include "core/format.h"
#include "stats/stat_fast.h"
#include "stats/tuple_stat.h"

namespace vexa {
namespace {

// Which positions of a draw make its tuples.
enum class TCut {
  Mix,  // every choice of positions
  Seq,  // neighbouring positions only
  Pos,  // the one run starting at the parameter
  None,  // no tuples: the classes that are never registered
};

constexpr int MaxTuples = 20;  // C(6, 3)

// Zero-based positions of the tuples of one draw, in the order they are added.
// Tuples sharing their first position, or their first two, are neighbours;
// Matches skips a whole group when its start rules it out.
struct TTuples {
  int Count = 0;
  std::array<std::array<uint8_t, 4>, MaxTuples> At{};
  std::array<uint8_t, MaxTuples> NextFirst{};  // the next tuple with another first position
  std::array<uint8_t, MaxTuples> NextPair{};   // ... with other first two positions
};

TTuples CutOf(TCut cut, int size, int param) {
  TTuples t;
  auto add = [&](const std::array<uint8_t, 4>& p) { t.At[static_cast<size_t>(t.Count++)] = p; };
  auto run = [&](int first) {
    std::array<uint8_t, 4> p{};
    for (int k = 0; k < size; ++k) p[static_cast<size_t>(k)] = static_cast<uint8_t>(first + k);
    add(p);
  };
  switch (cut) {
    case TCut::Mix: {
      // Lexicographic: (1,2), (1,3) ... (5,6) for pairs.
      std::array<uint8_t, 4> p{};
      for (int k = 0; k < size; ++k) p[static_cast<size_t>(k)] = static_cast<uint8_t>(k);
      for (;;) {
        add(p);
        int i = size - 1;
        while (i >= 0 && p[static_cast<size_t>(i)] == MainCount - size + i) --i;
        if (i < 0) break;
        ++p[static_cast<size_t>(i)];
        for (int j = i + 1; j < size; ++j)
          p[static_cast<size_t>(j)] = static_cast<uint8_t>(p[static_cast<size_t>(j - 1)] + 1);
      }
      break;
    }
    case TCut::Seq:
      for (int first = 0; first + size <= MainCount; ++first) run(first);
      break;
    case TCut::Pos:
      if (param >= 1 && param - 1 + size <= MainCount) run(param - 1);
      break;
    case TCut::None:
      break;
  }
  for (int i = t.Count - 1; i >= 0; --i) {
    const auto& p = t.At[static_cast<size_t>(i)];
    const bool last = i + 1 == t.Count;
    const auto& q = t.At[static_cast<size_t>(last ? i : i + 1)];
    const auto next = static_cast<uint8_t>(i + 1);
    t.NextFirst[static_cast<size_t>(i)] = last || q[0] != p[0] ? next : t.NextFirst[static_cast<size_t>(i + 1)];
    t.NextPair[static_cast<size_t>(i)] =
        last || q[0] != p[0] || q[1] != p[1] ? next : t.NextPair[static_cast<size_t>(i + 1)];
  }
  return t;
}

// Tuple components 0..45 index the bit tables.
constexpr size_t Radix = MaxNumber + 1;

constexpr size_t PowRadix(int size) {
  size_t r = 1;
  for (int k = 0; k < size; ++k) r *= Radix;
  return r;
}

bool TestBit(const std::vector<uint64_t>& bits, size_t i) { return ((bits[i >> 6] >> (i & 63)) & 1) != 0; }
void SetBit(std::vector<uint64_t>& bits, size_t i) { bits[i >> 6] |= uint64_t{1} << (i & 63); }

// The tuple engine (tuple_stat.h) of the numbers themselves at the positions of a cut.
template <int Size>
class TNumberTuples {
 public:
  static constexpr size_t TupleSize = static_cast<size_t>(Size);

  void Assign(const TTuples& tuples) { Tuples_ = tuples; }

  void Add(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const {
    for (int t = 0; t < Tuples_.Count; ++t) {
      rec.Key = TupleKey(nums, t);
      MergeStatDraw(list, rec, trackGaps);
    }
  }

  void Prepare(const TStatDrawArray& values) {
    Firsts_ = 0;
    SecondsOf_.fill(0);
    Full_.assign(Size > 2 ? (PowRadix(Size) + 63) / 64 : 0, 0);
    for (const TStatDraw& v : values) {
      size_t index = 0;
      if (!IndexOf(v.Key, index)) continue;  // no combination of 1..45 has it
      Firsts_ |= uint64_t{1} << v.Key[0];
      SecondsOf_[static_cast<size_t>(v.Key[0])] |= uint64_t{1} << v.Key[1];
      if (Size > 2) SetBit(Full_, index);
    }
    Prepared_.Set(values);
  }

  [[gnu::always_inline]] bool Matches(const TComb& comb, const TStatDrawArray& values) const {
    uint8_t top = 0;
    for (uint8_t n : comb) top = n > top ? n : top;
    if (!Prepared_.Is(values) || top > MaxNumber) {
      for (int t = 0; t < Tuples_.Count; ++t)
        if (HasKey(values, TupleKey(comb, t))) return true;
      return false;
    }
    // The first two numbers rule out almost every tuple, through two small tables.
    for (int t = 0; t < Tuples_.Count;) {
      const auto at = static_cast<size_t>(t);
      const auto& p = Tuples_.At[at];
      const uint8_t a = comb[p[0]];
      if (((Firsts_ >> a) & 1) == 0) {
        t = Tuples_.NextFirst[at];
        continue;
      }
      const uint8_t b = comb[p[1]];
      if (((SecondsOf_[a] >> b) & 1) == 0) {
        t = Tuples_.NextPair[at];
        continue;
      }
      if (Size == 2) return true;
      size_t index = a * Radix + b;
      for (size_t k = 2; k < TupleSize; ++k) index = index * Radix + comb[p[k]];
      if (TestBit(Full_, index)) return true;
      ++t;
    }
    return false;
  }

 private:
  TStatKey4 TupleKey(const TComb& nums, int t) const {
    const auto& p = Tuples_.At[static_cast<size_t>(t)];
    TStatKey4 key{};
    for (size_t k = 0; k < TupleSize; ++k) key[k] = nums[p[k]];
    return key;
  }

  // The place of a tuple key in the bit table; false for a key no tuple of
  // numbers 0..45 has (a component out of range, or past the tuple's size).
  static bool IndexOf(const TStatKey4& key, size_t& index) {
    index = 0;
    for (size_t k = 0; k < key.size(); ++k) {
      if (k >= TupleSize) {
        if (key[k] != 0) return false;
        continue;
      }
      if (key[k] < 0 || key[k] > MaxNumber) return false;
      index = index * Radix + static_cast<size_t>(key[k]);
    }
    return true;
  }

  TTuples Tuples_;
  uint64_t Firsts_ = 0;                     // bit a: some selected tuple starts with a
  std::array<uint64_t, Radix> SecondsOf_{};  // bit b of entry a: ... starts with a, b
  std::vector<uint64_t> Full_;               // bit per selected tuple (triples and quadruples)
  TPreparedList Prepared_;
};

template <int Size, TCut Cut>
class TstCombValues final : public TTupleStat<TCustomStat, TNumberTuples<Size>> {
 public:
  TstCombValues(const TStatClass& cls, const TStatList& list, int param)
      : TTupleStat<TCustomStat, TNumberTuples<Size>>(cls, list, param) {
    this->Engine_.Assign(CutOf(Cut, Size, param));
  }
};

template <int Size>
std::string MixCaption(int) {
  return Format("Сочетания из %0:d чисел по всем числам тиража", {Size});
}

template <int Size>
std::string SeqCaption(int) {
  return Format("Сочетания из %0:d соседних чисел тиража", {Size});
}

}  // namespace

const TStatClass TstCombValMix2Class{.ClassName = "TstCombValMix2", .Code = "KNM2",
                                     .Caption = "Сочетания из %0:d чисел по всем числам тиража", .Group = 0,
                                     .Kind = skSorted, .AcceptsValueList = false, .CaptionFor = &MixCaption<2>,
                                     .Create = &MakeStat<TstCombValues<2, TCut::Mix>, TstCombValMix2Class>};
const TStatClass TstCombValMix3Class{.ClassName = "TstCombValMix3", .Code = "KNM3",
                                     .Caption = "Сочетания из %0:d чисел по всем числам тиража", .Group = 0,
                                     .Kind = skSorted, .AcceptsValueList = false, .CaptionFor = &MixCaption<3>,
                                     .Create = &MakeStat<TstCombValues<3, TCut::Mix>, TstCombValMix3Class>};
const TStatClass TstCombValMix4Class{.ClassName = "TstCombValMix4", .Code = "KNM4",
                                     .Caption = "Сочетания из %0:d чисел по всем числам тиража", .Group = 0,
                                     .Kind = skSorted, .AcceptsValueList = false, .CaptionFor = &MixCaption<4>,
                                     .Create = &MakeStat<TstCombValues<4, TCut::Mix>, TstCombValMix4Class>};
const TStatClass TstCombValSeq2Class{.ClassName = "TstCombValSeq2", .Code = "KNS2",
                                     .Caption = "Сочетания из %0:d соседних чисел тиража", .Group = 0,
                                     .Kind = skSorted, .AcceptsValueList = false, .CaptionFor = &SeqCaption<2>,
                                     .Create = &MakeStat<TstCombValues<2, TCut::Seq>, TstCombValSeq2Class>};
const TStatClass TstCombValSeq3Class{.ClassName = "TstCombValSeq3", .Code = "KNS3",
                                     .Caption = "Сочетания из %0:d соседних чисел тиража", .Group = 0,
                                     .Kind = skSorted, .AcceptsValueList = false, .CaptionFor = &SeqCaption<3>,
                                     .Create = &MakeStat<TstCombValues<3, TCut::Seq>, TstCombValSeq3Class>};
const TStatClass TstCombValSeq4Class{.ClassName = "TstCombValSeq4", .Code = "KNS4",
                                     .Caption = "Сочетания из %0:d соседних чисел тиража", .Group = 0,
                                     .Kind = skSorted, .AcceptsValueList = false, .CaptionFor = &SeqCaption<4>,
                                     .Create = &MakeStat<TstCombValues<4, TCut::Seq>, TstCombValSeq4Class>};
const TStatClass TstCombValPos2Class{.ClassName = "TstCombValPos2", .Code = "KNP2%d",
                                     .Caption = "Сочетания из 2-х чисел тиража начиная с %0:d позиции",
                                     .HelpTopic = "KNP2", .Group = 0, .Kind = skSorted, .HasParam = true,
                                     .AcceptsValueList = false, .ParamLow = 1, .ParamHigh = 5,
                                     .Create = &MakeStat<TstCombValues<2, TCut::Pos>, TstCombValPos2Class>};
const TStatClass TstCombValPos3Class{.ClassName = "TstCombValPos3", .Code = "KNP3%d",
                                     .Caption = "Сочетания из 3-х чисел тиража начиная с %0:d позиции",
                                     .HelpTopic = "KNP3", .Group = 0, .Kind = skSorted, .HasParam = true,
                                     .AcceptsValueList = false, .ParamLow = 1, .ParamHigh = 4,
                                     .Create = &MakeStat<TstCombValues<3, TCut::Pos>, TstCombValPos3Class>};
const TStatClass TstCombValPos4Class{.ClassName = "TstCombValPos4", .Code = "KNP4%d",
                                     .Caption = "Сочетания из 4-х чисел тиража начиная с %0:d позиции",
                                     .HelpTopic = "KNP4", .Group = 0, .Kind = skSorted, .HasParam = true,
                                     .AcceptsValueList = false, .ParamLow = 1, .ParamHigh = 3,
                                     .Create = &MakeStat<TstCombValues<4, TCut::Pos>, TstCombValPos4Class>};
// No caption is defined for these; nothing ever shows them.
const TStatClass TstCombValSort2Class{.ClassName = "TstCombValSort2", .Code = "KNO2", .Group = 0, .Kind = 0,
                                      .AcceptsValueList = false, .Available = false,
                                      .Create = &MakeStat<TstCombValues<2, TCut::None>, TstCombValSort2Class>};
const TStatClass TstCombValSort3Class{.ClassName = "TstCombValSort3", .Code = "KNO3", .Group = 0, .Kind = 0,
                                      .AcceptsValueList = false, .Available = false,
                                      .Create = &MakeStat<TstCombValues<3, TCut::None>, TstCombValSort3Class>};
const TStatClass TstCombValSort4Class{.ClassName = "TstCombValSort4", .Code = "KNO4", .Group = 0, .Kind = 0,
                                      .AcceptsValueList = false, .Available = false,
                                      .Create = &MakeStat<TstCombValues<4, TCut::None>, TstCombValSort4Class>};

}  // namespace vexa
