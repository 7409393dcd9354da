// The workspace's script list: the start-up step and the editing commands of
// the script tab.
#include <algorithm>

#include "core/error.h"
#include "core/format.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

constexpr const char* WarningTitle = "Предупреждение";

}  // namespace

void TWorkspace::LoadScriptData() {
  try {
    Scripts_.LoadWorking(Relay_);
  } catch (const EVexaError& e) {
    ++Failures_;
    Ui_.Message(TMessageKind::Error, e.what());
  }
}

std::array<std::string, ScriptColumns> TWorkspace::ScriptViewRow(int index) const {
  return ScriptRow(Scripts_.Line(index), Stats_);
}

void TWorkspace::ScriptOpen(const std::filesystem::path& file) {
  TOperation op(*this, ChangeScript);
  Scripts_.Open(file, Relay_);
}

void TWorkspace::ScriptSave(const std::filesystem::path& file) {
  TOperation op(*this, 0);
  Scripts_.Save(file, Relay_);
}

int TWorkspace::ScriptAdd(std::string_view line) {
  TOperation op(*this, ChangeScript);
  return Scripts_.Add(line);
}

int TWorkspace::ScriptEmpty() {
  TOperation op(*this, ChangeScript);
  return Scripts_.AddSeparator();
}

int TWorkspace::ScriptLoad(const std::filesystem::path& file) {
  TOperation op(*this, ChangeScript);
  return Scripts_.Load(file, Relay_);
}

int TWorkspace::ScriptClone(int index, std::string_view line) {
  TOperation op(*this, ChangeScript);
  return Scripts_.Clone(index, line);
}

void TWorkspace::ScriptEdit(int index, std::string_view line) {
  TOperation op(*this, ChangeScript);
  Scripts_.Edit(index, line);
}

int TWorkspace::ScriptDel(const std::vector<int>& indexes) {
  RequireIdle();
  std::vector<int> unique = indexes;
  std::sort(unique.begin(), unique.end());
  unique.erase(std::unique(unique.begin(), unique.end()), unique.end());
  if (unique.empty()) return 0;
  for (int index : unique) Scripts_.Line(index);  // a bad index fails before the question
  if (!Ui_.Ask(StakesDeleteQuestion(static_cast<int>(unique.size())), WarningTitle, true)) return 0;
  TOperation op(*this, ChangeScript);
  return Scripts_.Delete(unique, Relay_);
}

bool TWorkspace::ScriptClr() {
  RequireIdle();
  if (Scripts_.Empty()) return false;
  if (!Ui_.Ask(StakesDeleteQuestion(Scripts_.Count()), WarningTitle, true)) return false;
  TOperation op(*this, ChangeScript);
  Scripts_.Clear(Relay_);
  return true;
}

int TWorkspace::ScriptUp(int index) {
  TOperation op(*this, ChangeScript);
  return Scripts_.MoveUp(index);
}

int TWorkspace::ScriptDown(int index) {
  TOperation op(*this, ChangeScript);
  return Scripts_.MoveDown(index);
}

int TWorkspace::RatingsToScript(const std::vector<int>& rows) {
  TOperation op(*this, ChangeScript);
  SetStatus(RatingLinesStatus);
  int added = 0;
  for (int row : rows) {
    if (row < 0 || row >= Ratings_.Count()) continue;
    const std::string& name = Ratings_[static_cast<size_t>(row)].Name;
    const std::string line = RatingScriptLine(name);
    if (line.empty()) {
      Ui_.Message(TMessageKind::Error, Format(RatingLineError, {name}));
      continue;
    }
    Scripts_.Add(line);
    ++added;
  }
  return added;
}

}  // namespace vexa
