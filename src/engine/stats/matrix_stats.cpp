#include "stats/matrix_stats.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#include "core/format.h"
#include "stats/stat_list.h"
#include "stats/tuple_stat.h"

namespace vexa {

int MatrixColsOf(const TStatList& list) { return std::clamp(list.Config.MatrixCols, 0, MaxNumber); }

int MatrixRowsOf(int cols) { return cols <= 0 ? 0 : GroupCount(1, MaxNumber, cols); }

namespace {

// ---- The matrix --------------------------------------------------------------------------

enum class TAxis { Cols, Rows };

// One direction of the matrix: its groups (columns or rows) and where
// neighbours along it stand.
struct TMatrixAxis {
  TNumberGroups Groups;
  int Count = 0;   // columns (rows)
  int Across = 0;  // rows (columns): the most numbers one group can hold
  // n and n + Step are neighbours exactly when bit n is set here.
  uint64_t NeighbourFrom = 0;
  int Step = 0;
  // The bit of number n's group in the occupation pattern, group 1 highest.
  std::array<uint64_t, 256> PatternBit{};
};

template <typename TBase>
class TMatrixBase : public TBase {
 public:
  TMatrixBase(const TStatClass& cls, const TStatList& list, int param)
      : TBase(cls, list, param),
        MatrixCols(static_cast<uint8_t>(MatrixColsOf(list))),
        MatrixRows(static_cast<uint8_t>(MatrixRowsOf(MatrixCols))) {
    const int cols = MatrixCols;
    const int rows = MatrixRows;
    for (TAxis a : {TAxis::Cols, TAxis::Rows}) {
      const bool byCols = a == TAxis::Cols;
      TMatrixAxis& x = Axes_[byCols ? 0 : 1];
      x.Count = byCols ? cols : rows;
      x.Across = byCols ? rows : cols;
      x.Step = byCols ? cols : 1;
      std::array<uint8_t, MaxNumber> values{};
      std::vector<uint8_t> order;
      for (int g = 1; g <= x.Count; ++g) order.push_back(static_cast<uint8_t>(g));
      for (int n = 1; n <= MaxNumber; ++n) {
        const int g = byCols ? Column(n) : Row(n);
        values[static_cast<size_t>(n - 1)] = static_cast<uint8_t>(g);
        if (g >= 1) x.PatternBit[static_cast<size_t>(n)] = uint64_t{1} << (x.Count - g);
        const bool hasNext = cols > 0 && (byCols ? n + cols <= MaxNumber : n < MaxNumber && Column(n) < cols);
        if (hasNext) x.NeighbourFrom |= uint64_t{1} << n;
      }
      x.Groups.Assign(values, order);
    }
  }

  int Column(int n) const { return MatrixCol(n, MatrixCols); }
  int Row(int n) const { return MatrixRow(n, MatrixCols); }

 protected:
  const TMatrixAxis& Axis(TAxis a) const { return Axes_[a == TAxis::Cols ? 0 : 1]; }
  const TNumberGroups& Groups(TAxis a) const { return Axis(a).Groups; }

  // Numbers n of the six whose neighbour n + Step along the axis is there too.
  uint64_t NeighbourBits(TAxis a, const TComb& comb) const {
    const TMatrixAxis& x = Axis(a);
    const uint64_t m = x.Groups.NumberBits(comb);
    return m & (m >> x.Step) & x.NeighbourFrom;
  }

  const uint8_t MatrixCols;
  const uint8_t MatrixRows;

 private:
  std::array<TMatrixAxis, 2> Axes_;
};

using TCustomMatrixStat = TMatrixBase<TCustomNumbersStat>;
using TCustomMatrixGraphStat = TMatrixBase<TCustomGraphStat>;

// ---- COLS, ROWS -------------------------------------------------------------------------

template <TAxis A>
class TstGroups : public TCustomMatrixStat {
 public:
  using TCustomMatrixStat::TCustomMatrixStat;

  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    for (int g = 1; g <= Axis(A).Count; ++g) MergeValue(list, FRec, g, false);
  }

