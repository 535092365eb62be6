#include "canvas/SampleData.h"

#include <algorithm>
#include <cstdio>

#include "layout/LabelGeometry.h"
#include "layout/LayoutReader.h"
#include "shell/NullUserInterface.h"
#include "shell/TextUtils.h"

namespace {

// The number in "NAME(12)" or "NAME(10,2)": the first, or the second when second is set;
// fallback when there is none.
int TypeNumber(const std::string& type, bool second, int fallback) {
    size_t open = type.find('(');
    if (open == type.npos) return fallback;
    std::string inside = type.substr(open + 1, type.find(')', open) - open - 1);
    std::string part = text::SplitStr(inside, ",", second ? 2 : 1);
    long long v = 0;
    if (!text::ParseInt(text::Trim(part), v) || v < 0 || v > 500) return fallback;
    return int(v);
}

bool HasAny(const std::string& upper, std::initializer_list<const char*> words) {
    return std::any_of(words.begin(), words.end(),
                       [&](const char* w) { return upper.find(w) != upper.npos; });
}

// The field part of "TABLE.FIELD", upper case, underscores as blanks.
std::string FieldWords(const std::string& fieldName) {
    std::string name = text::ToUpper(fieldName.substr(fieldName.rfind('.') + 1));
    std::replace(name.begin(), name.end(), '_', ' ');
    return text::Trim(name);
}

}  // namespace

SampleFieldType SampleTypeOf(const std::string& catalogueType, const std::string& fieldName) {
    using Kind = SampleFieldType::Kind;
    const std::string type = text::ToUpper(text::Trim(catalogueType));
    SampleFieldType t;
    if (type.empty()) {
        const std::string name = FieldWords(fieldName);
        if (HasAny(name, {"DATE", "DOB", "DOS"}))
            t.kind = Kind::Date;
        else if (HasAny(name, {"FEE", "PAID", "BALANCE", "AMOUNT", "AMT", "ADJUST", "PRICE",
                               "TOTAL", "COPAY"}))
            t = {Kind::Amount, 7, 2};
        return t;
    }
    if (HasAny(type, {"DATE", "TIME"})) {
        t.kind = Kind::Date;
    } else if (HasAny(type, {"DEC", "NUMERIC", "MONEY", "CURRENCY"})) {
        int precision = TypeNumber(type, false, 9);
        int decimals = std::min(TypeNumber(type, true, 2), precision);
        t = {Kind::Amount, std::max(1, precision - decimals), decimals};
    } else if (HasAny(type, {"INT", "NUMBER", "SERIAL"})) {
        t = {Kind::Number, TypeNumber(type, false, HasAny(type, {"SMALL"}) ? 5 : 10), 0};
    } else {
        t.length = TypeNumber(type, false, HasAny(type, {"CHAR"}) ? 1 : 20);
    }
    return t;
}

std::string SampleValue(const SampleFieldType& type, const std::string& fieldName) {
    using Kind = SampleFieldType::Kind;
    switch (type.kind) {
        case Kind::Date:
            return "12/31/2026";
        case Kind::Number:
            return std::string(size_t(std::max(1, type.length)), '9');
        case Kind::Amount: {
            std::string whole;
            for (int i = 0; i < std::max(1, type.length); ++i) {
                if (i > 0 && (type.length - i) % 3 == 0) whole += ',';
                whole += '9';
            }
            return type.decimals > 0 ? whole + "." + std::string(size_t(type.decimals), '9')
                                     : whole;
        }
        case Kind::Text:
            break;
    }
    // The field's own name over its whole length, so each sample says what it stands for.
    std::string words = FieldWords(fieldName);
    if (words.empty()) words = "SAMPLE";
    words += ' ';
    std::string value;
    for (int i = 0; i < type.length; ++i) value += words[size_t(i) % words.size()];
    if (!value.empty() && value.back() == ' ') value.back() = '.';
    return value;
}

