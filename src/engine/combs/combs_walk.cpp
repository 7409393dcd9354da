#include "combs/combs_walk.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "core/parallel.h"

namespace vexa {
namespace {

size_t BlockCountOf(size_t n, size_t blockSize) { return (n + blockSize - 1) / blockSize; }

// The kept elements of in[0..n) by their bits, written from out[0]. Only
// kept elements are written: the next block's output may be another
// thread's.
size_t CopyMarked(const TComb* in, size_t n, const uint64_t* bits, TComb* out) {
  size_t count = 0;
  for (size_t base = 0; base < n; base += 64)
    count += CopyWord(in + base, std::min<size_t>(n - base, 64), bits[base / 64], out + count);
  return count;
}

}  // namespace

void TWalkScratch::Reserve(size_t capacity, size_t blockSize) {
  if (blockSize == 0 || blockSize % 64 != 0) blockSize = 64;
  const size_t words = (capacity + 63) / 64 + 1;
  if (Bits_.size() < words) Bits_.resize(words);
  const size_t blocks = BlockCountOf(capacity, blockSize) + 1;
  if (BlockCounts_.size() < blocks) BlockCounts_.resize(blocks);
  if (ClaimCount_ < blocks) {
    Claims_ = std::make_unique<std::atomic<uint8_t>[]>(blocks);
    ClaimCount_ = blocks;
  }
}

int WalkThreads(const TWalkOptions& options, size_t n) {
  int threads = WorkerThreads(options.Threads);
  // Too little work to pay for a thread.
  const size_t blocks = BlockCountOf(n, std::max<size_t>(options.BlockSize, 64));
  if (blocks < 4) threads = 1;
  return threads;
}

size_t TCombsWalk::Run(const TComb* in, size_t n, TComb* out, const TWalkFns& fns, TWalkScratch& scratch,
                       const TWalkOptions& options, const TWalkProgress& progress, size_t& kept) {
  kept = 0;
  if (n == 0) return 0;
  const size_t blockSize = options.BlockSize >= 64 && options.BlockSize % 64 == 0 ? options.BlockSize : 64;
  const size_t blocks = BlockCountOf(n, blockSize);
  const int threads = WalkThreads(options, n);
  auto blockLen = [&](size_t b) { return std::min(blockSize, n - b * blockSize); };

  if (threads == 1) {
    for (size_t b = 0; b < blocks; ++b) {
      kept += fns.Direct(fns.Keep, in + b * blockSize, blockLen(b), out + kept);
      if (progress) progress(b * blockSize + blockLen(b), n);
    }
    return kept;
  }

  std::atomic<uint8_t>* claims = scratch.Claims_.get();
  for (size_t b = 0; b < blocks; ++b) claims[b].store(0, std::memory_order_relaxed);
  size_t* counts = scratch.BlockCounts_.data();
  uint64_t* bits = scratch.Bits_.data();
  const size_t wordsPerBlock = blockSize / 64;

  std::atomic<size_t> nextBack{blocks};
  std::atomic<size_t> walkedBack{0};
  std::atomic<bool> stop{false};
  size_t front = 0;

  RunWorkers(threads, [&](int self) {
    try {
      if (self == 0) {
        // The caller: blocks from the front, written in place.
        size_t walkedFront = 0;
        while (front < blocks && !stop.load(std::memory_order_relaxed)) {
          if (claims[front].exchange(2, std::memory_order_acq_rel) != 0) break;
          kept += fns.Direct(fns.Keep, in + front * blockSize, blockLen(front), out + kept);
          walkedFront += blockLen(front);
          ++front;
          if (progress) progress(walkedFront + walkedBack.load(std::memory_order_relaxed), n);
        }
        return;
      }
      // Helpers: blocks from the back, bits only.
      while (!stop.load(std::memory_order_relaxed)) {
        const size_t handed = nextBack.fetch_sub(1, std::memory_order_relaxed);
        if (handed == 0 || handed > blocks) break;
        const size_t b = handed - 1;
        if (claims[b].exchange(1, std::memory_order_acq_rel) != 0) break;
        counts[b] = fns.Mark(fns.Keep, in + b * blockSize, blockLen(b), bits + b * wordsPerBlock);
        walkedBack.fetch_add(blockLen(b), std::memory_order_relaxed);
      }
    } catch (...) {
      stop.store(true);
      throw;
    }
  });

  // Blocks front..blocks-1 were marked by the helpers: place them after the
  // front part, each thread copying a run of whole blocks.
  if (front < blocks) {
    size_t* offsets = counts;  // counts become start offsets in place
    size_t at = kept;
    for (size_t b = front; b < blocks; ++b) {
      const size_t c = counts[b];
      offsets[b] = at;
      at += c;
    }
    const size_t rest = blocks - front;
    const size_t parts = std::min<size_t>(static_cast<size_t>(threads), rest);
    auto copyRun = [&](size_t part) {
      const size_t from = front + rest * part / parts;
      const size_t to = front + rest * (part + 1) / parts;
      for (size_t b = from; b < to; ++b)
        CopyMarked(in + b * blockSize, blockLen(b), bits + b * wordsPerBlock, out + offsets[b]);
    };
    RunWorkers(static_cast<int>(parts), [&](int part) { copyRun(static_cast<size_t>(part)); });
    kept = at;
  }
  if (progress) progress(n, n);
  return kept;
}

}  // namespace vexa
