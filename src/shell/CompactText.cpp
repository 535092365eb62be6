#include "shell/CompactText.h"

#include <mutex>
#include <unordered_map>

namespace compact_text {

Node* Pooled(std::string_view text) {
    // Only short texts, and only so many: a form full of distinct values must not
    // leave them all behind for the rest of the program.
    constexpr size_t kLongest = 15, kMostTexts = 1024;
    if (text.empty() || text.size() > kLongest) return nullptr;
    // The few codes of a form come again and again: a thread finds the ones it met last
    // without the lock (pooled nodes are never freed).
    thread_local Node* recent[64] = {};
    Node*& slot =
        recent[(text.size() * 31 + (unsigned char)text[0] * 7 + (unsigned char)text.back()) & 63];
    if (slot && slot->text == text) return slot;
    static std::mutex guard;
    // Never freed: the nodes outlive every record that points at them.
    static auto& pool = *new std::unordered_map<std::string_view, Node*>();
    std::lock_guard<std::mutex> lock(guard);
    if (auto it = pool.find(text); it != pool.end()) return slot = it->second;
    if (pool.size() >= kMostTexts) return nullptr;
    Node* node = new Node{{1}, true, std::string(text)};
    pool.emplace(node->text, node);
    return slot = node;
}

}  // namespace compact_text
