#include "stats/segment_stats.h"

#include <algorithm>

#include "core/format.h"
#include "stats/matrix_stats.h"
#include "stats/stat_list.h"
#include "stats/tuple_stat.h"

namespace vexa {
namespace {

// Copies the segment table; the groups are the segments in order of first
// appearance over the numbers 1..45.
template <typename TBase>
class TSegmentsBase : public TBase {
 public:
  TSegmentsBase(const TStatClass& cls, const TStatList& list, int param)
      : TBase(cls, list, param), Segments_(list.Config.MatrixSegments) {
    std::vector<uint8_t> order;
    for (uint8_t s : Segments_)
      if (std::find(order.begin(), order.end(), s) == order.end()) order.push_back(s);
    Groups_.Assign(Segments_, order);
  }

  int Segment(int n) const { return n >= 1 && n <= MaxNumber ? Segments_[static_cast<size_t>(n - 1)] : 0; }

 protected:
  const TNumberGroups& Groups() const { return Groups_; }

 private:
  TMatrixSegments Segments_;
  TNumberGroups Groups_;
};

using TCustomSegmentsStat = TSegmentsBase<TCustomNumbersStat>;
using TCustomSegmentsGraphStat = TSegmentsBase<TCustomGraphStat>;

// ---- SGMS ----------------------------------------------------------------------------------

class TstSegments : public TCustomSegmentsStat {
 public:
  using TCustomSegmentsStat::TCustomSegmentsStat;

  // Every segment of the table, in order of first appearance.
  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    for (int n = 1; n <= MaxNumber; ++n) MergeValue(list, FRec, Segment(n), false);
  }

  void PrepareValues(const TStatDrawArray& values) override {
    Selected_.Prepare(values);
    Numbers_ = Groups().NumbersOfValues(Selected_.Set());
    ZeroSelected_ = Selected_.Set()[0];
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    if (Selected_.PreparedFor(values))
      return (Groups().NumberBits(comb) & Numbers_) != 0 || (ZeroSelected_ && !Groups().AllNumbers(comb));
    for (uint8_t n : comb)
      if (Selected_.Has(values, Segment(n))) return true;
    return false;
  }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    AddGroupValues(Groups(), nums, rec, list, trackGaps);
  }

 private:
  TComponentSet Selected_;
  uint64_t Numbers_ = 0;       // numbers in a selected segment
  bool ZeroSelected_ = false;  // 0 selected: the value of a byte that is no number
};

// ---- SGMV ----------------------------------------------------------------------------------

class TstSegmValues : public TCustomSegmentsStat {
 public:
  using TCustomSegmentsStat::TCustomSegmentsStat;

  std::string ValueToText(const TStatDraw& rec) const override {
    return Format("%0:d x %1:d", {rec.Key[0], rec.Key[1]});
  }

  void PrepareValues(const TStatDrawArray& values) override { Pairs_.Prepare(Groups(), values); }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    return Pairs_.Matches(Groups(), comb, values);
  }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    TGroupCountPairs::Add(Groups(), nums, rec, list, trackGaps);
  }

 private:
  TGroupCountPairs Pairs_;
};

// ---- SGMC, SGM s: one count per draw, nothing pre-listed -------------------------------------

template <typename TDerived>
class TSegmCountStat : public TCustomSegmentsGraphStat {
 public:
  using TCustomSegmentsGraphStat::TCustomSegmentsGraphStat;

  void PrepareValues(const TStatDrawArray& values) override { Selected_.Prepare(values); }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    return Selected_.Has(values, Self().CountOf(comb));
  }

  int32_t GraphValue(const TComb& comb, int, int, bool) override { return Self().CountOf(comb); }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    MergeValue(list, rec, Self().CountOf(nums), trackGaps);
  }

 private:
  const TDerived& Self() const { return static_cast<const TDerived&>(*this); }
  TComponentSet Selected_;
};

class TstSegmCount : public TSegmCountStat<TstSegmCount> {
 public:
  using TSegmCountStat::TSegmCountStat;
  int32_t CountOf(const TComb& comb) const { return BitCount(Groups().GroupBits(comb)); }
};

// Numbers in segment FParam, each where it stands.
class TstSgmValCnt : public TSegmCountStat<TstSgmValCnt> {
 public:
  TstSgmValCnt(const TStatClass& cls, const TStatList& list, int param)
      : TSegmCountStat(cls, list, param), Index_(Groups().IndexOf(param)) {}
  int32_t CountOf(const TComb& comb) const { return Groups().CountOf(comb, Index_); }

 private:
  int Index_;
};

// ---- Segment tuples --------------------------------------------------------------------------

