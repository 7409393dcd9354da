#include "stats/full_set.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <limits>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "core/error.h"
#include "core/file_io.h"
#include "core/format.h"
#include "stats/stat_list.h"

namespace vexa {
namespace {

// The key as one number whose order is the file's order (Key[0] first).
uint64_t OrderKey(const TStatKey4& key) {
  return (static_cast<uint64_t>(static_cast<uint16_t>(key[0])) << 48) |
         (static_cast<uint64_t>(static_cast<uint16_t>(key[1])) << 32) |
         (static_cast<uint64_t>(static_cast<uint16_t>(key[2])) << 16) |
         static_cast<uint64_t>(static_cast<uint16_t>(key[3]));
}

TStatKey4 FromOrderKey(uint64_t k) {
  return {static_cast<int16_t>(k >> 48), static_cast<int16_t>((k >> 32) & 0xFFFF),
          static_cast<int16_t>((k >> 16) & 0xFFFF), static_cast<int16_t>(k & 0xFFFF)};
}

void PutU16(std::string& out, uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

void PutI32(std::string& out, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((u >> shift) & 0xFF));
}

uint16_t GetU16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

int32_t GetI32(const unsigned char* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                              (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
}

// Sums by key: the linear merge of a list would cost the number of
// distinct values for every value added. Small single values (Key[0] below
// SmallKeys, the rest 0), by far the most common, go to a plain array; the
// others to an open-addressing table.
class TKeyCounts {
 public:
  static constexpr uint64_t SmallKeys = 1024;

  // Small pairs (Key[0] below PairFirst, Key[1] below PairSecond, the rest 0):
  // a second plain array, for the methods whose values are (item, count).
  static constexpr uint64_t PairFirst = 256;
  static constexpr uint64_t PairSecond = 64;

  TKeyCounts()
      : Small_(SmallKeys, 0), SmallUsed_(SmallKeys, 0), Pair_(PairFirst * PairSecond, 0),
        PairUsed_(PairFirst * PairSecond, 0) {
    Reset(256);
  }

  void Add(uint64_t key, int64_t n) {
    const uint64_t k0 = key >> 48;
    if ((key & 0xFFFFFFFF) == 0) {
      const uint64_t k1 = (key >> 32) & 0xFFFF;
      if (k1 == 0 && k0 < SmallKeys) {
        Small_[k0] += n;
        SmallUsed_[k0] = 1;
        return;
      }
      if (k0 < PairFirst && k1 < PairSecond) {
        Pair_[k0 * PairSecond + k1] += n;
        PairUsed_[k0 * PairSecond + k1] = 1;
        return;
      }
    }
    AddLarge(key, n);
  }

  template <typename F>
  void ForEach(F f) const {
    for (uint64_t k = 0; k < SmallKeys; ++k)
      if (SmallUsed_[k]) f(k << 48, Small_[k]);
    for (uint64_t k = 0; k < PairFirst * PairSecond; ++k)
      if (PairUsed_[k]) f(((k / PairSecond) << 48) | ((k % PairSecond) << 32), Pair_[k]);
    for (size_t i = 0; i < Keys_.size(); ++i)
      if (Used_[i]) f(Keys_[i], Counts_[i]);
  }

  size_t Size() const {
    size_t n = Size_;
    for (uint8_t u : SmallUsed_) n += u;
    for (uint8_t u : PairUsed_) n += u;
    return n;
  }

 private:
  void AddLarge(uint64_t key, int64_t n) {
    size_t i = Slot(key);
    while (Used_[i]) {
      if (Keys_[i] == key) {
        Counts_[i] += n;
        return;
      }
      i = (i + 1) & Mask_;
    }
    Used_[i] = 1;
    Keys_[i] = key;
    Counts_[i] = n;
    if (++Size_ * 2 > Keys_.size()) Grow();
  }

  // Keys differ mostly in their top bits (Key[0]); fold them down before
  // the multiplicative hash, which keeps the high bits of the product.
  size_t Slot(uint64_t key) const {
    uint64_t h = key ^ (key >> 29) ^ (key >> 47);
    h *= 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>(h >> Shift_);
  }

  // REQUIRES: capacity is a power of two, at least 2.
  void Reset(size_t capacity) {
    Keys_.assign(capacity, 0);
    Counts_.assign(capacity, 0);
    Used_.assign(capacity, 0);
    Mask_ = capacity - 1;
    Shift_ = 64;
    for (size_t c = capacity; c > 1; c >>= 1) --Shift_;
    Size_ = 0;
  }

  void Grow() {
    std::vector<uint64_t> keys = std::move(Keys_);
    std::vector<int64_t> counts = std::move(Counts_);
    std::vector<uint8_t> used = std::move(Used_);
    Reset(keys.size() * 2);
    for (size_t i = 0; i < keys.size(); ++i)
      if (used[i]) AddLarge(keys[i], counts[i]);
  }

  std::vector<int64_t> Small_;
  std::vector<uint8_t> SmallUsed_;
  std::vector<int64_t> Pair_;
  std::vector<uint8_t> PairUsed_;
  std::vector<uint64_t> Keys_;
  std::vector<int64_t> Counts_;
  std::vector<uint8_t> Used_;
  size_t Mask_ = 0;
  int Shift_ = 64;
  size_t Size_ = 0;
};

// All combinations starting with a, b, in ascending order.
void CountPrefix(const TCustomStat& stat, int a, int b, TStatDrawArray& values, TKeyCounts& counts) {
  TComb comb{static_cast<uint8_t>(a), static_cast<uint8_t>(b), 0, 0, 0, 0};
  for (int c = b + 1; c <= MaxNumber - 3; ++c) {
    comb[2] = static_cast<uint8_t>(c);
    for (int d = c + 1; d <= MaxNumber - 2; ++d) {
      comb[3] = static_cast<uint8_t>(d);
      for (int e = d + 1; e <= MaxNumber - 1; ++e) {
        comb[4] = static_cast<uint8_t>(e);
        for (int f = e + 1; f <= MaxNumber; ++f) {
          comb[5] = static_cast<uint8_t>(f);
          values.clear();
          stat.CalcCombination(comb, values);
          for (const TStatDraw& v : values) counts.Add(OrderKey(v.Key), v.Hits);
        }
      }
    }
  }
}

}  // namespace

std::string EncodeFullSet(const TFullSet& set) {
  std::string out;
  out.reserve((set.Records.size() + 1) * FullSetRecordSize);
  for (const TFullSetRecord& r : set.Records) {
    for (int16_t k : r.Key) PutU16(out, static_cast<uint16_t>(k));
    PutI32(out, r.Count);
  }
  PutI32(out, set.MinCount);
  PutI32(out, set.MaxCount);
  PutI32(out, 0);
  return out;
}

TFullSet DecodeFullSet(std::string_view bytes) {
  if (bytes.size() < FullSetRecordSize || bytes.size() % FullSetRecordSize != 0)
    throw EVexaError(Format("Неверный размер файла: %d байт (ожидается кратный %d, не меньше %d).",
                            {static_cast<long long>(bytes.size()), static_cast<int>(FullSetRecordSize),
                             static_cast<int>(FullSetRecordSize)}));
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t count = bytes.size() / FullSetRecordSize - 1;
  TFullSet set;
  set.Records.resize(count);
  for (size_t i = 0; i < count; ++i, p += FullSetRecordSize) {
    TFullSetRecord& r = set.Records[i];
    for (size_t k = 0; k < 4; ++k) r.Key[k] = static_cast<int16_t>(GetU16(p + 2 * k));
    r.Count = GetI32(p + 8);
  }
  set.MinCount = GetI32(p);
  set.MaxCount = GetI32(p + 4);
  return set;
}

TFullSet ComputeFullSet(const TCustomStat& stat, int threads, const std::function<bool()>& stopped) {
  std::vector<std::pair<int, int>> prefixes;
  for (int a = 1; a <= MaxNumber - 5; ++a)
    for (int b = a + 1; b <= MaxNumber - 4; ++b) prefixes.emplace_back(a, b);

  if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  threads = std::min<int>(threads, static_cast<int>(prefixes.size()));

  std::vector<TKeyCounts> partial(static_cast<size_t>(threads));
  std::atomic<size_t> next{0};
  std::exception_ptr failure;
  std::mutex failureLock;
  auto work = [&](size_t t) {
    try {
      TStatDrawArray values;
      // The first prefixes hold the most combinations: handing them out in
      // order keeps the threads busy to the end.
      for (size_t k = next++; k < prefixes.size(); k = next++) {
        if (t == 0 && stopped && stopped()) throw EStopped();
        CountPrefix(stat, prefixes[k].first, prefixes[k].second, values, partial[t]);
      }
    } catch (...) {
      const std::lock_guard<std::mutex> lock(failureLock);
      if (!failure) failure = std::current_exception();
      next = prefixes.size();
    }
  };
  std::vector<std::thread> pool;
  for (int t = 1; t < threads; ++t) pool.emplace_back(work, static_cast<size_t>(t));
  work(0);
  for (auto& th : pool) th.join();
  if (failure) std::rethrow_exception(failure);

  TKeyCounts& total = partial[0];
  for (size_t t = 1; t < partial.size(); ++t) partial[t].ForEach([&](uint64_t k, int64_t n) { total.Add(k, n); });

  std::vector<std::pair<uint64_t, int64_t>> sums;
  sums.reserve(total.Size());
  total.ForEach([&](uint64_t k, int64_t n) { sums.emplace_back(k, n); });
  std::sort(sums.begin(), sums.end());

  TFullSet set;
  set.Records.reserve(sums.size());
  for (const auto& [k, n] : sums) {
    if (n > std::numeric_limits<int32_t>::max() || n < std::numeric_limits<int32_t>::min())
      throw EVexaError(Format("Количество комбинаций со значением превышает %d!", {std::numeric_limits<int32_t>::max()}));
    set.Records.push_back(TFullSetRecord{FromOrderKey(k), static_cast<int32_t>(n)});
  }
  if (!set.Records.empty()) {
    const auto [lo, hi] = std::minmax_element(set.Records.begin(), set.Records.end(),
                                              [](const TFullSetRecord& x, const TFullSetRecord& y) { return x.Count < y.Count; });
    set.MinCount = lo->Count;
    set.MaxCount = hi->Count;
  }
  return set;
}

std::filesystem::path TFullSetPlace::FileOf(std::string_view code) const {
  return Folder() / (BaseName + "_" + std::string(code) + FullSetFileExt);
}

bool FullSetFileExists(const std::filesystem::path& file) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(file, ec);
  return !ec && size > 0;
}

TFullSet ReadFullSetFile(const std::filesystem::path& file) { return DecodeFullSet(ReadWholeFile(file)); }

std::optional<TFullSet> CreateFullSetFile(const TStatList& list, int methodIndex, const TFullSetPlace& place,
                                          TUserInterface& ui, int threads) {
  const std::filesystem::path file = place.FileOf(list.Items(methodIndex).Code());
  ui.SetStatus(Format(FullSetCreatingStatus, {file.filename().string()}));
  try {
    const auto stat = list.CreateStat(methodIndex);
    std::error_code ec;
    std::filesystem::create_directories(place.Folder(), ec);
    if (ec) throw EVexaError(ec.message());
    TFullSet set = ComputeFullSet(*stat, threads, [&ui] { return ui.StopRequested(); });
    WriteFileAtomic(file, EncodeFullSet(set));
    return set;
  } catch (const EStopped&) {
    throw;  // nothing was written: the old file, if any, stays
  } catch (const std::exception& e) {
    ui.Message(TMessageKind::Error, Format(FullSetCreateErrorFormat, {file.string(), e.what()}));
    return std::nullopt;
  }
}

std::optional<TFullSet> OpenFullSetFile(const TStatList& list, int methodIndex, const TFullSetPlace& place,
                                        bool prefetchsEnabled, TUserInterface& ui) {
  if (!prefetchsEnabled || !list.IsFullSetComputable(methodIndex)) return std::nullopt;
  const std::filesystem::path file = place.FileOf(list.Items(methodIndex).Code());
  if (!FullSetFileExists(file)) return CreateFullSetFile(list, methodIndex, place, ui);
  try {
    return ReadFullSetFile(file);
  } catch (const std::exception& e) {
    ui.Message(TMessageKind::Error, Format(FullSetOpenErrorFormat, {file.string(), e.what()}));
    return std::nullopt;
  }
}

std::vector<TFullSetCreated> RefreshFullSetFiles(const TStatList& list, const TFullSetPlace& place, bool force,
                                                 unsigned groups, bool prefetchsEnabled, TUserInterface& ui) {
  std::vector<TFullSetCreated> made;
  if (!force && !prefetchsEnabled) return made;
  ui.SetStatus(FullSetRefreshStatus);
  for (int i = 0; i < list.Count(); ++i) {
    if (!list.IsFullSetComputable(i)) continue;
    const int group = list.Items(i).StatClass->Group;
    const bool recreate = group >= 0 && group < StatGroupCount && ((groups >> group) & 1u) != 0;
    const std::filesystem::path file = place.FileOf(list.Items(i).Code());
    if (!recreate && FullSetFileExists(file)) continue;
    const std::optional<TFullSet> set = CreateFullSetFile(list, i, place, ui);
    made.push_back(TFullSetCreated{i, file, !set.has_value(), set ? static_cast<int>(set->Records.size()) : 0});
  }
  return made;
}

}  // namespace vexa
