#include "stats/chain_stats.h"

#include <array>
#include <cstddef>
#include <string>
#include <type_traits>

#include "core/format.h"
#include "stats/channel_stats.h"
#include "stats/matrix_stats.h"
#include "stats/segment_stats.h"
#include "stats/stat_list.h"

namespace vexa {
namespace {

// The item of a byte that is no number 1..45 (a draw outside the archive
// reads as zeros): it equals no item, segment 0 included.
constexpr int16_t NoItem = -1;

using TByteFlags = std::array<uint8_t, 256>;

// ---- The root ------------------------------------------------------------------------------

// Every member reads numbers through their item: the number itself, its
// channel or its segment. The branch fills the table once at creation.
//
// The filter test of every member comes down to "some number of the
// combination is a hit", a hit being decided by the selection (and, for
// the inside members, the reference draw); PrepareValues turns that into a
// flag per number byte.
class TCustomChainStat : public TCustomStat {
 public:
  TCustomChainStat(const TStatClass& cls, const TStatList& list, int param, int length)
      : TCustomStat(cls, list, param), Length_(length) {
    Items_.fill(NoItem);
  }

  // "a -> b", "a-b -> c".
  std::string ValueToText(const TStatDraw& rec) const override {
    if (Length_ == 3)
      return Format("%0:s-%1:s -> %2:s", {Component(rec.Key[0]), Component(rec.Key[1]), Component(rec.Key[2])});
    return Format("%0:s -> %1:s", {Component(rec.Key[0]), Component(rec.Key[1])});
  }

 protected:
  int16_t Item(uint8_t n) const { return Items_[n]; }
  void SetItem(int n, int item) { Items_[static_cast<size_t>(n)] = static_cast<int16_t>(item); }

  // Whether some number of the draw has the item.
  bool ItemIn(int16_t item, const TDraw& d) const {
    for (uint8_t n : d.Nums)
      if (Item(n) == item) return true;
    return false;
  }

  // Adds a value of the evaluated draw (FRec as BeginDraw set it).
  void Add(TStatDrawArray& list, int a, int b, int c = 0) {
    FRec.Key = {static_cast<int16_t>(a), static_cast<int16_t>(b), static_cast<int16_t>(c), 0};
    MergeStatDraw(list, FRec, true);
  }

  bool AnyHit(const TComb& c) const {
    return (Hit_[c[0]] | Hit_[c[1]] | Hit_[c[2]] | Hit_[c[3]] | Hit_[c[4]] | Hit_[c[5]]) != 0;
  }

  // Components as "%.2d" (channel chains) or plain decimal.
  bool TwoDigits = false;
  TPreparedList Prepared_;
  TByteFlags Hit_{};

 private:
  std::string Component(int16_t c) const {
    return TwoDigits ? Format("%.2d", {static_cast<int>(c)}) : std::to_string(c);
  }

  int Length_;
  std::array<int16_t, 256> Items_{};
};

// ---- The three branches -----------------------------------------------------------------------

class TCustomChainValuesStat : public TCustomChainStat {
 public:
  TCustomChainValuesStat(const TStatClass& cls, const TStatList& list, int param, int length)
      : TCustomChainStat(cls, list, param, length) {
    for (int n = 1; n <= MaxNumber; ++n) SetItem(n, n);
  }
};

class TCustomChainChannelsStat : public TCustomChainStat {
 public:
  TCustomChainChannelsStat(const TStatClass& cls, const TStatList& list, int param, int length)
      : TCustomChainStat(cls, list, param, length), ChannelSize(list.Config.ChannelSize) {
    TwoDigits = true;
    // Without a channel width no number has a channel.
    if (ChannelSize > 0)
      for (int n = 1; n <= MaxNumber; ++n) SetItem(n, Channel(n));
  }

  int Channel(int n) const { return ChannelOf(n, ChannelSize); }

