#include "combs/combs_buffer.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstring>
#include <new>

namespace vexa {
namespace {

constexpr size_t HugePage = size_t{2} << 20;

size_t RoundUp(size_t n, size_t step) { return (n + step - 1) / step * step; }

}  // namespace

TCombsBuffer::~TCombsBuffer() {
  if (Map_ != nullptr) munmap(Map_, MapBytes_);
}

void TCombsBuffer::Grow(size_t capacity, size_t keep) {
  if (capacity <= Capacity_) return;
  const size_t need = capacity * sizeof(TComb) + Slack;
  const bool huge = need >= HugePage;
  // Huge pages need a 2 MiB aligned start: map one page more and trim.
  const size_t bytes = huge ? RoundUp(need, HugePage) : need;
  const size_t mapBytes = huge ? bytes + HugePage : bytes;
  void* map = mmap(nullptr, mapBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (map == MAP_FAILED) throw std::bad_alloc();
  auto* start = static_cast<unsigned char*>(map);
  size_t used = mapBytes;
  if (huge) {
    const auto address = reinterpret_cast<uintptr_t>(start);
    const size_t head = RoundUp(address, HugePage) - address;
    if (head > 0) munmap(start, head);
    const size_t tail = mapBytes - head - bytes;
    if (tail > 0) munmap(start + head + bytes, tail);
    start += head;
    used = bytes;
    madvise(start, bytes, MADV_HUGEPAGE);  // advice only; fine when refused
  }
  // Fault every page in now rather than inside a later filter.
  const size_t kept = keep < Capacity_ ? keep : Capacity_;
  if (kept > 0) std::memcpy(start, Data_, kept * sizeof(TComb));
  std::memset(start + kept * sizeof(TComb), 0, used - kept * sizeof(TComb));

  if (Map_ != nullptr) munmap(Map_, MapBytes_);
  Map_ = start;
  MapBytes_ = used;
  Data_ = reinterpret_cast<TComb*>(start);
  Capacity_ = (used - Slack) / sizeof(TComb);
}

}  // namespace vexa
