#include "stakes/stakes_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/error.h"
#include "core/format.h"

namespace vexa {
namespace {

constexpr int ChunkRecords = 4096;

[[noreturn]] void ThrowErrno(int err) { throw EVexaError(std::strerror(err)); }

// Runs `step` and frames any engine error with `format`.
template <typename Step>
auto Framed(const char* format, Step step) {
  try {
    return step();
  } catch (const EVexaError& e) {
    throw EVexaError(Format(format, {e.what()}));
  }
}

void ReadExact(int fd, void* buf, size_t size, int64_t offset) {
  auto* p = static_cast<unsigned char*>(buf);
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd, p + done, size - done, static_cast<off_t>(offset + static_cast<int64_t>(done)));
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowErrno(errno);
    }
    if (n == 0) throw EVexaError("Неожиданный конец файла");
    done += static_cast<size_t>(n);
  }
}

void WriteExact(int fd, const void* buf, size_t size, int64_t offset) {
  const auto* p = static_cast<const unsigned char*>(buf);
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(fd, p + done, size - done, static_cast<off_t>(offset + static_cast<int64_t>(done)));
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowErrno(errno);
    }
    done += static_cast<size_t>(n);
  }
}

void SyncFolderOf(const std::filesystem::path& file) {
  const std::filesystem::path dir = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

}  // namespace

TStakesFile::~TStakesFile() {
  if (Fd_ >= 0) ::close(Fd_);
}

std::filesystem::path TStakesFile::TempFile() const {
  std::filesystem::path tmp = File_;
  tmp.replace_extension(StakesTempExt);
  return tmp;
}

void TStakesFile::OpenStakesFile() {
  CacheIndex_ = -1;
  if (Fd_ >= 0) return;
  const int fd = ::open(File_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) ThrowErrno(errno);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    ::close(fd);
    ThrowErrno(err);
  }
  Fd_ = fd;
}

void TStakesFile::CloseStakesFile(TUserInterface& ui) {
  if (Fd_ < 0) return;
  ui.SetStatus("Сохранение файла ставок...");
  CacheIndex_ = -1;
  const int fd = Fd_;
  Fd_ = -1;
  const bool synced = ::fsync(fd) == 0;
  const int err = errno;
  const bool closed = ::close(fd) == 0;
  if (!synced || !closed) throw EVexaError(Format(StakesWriteErrorFormat, {std::strerror(synced ? errno : err)}));
}

void TStakesFile::ReopenStakesFile() {
  RequireOpen();
  CacheIndex_ = -1;
  if (::fdatasync(Fd_) != 0) throw EVexaError(Format(StakesWriteErrorFormat, {std::strerror(errno)}));
}

void TStakesFile::LoadStakes(TUserInterface& ui) {
  ui.SetStatus("Загрузка файла ставок...");
  OpenStakesFile();
  Framed(StakesReadErrorFormat, [&] {
    const int64_t size = Size();
    if (size == 0) return;
    unsigned char first = 0;
    ReadExact(Fd_, &first, 1, 0);
    const int64_t tail = size % static_cast<int64_t>(StakeRecordSize);
    if (first == StakeVersion) {
      if (tail == 0) return;
      // An append cut short (a kill, a power cut, the file-size limit) leaves
      // part of a record at the end: every whole record before it is kept.
      const int64_t whole = size - tail;
      if (::ftruncate(Fd_, static_cast<off_t>(whole)) != 0) ThrowErrno(errno);
      CacheIndex_ = -1;
      ui.Message(TMessageKind::Warning,
                 Format(StakesTornTailFormat, {tail, whole / static_cast<int64_t>(StakeRecordSize)}));
      return;
    }
    ui.Message(TMessageKind::Warning, StakesOldVersionMessage);
    if (::ftruncate(Fd_, 0) != 0) ThrowErrno(errno);
    CacheIndex_ = -1;
  });
}

void TStakesFile::RequireOpen() const {
  if (Fd_ < 0) throw EVexaError(StakesNotOpenMessage);
}

int64_t TStakesFile::Size() const {
  RequireOpen();
  struct stat st {};
  if (::fstat(Fd_, &st) != 0) ThrowErrno(errno);
  return st.st_size;
}

int TStakesFile::Count() const {
  if (Fd_ < 0) return 0;
  struct stat st {};
  if (::fstat(Fd_, &st) != 0) return 0;
  return static_cast<int>(st.st_size / static_cast<off_t>(StakeRecordSize));
}

