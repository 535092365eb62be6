#include "layout/FormItem.h"

#include <new>

#if defined(__has_include)
#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#endif
#ifndef ASAN_POISON_MEMORY_REGION
#define ASAN_POISON_MEMORY_REGION(p, n) ((void)(p), (void)(n))
#define ASAN_UNPOISON_MEMORY_REGION(p, n) ((void)(p), (void)(n))
#endif

namespace {

// The blocks given back, each holding the next in its first bytes. A kept block is out of
// bounds to the address checker until it is taken again, as a freed one would be.
struct KeptParts {
    void* first = nullptr;
    std::size_t count = 0;
    ~KeptParts() {
        while (first) {
            ASAN_UNPOISON_MEMORY_REGION(first, sizeof(PromptParts));
            void* next = *static_cast<void**>(first);
            ::operator delete(first);
            first = next;
        }
    }
};
thread_local KeptParts kept;

}  // namespace

void* PromptParts::operator new(std::size_t size) {
    if (size == sizeof(PromptParts) && kept.first) {
        void* p = kept.first;
        ASAN_UNPOISON_MEMORY_REGION(p, sizeof(PromptParts));
        kept.first = *static_cast<void**>(p);
        --kept.count;
        return p;
    }
    return ::operator new(size);
}

void PromptParts::operator delete(void* p) noexcept {
    if (!p) return;
    if (kept.count == kKept) {
        ::operator delete(p);
        return;
    }
    *static_cast<void**>(p) = kept.first;
    ASAN_POISON_MEMORY_REGION(p, sizeof(PromptParts));
    kept.first = p;
    ++kept.count;
}
