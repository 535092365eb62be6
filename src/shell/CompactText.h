#pragma once
// A text field that costs one pointer while it is empty. A form keeps a record of
// every label, and most of a record's texts are empty (a prompt's parts on a static
// label) or one of a few short codes (a font name, "marked", "TEXT"): a std::string
// costs 32 bytes each whatever it holds. The text lives out of line, is never
// changed in place, and is shared by copies; short texts of the shared kind are held
// once for the whole program.
//
// It reads as a const std::string& wherever one is taken, and takes a std::string,
// a string_view or a literal by assignment; compare and join it as a std::string.
#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace compact_text {
struct Node {
    std::atomic<int> refs;
    bool pooled;
    const std::string text;
};
// Only short texts are pooled.
inline constexpr size_t kLongestPooled = 15;
// The few codes of a form come again and again: a thread finds the ones it met last
// in place, without the lock or a call (pooled nodes are never freed).
inline thread_local Node* recentPooled[64] = {};
inline Node*& RecentPooled(std::string_view text) {
    return recentPooled[(text.size() * 31 + (unsigned char)text[0] * 7 +
                         (unsigned char)text.back()) &
                        63];
}
// Equal texts of at most 16 bytes, compared as two words that may overlap.
inline bool SameShortText(const char* a, const char* b, size_t size) {
    if (size >= 8) {
        std::uint64_t a1, b1, a2, b2;
        std::memcpy(&a1, a, 8), std::memcpy(&b1, b, 8);
        std::memcpy(&a2, a + size - 8, 8), std::memcpy(&b2, b + size - 8, 8);
        return a1 == b1 && a2 == b2;
    }
    if (size >= 4) {
        std::uint32_t a1, b1, a2, b2;
        std::memcpy(&a1, a, 4), std::memcpy(&b1, b, 4);
        std::memcpy(&a2, a + size - 4, 4), std::memcpy(&b2, b + size - 4, 4);
        return a1 == b1 && a2 == b2;
    }
    for (size_t i = 0; i < size; ++i)
        if (a[i] != b[i]) return false;
    return true;
}
// The pool itself, behind its lock.
Node* PooledLookUp(std::string_view text, Node*& recent);
// The node of a short text held for the whole program, or nullptr when none can be.
inline Node* Pooled(std::string_view text) {
    if (text.empty() || text.size() > kLongestPooled) return nullptr;
    Node*& recent = RecentPooled(text);
    if (recent && recent->text.size() == text.size() &&
        SameShortText(recent->text.data(), text.data(), text.size()))
        return recent;
    return PooledLookUp(text, recent);
}
inline const std::string& Empty() {
    static const std::string empty;
    return empty;
}
}  // namespace compact_text

template <bool kPooled>
class BasicCompactText {
  public:
    BasicCompactText() = default;
    BasicCompactText(std::string_view text) { node_ = Make(text); }
    BasicCompactText(const std::string& text) : BasicCompactText(std::string_view(text)) {}
    BasicCompactText(const char* text) : BasicCompactText(std::string_view(text)) {}
    BasicCompactText(const BasicCompactText& other) : node_(other.node_) { Hold(); }
    BasicCompactText(BasicCompactText&& other) noexcept : node_(other.node_) {
        other.node_ = nullptr;
    }
    ~BasicCompactText() { Release(); }

    BasicCompactText& operator=(const BasicCompactText& other) {
        if (node_ != other.node_) {
            Release();
            node_ = other.node_;
            Hold();
        }
        return *this;
    }
    BasicCompactText& operator=(BasicCompactText&& other) noexcept {
        if (this != &other) {
            Release();
            node_ = other.node_;
            other.node_ = nullptr;
        }
        return *this;
    }
    BasicCompactText& operator=(std::string_view text) {
        // Most parts a prompt is read with are empty: let go without a look-up.
        if (text.empty()) {
            Release();
            return *this;
        }
        if (node_ && node_->text == text) return *this;
        Node* made = Make(text);
        Release();
        node_ = made;
        return *this;
    }
    BasicCompactText& operator=(const std::string& text) { return *this = std::string_view(text); }
    template <bool kOther>
    BasicCompactText& operator=(const BasicCompactText<kOther>& text) {
        return *this = std::string_view(text.str());
    }
    BasicCompactText& operator=(const char* text) { return *this = std::string_view(text); }

    const std::string& str() const { return node_ ? node_->text : compact_text::Empty(); }
    operator const std::string&() const { return str(); }
    operator std::string_view() const { return str(); }

    bool empty() const { return node_ == nullptr; }
    size_t size() const { return str().size(); }
    size_t length() const { return str().size(); }
    const char* c_str() const { return str().c_str(); }
    const char* data() const { return str().data(); }
    char operator[](size_t i) const { return str()[i]; }
    char front() const { return str().front(); }
    char back() const { return str().back(); }
    std::string::const_iterator begin() const { return str().begin(); }
    std::string::const_iterator end() const { return str().end(); }
    size_t find(std::string_view what, size_t from = 0) const { return str().find(what, from); }
    size_t find(char what, size_t from = 0) const { return str().find(what, from); }
    std::string substr(size_t from, size_t count = std::string::npos) const {
        return str().substr(from, count);
    }
    void clear() { *this = BasicCompactText(); }

    friend bool operator==(const BasicCompactText& a, const BasicCompactText& b) {
        return a.node_ == b.node_ || a.str() == b.str();
    }
    friend bool operator==(const BasicCompactText& a, std::string_view b) { return a.str() == b; }
    friend bool operator==(const BasicCompactText& a, const std::string& b) { return a.str() == b; }
    friend bool operator==(const BasicCompactText& a, const char* b) {
        return a.str() == std::string_view(b);
    }
    friend auto operator<=>(const BasicCompactText& a, const BasicCompactText& b) {
        return a.str() <=> b.str();
    }
    friend std::string operator+(const BasicCompactText& a, std::string_view b) {
        return std::string(a.str()).append(b);
    }
    friend std::string operator+(const BasicCompactText& a, const std::string& b) {
        return a.str() + b;
    }
    friend std::string operator+(const BasicCompactText& a, const char* b) { return a.str() + b; }
    friend std::string operator+(const BasicCompactText& a, char b) { return a.str() + b; }
    friend std::string operator+(const std::string& a, const BasicCompactText& b) {
        return a + b.str();
    }
    friend std::string operator+(std::string&& a, const BasicCompactText& b) {
        return std::move(a.append(b.str()));
    }
    friend std::string operator+(const char* a, const BasicCompactText& b) { return a + b.str(); }
    friend std::string operator+(char a, const BasicCompactText& b) { return a + b.str(); }
    friend std::string operator+(const BasicCompactText& a, const BasicCompactText& b) {
        return a.str() + b.str();
    }
    friend std::string& operator+=(std::string& a, const BasicCompactText& b) {
        return a += b.str();
    }

  private:
    using Node = compact_text::Node;
    static Node* Make(std::string_view text) {
        if (text.empty()) return nullptr;
        if (kPooled)
            if (Node* pooled = compact_text::Pooled(text)) return pooled;
        return new Node{{1}, false, std::string(text)};
    }
    void Hold() const {
        if (node_ && !node_->pooled) node_->refs.fetch_add(1, std::memory_order_relaxed);
    }
    void Release() {
        if (node_ && !node_->pooled && node_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete node_;
        node_ = nullptr;
    }
    Node* node_ = nullptr;
};

// Texts mostly empty, or different on every item.
using SparseText = BasicCompactText<false>;
// Short texts repeated across items (codes, font names, tags): each held once.
using CodeText = BasicCompactText<true>;