  void PrepareValues(const TStatDrawArray& values) override {
    Selected_.Prepare(values);
    Numbers_ = Groups(A).NumbersOfValues(Selected_.Set());
    ZeroSelected_ = Selected_.Set()[0];
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    const TNumberGroups& g = Groups(A);
    if (Selected_.PreparedFor(values))
      return (g.NumberBits(comb) & Numbers_) != 0 || (ZeroSelected_ && !g.AllNumbers(comb));
    for (uint8_t n : comb)
      if (Selected_.Has(values, g.ValueOf(n))) return true;
    return false;
  }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    AddGroupValues(Groups(A), nums, rec, list, trackGaps);
  }

 private:
  TComponentSet Selected_;
  uint64_t Numbers_ = 0;       // numbers in a selected group
  bool ZeroSelected_ = false;  // 0 selected: the value of a byte that is no number
};

// ---- COLV, ROWV ----------------------------------------------------------------------------

std::string PairText(int32_t a, int32_t b) { return Format("%0:d x %1:d", {a, b}); }

template <TAxis A>
class TstGroupValues : public TCustomMatrixStat {
 public:
  using TCustomMatrixStat::TCustomMatrixStat;

  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    const int most = std::min(Axis(A).Across, MainCount);
    for (int g = 1; g <= Axis(A).Count; ++g)
      for (int k = 0; k <= most; ++k) {
        FRec.Key = TGroupCountPairs::KeyOf(g, k);
        MergeStatDraw(list, FRec, false);
      }
  }

  std::string ValueToText(const TStatDraw& rec) const override { return PairText(rec.Key[0], rec.Key[1]); }

  void PrepareValues(const TStatDrawArray& values) override { Pairs_.Prepare(Groups(A), values); }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    return Pairs_.Matches(Groups(A), comb, values);
  }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    TGroupCountPairs::Add(Groups(A), nums, rec, list, trackGaps);
  }

 private:
  TGroupCountPairs Pairs_;
};

// ---- One count per draw: COLN, ROWN, COLC, ROWC, COL c, ROW r ----------------------------

// The value is CountOf(comb) of the derived class; Matches compares Key[0].
template <typename TDerived>
class TMatrixCountStat : public TCustomMatrixGraphStat {
 public:
  using TCustomMatrixGraphStat::TCustomMatrixGraphStat;

  void PrepareValues(const TStatDrawArray& values) override { Selected_.Prepare(values); }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    return Selected_.Has(values, Self().CountOf(comb));
  }

  int32_t GraphValue(const TComb& comb, int, int, bool) override { return Self().CountOf(comb); }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    MergeValue(list, rec, Self().CountOf(nums), trackGaps);
  }

  // Values 1..last, with Hits 0.
  void ListUpTo(int last, TStatDrawArray& list) {
    for (int v = 1; v <= last; ++v) MergeValue(list, FRec, v, false);
  }

 private:
  const TDerived& Self() const { return static_cast<const TDerived&>(*this); }
  TComponentSet Selected_;
};

// COLN, ROWN: different columns (rows) occupied.
template <TAxis A>
class TstGroupCount : public TMatrixCountStat<TstGroupCount<A>> {
  using TBase = TMatrixCountStat<TstGroupCount<A>>;

 public:
  using TBase::TBase;

  int32_t CountOf(const TComb& comb) const { return BitCount(this->Groups(A).GroupBits(comb)); }

  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    this->ListUpTo(std::min(this->Axis(A).Count, MainCount), list);
  }
};

// COLC, ROWC: different columns (rows) holding neighbours. Nothing pre-listed.
template <TAxis A>
class TstAjacentCount : public TMatrixCountStat<TstAjacentCount<A>> {
  using TBase = TMatrixCountStat<TstAjacentCount<A>>;

 public:
  using TBase::TBase;