 protected:
  const int32_t ChannelSize;
};

class TCustomChainSegmentsStat : public TCustomChainStat {
 public:
  TCustomChainSegmentsStat(const TStatClass& cls, const TStatList& list, int param, int length)
      : TCustomChainStat(cls, list, param, length), Segments_(list.Config.MatrixSegments) {
    for (int n = 1; n <= MaxNumber; ++n) SetItem(n, Segment(n));
  }

  int Segment(int n) const { return n >= 1 && n <= MaxNumber ? Segments_[static_cast<size_t>(n - 1)] : 0; }

 private:
  TMatrixSegments Segments_;
};

// ---- Chain length: the to item and the filter test --------------------------------------------

// The combination matches when one of its numbers has, as its item, the to
// item of a selected value; the from items and positions are not compared,
// every listed value having started from the reference draw's pattern.
template <typename Branch, int Len>
class TChainOfLength : public Branch {
 public:
  static constexpr int Length = Len;
  static constexpr size_t To = Len - 1;  // the key component of the to item

  TChainOfLength(const TStatClass& cls, const TStatList& list, int param) : Branch(cls, list, param, Len) {}

  void PrepareValues(const TStatDrawArray& values) override {
    TByteFlags to{};
    for (const TStatDraw& v : values) {
      const auto x = static_cast<uint16_t>(v.Key[To]);
      if (x < to.size()) to[x] = 1;
    }
    for (size_t n = 0; n < this->Hit_.size(); ++n) {
      const int16_t item = this->Item(static_cast<uint8_t>(n));
      this->Hit_[n] = item != NoItem && to[static_cast<size_t>(item)] != 0;
    }
    this->Prepared_.Set(values);
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    if (this->Prepared_.Is(values)) return this->AnyHit(comb);
    for (uint8_t n : comb) {
      const int16_t item = this->Item(n);
      if (item != NoItem && HasComponent(values, Len, item)) return true;
    }
    return false;
  }
};

using TCustomChainValues2Stat = TChainOfLength<TCustomChainValuesStat, 2>;
using TCustomChainValues3Stat = TChainOfLength<TCustomChainValuesStat, 3>;
using TCustomChainChannels2Stat = TChainOfLength<TCustomChainChannelsStat, 2>;
using TCustomChainChannels3Stat = TChainOfLength<TCustomChainChannelsStat, 3>;
using TCustomChainSegments2Stat = TChainOfLength<TCustomChainSegmentsStat, 2>;
using TCustomChainSegments3Stat = TChainOfLength<TCustomChainSegmentsStat, 3>;

// ---- Chains of items ------------------------------------------------------------------------------

enum class TChainPattern {
  Any,    // a number of the draw before whose item is anywhere in the reference draw
  Every,  // every position whose item matches the reference draw's at that position
  One,    // the same at position Param only
};

template <typename Base, TChainPattern Pattern>
class TstItemChain final : public Base {
  static constexpr int Len = Base::Length;
  static_assert(Pattern != TChainPattern::Any || Len == 2);

 public:
  using Base::Base;

  void CalcDraw(int index, int lastIndex, bool sorted, TStatDrawArray& list, TStatWork&, TLastValueArray&) override {
    this->BeginDraw(index, lastIndex, sorted);
    if (index < Len - 1) return;  // the pattern would lie before the first draw
    const TDraw p1 = this->DrawAt(index - 1, sorted);
    const TDraw& cur = this->FDraw;
    const TDraw& ref = this->FPrevDraw;
    if constexpr (Pattern == TChainPattern::Any) {
      for (uint8_t x : p1.Nums) {
        const int16_t from = this->Item(x);
        if (from == NoItem || !this->ItemIn(from, ref)) continue;
        for (uint8_t y : cur.Nums)
          if (this->Item(y) != NoItem) this->Add(list, from, this->Item(y));
      }
    } else {
      TDraw p2{};
      TDraw ref1{};
      if constexpr (Len == 3) {
        p2 = this->DrawAt(index - 2, sorted);
        ref1 = this->DrawAt(lastIndex - 1, sorted);
      }
      size_t first = 0;
      size_t last = MainCount;
      if constexpr (Pattern == TChainPattern::One) {
        if (this->FParam < 1 || this->FParam > MainCount) return;
        first = static_cast<size_t>(this->FParam - 1);
        last = first + 1;
      }
      for (size_t k = first; k < last; ++k) {
        const int16_t from = this->Item(p1.Nums[k]);
        const int16_t to = this->Item(cur.Nums[k]);
        if (from == NoItem || from != this->Item(ref.Nums[k]) || to == NoItem) continue;
        if constexpr (Len == 2) {
          this->Add(list, from, to);
        } else {
          const int16_t older = this->Item(p2.Nums[k]);
          if (older != NoItem && older == this->Item(ref1.Nums[k])) this->Add(list, older, from, to);
        }
      }
    }
  }