TStakeRec TStakesFile::ReadStake(int index, bool fromEnd) const {
  return Framed("Ошибка чтения записи из файла ставок!\r\r%s", [&] {
    RequireOpen();
    const int count = Count();
    const int64_t at = fromEnd ? static_cast<int64_t>(count) + index : index;
    if (at < 0 || at >= count) throw EVexaError(Format("Запись со индексом %d в файле данных не найдена!", {index}));
    if (CacheIndex_ == at) return Cache_;
    unsigned char buf[StakeRecordSize];
    ReadExact(Fd_, buf, sizeof buf, at * static_cast<int64_t>(StakeRecordSize));
    Cache_ = DecodeStake(buf);
    CacheIndex_ = static_cast<int>(at);
    return Cache_;
  });
}

std::vector<TStakeRec> TStakesFile::ReadStakes(int first, int count) const {
  RequireOpen();
  const int total = Count();
  first = std::max(first, 0);
  count = std::clamp(count, 0, std::max(total - first, 0));
  std::vector<unsigned char> buf(static_cast<size_t>(count) * StakeRecordSize);
  if (count > 0)
    ReadExact(Fd_, buf.data(), buf.size(), static_cast<int64_t>(first) * static_cast<int64_t>(StakeRecordSize));
  std::vector<TStakeRec> stakes;
  stakes.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) stakes.push_back(DecodeStake(buf.data() + static_cast<size_t>(i) * StakeRecordSize));
  return stakes;
}

void TStakesFile::WriteStake(int index, const TStakeRec& stake) {
  RequireOpen();
  unsigned char buf[StakeRecordSize];
  EncodeStake(stake, buf);
  CacheIndex_ = -1;
  WriteExact(Fd_, buf, sizeof buf, static_cast<int64_t>(index) * static_cast<int64_t>(StakeRecordSize));
}

void TStakesFile::AppendBytes(const std::string& bytes) {
  const int64_t size = Size();
  CacheIndex_ = -1;
  try {
    WriteExact(Fd_, bytes.data(), bytes.size(), size);
  } catch (const EVexaError&) {
    // A half record would make the next start take the file for an old version.
    // When even that fails, the write error is still the one to report.
    [[maybe_unused]] const int rc = ::ftruncate(Fd_, static_cast<off_t>(size));
    throw;
  }
}

void TStakesFile::AppendStake(const TStakeRec& stake, int draws, bool bulk, TUserInterface& ui) {
  ui.SetStatus(bulk ? "Создание ставок..." : "Создание ставки...");
  Framed("Ошибка добавления записи в файл ставок!\r\r%s", [&] {
    RequireOpen();
    if (stake.Checked != 0) throw EVexaError("Добавление в конец файла уже проверенной ставки!");
    if (draws < 1) draws = 1;
    if (static_cast<int64_t>(stake.DrawNumber) + draws - 1 > INT32_MAX)
      throw EVexaError("Номер последнего тиража ставки больше 2147483647!");
    std::string bytes;
    unsigned char buf[StakeRecordSize];
    if (draws == 1) {
      EncodeStake(stake, buf);
      bytes.append(reinterpret_cast<const char*>(buf), sizeof buf);
    } else {
      const int count = Count();
      int32_t lastDraw = count > 0 ? ReadStake(-1, true).DrawNumber : 0;
      for (int i = 1; i <= draws; ++i) {
        if (lastDraw > 0) {
          EncodeStake(MakeSeparator(), buf);
          bytes.append(reinterpret_cast<const char*>(buf), sizeof buf);
        }
        TStakeRec s = stake;
        s.DrawNumber = stake.DrawNumber + (i - 1);
        EncodeStake(s, buf);
        bytes.append(reinterpret_cast<const char*>(buf), sizeof buf);
        lastDraw = s.DrawNumber;
      }
    }
    AppendBytes(bytes);
  });
}

void TStakesFile::AppendRunSeparator() {
  Framed("Ошибка добавления записи в файл ставок!\r\r%s", [&] {
    RequireOpen();
    if (Count() == 0 || ReadStake(-1, true).DrawNumber <= 0) return;
    unsigned char buf[StakeRecordSize];
    EncodeStake(MakeSeparator(), buf);
    AppendBytes(std::string(reinterpret_cast<const char*>(buf), sizeof buf));
  });
}

bool TStakesFile::StakeExists(int32_t drawNumber, const TNumList& numbers) {
  return Framed("Ошибка поиска записи в файле ставок!\r\r%s", [&] {
    RequireOpen();
    const int count = Count();
    for (int first = 0; first < count; first += ChunkRecords) {
      for (const TStakeRec& s : ReadStakes(first, ChunkRecords))
        if (s.DrawNumber == drawNumber && SameNumList(s.Numbers, numbers)) return true;
    }
    return false;
  });
}

void TStakesFile::ClearStakesFile() {
  Framed(StakesWriteErrorFormat, [&] {
    RequireOpen();
    CacheIndex_ = -1;
    if (::ftruncate(Fd_, 0) != 0) ThrowErrno(errno);
    if (::fdatasync(Fd_) != 0) ThrowErrno(errno);
  });
}

