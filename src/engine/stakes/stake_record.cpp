#include "stakes/stake_record.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "core/codec.h"
#include "core/format.h"
#include "stakes/record_bytes.h"

namespace vexa {

void EncodeStake(const TStakeRec& s, unsigned char* out) {
  out[0] = s.Version;
  out[1] = s.Kind;
  std::memcpy(out + 2, s.Reserved1.data(), 2);
  PutInt32(out + 4, s.DrawNumber);
  out[8] = s.Checked;
  std::memcpy(out + 9, s.Reserved2.data(), 3);
  PutInt32(out + 12, s.CombsCount);
  PutNumList(out + 16, s.Numbers);
  std::memcpy(out + 28, s.DrawNums.data(), MainCount);
  std::memcpy(out + 34, s.Reserved3.data(), 2);
  PutNumList(out + 36, s.Matched);
  PutInt64(out + 48, s.Profit);
  std::memcpy(out + 56, s.Origin.data(), s.Origin.size());
}

TStakeRec DecodeStake(const unsigned char* in) {
  TStakeRec s;
  s.Version = in[0];
  s.Kind = in[1];
  std::memcpy(s.Reserved1.data(), in + 2, 2);
  s.DrawNumber = GetInt32(in + 4);
  s.Checked = in[8];
  std::memcpy(s.Reserved2.data(), in + 9, 3);
  s.CombsCount = GetInt32(in + 12);
  s.Numbers = GetNumList(in + 16);
  std::memcpy(s.DrawNums.data(), in + 28, MainCount);
  std::memcpy(s.Reserved3.data(), in + 34, 2);
  s.Matched = GetNumList(in + 36);
  s.Profit = GetInt64(in + 48);
  std::memcpy(s.Origin.data(), in + 56, s.Origin.size());
  return s;
}

bool IsSeparator(const TStakeRec& stake) { return stake.Kind == StakeSeparator && stake.DrawNumber == -1; }

bool IsCheckable(const TStakeRec& stake) {
  return stake.Checked == 0 && stake.DrawNumber > 0 && stake.Numbers.Count >= MainCount &&
         stake.Numbers.Count <= StakeMaxNumbers;
}

bool StakeRecordValid(const TStakeRec& s) {
  if (s.Numbers.Count < 0 || s.Numbers.Count > StakeMaxNumbers) return false;
  if (s.Matched.Count < -1 || s.Matched.Count > MainCount) return false;
  return s.Checked == 0 || s.Matched.Count >= 0;
}

std::string StakeOrigin(const TStakeRec& stake) { return GetShortString(stake.Origin.data(), StakeOriginMaxLen); }

void SetStakeOrigin(TStakeRec& stake, std::string_view text) {
  PutShortString(stake.Origin.data(), StakeOriginMaxLen, text);
}

// ---- Money -------------------------------------------------------------------

int64_t StakeCost(const TConfigData& config, int count) {
  return MoneyMul(config.Cost, Binomial(count, MainCount));
}

int64_t StakePrize(const TConfigData& config, int overlap) {
  for (const TProfitRow& row : config.Profits)
    if (row.Overlap == overlap) return row.Profit;
  return 0;
}

int64_t CheckedProfit(const TConfigData& config, int count, int overlap) {
  // -INT64_MIN does not exist: a saturated cost is negated as the largest.
  const int64_t cost = StakeCost(config, count);
  return MoneyAdd(cost == INT64_MIN ? INT64_MAX : -cost, StakePrize(config, overlap));
}

std::string MoneyText(int64_t money) { return Format("%.2f", {MoneyToFloat(money)}); }

TStakeRec NewStake(uint8_t kind, int32_t drawNumber, int32_t combsCount, const TNumList& numbers,
                   std::string_view origin, const TConfigData& config) {
  TStakeRec s;
  s.Kind = kind;
  s.DrawNumber = drawNumber;
  s.CombsCount = combsCount;
  s.Numbers = numbers;
  s.Profit = CheckedProfit(config, numbers.Count, -1);
  SetStakeOrigin(s, origin);
  return s;
}

// ---- Grid --------------------------------------------------------------------

const std::array<const char*, StakeGridColumns> StakeGridCaptions = {
    "№ тиража",   "Вид ставки", "Моя ставка", "Выборка",    "Результаты тиража",
    "Совпадений", "Совпадения", "Профит",     "Комментарий"};
const std::array<int, StakeGridColumns> StakeGridWidths = {60, 60, 120, 60, 120, 60, 60, 60, 1000};

std::array<std::string, StakeGridColumns> StakeGridCells(const TStakeRec& s) {
  std::array<std::string, StakeGridColumns> cells;
  if (IsSeparator(s)) return cells;
  cells[0] = std::to_string(s.DrawNumber);
  cells[1] = StakeKindName(s.Kind);
  cells[2] = NumListToText(s.Numbers, ";");
  cells[3] = std::to_string(s.CombsCount);
  if (s.Checked != 0) {
    TNumList draw;
    draw.Count = MainCount;
    std::copy(s.DrawNums.begin(), s.DrawNums.end(), draw.Nums.begin());
    cells[4] = NumListToText(draw, ";");
    cells[5] = std::to_string(s.Matched.Count);
    cells[6] = NumListToText(s.Matched, " ");
  }
  cells[7] = MoneyText(s.Profit);
  cells[8] = StakeOrigin(s);
  return cells;
}

int32_t StakeRowColor(const TStakeRec& stake) {
  switch (stake.Kind) {
    case StakeManual:
      return 0xEAFFEA;
    case StakeTable:
      return 0xEAEAFF;
    case StakeScript:
      return 0xFFFFEA;
    case StakeSystem:
      return 0xD9FDFC;
    default:
      return -1;
  }
}

// ---- Dialog input --------------------------------------------------------------

namespace {

std::vector<std::string_view> SplitStakeWords(std::string_view text) {
  std::vector<std::string_view> words;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == ',' || text[i] == ';') {
      words.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return words;
}

constexpr int64_t MaxDrawNumber = std::numeric_limits<int32_t>::max();

}  // namespace

std::string ParseStakeNumbers(std::string_view text, int minCount, int maxCount, TNumList& numbers) {
  const auto words = SplitStakeWords(text);
  maxCount = std::min(maxCount, 8);
  if (static_cast<int>(words.size()) < minCount || static_cast<int>(words.size()) > maxCount)
    return BadCombinationMessage;
  TNumList list;
  for (std::string_view w : words) {
    int32_t v = 0;
    if (!TryStrToInt(w, v) || v < 1 || v > MaxNumber) return BadCombinationMessage;
    const auto end = list.Nums.begin() + list.Count;
    if (std::find(list.Nums.begin(), end, v) != end) return BadCombinationMessage;
    list.Nums[static_cast<size_t>(list.Count++)] = static_cast<uint8_t>(v);
  }
  SortNumList(list);
  numbers = list;
  return "";
}

int64_t StakeNumbersSum(std::string_view text) {
  int64_t sum = 0;
  for (std::string_view w : SplitStakeWords(text)) sum += StrToIntDef(w, 0);
  return sum;
}

TStakeInputCheck MakeManualStake(const TStakeRec& prefilled, const TManualStakeInput& input, const TConfigData& config,
                                 TStakeRec& stake, int maxNumbers) {
  TNumList numbers;
  std::string message = ParseStakeNumbers(input.Numbers, MainCount, maxNumbers, numbers);
  if (!message.empty()) return {message, TStakeField::Numbers};
  if (input.Comment.empty()) return {NoCommentMessage, TStakeField::Comment};
  if (input.DrawNumber < 1 || input.DrawNumber > MaxDrawNumber)
    return {"Номер тиража должен быть от 1 до 2147483647!", TStakeField::DrawNumber};
  if (input.DrawsCount < 1 || input.DrawsCount > MaxStakeDraws)
    return {"Количество тиражей должно быть от 1 до 65535!", TStakeField::DrawsCount};
  // A multi-draw stake numbers its draws upwards; none may leave int32.
  if (input.DrawNumber + input.DrawsCount - 1 > MaxDrawNumber)
    return {"Номер последнего тиража ставки больше 2147483647!", TStakeField::DrawsCount};
  stake = prefilled;
  stake.DrawNumber = static_cast<int32_t>(input.DrawNumber);
  stake.Numbers = numbers;
  stake.Profit = CheckedProfit(config, numbers.Count, -1);
  SetStakeOrigin(stake, input.Comment);
  return {};
}

TStakeInputCheck CheckMultiStake(const TMultiStakeInput& input) {
  if (input.Comment.empty()) return {NoCommentMessage, TStakeField::Comment};
  if (input.DrawNumber < 1 || input.DrawNumber > MaxDrawNumber)
    return {"Номер тиража должен быть от 1 до 2147483647!", TStakeField::DrawNumber};
  if (input.DrawsCount < 1 || input.DrawsCount > MaxStakeDraws)
    return {"Количество тиражей должно быть от 1 до 65535!", TStakeField::DrawsCount};
  if (input.DrawNumber + input.DrawsCount - 1 > MaxDrawNumber)
    return {"Номер последнего тиража ставки больше 2147483647!", TStakeField::DrawsCount};
  return {};
}

}  // namespace vexa
