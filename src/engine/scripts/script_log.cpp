#include "scripts/script_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "core/codec.h"
#include "core/format.h"

namespace vexa {
namespace {

std::tm LocalTime(TScriptClock::time_point t) {
  const std::time_t secs = TScriptClock::to_time_t(t);
  std::tm tm{};
  localtime_r(&secs, &tm);
  return tm;
}

std::string TimeText(TScriptClock::time_point t, const char* format) {
  const std::tm tm = LocalTime(t);
  char buf[64];
  const size_t n = std::strftime(buf, sizeof buf, format, &tm);
  return std::string(buf, n);
}

// Appends bytes with one write, retried on interruption; "" or the error text.
std::string AppendBytes(const std::filesystem::path& file, const std::string& bytes) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return std::strerror(errno);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      const std::string error = std::strerror(errno);
      ::close(fd);
      return error;
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) return std::strerror(errno);
  return "";
}

}  // namespace

std::string ScriptLogFileName(TScriptClock::time_point start) {
  return ScriptLogPrefix + TimeText(start, "%Y-%m-%d-%H-%M-%S") + ScriptLogExt;
}

std::string ScriptLogPattern(const std::filesystem::path& folder) {
  return (folder / (std::string(ScriptLogPrefix) + "*" + ScriptLogExt)).string();
}

std::string PadLogText(std::string_view text, char fill) {
  size_t chars = 0;
  for (char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
  std::string s(text);
  if (chars < ScriptLogWidth) s.append(ScriptLogWidth - chars, fill);
  return s;
}

std::string ScriptLogLine(TScriptClock::time_point when, std::string_view entry) {
  return "[" + TimeText(when, "%Y-%m-%d %H:%M:%S") + "]: " + std::string(entry);
}

void TScriptLog::Begin(const std::filesystem::path& folder, TScriptClock::time_point start) {
  File_ = folder / ScriptLogFileName(start);
  Failed_ = false;
  Error_.clear();
}

void TScriptLog::Write(std::string_view entry) {
  if (File_.empty()) return;
  const std::string error = AppendBytes(File_, Utf8ToCp1251(ScriptLogLine(Now(), entry)) + "\r\n");
  if (error.empty() || Failed_) return;
  // One box per run: a full disk would otherwise raise one for every entry.
  Failed_ = true;
  Error_ = Format(ScriptLogWriteErrorFormat, {error});
  Ui_.Message(TMessageKind::Error, Error_);
}

}  // namespace vexa
