#include "stats/series_stats.h"

#include <array>
#include <string>

#include "core/format.h"
#include "stats/channel_stats.h"
#include "stats/matrix_stats.h"
#include "stats/segment_stats.h"
#include "stats/stat_list.h"

namespace vexa {

namespace {

int32_t ReadInt32(const TStatWork& work, size_t at) {
  return static_cast<int32_t>(static_cast<uint32_t>(work[at]) | (static_cast<uint32_t>(work[at + 1]) << 8) |
                              (static_cast<uint32_t>(work[at + 2]) << 16) |
                              (static_cast<uint32_t>(work[at + 3]) << 24));
}

void WriteInt32(TStatWork& work, size_t at, int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  for (size_t i = 0; i < 4; ++i) work[at + i] = static_cast<uint8_t>(u >> (8 * i));
}

}  // namespace

TSeriesEntry ReadSeriesEntry(const TStatWork& work, int slot) {
  const auto at = static_cast<size_t>(slot) * SeriesEntrySize;
  return {ReadInt32(work, at), ReadInt32(work, at + 4), ReadInt32(work, at + 8)};
}

void WriteSeriesEntry(TStatWork& work, int slot, const TSeriesEntry& entry) {
  const auto at = static_cast<size_t>(slot) * SeriesEntrySize;
  WriteInt32(work, at, entry.RunLength);
  WriteInt32(work, at + 4, entry.RunDraw);
  WriteInt32(work, at + 8, entry.RunAge);
}

namespace {

enum class TItemKind { Number, Channel, Segment };

constexpr int NoItem = -1;

using TByteTable = std::array<uint8_t, 256>;

// What the item of a number is, fixed when a method is created (the channel
// size and the segment table are copied then): the number itself, its
// channel or its segment. Bytes outside 1..45 have no item.
class TItemMap {
 public:
  TItemMap(TItemKind kind, const TStatList& list)
      : Kind_(kind), ChannelSize_(list.Config.ChannelSize), Segments_(list.Config.MatrixSegments) {
    for (size_t b = 0; b < Item_.size(); ++b) Item_[b] = static_cast<int16_t>(Compute(static_cast<int>(b)));
    switch (kind) {
      case TItemKind::Number:
        Low_ = 1;
        High_ = MaxNumber;
        break;
      case TItemKind::Channel:
        ChannelParamRange(list, Low_, High_);  // 1..ChannelCount
        break;
      case TItemKind::Segment:
        ParamRangeOf(TstSgmValCntClass, list, Low_, High_);  // smallest..largest segment
        break;
    }
  }

  int ItemOf(uint8_t n) const { return Item_[n]; }
  // The range of items the series scan.
  int Low() const { return Low_; }
  int High() const { return High_; }

  // The item occurs among the six main numbers of d.
  bool InDraw(int item, const TDraw& d) const {
    switch (Kind_) {
      case TItemKind::Number:
        return NumInDraw(item, d);
      case TItemKind::Channel:
        return ChannelSize_ > 0 && GroupInDraw(item, d, ChannelSize_);
      case TItemKind::Segment:
        return MapInDraw(item, d, Segments_);
    }
    return false;
  }

  // "17 x 3" for numbers and segments, "03 x 2" for channels.
  std::string ValueText(const TStatDraw& rec) const {
    const int item = static_cast<uint16_t>(rec.Key[0]);
    const std::string itemText = Kind_ == TItemKind::Channel ? Format("%.2d", {item}) : std::to_string(item);
    return Format("%0:s x %1:d", {itemText, static_cast<int>(static_cast<uint16_t>(rec.Key[1]))});
  }

 private:
  int Compute(int n) const {
    if (n < 1 || n > MaxNumber) return NoItem;
    switch (Kind_) {
      case TItemKind::Number:
        return n;
      case TItemKind::Channel:
        return ChannelSize_ > 0 ? ChannelOf(n, ChannelSize_) : NoItem;
      case TItemKind::Segment:
        return Segments_[static_cast<size_t>(n - 1)];
    }
    return NoItem;
  }

