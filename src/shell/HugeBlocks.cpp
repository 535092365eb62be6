#include "shell/HugeBlocks.h"

#include <cstdint>
#include <mutex>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace memory {

#if defined(__linux__)
namespace {

// Blocks given back are kept for the next form, up to a few: a form opened after another
// of the same size would otherwise have the kernel clear every page of it again (a twentieth
// of reading 100,000 labels). They are kept as lazily freed memory, which the kernel takes
// back when it runs short.
constexpr int kKeptBlocks = 8;
std::mutex keptLock;
void* kept[kKeptBlocks];
int keptCount = 0;

void* TakeKeptBlock() {
    std::lock_guard lock(keptLock);
    return keptCount > 0 ? kept[--keptCount] : nullptr;
}

bool KeepBlock(void* p) {
    std::lock_guard lock(keptLock);
    if (keptCount == kKeptBlocks) return false;
    kept[keptCount++] = p;
    return true;
}

}  // namespace

// A mapping of two blocks, trimmed at both ends to the one block boundary inside it, so
// that the block can be one huge page.
void* TakeHugeBlock() {
    if (void* p = TakeKeptBlock()) return p;
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

int KeptHugeBlocks() {
    std::lock_guard lock(keptLock);
    return keptCount;
}

void GiveBackHugeBlock(void* p) {
    if (!p) return;
    if (madvise(p, kHugeBlock, MADV_FREE) == 0 && KeepBlock(p)) return;
    munmap(p, kHugeBlock);
}
#else
void* TakeHugeBlock() {
    return ::operator new(kHugeBlock, std::align_val_t(kHugeBlock));
}

void GiveBackHugeBlock(void* p) {
    ::operator delete(p, std::align_val_t(kHugeBlock));
}

int KeptHugeBlocks() {
    return 0;
}
#endif

}  // namespace memory
