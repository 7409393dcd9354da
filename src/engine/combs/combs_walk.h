// The walk that rebuilds a list from a source array, keeping the elements a
// predicate accepts, in their order, on several threads.
//
// The source is cut into blocks. The calling thread takes blocks from the
// front and writes survivors straight to their final place; the helper
// threads take blocks from the back and only record one keep bit per
// element. When the two ends meet, the blocks of the back part are copied
// after the front part, split among all threads by the bits. The result is
// exactly that of one thread walking from first to last.
//
// The predicate runs on several threads at once: it must be const,
// thread-safe and cheap to copy. Progress is reported on the calling thread only.
//
// Scratch memory (bits, counts, claims) is kept in TWalkScratch and grows
// with the list, so a walk allocates nothing but its threads.
#pragma once

#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "core/game.h"

namespace vexa {

struct TWalkOptions {
  int Threads = 0;           // 0: one per core; 1: the calling thread alone
  size_t BlockSize = 32768;  // elements per block, a multiple of 64
};

class TWalkScratch {
 public:
  // Room for walking `capacity` elements in blocks of `blockSize`.
  void Reserve(size_t capacity, size_t blockSize);

 private:
  friend class TCombsWalk;
  std::vector<uint64_t> Bits_;
  std::vector<size_t> BlockCounts_;
  std::unique_ptr<std::atomic<uint8_t>[]> Claims_;
  size_t ClaimCount_ = 0;
};

// Called with the number of source elements walked so far.
using TWalkProgress = std::function<void(size_t done, size_t total)>;

// The two block loops of one predicate, without a call per element.
struct TWalkFns {
  const void* Keep = nullptr;
  // Writes the kept elements of in[0..n) to out, returns their count.
  size_t (*Direct)(const void* keep, const TComb* in, size_t n, TComb* out) = nullptr;
  // Sets bit j of bits[j / 64] for each kept in[j], returns their count.
  size_t (*Mark)(const void* keep, const TComb* in, size_t n, uint64_t* bits) = nullptr;
};

// The loops take a local copy of the predicate: stores of combination bytes
// may alias anything, and a copy whose address never escapes stays in
// registers instead of being reloaded after every store. The predicate is
// asked 64 times before anything is written, so its calls do not wait for
// one another through the output position.
// A predicate may also answer 64 elements at once with Word(in, m).
template <typename Keep>
inline uint64_t MarkWord(const Keep& k, const TComb* in, size_t m) {
  if constexpr (requires { k.Word(in, m); }) return k.Word(in, m);
  uint64_t word = 0;
  for (size_t j = 0; j < m; ++j) word |= static_cast<uint64_t>(k(in[j]) ? 1 : 0) << j;
  return word;
}

// Appends the elements of in[0..m) whose bit is set; m <= 64.
inline size_t CopyWord(const TComb* in, size_t m, uint64_t word, TComb* out) {
  if (m == 64 && word == ~uint64_t{0}) {
    std::memcpy(out, in, 64 * sizeof(TComb));
    return 64;
  }
  size_t count = 0;
  for (; word != 0; word &= word - 1) out[count++] = in[std::countr_zero(word)];
  return count;
}

template <typename Keep>
size_t WalkDirect(const void* keep, const TComb* in, size_t n, TComb* out) {
  const Keep k = *static_cast<const Keep*>(keep);
  size_t count = 0;
  for (size_t base = 0; base < n; base += 64) {
    const size_t m = n - base < 64 ? n - base : 64;
    count += CopyWord(in + base, m, MarkWord(k, in + base, m), out + count);
  }
  return count;
}

template <typename Keep>
size_t WalkMark(const void* keep, const TComb* in, size_t n, uint64_t* bits) {
  const Keep k = *static_cast<const Keep*>(keep);
  size_t count = 0;
  for (size_t base = 0; base < n; base += 64) {
    const uint64_t word = MarkWord(k, in + base, n - base < 64 ? n - base : 64);
    bits[base / 64] = word;
    count += static_cast<size_t>(std::popcount(word));
  }
  return count;
}

template <typename Keep>
TWalkFns MakeWalkFns(const Keep& keep) {
  return {&keep, &WalkDirect<Keep>, &WalkMark<Keep>};
}

class TCombsWalk {
 public:
  // Rebuilds out[0..) from in[0..n): returns the number kept. On an error of
  // the predicate, `kept` holds the survivors of the blocks walked in order
  // before it (out[0..kept) is a prefix of the full result) and the error
  // passes on. REQUIRES: out has room for n elements plus 8 bytes, does not
  // overlap in, and scratch was reserved for n elements and this block size.
  static size_t Run(const TComb* in, size_t n, TComb* out, const TWalkFns& fns, TWalkScratch& scratch,
                    const TWalkOptions& options, const TWalkProgress& progress, size_t& kept);
};

// Threads a walk of n elements would use.
int WalkThreads(const TWalkOptions& options, size_t n);

}  // namespace vexa
