// Deleting a group of files (logs) with one summary of how it went.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/user_interface.h"

namespace vexa {

// In order of severity; a run only ever moves to a more severe state.
enum class TFileOpState { Ok, Warning, Error, Stop };

struct TFileOpItem {
  std::string Name;
  std::string Note;  // "Каталог игнорирован" or the error text
};

struct TFileOperation {
  std::string Title;
  std::string Summary;
  int Total = 0;
  int Processed = 0;
  int Skipped = 0;
  int Warnings = 0;
  int Errors = 0;
  TFileOpState State = TFileOpState::Ok;
  std::vector<TFileOpItem> Notes;

  void Raise(TFileOpState s) {
    if (static_cast<int>(s) > static_cast<int>(State)) State = s;
  }
};

// Removes one file; returns "" or the error text.
using TFileRemover = std::function<std::string(const std::string& path)>;

// pattern: a folder and a wildcard ("*" and "?", case-insensitive), e.g.
// "/data/ScriptLog_*.txt". Folders that match are skipped; a file that
// cannot be deleted is an error that lowers the run only to a warning.
TFileOperation DeleteFilesWithReport(const std::string& pattern, const TFileRemover& remove = {});

// Whether any entry matches the pattern (callers check before deleting).
bool AnyFileMatches(const std::string& pattern);

// Title + "\r\r" + summary, as information when all went well, else as a warning.
void ReportFileOperation(TUserInterface& ui, const TFileOperation& op);

// The line logged for an item that ended with a warning or an error.
std::string FileOpFailureLine(bool warning, const std::string& when, const std::string& item,
                              const std::string& error);

}  // namespace vexa