  uint64_t MatchWord(const TComb* in, size_t m, const TStatDrawArray& values, int lastIndex, bool sorted,
                     bool del) const override {
    return MatchWordOf(*this, in, m, values, lastIndex, sorted, del);
  }
};

using TstChain2DrawsAll = TstItemChain<TCustomChainValues2Stat, TChainPattern::Any>;
using TstChain2DrawsPos = TstItemChain<TCustomChainValues2Stat, TChainPattern::Every>;
using TstChain2Pos = TstItemChain<TCustomChainValues2Stat, TChainPattern::One>;
using TstChain3DrawsPos = TstItemChain<TCustomChainValues3Stat, TChainPattern::Every>;
using TstChain3Pos = TstItemChain<TCustomChainValues3Stat, TChainPattern::One>;
using TstChain2ChannelsAll = TstItemChain<TCustomChainChannels2Stat, TChainPattern::Any>;
using TstChain2ChannelsPos = TstItemChain<TCustomChainChannels2Stat, TChainPattern::Every>;
using TstChain2Channel = TstItemChain<TCustomChainChannels2Stat, TChainPattern::One>;
using TstChain3ChannelsPos = TstItemChain<TCustomChainChannels3Stat, TChainPattern::Every>;
using TstChain3Channel = TstItemChain<TCustomChainChannels3Stat, TChainPattern::One>;
using TstChain2SegmentsAll = TstItemChain<TCustomChainSegments2Stat, TChainPattern::Any>;
using TstChain2SegmentsPos = TstItemChain<TCustomChainSegments2Stat, TChainPattern::Every>;
using TstChain2Segment = TstItemChain<TCustomChainSegments2Stat, TChainPattern::One>;
using TstChain3SegmentsPos = TstItemChain<TCustomChainSegments3Stat, TChainPattern::Every>;
using TstChain3Segment = TstItemChain<TCustomChainSegments3Stat, TChainPattern::One>;

// ---- Count chains: how many numbers in channel or segment Param ----------------------------------

template <typename Base>
class TstChainCount final : public Base {
  static constexpr int Len = Base::Length;
  static constexpr bool OfChannels = std::is_base_of_v<TCustomChainChannelsStat, Base>;

 public:
  TstChainCount(const TStatClass& cls, const TStatList& list, int param) : Base(cls, list, param) {
    this->TwoDigits = false;
    for (size_t n = 0; n < InItem_.size(); ++n) {
      const int16_t item = this->Item(static_cast<uint8_t>(n));
      InItem_[n] = item != NoItem && item == param;
    }
  }

  // The counts the reference pattern can go on to: 0..ChannelSize for a
  // channel, only 0 for a segment. Counts are read from the stored order.
  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    const int ref = CountOf(this->DrawAt(lastIndex, false).Nums);
    const int ref1 = CountOf(this->DrawAt(lastIndex - 1, false).Nums);
    int high = 0;
    if constexpr (OfChannels) high = this->ChannelSize;
    for (int k = 0; k <= high; ++k) {
      if constexpr (Len == 2)
        this->FRec.Key = {static_cast<int16_t>(ref), static_cast<int16_t>(k), 0, 0};
      else
        this->FRec.Key = {static_cast<int16_t>(ref1), static_cast<int16_t>(ref), static_cast<int16_t>(k), 0};
      MergeStatDraw(list, this->FRec, false);
    }
  }