int TStakesFile::RewriteWithout(const TRemovePredicate& remove) {
  RequireOpen();
  CacheIndex_ = -1;
  const std::filesystem::path tmp = TempFile();
  struct stat st {};
  const mode_t mode = ::fstat(Fd_, &st) == 0 ? (st.st_mode & 07777) : 0644;
  const int tmpFd = ::open(tmp.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (tmpFd < 0) ThrowErrno(errno);
  auto discard = [&] {
    ::close(tmpFd);
    ::unlink(tmp.c_str());
  };
  int removed = 0;
  try {
    // Locked before it takes the stakes file's name, so no other copy can slip in.
    if (::flock(tmpFd, LOCK_EX | LOCK_NB) != 0) ThrowErrno(errno);
    if (::fchmod(tmpFd, mode) != 0) ThrowErrno(errno);
    const int count = Count();
    std::vector<unsigned char> in(static_cast<size_t>(ChunkRecords) * StakeRecordSize);
    std::vector<unsigned char> out;
    out.reserve(in.size());
    int64_t written = 0;
    for (int first = 0; first < count; first += ChunkRecords) {
      const int n = std::min(ChunkRecords, count - first);
      ReadExact(Fd_, in.data(), static_cast<size_t>(n) * StakeRecordSize,
                static_cast<int64_t>(first) * static_cast<int64_t>(StakeRecordSize));
      out.clear();
      for (int i = 0; i < n; ++i) {
        const unsigned char* rec = in.data() + static_cast<size_t>(i) * StakeRecordSize;
        if (remove(first + i, DecodeStake(rec)))
          ++removed;
        else
          out.insert(out.end(), rec, rec + StakeRecordSize);
      }
      WriteExact(tmpFd, out.data(), out.size(), written);
      written += static_cast<int64_t>(out.size());
    }
    if (removed == 0) {
      discard();
      return 0;
    }
    if (::fsync(tmpFd) != 0) ThrowErrno(errno);
    if (::rename(tmp.c_str(), File_.c_str()) != 0)
      throw EVexaError(Format("Ошибка переименования / удаления временного файла ставок %s!\r\r%s",
                              {tmp.string(), std::strerror(errno)}));
  } catch (...) {
    discard();
    throw;
  }
  SyncFolderOf(File_);
  // The old descriptor now names the replaced file; the new one already holds the lock.
  ::close(Fd_);
  Fd_ = tmpFd;
  return removed;
}

// ---- Deleting ---------------------------------------------------------------------

const std::array<const char*, StakeConditionCount> StakeConditionCaptions = {
    "Равно [ = ]", "Более [ > ]", "Не менее [ >= ]", "Менее [ < ]", "Не более [ <= ]"};
const std::array<const char*, StakeConditionCount> StakeConditionOperators = {"=", ">", ">=", "<", "<="};

bool StakeConditionHolds(TStakeCondition condition, int overlap, int value) {
  switch (condition) {
    case TStakeCondition::Equal:
      return overlap == value;
    case TStakeCondition::Greater:
      return overlap > value;
    case TStakeCondition::NotLess:
      return overlap >= value;
    case TStakeCondition::Less:
      return overlap < value;
    case TStakeCondition::NotGreater:
      return overlap <= value;
  }
  return false;
}

bool StakeMatchesCondition(const TStakeRec& stake, TStakeCondition condition, int value) {
  if (stake.Checked == 0 || IsSeparator(stake) || stake.Matched.Count < 0) return false;
  return StakeConditionHolds(condition, stake.Matched.Count, value);
}

std::string StakesDeleteQuestion(int count) {
  if (count == 1) return "Удалить выделенную запись?";
  return Format("Удалить все выделенные записи (всего будет удалено %d записи(ей))?", {count});
}

int DeleteStakeRows(TStakesFile& file, const std::vector<int>& rows, TUserInterface& ui) {
  ui.SetStatus("Удаление ставок...");
  std::vector<int> sorted = rows;
  std::sort(sorted.begin(), sorted.end());
  return Framed("Ошибка удаления записи из файла ставок!\r\r%s", [&] {
    return file.RewriteWithout(
        [&](int index, const TStakeRec&) { return std::binary_search(sorted.begin(), sorted.end(), index + 1); });
  });
}

int DeleteStakesWhere(TStakesFile& file, TStakeCondition condition, int value, TUserInterface& ui) {
  ui.SetStatus("Удаление ставок...");
  return Framed("Ошибка удаления записи из файла ставок!\r\r%s", [&] {
    return file.RewriteWithout(
        [&](int, const TStakeRec& stake) { return StakeMatchesCondition(stake, condition, value); });
  });
}

}  // namespace vexa
