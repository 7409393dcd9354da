#include "stakes/tables.h"

#include <algorithm>
#include <cstring>

#include "core/error.h"
#include "core/file_io.h"
#include "core/format.h"
#include "core/list_compare.h"
#include "stakes/record_bytes.h"

namespace vexa {

void EncodeTable(const TTableRec& t, unsigned char* out) {
  std::memset(out, 0, TableRecordSize);
  PutShortString(out, 255, t.Comment);
  out[256] = t.UseLastDraw;
  std::memcpy(out + 257, t.StartComb.data(), MainCount);
  std::memcpy(out + 263, t.CurComb.data(), MainCount);
  PutInt32(out + 272, t.Step);
  PutInt32(out + 276, t.StakeCount);
}

TTableRec DecodeTable(const unsigned char* in) {
  TTableRec t;
  t.Comment = GetShortString(in, 255);
  t.UseLastDraw = in[256];
  std::memcpy(t.StartComb.data(), in + 257, MainCount);
  std::memcpy(t.CurComb.data(), in + 263, MainCount);
  t.Step = GetInt32(in + 272);
  t.StakeCount = GetInt32(in + 276);
  return t;
}

void LoadTables(const std::filesystem::path& file, bool visible, TTablesArray& tables, TUserInterface& ui) {
  std::error_code ec;
  if (!visible || !std::filesystem::exists(file, ec)) return;
  ui.SetStatus("Загрузка файла регулярных ставок...");
  try {
    const std::string bytes = ReadWholeFile(file);
    TTablesArray loaded;
    for (size_t i = 0; i + TableRecordSize <= bytes.size(); i += TableRecordSize)
      loaded.push_back(DecodeTable(reinterpret_cast<const unsigned char*>(bytes.data()) + i));
    tables = std::move(loaded);
  } catch (const EVexaError& e) {
    throw EVexaError(Format("Ошибка чтения файла регулярных ставок!\r\r%s", {e.what()}));
  }
  int bad = 0;
  for (const TTableRec& t : tables) bad += TableRecordValid(t) ? 0 : 1;
  if (bad > 0) ui.Message(TMessageKind::Warning, Format(TablesDamagedFormat, {bad}));
}

void SaveTables(const std::filesystem::path& file, bool visible, const TTablesArray& tables, TUserInterface& ui) {
  if (!visible) return;
  ui.SetStatus("Сохранение файла регулярных ставок...");
  std::string bytes(tables.size() * TableRecordSize, '\0');
  for (size_t i = 0; i < tables.size(); ++i)
    EncodeTable(tables[i], reinterpret_cast<unsigned char*>(bytes.data()) + i * TableRecordSize);
  try {
    WriteFileAtomic(file, bytes);
  } catch (const EVexaError& e) {
    throw EVexaError(Format("Ошибка записи в файл регулярных ставок!\r\r%s", {e.what()}));
  }
}

bool TableRecordValid(const TTableRec& t) {
  if (t.Step < -MaxNumber || t.Step > MaxNumber || t.StakeCount < 0) return false;
  auto numbers = [](const TComb& c, bool zerosToo) {
    if (zerosToo && std::all_of(c.begin(), c.end(), [](uint8_t n) { return n == 0; })) return true;
    return std::all_of(c.begin(), c.end(), [](uint8_t n) { return n >= 1 && n <= MaxNumber; });
  };
  return numbers(t.StartComb, t.UseLastDraw != 0) && numbers(t.CurComb, t.UseLastDraw != 0);
}

void AdvanceTable(TTableRec& table, const TDrawsArchive& archive, int offset) {
  if (!TableRecordValid(table))
    throw EVexaError(Format("Регулярная ставка \"%s\" повреждена!", {table.Comment}));
  const TComb base = table.UseLastDraw == 1 ? archive.DrawCombAt(offset) : table.CurComb;
  TComb next = ShiftComb(base, table.Step);
  SortComb(next);
  table.CurComb = next;
  if (table.StakeCount < INT32_MAX) table.StakeCount += 1;
}

void DeleteTable(TTablesArray& tables, int index) {
  if (index < 0 || static_cast<size_t>(index) >= tables.size())
    throw EVexaError(Format("Запись со индексом %d в файле данных не найдена!", {index}));
  tables.erase(tables.begin() + index);
}

const std::array<const char*, TableColumns> TableColumnCaptions = {"Комментарий", "Стартовая комбинация", "Шаг",
                                                                   "Текущая комбинация", "Ставок"};

std::array<std::string, TableColumns> TableRow(const TTableRec& t) {
  return {t.Comment, CombToListText(t.StartComb), std::to_string(t.Step), CombToListText(t.CurComb),
          std::to_string(t.StakeCount)};
}

TTableInputCheck CheckTableInput(const TTableInput& input, int selectedCount, const TTablesArray& tables) {
  if (!input.UseLastDraw && selectedCount == 1) {
    TNumList numbers;
    const std::string message = ParseStakeNumbers(input.Start, MainCount, MainCount, numbers);
    if (!message.empty()) return {message, true};
  }
  if (input.Comment.empty()) return {NoCommentMessage, false};
  if (Utf8ToCp1251(input.Comment).size() > TableCommentMaxLen)
    return {Format("Комментарий не может быть длиннее %d символов!", {static_cast<int>(TableCommentMaxLen)}), false};
  for (const TTableRec& t : tables)
    if (CompareTextNoCase(t.Comment, input.Comment) == 0)
      return {"Запись с таким комментарией уже присутствует в списке!\rВыберите другой комментарий.", false};
  if (input.Step < -MaxNumber || input.Step > MaxNumber) return {"Шаг должен быть от -45 до 45!", false};
  return {};
}

int AddTables(TTablesArray& tables, const TTableInput& input, const TCombsArray& selected,
              const std::vector<int>& positions) {
  TTableRec rule;
  rule.Comment = input.Comment;
  rule.UseLastDraw = input.UseLastDraw ? 1 : 0;
  rule.Step = input.Step;
  if (input.UseLastDraw || selected.size() == 1) {
    if (selected.size() == 1) rule.StartComb = selected.front();
    if (!input.UseLastDraw) {
      TNumList numbers;
      if (ParseStakeNumbers(input.Start, MainCount, MainCount, numbers).empty())
        std::copy(numbers.Nums.begin(), numbers.Nums.begin() + MainCount, rule.StartComb.begin());
    }
    rule.CurComb = rule.StartComb;
    tables.push_back(rule);
    return 1;
  }
  for (size_t i = 0; i < selected.size(); ++i) {
    TTableRec t = rule;
    t.Comment = Format("%s (%d)", {input.Comment, i < positions.size() ? positions[i] : static_cast<int>(i) + 1});
    t.StartComb = selected[i];
    t.CurComb = selected[i];
    tables.push_back(std::move(t));
  }
  return static_cast<int>(selected.size());
}

TStakeRec TableStake(const TTableRec& table, int32_t drawNumber, int32_t combsCount, const TConfigData& config) {
  return NewStake(StakeTable, drawNumber, combsCount, CombToNumList(table.CurComb), table.Comment, config);
}

}  // namespace vexa
