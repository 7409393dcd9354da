#include "core/file_report.h"

#include <fnmatch.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/format.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Matching(const std::string& pattern) {
  const fs::path p(pattern);
  const fs::path dir = p.has_parent_path() ? p.parent_path() : fs::path(".");
  const std::string wildcard = p.filename().string();
  std::vector<fs::path> found;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (fnmatch(wildcard.c_str(), name.c_str(), FNM_CASEFOLD | FNM_PERIOD) == 0) found.push_back(it->path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

std::string Unlink(const std::string& path) {
  if (::unlink(path.c_str()) == 0) return "";
  return std::strerror(errno);
}

}  // namespace

TFileOperation DeleteFilesWithReport(const std::string& pattern, const TFileRemover& remove) {
  TFileOperation op;
  op.Title = Format("Удаление \"%s\"", {pattern});
  const std::vector<fs::path> entries = Matching(pattern);
  op.Total = static_cast<int>(entries.size());
  for (const fs::path& entry : entries) {
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(entry, ec))) {
      ++op.Skipped;
      op.Notes.push_back({entry.string(), "Каталог игнорирован"});
      continue;
    }
    const std::string error = remove ? remove(entry.string()) : Unlink(entry.string());
    if (error.empty()) {
      ++op.Processed;
    } else {
      // One locked log must not turn the whole run into a failure.
      ++op.Errors;
      op.Raise(TFileOpState::Warning);
      op.Notes.push_back({entry.string(), error});
    }
  }
  op.Summary = Format("Всего - %d, обработано - %d, пропущено - %d, предупреждений - %d, ошибок - %d.",
                      {op.Total, op.Processed, op.Skipped, op.Warnings, op.Errors});
  return op;
}

bool AnyFileMatches(const std::string& pattern) { return !Matching(pattern).empty(); }

void ReportFileOperation(TUserInterface& ui, const TFileOperation& op) {
  ui.Message(op.State == TFileOpState::Ok ? TMessageKind::Information : TMessageKind::Warning,
             op.Title + "\r\r" + op.Summary);
}

std::string FileOpFailureLine(bool warning, const std::string& when, const std::string& item,
                              const std::string& error) {
  return Format(warning ? "[%s] Предупреждение при выполнении операции \"%s\":\r\n%s!"
                        : "[%s] Ошибка при выполнении операции \"%s\":\r\n%s!",
                {when, item, error});
}

}  // namespace vexa