  void CalcDraw(int index, int lastIndex, bool sorted, TStatDrawArray& list, TStatWork&, TLastValueArray&) override {
    this->BeginDraw(index, lastIndex, sorted);
    // A draw before the archive would count 0 and could pass for a pattern.
    if (index < Len - 1) return;
    const int p1 = CountOf(this->DrawAt(index - 1, false).Nums);
    if (p1 != CountOf(this->FPrevDraw.Nums)) return;
    const int cur = CountOf(this->FDraw.Nums);
    if constexpr (Len == 2) {
      this->Add(list, p1, cur);
    } else {
      const int p2 = CountOf(this->DrawAt(index - 2, false).Nums);
      if (p2 == CountOf(this->DrawAt(lastIndex - 1, false).Nums)) this->Add(list, p2, p1, cur);
    }
  }

  void PrepareValues(const TStatDrawArray& values) override {
    ToCounts_ = 0;
    for (const TStatDraw& v : values) {
      const auto x = static_cast<uint16_t>(v.Key[Len - 1]);
      if (x < 64) ToCounts_ |= uint64_t{1} << x;
    }
    this->Prepared_.Set(values);
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    const int count = CountOf(comb);
    if (this->Prepared_.Is(values)) return ((ToCounts_ >> count) & 1u) != 0;
    return HasComponent(values, Len, static_cast<int16_t>(count));
  }

  uint64_t MatchWord(const TComb* in, size_t m, const TStatDrawArray& values, int lastIndex, bool sorted,
                     bool del) const override {
    return MatchWordOf(*this, in, m, values, lastIndex, sorted, del);
  }

 private:
  int CountOf(const TComb& n) const {
    return InItem_[n[0]] + InItem_[n[1]] + InItem_[n[2]] + InItem_[n[3]] + InItem_[n[4]] + InItem_[n[5]];
  }

  TByteFlags InItem_{};
  uint64_t ToCounts_ = 0;  // bit k: a selected value goes on to k
};

using TstChain2CnlCnt = TstChainCount<TCustomChainChannels2Stat>;
using TstChain3CnlCnt = TstChainCount<TCustomChainChannels3Stat>;
using TstChain2SgmCnt = TstChainCount<TCustomChainSegments2Stat>;
using TstChain3SgmCnt = TstChainCount<TCustomChainSegments3Stat>;

// ---- Inside channels: numbers followed into their own channel --------------------------------

class TCustomChainChannels2Inside : public TCustomChainChannels2Stat {
 public:
  using TCustomChainChannels2Stat::TCustomChainChannels2Stat;

  // 0: x -> y and x -> 00 (no number in the channel); 1: only x -> y;
  // 2: only x -> 00; 3: x -> how many numbers fell into the channel.
  virtual uint8_t InsideMode() const = 0;

  // The filter compares with the reference draw, so its numbers are kept here.
  void LoadDraw(int index, int refIndex, bool sorted) override {
    TCustomChainChannels2Stat::LoadDraw(index, refIndex, sorted);
    RefIndex_ = refIndex;
    Ref_ = DrawAt(refIndex, false).Nums;
    Combine();
  }

  void CalcDraw(int index, int lastIndex, bool sorted, TStatDrawArray& list, TStatWork&, TLastValueArray&) override {
    BeginDraw(index, lastIndex, sorted);
    if (index < 1) return;
    const uint8_t mode = InsideMode();
    for (uint8_t x : DrawAt(index - 1, false).Nums) {
      if (x == 0 || !NumInDraw(x, FPrevDraw)) continue;
      const int16_t channel = Item(x);
      int found = 0;
      for (uint8_t y : FDraw.Nums) {
        if (channel == NoItem || Item(y) != channel) continue;
        if (mode == 3) {
          ++found;
        } else {
          found = y;
          if (mode != 2) Add(list, x, y);
        }
      }
      if (mode == 3)
        Add(list, x, found);
      else if (mode != 1 && found == 0)
        Add(list, x, 0);
    }
  }