  TItemKind Kind_;
  int32_t ChannelSize_;
  TMatrixSegments Segments_;
  std::array<int16_t, 256> Item_{};
  int Low_ = 1;
  int High_ = 0;
};

TStatKey4 ItemKey(int item, int32_t second) {
  return {static_cast<int16_t>(item), static_cast<int16_t>(second), 0, 0};
}

// Six number bytes against a table of bytes: whether any is marked.
inline bool AnyMarked(const TByteTable& marked, const TComb& c) {
  return (marked[c[0]] | marked[c[1]] | marked[c[2]] | marked[c[3]] | marked[c[4]] | marked[c[5]]) != 0;
}

// ---- Series ------------------------------------------------------------------------------

// Presence 1: groups (runs of draws with the item); 0: pauses (without it).
template <TItemKind Kind, uint8_t Presence>
class TSerialStat final : public TCustomStat {
 public:
  TSerialStat(const TStatClass& cls, const TStatList& list, int param)
      : TCustomStat(cls, list, param), Items_(Kind, list) {}

  std::string ValueToText(const TStatDraw& rec) const override { return Items_.ValueText(rec); }

  void CalcDraw(int index, int lastIndex, bool sorted, TStatDrawArray& list, TStatWork& work,
                TLastValueArray&) override {
    BeginDraw(index, lastIndex, sorted);
    std::array<bool, 256> present{};
    for (uint8_t n : FDraw.Nums)
      if (const int v = Items_.ItemOf(n); v != NoItem) present[static_cast<size_t>(v)] = true;
    for (int v = Items_.Low(); v <= Items_.High(); ++v) {
      const int slot = SlotOf(v);
      if (slot < 0) continue;
      TSeriesEntry e = ReadSeriesEntry(work, slot);
      if (present[static_cast<size_t>(v)] == (Presence != 0)) {
        ++e.RunLength;
        e.RunDraw = FDraw.Number;
        e.RunAge = lastIndex - index + 1;
        // The run reaching the reference draw: only groups get here.
        if (index == lastIndex && InReference(v)) AddSeries(v, e, list);
      } else {
        if (e.RunLength > 0 && InReference(v)) AddSeries(v, e, list);
        e = TSeriesEntry{};
      }
      WriteSeriesEntry(work, slot, e);
    }
  }

  // Some number's item is the Key[0] of a selected value; the run length is not compared.
  void PrepareValues(const TStatDrawArray& values) override {
    Selected_.Prepare(values);
    for (size_t b = 0; b < Numbers_.size(); ++b) {
      const int v = Items_.ItemOf(static_cast<uint8_t>(b));
      Numbers_[b] = v != NoItem && Selected_.Set()[static_cast<size_t>(v)] ? 1 : 0;
    }
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    if (Selected_.PreparedFor(values)) return AnyMarked(Numbers_, comb);
    for (uint8_t n : comb) {
      const int v = Items_.ItemOf(n);
      if (v != NoItem && HasComponent(values, 1, static_cast<int16_t>(v))) return true;
    }
    return false;
  }

  uint64_t MatchWord(const TComb* in, size_t m, const TStatDrawArray& values, int lastIndex, bool sorted,
                     bool del) const override {
    return MatchWordOf(*this, in, m, values, lastIndex, sorted, del);
  }

 private:
  // Items 1..45 hold entry i - 1; segment 0 the last entry, free while no
  // item is 45. An item without an entry (possible only for a segment table
  // the settings cannot hold) is not scanned.
  int SlotOf(int v) const {
    if (v >= 1 && v <= SeriesEntryCount) return v - 1;
    if (v == 0 && Items_.High() < SeriesEntryCount) return SeriesEntryCount - 1;
    return -1;
  }

  bool InReference(int v) const { return Items_.InDraw(v, FPrevDraw); }

