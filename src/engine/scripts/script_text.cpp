#include "scripts/script_text.h"

#include <charconv>

#include "core/format.h"

namespace vexa {
namespace {

constexpr std::string_view FieldDelimiter = "|";
constexpr std::string_view PartDelimiter = "#";
constexpr std::string_view ValueDelimiter = ":";

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (UpperAscii(text[i]) != UpperAscii(prefix[i])) return false;
  return true;
}

bool SameNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && StartsWithNoCase(a, b); }

const TScriptKeyword* KeywordAt(std::span<const TScriptKeyword> table, int index) {
  if (index < 0 || static_cast<size_t>(index) >= table.size()) return nullptr;
  return &table[static_cast<size_t>(index)];
}

// The method whose code is the part before ":"; registry order decides ties.
const TStatMethod* FindMethod(const TStatList& stats, std::string_view statText) {
  const std::string code = ExtractWord(statText, 1, ValueDelimiter);
  if (code.empty()) return nullptr;
  const int i = stats.IndexOfCode(code);
  return i < 0 ? nullptr : &stats.Items(i);
}

std::string Letters(bool bottomUp, bool multiSelect, bool keepSelected) {
  std::string s;
  s += bottomUp ? 'B' : 'T';
  s += multiSelect ? 'M' : 'S';
  s += keepSelected ? 'F' : 'D';
  return s;
}

std::string CoefficientsText(long double count, long double deviation, long double level, bool percents,
                               bool absValues) {
  return FormatCoefficient(count) + ":" + FormatCoefficient(deviation) + ":" + FormatCoefficient(level) + ":" +
         (percents ? "1" : "0") + ":" + (absValues ? "1" : "0");
}

// Parts 3 and 4, and part 5 when the coefficients are the filter's own.
std::string ConditionText(uint8_t levelMode, std::string_view levelText, uint8_t stopMode, int32_t stopValue) {
  return "#" + KeywordOf(LevelModes, levelMode) + ":" + std::string(levelText) + "#" + KeywordOf(StopModes, stopMode) +
         ":" + std::to_string(stopValue);
}

}  // namespace

// ---- Word splitter ---------------------------------------------------------------

std::string ExtractWord(std::string_view text, int n, std::string_view delimiters) {
  if (n < 1) return "";
  size_t i = 0;
  int k = 0;
  while (i < text.size()) {
    while (i < text.size() && delimiters.find(text[i]) != std::string_view::npos) ++i;
    if (i >= text.size()) break;
    const size_t start = i;
    while (i < text.size() && delimiters.find(text[i]) == std::string_view::npos) ++i;
    if (++k == n) return std::string(Trim(text.substr(start, i - start)));
  }
  return "";
}

int WordCount(std::string_view text, std::string_view delimiters) {
  int k = 0;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && delimiters.find(text[i]) != std::string_view::npos) ++i;
    if (i >= text.size()) break;
    ++k;
    while (i < text.size() && delimiters.find(text[i]) == std::string_view::npos) ++i;
  }
  return k;
}

// ---- Keyword tables ----------------------------------------------------------------

const std::array<TScriptKeyword, StartCombsTypeCount> StartCombsTypes = {{
    {"FULL", "Исходный список (рекомендуется для тестов)", "Исходный список"},
    {"EXCL", "Удалить N последних тиражей (для прогнозов)", ExcludeDrawsShortFormat},
    {"CURR", "Текущий список (для последовательного выполнения)", "Текущий список"},
}};

const std::array<TScriptKeyword, ResultCombsModeCount> ResultCombsModes = {{
    {"RAND", "Выбрать одну случайную комбинацию", "Случайно"},
    {"FIRST", "Выбрать первую комбинацию в списке", "Первая"},
    {"LAST", "Выбрать последнюю комбинацию в списке", "Последняя"},
    {"ALL", "Выбрать все комбинации (не рекомендуется)", "Все"},
    {"SYSA", "Системная игра [вся система]", "Система [все]"},
    {"SYSC", "Системная игра [система * комбинации]", "Система [комб]"},
    {"STOP", "Остановить выполнение сценария", "Остановить"},
    {"SKIP", "Пропустить (игнорировать) эту ставку", "Пропустить"},
    {"NONE", "Не делать ставок (для последовательного выполнения)", "Не делать ставок"},
}};

