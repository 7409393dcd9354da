#include "stats/channel_stats.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "core/format.h"
#include "stats/stat_fast.h"
#include "stats/group_tuples.h"
#include "stats/stat_list.h"
#include "stats/tuple_stat.h"

namespace vexa {

int ChannelOf(int n, int channelSize) { return GroupOf(n, channelSize); }

int ChannelCountOf(int channelSize) { return ChannelOf(MaxNumber, channelSize); }

std::string ChannelText(int channel, int channelSize) {
  return Format("%.2d [%s-%s]", {channel, std::to_string(channelSize * (channel - 1) + 1),
                                 std::to_string(channel * channelSize)});
}

void ChannelParamRange(const TStatList& list, int& low, int& high) {
  const int size = list.Config.ChannelSize;
  if (size <= 0) {
    low = 0;
    high = -1;
    return;
  }
  low = ChannelOf(1, size);
  high = ChannelOf(MaxNumber, size);
}

namespace {

// ---- Hot-path helpers ----------------------------------------------------------------

constexpr uint64_t Bit(unsigned x) { return uint64_t{1} << x; }

// ---- Bases -------------------------------------------------------------------------

template <typename Base>
class TChannelsStat : public Base {
 public:
  TChannelsStat(const TStatClass& cls, const TStatList& list, int param)
      : Base(cls, list, param), ChannelSize(list.Config.ChannelSize) {
    Packed_ = ChannelSize > 0 && ChannelCount() <= PackedChannels;
    for (size_t n = 0; n < ChannelMap_.size(); ++n) {
      ChannelMap_[n] = static_cast<uint8_t>(ChannelOf(static_cast<int>(n), ChannelSize));
      FastChannel_[n] = (n >= 1 && n <= MaxNumber) ? ChannelMap_[n] : NotANumber;
      Counter_[n] = (Packed_ && FastChannel_[n] != NotANumber) ? uint64_t{1} << (4 * (FastChannel_[n] - 1))
                                                               : uint64_t{1} << (4 * PackedChannels);
    }
  }

  int Channel(int n) const { return ChannelOf(n, ChannelSize); }

 protected:
  // Any byte has a channel below 256.
  uint8_t ChannelOfByte(uint8_t n) const { return ChannelMap_[n]; }
  // The channel of 1..45 (at most 45), or NotANumber for any other byte.
  uint8_t FastChannelOf(uint8_t n) const { return FastChannel_[n]; }
  int ChannelCount() const { return ChannelCountOf(ChannelSize); }

  // The histogram of six numbers as one sum: a 4-bit count per channel c at
  // bits 4(c - 1), and on top one that counts bytes outside 1..45. Every
  // ChannelSize the settings accept (3 and more) has at most 15 channels and
  // fits; other widths take the general paths.
  bool Packed() const { return Packed_; }
  uint64_t PackedHistogram(const TComb& n) const {
    return Counter_[n[0]] + Counter_[n[1]] + Counter_[n[2]] + Counter_[n[3]] + Counter_[n[4]] + Counter_[n[5]];
  }
  static bool AllNumbers(uint64_t packed) { return (packed >> (4 * PackedChannels)) == 0; }
  static uint32_t CountIn(uint64_t packed, unsigned channel) {
    return static_cast<uint32_t>((packed >> (4 * (channel - 1))) & 15u);
  }

  static constexpr uint8_t NotANumber = 0x80;
  static constexpr int PackedChannels = 15;
  const int32_t ChannelSize;

 private:
  bool Packed_ = false;
  TByteTable ChannelMap_{};
  TByteTable FastChannel_{};
  std::array<uint64_t, 256> Counter_{};
};

using TCustomChannelsStat = TChannelsStat<TCustomNumbersStat>;
using TCustomChannelsGraphStat = TChannelsStat<TCustomGraphStat>;

// ---- CHAN: the channel of each number ---------------------------------------------------

class TstChannels : public TCustomChannelsStat {
 public:
  using TCustomChannelsStat::TCustomChannelsStat;

  std::string ValueToText(const TStatDraw& rec) const override { return ChannelText(Key32(rec.Key), ChannelSize); }

  // "01 [1-5]" reads as 1: the first word.
  int32_t TextToValue(std::string_view text) const override {
    const size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return 0;
    text.remove_prefix(start);
    return StrToIntDef(text.substr(0, text.find(' ')), 0);
  }

  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    for (int c = 1; c <= ChannelCount(); ++c) MergeValue(list, FRec, c, false);
  }