  void PrepareValues(const TStatDrawArray& values) override {
    for (auto& f : Follow_) f = {};
    for (const TStatDraw& v : values) {
      const auto x = static_cast<uint16_t>(v.Key[0]);
      if (x == 0 || x >= Follow_.size()) continue;
      TByteBits& f = Follow_[x];
      if (ByChannel(v)) {
        const int16_t channel = Item(static_cast<uint8_t>(x));
        for (int y = 1; y <= MaxNumber; ++y)
          if (channel != NoItem && Item(static_cast<uint8_t>(y)) == channel) SetBit(f, static_cast<unsigned>(y));
      } else if (const auto y = static_cast<uint16_t>(v.Key[1]); y < 256) {
        SetBit(f, y);
      }
    }
    Prepared_.Set(values);
    HasFollow_ = true;
    Combine();
  }

  // For some number x of the reference draw (at lastIndex), some number y
  // of the combination and a selected value x -> v: y lies in the channel
  // of x when the value is a count or a failure (v = 0), else y = v.
  bool Matches(const TComb& comb, const TStatDrawArray& values, int lastIndex, bool, bool) const override {
    if (Prepared_.Is(values) && lastIndex == RefIndex_) return AnyHit(comb);
    for (uint8_t x : DrawAt(lastIndex, false).Nums) {
      if (x == 0) continue;
      for (const TStatDraw& v : values) {
        if (static_cast<uint16_t>(v.Key[0]) != x) continue;
        const bool byChannel = ByChannel(v);
        for (uint8_t y : comb) {
          if (byChannel ? (Item(x) != NoItem && Item(y) == Item(x)) : static_cast<uint16_t>(v.Key[1]) == y)
            return true;
        }
      }
    }
    return false;
  }

 private:
  using TByteBits = std::array<uint64_t, 4>;

  static void SetBit(TByteBits& bits, unsigned b) { bits[b / 64] |= uint64_t{1} << (b % 64); }
  bool ByChannel(const TStatDraw& v) const { return InsideMode() == 3 || (v.Key[1] == 0 && v.Key[0] != 0); }

  // The hits of the reference draw's numbers under the prepared selection.
  void Combine() {
    Hit_.fill(0);
    if (!HasFollow_) return;
    TByteBits all{};
    for (uint8_t x : Ref_)
      if (x != 0)
        for (size_t w = 0; w < all.size(); ++w) all[w] |= Follow_[x][w];
    for (size_t y = 0; y < Hit_.size(); ++y) Hit_[y] = static_cast<uint8_t>((all[y / 64] >> (y % 64)) & 1u);
  }

  // Of a number x: the bytes y of a combination that a selected x -> .. lets match.
  std::array<TByteBits, 256> Follow_{};
  bool HasFollow_ = false;
  TComb Ref_{};
  int RefIndex_ = -1;  // none loaded; Matches is never asked with a negative index
};

template <uint8_t Mode>
class TstChainInside final : public TCustomChainChannels2Inside {
 public:
  TstChainInside(const TStatClass& cls, const TStatList& list, int param)
      : TCustomChainChannels2Inside(cls, list, param) {
    TwoDigits = Mode != 3;  // "17 -> 00", but a count reads "17 -> 2"
  }

  uint8_t InsideMode() const override { return Mode; }