const std::array<TScriptKeyword, LevelModeCount> LevelModes = {{
    {"LNO", "Весь список (без условий)", ""},
    {"LMV", "\"Глубина\": не менее заданного значения", ""},
    {"LMP", "\"Глубина\": не менее заданного процента", ""},
    {"LLV", "\"Глубина\": не более заданного значения", ""},
    {"LLP", "\"Глубина\": не более заданного процента", ""},
    {"LDV", "\"Глубина\": из заданного списка значений", ""},
    {"LDP", "\"Глубина\": из заданного списка процентов", ""},
    {"DMV", "\"Отклонение\": не менее заданного значения", ""},
    {"DMP", "\"Отклонение\": не менее заданного процента", ""},
    {"DLV", "\"Отклонение\": не более заданного значения", ""},
    {"DLP", "\"Отклонение\": не более заданного процента", ""},
    {"DDV", "\"Отклонение\": из заданного списка значений", ""},
    {"DDP", "\"Отклонение\": из заданного списка процентов", ""},
    {"CMV", "\"Количество\": не менее заданного значения", ""},
    {"CMP", "\"Количество\": не менее заданного процента", ""},
    {"CLV", "\"Количество\": не более заданного значения", ""},
    {"CLP", "\"Количество\": не более заданного процента", ""},
    {"CDV", "\"Количество\": из заданного списка значений", ""},
    {"CDP", "\"Количество\": из заданного списка процентов", ""},
    {"WMV", "\"Вес\": не менее заданного значения", ""},
    {"WLV", "\"Вес\": не более заданного значения", ""},
    {"WDV", "\"Вес\": из заданного списка значений", ""},
    {"PIM", "\"Период min\": не менее заданного значения", ""},
    {"PIL", "\"Период min\": не более заданного значения", ""},
    {"PIR", "\"Период min\": из заданного списка значений", ""},
    {"PAM", "\"Период\": не менее заданного значения", ""},
    {"PAL", "\"Период\": не более заданного значения", ""},
    {"PAR", "\"Период\": из заданного списка значений", ""},
    {"PXM", "\"Период max\": не менее заданного значения", ""},
    {"PXL", "\"Период max\": не более заданного значения", ""},
    {"PXR", "\"Период max\": из заданного списка значений", ""},
    {"LVA", "\"Значения\": из заданного списка значений", ""},
}};

const std::array<TScriptKeyword, StopModeCount> StopModes = {{
    {"SF", "Обработать все записи", ""},
    {"SC", "Количеству оставшихся комбинаций", ""},
    {"SZ", "Пока список не будет пуст и откатить на шаг", ""},
    {"ST", "Количеству шагов", ""},
    {"SV", "Значению в списке статистики", ""},
    {"SP", "Процентному соотношению в списке статистики", ""},
}};

std::string KeywordOf(std::span<const TScriptKeyword> table, int index) {
  const TScriptKeyword* k = KeywordAt(table, index);
  return k != nullptr ? k->Keyword : ScriptKeywordError;
}

std::string KeywordText(std::span<const TScriptKeyword> table, int index) {
  const TScriptKeyword* k = KeywordAt(table, index);
  return k != nullptr ? k->Text : ScriptKeywordError;
}

std::string KeywordShortText(std::span<const TScriptKeyword> table, int index) {
  const TScriptKeyword* k = KeywordAt(table, index);
  return k != nullptr ? k->ShortText : ScriptKeywordError;
}

int FindKeyword(std::span<const TScriptKeyword> table, std::string_view word, bool prefix) {
  for (size_t i = 0; i < table.size(); ++i) {
    const std::string_view keyword = table[i].Keyword;
    if (prefix ? StartsWithNoCase(word, keyword) : SameNoCase(word, keyword)) return static_cast<int>(i);
  }
  return -1;
}

