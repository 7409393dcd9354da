#include "export/zip_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <ctime>

#include "core/error.h"
#include "core/parallel.h"

namespace vexa {
namespace {

constexpr size_t Window = 32768;  // deflate's history
// Below this a slice is not worth a thread of its own.
constexpr size_t MinSliceBytes = size_t{256} << 10;
constexpr uint32_t LocalSignature = 0x04034b50;
constexpr uint32_t CentralSignature = 0x02014b50;
constexpr uint32_t EndSignature = 0x06054b50;
constexpr uint32_t End64Signature = 0x06064b50;
constexpr uint32_t End64LocatorSignature = 0x07064b50;
constexpr uint16_t Version = 20;
constexpr uint16_t Version64 = 45;
constexpr uint16_t Deflated = 8;
constexpr uint64_t Max32 = 0xFFFFFFFFull;

void Put16(std::string& s, uint64_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, uint64_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, (v >> 16) & 0xFFFF);
}
void Put64(std::string& s, uint64_t v) {
  Put32(s, v & Max32);
  Put32(s, v >> 32);
}

[[noreturn]] void ZlibFailed(int code) {
  throw EVexaError("Ошибка сжатия данных!", "zlib " + std::to_string(code));
}

}  // namespace

struct TZipWriter::TDeflater {
  z_stream Stream{};
  std::unique_ptr<Bytef[]> Out;
  size_t Capacity = 0;
  size_t Produced = 0;
  uint32_t Crc = 0;
  size_t Length = 0;

