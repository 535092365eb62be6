// The value rules of the layout text that the reader, the dialogs and the command line
// share: whole numbers, booleans, the page count, the stamp line, the tool tips, and the
// layout inside a server reply.
#include <charconv>
#include <cmath>
#include <cstdint>

#include "layout/ItemTypes.h"
#include "layout/LayoutReader.h"
#include "shell/TextUtils.h"

namespace {
const std::string kHeaderStart = "<HEADER>";
const std::string kHeaderEnd = "</HEADER>";

// Where the layout inside a server reply begins and ends: from its header to its end,
// without the "|END|" marker and the line break before it; false when the end marker
// does not follow the start marker.
bool LayoutSpan(std::string_view reply, size_t& from, size_t& to) {
    size_t hs = reply.find(kHeaderStart), he = reply.find(kHeaderEnd);
    if (hs == std::string::npos || he == std::string::npos || he < hs + kHeaderStart.size())
        return false;
    std::string_view rest = reply.substr(he + kHeaderEnd.size());
    if (text::EndsWith(rest, "|END|")) {
        rest.remove_suffix(5);
        // Only the line break before the marker goes, never the end of the last page.
        for (int i = 0; i < 3 && !rest.empty() && (rest.back() == '\r' || rest.back() == '\n'); ++i)
            rest.remove_suffix(1);
    }
    from = hs;
    to = size_t(rest.data() - reply.data()) + rest.size();
    return true;
}

std::string_view TrimmedView(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Digits alone, with a minus or without, as the layout writes them: their number as they
// stand. False for anything else, or more digits than are surely exact.
bool PlainWhole(std::string_view value, long long& out) {
    const size_t sign = !value.empty() && value[0] == '-' ? 1 : 0;
    if (value.size() <= sign || value.size() > 18) return false;
    long long whole = 0;
    for (size_t i = sign; i < value.size(); ++i) {
        if (value[i] < '0' || value[i] > '9') return false;
        whole = whole * 10 + (value[i] - '0');
    }
    out = sign ? -whole : whole;
    return true;
}

// Whole-text number in the forms the layout writes ("12", "-3", "2.5").
bool WholeNumber(std::string_view value, double& out) {
    if (long long whole; PlainWhole(value, whole)) {
        out = double(whole);
        return true;
    }
    std::string_view t = TrimmedView(value);
    if (t.empty()) return false;
    long long i;
    if (text::ParseInt(t, i)) {
        out = double(i);
        return true;
    }
    size_t pos = 0;
    if (t[pos] == '+' || t[pos] == '-') ++pos;
    bool digits = false, dot = false;
    for (; pos < t.size(); ++pos) {
        char c = t[pos];
        if (c >= '0' && c <= '9')
            digits = true;
        else if (c == '.' && !dot)
            dot = true;
        else
            return false;
    }
    if (!digits) return false;
    out = text::Val(t);
    return true;
}
}  // namespace

long long LayoutInteger(std::string_view value, long long min, long long max) {
    if (long long whole; PlainWhole(value, whole)) {
        if (whole < min || whole > max) throw LayoutValueError{6, "Overflow"};
        return whole;
    }
    double v;
    if (!WholeNumber(value, v)) throw LayoutValueError{13, "Type mismatch"};
    v = std::nearbyint(v);  // halves to even, like the layout's own tools
    if (v < double(min) || v > double(max)) throw LayoutValueError{6, "Overflow"};
    return (long long)v;
}

long long LayoutPageCount(std::string_view value) {
    // Written as a plain decimal integer; anything else ("2.5", " 2") is not a count.
    size_t digits = !value.empty() && value[0] == '-' ? 1 : 0;
    if (digits == value.size() ||
        value.find_first_not_of("0123456789", digits) != std::string::npos)
        throw LayoutValueError{13, "Type mismatch"};
    return LayoutInteger(value, INT32_MIN, INT32_MAX);
}

bool LayoutBoolean(std::string_view value) {
    // As the layout writes them, before the spellings it also takes.
    if (value == "False") return false;
    if (value == "True") return true;
    std::string_view t = TrimmedView(value);
    if (text::EqualsNoCase(t, "true")) return true;
    if (text::EqualsNoCase(t, "false")) return false;
    double v;
    if (WholeNumber(t, v)) return v != 0;
    throw LayoutValueError{13, "Type mismatch"};
}

std::string LabelToolTip(const LabelControl& label, const FormItem& item) {
    switch (label.toolTip) {
        case LabelTip::ItemDescription:
            return ItemToolTip(item);
        case LabelTip::PromptCaption:
            return item.promptCaption();
        default:
            return {};
    }
}

std::string ItemToolTip(const FormItem& r) {
    std::string tip = std::to_string(int(r.itemKind));
    if (r.itemKind == ItemKind::UserPrompt) {
        const std::string_view parts[] = {
            r.promptKey(),    r.dataEntryType(),      r.lookupKey(),      r.promptCaption(),
            r.defaultValue(), r.required ? "Y" : "N", r.selectionField(), r.dataGridReference()};
        constexpr std::string_view sep = "   ";
        size_t length = tip.size();
        for (std::string_view part : parts) length += sep.size() + part.size();
        tip.reserve(length);
        for (std::string_view part : parts) (tip += sep) += part;
    }
    return tip;
}

std::string UpdateDataWithTimeStamp(std::string_view layoutText,
                                    const std::optional<std::string>& timeStamp) {
    if (!timeStamp) return std::string(layoutText);
    size_t he = layoutText.find(kHeaderEnd);
    std::string lower = text::ToLower(layoutText.substr(0, he));
    size_t pos = lower.find("timestamp:");
    if (pos == std::string::npos) return std::string(layoutText);
    size_t end = layoutText.find_first_of("\r\n", pos);
    if (he != std::string::npos && (end == std::string::npos || end > he)) end = he;
    if (end == std::string::npos) end = layoutText.size();
    std::string out(layoutText.substr(0, pos));
    out.reserve(layoutText.size() + timeStamp->size());
    return (out += "TimeStamp:\t").append(*timeStamp).append(layoutText.substr(end));
}

std::string PrepareLayoutData(const std::string& reply) {
    size_t from = 0, to = 0;
    return LayoutSpan(reply, from, to) ? reply.substr(from, to - from) : std::string();
}

std::string PrepareLayoutData(std::string&& reply) {
    size_t from = 0, to = 0;
    if (!LayoutSpan(reply, from, to)) return {};
    reply.erase(to);
    reply.erase(0, from);
    return std::move(reply);
}
