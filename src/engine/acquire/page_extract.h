// Pieces of text between markers: how the results pages are read.
//
// Every search ignores the case of Latin letters. Every result is trimmed
// (characters <= ' ' at both ends) and then unquoted: a result of two or
// more characters that starts and ends with '"' loses those two, and each
// remaining '"' is deleted unless the character before it is a '"', so a
// doubled quote becomes a single one.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

// What to do when the end marker is not found after the start marker.
enum class TExtractMode {
  Strict,  // raise the pair-not-found error
  ToEnd,   // take the rest of the text
  Empty,   // give an empty result
};

// "Не удалось найти пару идентификаторов "<start>" - "<end>" в тексте\r\r[<text>]!"
std::string PairNotFoundMessage(std::string_view text, std::string_view start, std::string_view end);

// Position of the first match of `what` at or after `from`, ignoring case;
// npos when there is none.
size_t FindNoCase(std::string_view text, std::string_view what, size_t from = 0);

std::string TrimUnquote(std::string_view text);

// The text after the first `start` up to the first `end` after it (to the
// end of the text when `end` is empty). No `start`: empty result.
std::string ExtractBetween(std::string_view text, std::string_view start, std::string_view end, TExtractMode mode);

// ExtractBetween, and then `text` loses everything up to the end of the end
// marker, so repeated calls walk through it. Without a match of both
// markers `text` stays as it was, except in ToEnd mode, which consumes all.
std::string ExtractBetweenCut(std::string& text, std::string_view start, std::string_view end, TExtractMode mode);

// The text after the first `marker` up to its next occurrence (or the end);
// `text` keeps only the part from that next occurrence on (nothing when
// there is none). No `marker`: empty result, `text` unchanged.
std::string ExtractSection(std::string& text, std::string_view marker);

}  // namespace vexa
