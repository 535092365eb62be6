#pragma once
// What a form is while it is open: settings, item records, prompt definitions and the
// lists rebuilt while a layout is read. The visible part of items lives on the canvas.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "layout/FormItem.h"
#include "layout/FormSettings.h"
#include "layout/GridItem.h"

struct FormModel {
    FormSettings settings;
    FormItemsArray items;      // by label control index
    UserPromptsArray prompts;  // prompt definitions of the form
    std::vector<DatabaseFieldRef> databaseFields;
    std::vector<std::string> staticListsUsed;
    std::vector<GridItem> gridItems;
    // Linked data of the labels, keyed by the label index in digits + "key".
    std::map<std::string, std::string> linkedData;
    int currentPage = 0;  // 0-based

    // The record of a label index, growing the array as needed.
    FormItem& Item(int index) {
        if (index < 0) index = 0;
        if (size_t(index) >= items.size()) items.resize(size_t(index) + 1);
        return items[size_t(index)];
    }
    const FormItem* ItemAt(int index) const {
        return index >= 0 && size_t(index) < items.size() ? &items[size_t(index)] : nullptr;
    }

    static std::string LinkedDataKey(int index) { return std::to_string(index) + "key"; }
    void SetLinkedData(int index, const std::string& value) {
        if (value.empty())
            linkedData.erase(LinkedDataKey(index));
        else
            linkedData[LinkedDataKey(index)] = value;
    }

    // Long name of a database-field caption ("~" + name), empty when unknown.
    std::string GetDataFieldLongName(std::string_view caption) const {
        if (!caption.empty() && caption[0] == '~') caption.remove_prefix(1);
        const DatabaseFieldRef* f = FindDatabaseField(caption);
        return f ? f->longName.str() : std::string();
    }
    void AddDatabaseField(std::string_view name, std::string_view longName) {
        // A new name is hashed once: for the look-up, its slot and every growth after.
        std::size_t hash = 0;
        if (FindFrom(name, addHint_, hash)) return;
        databaseFields.push_back({InlineText(name), InlineText(longName)});
        addHint_ = databaseFields.size();
        if (2 * databaseFields.size() > slots_.size()) GrowFieldIndex();
        PlaceField(hash, databaseFields.size() - 1);
        indexedSize_ = databaseFields.size();
    }
    // Forms carry thousands of fields: lookups go through an index that is rebuilt
    // whenever the list was changed behind its back.
    const DatabaseFieldRef* FindDatabaseField(std::string_view name) const {
        return FindHashed(name, NameHash(name));
    }
    // The same, first trying the field after the one hint last led to: labels read or
    // written in order name their fields in the order of the list more often than not,
    // and the index's slots lie all over a large form's memory.
    const DatabaseFieldRef* FindDatabaseField(std::string_view name, size_t& hint) const {
        std::size_t hash = 0;
        return FindFrom(name, hint, hash);
    }
    // After replacing databaseFields wholesale.
    void InvalidateFieldIndex() { indexedSize_ = size_t(-1); }

  private:
    // Open addressing over the list: a slot holds a field's position + 1 (0: empty) and
    // part of its name's hash, so a lookup reads one slot array and the one record it
    // names, where a node-based map chased pointers through the heap on every line read.
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t position = 0;
    };
    static std::size_t NameHash(std::string_view name) {
        return std::hash<std::string_view>{}(name);
    }
    // hash: the name's, set whenever the hint did not lead to it.
    const DatabaseFieldRef* FindFrom(std::string_view name, size_t& hint, std::size_t& hash) const {
        if (hint < databaseFields.size() && databaseFields[hint].fieldName == name)
            return &databaseFields[hint++];
        hash = NameHash(name);
        const DatabaseFieldRef* f = FindHashed(name, hash);
        if (f) hint = size_t(f - databaseFields.data()) + 1;
        return f;
    }
    const DatabaseFieldRef* FindHashed(std::string_view name, std::size_t hash) const {
        if (indexedSize_ != databaseFields.size()) RebuildFieldIndex();
        bool stale = false;
        if (const DatabaseFieldRef* f = LookUpField(name, hash, stale)) return f;
        if (!stale) return nullptr;
        RebuildFieldIndex();
        return LookUpField(name, hash, stale);
    }
    // stale: a slot of the same hash named another field, as after an edit of the list
    // in place.
    const DatabaseFieldRef* LookUpField(std::string_view name, std::size_t hash,
                                        bool& stale) const {
        if (slots_.empty()) return nullptr;
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = hash & mask; slots_[i].position != 0; i = (i + 1) & mask) {
            if (slots_[i].hash != std::uint32_t(hash)) continue;
            const std::size_t at = slots_[i].position - 1;
            if (at < databaseFields.size() && databaseFields[at].fieldName == name)
                return &databaseFields[at];
            stale = true;
        }
        return nullptr;
    }
    // The slot place is the hash masked by a size below 2^32: the part a slot keeps.
    void PlaceField(std::size_t hash, std::size_t at) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t i = hash & mask;
        while (slots_[i].position != 0) i = (i + 1) & mask;
        slots_[i] = {std::uint32_t(hash), std::uint32_t(at + 1)};
    }
    static std::size_t IndexSize(std::size_t fields) {
        std::size_t size = 16;
        while (size < 2 * fields + 2) size *= 2;
        return size;
    }
    void RebuildFieldIndex() const {
        slots_.assign(IndexSize(databaseFields.size()), Slot{});
        for (std::size_t i = 0; i < databaseFields.size(); ++i)
            PlaceField(NameHash(databaseFields[i].fieldName), i);
        indexedSize_ = databaseFields.size();
    }
    // Twice the room, each name placed again by the hash its slot kept.
    void GrowFieldIndex() {
        std::vector<Slot> old(IndexSize(databaseFields.size()));
        old.swap(slots_);
        for (const Slot& slot : old)
            if (slot.position != 0) PlaceField(slot.hash, slot.position - 1);
    }
    size_t addHint_ = 0;
    mutable std::vector<Slot> slots_;
    mutable size_t indexedSize_ = size_t(-1);
};
