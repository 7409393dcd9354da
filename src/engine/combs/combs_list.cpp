#include "combs/combs_list.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <exception>
#include <stdexcept>

#include "core/error.h"
#include "core/file_io.h"
#include "core/format.h"

namespace vexa {
namespace {

constexpr const char* ModeTexts[GenerateModeCount] = {
    "Полный список (все возможные для данного лото варианты)",
    "Мои числа - должно присутствовать любое из указанных",
    "Мои числа - комбинации только из списка указанных",
    "Мои числа - исключить комбинации с любым из указанных",
    "Загрузить список из заранее подготовленного CSV-файла",
};

constexpr const char* RemoveDrawnStatus = "Удаление из списка комбинаций %d последних тиражей...";
constexpr const char* RemoveDrawnProgress =
    "Удаление из списка комбинаций %d последних тиражей ( завершено %.0f %% )...";
constexpr const char* ExclWriteStatus = "Создание буфера комбинаций...";
constexpr const char* ExclWriteProgress = "Создание буфера комбинаций ( завершено %.0f %% )...";
constexpr const char* ExclWriteErrorFormat = "Ошибка создания буфера комбинаций!\r\r%s";
constexpr const char* ExclReadStatus = "Загрузка буфера комбинаций...";
constexpr const char* ExclReadProgress = "Загрузка буфера комбинаций ( завершено %.0f %% )...";
constexpr const char* ExclReadErrorFormat = "Ошибка загрузки буфера комбинаций!\r\r%s";

// C(n, k), 0 when k > n.
int64_t Choose(int n, int k) {
  if (k < 0 || k > n) return 0;
  int64_t r = 1;
  for (int i = 1; i <= k; ++i) r = r * (n - k + i) / i;
  return r;
}

// A status text each time the whole percentage done goes up.
class TPercentStatus {
 public:
  TPercentStatus(TUserInterface& ui, std::string format, int n, bool withN)
      : Ui_(ui), Format_(std::move(format)), N_(n), WithN_(withN) {}
  void operator()(size_t done, size_t total) {
    const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
    if (percent <= Last_) return;
    Last_ = percent;
    const double shown = total == 0 ? 100.0 : 100.0 * static_cast<double>(done) / static_cast<double>(total);
    Ui_.SetStatus(WithN_ ? Format(Format_, {N_, shown}) : Format(Format_, {shown}));
  }

 private:
  TUserInterface& Ui_;
  std::string Format_;
  int N_;
  bool WithN_;
  int Last_ = 0;
};

// Copies count combinations in about a hundred steps, reporting each.
void CopyWithProgress(TComb* to, const TComb* from, size_t count, TPercentStatus& status) {
  const size_t step = std::max<size_t>(count / 100, 1);
  for (size_t done = 0; done < count;) {
    const size_t n = std::min(step, count - done);
    std::memcpy(to + done, from + done, n * sizeof(TComb));
    done += n;
    status(done, count);
  }
}

// Splits at "," and ";" into runs of other characters.
template <typename F>
size_t ForEachListWord(std::string_view text, F f) {
  size_t words = 0;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ',' || text[i] == ';')) ++i;
    const size_t start = i;
    while (i < text.size() && text[i] != ',' && text[i] != ';') ++i;
    if (i > start) {
      f(words, text.substr(start, i - start));
      ++words;
    }
  }
  return words;
}

bool SameNumbersAsSet(const TDraw& draw, const TComb& sortedComb) {
  TComb nums = draw.Nums;
  SortComb(nums);
  return nums == sortedComb;
}

// Bit n for the numbers 0..45, none for the others.
constexpr std::array<uint64_t, 256> NumberBits = [] {
  std::array<uint64_t, 256> bits{};
  for (size_t n = 0; n <= MaxNumber; ++n) bits[n] = uint64_t{1} << n;
  return bits;
}();

bool DrawnExactly(const TComb& comb, const TDraw* draws, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (CommonCount(draws[i], comb) == MainCount) return true;
  return false;
}

