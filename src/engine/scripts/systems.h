// The local store of lottery systems (wheels) and their expansion.
//
// A system is a list of 6-number combinations written over positions 1..N
// of N numbers that the player picks. Downloaded systems lie in the folder
// "Systems" of the data folder, one file per system, named
// "6-<N as %.2d>-<block>_<id as %.4d>.dat" (a 10-number system with block 3
// and id 123 is 6-10-3_0123.dat); at most one system per N is kept.
// Content: one combination per line, six positions separated by any of
// blank * + , - . / : ; = \ _ | ~ (runs count as one), CR LF.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/game.h"
#include "core/user_interface.h"

namespace vexa {

inline constexpr const char* SystemsFolderName = "Systems";
inline constexpr std::string_view SystemSeparators = " *+,-./:;=\\_|~";
inline constexpr const char* SystemNotFoundFormat = "Система для %d чисел не найдена или не загружена на компьютер!";
inline constexpr const char* SystemNotFoundHint =
    "\r\rПеред системной игрой необходимо предварительно загрузить системы на Ваш компьютер через меню "
    "\"Системы\" - \"Загрузить\".";
inline constexpr const char* SystemLoadErrorFormat = "Ошибка загрузки комбинаций системы!\r\r%s";

std::filesystem::path SystemsFolder(const std::filesystem::path& dataDir);
// "6-10-3_0123.dat" for (10, 3, 123).
std::string SystemFileName(int nums, int olap, int id);
// The name pattern of every system for N numbers: "6-10-*_*.dat".
std::string SystemFilePattern(int nums);
bool MatchesSystemPattern(std::string_view fileName, int nums);
// The regular files of the folder that hold a system for N numbers, by name;
// none when the folder is missing.
std::vector<std::filesystem::path> FindSystemFiles(const std::filesystem::path& folder, int nums);
// The words of one line (separators as above), trimmed.
std::vector<std::string> SystemLineWords(std::string_view line);

struct TSystemExpansion {
  bool Ok = false;
  TCombsArray Combs;                // file order, each in the line's order (not sorted)
  std::filesystem::path File;       // full name of the system file used
  std::string Error;                // the message when not Ok
};

// The combinations of the local system for these numbers (N = their count):
// line by line, position k of a line picks numbers[k - 1]. Blank lines are
// skipped. Fails (Ok false, message shown through ui as an error and kept
// in Error) when no file is there (SystemNotFoundFormat; the box adds the
// hint), the file cannot be read, or a line does not hold six different
// positions 1..N (SystemLoadErrorFormat), or it gives no combination.
TSystemExpansion ExpandSystem(const TByteArray& numbers, const std::filesystem::path& dataDir, TUserInterface& ui);

}  // namespace vexa
