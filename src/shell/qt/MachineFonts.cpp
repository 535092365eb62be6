#include "shell/qt/MachineFonts.h"

#include <fontconfig/fontconfig.h>

#include <QString>
#include <memory>
#include <vector>

#include "shell/qt/QtText.h"

namespace {

struct Family {
    QString name;
    QStringList foundries;  // distinct in any letter case, as the font database keeps them
};

QString ValueAt(FcPattern* pattern, const char* object, int n, const QString& otherwise) {
    FcChar8* value = nullptr;
    return FcPatternGetString(pattern, object, n, &value) == FcResultMatch
               ? QString::fromUtf8(reinterpret_cast<const char*>(value))
               : otherwise;
}

void Register(std::vector<Family>& families, const QString& name, const QString& foundry) {
    auto family = families.begin();
    while (family != families.end() && family->name.compare(name, Qt::CaseInsensitive) != 0)
        ++family;
    if (family == families.end()) family = families.insert(family, Family{name, {}});
    if (!family->foundries.contains(foundry, Qt::CaseInsensitive)) family->foundries << foundry;
}

}  // namespace

QStringList FontconfigFamilies() {
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
            const QString name = ValueAt(font, FC_FAMILY, 0, {});
            if (name.isNull()) continue;
            const QString foundry = ValueAt(font, FC_FOUNDRY, 0, {});
            const QString style = ValueAt(font, FC_STYLE, 0, {});
            const QString lang = ValueAt(font, FC_FAMILYLANG, 0, {});
            Register(families, name, foundry);
            // A further name in the same language with a style of its own is a family of its
            // own (a condensed cut); any other is only another name for this one.
            for (int k = 1;; ++k) {
                const QString other = ValueAt(font, FC_FAMILY, k, {});
                if (other.isNull()) break;
                if (ValueAt(font, FC_FAMILYLANG, k, lang) == lang &&
                    ValueAt(font, FC_STYLE, k, style) != style)
                    Register(families, other, foundry);
            }
        }
    }
    for (const char* generic : {"Serif", "Sans Serif", "Monospace"})
        Register(families, QString::fromLatin1(generic), {});
    QStringList listed;
    for (const Family& family : families) {
        if (family.foundries.size() == 1) {
            listed << family.name;
            continue;
        }
        for (const QString& foundry : family.foundries)
            listed << (foundry.isEmpty() ? family.name : family.name + " [" + foundry + "]");
    }
    return listed;
}

bool FontFamilyAvailable(const std::string& fontName,
                         const std::function<QStringList()>& families) {
    if (fontName.empty()) return false;
    // The families forms are usually made with are drawn through the system's
    // metric-compatible stand-ins; keeping their names keeps the forms unchanged.
    static const QStringList standIns = {"Arial",         "Times New Roman", "Courier New",
                                         "MS Sans Serif", "Tahoma",          "Verdana"};
    const QString name = toUnicode(fontName);
    return standIns.contains(name, Qt::CaseInsensitive) ||
           families().contains(name, Qt::CaseInsensitive);
}
