#include "dialogs/FormSizeLogic.h"

#include <cmath>
#include <cstdlib>

#include "dialogs/DialogText.h"
#include "dialogs/FormSizeHost.h"
#include "layout/FormSettings.h"
#include "shell/TextUtils.h"
#include "shell/UserInterface.h"

using dialogtext::IsNumeric;
using dialogtext::ShortNumber;
using dialogtext::TrimSpaces;

void FormSizeLogic::Load(double w, double h) {
    cancelled_ = false;
    focus_ = Field::None;
    width = ShortNumber(w);
    height = ShortNumber(h);
    horizontalShift = ShortNumber(settings_.horizontalShift);
    verticalShift = ShortNumber(settings_.verticalShift);
    numberOfPages = settings_.multipageMode ? std::to_string(settings_.numberOfPages) : "1";

    interactive = settings_.interactive;
    posting = settings_.posting;
    singleRecord = settings_.singleRecord;
    signpad = settings_.signpad;
    openLast = settings_.openLast;
    lookupPC = settings_.lookupProcedures;
    lookupDG = settings_.lookupDiagnoses;
    obgyn = settings_.obstetrics;
    saveImage = settings_.saveImage;
    dataGrid = settings_.dataGrid;
    isStatement = settings_.statement;
    ApplyInteractiveDependencies();

    gridTagText = TagTextFromEntries(settings_.gridTags);

    borderYes = true;
    shadedYes = false;
    borderColor = kBlack;
    shadeColor = kWhite;
    ReadPrintSettings(settings_.printingSelection);
}

void FormSizeLogic::SetInteractive(bool on) {
    interactive = on;
    ApplyInteractiveDependencies();
}

void FormSizeLogic::ApplyInteractiveDependencies() {
    if (interactive) return;
    posting = signpad = openLast = false;
    saveImage = lookupDG = lookupPC = obgyn = false;
}

bool FormSizeLogic::PagesFieldEnabled() const {
    return settings_.multipageMode;
}
bool FormSizeLogic::Landscape() const {
    return settings_.landscape;
}
void FormSizeLogic::SetLandscape(bool landscape) {
    settings_.landscape = landscape;
}

std::string FormSizeLogic::PrintSettingsText() const {
    std::string s = "BOX=";
    s += borderYes ? "Y" : "N";
    s += "\tBOX_COLOR=";
    if (borderYes) s += std::to_string(borderColor);
    s += "\tSHADED=";
    s += shadedYes ? "Y" : "N";
    s += "\tSHADE_COLOR=";
    if (shadedYes) s += std::to_string(shadeColor);
    return s;
}

namespace {
// A colour field's value as 0xBBGGRR; anything outside the 24 bits is cut to them.
int ColourValue(const std::string& value) {
    double v = text::Val(value);
    if (!(v >= 0)) return 0;
    if (v > FormSizeLogic::kWhite) return FormSizeLogic::kWhite;
    return int(v);
}
}  // namespace

void FormSizeLogic::ReadPrintSettings(const std::string& s) {
    if (s.empty()) {
        borderYes = true;
        shadedYes = false;
        return;
    }
    if (s.find('\t') == std::string::npos) return;
    for (const std::string& field : text::Split(s, "\t")) {
        if (text::StartsWith(field, "BOX_COLOR=")) {
            std::string v = field.substr(10);
            borderColor = v.empty() ? (borderYes ? kBlack : kWhite) : ColourValue(v);
        } else if (text::StartsWith(field, "BOX=")) {
            borderYes = field.substr(4) != "N";
        } else if (text::StartsWith(field, "SHADE_COLOR=")) {
            std::string v = field.substr(12);
            shadeColor = v.empty() ? kWhite : ColourValue(v);
        } else if (text::StartsWith(field, "SHADED=")) {
            shadedYes = field.substr(7) != "N";
        }
    }
}

std::string FormSizeLogic::TagTextFromEntries(const std::vector<std::string>& entries) {
    std::string out;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i) out += "\r\n";
        std::vector<std::string> f = text::Split(entries[i], "\t");
        if (f.size() > 1) out += f.size() > 2 ? f[1] + "\t" + f[2] : f[1];
    }
    return out;
}

