#pragma once
// Memory for the largest store of an open form, its labels, taken in blocks the kernel
// may back with huge pages: reading a form of 100,000 labels otherwise spends most of its
// system time faulting in, clearing and giving back 4 KiB pages.
#include <cstddef>

namespace memory {

constexpr std::size_t kHugeBlock = std::size_t(2) << 20;

// One block, aligned to its size, holding whatever it held before (a block given back may
// come back). Throws std::bad_alloc.
void* TakeHugeBlock();
void GiveBackHugeBlock(void* p);
// How many blocks given back are kept for the next taker.
int KeptHugeBlocks();

}  // namespace memory