  int32_t CountOf(const TComb& comb) const {
    const TNumberGroups& g = this->Groups(A);
    uint64_t groups = 0;
    for (uint64_t from = this->NeighbourBits(A, comb); from != 0; from &= from - 1)
      groups |= g.GroupBit(static_cast<uint8_t>(std::countr_zero(from)));
    return BitCount(groups);
  }
};

// COL c, ROW r: numbers in column (row) FParam, each where it stands.
template <TAxis A>
class TstGroupValCnt : public TMatrixCountStat<TstGroupValCnt<A>> {
  using TBase = TMatrixCountStat<TstGroupValCnt<A>>;

 public:
  TstGroupValCnt(const TStatClass& cls, const TStatList& list, int param)
      : TBase(cls, list, param), Index_(this->Groups(A).IndexOf(param)) {}

  int32_t CountOf(const TComb& comb) const { return this->Groups(A).CountOf(comb, Index_); }

  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    this->ListUpTo(this->Axis(A).Across, list);
  }

 private:
  int Index_;
};

// ---- COLM, ROWM ------------------------------------------------------------------------------

// The occupation pattern, one bit per column (row), column 1 the most
// significant. Up to 32 columns the pattern is the 32-bit value over
// Key[0..1]; a wider one (COLM with 33 columns or more, ROWM with one
// column: 45 rows) is one 64-bit value over all four components, so that
// every column keeps its bit and the text shows every column.
template <TAxis A>
class TstGroupMask : public TCustomMatrixStat {
 public:
  using TCustomMatrixStat::TCustomMatrixStat;

  uint64_t PatternOf(const TComb& c) const {
    const auto& bit = Axis(A).PatternBit;
    return bit[c[0]] | bit[c[1]] | bit[c[2]] | bit[c[3]] | bit[c[4]] | bit[c[5]];
  }

  std::string ValueToText(const TStatDraw& rec) const override {
    const uint64_t p = ValueOfKey(rec.Key);
    std::string s;
    for (int b = Bits() - 1; b >= 0; --b) s += ((p >> b) & 1u) ? '1' : '0';
    if (Wide()) return s + Format(" (%.3d)", {static_cast<long long>(p)});
    return s + Format(" (%.3d)", {Key32(rec.Key)});
  }

  // The first Bits() characters, "1" a 1 bit, the first the most significant.
  // A typed value is 32 bits: of a wider pattern it keeps the last 32 columns.
  int32_t TextToValue(std::string_view text) const override {
    uint64_t v = 0;
    size_t i = 0;
    for (int k = 0; k < Bits(); ++k) {
      bool one = false;
      if (i < text.size()) {
        one = text[i] == '1';
        i += Utf8Length(static_cast<unsigned char>(text[i]));
      }
      v = v * 2 + (one ? 1 : 0);
    }
    return static_cast<int32_t>(static_cast<uint32_t>(v));
  }

  void PrepareValues(const TStatDrawArray& values) override {
    Dense_.clear();
    Sparse_.clear();
    if (Bits() <= DenseBits) Dense_.assign((size_t{1} << Bits()) / 64 + 1, 0);
    for (const TStatDraw& v : values) {
      const uint64_t p = ValueOfKey(v.Key);
      if (Bits() <= DenseBits) {
        if (p < (uint64_t{1} << Bits())) Dense_[p >> 6] |= uint64_t{1} << (p & 63);
      } else {
        Sparse_.push_back(p);
      }
    }
    std::sort(Sparse_.begin(), Sparse_.end());
    For_.Set(values);
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    const uint64_t p = PatternOf(comb);
    if (For_.Is(values)) {
      if (Bits() <= DenseBits) return (Dense_[p >> 6] >> (p & 63)) & 1u;
      return std::binary_search(Sparse_.begin(), Sparse_.end(), p);
    }
    if (Wide()) return HasKey(values, UnpackKey(p));
    return HasValue32(values, 1, static_cast<int32_t>(static_cast<uint32_t>(p)));
  }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    rec.Key = UnpackKey(PatternOf(nums));
    MergeStatDraw(list, rec, trackGaps);
  }

 private:
  static constexpr int DenseBits = 16;  // a bit table up to 8 KB, a sorted list beyond

  int Bits() const { return Axis(A).Count; }
  bool Wide() const { return Bits() > 32; }
  // The pattern a key stands for: Key[0..1] up to 32 bits, the whole key beyond.
  uint64_t ValueOfKey(const TStatKey4& key) const {
    return Wide() ? PackKey(key) : static_cast<uint64_t>(static_cast<uint32_t>(Key32(key)));
  }
  static size_t Utf8Length(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
  }

  TPreparedList For_;
  std::vector<uint64_t> Dense_;
  std::vector<uint64_t> Sparse_;
};