std::vector<std::string> FormSizeLogic::EntriesFromTagText(const std::string& t) {
    std::vector<std::string> entries;
    for (std::string line : text::Split(text::ReplaceAll(t, "\r\n", "\n"), "\n")) {
        line = text::ReplaceAll(line, "\r", "");
        entries.push_back(line.empty() ? std::string() : std::string(kTagPrefix) + "\t" + line);
    }
    if (entries.empty()) entries.emplace_back();
    return entries;
}

bool FormSizeLogic::Refuse(UserInterface& ui, Field field, const std::string& text,
                           const std::string& title) {
    ui.Message(text, title, MessageIcon::Warning);
    focus_ = field;
    return false;
}

bool FormSizeLogic::Ok(FormSizeHost& host, UserInterface& ui) {
    focus_ = Field::None;
    settings_.printingSelection = PrintSettingsText();

    struct Entry {
        std::string text;
        Field field;
        const char* title;
        double value = 0;
    };
    Entry e[5] = {{TrimSpaces(width), Field::Width, "Form Width"},
                  {TrimSpaces(height), Field::Height, "Form Height"},
                  {TrimSpaces(horizontalShift), Field::HorizontalShift, "Horizontal Shift"},
                  {TrimSpaces(verticalShift), Field::VerticalShift, "Vertical Shift"},
                  {TrimSpaces(numberOfPages), Field::NumberOfPages, "Number of Pages"}};
    for (const Entry& x : e)
        if (x.text.empty())
            return Refuse(ui, x.field, std::string("Please enter ") + x.title + ".", x.title);
    for (Entry& x : e) x.value = text::Val(x.text);
    e[4].value = std::nearbyint(e[4].value);  // ties to even
    // A number too large for a double reads as 0; taking it as typed would store a
    // value the user never entered, so it counts as not a number.
    for (const Entry& x : e)
        if (!IsNumeric(x.text) || !std::isfinite(std::strtod(x.text.c_str(), nullptr)))
            return Refuse(ui, x.field, std::string("Invalid ") + x.title, x.title);

    const float w = float(e[0].value), h = float(e[1].value);
    if (w < kMinSize) return Refuse(ui, Field::Width, "Min width is 0.25", "Form Width");
    if (h < kMinSize) return Refuse(ui, Field::Height, "Min height is 0.25", "Form Height");
    if (settings_.landscape) {
        if (h > 85) return Refuse(ui, Field::Height, "Max height is 85", "Form Height");
        if (settings_.dataEntryForm) {
            if (w > 6) return Refuse(ui, Field::Width, "Max width is 6", "Form Width");
        } else if (w > 140) {
            return Refuse(ui, Field::Width, "Max width is 140.", "Form Width");
        }
    } else {
        if (w > 85) return Refuse(ui, Field::Width, "Max width is 85", "Form Width");
        if (settings_.dataEntryForm) {
            if (h > 6) return Refuse(ui, Field::Height, "Max height is 6", "Form Height");
        } else if (h > 140) {
            return Refuse(ui, Field::Height, "Max height is 140.", "Form Height");
        }
    }
    if (e[2].value > kMaxShift)
        return Refuse(ui, Field::HorizontalShift, "Max value is 2", "Horizontal Shift");
    if (e[4].value < 1)
        return Refuse(ui, Field::NumberOfPages, "Min Number of Pages is 1", "Number of Pages");
    if (e[4].value > 99)
        return Refuse(ui, Field::NumberOfPages, "Max Number of Pages is 99", "Number of Pages");

    settings_.horizontalShift = e[2].value;
    settings_.verticalShift = e[3].value;
    host.UpdateShiftOfOpenDialogs();

    settings_.numberOfPages = int(e[4].value);
    host.UpdatePageNumberSetting();

    settings_.interactive = interactive;
    settings_.saveImage = saveImage;
    settings_.posting = interactive && posting;
    settings_.singleRecord = interactive && singleRecord;
    settings_.openLast = interactive && openLast;

    settings_.lookupDiagnoses = lookupDG;
    settings_.lookupProcedures = lookupPC;
    settings_.obstetrics = obgyn;
    host.UpdateInteractive();
    settings_.signpad = signpad;
    settings_.statement = isStatement;

    if (isStatement) settings_.gridTags = EntriesFromTagText(gridTagText);

    settings_.dataGrid = dataGrid;
    host.UpdateDataGridRecalc();
    widthValue_ = w;
    heightValue_ = h;
    cancelled_ = false;
    return true;
}
