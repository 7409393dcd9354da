// The script: an ordered list of text lines, and its files.
//
// Script file (the working file "Korvane_6x45.lss" in the data folder, and
// the user's ".lsc" files, same content): text in code page 1251, one line
// per text line, CR LF after every line, no header or trailer. An empty text
// line is a separator. Lines are kept as text, never in parsed form.
//
// Every change is written to the working file at once, through a temporary
// file, so the file always holds a whole list. When that write fails the
// list goes back to what it was and the error is thrown: the list never
// shows lines that the file does not hold. A failed read leaves the list as
// it was. Errors are EVexaError with the program's texts. Not thread-safe.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/user_interface.h"

namespace vexa {

inline constexpr const char* ScriptFileExt = ".lss";
// A script file is read up to this size (a script of 100 000 lines is about
// 20 MB); past it the read fails with FileTooLargeFormat.
inline constexpr uint64_t ScriptFileMaxSize = 64ull << 20;
inline constexpr const char* ScriptUserFileExt = "lsc";
inline constexpr const char* ScriptFileFilter = "Файлы сценариев (*.lsc)|*.lsc";
inline constexpr const char* ScriptReadErrorFormat = "Ошибка чтения файла \"%s\"!\r\r%s";
inline constexpr const char* ScriptWriteErrorFormat = "Ошибка записи в файл \"%s\"!\r\r%s";
inline constexpr const char* ScriptLoadStatus = "Загрузка файла \"%s\"...";
inline constexpr const char* ScriptSaveStatus = "Сохранение файла \"%s\"...";
inline constexpr const char* ScriptDeleteStatus = "Удаление строк...";
inline constexpr const char* ScriptIndexErrorFormat = "Запись со индексом %d в файле данных не найдена!";
inline constexpr const char* ScriptNewLineCaption = "Создание новой строки";
inline constexpr const char* ScriptEditLineCaption = "Редактирование строки";

// Throws ScriptReadErrorFormat with the file name and the system's text.
std::vector<std::string> ReadScriptFile(const std::filesystem::path& file);
// Atomic; throws ScriptWriteErrorFormat, the old file then stays.
void WriteScriptFile(const std::filesystem::path& file, const std::vector<std::string>& lines);
// What a line becomes in the list: line breaks made blanks (a line is one
// text line of the file) and characters that code page 1251 lacks made "?",
// so the list holds exactly what the file will give back.
std::string StorableScriptLine(std::string_view line);

class TScriptList {
 public:
  explicit TScriptList(std::filesystem::path workingFile) : WorkingFile_(std::move(workingFile)) {}

  const std::filesystem::path& WorkingFile() const { return WorkingFile_; }
  const std::vector<std::string>& Lines() const { return Lines_; }
  int Count() const { return static_cast<int>(Lines_.size()); }
  bool Empty() const { return Lines_.empty(); }
  // Throws ScriptIndexErrorFormat outside the list.
  const std::string& Line(int index) const;
  // True for a line that is empty after trimming; throws outside the list.
  bool IsSeparator(int index) const;

  // Start-up: the working file when it exists; a missing one leaves the list empty.
  void LoadWorking(TUserInterface& ui);

  // The commands. Each returns the index to select or focus where it has one.
  void Open(const std::filesystem::path& file, TUserInterface& ui);        // replaces the list
  // Replaces the list with these lines (a script that came as text).
  void Assign(const std::vector<std::string>& lines);
  void Save(const std::filesystem::path& file, TUserInterface& ui) const;  // the list to the file
  int Add(std::string_view line);
  // Appends an empty line; -1 (and nothing) while the list is empty.
  int AddSeparator();
  // Appends the file's lines, after a separator unless the list is empty or
  // already ends with one. Returns the number of lines added.
  int Load(const std::filesystem::path& file, TUserInterface& ui);
  // Appends the line edited from line `index`; throws outside the list.
  int Clone(int index, std::string_view line);
  void Edit(int index, std::string_view line);
  // Removes the lines at these indexes, from the last to the first.
  // Throws outside the list before anything is removed. Returns the count.
  int Delete(const std::vector<int>& indexes, TUserInterface& ui);
  void Clear(TUserInterface& ui);
  // Swap with the neighbour and return the moved line's new index; the
  // first line does not move up, nor the last one down.
  int MoveUp(int index);
  int MoveDown(int index);

 private:
  void CheckIndex(int index) const;
  // Writes the working file; on failure restores `previous` and rethrows.
  void Commit(std::vector<std::string> previous);

  std::filesystem::path WorkingFile_;
  std::vector<std::string> Lines_;
};

}  // namespace vexa