// ---- COLA, ROWA ------------------------------------------------------------------------------

// For every column (row) holding neighbours along it: (group, pairs + 1),
// the group over Key[0..1], pairs + 1 over Key[2..3].
template <TAxis A>
class TstAjacent : public TCustomMatrixStat {
 public:
  using TCustomMatrixStat::TCustomMatrixStat;

  std::string ValueToText(const TStatDraw& rec) const override {
    return PairText(Key32(rec.Key, 1), Key32(rec.Key, 2));
  }

  void PrepareValues(const TStatDrawArray& values) override {
    Selected_.fill(0);
    const TNumberGroups& g = Groups(A);
    for (const TStatDraw& v : values) {
      const int i = g.IndexOf(Key32(v.Key, 1));
      const int32_t k = Key32(v.Key, 2);
      if (i >= 0 && k >= 0 && k <= 15) Selected_[static_cast<size_t>(i)] |= static_cast<uint16_t>(1u << k);
    }
    For_.Set(values);
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    if (!For_.Is(values)) {
      TCounters c;
      CountPairs(comb, c);
      for (int e = 0; e < c.Size; ++e)
        if (HasPair(values, c.Group[e], c.Pairs[e] + 1)) return true;
      return false;
    }
    const TNumberGroups& g = Groups(A);
    if (BitCount(g.NumberBits(comb)) != MainCount) {
      // A number standing twice makes a pair with each copy: count by positions.
      TCounters c;
      CountPairs(comb, c);
      for (int e = 0; e < c.Size; ++e) {
        const int i = g.IndexOf(c.Group[static_cast<size_t>(e)]);
        const int k = c.Pairs[static_cast<size_t>(e)] + 1;
        if (i >= 0 && k <= 15 && ((Selected_[static_cast<size_t>(i)] >> k) & 1u)) return true;
      }
      return false;
    }
    // Numbers of one column whose neighbour is there too: each is one pair.
    const uint64_t from = NeighbourBits(A, comb);
    uint64_t groups = 0;
    for (uint64_t f = from; f != 0; f &= f - 1) groups |= g.GroupBit(static_cast<uint8_t>(std::countr_zero(f)));
    for (; groups != 0; groups &= groups - 1) {
      const int i = std::countr_zero(groups);
      if ((Selected_[static_cast<size_t>(i)] >> (g.CountIn(from, i) + 1)) & 1u) return true;
    }
    return false;
  }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    TCounters c;
    CountPairs(nums, c);
    const bool fresh = list.empty();
    for (size_t e = 0; e < static_cast<size_t>(c.Size); ++e) {
      TStatKey4 key;
      SetKey32(key, c.Group[e], c.Pairs[e] + 1);
      AddDistinct(list, rec, key, fresh, trackGaps);
    }
  }

 private:
  // Neighbour pairs per group, groups in order of first appearance; at most
  // one entry per pair of positions.
  struct TCounters {
    std::array<int, 15> Group;  // entries below Size only
    std::array<int, 15> Pairs;
    int Size = 0;
  };

  void CountPairs(const TComb& nums, TCounters& c) const {
    if (NeighbourBits(A, nums) == 0) return;  // the common case, in a few operations
    const TNumberGroups& along = Groups(A);
    const TNumberGroups& across = Groups(A == TAxis::Cols ? TAxis::Rows : TAxis::Cols);
    for (size_t i = 0; i < nums.size(); ++i)
      for (size_t j = i + 1; j < nums.size(); ++j) {
        const int g = along.ValueOf(nums[i]);
        if (g == 0 || g != along.ValueOf(nums[j]) ||
            std::abs(across.ValueOf(nums[i]) - across.ValueOf(nums[j])) != 1)
          continue;
        int e = 0;
        while (e < c.Size && c.Group[static_cast<size_t>(e)] != g) ++e;
        if (e == c.Size) {
          c.Group[static_cast<size_t>(e)] = g;
          c.Pairs[static_cast<size_t>(e)] = 0;
          ++c.Size;
        }
        ++c.Pairs[static_cast<size_t>(e)];
      }
  }

  TPreparedList For_;
  // Bit k: (group i, k) selected; k is at most 10, with numbers standing twice.
  std::array<uint16_t, TNumberGroups::MaxGroups> Selected_{};
};

