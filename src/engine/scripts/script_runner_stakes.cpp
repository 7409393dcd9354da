// The script runner's stakes: the surviving combinations turned into stakes,
// and the system play over the list.
#include <algorithm>
#include <unordered_set>

#include "core/error.h"
#include "core/format.h"
#include "scripts/bit_list.h"
#include "scripts/script_runner_bits.h"
#include "scripts/script_runner.h"
#include "scripts/systems.h"
#include "stakes/stake_record.h"

namespace vexa {
namespace {

// The distinct numbers of a list in order of first appearance, at most 45.
class TDistinctNumbers {
 public:
  // False once 45 numbers are there.
  bool Add(const TComb& comb) {
    for (uint8_t n : comb) {
      if (Seen_[n]) continue;
      Seen_[n] = true;
      Numbers.push_back(n);
      if (Numbers.size() >= static_cast<size_t>(MaxNumber)) return false;
    }
    return true;
  }
  TByteArray Numbers;

 private:
  std::array<bool, 256> Seen_{};
};

uint64_t PackComb(const TComb& comb) {
  uint64_t v = 0;
  for (size_t i = 0; i < comb.size(); ++i) v |= static_cast<uint64_t>(comb[i]) << (8 * i);
  return v;
}


}  // namespace

// ---- Stakes ------------------------------------------------------------------------------

void TScriptRunner::MakeStakes(const TScriptOptions& options, int lineNumber, int v, const std::string& description,
                               const std::string& comment) {
  const int mode = options.ResultCombsMode;
  if (LogOn())
    Log_.Write(Format("{*} Добавление ставки, режим: \"%s\"", {KeywordText(ResultCombsModes, mode)}));
  const int count = ListCount();
  if (count == 0 || mode == rcmNone) return;
  const std::string origin = StakeOriginText(lineNumber, v, comment, description);
  if (count > 1 && mode == rcmStop) {
    State_.ScriptStopped = true;
    if (LogOn()) Log_.Write("{!} Сценарий остановлен!");
    Host_.Ui.Message(TMessageKind::Attention, Format(ScriptStopWarningFormat, {count, origin}));
    return;
  }
  if (count > 1 && mode == rcmSkip) {
    if (LogOn()) Log_.Write("{-} Ставка игнорирована!");
    return;
  }
  if (Stopped()) return;
  if (count == 1) {
    AddStake(ListAt(0), origin, options.NewOnly, false);
    return;
  }
  switch (mode) {
    case rcmRand:
      AddStake(ListAt(static_cast<int>(RandomIndex(Host_.Random, static_cast<uint64_t>(count)))), origin,
               options.NewOnly, false);
      break;
    case rcmFirst: AddStake(ListAt(0), origin, options.NewOnly, false); break;
    case rcmLast: AddStake(ListAt(count - 1), origin, options.NewOnly, false); break;
    case rcmAll:
      if (Bits_->Active) {
        Bits_->List.ForEach([&](size_t p) {
          if (Stopped()) return false;
          AddStake((*Bits_->All)[p], origin, options.NewOnly, true);
          return true;
        });
      } else {
        for (int i = 0; i < count; ++i) {
          if (Stopped()) break;
          AddStake(Host_.Combs[i], origin, options.NewOnly, true);
        }
      }
      ShowStakes(false);
      break;
    case rcmSysA:
    case rcmSysC:
      PlaySystem(mode == rcmSysA, origin, options.NewOnly);
      ShowStakes(false);
      break;
    default: break;
  }
}

bool TScriptRunner::AddStake(const TComb& comb, const std::string& origin, bool newOnly, bool bulk) {
  const TNumList numbers = CombToNumList(comb);
  const int32_t drawNumber = Host_.Archive.NextDrawNumber(Host_.Archive.DrawsOffset());
  const std::string numbersText = NumListToText(numbers, ";");
  if (newOnly && Host_.Stakes.StakeExists(drawNumber, numbers)) {
    if (LogOn())
      Log_.Write(Format("{-} Ставка на тираж %d не добавлена, так как уже имеется в списке ставок: [%s]",
                        {drawNumber, numbersText}));
    return false;
  }
  const TStakeRec stake = NewStake(StakeScript, drawNumber, ListCount(), numbers, origin, Host_.Stats.Config);
  try {
    Host_.Stakes.AppendStake(stake, 1, bulk, Host_.Ui);
  } catch (const EVexaError& e) {
    Host_.Ui.Message(TMessageKind::Error, e.what());
    return false;
  }
  if (LogOn())
    Log_.Write(Format("{+} Ставка на тираж %d добавлена в список ставок: [%s]", {drawNumber, numbersText}));
  ++State_.ScriptStakes;
  ShowStakes(bulk);
  return true;
}

void TScriptRunner::PlaySystem(bool whole, const std::string& origin, bool newOnly) {
  TDistinctNumbers distinct;
  if (Bits_->Active) {
    Bits_->List.ForEach([&](size_t p) { return distinct.Add((*Bits_->All)[p]); });
  } else {
    for (const TComb& comb : Host_.Combs.Combs())
      if (!distinct.Add(comb)) break;
  }
  const TByteArray& numbers = distinct.Numbers;
  const int k = static_cast<int>(numbers.size());
  const TSystemExpansion system = ExpandSystem(numbers, Host_.DataDir, Host_.Ui);
  if (!system.Ok) {
    if (LogOn()) Log_.Write(Format("{#} Системная игра для %d чисел [ОШИБКА]: \"%s\"", {k, system.Error}));
    return;
  }
  if (LogOn())
    Log_.Write(Format(whole ? "{#} Системная игра для %d чисел [все система]: загружен файл \"%s\""
                            : "{#} Системная игра для %d чисел [система * комбинации]: загружен файл \"%s\"",
                      {k, system.File.stem().string()}));
  std::unordered_set<uint64_t> inList;
  if (!whole && !Bits_->Active)
    for (const TComb& comb : Host_.Combs.Combs()) inList.insert(PackComb(comb));
  auto listHas = [&](const TComb& comb) {
    if (!Bits_->Active) return inList.count(PackComb(comb)) != 0;
    const int64_t position = TFullCombs::PositionOf(comb);
    return position >= 0 && Bits_->List.Test(static_cast<size_t>(position));
  };
  for (TComb comb : system.Combs) {
    if (Stopped()) break;
    SortComb(comb);
    if (whole || listHas(comb)) AddStake(comb, origin, newOnly, true);
  }
}

}  // namespace vexa