// Keeps the combinations that share all six numbers with none of the
// draws. A draw of six distinct numbers 0..45 ("plain") shares six with a
// combination exactly when the masks of their numbers 0..45 are equal, as
// long as those numbers of the combination are distinct (each then meets
// at most one number of the draw, and a larger number meets none); so the
// plain draws sit in a small hash table of masks. Any other draw, and any
// combination with a repeated number, is counted pair by pair as
// CommonCount does.
struct TNotDrawn {
  const uint64_t* Table = nullptr;  // 0: empty slot
  size_t SlotMask = 0;
  int Shift = 0;
  const TDraw* Odd = nullptr;
  size_t OddCount = 0;
  const TDraw* All = nullptr;
  size_t AllCount = 0;

  size_t SlotOf(uint64_t mask) const { return static_cast<size_t>((mask * 0x9E3779B97F4A7C15ull) >> Shift); }

  bool operator()(const TComb& comb) const {
    uint64_t sum = 0;
    uint64_t mask = 0;
#pragma GCC unroll 6
    for (size_t i = 0; i < MainCount; ++i) {
      const uint64_t bit = NumberBits[comb[i]];
      sum += bit;
      mask |= bit;
    }
    if (sum != mask) return !DrawnExactly(comb, All, AllCount);  // a number repeats
    for (size_t s = SlotOf(mask); Table[s] != 0; s = (s + 1) & SlotMask)
      if (Table[s] == mask) return false;
    return OddCount == 0 || !DrawnExactly(comb, Odd, OddCount);
  }
};

}  // namespace

std::string GenerateModeText(int mode) {
  return mode >= 0 && mode < GenerateModeCount ? ModeTexts[mode] : "";
}

std::bitset<256> ParseMyNumbers(std::string_view text) {
  std::bitset<256> set;
  ForEachListWord(text, [&](size_t, std::string_view word) {
    const int32_t v = StrToIntDef(Trim(word), 0);
    if (v >= 0 && v <= 255) set.set(static_cast<size_t>(v));
  });
  return set;
}

std::string CombsCountText(int count) { return Format("Комбинаций: %d", {count}); }

std::string CheckNumsMessage(int count) {
  return Format("В текущем списке комбинаций содержится %d уникальных номеров", {count});
}

// ---- The list ---------------------------------------------------------------------

void TCombsList::Reserve(size_t capacity) {
  List_.Grow(capacity, Count_);
  Undo_.Grow(capacity, UndoCount_);
  Scratch_.Reserve(capacity, Walk_.BlockSize);
}

void TCombsList::GrowList(size_t capacity) { List_.Grow(capacity, Count_); }

void TCombsList::SetCombs(std::span<const TComb> combs) {
  Count_ = 0;
  GrowList(combs.size());
  if (!combs.empty()) std::memcpy(List_.Data(), combs.data(), combs.size() * sizeof(TComb));
  Count_ = combs.size();
}

bool TCombsList::ContainsComb(const TComb& comb) const {
  const auto list = Combs();
  return std::find(list.begin(), list.end(), comb) != list.end();
}

// ---- Undo -----------------------------------------------------------------------------

void TCombsList::SaveUndo(bool show) {
  SetStatus(show, UndoSavingStatus);
  try {
    Undo_.Grow(List_.Capacity(), 0);
  } catch (...) {
    UndoCount_ = 0;
    throw;
  }
  if (Count_ > 0) std::memcpy(Undo_.Data(), List_.Data(), Count_ * sizeof(TComb));
  UndoCount_ = Count_;
}

void TCombsList::RestoreUndo(bool show) {
  SetStatus(show, UndoRestoringStatus);
  try {
    List_.Grow(Undo_.Capacity(), 0);
  } catch (...) {
    Count_ = 0;
    throw;
  }
  if (UndoCount_ > 0) std::memcpy(List_.Data(), Undo_.Data(), UndoCount_ * sizeof(TComb));
  Count_ = UndoCount_;
  UndoCount_ = 0;
}

void TCombsList::RunWalk(const TWalkFns& fns, const TWalkProgress& progress) {
  Count_ = 0;
  GrowList(Undo_.Capacity());
  Scratch_.Reserve(UndoCount_, Walk_.BlockSize);
  size_t kept = 0;
  try {
    Count_ = TCombsWalk::Run(Undo_.Data(), UndoCount_, List_.Data(), fns, Scratch_, Walk_, progress, kept);
  } catch (...) {
    Count_ = kept;
    throw;
  }
}