template <int Size, bool Seq>
class TstSegmTuple : public TTupleStat<TCustomSegmentsStat, TGroupTuples<Size, Seq>> {
 public:
  TstSegmTuple(const TStatClass& cls, const TStatList& list, int param)
      : TTupleStat<TCustomSegmentsStat, TGroupTuples<Size, Seq>>(cls, list, param) {
    this->Engine_.Assign(this->Groups());
  }
};

using TstCombSegmMix2 = TstSegmTuple<2, false>;
using TstCombSegmMix3 = TstSegmTuple<3, false>;
using TstCombSegmMix4 = TstSegmTuple<4, false>;
using TstCombSegmSeq2 = TstSegmTuple<2, true>;
using TstCombSegmSeq3 = TstSegmTuple<3, true>;
using TstCombSegmSeq4 = TstSegmTuple<4, true>;

// SGM s for s from the smallest segment of the table (9 at most) to the
// largest (1 at least).
void SegmentRange(const TStatList& list, int& low, int& high) {
  low = 9;
  high = 1;
  for (uint8_t s : list.Config.MatrixSegments) {
    low = std::min<int>(low, s);
    high = std::max<int>(high, s);
  }
}

// A method of group 5 without a parameter.
constexpr TStatClass SegmentClass(const char* name, const char* code, const char* caption, unsigned kind,
                                  bool graph, bool acceptsValueList, TStatFactory create) {
  return TStatClass{.ClassName = name, .Code = code, .Caption = caption, .Group = 5, .Kind = kind,
                    .HasGraph = graph, .AcceptsValueList = acceptsValueList, .Create = create};
}

}  // namespace

const TStatClass TstSegmentsClass = SegmentClass("TstSegments", "SGMS", "Сегменты матрицы", skNumbers, false, true,
                                                 &MakeStat<TstSegments, TstSegmentsClass>);
const TStatClass TstSegmValuesClass =
    SegmentClass("TstSegmValues", "SGMV", "Количество чисел в сегменте матрицы", skNumbers, false, false,
                 &MakeStat<TstSegmValues, TstSegmValuesClass>);
const TStatClass TstSegmCountClass =
    SegmentClass("TstSegmCount", "SGMC", "Количество не пустых сегментов в матрице", skNumbers, true, true,
                 &MakeStat<TstSegmCount, TstSegmCountClass>);

// The tuple methods carry their own tuple size in code and caption.
const TStatClass TstCombSegmMix2Class =
    SegmentClass("TstCombSegmMix2", "KGM2", "Сочетания из 2 сегментов по всем числам тиража", skSorted, false,
                 false, &MakeStat<TstCombSegmMix2, TstCombSegmMix2Class>);
const TStatClass TstCombSegmMix3Class =
    SegmentClass("TstCombSegmMix3", "KGM3", "Сочетания из 3 сегментов по всем числам тиража", skSorted, false,
                 false, &MakeStat<TstCombSegmMix3, TstCombSegmMix3Class>);
const TStatClass TstCombSegmMix4Class =
    SegmentClass("TstCombSegmMix4", "KGM4", "Сочетания из 4 сегментов по всем числам тиража", skSorted, false,
                 false, &MakeStat<TstCombSegmMix4, TstCombSegmMix4Class>);
const TStatClass TstCombSegmSeq2Class =
    SegmentClass("TstCombSegmSeq2", "KGS2", "Сочетания из 2 сегментов по соседним числам", skSorted, false, false,
                 &MakeStat<TstCombSegmSeq2, TstCombSegmSeq2Class>);
const TStatClass TstCombSegmSeq3Class =
    SegmentClass("TstCombSegmSeq3", "KGS3", "Сочетания из 3 сегментов по соседним числам", skSorted, false, false,
                 &MakeStat<TstCombSegmSeq3, TstCombSegmSeq3Class>);
const TStatClass TstCombSegmSeq4Class =
    SegmentClass("TstCombSegmSeq4", "KGS4", "Сочетания из 4 сегментов по соседним числам", skSorted, false, false,
                 &MakeStat<TstCombSegmSeq4, TstCombSegmSeq4Class>);

const TStatClass TstSgmValCntClass{.ClassName = "TstSgmValCnt", .Code = "SGM%d",
                                   .Caption = "Количество чисел в %0:d сегменте матрицы", .HelpTopic = "SGMx",
                                   .Group = 5, .Kind = skNumbers, .HasGraph = true, .HasParam = true,
                                   .ParamRange = &SegmentRange, .Create = &MakeStat<TstSgmValCnt, TstSgmValCntClass>};

}  // namespace vexa
