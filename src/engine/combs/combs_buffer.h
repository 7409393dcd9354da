// Storage of a combinations array that is sized once and reused.
//
// The first write to a fresh page is expensive (the whole set is ~47 MiB),
// so a buffer is mapped with transparent huge pages where the system allows
// them and every page is faulted in when the buffer grows, never later on a
// hot path. Memory is given back only when the buffer is destroyed or grows.
//
// There are a few bytes of slack past the last element, so a writer may
// store 8 bytes at the position of any element and at position Capacity();
// this holds for an empty buffer too, whose Data() points at the slack alone.
#pragma once

#include <cstddef>
#include <span>

#include "core/game.h"

namespace vexa {

class TCombsBuffer {
 public:
  TCombsBuffer() = default;
  ~TCombsBuffer();
  TCombsBuffer(const TCombsBuffer&) = delete;
  TCombsBuffer& operator=(const TCombsBuffer&) = delete;

  size_t Capacity() const { return Capacity_; }
  TComb* Data() { return Data_; }
  const TComb* Data() const { return Data_; }

  // Grows to at least `capacity` elements keeping the first `keep` (<= the
  // current capacity); does nothing when already large enough. Throws
  // std::bad_alloc and leaves the buffer as it was when memory is short.
  void Grow(size_t capacity, size_t keep);

 private:
  static constexpr size_t Slack = 8;

  void* Map_ = nullptr;
  size_t MapBytes_ = 0;
  alignas(8) unsigned char Spare_[Slack] = {};
  TComb* Data_ = reinterpret_cast<TComb*>(Spare_);
  size_t Capacity_ = 0;
};

}  // namespace vexa
