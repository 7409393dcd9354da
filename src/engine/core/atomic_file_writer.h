// The safe whole-file write of WriteFileAtomic (core/file_io.h) for a file
// too large to hold in memory: written piece by piece into a temporary file
// in the same folder, which Commit flushes to disk and renames over the
// target. Destroyed without Commit (a failure, a stop), the temporary file
// is removed and the target stays as it was; the signal clean-up of
// InstallTempFileCleanup covers it too.
//
// Every method throws EVexaError with the system's error text. Not
// thread-safe: one writer, one thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vexa {

class TAtomicFileWriter {
 public:
  // mode: as for WriteFileAtomic.
  explicit TAtomicFileWriter(const std::filesystem::path& path, unsigned mode = 0644, bool forceMode = false);
  ~TAtomicFileWriter();
  TAtomicFileWriter(const TAtomicFileWriter&) = delete;
  TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

  void Write(std::string_view data);
  // Overwrites bytes already written (a header patched at the end).
  void WriteAt(uint64_t offset, std::string_view data);
  uint64_t Size() const { return Size_; }
  // Flushes to disk, renames over the target and makes the rename durable.
  void Commit();

 private:
  [[noreturn]] void Fail(int err);

  std::filesystem::path Path_;
  std::string TempPath_;
  int Fd_ = -1;
  int Slot_ = -1;
  uint64_t Size_ = 0;
};

}  // namespace vexa
