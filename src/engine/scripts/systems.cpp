#include "scripts/systems.h"

#include <algorithm>

#include "core/codec.h"
#include "core/error.h"
#include "core/file_io.h"
#include "core/format.h"

namespace vexa {
namespace {

constexpr int SystemCombLength = MainCount;

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  for (size_t i = 0; i < suffix.size(); ++i) {
    char c = text[text.size() - suffix.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != suffix[i]) return false;
  }
  return true;
}

// The combination of one line; throws EVexaError with the reason.
TComb ExpandLine(std::string_view line, int lineNumber, const TByteArray& numbers) {
  const std::vector<std::string> words = SystemLineWords(line);
  TComb comb{};
  std::array<bool, MaxNumber + 1> used{};
  for (size_t i = 0; i < comb.size(); ++i) {
    int32_t k = 0;
    // A repeated position would stake one number twice.
    if (i >= words.size() || !TryStrToInt(words[i], k) || k < 1 || static_cast<size_t>(k) > numbers.size() ||
        k > MaxNumber || used[static_cast<size_t>(k)])
      throw EVexaError(
          Format("Некорректная комбинация системы в строке %d: \"%s\"", {lineNumber, Cp1251ToUtf8(line)}));
    used[static_cast<size_t>(k)] = true;
    comb[i] = numbers[static_cast<size_t>(k - 1)];
  }
  return comb;
}

}  // namespace

std::filesystem::path SystemsFolder(const std::filesystem::path& dataDir) { return dataDir / SystemsFolderName; }

std::string SystemFileName(int nums, int olap, int id) {
  return Format("%d-%.2d-%d_%.4d.dat", {SystemCombLength, nums, olap, id});
}

std::string SystemFilePattern(int nums) { return Format("%d-%.2d-*_*.dat", {SystemCombLength, nums}); }

bool MatchesSystemPattern(std::string_view fileName, int nums) {
  const std::string prefix = Format("%d-%.2d-", {SystemCombLength, nums});
  if (fileName.substr(0, prefix.size()) != prefix || !EndsWithNoCase(fileName, ".dat")) return false;
  const std::string_view middle = fileName.substr(prefix.size(), fileName.size() - prefix.size() - 4);
  return middle.find('_') != std::string_view::npos;
}

std::vector<std::filesystem::path> FindSystemFiles(const std::filesystem::path& folder, int nums) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeEc;
    if (!it->is_regular_file(typeEc)) continue;
    if (MatchesSystemPattern(it->path().filename().string(), nums)) files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::string> SystemLineWords(std::string_view line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && SystemSeparators.find(line[i]) != std::string_view::npos) ++i;
    const size_t start = i;
    while (i < line.size() && SystemSeparators.find(line[i]) == std::string_view::npos) ++i;
    const std::string_view word = Trim(line.substr(start, i - start));
    if (!word.empty()) words.emplace_back(word);
  }
  return words;
}

TSystemExpansion ExpandSystem(const TByteArray& numbers, const std::filesystem::path& dataDir, TUserInterface& ui) {
  TSystemExpansion result;
  const int n = static_cast<int>(numbers.size());
  const std::vector<std::filesystem::path> files = FindSystemFiles(SystemsFolder(dataDir), n);
  if (files.empty()) {
    result.Error = Format(SystemNotFoundFormat, {n});
    ui.Message(TMessageKind::Error, result.Error + SystemNotFoundHint);
    return result;
  }
  result.File = files.front();
  try {
    std::vector<std::string> lines;
    SplitLines(ReadWholeFile(result.File), lines);
    for (size_t i = 0; i < lines.size(); ++i) {
      if (Trim(lines[i]).empty()) continue;
      result.Combs.push_back(ExpandLine(lines[i], static_cast<int>(i + 1), numbers));
    }
    if (result.Combs.empty()) throw EVexaError("Файл системы не содержит комбинаций");
  } catch (const EVexaError& e) {
    result.Combs.clear();
    result.Error = Format(SystemLoadErrorFormat, {e.what()});
    ui.Message(TMessageKind::Error, result.Error);
    return result;
  }
  result.Ok = true;
  return result;
}

}  // namespace vexa