// ---- Making a list -------------------------------------------------------------------

bool TCombsList::Generate(bool show, const TGenerateParams& params) {
  SetStatus(show, GeneratingStatus);
  Count_ = 0;
  bool ok = true;
  try {
    if (params.Mode == GenerateFromFile)
      ok = ReadCombsFile(params.Parameters);
    else
      GenerateNumbers(params.Mode, ParseMyNumbers(params.Parameters));
    if (show) {
      ClearLog();
      UndoCount_ = 0;
      Undo_.Grow(Count_, 0);
    }
  } catch (const std::exception& e) {
    Ui_.Message(TMessageKind::Error, Format(GenerateErrorFormat, {e.what()}));
    return false;
  }
  return ok;
}

void TCombsList::GenerateNumbers(int mode, const std::bitset<256>& mine) {
  uint64_t mask = 0;  // my numbers among 1..45; others never occur in a combination
  for (int n = 1; n <= MaxNumber; ++n)
    if (mine.test(static_cast<size_t>(n))) mask |= uint64_t{1} << n;
  const int k = std::popcount(mask);
  int64_t expected = AllCombsCount;
  if (mode == GenerateAnyOf) expected = AllCombsCount - Choose(MaxNumber - k, MainCount);
  if (mode == GenerateOnlyOf) expected = Choose(k, MainCount);
  if (mode == GenerateNoneOf) expected = Choose(MaxNumber - k, MainCount);
  GrowList(static_cast<size_t>(expected));

  // Each combination is stored as 8 bytes at its place; the next one
  // overwrites the two extra bytes, the buffer's slack takes the last two.
  // A candidate is written before it is judged, so the place is never past
  // the capacity (where the slack still has room for one), whatever the
  // parameters make the expected count.
  auto* out = reinterpret_cast<unsigned char*>(List_.Data());
  const size_t room = List_.Capacity();
  size_t count = 0;
  auto emit = [&](uint64_t packed, uint64_t bits) {
    bool pass = true;
    if (mode == GenerateAnyOf) pass = (bits & mask) != 0;
    if (mode == GenerateOnlyOf) pass = (bits & ~mask) == 0;
    if (mode == GenerateNoneOf) pass = (bits & mask) == 0;
    std::memcpy(out + std::min(count, room) * sizeof(TComb), &packed, sizeof packed);
    count += pass ? 1 : 0;
  };
  const bool all = mode != GenerateAnyOf && mode != GenerateOnlyOf && mode != GenerateNoneOf;
  for (uint64_t a = 1; a <= 40; ++a)
    for (uint64_t b = a + 1; b <= 41; ++b)
      for (uint64_t c = b + 1; c <= 42; ++c)
        for (uint64_t d = c + 1; d <= 43; ++d)
          for (uint64_t e = d + 1; e <= 44; ++e) {
            const uint64_t head = a | b << 8 | c << 16 | d << 24 | e << 32;
            if (all) {
              unsigned char* p = out + count * sizeof(TComb);
              for (uint64_t f = e + 1; f <= 45; ++f, p += sizeof(TComb)) {
                const uint64_t packed = head | f << 40;
                std::memcpy(p, &packed, sizeof packed);
              }
              count += 45 - e;
              continue;
            }
            const uint64_t headBits = uint64_t{1} << a | uint64_t{1} << b | uint64_t{1} << c |
                                      uint64_t{1} << d | uint64_t{1} << e;
            for (uint64_t f = e + 1; f <= 45; ++f) emit(head | f << 40, headBits | uint64_t{1} << f);
          }
  if (count > room) throw std::logic_error("generation counted more combinations than expected");
  Count_ = count;
}

bool TCombsList::ReadCombsFile(const std::filesystem::path& file) {
  Count_ = 0;
  try {
    const std::string text = ReadWholeFile(file, CombsFileMaxSize);
    AppendCombsText(text);
  } catch (const std::exception& e) {
    Ui_.Message(TMessageKind::Error, Format(CombsReadErrorFormat, {file.string(), e.what()}));
    return false;
  }
  return true;
}