  uint64_t MatchWord(const TComb* in, size_t m, const TStatDrawArray& values, int lastIndex, bool sorted,
                     bool del) const override {
    return MatchWordOf(*this, in, m, values, lastIndex, sorted, del);
  }
};

using TstChainChannels2InsideAll = TstChainInside<0>;
using TstChainChannels2InsideSuc = TstChainInside<1>;
using TstChainChannels2InsideBad = TstChainInside<2>;
using TstChainChannels2InsideCnt = TstChainInside<3>;

// ---- Descriptors -------------------------------------------------------------------------------

constexpr unsigned DrawKind = skDraw;
constexpr unsigned PosKind = skSorted | skDraw;

// The count chains over segments register what SGM%d registers.
void SegmentCountRange(const TStatList& list, int& low, int& high) {
  ParamRangeOf(TstSgmValCntClass, list, low, high);
}

constexpr TStatClass ChainClass(const char* name, const char* code, const char* caption, unsigned kind,
                                TStatFactory create) {
  return TStatClass{.ClassName = name, .Code = code, .Caption = caption, .Group = 10, .Kind = kind,
                    .AcceptsValueList = false, .Create = create};
}

// A member registered per position 1..6, or per channel or segment with `range`.
constexpr TStatClass ChainParamClass(const char* name, const char* code, const char* caption, const char* topic,
                                     unsigned kind, void (*range)(const TStatList&, int&, int&),
                                     TStatFactory create) {
  return TStatClass{.ClassName = name, .Code = code, .Caption = caption, .HelpTopic = topic, .Group = 10,
                    .Kind = kind, .HasParam = true, .AcceptsValueList = false, .ParamLow = 1,
                    .ParamHigh = MainCount, .ParamRange = range, .Create = create};
}

}  // namespace

// The captions carry their chain length; "%d" is the parameter.
const TStatClass TstChain2DrawsAllClass =
    ChainClass("TstChain2DrawsAll", "SDV2", "Переходы чисел между 2 тиражами без учета позиции", DrawKind,
               &MakeStat<TstChain2DrawsAll, TstChain2DrawsAllClass>);
const TStatClass TstChain2DrawsPosClass =
    ChainClass("TstChain2DrawsPos", "SDP2", "Переходы чисел между 2 тиражами с учетом позиции", PosKind,
               &MakeStat<TstChain2DrawsPos, TstChain2DrawsPosClass>);
const TStatClass TstChain2PosClass =
    ChainParamClass("TstChain2Pos", "SDN%d", "Переходы чисел между 2 тиражами в %d позиции", "SDNx", PosKind,
                    nullptr, &MakeStat<TstChain2Pos, TstChain2PosClass>);
const TStatClass TstChain3DrawsPosClass =
    ChainClass("TstChain3DrawsPos", "SDP3", "Переходы чисел между 3 тиражами с учетом позиции", PosKind,
               &MakeStat<TstChain3DrawsPos, TstChain3DrawsPosClass>);
const TStatClass TstChain3PosClass =
    ChainParamClass("TstChain3Pos", "SDM%d", "Переходы чисел между 3 тиражами в %d позиции", "SDMx", PosKind,
                    nullptr, &MakeStat<TstChain3Pos, TstChain3PosClass>);

const TStatClass TstChain2ChannelsAllClass =
    ChainClass("TstChain2ChannelsAll", "SCV2", "Переходы каналов между 2 тиражами без учета позиции", DrawKind,
               &MakeStat<TstChain2ChannelsAll, TstChain2ChannelsAllClass>);
const TStatClass TstChain2ChannelsPosClass =
    ChainClass("TstChain2ChannelsPos", "SCP2", "Переходы каналов между 2 тиражами с учетом позиции", PosKind,
               &MakeStat<TstChain2ChannelsPos, TstChain2ChannelsPosClass>);
const TStatClass TstChain2ChannelClass =
    ChainParamClass("TstChain2Channel", "SCN%d", "Переходы каналов между 2 тиражами в %d позиции", "SCNx",
                    PosKind, nullptr, &MakeStat<TstChain2Channel, TstChain2ChannelClass>);
const TStatClass TstChain3ChannelsPosClass =
    ChainClass("TstChain3ChannelsPos", "SCP3", "Переходы каналов между 3 тиражами с учетом позиции", PosKind,
               &MakeStat<TstChain3ChannelsPos, TstChain3ChannelsPosClass>);
const TStatClass TstChain3ChannelClass =
    ChainParamClass("TstChain3Channel", "SCM%d", "Переходы каналов между 3 тиражами в %d позиции", "SCMx",
                    PosKind, nullptr, &MakeStat<TstChain3Channel, TstChain3ChannelClass>);
