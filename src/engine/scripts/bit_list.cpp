#include "scripts/bit_list.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <iterator>

#include "core/parallel.h"

namespace vexa {
namespace {

constexpr int64_t Choose(int n, int k) {
  if (k < 0 || k > n) return 0;
  int64_t r = 1;
  for (int i = 1; i <= k; ++i) r = r * (n - k + i) / i;
  return r;
}

// Prefix[i][v]: the combinations whose number at place i is below v, given
// the places before; sum of C(45 - x, 5 - i) for x = 1 .. v - 1.
constexpr std::array<std::array<int64_t, MaxNumber + 2>, MainCount> Prefix = [] {
  std::array<std::array<int64_t, MaxNumber + 2>, MainCount> p{};
  for (int i = 0; i < MainCount; ++i) {
    int64_t sum = 0;
    for (int v = 1; v <= MaxNumber + 1; ++v) {
      p[static_cast<size_t>(i)][static_cast<size_t>(v)] = sum;
      if (v <= MaxNumber) sum += Choose(MaxNumber - v, MainCount - 1 - i);
    }
  }
  return p;
}();

constexpr uint64_t LastWordMask =
    TFullCombs::Total % 64 == 0 ? ~uint64_t{0} : (uint64_t{1} << (TFullCombs::Total % 64)) - 1;

// The bits of one word of the list that the filter keeps.
uint64_t FilterWord(const TFullCombs& all, size_t w, uint64_t bits, const TBitFilter& f) {
  if (bits == 0) return 0;
  const TComb* base = all.Data() + w * 64;
  if (bits == ~uint64_t{0})
    return f.Stat->MatchWord(base, 64, *f.Values, f.LastIndex, f.Sorted, f.Del);
  TComb picked[64] = {};
  size_t m = 0;
  for (uint64_t b = bits; b != 0; b &= b - 1) picked[m++] = base[std::countr_zero(b)];
  const uint64_t kept = f.Stat->MatchWord(picked, m, *f.Values, f.LastIndex, f.Sorted, f.Del);
  // Back to the places the combinations came from.
  uint64_t out = 0;
  size_t k = 0;
  for (uint64_t b = bits; b != 0; b &= b - 1, ++k)
    if (((kept >> k) & 1) != 0) out |= b & (~b + 1);
  return out;
}

uint64_t FullWord(size_t w) { return w + 1 == TFullCombs::Words ? LastWordMask : ~uint64_t{0}; }

// Combinations of one word to ask about, above which the whole word is asked.
constexpr int DenseWord = 24;

// Runs word(w) for every word, on several threads, and sums what it returns.
// Each thread sums on its own and writes only its words.
template <typename Word>
int64_t ForWords(size_t words, int threads, const Word& word) {
  threads = WorkerThreads(threads);
  if (words < 4096) threads = 1;
  // Interleaved stretches, so that a dense part of the list does not fall to one thread.
  constexpr size_t Stretch = 1024;
  std::vector<int64_t> sums(static_cast<size_t>(threads), 0);
  RunWorkers(threads, [&](int t) {
    int64_t sum = 0;
    for (size_t from = static_cast<size_t>(t) * Stretch; from < words; from += static_cast<size_t>(threads) * Stretch)
      for (size_t w = from, end = std::min(from + Stretch, words); w < end; ++w) sum += word(w);
    sums[static_cast<size_t>(t)] = sum;
  });
  int64_t total = 0;
  for (int64_t sum : sums) total += sum;
  return total;
}

}  // namespace

// ---- Full set ---------------------------------------------------------------------

TFullCombs::TFullCombs() {
  All_.resize(Total);
  size_t k = 0;
  for (uint8_t a = 1; a <= 40; ++a)
    for (uint8_t b = a + 1; b <= 41; ++b)
      for (uint8_t c = b + 1; c <= 42; ++c)
        for (uint8_t d = c + 1; d <= 43; ++d)
          for (uint8_t e = d + 1; e <= 44; ++e)
            for (uint8_t f = e + 1; f <= 45; ++f) All_[k++] = TComb{a, b, c, d, e, f};
}

int64_t TFullCombs::PositionOf(const TComb& comb) {
  int64_t position = 0;
  int previous = 0;
  for (size_t i = 0; i < comb.size(); ++i) {
    const int v = comb[i];
    if (v <= previous || v > MaxNumber - MainCount + 1 + static_cast<int>(i)) return -1;
    position += Prefix[i][static_cast<size_t>(v)] - Prefix[i][static_cast<size_t>(previous + 1)];
    previous = v;
  }
  return position;
}

// ---- Bit list -----------------------------------------------------------------------

void TBitList::SetAll() {
  Bits_.assign(TFullCombs::Words, ~uint64_t{0});
  Bits_.back() = LastWordMask;
  Count_ = static_cast<int>(TFullCombs::Total);
}

void TBitList::Clear() {
  Bits_.assign(TFullCombs::Words, 0);
  Count_ = 0;
}

void TBitList::Reset(size_t position) {
  uint64_t& word = Bits_[position / 64];
  const uint64_t bit = uint64_t{1} << (position % 64);
  if ((word & bit) == 0) return;
  word &= ~bit;
  --Count_;
}

size_t TBitList::Select(int i) const {
  size_t left = static_cast<size_t>(i);
  for (size_t w = 0; w < Bits_.size(); ++w) {
    uint64_t bits = Bits_[w];
    const auto n = static_cast<size_t>(PopCount(bits));
    if (left >= n) {
      left -= n;
      continue;
    }
    for (; left > 0; --left) bits &= bits - 1;
    return w * 64 + static_cast<size_t>(std::countr_zero(bits));
  }
  return TFullCombs::Total;
}

void TBitList::Recount() {
  int64_t n = 0;
  for (uint64_t w : Bits_) n += PopCount(w);
  Count_ = static_cast<int>(n);
}

// ---- Cache ------------------------------------------------------------------------------

std::string TMatchCache::KeyOf(int method, const TStatDrawArray& values, int lastIndex, bool sorted, bool del) {
  std::vector<uint64_t> keys;
  keys.reserve(values.size());
  for (const TStatDraw& v : values) keys.push_back(PackKey(v.Key));
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  std::string key;
  auto put = [&](const void* p, size_t n) { key.append(static_cast<const char*>(p), n); };
  const int32_t head[2] = {method, lastIndex};
  put(head, sizeof head);
  key += static_cast<char>((sorted ? 1 : 0) | (del ? 2 : 0));
  put(keys.data(), keys.size() * sizeof(uint64_t));
  return key;
}

TMatchAnswers& TMatchCache::Get(const std::string& key) {
  if (const auto it = Map_.find(key); it != Map_.end()) {
    Order_.splice(Order_.begin(), Order_, it->second);
    return it->second->second;
  }
  if (!Order_.empty() && Order_.size() >= Capacity_) {
    // The oldest answers make room; their memory is reused, already mapped.
    Map_.erase(Order_.back().first);
    Order_.splice(Order_.begin(), Order_, std::prev(Order_.end()));
    Order_.front().first = key;
    std::fill(Order_.front().second.Known.begin(), Order_.front().second.Known.end(), 0);
    std::fill(Order_.front().second.Kept.begin(), Order_.front().second.Kept.end(), 0);
  } else {
    Order_.emplace_front(key, TMatchAnswers{std::vector<uint64_t>(TFullCombs::Words, 0),
                                            std::vector<uint64_t>(TFullCombs::Words, 0)});
  }
  Map_[key] = Order_.begin();
  return Order_.front().second;
}

void TMatchCache::Clear() {
  Map_.clear();
  Order_.clear();
}

bool MatchesIgnoreLastIndex(const TStatClass& cls) {
  return (cls.Kind & skNumbers) != 0 && (cls.Kind & (skDraw | skPeriod)) == 0;
}

// ---- Filtering --------------------------------------------------------------------------

int64_t NarrowBits(const TFullCombs& all, std::span<uint64_t> list, TMatchAnswers& answers,
                   const TBitFilter& filter) {
  uint64_t* const bits = list.data();
  uint64_t* const known = answers.Known.data();
  uint64_t* const kept = answers.Kept.data();
  return ForWords(list.size(), filter.Threads, [&](size_t w) -> int64_t {
    if (bits[w] == 0) return 0;
    uint64_t need = bits[w] & ~known[w];
    if (need != 0) {
      // With many to ask, the whole stretch is asked at once: no gathering,
      // and a later list finds the rest answered.
      if (PopCount(need) >= DenseWord) need = FullWord(w) & ~known[w];
      kept[w] |= FilterWord(all, w, need, filter);
      known[w] |= need;
    }
    bits[w] &= kept[w];
    return PopCount(bits[w]);
  });
}

}  // namespace vexa
