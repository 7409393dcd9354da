#include "scripts/script_list.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "core/codec.h"
#include "core/error.h"
#include "core/file_io.h"
#include "core/format.h"
#include "scripts/script_text.h"

namespace vexa {

std::vector<std::string> ReadScriptFile(const std::filesystem::path& file) {
  std::string bytes;
  try {
    bytes = ReadWholeFile(file, ScriptFileMaxSize);
  } catch (const EVexaError& e) {
    throw EVexaError(Format(ScriptReadErrorFormat, {file.string(), e.what()}));
  }
  std::vector<std::string> lines;
  SplitLines(Cp1251ToUtf8(bytes), lines);
  return lines;
}

void WriteScriptFile(const std::filesystem::path& file, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  try {
    WriteFileAtomic(file, Utf8ToCp1251(text));
  } catch (const EVexaError& e) {
    throw EVexaError(Format(ScriptWriteErrorFormat, {file.string(), e.what()}));
  }
}

std::string StorableScriptLine(std::string_view line) {
  std::string s(line);
  std::replace_if(s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return Cp1251ToUtf8(Utf8ToCp1251(s));
}

const std::string& TScriptList::Line(int index) const {
  CheckIndex(index);
  return Lines_[static_cast<size_t>(index)];
}

bool TScriptList::IsSeparator(int index) const { return IsScriptSeparator(Line(index)); }

void TScriptList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EVexaError(Format(ScriptIndexErrorFormat, {index}));
}

void TScriptList::Commit(std::vector<std::string> previous) {
  try {
    WriteScriptFile(WorkingFile_, Lines_);
  } catch (const EVexaError&) {
    Lines_ = std::move(previous);
    throw;
  }
}

void TScriptList::LoadWorking(TUserInterface& ui) {
  std::error_code ec;
  if (!std::filesystem::exists(WorkingFile_, ec)) return;
  ui.SetStatus(Format(ScriptLoadStatus, {WorkingFile_.string()}));
  Lines_ = ReadScriptFile(WorkingFile_);
}

void TScriptList::Open(const std::filesystem::path& file, TUserInterface& ui) {
  ui.SetStatus(Format(ScriptLoadStatus, {file.string()}));
  Assign(ReadScriptFile(file));
}

void TScriptList::Assign(const std::vector<std::string>& lines) {
  std::vector<std::string> storable;
  storable.reserve(lines.size());
  for (const std::string& line : lines) storable.push_back(StorableScriptLine(line));
  std::vector<std::string> previous = std::exchange(Lines_, std::move(storable));
  Commit(std::move(previous));
}

void TScriptList::Save(const std::filesystem::path& file, TUserInterface& ui) const {
  ui.SetStatus(Format(ScriptSaveStatus, {file.string()}));
  WriteScriptFile(file, Lines_);
}

int TScriptList::Add(std::string_view line) {
  std::vector<std::string> previous = Lines_;
  Lines_.push_back(StorableScriptLine(line));
  Commit(std::move(previous));
  return Count() - 1;
}

int TScriptList::AddSeparator() {
  if (Lines_.empty()) return -1;
  return Add("");
}

int TScriptList::Load(const std::filesystem::path& file, TUserInterface& ui) {
  ui.SetStatus(Format(ScriptLoadStatus, {file.string()}));
  std::vector<std::string> lines = ReadScriptFile(file);
  if (lines.empty()) return 0;
  std::vector<std::string> previous = Lines_;
  if (!Lines_.empty() && !IsScriptSeparator(Lines_.back())) Lines_.emplace_back();
  const int before = static_cast<int>(previous.size());
  Lines_.insert(Lines_.end(), std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.end()));
  Commit(std::move(previous));
  return Count() - before;
}

int TScriptList::Clone(int index, std::string_view line) {
  CheckIndex(index);
  return Add(line);
}

void TScriptList::Edit(int index, std::string_view line) {
  CheckIndex(index);
  std::vector<std::string> previous = Lines_;
  Lines_[static_cast<size_t>(index)] = StorableScriptLine(line);
  Commit(std::move(previous));
}

int TScriptList::Delete(const std::vector<int>& indexes, TUserInterface& ui) {
  for (int index : indexes) CheckIndex(index);
  if (indexes.empty()) return 0;
  ui.SetStatus(ScriptDeleteStatus);
  std::vector<int> order = indexes;
  std::sort(order.begin(), order.end(), std::greater<>());
  order.erase(std::unique(order.begin(), order.end()), order.end());
  std::vector<std::string> previous = Lines_;
  for (int index : order) Lines_.erase(Lines_.begin() + index);
  Commit(std::move(previous));
  return static_cast<int>(order.size());
}

void TScriptList::Clear(TUserInterface& ui) {
  if (Lines_.empty()) return;
  ui.SetStatus(ScriptDeleteStatus);
  std::vector<std::string> previous = std::exchange(Lines_, {});
  Commit(std::move(previous));
}

int TScriptList::MoveUp(int index) {
  CheckIndex(index);
  if (index == 0) return index;
  std::vector<std::string> previous = Lines_;
  std::swap(Lines_[static_cast<size_t>(index)], Lines_[static_cast<size_t>(index - 1)]);
  Commit(std::move(previous));
  return index - 1;
}

int TScriptList::MoveDown(int index) {
  CheckIndex(index);
  if (index == Count() - 1) return index;
  std::vector<std::string> previous = Lines_;
  std::swap(Lines_[static_cast<size_t>(index)], Lines_[static_cast<size_t>(index + 1)]);
  Commit(std::move(previous));
  return index + 1;
}

}  // namespace vexa