const TStatClass TstChain2CnlCntClass =
    ChainParamClass("TstChain2CnlCnt", "SC2C%d", "Переходы кол-ва чисел в %d канале между 2 тиражами", "SC2Cx",
                    DrawKind, &ChannelParamRange, &MakeStat<TstChain2CnlCnt, TstChain2CnlCntClass>);
const TStatClass TstChain3CnlCntClass =
    ChainParamClass("TstChain3CnlCnt", "SC3C%d", "Переходы кол-ва чисел в %d канале между 3 тиражами", "SC3Cx",
                    DrawKind, &ChannelParamRange, &MakeStat<TstChain3CnlCnt, TstChain3CnlCntClass>);

const TStatClass TstChainChannels2InsideAllClass =
    ChainClass("TstChainChannels2InsideAll", "SDA2", "Переходы чисел в пределах каналов (все)", DrawKind,
               &MakeStat<TstChainChannels2InsideAll, TstChainChannels2InsideAllClass>);
const TStatClass TstChainChannels2InsideSucClass =
    ChainClass("TstChainChannels2InsideSuc", "SDG2", "Переходы чисел в пределах каналов (N-M, удачные)", DrawKind,
               &MakeStat<TstChainChannels2InsideSuc, TstChainChannels2InsideSucClass>);
const TStatClass TstChainChannels2InsideBadClass =
    ChainClass("TstChainChannels2InsideBad", "SDZ2", "Переходы чисел в пределах каналов (N-0, не удачные)",
               DrawKind, &MakeStat<TstChainChannels2InsideBad, TstChainChannels2InsideBadClass>);
const TStatClass TstChainChannels2InsideCntClass =
    ChainClass("TstChainChannels2InsideCnt", "SDC2", "Переходы чисел в пределах каналов (количество)", DrawKind,
               &MakeStat<TstChainChannels2InsideCnt, TstChainChannels2InsideCntClass>);

const TStatClass TstChain2SegmentsAllClass =
    ChainClass("TstChain2SegmentsAll", "SSV2", "Переходы сегментов между 2 тиражами без учета позиции", DrawKind,
               &MakeStat<TstChain2SegmentsAll, TstChain2SegmentsAllClass>);
const TStatClass TstChain2SegmentsPosClass =
    ChainClass("TstChain2SegmentsPos", "SSP2", "Переходы сегментов между 2 тиражами с учетом позиции", PosKind,
               &MakeStat<TstChain2SegmentsPos, TstChain2SegmentsPosClass>);
const TStatClass TstChain2SegmentClass =
    ChainParamClass("TstChain2Segment", "SSN%d", "Переходы сегментов между 2 тиражами в %d позиции", "SSNx",
                    PosKind, nullptr, &MakeStat<TstChain2Segment, TstChain2SegmentClass>);
const TStatClass TstChain3SegmentsPosClass =
    ChainClass("TstChain3SegmentsPos", "SSP3", "Переходы сегментов между 3 тиражами с учетом позиции", PosKind,
               &MakeStat<TstChain3SegmentsPos, TstChain3SegmentsPosClass>);
const TStatClass TstChain3SegmentClass =
    ChainParamClass("TstChain3Segment", "SSM%d", "Переходы сегментов между 3 тиражами в %d позиции", "SSMx",
                    PosKind, nullptr, &MakeStat<TstChain3Segment, TstChain3SegmentClass>);
const TStatClass TstChain2SgmCntClass =
    ChainParamClass("TstChain2SgmCnt", "SS2C%d", "Переходы кол-ва чисел в %d сегменте между 2 тиражами", "SS2Cx",
                    DrawKind, &SegmentCountRange, &MakeStat<TstChain2SgmCnt, TstChain2SgmCntClass>);
const TStatClass TstChain3SgmCntClass =
    ChainParamClass("TstChain3SgmCnt", "SS3C%d", "Переходы кол-ва чисел в %d сегменте между 3 тиражами", "SS3Cx",
                    DrawKind, &SegmentCountRange, &MakeStat<TstChain3SgmCnt, TstChain3SgmCntClass>);

}  // namespace vexa
