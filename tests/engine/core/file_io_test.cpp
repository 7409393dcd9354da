#include "core/file_io.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>

#include "core/error.h"
#include "support/fault.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TFileSizeLimit;
using test::TTempDir;
using test::WriteBytes;

std::set<std::string> Names(const std::filesystem::path& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

TEST(FileIo, StartUpRemovesOnlyOurOwnStaleTemporaries) {
  TTempDir dir;
  std::filesystem::create_directory(dir / "Prefetchs");
  const char* stale[] = {
      ".Korvane_6x45.ldr.a1B2c3", ".Korvane_6x45.lrt.XXXXXX", "Korvane_6x45.~tmp",
      ".c.lcv.Qw3rty",            ".my script.lsc.000000",
  };
  const char* kept[] = {
      "Korvane_6x45.ldr",   "Korvane_6x45.lsk",    ".Korvane_6x45.ldr.short",  ".other.txt.a1B2c3",
      ".bashrc",            "notes.~tmp",          ".Korvane_6x45.ldr.ab-def", "Korvane_6x45.ini",
      ".x.lcv.a1B2c3.more", "Other_6x45.~tmp",
  };
  for (const char* n : stale) WriteBytes(dir / n, "x");
  for (const char* n : kept) WriteBytes(dir / n, "x");
  WriteBytes(dir / "Prefetchs" / ".Korvane_6x45_NUMS.dfc.zZ9yY8", "x");
  WriteBytes(dir / "Prefetchs" / "Korvane_6x45_NUMS.dfc", "x");
  WriteBytes(dir / "Prefetchs" / ".notes.txt.zZ9yY8", "x");
  // A folder is never removed, whatever its name.
  std::filesystem::create_directory(dir / ".Korvane_6x45.ldr.dir123");

  EXPECT_EQ(RemoveStaleTemporaries(dir.Path(), "Korvane_6x45"), 6);

  std::set<std::string> expected(std::begin(kept), std::end(kept));
  expected.insert("Prefetchs");
  expected.insert(".Korvane_6x45.ldr.dir123");
  EXPECT_EQ(Names(dir.Path()), expected);
  EXPECT_EQ(Names(dir / "Prefetchs"), (std::set<std::string>{"Korvane_6x45_NUMS.dfc", ".notes.txt.zZ9yY8"}));
  EXPECT_EQ(RemoveStaleTemporaries(dir / "missing", "Korvane_6x45"), 0);
}

TEST(FileIo, FailedAtomicWriteLeavesTheOldFileAndNoTemporary) {
  TTempDir dir;
  const auto file = dir / "out.lcv";
  WriteBytes(file, "old");
  {
    TFileSizeLimit limit(4096);
    EXPECT_THROW(WriteFileAtomic(file, std::string(100000, 'x')), EVexaError);
  }
  EXPECT_EQ(ReadBytes(file), "old");
  EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"out.lcv"});
}

// Without the cleanup the file-size signal kills the process mid-write and
// the temporary file stays behind; with it the write fails and tidies up.
TEST(FileIo, FileSizeSignalDoesNotKillAWriteInProgress) {
  TTempDir dir;
  const auto file = dir / "big.lcv";
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    InstallTempFileCleanup();
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = 8192;
    setrlimit(RLIMIT_FSIZE, &limit);
    try {
      WriteFileAtomic(file, std::string(1 << 20, 'x'));
    } catch (const EVexaError&) {
      ::_exit(3);
    }
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_TRUE(Names(dir.Path()).empty());
}

// A termination signal during a write removes the write's temporary file.
TEST(FileIo, TerminationSignalRemovesTheTemporaryOfAWriteInProgress) {
  TTempDir dir;
  const auto fifo = dir / "target";
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    InstallTempFileCleanup();
    // The timer raises SIGTERM while the writes run, most likely inside one.
    struct sigaction sa {};
    sa.sa_handler = [](int) { ::raise(SIGTERM); };
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGALRM, &sa, nullptr);
    itimerval t{};
    t.it_value.tv_usec = 20000;
    ::setitimer(ITIMER_REAL, &t, nullptr);
    for (;;) WriteFileAtomic(fifo, std::string(64 << 20, 'x'));
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  for (const std::string& n : Names(dir.Path())) EXPECT_EQ(n, "target") << "left behind: " << n;
}

}  // namespace
}  // namespace vexa