  void AddSeries(int v, const TSeriesEntry& e, TStatDrawArray& list) {
    FRec.Key = ItemKey(v, e.RunLength);
    FRec.Draw = e.RunDraw;
    FRec.PrevDraw = e.RunDraw;
    FRec.Age = e.RunAge;
    MergeStatDraw(list, FRec, true);
  }

  TItemMap Items_;
  TComponentSet Selected_;
  TByteTable Numbers_{};  // of a number byte: its item is selected
};

using TstNumGroups = TSerialStat<TItemKind::Number, 1>;
using TstNumPauses = TSerialStat<TItemKind::Number, 0>;
using TstChnGroups = TSerialStat<TItemKind::Channel, 1>;
using TstChnPauses = TSerialStat<TItemKind::Channel, 0>;
using TstSgmGroups = TSerialStat<TItemKind::Segment, 1>;
using TstSgmPauses = TSerialStat<TItemKind::Segment, 0>;

// ---- Periods ----------------------------------------------------------------------------

template <TItemKind Kind>
class TPeriodsStat final : public TCustomStat {
 public:
  TPeriodsStat(const TStatClass& cls, const TStatList& list, int param)
      : TCustomStat(cls, list, param), Items_(Kind, list) {}

  std::string ValueToText(const TStatDraw& rec) const override { return Items_.ValueText(rec); }

  void CalcDraw(int index, int lastIndex, bool sorted, TStatDrawArray& list, TStatWork&,
                TLastValueArray& lastSeen) override {
    BeginDraw(index, lastIndex, sorted);
    for (uint8_t n : FDraw.Nums) {
      const int v = Items_.ItemOf(n);
      if (v == NoItem) continue;
      // -1 for the first sighting, 0 for a second number of the same item in this draw.
      const int32_t p = MergeLastValue(lastSeen, FDraw.Number, ItemKey(v, 0));
      if (p <= 0) continue;
      FRec.Key = ItemKey(v, p);
      MergeStatDraw(list, FRec, true);
    }
  }

  // The table of Matches depends on the reference index as well.
  void LoadDraw(int index, int refIndex, bool sorted) override {
    TCustomStat::LoadDraw(index, refIndex, sorted);
    RefIndex_ = refIndex;
    if (Prepared_.List() != nullptr && TableRef_ != refIndex) BuildTable();
  }

  void PrepareValues(const TStatDrawArray& values) override {
    Prepared_.Set(values);
    BuildTable();
  }

  // A selected (v, p) stands for v coming again p draws after the draw at
  // index L - p + 1: the combination, read as the draw after L, matches when
  // it holds such a v and that draw has v. Keeping and deleting use the same
  // test: deleting removes exactly the combinations keeping would keep.
  bool Matches(const TComb& comb, const TStatDrawArray& values, int lastIndex, bool, bool) const override {
    if (Prepared_.Is(values) && TableRef_ == lastIndex) return AnyMarked(Numbers_, comb);
    for (uint8_t n : comb) {
      const int v = Items_.ItemOf(n);
      if (v == NoItem) continue;
      for (const TStatDraw& s : values)
        if (static_cast<uint16_t>(s.Key[0]) == v && CameBefore(v, s, lastIndex)) return true;
    }
    return false;
  }

  uint64_t MatchWord(const TComb* in, size_t m, const TStatDrawArray& values, int lastIndex, bool sorted,
                     bool del) const override {
    return MatchWordOf(*this, in, m, values, lastIndex, sorted, del);
  }

 private:
  // Item v is in the draw at L - Key[1] + 1. Draws outside the archive have
  // no items, and neither have draws after L: a period 0 must not peek at
  // the draw being forecast when the window ends before the newest draw.
  bool CameBefore(int v, const TStatDraw& selected, int lastIndex) const {
    const int d = lastIndex - static_cast<uint16_t>(selected.Key[1]) + 1;
    if (d < 0 || d > lastIndex || static_cast<size_t>(d) >= FDraws->size()) return false;
    const TDraw& w = (*FDraws)[static_cast<size_t>(d)];
    for (uint8_t n : w.Nums)
      if (Items_.ItemOf(n) == v) return true;
    return false;
  }

