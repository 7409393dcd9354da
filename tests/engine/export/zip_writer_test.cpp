// The streamed zip: entries compressed in parallel slices read back byte for
// byte through Debian's unzip, which also checks every CRC.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "core/error.h"
#include "export/zip_writer.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

int Shell(const std::string& cmd) {
  const int raw = std::system(cmd.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// Markup-like text with a run of noise now and then, so that slices hold
// both long matches and blocks deflate cannot shrink.
std::string Content(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string s;
  s.reserve(size);
  while (s.size() < size) {
    if (random() % 16 == 0) {
      for (int i = 0; i < 3000; ++i) s.push_back(static_cast<char>(random()));
    } else {
      s += "<row r=\"" + std::to_string(random() % 1000000) + "\"><c s=\"2\"><v>" + std::to_string(random() % 45) +
           "</v></c></row>";
    }
  }
  s.resize(size);
  return s;
}

TEST(ZipWriter, EntriesReadBackExactly) {
  struct TCase {
    size_t Size;
    int Threads;
    size_t Piece;  // bytes per Write call
  };
  const size_t slice = TZipWriter::SliceBytes;
  const TCase cases[] = {
      {0, 2, 1},                     // an empty entry
      {1, 2, 1},
      {100000, 1, 7},                // one small slice, written in odd pieces
      {slice * 3 + 12345, 1, slice},  // several rounds on one thread
      {slice * 5 + 777, 3, 1 << 20},  // full rounds of three slices, then a short one
      {slice * 2, 2, slice * 2},      // ends exactly on a round
  };
  for (const TCase& c : cases) {
    TTempDir dir;
    const auto file = dir / "t.zip";
    const std::string a = Content(c.Size, static_cast<unsigned>(c.Size));
    const std::string b = Content(5000, 9);
    {
      TZipWriter zip(file, c.Threads);
      zip.BeginEntry("dir/a.xml");
      for (size_t at = 0; at < a.size(); at += c.Piece) zip.Write(std::string_view(a).substr(at, c.Piece));
      EXPECT_EQ(zip.EntryBytes(), a.size());
      zip.EndEntry();
      zip.BeginEntry("b.xml");
      zip.Write(b);
      zip.Finish();
    }
    SCOPED_TRACE(c.Size);
    EXPECT_EQ(Shell("unzip -tq '" + file.string() + "' >/dev/null"), 0);
    EXPECT_EQ(Shell("unzip -p '" + file.string() + "' dir/a.xml > '" + (dir / "a").string() + "'"), 0);
    EXPECT_EQ(Shell("unzip -p '" + file.string() + "' b.xml > '" + (dir / "b").string() + "'"), 0);
    EXPECT_TRUE(ReadBytes(dir / "a") == a);
    EXPECT_EQ(ReadBytes(dir / "b"), b);
  }
}

TEST(ZipWriter, AnAbandonedArchiveKeepsThePreviousFile) {
  TTempDir dir;
  const auto file = dir / "keep.zip";
  WriteBytes(file, "previous");
  {
    TZipWriter zip(file);
    zip.BeginEntry("a.xml");
    zip.Write(Content(TZipWriter::SliceBytes * 3, 1));
  }
  EXPECT_EQ(ReadBytes(file), "previous");
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(ZipWriter, AFolderThatCannotBeWrittenIsReported) {
  TTempDir dir;
  EXPECT_THROW(TZipWriter(dir / "missing" / "x.zip"), EVexaError);
}

}  // namespace
}  // namespace vexa