// ---- Options -----------------------------------------------------------------------

TScriptOptions ParseScriptOptions(std::string_view text) {
  TScriptOptions options;
  const std::string start = ExtractWord(text, 1, PartDelimiter);
  const int startType = FindKeyword(StartCombsTypes, start, true);
  if (startType >= 0) options.StartCombsType = static_cast<uint8_t>(startType);
  options.DrawsExclude = StrToIntDef(ExtractWord(start, 2, ValueDelimiter), 0);
  const int result = FindKeyword(ResultCombsModes, ExtractWord(text, 2, PartDelimiter), false);
  if (result >= 0) options.ResultCombsMode = static_cast<uint8_t>(result);
  const int words = WordCount(text, PartDelimiter);
  for (int n = 3; n <= words; ++n) {
    const std::string flag = ExtractWord(text, n, PartDelimiter);
    if (SameNoCase(flag, ClearStakesFlag)) options.ClearStakes = true;
    if (SameNoCase(flag, NewOnlyFlag)) options.NewOnly = true;
  }
  return options;
}

std::string FormatScriptOptions(const TScriptOptions& options) {
  std::string s = KeywordOf(StartCombsTypes, options.StartCombsType) + ":" + std::to_string(options.DrawsExclude) +
                  "#" + KeywordOf(ResultCombsModes, options.ResultCombsMode);
  if (options.ClearStakes) s += std::string("#") + ClearStakesFlag;
  if (options.NewOnly) s += std::string("#") + NewOnlyFlag;
  return s;
}

std::string ScriptOptionsText(const TScriptOptions& options) {
  std::string s = options.StartCombsType == sctExcl
                      ? Format(ExcludeDrawsShortFormat, {options.DrawsExclude})
                      : KeywordShortText(StartCombsTypes, options.StartCombsType);
  s += "; " + KeywordShortText(ResultCombsModes, options.ResultCombsMode);
  if (options.ClearStakes) s += std::string("; ") + ClearStakesShortText;
  s += std::string("; ") + (options.NewOnly ? NewOnlyShortText : AllStakesShortText);
  return s;
}

std::string FormatScriptOptionsShort(const TScriptOptions& options) {
  std::string s = KeywordOf(StartCombsTypes, options.StartCombsType);
  if (options.StartCombsType == sctExcl) s += ":" + std::to_string(options.DrawsExclude);
  s += "#" + KeywordOf(ResultCombsModes, options.ResultCombsMode);
  if (options.NewOnly) s += std::string("#") + NewOnlyFlag;
  return s;
}

// ---- Filters -----------------------------------------------------------------------

long double ReadCoefficient(std::string_view text) {
  const std::string& localeSeparator = FormatSettings().DecimalSeparator;
  std::string number;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if ((c >= '0' && c <= '9') || c == '-') {
      number += c;
    } else if (c == '.' || c == ',') {
      number += '.';
    } else if (!localeSeparator.empty() && text.substr(i, localeSeparator.size()) == localeSeparator) {
      number += '.';
      i += localeSeparator.size() - 1;
    }
  }
  long double value = 0;
  const char* end = number.data() + number.size();
  const auto [ptr, ec] = std::from_chars(number.data(), end, value);
  if (number.empty() || ec != std::errc() || ptr != end) return 0;
  return value;
}

std::string FormatCoefficient(long double value) {
  // Fixed notation: an exponent would not survive the lenient reading.
  char buf[128];
  const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
  if (ec != std::errc()) return "0";
  return std::string(buf, ptr);
}

