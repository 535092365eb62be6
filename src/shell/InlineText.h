#pragma once
// A label's caption: held in place up to 23 bytes, which is most captions a form holds (a
// field name, a prompt key, a short text), and on the heap past that; the size of a
// std::string, which holds 15. Captions as std::string took an allocation for each one
// past 15 bytes, and gave it back when the form closed: reading a form of 100,000 such
// labels spent a sixth of its time on them.
//
// It reads as a std::string_view, converts to a std::string where one is taken, and is
// assigned, appended to, searched and compared like one.
#include <compare>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

class InlineText {
  public:
    static constexpr std::size_t kInline = 23;

    InlineText() noexcept { buf_[0] = 0; }
    InlineText(std::string_view s) : InlineText() { assign(s); }
    InlineText(const char* s) : InlineText(std::string_view(s)) {}
    InlineText(const std::string& s) : InlineText(std::string_view(s)) {}
    // A text in place is copied whole, a fixed 24 bytes: the canvas copies a template
    // label for every label it makes.
    InlineText(const InlineText& other) : size_(other.size_) {
        if (!other.OnHeap()) {
            std::memcpy(buf_, other.buf_, sizeof buf_);
        } else if (size_ <= kInline) {
            std::memcpy(buf_, other.data(), size_ + 1);
        } else {
            char* copy = Allocate(size_);
            std::memcpy(copy, other.data(), size_ + 1);
            SetHeap(copy, size_);
        }
    }
    InlineText(InlineText&& other) noexcept : size_(other.size_), cap_(other.cap_) {
        std::memcpy(buf_, other.buf_, sizeof buf_);
        other.cap_ = kInline;
        other.SetSize(0);
    }
    ~InlineText() { Free(); }

    InlineText& operator=(const InlineText& other) {
        if (this != &other) assign(other.view());
        return *this;
    }
    InlineText& operator=(InlineText&& other) noexcept {
        if (this != &other) {
            Free();
            std::memcpy(buf_, other.buf_, sizeof buf_);
            size_ = other.size_;
            cap_ = other.cap_;
            other.cap_ = kInline;
            other.SetSize(0);
        }
        return *this;
    }
    InlineText& operator=(std::string_view s) { return assign(s); }
    InlineText& operator=(const std::string& s) { return assign(s); }
    InlineText& operator=(const char* s) { return assign(std::string_view(s)); }

    // s may be a part of this text.
    InlineText& assign(std::string_view s) {
        size_ = 0;
        return append(s);
    }
    InlineText& assign(std::size_t count, char c) {
        size_ = 0;
        if (count > cap_) Adopt(Allocate(count), count);
        std::memset(Data(), c, count);
        return SetSize(count);
    }
    InlineText& append(std::string_view s) {
        const std::size_t size = size_ + s.size();
        if (size > cap_) {
            // s may lie in the buffer given up: copied before it goes.
            char* grown = Allocate(size);
            std::memcpy(grown, data(), size_);
            std::memcpy(grown + size_, s.data(), s.size());
            Adopt(grown, size);
        } else if (!s.empty()) {
            std::memmove(Data() + size_, s.data(), s.size());
        }
        return SetSize(size);
    }
    InlineText& operator+=(std::string_view s) { return append(s); }
    InlineText& operator+=(char c) { return append(std::string_view(&c, 1)); }
    void clear() noexcept { SetSize(0); }

    std::size_t size() const noexcept { return size_; }
    std::size_t length() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    const char* data() const noexcept { return OnHeap() ? Heap() : buf_; }
    const char* c_str() const noexcept { return data(); }
    char operator[](std::size_t i) const noexcept { return data()[i]; }
    char front() const noexcept { return data()[0]; }
    char back() const noexcept { return data()[size_ - 1]; }
    const char* begin() const noexcept { return data(); }
    const char* end() const noexcept { return data() + size_; }
    std::string_view view() const noexcept { return {data(), size_}; }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const noexcept { return view(); }
    explicit operator std::string() const { return str(); }

    std::size_t find(std::string_view what, std::size_t from = 0) const noexcept {
        return view().find(what, from);
    }
    std::size_t find(char what, std::size_t from = 0) const noexcept {
        return view().find(what, from);
    }
    std::size_t rfind(char what, std::size_t from = std::string::npos) const noexcept {
        return view().rfind(what, from);
    }
    // Throws std::out_of_range past the end, as std::string does.
    std::string substr(std::size_t from, std::size_t count = std::string::npos) const {
        return std::string(view().substr(from, count));
    }
    // The bytes held on the heap, none while the text fits in place.
    std::size_t HeapBytes() const noexcept { return OnHeap() ? cap_ + 1 : 0; }

    friend bool operator==(const InlineText& a, const InlineText& b) noexcept {
        return a.view() == b.view();
    }
    friend bool operator==(const InlineText& a, std::string_view b) noexcept {
        return a.view() == b;
    }
    friend bool operator==(const InlineText& a, const char* b) noexcept {
        return a.view() == std::string_view(b);
    }
    friend bool operator==(const InlineText& a, const std::string& b) noexcept {
        return a.view() == std::string_view(b);
    }
    friend std::strong_ordering operator<=>(const InlineText& a, const InlineText& b) noexcept {
        return a.view() <=> b.view();
    }
    friend std::string operator+(const InlineText& a, std::string_view b) {
        return std::string(a.view()).append(b);
    }
    friend std::string operator+(std::string_view a, const InlineText& b) {
        return std::string(a).append(b.view());
    }
    friend std::ostream& operator<<(std::ostream& out, const InlineText& t) {
        return out << t.view();
    }

  private:
    // On the heap, the text's address is kept in the first bytes of the buffer, and its
    // room is always more than fits in place.
    bool OnHeap() const noexcept { return cap_ > kInline; }
    char* Heap() const noexcept {
        char* p;
        std::memcpy(&p, buf_, sizeof p);
        return p;
    }
    char* Data() noexcept { return OnHeap() ? Heap() : buf_; }
    void SetHeap(char* p, std::size_t capacity) noexcept {
        std::memcpy(buf_, &p, sizeof p);
        cap_ = std::uint32_t(capacity);
    }
    static char* Allocate(std::size_t size) {
        if (size >= UINT32_MAX) throw std::length_error("InlineText");
        return new char[size + 1];
    }
    void Adopt(char* grown, std::size_t capacity) noexcept {
        Free();
        SetHeap(grown, capacity);
    }
    InlineText& SetSize(std::size_t size) noexcept {
        size_ = std::uint32_t(size);
        Data()[size] = 0;
        return *this;
    }
    void Free() noexcept {
        if (OnHeap()) delete[] Heap();
        cap_ = kInline;
    }

    char buf_[kInline + 1];
    std::uint32_t size_ = 0;
    std::uint32_t cap_ = kInline;
};

static_assert(sizeof(InlineText) == sizeof(std::string));