  // Which numbers (any byte) lie in a selected channel.
  void PrepareValues(const TStatDrawArray& values) override {
    TCustomStat::PrepareValues(values);
    TByteTable lowBytes{};
    for (const TStatDraw& v : values) lowBytes[KeyByte(v.Key, 1)] = 1;
    for (size_t n = 0; n < Numbers_.size(); ++n) Numbers_[n] = lowBytes[ChannelOfByte(static_cast<uint8_t>(n))];
    Prepared_.Set(values);
  }

  // The low byte of Key[0] only, as the stored selections were always read.
  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    if (Prepared_.Is(values))
      return (Numbers_[comb[0]] | Numbers_[comb[1]] | Numbers_[comb[2]] | Numbers_[comb[3]] | Numbers_[comb[4]] |
              Numbers_[comb[5]]) != 0;
    return std::any_of(comb.begin(), comb.end(),
                       [&](uint8_t n) { return HasKeyByte(values, 1, ChannelOfByte(n)); });
  }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    if (!trackGaps && list.empty() && Packed()) {
      const uint64_t packed = PackedHistogram(nums);
      if (AllNumbers(packed)) {
        // Each channel once, at its first number, with how many numbers it has.
        uint64_t seen = 0;
        for (uint8_t n : nums) {
          const uint8_t c = FastChannelOf(n);
          if ((seen >> c) & 1u) continue;
          seen |= Bit(c);
          AppendValue(list, rec, {c, 0, 0, 0}, static_cast<int32_t>(CountIn(packed, c)));
        }
        return;
      }
    }
    for (uint8_t n : nums) MergeValue(list, rec, Channel(n), trackGaps);
  }

 private:
  TPreparedList Prepared_;
  TByteTable Numbers_{};
};

// ---- CHNV: (channel, how many numbers in it) for every channel ----------------------------

class TstChanValues : public TCustomChannelsStat {
 public:
  using TCustomChannelsStat::TCustomChannelsStat;

  std::string ValueToText(const TStatDraw& rec) const override {
    return Format("%0:s x %1:d", {ChannelText(rec.Key[0], ChannelSize), rec.Key[1]});
  }

  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    const int most = std::min(ChannelSize, MainCount);
    for (int c = 1; c <= ChannelCount(); ++c)
      for (int k = 0; k <= most; ++k) {
        FRec.Key = PairKey(c, k);
        MergeStatDraw(list, FRec, false);
      }
  }

  // ByteHit_[j][b]: b is byte j of the packed histogram, the counters of
  // channels 2j + 1 and 2j + 2; 1 when either (channel, count) is selected.
  void PrepareValues(const TStatDrawArray& values) override {
    TCustomStat::PrepareValues(values);
    std::array<uint16_t, PackedChannels + 1> counts{};  // by channel: bit k for a selected (c, k)
    for (const TStatDraw& v : values) {
      const auto c = static_cast<uint16_t>(v.Key[0]);
      const auto k = static_cast<uint16_t>(v.Key[1]);
      if (v.Key[2] == 0 && v.Key[3] == 0 && c >= 1 && c <= PackedChannels && k < 16)
        counts[c] = static_cast<uint16_t>(counts[c] | (1u << k));
    }
    const int channels = Packed() ? ChannelCount() : 0;
    auto selected = [&](int c, unsigned k) { return c <= channels && ((counts[static_cast<size_t>(c)] >> k) & 1u); };
    for (size_t j = 0; j < ByteHit_.size(); ++j)
      for (unsigned b = 0; b < 256; ++b) {
        const int c = static_cast<int>(2 * j + 1);
        ByteHit_[j][b] = (selected(c, b & 15u) || selected(c + 1, b >> 4)) ? 1 : 0;
      }
    Prepared_.Set(values);
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    if (Packed() && Prepared_.Is(values)) {
      const uint64_t h = PackedHistogram(comb);
      if (AllNumbers(h)) {
        uint8_t hit = 0;
        Unrolled<8>([&](auto j) { hit |= ByteHit_[j][(h >> (8 * j)) & 0xFF]; });
        return hit != 0;
      }
    }
    const THistogram h = Histogram(comb);
    for (size_t i = 0; i < h.Count; ++i)
      if (Selected(values, PairKey(h.Items[i].Key, h.Items[i].Count))) return true;
    return false;
  }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    const bool append = !trackGaps && list.empty();  // the channels differ from each other
    if (append && Packed()) {
      const uint64_t packed = PackedHistogram(nums);
      if (AllNumbers(packed)) {
        const auto channels = static_cast<unsigned>(ChannelCount());
        for (unsigned c = 1; c <= channels; ++c)
          AppendValue(list, rec, PairKey(static_cast<int32_t>(c), static_cast<int32_t>(CountIn(packed, c))), 1);
        return;
      }
    }
    const THistogram h = Histogram(nums);
    for (size_t i = 0; i < h.Count; ++i) {
      const TStatKey4 key = PairKey(h.Items[i].Key, h.Items[i].Count);
      if (append) {
        AppendValue(list, rec, key, 1);
      } else {
        rec.Key = key;
        MergeStatDraw(list, rec, trackGaps);
      }
    }
  }

 private:
  static TStatKey4 PairKey(int32_t c, int32_t k) { return {static_cast<int16_t>(c), static_cast<int16_t>(k), 0, 0}; }

  // (channel, count) in the order of a per-channel table: every channel of
  // 1..45 with 0 first, then the numbers counted in; a byte outside 1..45
  // may add a channel of its own at the end.
  struct THistogram {
    std::array<TStatSimple, MaxNumber + MainCount> Items{};
    size_t Count = 0;
  };

  THistogram Histogram(const TComb& nums) const {
    THistogram h;
    const int first = Channel(1);
    const int last = Channel(MaxNumber);
    for (int c = first; c <= last; ++c) h.Items[h.Count++] = TStatSimple{c, 0};
    for (uint8_t n : nums) {
      const int c = ChannelOfByte(n);
      if (c >= first && c <= last) {
        ++h.Items[static_cast<size_t>(c - first)].Count;
        continue;
      }
      const auto end = h.Items.begin() + static_cast<std::ptrdiff_t>(h.Count);
      const auto it = std::find_if(h.Items.begin() + (last - first + 1), end,
                                   [&](const TStatSimple& e) { return e.Key == c; });
      if (it == end)
        h.Items[h.Count++] = TStatSimple{c, 1};
      else
        ++it->Count;
    }
    return h;
  }

  TPreparedList Prepared_;
  std::array<TByteTable, 8> ByteHit_{};
};