  TDeflater() {
    const int rc = deflateInit2(&Stream, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    if (rc != Z_OK) ZlibFailed(rc);
  }
  ~TDeflater() { deflateEnd(&Stream); }
  TDeflater(const TDeflater&) = delete;
  TDeflater& operator=(const TDeflater&) = delete;

  void Reserve(size_t bytes) {
    if (bytes <= Capacity) return;
    auto grown = std::make_unique<Bytef[]>(bytes);
    if (Produced > 0) std::memcpy(grown.get(), Out.get(), Produced);
    Out = std::move(grown);
    Capacity = bytes;
  }

  // One slice: `history` bytes before `data` prime the window; the output
  // ends on a byte boundary (sync flush), or with the final block.
  void Compress(const char* data, size_t length, size_t history, bool final) {
    Length = length;
    Produced = 0;
    Crc = static_cast<uint32_t>(crc32_z(0, reinterpret_cast<const Bytef*>(data), length));
    int rc = deflateReset(&Stream);
    if (rc != Z_OK) ZlibFailed(rc);
    if (history > 0) {
      rc = deflateSetDictionary(&Stream, reinterpret_cast<const Bytef*>(data - history), static_cast<uInt>(history));
      if (rc != Z_OK) ZlibFailed(rc);
    }
    Reserve(deflateBound(&Stream, static_cast<uLong>(length)) + 64);
    Stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    Stream.avail_in = static_cast<uInt>(length);
    for (;;) {
      Stream.next_out = Out.get() + Produced;
      Stream.avail_out = static_cast<uInt>(Capacity - Produced);
      rc = deflate(&Stream, final ? Z_FINISH : Z_SYNC_FLUSH);
      Produced = Capacity - Stream.avail_out;
      if (rc == Z_STREAM_ERROR) ZlibFailed(rc);
      if (final ? rc == Z_STREAM_END : (Stream.avail_in == 0 && Stream.avail_out > 0)) break;
      Reserve(Capacity * 2);
    }
  }
};

TZipWriter::TZipWriter(const std::filesystem::path& file, int threads)
    : File_(file), Threads_(WorkerThreads(threads)) {
  for (int t = 0; t < Threads_; ++t) Deflaters_.push_back(std::make_unique<TDeflater>());
  // Not zeroed: only what is gathered is ever read.
  Round_.reset(new char[Window + static_cast<size_t>(Threads_) * SliceBytes]);
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  DosTime_ = static_cast<uint16_t>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
  DosDate_ = static_cast<uint16_t>((std::max(tm.tm_year - 80, 0) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
}

TZipWriter::~TZipWriter() = default;

void TZipWriter::BeginEntry(std::string name) {
  TEntry e;
  e.Name = std::move(name);
  e.Offset = File_.Size();
  std::string h;
  Put32(h, LocalSignature);
  Put16(h, Version);
  Put16(h, 0);  // flags
  Put16(h, Deflated);
  Put16(h, DosTime_);
  Put16(h, DosDate_);
  Put32(h, 0);  // crc and sizes, patched by EndEntry
  Put32(h, 0);
  Put32(h, 0);
  Put16(h, e.Name.size());
  Put16(h, 0);
  h += e.Name;
  File_.Write(h);
  Entries_.push_back(std::move(e));
  Open_ = true;
  Pending_ = 0;
  History_ = 0;
  EntryBytes_ = 0;
}

void TZipWriter::Write(std::string_view data) {
  const size_t capacity = static_cast<size_t>(Threads_) * SliceBytes;
  while (!data.empty()) {
    const size_t n = std::min(data.size(), capacity - Pending_);
    std::memcpy(Round_.get() + Window + Pending_, data.data(), n);
    Pending_ += n;
    data.remove_prefix(n);
    if (Pending_ == capacity) CompressRound(false);
  }
}

void TZipWriter::CompressRound(bool last) {
  const char* data = Round_.get() + Window;
  const size_t slices =
      std::clamp<size_t>((Pending_ + MinSliceBytes - 1) / MinSliceBytes, 1, static_cast<size_t>(Threads_));
  const size_t each = Pending_ / slices;
  RunWorkers(static_cast<int>(slices), [&](int t) {
    const size_t i = static_cast<size_t>(t);
    const size_t start = i * each;
    const size_t length = i + 1 == slices ? Pending_ - start : each;
    const size_t history = std::min(Window, History_ + start);
    Deflaters_[i]->Compress(data + start, length, history, last && i + 1 == slices);
  });
  TEntry& e = Entries_.back();
  for (size_t i = 0; i < slices; ++i) {
    const TDeflater& d = *Deflaters_[i];
    File_.Write(std::string_view(reinterpret_cast<const char*>(d.Out.get()), d.Produced));
    e.Compressed += d.Produced;
    e.Crc = static_cast<uint32_t>(crc32_combine(e.Crc, d.Crc, static_cast<z_off_t>(d.Length)));
  }
  EntryBytes_ += Pending_;
  // What this round ends with is the next round's history.
  const size_t keep = std::min(Window, History_ + Pending_);
  std::memmove(Round_.get() + Window - keep, data + Pending_ - keep, keep);
  History_ = keep;
  Pending_ = 0;
}

void TZipWriter::EndEntry() {
  CompressRound(true);
  Open_ = false;
  TEntry& e = Entries_.back();
  e.Size = EntryBytes_;
  if (e.Size > MaxEntryBytes || e.Compressed > MaxEntryBytes)
    throw EVexaError("Ошибка записи архива!", "entry " + e.Name + " exceeds 4 GiB");
  std::string patch;
  Put32(patch, e.Crc);
  Put32(patch, e.Compressed);
  Put32(patch, e.Size);
  File_.WriteAt(e.Offset + 14, patch);
}

void TZipWriter::Finish() {
  if (Open_) EndEntry();
  const uint64_t directory = File_.Size();
  std::string cd;
  for (const TEntry& e : Entries_) {
    const bool far = e.Offset > Max32;
    Put32(cd, CentralSignature);
    Put16(cd, far ? Version64 : Version);  // made by
    Put16(cd, far ? Version64 : Version);  // needed
    Put16(cd, 0);
    Put16(cd, Deflated);
    Put16(cd, DosTime_);
    Put16(cd, DosDate_);
    Put32(cd, e.Crc);
    Put32(cd, e.Compressed);
    Put32(cd, e.Size);
    Put16(cd, e.Name.size());
    Put16(cd, far ? 12 : 0);  // extra
    Put16(cd, 0);             // comment
    Put16(cd, 0);             // disk
    Put16(cd, 0);             // internal attributes
    Put32(cd, 0);             // external attributes
    Put32(cd, far ? Max32 : e.Offset);
    cd += e.Name;
    if (far) {
      Put16(cd, 0x0001);
      Put16(cd, 8);
      Put64(cd, e.Offset);
    }
  }
  const uint64_t count = Entries_.size();
  const bool zip64 = count > 0xFFFF || directory > Max32 || cd.size() > Max32;
  if (zip64) {
    const uint64_t end64 = directory + cd.size();
    Put32(cd, End64Signature);
    Put64(cd, 44);
    Put16(cd, Version64);
    Put16(cd, Version64);
    Put32(cd, 0);
    Put32(cd, 0);
    Put64(cd, count);
    Put64(cd, count);
    Put64(cd, end64 - directory);
    Put64(cd, directory);
    Put32(cd, End64LocatorSignature);
    Put32(cd, 0);
    Put64(cd, end64);
    Put32(cd, 1);
  }
  const uint64_t directorySize = zip64 ? 0 : cd.size();
  Put32(cd, EndSignature);
  Put16(cd, 0);
  Put16(cd, 0);
  Put16(cd, std::min<uint64_t>(count, 0xFFFF));
  Put16(cd, std::min<uint64_t>(count, 0xFFFF));
  Put32(cd, zip64 ? Max32 : directorySize);
  Put32(cd, zip64 ? Max32 : directory);
  Put16(cd, 0);
  File_.Write(cd);
  File_.Commit();
}

}  // namespace vexa
