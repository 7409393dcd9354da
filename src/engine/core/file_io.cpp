#include "core/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

#include "core/atomic_file_writer.h"
#include "core/error.h"
#include "core/format.h"

namespace vexa {
namespace {

std::string SystemError(int err) { return std::strerror(err); }

// Temporary files of writes in progress, for the signal handler. A slot is
// claimed with a compare-exchange and its name written before it is marked
// ready, so the handler only ever reads complete names.
constexpr size_t TempSlots = 16;
constexpr size_t TempNameMax = 4096;
struct TTempSlot {
  std::atomic<int> State{0};  // 0 free, 1 being written, 2 ready
  char Name[TempNameMax]{};
};
std::array<TTempSlot, TempSlots> TempFiles;

int RegisterTemp(const std::string& name) {
  if (name.size() >= TempNameMax) return -1;
  for (size_t i = 0; i < TempSlots; ++i) {
    int expected = 0;
    if (!TempFiles[i].State.compare_exchange_strong(expected, 1)) continue;
    std::memcpy(TempFiles[i].Name, name.c_str(), name.size() + 1);
    TempFiles[i].State.store(2);
    return static_cast<int>(i);
  }
  return -1;
}

void UnregisterTemp(int slot) {
  if (slot >= 0) TempFiles[static_cast<size_t>(slot)].State.store(0);
}

extern "C" void RemoveTempsAndDie(int sig) {
  for (TTempSlot& slot : TempFiles)
    if (slot.State.load() == 2) ::unlink(slot.Name);
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

bool IsMkstempSuffix(std::string_view s) {
  if (s.size() != 6) return false;
  for (char c : s)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
  return true;
}

bool EndsWith(std::string_view s, std::string_view end) {
  return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

// The target's name inside ".<target>.XXXXXX", or "" for any other name.
std::string_view TempTarget(std::string_view name) {
  if (name.size() < 9 || name[0] != '.' || name[name.size() - 7] != '.') return {};
  if (!IsMkstempSuffix(name.substr(name.size() - 6))) return {};
  return name.substr(1, name.size() - 8);
}

// Files the user names but the program writes in its own format.
constexpr std::array<std::string_view, 2> OwnUserExtensions = {".lcv", ".lsc"};

bool RemoveFile(const std::filesystem::path& file) {
  struct stat st {};
  if (::lstat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  return ::unlink(file.c_str()) == 0;
}

}  // namespace

void InstallTempFileCleanup() {
  std::signal(SIGXFSZ, SIG_IGN);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction sa {};
    sa.sa_handler = RemoveTempsAndDie;
    sigemptyset(&sa.sa_mask);
    ::sigaction(sig, &sa, nullptr);
  }
}

int RemoveStaleTemporaries(const std::filesystem::path& folder, std::string_view baseName) {
  std::vector<std::filesystem::path> stale;
  auto scan = [&](const std::filesystem::path& dir, auto ours) {
    std::error_code ec;
    std::filesystem::directory_iterator it(dir, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (ours(name, TempTarget(name))) stale.push_back(it->path());
    }
  };
  const std::string stakesTemp = std::string(baseName) + ".~tmp";
  scan(folder, [&](const std::string& name, std::string_view target) {
    if (name == stakesTemp) return true;
    if (target.empty()) return false;
    if (target.substr(0, baseName.size()) == baseName) return true;
    for (std::string_view ext : OwnUserExtensions)
      if (EndsWith(target, ext)) return true;
    return false;
  });
  // The full-set files' folder (stats/full_set.h).
  scan(folder / "Prefetchs", [&](const std::string&, std::string_view target) {
    return !target.empty() && EndsWith(target, ".dfc");
  });
  int removed = 0;
  for (const auto& file : stale)
    if (RemoveFile(file)) ++removed;
  return removed;
}

std::string ReadWholeFile(const std::filesystem::path& path) { return ReadWholeFile(path, UINT64_MAX); }

std::string ReadWholeFile(const std::filesystem::path& path, uint64_t maxBytes) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw EVexaError(SystemError(errno));
  auto tooLarge = [&] {
    ::close(fd);
    throw EVexaError(Format(FileTooLargeFormat, {static_cast<long long>(std::min<uint64_t>(maxBytes, INT64_MAX))}));
  };
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) > maxBytes) tooLarge();
  std::string content;
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      throw EVexaError(SystemError(err));
    }
    if (n == 0) break;
    if (content.size() + static_cast<size_t>(n) > maxBytes) tooLarge();
    content.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return content;
}

TAtomicFileWriter::TAtomicFileWriter(const std::filesystem::path& path, unsigned mode, bool forceMode)
    : Path_(path) {
  const std::filesystem::path dir = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  std::string tmpl = (dir / ("." + path.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  Fd_ = ::mkstemp(name.data());
  if (Fd_ < 0) throw EVexaError(SystemError(errno));
  TempPath_ = name.data();
  Slot_ = RegisterTemp(TempPath_);
  struct stat st {};
  const mode_t perms =
      (!forceMode && ::stat(path.c_str(), &st) == 0) ? (st.st_mode & 07777) : static_cast<mode_t>(mode);
  if (::fchmod(Fd_, perms) != 0) Fail(errno);
}

TAtomicFileWriter::~TAtomicFileWriter() {
  if (Fd_ >= 0) ::close(Fd_);
  if (!TempPath_.empty()) ::unlink(TempPath_.c_str());
  UnregisterTemp(Slot_);
}

void TAtomicFileWriter::Fail(int err) {
  if (Fd_ >= 0) ::close(Fd_);
  Fd_ = -1;
  if (!TempPath_.empty()) ::unlink(TempPath_.c_str());
  TempPath_.clear();
  throw EVexaError(SystemError(err));
}

void TAtomicFileWriter::Write(std::string_view data) {
  if (Fd_ < 0) throw EVexaError(SystemError(EBADF));
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(Fd_, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
    }
    done += static_cast<size_t>(n);
  }
  Size_ += data.size();
}

void TAtomicFileWriter::WriteAt(uint64_t offset, std::string_view data) {
  if (Fd_ < 0) throw EVexaError(SystemError(EBADF));
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::pwrite(Fd_, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
    }
    done += static_cast<size_t>(n);
  }
}

void TAtomicFileWriter::Commit() {
  if (Fd_ < 0) throw EVexaError(SystemError(EBADF));
  if (::fsync(Fd_) != 0) Fail(errno);
  const int fd = Fd_;
  Fd_ = -1;
  if (::close(fd) != 0) Fail(errno);
  if (::rename(TempPath_.c_str(), Path_.c_str()) != 0) Fail(errno);
  TempPath_.clear();
  // Make the rename itself durable.
  const std::filesystem::path dir = Path_.has_parent_path() ? Path_.parent_path() : std::filesystem::path(".");
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

void WriteFileAtomic(const std::filesystem::path& path, std::string_view content, unsigned mode, bool forceMode) {
  TAtomicFileWriter writer(path, mode, forceMode);
  writer.Write(content);
  writer.Commit();
}

void SplitLines(std::string_view text, std::vector<std::string>& lines) {
  lines.clear();
  size_t start = 0;
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
}

}  // namespace vexa