void TCombsList::AppendCombsText(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    size_t end = i;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    const std::string_view line = text.substr(i, end - i);
    i = end;
    if (i < text.size() && text[i] == '\r') ++i;
    if (i < text.size() && text[i] == '\n') ++i;

    TComb comb{};
    const size_t words = ForEachListWord(line, [&](size_t w, std::string_view word) {
      if (w < comb.size()) comb[w] = StrToNumber(Trim(word));
    });
    if (words != MainCount) continue;
    if (Count_ == List_.Capacity()) GrowList(std::max<size_t>(Count_ + Count_ / 2, 1024));
    List_.Data()[Count_++] = comb;
  }
}

std::string TCombsList::CombsFileText() const {
  std::string text;
  text.reserve(Count_ * 18);
  char line[32];
  for (const TComb& comb : Combs()) {
    size_t len = 0;
    for (size_t k = 0; k < comb.size(); ++k) {
      if (k > 0) line[len++] = ';';
      const unsigned n = comb[k];
      if (n >= 100) line[len++] = static_cast<char>('0' + n / 100);
      if (n >= 10) line[len++] = static_cast<char>('0' + n / 10 % 10);
      line[len++] = static_cast<char>('0' + n % 10);
    }
    line[len++] = '\r';
    line[len++] = '\n';
    text.append(line, len);
  }
  return text;
}

bool TCombsList::WriteCombsFile(const std::filesystem::path& file) const {
  try {
    WriteFileAtomic(file, CombsFileText());
  } catch (const std::exception& e) {
    Ui_.Message(TMessageKind::Error, Format(CombsWriteErrorFormat, {file.string(), e.what()}));
    return false;
  }
  return true;
}

// ---- Clipboard ---------------------------------------------------------------------------

std::string TCombsList::CopyText(const std::vector<int>& rows) const {
  std::string text;
  for (int row : rows) {
    if (row < 0 || static_cast<size_t>(row) >= Count_) continue;
    text += CombToText(List_.Data()[row]);
    text += "\r\n";
  }
  return text;
}

bool TCombsList::Paste(std::string_view text) {
  Ui_.SetStatus(PasteStatus);
  std::vector<std::string> lines;
  SplitLines(text, lines);
  bool pasted = false;
  if (!lines.empty()) {
    SaveUndo(false);
    try {
      Count_ = 0;
      GrowList(lines.size());
      for (const std::string& line : lines) List_.Data()[Count_++] = TextToComb(line);
      ClearLog();
      pasted = true;
    } catch (const std::exception& e) {
      Ui_.Message(TMessageKind::Error, e.what());
      RestoreUndo(true);
    }
  }
  DiscardUndo();
  return pasted;
}

// ---- Narrowing ------------------------------------------------------------------------------

void TCombsList::RemoveDrawn(int n, const TDrawsArray& draws, int drawsOffset) {
  Ui_.SetStatus(Format(RemoveDrawnStatus, {n}));
  const int last = static_cast<int>(draws.size()) - 1 - drawsOffset;
  const int first = std::max(last - n + 1, 0);
  std::vector<TDraw> considered;
  for (int i = first; n > 0 && i <= last; ++i) considered.push_back(draws[static_cast<size_t>(i)]);

  std::vector<TDraw> odd;
  size_t slots = 16;
  while (slots < considered.size() * 16) slots *= 2;  // mostly empty: one probe
  std::vector<uint64_t> table(slots, 0);
  TNotDrawn keep;
  keep.Table = table.data();
  keep.SlotMask = slots - 1;
  keep.Shift = 64 - std::countr_zero(slots);
  for (const TDraw& d : considered) {
    uint64_t mask = 0;
    for (uint8_t x : d.Nums) mask |= NumberBits[x];
    if (std::popcount(mask) != MainCount) {
      odd.push_back(d);
      continue;
    }
    size_t s = keep.SlotOf(mask);
    while (table[s] != 0 && table[s] != mask) s = (s + 1) & keep.SlotMask;
    table[s] = mask;
  }
  keep.Odd = odd.data();
  keep.OddCount = odd.size();
  keep.All = considered.data();
  keep.AllCount = considered.size();

  TPercentStatus status(Ui_, RemoveDrawnProgress, n, true);
  if (considered.empty())
    RebuildFromUndo([](const TComb&) { return true; }, std::ref(status));
  else
    RebuildFromUndo(keep, std::ref(status));
  LogOperation(true, RemoveDrawnLogName, std::to_string(n));
}