// ---- Column and row tuples -------------------------------------------------------------------

template <TAxis A, int Size, bool Seq>
class TstGroupTuple : public TTupleStat<TCustomMatrixStat, TGroupTuples<Size, Seq>> {
 public:
  TstGroupTuple(const TStatClass& cls, const TStatList& list, int param)
      : TTupleStat<TCustomMatrixStat, TGroupTuples<Size, Seq>>(cls, list, param) {
    this->Engine_.Assign(this->Groups(A));
  }
};

// ---- Parameter ranges ------------------------------------------------------------------------

void ColRange(const TStatList& list, int& low, int& high) {
  high = MatrixColsOf(list);
  low = high > 0 ? 1 : 0;
  if (high == 0) high = -1;
}

void RowRange(const TStatList& list, int& low, int& high) {
  high = MatrixRowsOf(MatrixColsOf(list));
  low = high > 0 ? 1 : 0;
  if (high == 0) high = -1;
}

using TstColumns = TstGroups<TAxis::Cols>;
using TstRows = TstGroups<TAxis::Rows>;
using TstColValues = TstGroupValues<TAxis::Cols>;
using TstRowValues = TstGroupValues<TAxis::Rows>;
using TstColCount = TstGroupCount<TAxis::Cols>;
using TstRowCount = TstGroupCount<TAxis::Rows>;
using TstColMask = TstGroupMask<TAxis::Cols>;
using TstRowMask = TstGroupMask<TAxis::Rows>;
using TstColAjacent = TstAjacent<TAxis::Cols>;
using TstRowAjacent = TstAjacent<TAxis::Rows>;
using TstColAjacentCnt = TstAjacentCount<TAxis::Cols>;
using TstRowAjacentCnt = TstAjacentCount<TAxis::Rows>;
using TstCombColMix2 = TstGroupTuple<TAxis::Cols, 2, false>;
using TstCombColMix3 = TstGroupTuple<TAxis::Cols, 3, false>;
using TstCombColMix4 = TstGroupTuple<TAxis::Cols, 4, false>;
using TstCombColSeq2 = TstGroupTuple<TAxis::Cols, 2, true>;
using TstCombColSeq3 = TstGroupTuple<TAxis::Cols, 3, true>;
using TstCombColSeq4 = TstGroupTuple<TAxis::Cols, 4, true>;
using TstCombRowMix2 = TstGroupTuple<TAxis::Rows, 2, false>;
using TstCombRowMix3 = TstGroupTuple<TAxis::Rows, 3, false>;
using TstCombRowMix4 = TstGroupTuple<TAxis::Rows, 4, false>;
using TstCombRowSeq2 = TstGroupTuple<TAxis::Rows, 2, true>;
using TstCombRowSeq3 = TstGroupTuple<TAxis::Rows, 3, true>;
using TstCombRowSeq4 = TstGroupTuple<TAxis::Rows, 4, true>;
using TstColValCnt = TstGroupValCnt<TAxis::Cols>;
using TstRowValCnt = TstGroupValCnt<TAxis::Rows>;

