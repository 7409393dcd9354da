#include "stats/group_tuples.h"

#include "core/game.h"

namespace vexa {

template <int Size, bool Seq>
void TGroupTuples<Size, Seq>::Assign(const std::array<uint8_t, 256>& valueOfByte) {
  DenseOfValue_.fill(-1);
  Radix_ = 0;
  for (size_t n = 1; n <= MaxNumber; ++n) {
    const uint8_t v = valueOfByte[n];
    if (DenseOfValue_[v] < 0) DenseOfValue_[v] = static_cast<int16_t>(Radix_++);
  }
  for (size_t b = 0; b < 256; ++b) {
    Value_[b] = valueOfByte[b];
    const int16_t d = DenseOfValue_[valueOfByte[b]];
    Dense_[b] = d >= 0 ? static_cast<uint8_t>(d) : NoIndex;
  }
}

template <int Size, bool Seq>
void TGroupTuples<Size, Seq>::Assign(const TNumberGroups& groups) {
  std::array<uint8_t, 256> values{};
  for (size_t b = 0; b < 256; ++b) values[b] = groups.ValueOf(static_cast<uint8_t>(b));
  Assign(values);
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
    // A byte of no index pushes the sum past the table.
    for (size_t b = 0; b < 256; ++b)
      Place_[p][b] = static_cast<uint32_t>(Dense_[b] == NoIndex ? cells : Dense_[b] * weight);
  }
  Cells_ = cells;
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

}  // namespace vexa