int TCombsList::DelSelected(const std::vector<int>& rows) {
  std::vector<uint8_t> selected(UndoCount_, 0);
  int dropped = 0;
  for (int row : rows) {
    if (row < 0 || static_cast<size_t>(row) >= UndoCount_ || selected[static_cast<size_t>(row)]) continue;
    selected[static_cast<size_t>(row)] = 1;
    ++dropped;
  }
  const TComb* base = Undo_.Data();
  RebuildFromUndo([&](const TComb& comb) { return selected[static_cast<size_t>(&comb - base)] == 0; });
  LogOperation(true, DelSelectedLogName, std::to_string(dropped));
  return dropped;
}

int TCombsList::DistinctNumbers() const {
  std::bitset<256> seen;
  for (const TComb& comb : Combs()) {
    for (uint8_t n : comb) seen.set(n);
    if (seen.count() >= MaxNumber) return MaxNumber;
  }
  return static_cast<int>(seen.count());
}

// ---- Log -------------------------------------------------------------------------------------

void TCombsList::LogOperation(bool deleted, const std::string& name, const std::string& params) {
  Log_.push_back({deleted ? TLogIcon::Delete : TLogIcon::Keep, name, params, Count()});
}

void TCombsList::LogOperation(bool deleted, const std::string& name, const std::string& params, int count) {
  Log_.push_back({deleted ? TLogIcon::Delete : TLogIcon::Keep, name, params, count});
}

// ---- Exclusion buffer ----------------------------------------------------------------------

bool TCombsList::WriteExclBuffer(int offset, int n) {
  if (offset == ExclOffset_ && n == ExclN_) return true;
  Ui_.SetStatus(ExclWriteStatus);
  // The pair names the stored list only once the list is all there.
  ExclOffset_ = -1;
  ExclN_ = -1;
  try {
    Excl_.Grow(Count_, 0);
    TPercentStatus status(Ui_, ExclWriteProgress, 0, false);
    CopyWithProgress(Excl_.Data(), List_.Data(), Count_, status);
  } catch (const std::exception& e) {
    ExclCount_ = 0;
    Ui_.Message(TMessageKind::Error, Format(ExclWriteErrorFormat, {e.what()}));
    return false;
  }
  ExclCount_ = Count_;
  ExclOffset_ = offset;
  ExclN_ = n;
  return true;
}

bool TCombsList::ReadExclBuffer(int offset, int n) {
  if (offset != ExclOffset_ || n != ExclN_ || offset == -1) return false;
  Ui_.SetStatus(ExclReadStatus);
  try {
    Count_ = 0;
    GrowList(ExclCount_);
    TPercentStatus status(Ui_, ExclReadProgress, 0, false);
    CopyWithProgress(List_.Data(), Excl_.Data(), ExclCount_, status);
  } catch (const std::exception& e) {
    Ui_.Message(TMessageKind::Error, Format(ExclReadErrorFormat, {e.what()}));
    return false;
  }
  Count_ = ExclCount_;
  return true;
}

void TCombsList::DropExclBuffer() {
  ExclOffset_ = -1;
  ExclN_ = -1;
  ExclCount_ = 0;
}

// ---- Draws ----------------------------------------------------------------------------------

std::vector<std::string> FindCombInDraws(const TDrawsArray& draws, const TComb& comb) {
  TComb sorted = comb;
  SortComb(sorted);
  std::vector<std::string> lines;
  for (size_t i = draws.size(); i-- > 0;) {
    if (!SameNumbersAsSet(draws[i], sorted)) continue;
    lines.push_back(DrawToText(draws[i]));
    if (lines.size() >= static_cast<size_t>(FindInDrawsLimit)) break;
  }
  return lines;
}

std::string FindInDrawsMessage(const std::vector<std::string>& lines) {
  if (lines.empty()) return "Выделенная комбинация не найдена архиве тиражей!";
  std::string text = "Выделенная комбинация найдена в следующих тиражах:\r";
  for (const std::string& line : lines) text += "\r" + line;
  return text;
}

}  // namespace vexa
