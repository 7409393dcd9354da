// A zip archive written as a stream, for workbooks far larger than memory.
//
// Entries are deflated (zlib, level 1: a workbook of millions of rows is
// mostly repeated markup, and a higher level costs several times the time
// for a few per cent of size). Data is gathered into slices of SliceBytes;
// a full round of slices is compressed on all cores at once, each slice as
// an independent run of deflate blocks primed with the 32 KiB before it and
// ended on a byte boundary (a sync flush), so the runs joined in order are
// one valid deflate stream (the way pigz does it). Memory stays at a few
// slices whatever the entry's size.
//
// The archive goes to a temporary file that Finish puts in place of the
// target; abandoned (an exception, a stop), the target stays as it was.
// Offsets past 4 GiB use the zip64 records of the central directory; a
// single entry must stay below 4 GiB (the caller starts a new one before).
//
// Not thread-safe: one writer, one thread (the compression threads are its own).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/atomic_file_writer.h"

namespace vexa {

class TZipWriter {
 public:
  static constexpr size_t SliceBytes = size_t{4} << 20;
  static constexpr uint64_t MaxEntryBytes = 0xFFFFFFFFull;

  // threads: compression threads (0: one per core). Throws EVexaError.
  explicit TZipWriter(const std::filesystem::path& file, int threads = 0);
  ~TZipWriter();
  TZipWriter(const TZipWriter&) = delete;
  TZipWriter& operator=(const TZipWriter&) = delete;

  // REQUIRES: no entry open; name is ASCII.
  void BeginEntry(std::string name);
  void Write(std::string_view data);
  // Uncompressed bytes of the open entry so far.
  uint64_t EntryBytes() const { return EntryBytes_ + Pending_; }
  void EndEntry();
  // Writes the central directory and commits the file. REQUIRES: no entry open.
  void Finish();

 private:
  struct TDeflater;
  struct TEntry {
    std::string Name;
    uint64_t Offset = 0;
    uint32_t Crc = 0;
    uint64_t Compressed = 0;
    uint64_t Size = 0;
  };

  void CompressRound(bool last);

  TAtomicFileWriter File_;
  int Threads_;
  std::vector<std::unique_ptr<TDeflater>> Deflaters_;
  // [32 KiB of what came before][the round being gathered]
  std::unique_ptr<char[]> Round_;
  size_t Pending_ = 0;  // bytes gathered in the round
  size_t History_ = 0;  // bytes of the dictionary area in use
  std::vector<TEntry> Entries_;
  bool Open_ = false;
  uint64_t EntryBytes_ = 0;  // compressed rounds of the open entry
  uint16_t DosTime_ = 0;
  uint16_t DosDate_ = 0;
};

}  // namespace vexa
