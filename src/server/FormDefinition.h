#pragma once
// One stored form as the forms list and the active/selected reply describe it, and
// the list the main window keeps of them (1-based, replaced whole on every read).
#include <cstddef>
#include <string>
#include <vector>

struct FormImageEntry {
    std::string baseName;
    std::string timeStamp;
    std::string extension;
    // Entries that were not in the three-part form stay blank.
    bool IsBlank() const { return baseName.empty() && timeStamp.empty() && extension.empty(); }
    std::string FileName() const {
        return extension.empty() ? baseName : baseName + "." + extension;
    }
};

struct FormDefinition {
    std::string name;
    std::string description;
    std::string type;
    std::string documentType;
    std::string timeStamp;
    std::string dateModified;
    int imageCount = 0;
    bool active = false;
    bool selected = false;
    std::vector<FormImageEntry> images;
};

class FormsDefinitions {
  public:
    std::size_t Count() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }
    void Clear() { items_.clear(); }
    void Add(FormDefinition def) { items_.push_back(std::move(def)); }
    // 1-based access; the caller checks 1 <= index <= Count().
    FormDefinition& At(std::size_t index) { return items_.at(index - 1); }
    const FormDefinition& At(std::size_t index) const { return items_.at(index - 1); }
    // 1-based position of the first entry with that name (letter case ignored when
    // asked), 0 when none.
    std::size_t IndexOf(const std::string& name, bool ignoreCase = false) const;
    const FormDefinition* Find(const std::string& name, bool ignoreCase = false) const;
    // Time stamp of one picture of one form, empty when unknown.
    std::string ImageTimeStamp(const std::string& form, const std::string& fileName) const;

    std::vector<FormDefinition>::const_iterator begin() const { return items_.begin(); }
    std::vector<FormDefinition>::const_iterator end() const { return items_.end(); }

  private:
    std::vector<FormDefinition> items_;
};