TFilterItem ParseFilterItem(std::string_view text, const TStatList& stats) {
  TFilterItem item;
  if (Trim(text).empty()) return item;
  item.Used = true;

  const std::string head = ExtractWord(text, 1, PartDelimiter);
  int32_t sortOrder = 1;
  if (head.size() < 4 || !TryStrToInt(std::string_view(head).substr(3), sortOrder)) sortOrder = 1;
  item.SortOrder = sortOrder;
  for (char c : head) {
    const char u = UpperAscii(c);
    if (u == 'B') item.BottomUp = true;
    if (u == 'M') item.MultiSelect = true;
    if (u == 'F') item.KeepSelected = true;
  }

  item.StatText = ExtractWord(text, 2, PartDelimiter);
  item.Stat = FindMethod(stats, item.StatText);
  if (item.Stat != nullptr) item.DrawsLen = ExtractWord(item.StatText, 2, ValueDelimiter);

  const std::string level = ExtractWord(text, 3, PartDelimiter);
  const int levelMode = FindKeyword(LevelModes, level, true);
  if (levelMode >= 0) {
    item.LevelMode = static_cast<uint8_t>(levelMode);
    item.LevelValue = ExtractWord(level, 2, ValueDelimiter);
  }

  const std::string stop = ExtractWord(text, 4, PartDelimiter);
  const int stopMode = FindKeyword(StopModes, stop, true);
  if (stopMode >= 0) {
    item.StopMode = static_cast<uint8_t>(stopMode);
    item.StopValue = StrToIntDef(ExtractWord(stop, 2, ValueDelimiter), 1);
  }

  const std::string coefs = ExtractWord(text, 5, PartDelimiter);
  if (!coefs.empty()) {
    item.CDLOverride = true;
    item.CoefCount = ReadCoefficient(ExtractWord(coefs, 1, ValueDelimiter));
    item.CoefDeviation = ReadCoefficient(ExtractWord(coefs, 2, ValueDelimiter));
    item.CoefLevel = ReadCoefficient(ExtractWord(coefs, 3, ValueDelimiter));
    item.CoefPercents = ExtractWord(coefs, 4, ValueDelimiter) == "1";
    item.CoefAbs = ExtractWord(coefs, 5, ValueDelimiter) == "1";
  }
  return item;
}

std::string FormatFilterItem(const TFilterItem& item) {
  if (!item.Used) return "";
  std::string s = Letters(item.BottomUp, item.MultiSelect, item.KeepSelected) + std::to_string(item.SortOrder) + "#";
  s += item.Stat != nullptr ? item.Stat->Code() + ":" + item.DrawsLen : item.StatText;
  s += ConditionText(item.LevelMode, item.LevelValue, item.StopMode, item.StopValue);
  if (item.CDLOverride)
    s += "#" + CoefficientsText(item.CoefCount, item.CoefDeviation, item.CoefLevel, item.CoefPercents, item.CoefAbs);
  return s;
}

TCdl CdlOf(const TFilterItem& item) {
  return {item.CoefCount, item.CoefDeviation, item.CoefLevel, item.CoefPercents, item.CoefAbs};
}

int StatIndexOf(const TStatList& stats, const TStatMethod* stat) {
  if (stat == nullptr) return -1;
  for (int i = 0; i < stats.Count(); ++i)
    if (&stats.Items(i) == stat) return i;
  return -1;
}

TFilterPart MakeFilterPart(const TFilterItem& item, int32_t drawsLen, std::string levelArg, std::string levelText) {
  TFilterPart part;
  part.Used = true;
  part.Stat = item.Stat;
  part.StatText = item.StatText;
  part.DrawsLen = drawsLen;
  part.SortOrder = item.SortOrder;
  part.BottomUp = item.BottomUp;
  part.MultiSelect = item.MultiSelect;
  part.KeepSelected = item.KeepSelected;
  part.LevelMode = item.LevelMode;
  part.LevelArg = std::move(levelArg);
  part.LevelText = std::move(levelText);
  part.CDLOverride = item.CDLOverride;
  part.CoefCount = item.CoefCount;
  part.CoefDeviation = item.CoefDeviation;
  part.CoefLevel = item.CoefLevel;
  part.CoefPercents = item.CoefPercents;
  part.CoefAbs = item.CoefAbs;
  part.StopMode = item.StopMode;
  part.StopValue = item.StopValue;
  return part;
}

