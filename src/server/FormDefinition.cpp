#include "FormDefinition.h"

#include "shell/TextUtils.h"

std::size_t FormsDefinitions::IndexOf(const std::string& name, bool ignoreCase) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const std::string& n = items_[i].name;
        if (ignoreCase ? text::EqualsNoCase(n, name) : n == name) return i + 1;
    }
    return 0;
}

const FormDefinition* FormsDefinitions::Find(const std::string& name, bool ignoreCase) const {
    std::size_t i = IndexOf(name, ignoreCase);
    return i ? &items_[i - 1] : nullptr;
}

std::string FormsDefinitions::ImageTimeStamp(const std::string& form,
                                             const std::string& fileName) const {
    const FormDefinition* def = Find(form, true);
    if (!def) return {};
    for (const auto& img : def->images) {
        if (!img.IsBlank() && text::EqualsNoCase(img.FileName(), fileName)) return img.timeStamp;
    }
    return {};
}
