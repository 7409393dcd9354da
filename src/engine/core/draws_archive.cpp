#include "core/draws_archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "core/dates.h"
#include "core/error.h"
#include "core/file_io.h"
#include "core/format.h"

namespace vexa {

std::string EncodeDraws(const TDrawsArray& draws) {
  std::string bytes(draws.size() * DrawRecordSize, '\0');
  for (size_t i = 0; i < draws.size(); ++i)
    EncodeDraw(draws[i], reinterpret_cast<unsigned char*>(bytes.data() + i * DrawRecordSize));
  return bytes;
}

TDrawsArray DecodeDraws(std::string_view bytes) {
  TDrawsArray draws(bytes.size() / DrawRecordSize);
  for (size_t i = 0; i < draws.size(); ++i)
    draws[i] = DecodeDraw(reinterpret_cast<const unsigned char*>(bytes.data() + i * DrawRecordSize));
  return draws;
}

void TDrawsArchive::LoadDraws(TUserInterface& ui) {
  std::error_code ec;
  if (!std::filesystem::exists(File_, ec)) return;
  ui.SetStatus("Загрузка файла тиражей...");
  auto fail = [](int err) {
    throw EVexaError(Format("Ошибка чтения файла тиражей!\r\r%s", {std::string(std::strerror(err))}));
  };
  int fd = ::open(File_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fail(errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    int err = errno;
    ::close(fd);
    fail(err);
  }
  const size_t count = static_cast<size_t>(st.st_size) / DrawRecordSize;
  Draws_.assign(count, TDraw{});
  if (DrawsOffset_ > 0 && DrawsOffset_ >= Count()) DrawsOffset_ = std::max(Count() - 1, 0);
  std::string buf(std::min<size_t>(count, 4096) * DrawRecordSize, '\0');
  size_t done = 0;
  while (done < count) {
    const size_t want = std::min(count - done, buf.size() / DrawRecordSize) * DrawRecordSize;
    size_t got = 0;
    while (got < want) {
      ssize_t n = ::read(fd, buf.data() + got, want - got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        int err = n < 0 ? errno : EIO;
        for (size_t k = 0; k < got / DrawRecordSize; ++k)
          Draws_[done + k] = DecodeDraw(reinterpret_cast<const unsigned char*>(buf.data() + k * DrawRecordSize));
        ::close(fd);
        fail(err);
      }
      got += static_cast<size_t>(n);
    }
    for (size_t k = 0; k < want / DrawRecordSize; ++k)
      Draws_[done + k] = DecodeDraw(reinterpret_cast<const unsigned char*>(buf.data() + k * DrawRecordSize));
    done += want / DrawRecordSize;
  }
  ::close(fd);
}

void TDrawsArchive::SaveDraws(TUserInterface& ui) const {
  ui.SetStatus("Сохранение файла тиражей...");
  try {
    WriteFileAtomic(File_, EncodeDraws(Draws_));
  } catch (const EVexaError& e) {
    throw EVexaError(Format("Ошибка записи в файл тиражей!\r\r%s", {std::string(e.what())}));
  }
}

void TDrawsArchive::Replace(int index, const TDraw& draw) {
  if (index < 0 || index >= Count())
    throw EVexaError(Format("Запись со индексом %d в файле данных не найдена!", {index}));
  Draws_[static_cast<size_t>(index)] = draw;
}

void TDrawsArchive::DeleteDrawAt(int index) {
  if (index < 0 || index >= Count())
    throw EVexaError(Format("Запись со индексом %d в файле данных не найдена!", {index}));
  Draws_.erase(Draws_.begin() + index);
  if (DrawsOffset_ >= Count()) DrawsOffset_ = std::max(Count() - 1, 0);
}

void TDrawsArchive::ClearDraws() {
  Draws_.clear();
  DrawsOffset_ = 0;
}

void TDrawsArchive::SetDrawsOffset(int offset) { DrawsOffset_ = std::clamp(offset, 0, std::max(Count() - 1, 0)); }

TComb TDrawsArchive::DrawCombAt(int offset) const {
  if (offset < 0 || offset >= Count()) return TComb{};
  return Draws_[static_cast<size_t>(Count() - 1 - offset)].Nums;
}

int TDrawsArchive::NextDrawNumber(int offset) const {
  if (Draws_.empty()) return 1;
  if (offset < 0 || offset >= Count()) return -1;
  // The operator numbers draws so that the next one after a known draw is +2.
  // A number read from a file may sit at the int32 limit: the next one stops there.
  const int64_t next = int64_t{Draws_[static_cast<size_t>(Count() - 1 - offset)].Number} + 2;
  return static_cast<int>(std::min<int64_t>(next, INT32_MAX));
}

std::string TDrawsArchive::NextDrawText(int offset) const {
  if (offset <= 0 || offset >= Count()) return "";
  const TDraw& d = Draws_[static_cast<size_t>(Count() - offset)];
  std::string s;
  for (size_t i = 0; i < d.Nums.size(); ++i) {
    if (i > 0) s += ';';
    s += std::to_string(d.Nums[i]);
  }
  return s;
}

int TDrawsArchive::DrawYmdPlusDays(int index, int days) const {
  if (index < 0 || index >= Count()) return 20020101;
  return DateToYmd(DrawTextToDate(DrawDateText(Draws_[static_cast<size_t>(Count() - 1 - index)])) + days);
}

int TDrawsArchive::IndexOfDrawNumber(int number) const {
  const int len = Count();
  if (len == 0) return -1;
  if (Draws_.front().Number == number) return 0;
  if (Draws_.back().Number == number) return len - 1;
  const double first = Draws_.front().Number;
  const double last = Draws_.back().Number;
  const double estimate = std::trunc(len * (number - first) / (last - first + 1));
  int i = (std::isfinite(estimate) && estimate >= 0 && estimate <= len - 1) ? static_cast<int>(estimate) : len - 1;
  const int step = Draws_[static_cast<size_t>(i)].Number < number ? 1 : -1;
  for (; i >= 0 && i < len; i += step)
    if (Draws_[static_cast<size_t>(i)].Number == number) return i;
  for (int k = len - 1; k >= 0; --k)
    if (Draws_[static_cast<size_t>(k)].Number == number) return k;
  return -1;
}

TDraw TDrawsArchive::GetDraw(int index, bool sorted) const {
  if (index < 0 || index >= Count()) return TDraw{};
  TDraw d = Draws_[static_cast<size_t>(index)];
  if (sorted) SortDrawNums(d);
  return d;
}

std::bitset<256> TDrawsArchive::NextDrawSet() const {
  std::bitset<256> set;
  if (DrawsOffset_ > 0 && DrawsOffset_ < Count())
    for (uint8_t n : Draws_[static_cast<size_t>(Count() - DrawsOffset_)].Nums) set.set(n);
  return set;
}

TDrawsStatus TDrawsArchive::Status() const {
  TDrawsStatus s;
  s.Archive = Format("Архив тиражей: %d", {Count()});
  s.NextDraw = Format("Следующий тираж: %d", {NextDrawNumber(DrawsOffset_)});
  s.NextNums = Format("%s", {NextDrawText(DrawsOffset_)});
  return s;
}

}  // namespace vexa