  void BuildTable() {
    TByteTable items{};  // item v has a selected value that matches
    for (const TStatDraw& s : *Prepared_.List()) {
      const auto v = static_cast<uint16_t>(s.Key[0]);
      if (v < items.size() && CameBefore(v, s, RefIndex_)) items[v] = 1;
    }
    for (size_t b = 0; b < Numbers_.size(); ++b) {
      const int v = Items_.ItemOf(static_cast<uint8_t>(b));
      Numbers_[b] = v != NoItem ? items[static_cast<size_t>(v)] : 0;
    }
    TableRef_ = RefIndex_;
  }

  TItemMap Items_;
  TPreparedList Prepared_;
  int RefIndex_ = -1;      // of the last LoadDraw
  int TableRef_ = -2;      // the reference index Numbers_ was built for
  TByteTable Numbers_{};   // of a number byte: the combination matches
};

using TstNumPeriods = TPeriodsStat<TItemKind::Number>;
using TstChnPeriods = TPeriodsStat<TItemKind::Channel>;
using TstSgmPeriods = TPeriodsStat<TItemKind::Segment>;

constexpr TStatClass SerialClass(const char* name, const char* code, const char* caption, TStatFactory create) {
  return TStatClass{.ClassName = name, .Code = code, .Caption = caption, .Group = 8, .Kind = skDraw,
                    .AcceptsValueList = false, .Create = create};
}

constexpr TStatClass PeriodsClass(const char* name, const char* code, const char* caption, TStatFactory create) {
  return TStatClass{.ClassName = name, .Code = code, .Caption = caption, .Group = 9, .Kind = skPeriod,
                    .AcceptsValueList = false, .Create = create};
}

}  // namespace

const TStatClass TstNumGroupsClass = SerialClass("TstNumGroups", "GRPV", "Повторы чисел в нескольких тиражах подряд",
                                                 &MakeStat<TstNumGroups, TstNumGroupsClass>);
const TStatClass TstNumPausesClass = SerialClass("TstNumPauses", "GRPP", "Интервалы между повторениями чисел",
                                                 &MakeStat<TstNumPauses, TstNumPausesClass>);
const TStatClass TstChnGroupsClass =
    SerialClass("TstChnGroups", "GRCV", "Повторы каналов в нескольких тиражах подряд",
                &MakeStat<TstChnGroups, TstChnGroupsClass>);
const TStatClass TstChnPausesClass = SerialClass("TstChnPauses", "GRCP", "Интервалы между повторениями каналов",
                                                 &MakeStat<TstChnPauses, TstChnPausesClass>);
const TStatClass TstSgmGroupsClass =
    SerialClass("TstSgmGroups", "GRSV", "Повторы сегментов в нескольких тиражах подряд",
                &MakeStat<TstSgmGroups, TstSgmGroupsClass>);
const TStatClass TstSgmPausesClass = SerialClass("TstSgmPauses", "GRSP", "Интервалы между повторениями сегментов",
                                                 &MakeStat<TstSgmPauses, TstSgmPausesClass>);
const TStatClass TstNumPeriodsClass = PeriodsClass("TstNumPeriods", "PRDV", "Периоды повторения чисел",
                                                   &MakeStat<TstNumPeriods, TstNumPeriodsClass>);
const TStatClass TstChnPeriodsClass = PeriodsClass("TstChnPeriods", "PRDC", "Периоды повторения каналов",
                                                   &MakeStat<TstChnPeriods, TstChnPeriodsClass>);
const TStatClass TstSgmPeriodsClass = PeriodsClass("TstSgmPeriods", "PRDG", "Периоды повторения сегментов",
                                                   &MakeStat<TstSgmPeriods, TstSgmPeriodsClass>);

}  // namespace vexa
