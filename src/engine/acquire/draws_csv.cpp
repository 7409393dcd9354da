#include "acquire/draws_csv.h"

#include "core/dates.h"
#include "core/error.h"
#include "core/file_io.h"
#include "core/format.h"
#include "core/game.h"

namespace vexa {
namespace {

bool IsBlank(char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; }

// Runs a change of the archive and saves it; on failure memory goes back.
template <typename Change>
void ChangeAndSave(TDrawsArchive& archive, TUserInterface& ui, Change change) {
  const TDrawsArray before = archive.Draws();
  const int offset = archive.DrawsOffset();
  try {
    change();
    archive.SaveDraws(ui);
  } catch (...) {
    archive.SetDraws(before);
    archive.SetDrawsOffset(offset);
    throw;
  }
}

}  // namespace

std::vector<std::string> SplitCsvFields(std::string_view line) {
  constexpr char Quote = '"';
  constexpr char Delimiter = ';';
  std::vector<std::string> fields;
  size_t p = 0;
  const size_t n = line.size();
  while (p < n && IsBlank(line[p])) ++p;
  while (p < n) {
    std::string field;
    if (line[p] == Quote) {
      ++p;
      while (p < n) {
        if (line[p] == Quote) {
          if (p + 1 < n && line[p + 1] == Quote) {
            field.push_back(Quote);
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        field.push_back(line[p++]);
      }
    } else {
      const size_t start = p;
      while (p < n && static_cast<unsigned char>(line[p]) > ' ' && line[p] != Delimiter) ++p;
      field.assign(line.substr(start, p - start));
    }
    fields.push_back(std::move(field));
    while (p < n && IsBlank(line[p])) ++p;
    if (p < n && line[p] == Delimiter) {
      if (p + 1 == n) fields.emplace_back();
      do {
        ++p;
      } while (p < n && IsBlank(line[p]));
    }
  }
  return fields;
}

std::string DrawToCsvLine(const TDraw& draw) {
  const size_t len = std::min<size_t>(draw.Date[0], DrawDateMaxLen);
  std::string date(reinterpret_cast<const char*>(draw.Date.data() + 1), len);
  std::string quoted = "\"";
  for (char c : date) {
    if (c == '"') quoted.push_back('"');
    quoted.push_back(c);
  }
  quoted.push_back('"');
  std::string line = std::to_string(draw.Number) + ";" + quoted;
  for (uint8_t n : draw.Nums) line += ";" + std::to_string(n);
  for (uint8_t n : draw.Supp) line += ";" + std::to_string(n);
  return line;
}

int DrawsExport(const TDrawsArchive& archive, const std::filesystem::path& file, TUserInterface& ui) {
  ui.SetStatus(Format("Экспорт тиражей в файл \"%s\"...", {file.string()}));
  std::string content;
  for (const TDraw& d : archive.Draws()) content += DrawToCsvLine(d) + "\r\n";
  WriteFileAtomic(file, content);
  return archive.Count();
}

int DrawsImport(TDrawsArchive& archive, const std::filesystem::path& file, TUserInterface& ui) {
  ui.SetStatus(Format("Импорт тиражей из файла \"%s\"...", {file.string()}));
  const std::string content = ReadWholeFile(file);
  std::vector<std::string> lines;
  SplitLines(content, lines);
  int added = 0;
  ChangeAndSave(archive, ui, [&] {
    size_t lineNo = 0;
    for (const std::string& line : lines) {
      // A stop gives the archive back as it was: ChangeAndSave restores it.
      if (++lineNo % 4096 == 0) {
        ui.SetProgress(Format("Импорт тиражей из файла \"%s\"...", {file.string()}), static_cast<int64_t>(lineNo),
                       static_cast<int64_t>(lines.size()));
        ThrowIfStopped(ui);
      }
      if (Trim(line).empty()) continue;
      const std::vector<std::string> f = SplitCsvFields(line);
      size_t first = 0;
      TDraw draw;
      if (f.size() == 9) {
        draw.Number = archive.Count() + 1;
      } else if (f.size() == 10) {
        draw.Number = StrToIntDef(f[0], 0);
        first = 1;
      } else {
        continue;
      }
      // The date is taken as it stands (cp1251 bytes), cut to 11 characters.
      const std::string& date = f[first];
      const size_t len = std::min<size_t>(date.size(), DrawDateMaxLen);
      draw.Date[0] = static_cast<uint8_t>(len);
      std::copy(date.begin(), date.begin() + static_cast<std::ptrdiff_t>(len), draw.Date.begin() + 1);
      for (size_t k = 0; k < MainCount; ++k) draw.Nums[k] = StrToNumber(f[first + 1 + k]);
      for (size_t k = 0; k < SuppCount; ++k) draw.Supp[k] = StrToNumber(f[first + 1 + MainCount + k]);
      if (draw.Number <= 0 || archive.IndexOfDrawNumber(draw.Number) >= 0) continue;
      archive.Append(draw);
      ++added;
    }
  });
  return added;
}

std::string ValidateDrawNumbers(std::string_view text, TDraw& draw) {
  static const std::string Bad = "Введена некорректная комбинация!";
  std::vector<std::string_view> words;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == ',' || text[i] == ';') {
      words.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  if (words.size() != MainCount + SuppCount) return Bad;
  int32_t values[MainCount + SuppCount] = {};
  for (size_t k = 0; k < words.size(); ++k) {
    if (!TryStrToInt(words[k], values[k]) || values[k] < 1 || values[k] > MaxNumber) return Bad;
    for (size_t j = 0; j < k && k < MainCount; ++j)
      if (values[j] == values[k]) return Bad;
  }
  for (size_t k = 0; k < MainCount; ++k) draw.Nums[k] = static_cast<uint8_t>(values[k]);
  for (size_t k = 0; k < SuppCount; ++k) draw.Supp[k] = static_cast<uint8_t>(values[MainCount + k]);
  return "";
}

std::string MakeEnteredDraw(int number, std::string_view numbers, double date, TDraw& draw) {
  TDraw d;
  if (number < 1) return "Введите номер тиража (не меньше 1)!";
  std::string message = ValidateDrawNumbers(numbers, d);
  if (!message.empty()) return message;
  d.Number = number;
  SetDrawDateText(d, DateToDrawText(date));
  draw = d;
  return "";
}

void DrawsAdd(TDrawsArchive& archive, const TDraw& draw, TUserInterface& ui) {
  ChangeAndSave(archive, ui, [&] { archive.Append(draw); });
}

void DrawsEdit(TDrawsArchive& archive, int row, const TDraw& draw, TUserInterface& ui) {
  ChangeAndSave(archive, ui, [&] { archive.Replace(archive.Count() - 1 - row, draw); });
}

void DrawsDel(TDrawsArchive& archive, const std::vector<int>& numbers, TUserInterface& ui) {
  ui.SetStatus("Удаление выделенных тиражей....");
  ChangeAndSave(archive, ui, [&] {
    for (int number : numbers) archive.DeleteDrawAt(archive.IndexOfDrawNumber(number));
  });
}

std::string DrawsDelQuestion(int count) {
  if (count == 1) return "Удалить выделенную запись?";
  return Format("Удалить все выделенные записи (всего будет удалено %d записи(ей))?", {count});
}

}  // namespace vexa