// A method of group 4 without a parameter.
constexpr TStatClass MatrixClass(const char* name, const char* code, const char* caption, unsigned kind,
                                 bool graph, bool acceptsValueList, TStatFactory create) {
  return TStatClass{.ClassName = name, .Code = code, .Caption = caption, .Group = 4, .Kind = kind,
                    .HasGraph = graph, .AcceptsValueList = acceptsValueList, .Create = create};
}

constexpr bool Graph = true;
constexpr bool NoGraph = false;
constexpr bool ValueList = true;
constexpr bool NoValueList = false;

}  // namespace

const TStatClass TstColumnsClass = MatrixClass("TstColumns", "COLS", "Столбцы матрицы (не пустые)", skNumbers,
                                               NoGraph, ValueList, &MakeStat<TstColumns, TstColumnsClass>);
const TStatClass TstRowsClass = MatrixClass("TstRows", "ROWS", "Строки матрицы (не пустые)", skNumbers, NoGraph,
                                            ValueList, &MakeStat<TstRows, TstRowsClass>);
const TStatClass TstColValuesClass =
    MatrixClass("TstColValues", "COLV", "Количество чисел в столбце матрицы", skNumbers, NoGraph, NoValueList,
                &MakeStat<TstColValues, TstColValuesClass>);
const TStatClass TstRowValuesClass =
    MatrixClass("TstRowValues", "ROWV", "Количество чисел в строке матрицы", skNumbers, NoGraph, NoValueList,
                &MakeStat<TstRowValues, TstRowValuesClass>);
const TStatClass TstColCountClass =
    MatrixClass("TstColCount", "COLN", "Количество не пустых столбцов в матрице", skNumbers, Graph, ValueList,
                &MakeStat<TstColCount, TstColCountClass>);
const TStatClass TstRowCountClass =
    MatrixClass("TstRowCount", "ROWN", "Количество не пустых строк в матрице", skNumbers, Graph, ValueList,
                &MakeStat<TstRowCount, TstRowCountClass>);
const TStatClass TstColMaskClass = MatrixClass("TstColMask", "COLM", "Сочетания столбцов матрицы", skNumbers,
                                               NoGraph, ValueList, &MakeStat<TstColMask, TstColMaskClass>);
const TStatClass TstRowMaskClass = MatrixClass("TstRowMask", "ROWM", "Сочетания строк матрицы", skNumbers,
                                               NoGraph, ValueList, &MakeStat<TstRowMask, TstRowMaskClass>);
const TStatClass TstColAjacentClass =
    MatrixClass("TstColAjacent", "COLA", "Столбцы матрицы со смежными числами", skNumbers, NoGraph, ValueList,
                &MakeStat<TstColAjacent, TstColAjacentClass>);
const TStatClass TstRowAjacentClass =
    MatrixClass("TstRowAjacent", "ROWA", "Строки матрицы со смежными числами", skNumbers, NoGraph, ValueList,
                &MakeStat<TstRowAjacent, TstRowAjacentClass>);
const TStatClass TstColAjacentCntClass =
    MatrixClass("TstColAjacentCnt", "COLC", "Количество столбцов матрицы со смежными числами", skNumbers, Graph,
                ValueList, &MakeStat<TstColAjacentCnt, TstColAjacentCntClass>);
const TStatClass TstRowAjacentCntClass =
    MatrixClass("TstRowAjacentCnt", "ROWC", "Количество строк матрицы со смежными числами", skNumbers, Graph,
                ValueList, &MakeStat<TstRowAjacentCnt, TstRowAjacentCntClass>);

// The tuple methods carry their own tuple size in code and caption.
const TStatClass TstCombColMix2Class =
    MatrixClass("TstCombColMix2", "KFM2", "Сочетания из 2 столбцов по всем числам тиража", skSorted, NoGraph,
                NoValueList, &MakeStat<TstCombColMix2, TstCombColMix2Class>);
