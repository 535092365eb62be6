#pragma once
// What a form is while it is open: settings, item records, prompt definitions and the
// lists rebuilt while a layout is read. The visible part of items lives on the canvas.
#include <map>
#include <string>
#include <unordered_map>
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
    std::string GetDataFieldLongName(const std::string& caption) const {
        std::string name = !caption.empty() && caption[0] == '~' ? caption.substr(1) : caption;
        const DatabaseFieldRef* f = FindDatabaseField(name);
        return f ? f->longName : std::string();
    }
    void AddDatabaseField(const std::string& name, const std::string& longName) {
        if (FindDatabaseField(name)) return;
        databaseFields.push_back({name, longName});
        fieldIndex_.emplace(name, databaseFields.size() - 1);
        indexedSize_ = databaseFields.size();
    }
    // Forms carry thousands of fields: lookups go through an index that is rebuilt
    // whenever the list was changed behind its back.
    const DatabaseFieldRef* FindDatabaseField(const std::string& name) const {
        if (indexedSize_ != databaseFields.size()) RebuildFieldIndex();
        auto it = fieldIndex_.find(name);
        if (it != fieldIndex_.end() && it->second < databaseFields.size() &&
            databaseFields[it->second].fieldName == name)
            return &databaseFields[it->second];
        if (it != fieldIndex_.end()) {
            RebuildFieldIndex();
            it = fieldIndex_.find(name);
            return it == fieldIndex_.end() ? nullptr : &databaseFields[it->second];
        }
        return nullptr;
    }
    // After replacing databaseFields wholesale.
    void InvalidateFieldIndex() { indexedSize_ = size_t(-1); }

  private:
    void RebuildFieldIndex() const {
        fieldIndex_.clear();
        for (size_t i = 0; i < databaseFields.size(); ++i)
            fieldIndex_.emplace(databaseFields[i].fieldName, i);
        indexedSize_ = databaseFields.size();
    }
    mutable std::unordered_map<std::string, size_t> fieldIndex_;
    mutable size_t indexedSize_ = size_t(-1);
};
