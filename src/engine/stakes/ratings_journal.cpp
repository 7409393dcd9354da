#include "stakes/ratings_journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <string>

#include "core/error.h"
#include "core/file_io.h"
#include "core/format.h"
#include "stakes/record_bytes.h"

namespace vexa {
namespace {

constexpr char Magic[4] = {'V', 'X', 'R', 'J'};
constexpr uint32_t JournalVersion = 1;
constexpr size_t HeaderSize = 8 + 4 * 8;
constexpr size_t EntrySize = 12;

using TIdentity = std::array<uint64_t, 4>;

// Device, inode, size and modification time; all zero for a missing file.
TIdentity IdentityOf(const std::filesystem::path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return {};
  return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino), static_cast<uint64_t>(st.st_size),
          static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000u + static_cast<uint64_t>(st.st_mtim.tv_nsec)};
}

// FNV-1a over the encoded record.
uint64_t RecordHash(const TStakeRec& stake) {
  unsigned char buf[StakeRecordSize];
  EncodeStake(stake, buf);
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : buf) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

void WriteAll(int fd, const unsigned char* p, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, p + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EVexaError(std::strerror(errno));
    }
    done += static_cast<size_t>(n);
  }
}

}  // namespace

std::filesystem::path RatingsJournalFile(const std::filesystem::path& ratingsFile) {
  std::filesystem::path journal = ratingsFile;
  journal += RatingsJournalExt;
  return journal;
}

TRatingsJournal::~TRatingsJournal() {
  if (Fd_ >= 0) ::close(Fd_);
}

void TRatingsJournal::Add(int index, const TStakeRec& checked) {
  if (RatingsFile_.empty()) return;
  if (Fd_ < 0) {
    const std::filesystem::path journal = RatingsJournalFile(RatingsFile_);
    const int fd = ::open(journal.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) throw EVexaError(std::strerror(errno));
    Fd_ = fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0) throw EVexaError(std::strerror(errno));
    if (st.st_size < static_cast<off_t>(HeaderSize)) {
      // New (or torn before its header was whole): start it afresh.
      if (::ftruncate(fd, 0) != 0) throw EVexaError(std::strerror(errno));
      unsigned char header[HeaderSize];
      std::memcpy(header, Magic, 4);
      PutInt32(header + 4, static_cast<int32_t>(JournalVersion));
      const TIdentity id = IdentityOf(RatingsFile_);
      for (size_t i = 0; i < id.size(); ++i) PutInt64(header + 8 + 8 * i, static_cast<int64_t>(id[i]));
      WriteAll(fd, header, sizeof header);
    }
  }
  unsigned char entry[EntrySize];
  PutInt32(entry, index);
  PutInt64(entry + 4, static_cast<int64_t>(RecordHash(checked)));
  WriteAll(Fd_, entry, sizeof entry);
}

void RemoveRatingsJournal(const std::filesystem::path& ratingsFile) {
  ::unlink(RatingsJournalFile(ratingsFile).c_str());
}

int MendRatings(const std::filesystem::path& ratingsFile, TStakesFile& stakes, TRatings& ratings,
                TUserInterface& ui) {
  const std::filesystem::path journal = RatingsJournalFile(ratingsFile);
  std::error_code ec;
  if (!std::filesystem::exists(journal, ec)) return 0;
  int merged = 0;
  try {
    const std::string bytes = ReadWholeFile(journal);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() < HeaderSize || std::memcmp(p, Magic, 4) != 0 ||
        static_cast<uint32_t>(GetInt32(p + 4)) != JournalVersion)
      return 0;  // torn before its first entry: nothing was checked
    TIdentity id{};
    for (size_t i = 0; i < id.size(); ++i) id[i] = static_cast<uint64_t>(GetInt64(p + 8 + 8 * i));
    // The ratings were saved after the check; only the journal stayed.
    if (id != IdentityOf(ratingsFile)) return 0;
    const int count = stakes.Count();
    for (size_t at = HeaderSize; at + EntrySize <= bytes.size(); at += EntrySize) {
      const int32_t index = GetInt32(p + at);
      const auto hash = static_cast<uint64_t>(GetInt64(p + at + 4));
      if (index < 0 || index >= count) continue;
      const TStakeRec stake = stakes.ReadStake(index);
      // Killed between the entry and the record's write: not checked yet.
      if (stake.Checked == 0 || RecordHash(stake) != hash) continue;
      ratings.MergeRating(stake);
      ++merged;
    }
  } catch (const std::exception& e) {
    ui.Message(TMessageKind::Error, Format(RatingsReadErrorFormat, {e.what()}));
  }
  if (merged > 0) ui.Message(TMessageKind::Warning, Format(RatingsMendedFormat, {merged}));
  return merged;
}

}  // namespace vexa