TCdl CdlOf(const TFilterPart& part) {
  return {part.CoefCount, part.CoefDeviation, part.CoefLevel, part.CoefPercents, part.CoefAbs};
}

std::string FormatFilterPart(const TFilterPart& part) {
  if (!part.Used) return "";
  std::string s = Letters(part.BottomUp, part.MultiSelect, part.KeepSelected) + "#";
  s += part.Stat != nullptr ? part.Stat->Code() : ExtractWord(part.StatText, 1, ValueDelimiter);
  s += ":" + std::to_string(part.DrawsLen);
  s += ConditionText(part.LevelMode, part.LevelText, part.StopMode, part.StopValue);
  if (part.CDLOverride)
    s += "#" + CoefficientsText(part.CoefCount, part.CoefDeviation, part.CoefLevel, part.CoefPercents, part.CoefAbs);
  return s;
}

std::string FormatFilterSet(std::span<const TFilterPart> parts) {
  std::string s;
  for (const TFilterPart& part : parts) {
    if (!part.Used) continue;
    if (!s.empty()) s += " + ";
    s += FormatFilterPart(part);
  }
  return s;
}

// ---- Lines -------------------------------------------------------------------------

std::string ComposeScriptLine(std::string_view options, std::span<const std::string, ScriptFilterCount> filters,
                              std::string_view comment) {
  auto field = [](std::string_view text) { return Trim(text).empty() ? std::string(" ") : std::string(text); };
  std::string line = field(options);
  for (const std::string& filter : filters) line += "|" + field(filter);
  line += "|";
  if (!Trim(comment).empty()) line += comment;
  return line;
}

std::string ScriptLineOptions(std::string_view line) { return ExtractWord(line, 1, FieldDelimiter); }

std::string ScriptLineFilter(std::string_view line, int i) {
  if (i < 1 || i > ScriptFilterCount) return "";
  return ExtractWord(line, i + 1, FieldDelimiter);
}

std::string ScriptLineComment(std::string_view line) { return ExtractWord(line, ScriptFieldCount, FieldDelimiter); }

bool IsScriptSeparator(std::string_view line) { return Trim(line).empty(); }

const std::array<const char*, ScriptColumns> ScriptColumnCaptions = {
    "Комментарии", "Опции",    "Фильтр 1", "Фильтр 2", "Фильтр 3",
    "Фильтр 4",    "Фильтр 5", "Фильтр 6", "Фильтр 7"};

std::array<std::string, ScriptColumns> ScriptRow(std::string_view line, const TStatList& stats) {
  std::array<std::string, ScriptColumns> row;
  if (IsScriptSeparator(line)) return row;
  row[0] = ScriptLineComment(line);
  row[1] = ScriptOptionsText(ParseScriptOptions(ScriptLineOptions(line)));
  for (int i = 1; i <= ScriptFilterCount; ++i)
    row[static_cast<size_t>(i + 1)] = FormatFilterItem(ParseFilterItem(ScriptLineFilter(line, i), stats));
  return row;
}

std::string ScriptCountText(int count) { return Format("Строк: %d", {count}); }

std::string RatingScriptLine(std::string_view name) {
  std::string text(name);
  std::string comment;
  if (const size_t at = text.find('@'); at != std::string::npos) {
    comment = Trim(std::string_view(text).substr(0, at));
    text = Trim(std::string_view(text).substr(at + 1));
  }
  for (size_t at = text.find(" + "); at != std::string::npos; at = text.find(" + ", at + 1)) text.replace(at, 3, "|");
  while (WordCount(text, "|") <= static_cast<int>(ScriptFilterCount)) text += "| ";
  text += "|" + comment;
  for (int i = 1; i <= static_cast<int>(ScriptFilterCount); ++i)
    if (!ScriptLineFilter(text, i).empty()) return text;
  return "";
}

}  // namespace vexa
