#include "shell/MachineFonts.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <memory>

#include "shell/Cp1252.h"
#include "shell/TextUtils.h"

namespace {

// The letter case the font database ignores, for the names fonts carry: ASCII and the
// Latin-1 capitals (U+00C0..U+00DE but the multiplication sign), in UTF-8.
std::string Folded(std::string utf8) {
    for (size_t i = 0; i < utf8.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c >= 'A' && c <= 'Z') {
            utf8[i] = static_cast<char>(c + 32);
        } else if (c == 0xC3 && i + 1 < utf8.size()) {
            unsigned char next = static_cast<unsigned char>(utf8[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97)
                utf8[i + 1] = static_cast<char>(next + 32);
            ++i;
        }
    }
    return utf8;
}

struct Family {
    std::string name;
    std::string folded;
    std::vector<std::string> foundries;  // distinct in any letter case, as the database keeps them
};

std::string ValueAt(FcPattern* pattern, const char* object, int n, const std::string& otherwise,
                    bool* found = nullptr) {
    FcChar8* value = nullptr;
    bool ok = FcPatternGetString(pattern, object, n, &value) == FcResultMatch;
    if (found) *found = ok;
    return ok ? std::string(reinterpret_cast<const char*>(value)) : otherwise;
}

void Register(std::vector<Family>& families, const std::string& name, const std::string& foundry) {
    const std::string folded = Folded(name);
    auto family = std::find_if(families.begin(), families.end(),
                               [&](const Family& f) { return f.folded == folded; });
    if (family == families.end()) family = families.insert(family, Family{name, folded, {}});
    const std::string foldedFoundry = Folded(foundry);
    if (std::none_of(family->foundries.begin(), family->foundries.end(),
                     [&](const std::string& f) { return Folded(f) == foldedFoundry; }))
        family->foundries.push_back(foundry);
}

}  // namespace

std::vector<std::string> FontconfigFamilies() {
    std::vector<Family> families;
    if (FcInit()) {
        std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> all(FcPatternCreate(),
                                                                    &FcPatternDestroy);
        std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> objects(
            FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_FOUNDRY, FC_FAMILYLANG, nullptr),
            &FcObjectSetDestroy);
        std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> fonts(
            all && objects ? FcFontList(nullptr, all.get(), objects.get()) : nullptr,
            &FcFontSetDestroy);
        for (int i = 0; fonts && i < fonts->nfont; ++i) {
            FcPattern* font = fonts->fonts[i];
            bool named = false;
            const std::string name = ValueAt(font, FC_FAMILY, 0, {}, &named);
            if (!named) continue;
            const std::string foundry = ValueAt(font, FC_FOUNDRY, 0, {});
            const std::string style = ValueAt(font, FC_STYLE, 0, {});
            const std::string lang = ValueAt(font, FC_FAMILYLANG, 0, {});
            Register(families, name, foundry);
            // A further name in the same language with a style of its own is a family of its
            // own (a condensed cut); any other is only another name for this one.
            for (int k = 1;; ++k) {
                bool more = false;
                const std::string other = ValueAt(font, FC_FAMILY, k, {}, &more);
                if (!more) break;
                if (ValueAt(font, FC_FAMILYLANG, k, lang) == lang &&
                    ValueAt(font, FC_STYLE, k, style) != style)
                    Register(families, other, foundry);
            }
        }
    }
    for (const char* generic : {"Serif", "Sans Serif", "Monospace"})
        Register(families, generic, {});
    std::vector<std::string> listed;
    for (const Family& family : families) {
        if (family.foundries.size() == 1) {
            listed.push_back(family.name);
            continue;
        }
        for (const std::string& foundry : family.foundries)
            listed.push_back(foundry.empty() ? family.name : family.name + " [" + foundry + "]");
    }
    return listed;
}

bool IsStandInFamily(const std::string& fontName) {
    // Keeping these names keeps the forms made with them unchanged.
    for (const char* standIn :
         {"Arial", "Times New Roman", "Courier New", "MS Sans Serif", "Tahoma", "Verdana"})
        if (text::EqualsNoCase(fontName, standIn)) return true;
    return false;
}

FontFamilies::FontFamilies(const std::vector<std::string>& families) {
    for (const std::string& family : families) folded_.insert(Folded(family));
}

bool FontFamilies::Available(const std::string& fontName) const {
    if (fontName.empty()) return false;
    return IsStandInFamily(fontName) || folded_.count(Folded(cp1252::ToUtf8(fontName))) > 0;
}
