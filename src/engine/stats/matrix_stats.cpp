#include "stats/matrix_stats.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#include "core/format.h"
#include "stats/stat_list.h"

namespace vexa {

int MatrixColsOf(const TStatList& list) { return std::clamp(list.Config.MatrixCols, 0, MaxNumber); }

int MatrixRowsOf(int cols) { return cols <= 0 ? 0 : GroupCount(1, MaxNumber, cols); }

// ---- Groups of numbers ---------------------------------------------------------------

void TNumberGroups::Assign(const std::array<uint8_t, MaxNumber>& values, const std::vector<uint8_t>& order) {
  *this = TNumberGroups{};
  IndexOfValue_.fill(-1);
  IndexOfNumber_.fill(-1);
  for (uint8_t g : order) {
    if (Count_ == MaxGroups) break;
    if (IndexOfValue_[g] >= 0) continue;
    IndexOfValue_[g] = static_cast<int8_t>(Count_);
    Order_[static_cast<size_t>(Count_++)] = g;
  }
  for (int n = 1; n <= MaxNumber; ++n) {
    const auto b = static_cast<size_t>(n);
    const uint8_t v = values[b - 1];
    Value_[b] = v;
    NumberBit_[b] = uint64_t{1} << n;
    const int i = IndexOfValue_[v];
    IndexOfNumber_[b] = static_cast<int8_t>(i);
    if (i < 0) continue;
    GroupBit_[b] = uint64_t{1} << i;
    Members_[static_cast<size_t>(i)] |= NumberBit_[b];
  }
}

uint64_t TNumberGroups::NumbersOfValues(const std::array<bool, 256>& groups) const {
  uint64_t bits = 0;
  for (size_t n = 1; n <= MaxNumber; ++n)
    if (groups[Value_[n]]) bits |= NumberBit_[n];
  return bits;
}

void TComponentSet::Prepare(const TStatDrawArray& values) {
  Set_.fill(false);
  for (const TStatDraw& v : values)
    if (v.Key[0] >= 0 && v.Key[0] < 256) Set_[static_cast<size_t>(v.Key[0])] = true;
  For_.Set(values);
}

void AddGroupValues(const TNumberGroups& groups, const TComb& nums, TStatDraw& rec, TStatDrawArray& list,
                    bool trackGaps) {
  bool plain = list.empty() && !trackGaps;
  for (uint8_t n : nums) plain = plain && groups.IndexOfNumber(n) >= 0;
  if (!plain) {
    for (uint8_t n : nums) MergeValue(list, rec, groups.ValueOf(n), trackGaps);
    return;
  }
  // Nothing to merge with: every position writes the next free entry, which
  // only a new group keeps; a known group adds its hit to its own entry.
  // No branch per position, and no load of a record just written piecewise.
  list.resize(MainCount);
  TStatDraw* out = list.data();
  std::array<size_t, TNumberGroups::MaxGroups> slotOf;
  uint64_t seen = 0;
  size_t k = 0;
  for (uint8_t n : nums) {
    const auto i = static_cast<size_t>(groups.IndexOfNumber(n));
    const uint64_t bit = uint64_t{1} << i;
    const bool isNew = (seen & bit) == 0;
    seen |= bit;
    TStatDraw& e = out[k];
    e = rec;
    e.Hits = 0;
    SetKey32(e.Key, groups.ValueOf(n));
    const size_t slot = isNew ? k : slotOf[i];
    slotOf[i] = slot;
    out[slot].Hits += rec.Hits;
    k += isNew ? 1 : 0;
  }
  list.resize(k);
}

void TGroupCountPairs::Add(const TNumberGroups& groups, const TComb& nums, TStatDraw& rec, TStatDrawArray& list,
                           bool trackGaps) {
  std::array<uint8_t, TNumberGroups::MaxGroups> counts{};
  for (uint8_t n : nums) {
    const int i = groups.IndexOfNumber(n);
    if (i >= 0) ++counts[static_cast<size_t>(i)];
  }
  const bool fresh = list.empty();
  for (int i = 0; i < groups.Count(); ++i) {
    AddDistinct(list, rec, KeyOf(groups.GroupAt(i), counts[static_cast<size_t>(i)]), fresh, trackGaps);
  }
}

void TGroupCountPairs::Prepare(const TNumberGroups& groups, const TStatDrawArray& values) {
  Counts_.fill(0);
  Empty_ = 0;
  for (const TStatDraw& v : values) {
    const int i = groups.IndexOf(v.Key[0]);
    const int k = v.Key[1];
    if (i < 0 || k < 0 || k > 7 || v.Key[2] != 0 || v.Key[3] != 0) continue;
    Counts_[static_cast<size_t>(i)] |= static_cast<uint8_t>(1u << k);
    if (k == 0) Empty_ |= uint64_t{1} << i;
  }
  Packed_ = groups.Count() <= MaxPacked;
  Inc_.fill(0);
  Table_.clear();
  Chunks_ = 0;
  if (Packed_) {
    for (int n = 0; n < 256; ++n) {
      const int i = groups.IndexOfNumber(static_cast<uint8_t>(n));
      if (i >= 0) Inc_[static_cast<size_t>(n)] = uint64_t{1} << (3 * i);
    }
    const auto count = static_cast<size_t>(groups.Count());
    Chunks_ = (count + GroupsPerChunk - 1) / GroupsPerChunk;
    Table_.assign(Chunks_ * ChunkWords, 0);
    for (size_t c = 0; c < Chunks_; ++c)
      for (size_t v = 0; v < ChunkSize; ++v)
        for (size_t j = 0; j < GroupsPerChunk && c * GroupsPerChunk + j < count; ++j) {
          const size_t k = (v >> (3 * j)) & 7;
          if ((Counts_[c * GroupsPerChunk + j] >> k) & 1u) Table_[c * ChunkWords + (v >> 6)] |= uint64_t{1} << (v & 63);
        }
  }
  For_.Set(values);
}

bool TGroupCountPairs::MatchesList(const TNumberGroups& groups, const TComb& comb,
                                   const TStatDrawArray& values) const {
  for (int i = 0; i < groups.Count(); ++i)
    if (HasKey(values, KeyOf(groups.GroupAt(i), groups.CountOf(comb, i)))) return true;
  return false;
}

bool TGroupCountPairs::MatchesPrepared(const TNumberGroups& groups, const TComb& comb) const {
  uint64_t occupied = groups.GroupBits(comb);
  if ((Empty_ & ~occupied) != 0) return true;
  for (; occupied != 0; occupied &= occupied - 1) {
    const int i = std::countr_zero(occupied);
    if ((Counts_[static_cast<size_t>(i)] >> groups.CountOf(comb, i)) & 1u) return true;
  }
  return false;
}

template <int Size, bool Seq>
void TGroupTuples<Size, Seq>::Assign(const TNumberGroups& groups) {
  DenseOfValue_.fill(-1);
  Radix_ = 0;
  for (size_t b = 0; b < 256; ++b) {
    const uint8_t v = groups.ValueOf(static_cast<uint8_t>(b));
    Value_[b] = v;
    if (DenseOfValue_[v] < 0) DenseOfValue_[v] = static_cast<int16_t>(Radix_++);
    Dense_[b] = static_cast<uint8_t>(DenseOfValue_[v]);
  }
}

template <int Size, bool Seq>
void TGroupTuples<Size, Seq>::Prepare(const TStatDrawArray& values) {
  size_t total = 0;
  size_t span = 1;
  for (size_t m = 0; m < Size; ++m) {
    span *= Radix_;
    Offset_[m] = total;
    total += span;
  }
  Bits_.assign(total / 64 + 2, 0);
  for (const TStatDraw& v : values) {
    bool fits = true;
    for (size_t m = Size; m < 4; ++m) fits = fits && v.Key[m] == 0;
    std::array<size_t, Size> d{};
    for (size_t m = 0; m < Size && fits; ++m) {
      const int16_t c = v.Key[m];
      fits = c >= 0 && c < 256 && DenseOfValue_[static_cast<size_t>(c)] >= 0;
      if (fits) d[m] = static_cast<size_t>(DenseOfValue_[static_cast<size_t>(c)]);
    }
    if (!fits) continue;
    size_t idx = 0;
    for (size_t m = 0; m < Size; ++m) {
      idx = idx * Radix_ + d[m];
      const size_t bit = Offset_[m] + idx;
      Bits_[bit >> 6] |= uint64_t{1} << (bit & 63);
    }
  }
  BuildWhole();
  For_.Set(values);
}

namespace {

// Bits [pos, pos + count) of a bit vector, count <= 64, the first lowest.
uint64_t BitsAt(const std::vector<uint64_t>& bits, size_t pos, size_t count) {
  const size_t w = pos >> 6;
  const size_t off = pos & 63;
  uint64_t v = bits[w] >> off;
  if (off != 0 && off + count > 64) v |= bits[w + 1] << (64 - off);
  return count == 64 ? v : v & ((uint64_t{1} << count) - 1);
}

void OrBitsAt(std::vector<uint64_t>& bits, size_t pos, uint64_t v) {
  const size_t w = pos >> 6;
  const size_t off = pos & 63;
  bits[w] |= v << off;
  if (off != 0) bits[w + 1] |= v >> (64 - off);
}

}  // namespace

template <int Size, bool Seq>
void TGroupTuples<Size, Seq>::BuildWhole() {
  Whole_.clear();
  size_t cells = 1;
  for (size_t i = 0; i < MainCount; ++i) {
    cells *= Radix_;
    if (cells > WholeLimit) return;
  }
  Whole_.assign(cells / 64 + 2, 0);
  size_t weight = cells;
  for (size_t p = 0; p < MainCount; ++p) {
    weight /= Radix_;
    for (size_t b = 0; b < 256; ++b) Place_[p][b] = static_cast<uint32_t>(Dense_[b] * weight);
  }
  // For every value of the first five positions: whether a tuple within them
  // is selected, and which values of the sixth complete one.
  std::array<int, Size - 1> last{};  // choices of Size - 1 positions that a sixth one ends
  std::vector<std::array<int, Size - 1>> ends;
  if constexpr (Seq) {
    for (size_t m = 0; m + 1 < Size; ++m) last[m] = static_cast<int>(MainCount - Size + m);
    ends.push_back(last);
  } else {
    std::array<int, Size - 1> pos{};
    const auto walk = [&](auto& self, size_t depth, int start) -> void {
      if (depth == Size - 1) {
        ends.push_back(pos);
        return;
      }
      for (int i = start; i < static_cast<int>(MainCount) - 1; ++i) {
        pos[depth] = i;
        self(self, depth + 1, i + 1);
      }
    };
    walk(walk, 0, 0);
  }
  const uint64_t all = Radix_ == 64 ? ~uint64_t{0} : (uint64_t{1} << Radix_) - 1;
  std::array<size_t, MainCount - 1> d{};
  const size_t prefixes = cells / Radix_;
  for (size_t p = 0; p < prefixes; ++p) {
    size_t rest = p;
    for (size_t i = MainCount - 1; i-- > 0;) {
      d[i] = rest % Radix_;
      rest /= Radix_;
    }
    const bool within = ForEachChoice(MainCount - 1, [&](const std::array<int, Size>& pos) {
      size_t idx = 0;
      for (int q : pos) idx = idx * Radix_ + d[static_cast<size_t>(q)];
      return Test(Size - 1, idx);
    });
    uint64_t sixth = 0;
    if (within) {
      sixth = all;
    } else {
      for (const auto& e : ends) {
        size_t idx = 0;
        for (int q : e) idx = idx * Radix_ + d[static_cast<size_t>(q)];
        sixth |= BitsAt(Bits_, Offset_[Size - 1] + idx * Radix_, Radix_);
      }
    }
    if (sixth != 0) OrBitsAt(Whole_, p * Radix_, sixth);
  }
}

template <int Size, bool Seq>
bool TGroupTuples<Size, Seq>::MatchesList(const TComb& comb, const TStatDrawArray& values) const {
  return ForEachChoice(MainCount, [&](const std::array<int, Size>& pos) {
    TStatKey4 key{};
    for (size_t m = 0; m < Size; ++m) key[m] = Value_[comb[static_cast<size_t>(pos[m])]];
    return HasKey(values, key);
  });
}

template class TGroupTuples<2, false>;
template class TGroupTuples<3, false>;
template class TGroupTuples<4, false>;
template class TGroupTuples<2, true>;
template class TGroupTuples<3, true>;
template class TGroupTuples<4, true>;

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
class TstGroupTuple : public TCustomMatrixStat {
 public:
  TstGroupTuple(const TStatClass& cls, const TStatList& list, int param) : TCustomMatrixStat(cls, list, param) {
    Tuples_.Assign(Groups(A));
  }

  std::string ValueToText(const TStatDraw& rec) const override { return TGroupTuples<Size, Seq>::Text(rec); }

  // The order of the numbers matters: a combination has no tuple values.
  void CalcCombination(const TComb&, TStatDrawArray&) const override {}

  void PrepareValues(const TStatDrawArray& values) override { Tuples_.Prepare(values); }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    return Tuples_.Matches(comb, values);
  }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    Tuples_.Add(nums, rec, list, trackGaps);
  }

 private:
  TGroupTuples<Size, Seq> Tuples_;
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
