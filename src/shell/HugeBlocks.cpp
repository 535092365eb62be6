#include "shell/HugeBlocks.h"

#include <cstdint>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace memory {

namespace {
std::size_t WholeBlocks(std::size_t bytes) {
    return (bytes + kHugeBlock - 1) / kHugeBlock * kHugeBlock;
}
}  // namespace

#if defined(__linux__)
// One mapping a block larger than asked, trimmed at both ends to the block boundaries,
// so that every 2 MiB of it can be one huge page.
void* TakeHugeBlocks(std::size_t bytes) {
    const std::size_t size = WholeBlocks(bytes);
    void* raw = mmap(nullptr, size + kHugeBlock, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugeBlock - 1) & ~(std::uintptr_t(kHugeBlock) - 1);
    if (aligned > start) munmap(raw, aligned - start);
    if (const std::uintptr_t tail = start + kHugeBlock - aligned; tail > 0)
        munmap(reinterpret_cast<void*>(aligned + size), tail);
    void* p = reinterpret_cast<void*>(aligned);
    // Only advice: where huge pages are off, the block works as ordinary pages.
    madvise(p, size, MADV_HUGEPAGE);
    return p;
}

void GiveBackHugeBlocks(void* p, std::size_t bytes) {
    if (p) munmap(p, WholeBlocks(bytes));
}
#else
void* TakeHugeBlocks(std::size_t bytes) {
    return ::operator new(WholeBlocks(bytes), std::align_val_t(kHugeBlock));
}

void GiveBackHugeBlocks(void* p, std::size_t) {
    ::operator delete(p, std::align_val_t(kHugeBlock));
}
#endif

}  // namespace memory
