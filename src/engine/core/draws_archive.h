// The draws archive: every known draw, oldest first, in the order of arrival.
//
// File "Korvane_6x45.ldr": a flat run of 24-byte TDraw records, no header;
// the record count is the file size divided by 24 and a trailing partial
// record is ignored. The file is rewritten whole after every change, through
// a temporary file, so a failed save leaves the previous file as it was.
//
// DrawsOffset hides the newest draws from every analysis: the analysis
// window is elements 0 .. Count-1-DrawsOffset, and the element just after it
// is the "next draw", known but hidden.
//
// Not thread-safe; the statistics read Draws() while nothing changes it.
#pragma once

#include <bitset>
#include <filesystem>
#include <string>

#include "core/game.h"
#include "core/user_interface.h"

namespace vexa {

inline constexpr const char* DrawsFileExt = ".ldr";

struct TDrawsStatus {
  std::string Archive;    // "Архив тиражей: %d"
  std::string NextDraw;   // "Следующий тираж: %d"
  std::string NextNums;   // main numbers of the next draw, or empty
};

class TDrawsArchive {
 public:
  TDrawsArchive() = default;
  explicit TDrawsArchive(std::filesystem::path file) : File_(std::move(file)) {}

  const std::filesystem::path& File() const { return File_; }
  void SetFile(std::filesystem::path file) { File_ = std::move(file); }

  const TDrawsArray& Draws() const { return Draws_; }
  int Count() const { return static_cast<int>(Draws_.size()); }
  bool Empty() const { return Draws_.empty(); }

  // A missing file leaves the archive empty. A read error keeps the records
  // read so far (the rest zero-filled) and throws "Ошибка чтения файла тиражей!".
  void LoadDraws(TUserInterface& ui);
  // Throws "Ошибка записи в файл тиражей!"; memory and the old file stay as they were.
  void SaveDraws(TUserInterface& ui) const;

  void Append(const TDraw& draw) { Draws_.push_back(draw); }
  // REQUIRES: 0 <= index < Count()
  void Replace(int index, const TDraw& draw);
  // Throws "Запись со индексом %d в файле данных не найдена!" for a bad index.
  void DeleteDrawAt(int index);
  void ClearDraws();
  void SetDraws(TDrawsArray draws) { Draws_ = std::move(draws); }

  int DrawsOffset() const { return DrawsOffset_; }
  // Kept within 0 .. Count()-1 (0 for an empty archive).
  void SetDrawsOffset(int offset);

  TComb DrawCombAt(int offset) const;
  int NextDrawNumber(int offset) const;
  std::string NextDrawText(int offset) const;
  int DrawYmdPlusDays(int index, int days) const;  // throws EConvertError on a bad date text
  int IndexOfDrawNumber(int number) const;
  // Element counted from the oldest; all zero outside the array.
  TDraw GetDraw(int index, bool sorted) const;
  // Row of the draws list: row 0 is the newest draw.
  TDraw RowDraw(int row, bool sorted) const { return GetDraw(Count() - 1 - row, sorted); }

  // Main numbers of the next draw; empty while DrawsOffset is 0.
  std::bitset<256> NextDrawSet() const;
  TDrawsStatus Status() const;

 private:
  std::filesystem::path File_;
  TDrawsArray Draws_;
  int DrawsOffset_ = 0;
};

// Bytes of the archive file for these draws, and the draws of such bytes.
std::string EncodeDraws(const TDrawsArray& draws);
TDrawsArray DecodeDraws(std::string_view bytes);

}  // namespace vexa
