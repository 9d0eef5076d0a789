// large_memory.h — address space for one large array that grows in place
// (a listing's panel items).
//
// A listing of 100,000 objects writes about 36 MiB of item records.  Taken
// from the heap, that memory comes fresh from the system at each listing
// (blocks that big are mapped and unmapped by the C library) and every
// 4 KiB page of it costs a page fault when first written: about 9,200
// faults, which cost more than the listing's own work on a virtual machine.
// A large block is instead a range reserved up front, aligned to and in
// units of 2 MiB and marked for large pages where the system has them, so
// writing it costs a fault per 2 MiB.  Pages are backed only once written,
// so the reserve costs address space, not memory.  No strings.
#pragma once

#include <cstddef>

namespace platform {

struct LargeBlock {
  void* base = nullptr;
  std::size_t reserved = 0;  // bytes of address space; 0: no block
};

// A zero-filled block of at least `bytes`; an empty one when the system
// offers no such memory (the caller then uses the heap).
LargeBlock ReserveLargeBlock(std::size_t bytes);
// A block of at least `bytes` holding the first `used` bytes of `block`,
// which is gone afterwards (its pages move without copying where the system
// can); an empty one, and `block` unchanged, when there is no room.
LargeBlock GrowLargeBlock(LargeBlock block, std::size_t used, std::size_t bytes);
void ReleaseLargeBlock(LargeBlock block);

}  // namespace platform