std::string SampleFieldName(const FormModel& model, std::string_view caption) {
    std::string name(caption.empty() || caption[0] != '~' ? caption : caption.substr(1));
    // "$$FN(NAME)": the function's field; "NAME?3": one of a numbered range.
    if (text::StartsWith(name, "$$")) {
        size_t open = name.find('('), close = name.rfind(')');
        name = open != name.npos && close != name.npos && close > open
                   ? name.substr(open + 1, close - open - 1)
                   : std::string();
    }
    name = name.substr(0, name.find('?'));
    if (name.find('.') != name.npos) return name;
    std::string longName = model.GetDataFieldLongName(name);
    return longName.find('.') != longName.npos ? longName : name;
}

std::vector<SampleOverflow> FillWithSampleData(
    CanvasModel& canvas, const FormModel& model, const TextMetrics& metrics,
    const std::function<std::string(const std::string& field)>& typeOf) {
    std::vector<SampleOverflow> overflows;
    for (int i = 0; i < canvas.LabelCount(); ++i) {
        const FormItem* item = model.ItemAt(i);
        const LabelControl* shown = canvas.LabelAt(i);
        // A barcode label's text is the barcode's data: no width of its own to fill.
        if (!item || !shown || !shown->visible || canvas.IsBarcodeLabel(i)) continue;
        std::string sample, field;
        if (item->itemKind == ItemKind::DatabaseField) {
            field = SampleFieldName(model, shown->caption);
            sample = SampleValue(SampleTypeOf(typeOf ? typeOf(field) : "", field), field);
        } else if (item->itemKind == ItemKind::UserPrompt) {
            field = item->promptKey();
            // A from/thru default is its two values joined by character 186.
            sample = item->defaultValue();
            for (size_t at; (at = sample.find('\xBA')) != sample.npos;)
                sample.replace(at, 1, " - ");
        } else {
            continue;
        }
        LabelControl& label = canvas.Label(i);
        label.caption = sample;
        if (canvas.LabelTextWraps(i)) continue;
        double needed =
            metrics.TextWidth(sample, label.fontName, label.fontSize, label.bold, label.italic);
        double available = label.width;
        if (label.autoSize) {
            // An auto-size label grows with its text: it overflows only off the page.
            FitLabelToCaption(label, metrics);
            available = label.alignment == LabelAlignment::Right ? label.left + label.width
                                                                 : canvas.PageWidth() - label.left;
        }
        if (needed > available + 1e-6) overflows.push_back({i, field, needed, available});
    }
    return overflows;
}

std::unique_ptr<SamplePreview> MakeSamplePreview(
    const std::string& layoutText, const TextMetrics& metrics, const std::string& imagesFolder,
    const std::function<std::string(const std::string& field)>& typeOf) {
    auto preview = std::make_unique<SamplePreview>();
    preview->canvas = std::make_unique<CanvasModel>(preview->model, metrics, imagesFolder);
    // The text is the open form's own, read once already: its messages were shown then.
    NullUserInterface quiet;
    LayoutReader(preview->model, *preview->canvas, metrics, quiet).BuildForm(layoutText);
    preview->overflows = FillWithSampleData(*preview->canvas, preview->model, metrics, typeOf);
    MarkOverflows(*preview->canvas, preview->overflows);
    return preview;
}

void MarkOverflows(CanvasModel& canvas, const std::vector<SampleOverflow>& overflows) {
    const std::uint32_t lightRed = 0xB4B4FF;  // blue, green, red
    for (const SampleOverflow& o : overflows) canvas.SetLabelBackColor(o.label, lightRed);
}

std::string OverflowReport(const CanvasModel& canvas,
                           const std::vector<SampleOverflow>& overflows) {
    std::string out;
    for (const SampleOverflow& o : overflows) {
        const LabelControl* label = canvas.LabelAt(o.label);
        char sizes[80];
        std::snprintf(sizes, sizeof sizes, " needs %.2f in, has %.2f in\n", o.needed, o.available);
        out += "page " + std::to_string(label ? label->page + 1 : 0) + ": " + o.field + sizes;
    }
    return out;
}
