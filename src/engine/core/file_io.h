// Whole-file reads and safe whole-file writes.
//
// WriteFileAtomic writes to a temporary file in the same folder, flushes it
// to disk and renames it over the target, so a crash or a full disk never
// leaves a half-written file: either the old content or the new one is there.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// Throws EVexaError with the system's error text on failure.
std::string ReadWholeFile(const std::filesystem::path& path);
// The same for a file a user hands in: reading stops past maxBytes (a
// device such as /dev/zero never ends) with FileTooLargeFormat.
std::string ReadWholeFile(const std::filesystem::path& path, uint64_t maxBytes);
inline constexpr const char* FileTooLargeFormat = "Файл слишком велик: больше %d байт";

// mode: permission bits for a file that does not exist yet (an existing
// file keeps its own, unless forceMode gives it `mode` too: a file that
// now holds a secret). Throws EVexaError with the system's error text;
// the previous file is then untouched.
void WriteFileAtomic(const std::filesystem::path& path, std::string_view content, unsigned mode = 0644,
                     bool forceMode = false);

// Makes the process's own atomic writes clean up after themselves when
// they cannot finish: a write past the file-size limit fails (EFBIG) instead
// of killing the process, and SIGINT, SIGTERM and SIGHUP remove the
// temporary file of a write in progress before the process ends as the
// signal says. Call once from a program's main.
void InstallTempFileCleanup();

// Removes what killed processes left of our atomic writes in a data folder:
// ".<name>.XXXXXX" where the name begins with baseName or ends in one of the
// program's own extensions, "<baseName>.~tmp", and
// "Prefetchs/.<name>.dfc.XXXXXX". Anything else is left alone. REQUIRES:
// the folder lock is held, so no other copy is writing there. Returns how
// many files were removed; failures to remove are ignored.
int RemoveStaleTemporaries(const std::filesystem::path& folder, std::string_view baseName);

// Splits a text into lines at CR LF, LF or CR; a final line end adds no empty line.
void SplitLines(std::string_view text, std::vector<std::string>& lines);

}  // namespace vexa
