#include "shell/CompactText.h"

#include <mutex>
#include <unordered_map>

namespace compact_text {

Node* PooledLookUp(std::string_view text, Node*& recent) {
    // Only so many: a form full of distinct values must not leave them all behind for the
    // rest of the program.
    constexpr size_t kMostTexts = 1024;
    static std::mutex guard;
    // Never freed: the nodes outlive every record that points at them.
    static auto& pool = *new std::unordered_map<std::string_view, Node*>();
    std::lock_guard<std::mutex> lock(guard);
    if (auto it = pool.find(text); it != pool.end()) return recent = it->second;
    if (pool.size() >= kMostTexts) return nullptr;
    Node* node = new Node{{1}, true, std::string(text)};
    pool.emplace(node->text, node);
    return recent = node;
}

}  // namespace compact_text
