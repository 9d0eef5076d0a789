// large_memory.cpp — see large_memory.h.  POSIX: anonymous mappings (large
// pages asked for with MADV_HUGEPAGE on Linux, moved by mremap); Windows:
// none offered, items stay on the heap.
#include "platform/large_memory.h"

#ifndef _WIN32
#include <sys/mman.h>

#include <cstdint>
#include <cstring>
#endif

namespace platform {

#ifdef _WIN32

LargeBlock ReserveLargeBlock(std::size_t) { return {}; }
LargeBlock GrowLargeBlock(LargeBlock, std::size_t, std::size_t) { return {}; }
void ReleaseLargeBlock(LargeBlock) {}

#else

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;

// Not every system has the flag (FreeBSD dropped it); there untouched pages
// are not committed ahead either.
#ifdef MAP_NORESERVE
constexpr int kNoReserve = MAP_NORESERVE;
#else
constexpr int kNoReserve = 0;
#endif

std::size_t RoundUp(std::size_t bytes) { return (bytes + kLargePage - 1) / kLargePage * kLargePage; }

}  // namespace

LargeBlock ReserveLargeBlock(std::size_t bytes) {
  // A 32-bit process has no address space to spare for reserves.
  if (sizeof(void*) < 8 || bytes == 0 || bytes > (std::size_t{1} << 40)) return {};
  const std::size_t size = RoundUp(bytes);
  // Mapped with a large page's worth to spare, then trimmed to an aligned
  // range: large pages need aligned 2 MiB spans wholly inside the mapping.
  void* raw = mmap(nullptr, size + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | kNoReserve,
                   -1, 0);
  if (raw == MAP_FAILED) return {};
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kLargePage - 1) / kLargePage * kLargePage;
  if (aligned > start) munmap(raw, aligned - start);
  const std::size_t tail = kLargePage - (aligned - start);
  if (tail > 0) munmap(reinterpret_cast<void*>(aligned + size), tail);
  void* base = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
  madvise(base, size, MADV_HUGEPAGE);  // a hint: without large pages all still works
#endif
  return {base, size};
}

LargeBlock GrowLargeBlock(LargeBlock block, std::size_t used, std::size_t bytes) {
  if (block.base == nullptr) return ReserveLargeBlock(bytes);
  if (bytes <= block.reserved) return block;
  LargeBlock grown = ReserveLargeBlock(bytes);
  if (grown.base == nullptr) return {};
#ifdef MREMAP_FIXED
  // The old pages move into the start of the new range (page tables only;
  // both ends aligned, so large pages stay whole).
  if (mremap(block.base, block.reserved, block.reserved, MREMAP_MAYMOVE | MREMAP_FIXED, grown.base) != MAP_FAILED)
    return grown;
#endif
  std::memcpy(grown.base, block.base, used < block.reserved ? used : block.reserved);
  ReleaseLargeBlock(block);
  return grown;
}

void ReleaseLargeBlock(LargeBlock block) {
  if (block.base != nullptr) munmap(block.base, block.reserved);
}

#endif

}  // namespace platform