// ---- CHNC and CHN c: one count with a graph ---------------------------------------------

// InOneChannel: the count of numbers in channel Param (CHN c); otherwise the
// number of different channels (CHNC).
template <bool InOneChannel>
class TstChannelCount : public TCustomChannelsGraphStat {
 public:
  TstChannelCount(const TStatClass& cls, const TStatList& list, int param)
      : TCustomChannelsGraphStat(cls, list, param) {
    for (size_t n = 0; n < InChannel_.size(); ++n) InChannel_[n] = ChannelOfByte(static_cast<uint8_t>(n)) == FParam;
  }

  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    const int high = InOneChannel ? ChannelSize : std::min(ChannelSize, MainCount);
    for (int k = 1; k <= high; ++k) MergeValue(list, FRec, k, false);
  }

  void PrepareValues(const TStatDrawArray& values) override {
    TCustomStat::PrepareValues(values);
    BuildKey0Table(values, Key0_);
    Prepared_.Set(values);
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    if (Prepared_.Is(values)) return Key0_[static_cast<size_t>(FastCountOf(comb))] != 0;
    return HasComponent(values, 1, static_cast<int16_t>(CountOf(comb)));
  }

  int32_t GraphValue(const TComb& comb, int, int, bool) override { return CountOf(comb); }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    MergeValue(list, rec, CountOf(nums), trackGaps);
  }

 private:
  int32_t CountOf(const TComb& n) const {
    if constexpr (InOneChannel) {
      return InChannel_[n[0]] + InChannel_[n[1]] + InChannel_[n[2]] + InChannel_[n[3]] + InChannel_[n[4]] +
             InChannel_[n[5]];
    } else {
      // A bit per channel seen so far; channels are bytes.
      std::array<uint64_t, 4> seen{};
      int32_t k = 0;
      for (uint8_t x : n) {
        const uint8_t c = ChannelOfByte(x);
        const uint64_t b = Bit(c & 63u);
        k += (seen[c >> 6] & b) == 0 ? 1 : 0;
        seen[c >> 6] |= b;
      }
      return k;
    }
  }

  // CountOf without a loop: the channels of 1..45 fit one word, a byte
  // outside them takes the general count.
  int32_t FastCountOf(const TComb& n) const {
    if constexpr (InOneChannel) {
      return CountOf(n);
    } else {
      uint64_t seen = 0;
      uint32_t any = 0;
      int32_t k = 0;
      Unrolled<MainCount>([&](auto i) {
        const uint8_t c = FastChannelOf(n[i]);
        const uint64_t b = Bit(c & 63u);
        any |= c;
        k += (seen & b) == 0 ? 1 : 0;
        seen |= b;
      });
      return (any & NotANumber) == 0 ? k : CountOf(n);
    }
  }

  TByteTable InChannel_{};
  TPreparedList Prepared_;
  TByteTable Key0_{};
};

using TstChanCount = TstChannelCount<false>;
using TstChnValCnt = TstChannelCount<true>;

