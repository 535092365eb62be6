#include "shell/HugeBlocks.h"

#include <cstdint>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace memory {

#if defined(__linux__)
// A mapping of two blocks, trimmed at both ends to the one block boundary inside it, so
// that the block can be one huge page.
void* TakeHugeBlock() {
    void* raw =
        mmap(nullptr, 2 * kHugeBlock, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugeBlock - 1) & ~(std::uintptr_t(kHugeBlock) - 1);
    if (aligned > start) munmap(raw, aligned - start);
    if (const std::uintptr_t tail = start + kHugeBlock - aligned; tail > 0)
        munmap(reinterpret_cast<void*>(aligned + kHugeBlock), tail);
    void* p = reinterpret_cast<void*>(aligned);
    // Only advice: where huge pages are off, the block works as ordinary pages.
    madvise(p, kHugeBlock, MADV_HUGEPAGE);
    return p;
}

void GiveBackHugeBlock(void* p) {
    if (p) munmap(p, kHugeBlock);
}
#else
void* TakeHugeBlock() {
    return ::operator new(kHugeBlock, std::align_val_t(kHugeBlock));
}

void GiveBackHugeBlock(void* p) {
    ::operator delete(p, std::align_val_t(kHugeBlock));
}
#endif

}  // namespace memory
