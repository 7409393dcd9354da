#include "core/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/error.h"

namespace vexa {
namespace {

std::string SystemError(int err) { return std::strerror(err); }

}  // namespace

std::string ReadWholeFile(const std::filesystem::path& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw EVexaError(SystemError(errno));
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
    content.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return content;
}

void WriteFileAtomic(const std::filesystem::path& path, std::string_view content, unsigned mode) {
  const std::filesystem::path dir = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  std::string tmpl = (dir / ("." + path.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) throw EVexaError(SystemError(errno));
  const std::string tmpPath(name.data());
  auto fail = [&](int err) {
    ::close(fd);
    ::unlink(tmpPath.c_str());
    throw EVexaError(SystemError(err));
  };
  struct stat st {};
  const mode_t perms = (::stat(path.c_str(), &st) == 0) ? (st.st_mode & 07777) : static_cast<mode_t>(mode);
  if (::fchmod(fd, perms) != 0) fail(errno);
  size_t done = 0;
  while (done < content.size()) {
    ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0) fail(errno);
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(tmpPath.c_str());
    throw EVexaError(SystemError(err));
  }
  if (::rename(tmpPath.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(tmpPath.c_str());
    throw EVexaError(SystemError(err));
  }
  // Make the rename itself durable.
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
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
