// Checks of what a request carries, before anything reaches the store.
// Each throws EServiceError with the text of the "<error>" row.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexa::server {

constexpr int64_t CombLength = 6;
constexpr int64_t MinSystemNums = 7;
constexpr int64_t MaxSystemNums = 45;
constexpr int64_t MaxSystemOlap = 5;
constexpr size_t MaxTitleChars = 64;
constexpr size_t MaxNameChars = 64;
constexpr size_t MaxMailChars = 254;
constexpr size_t MaxUrlChars = 2048;
constexpr size_t MaxDescrChars = 16384;
constexpr size_t MaxNotesChars = 1024;
constexpr size_t MaxScriptBytes = 1024 * 1024;

// Characters of valid UTF-8 text; nullopt when it is not valid UTF-8.
std::optional<size_t> Utf8Length(std::string_view text);

std::string Trimmed(std::string_view text);

// C(n, 6).
int64_t CombinationsOf(int64_t n);

// Text that must be valid UTF-8 of at most maxChars characters; `label`
// names the field in the message.
void CheckText(std::string_view label, std::string_view text, size_t maxChars);
// Text sent back as it is inside a reply row: also no '<', '>' or control bytes.
void CheckPlainText(std::string_view label, std::string_view text, size_t maxChars);
// A title: trimmed, 1..64 characters. Returns the trimmed title.
std::string CheckTitle(std::string_view title);

// The combinations of a system over nums positions: every non-blank line 6
// distinct positions 1..nums split by the catalogue's separators, at most
// C(nums, 6) lines, exactly csize of them. Returns the lines rewritten as
// "01 02 03 04 05 06" and joined by CR LF (no line end after the last).
std::string CheckSystemCombs(std::string_view text, int64_t nums, int64_t csize);

}  // namespace vexa::server
