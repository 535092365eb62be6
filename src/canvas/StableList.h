#pragma once
#include <cstddef>
#include <new>
#include <utility>
#include <vector>

#include "shell/HugeBlocks.h"

// A list whose elements never move while others are added, reached by index in one step:
// fixed-size chunks that are never reallocated (every label operation looks labels up by
// index, so this costs a shift and a mask, not a deque's walk). Past the first few chunks
// they are cut from huge blocks, so a large form is faulted in a block at a time.
template <class T>
class StableList {
  public:
    StableList() = default;
    StableList(const StableList&) = delete;
    StableList& operator=(const StableList&) = delete;
    ~StableList() { KeepFirst(0); }

    T& operator[](size_t i) { return chunks_[i >> kShift][i & kMask]; }
    const T& operator[](size_t i) const { return chunks_[i >> kShift][i & kMask]; }
    size_t size() const { return size_; }
    // Made in its place from args, in braces (an element may be an aggregate).
    template <class... Args>
    T& emplace_back(Args&&... args) {
        if ((size_ >> kShift) == chunks_.size()) AddChunk();
        T* made = ::new (static_cast<void*>(chunks_[size_ >> kShift] + (size_ & kMask)))
            T{std::forward<Args>(args)...};
        ++size_;
        return *made;
    }
    // Drops every element after the first n; those stay where they are.
    void KeepFirst(size_t n) {
        if (n >= size_) return;
        for (size_t i = n; i < size_; ++i) (*this)[i].~T();
        size_ = n;
        while (chunks_.size() > ((n + kMask) >> kShift)) DropChunk();
    }

  private:
    static constexpr size_t kShift = 8, kChunk = size_t(1) << kShift, kMask = kChunk - 1;
    static constexpr size_t kChunkBytes = kChunk * sizeof(T);
    // The first chunks come from the heap: a form of a few hundred labels takes no block.
    static constexpr size_t kHeapChunks = 8;
    static constexpr size_t kPerBlock = memory::kHugeBlock / kChunkBytes;
    static_assert(kPerBlock > 0 && alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);

    void AddChunk() {
        const size_t c = chunks_.size();
        chunks_.reserve(c + 1);
        if (c < kHeapChunks) {
            chunks_.push_back(static_cast<T*>(::operator new(kChunkBytes)));
            return;
        }
        const size_t k = c - kHeapChunks;
        if (k % kPerBlock == 0) {
            blocks_.reserve(blocks_.size() + 1);
            blocks_.push_back(memory::TakeHugeBlock());
        }
        chunks_.push_back(static_cast<T*>(blocks_.back()) + (k % kPerBlock) * kChunk);
    }
    void DropChunk() {
        const size_t c = chunks_.size() - 1;
        if (c < kHeapChunks) {
            ::operator delete(chunks_.back());
        } else if ((c - kHeapChunks) % kPerBlock == 0) {
            memory::GiveBackHugeBlock(blocks_.back());
            blocks_.pop_back();
        }
        chunks_.pop_back();
    }

    std::vector<T*> chunks_;     // kChunk elements each, never reallocated
    std::vector<void*> blocks_;  // the huge blocks the chunks past kHeapChunks are cut from
    size_t size_ = 0;
};
