#include "combs/filter.h"

#include <algorithm>

#include "core/error.h"
#include "core/game.h"

namespace vexa {
namespace {

// Adds the number unless collected already; true when added.
bool CollectNumber(TFilterValues& result, int32_t number) {
  const auto key0 = static_cast<int16_t>(number);
  const bool known = std::any_of(result.Values.begin(), result.Values.end(),
                                 [&](const TStatDraw& v) { return v.Key[0] == key0; });
  if (known) return false;
  TStatDraw rec{};
  rec.Key[0] = key0;
  result.Values.push_back(rec);
  return true;
}

std::string WithoutBrackets(std::string_view piece) {
  std::string s;
  for (char c : piece)
    if (c != '[' && c != ']') s += c;
  return std::string(Trim(s));
}

struct TFilterKeep {
  const TCustomStat* Stat;
  const TStatDrawArray* Values;
  int LastIndex;
  bool Sorted, Del;

  bool operator()(const TComb& comb) const { return Stat->Matches(comb, *Values, LastIndex, Sorted, Del) != Del; }
  uint64_t Word(const TComb* in, size_t m) const { return Stat->MatchWord(in, m, *Values, LastIndex, Sorted, Del); }
};

}  // namespace

int FilterLastIndex(int drawsCount, int drawsOffset) { return std::max(drawsCount - 1 - drawsOffset, 0); }

void AppendDescription(std::string& text, std::string_view piece) {
  if (text.empty())
    text = piece;
  else
    (text += "; ") += piece;
}

TFilterValues CardFilterValues(const TGridCells& cells) {
  TFilterValues result;
  for (const auto& column : cells)
    for (const std::string& text : column) {
      if (text.empty()) continue;
      if (CollectNumber(result, StrToIntDef(text, 0))) AppendDescription(result.Description, text);
    }
  if (result.Values.empty()) throw EVexaError(NoGridValuesError);
  return result;
}

TFilterValues LayoutFilterValues(const TGridCells& cells) {
  TFilterValues result;
  for (const auto& column : cells)
    for (const std::string& text : column) {
      if (text.empty()) continue;
      size_t start = 0;
      while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        const std::string piece = WithoutBrackets(std::string_view(text).substr(start, comma - start));
        start = comma + 1;
        if (piece.empty()) continue;
        if (CollectNumber(result, StrToIntDef(piece, 0))) AppendDescription(result.Description, piece);
      }
    }
  if (result.Values.empty()) throw EVexaError(NoGridValuesError);
  return result;
}

void ApplyFilter(TCombsList& combs, TCustomStat& stat, const TStatDrawArray& values, bool del,
                 const std::string& name, const std::string& description, int lastIndex, bool sorted,
                 TUserInterface& ui) {
  ui.SetStatus(FilteringStatus);
  if (combs.UndoCount() > 0) {
    stat.LoadDraw(-1, lastIndex, sorted);
    stat.PrepareValues(values);
    // A stop throws from the walk's own thread; the caller gives the list back.
    combs.RebuildFromUndo(TFilterKeep{&stat, &values, lastIndex, sorted, del}, [&ui](size_t done, size_t total) {
      ui.SetProgress(FilteringStatus, static_cast<int64_t>(done), static_cast<int64_t>(total));
      ThrowIfStopped(ui);
    });
  } else {
    combs.SetCombs({});
  }
  combs.LogOperation(del, name, description);
}

}  // namespace vexa