const TStatClass TstCombColMix3Class =
    MatrixClass("TstCombColMix3", "KFM3", "Сочетания из 3 столбцов по всем числам тиража", skSorted, NoGraph,
                NoValueList, &MakeStat<TstCombColMix3, TstCombColMix3Class>);
const TStatClass TstCombColMix4Class =
    MatrixClass("TstCombColMix4", "KFM4", "Сочетания из 4 столбцов по всем числам тиража", skSorted, NoGraph,
                NoValueList, &MakeStat<TstCombColMix4, TstCombColMix4Class>);
const TStatClass TstCombColSeq2Class =
    MatrixClass("TstCombColSeq2", "KFS2", "Сочетания из 2 столбцов по соседним числам", skSorted, NoGraph,
                NoValueList, &MakeStat<TstCombColSeq2, TstCombColSeq2Class>);
const TStatClass TstCombColSeq3Class =
    MatrixClass("TstCombColSeq3", "KFS3", "Сочетания из 3 столбцов по соседним числам", skSorted, NoGraph,
                NoValueList, &MakeStat<TstCombColSeq3, TstCombColSeq3Class>);
const TStatClass TstCombColSeq4Class =
    MatrixClass("TstCombColSeq4", "KFS4", "Сочетания из 4 столбцов по соседним числам", skSorted, NoGraph,
                NoValueList, &MakeStat<TstCombColSeq4, TstCombColSeq4Class>);
const TStatClass TstCombRowMix2Class =
    MatrixClass("TstCombRowMix2", "KRM2", "Сочетания из 2 строк по всем числам тиража", skSorted, NoGraph,
                NoValueList, &MakeStat<TstCombRowMix2, TstCombRowMix2Class>);
const TStatClass TstCombRowMix3Class =
    MatrixClass("TstCombRowMix3", "KRM3", "Сочетания из 3 строк по всем числам тиража", skSorted, NoGraph,
                NoValueList, &MakeStat<TstCombRowMix3, TstCombRowMix3Class>);
const TStatClass TstCombRowMix4Class =
    MatrixClass("TstCombRowMix4", "KRM4", "Сочетания из 4 строк по всем числам тиража", skSorted, NoGraph,
                NoValueList, &MakeStat<TstCombRowMix4, TstCombRowMix4Class>);
const TStatClass TstCombRowSeq2Class =
    MatrixClass("TstCombRowSeq2", "KRS2", "Сочетания из 2 строк по соседним числам", skSorted, NoGraph,
                NoValueList, &MakeStat<TstCombRowSeq2, TstCombRowSeq2Class>);
const TStatClass TstCombRowSeq3Class =
    MatrixClass("TstCombRowSeq3", "KRS3", "Сочетания из 3 строк по соседним числам", skSorted, NoGraph,
                NoValueList, &MakeStat<TstCombRowSeq3, TstCombRowSeq3Class>);
const TStatClass TstCombRowSeq4Class =
    MatrixClass("TstCombRowSeq4", "KRS4", "Сочетания из 4 строк по соседним числам", skSorted, NoGraph,
                NoValueList, &MakeStat<TstCombRowSeq4, TstCombRowSeq4Class>);

const TStatClass TstColValCntClass{.ClassName = "TstColValCnt", .Code = "COL%d",
                                   .Caption = "Количество чисел в %0:d столбце матрицы", .HelpTopic = "COLx",
                                   .Group = 4, .Kind = skNumbers, .HasGraph = true, .HasParam = true,
                                   .ParamRange = &ColRange, .Create = &MakeStat<TstColValCnt, TstColValCntClass>};
const TStatClass TstRowValCntClass{.ClassName = "TstRowValCnt", .Code = "ROW%d",
                                   .Caption = "Количество чисел в %0:d строке матрицы", .HelpTopic = "ROWx",
                                   .Group = 4, .Kind = skNumbers, .HasGraph = true, .HasParam = true,
                                   .ParamRange = &RowRange, .Create = &MakeStat<TstRowValCnt, TstRowValCntClass>};

}  // namespace vexa