// ---- KCM, KCS: tuples of channels --------------------------------------------------------

template <int M, bool Mix>
class TstCombChn : public TTupleStat<TCustomChannelsStat, TGroupTuples<M, !Mix>> {
 public:
  TstCombChn(const TStatClass& cls, const TStatList& list, int param)
      : TTupleStat<TCustomChannelsStat, TGroupTuples<M, !Mix>>(cls, list, param) {
    std::array<uint8_t, 256> channels{};
    for (size_t b = 0; b < channels.size(); ++b) channels[b] = this->ChannelOfByte(static_cast<uint8_t>(b));
    this->Engine_.Assign(channels);
  }
};

using TstCombChnMix2 = TstCombChn<2, true>;
using TstCombChnMix3 = TstCombChn<3, true>;
using TstCombChnMix4 = TstCombChn<4, true>;
using TstCombChnSeq2 = TstCombChn<2, false>;
using TstCombChnSeq3 = TstCombChn<3, false>;
using TstCombChnSeq4 = TstCombChn<4, false>;

}  // namespace

const TStatClass TstChannelsClass{.ClassName = "TstChannels", .Code = "CHAN", .Caption = "Каналы", .Group = 3,
                                  .Kind = skNumbers, .Create = &MakeStat<TstChannels, TstChannelsClass>};
const TStatClass TstChanValuesClass{.ClassName = "TstChanValues", .Code = "CHNV",
                                    .Caption = "Количество чисел в канале", .Group = 3, .Kind = skNumbers,
                                    .AcceptsValueList = false,
                                    .Create = &MakeStat<TstChanValues, TstChanValuesClass>};
const TStatClass TstChanCountClass{.ClassName = "TstChanCount", .Code = "CHNC",
                                   .Caption = "Количество каналов в тираже", .Group = 3, .Kind = skNumbers,
                                   .HasGraph = true, .Create = &MakeStat<TstChanCount, TstChanCountClass>};
const TStatClass TstCombChnMix2Class{.ClassName = "TstCombChnMix2", .Code = "KCM2",
                                     .Caption = "Сочетания из 2 каналов по всем числам тиража", .Group = 3,
                                     .Kind = skSorted, .AcceptsValueList = false,
                                     .Create = &MakeStat<TstCombChnMix2, TstCombChnMix2Class>};
const TStatClass TstCombChnMix3Class{.ClassName = "TstCombChnMix3", .Code = "KCM3",
                                     .Caption = "Сочетания из 3 каналов по всем числам тиража", .Group = 3,
                                     .Kind = skSorted, .AcceptsValueList = false,
                                     .Create = &MakeStat<TstCombChnMix3, TstCombChnMix3Class>};
const TStatClass TstCombChnMix4Class{.ClassName = "TstCombChnMix4", .Code = "KCM4",
                                     .Caption = "Сочетания из 4 каналов по всем числам тиража", .Group = 3,
                                     .Kind = skSorted, .AcceptsValueList = false,
                                     .Create = &MakeStat<TstCombChnMix4, TstCombChnMix4Class>};
const TStatClass TstCombChnSeq2Class{.ClassName = "TstCombChnSeq2", .Code = "KCS2",
                                     .Caption = "Сочетания из 2 каналов по соседним числам", .Group = 3,
                                     .Kind = skSorted, .AcceptsValueList = false,
                                     .Create = &MakeStat<TstCombChnSeq2, TstCombChnSeq2Class>};
const TStatClass TstCombChnSeq3Class{.ClassName = "TstCombChnSeq3", .Code = "KCS3",
                                     .Caption = "Сочетания из 3 каналов по соседним числам", .Group = 3,
                                     .Kind = skSorted, .AcceptsValueList = false,
                                     .Create = &MakeStat<TstCombChnSeq3, TstCombChnSeq3Class>};
const TStatClass TstCombChnSeq4Class{.ClassName = "TstCombChnSeq4", .Code = "KCS4",
                                     .Caption = "Сочетания из 4 каналов по соседним числам", .Group = 3,
                                     .Kind = skSorted, .AcceptsValueList = false,
                                     .Create = &MakeStat<TstCombChnSeq4, TstCombChnSeq4Class>};
const TStatClass TstChnValCntClass{.ClassName = "TstChnValCnt", .Code = "CHN%d",
                                   .Caption = "Количество чисел в %0:d канале", .HelpTopic = "CHNx", .Group = 3,
                                   .Kind = skNumbers, .HasGraph = true, .HasParam = true,
                                   .ParamRange = &ChannelParamRange,
                                   .Create = &MakeStat<TstChnValCnt, TstChnValCntClass>};

}  // namespace vexa
