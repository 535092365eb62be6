#include "TextUtils.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>

namespace text {

size_t Pieces::Find() const {
    // memchr for the first byte: far quicker than a general search for the short
    // delimiters (TAB, CR LF) that the layout is made of.
    const char* begin = rest_.data();
    const char* end = begin + rest_.size();
    const size_t tail = delimiter_.size() - 1;
    for (const char* p = begin;
         (p = static_cast<const char*>(std::memchr(p, delimiter_[0], size_t(end - p)))); ++p) {
        if (size_t(end - p) <= tail) break;
        // Most delimiters of two bytes are CR LF: one byte compared, not a library call.
        if (tail == 1 ? p[1] == delimiter_[1]
                      : tail == 0 || std::memcmp(p + 1, delimiter_.data() + 1, tail) == 0)
            return size_t(p - begin);
    }
    return std::string_view::npos;
}

std::vector<std::string> Split(std::string_view text, std::string_view delimiter) {
    std::vector<std::string> out;
    if (text.empty()) return out;
    if (delimiter.empty()) {
        out.emplace_back(text);
        return out;
    }
    size_t start = 0;
    for (;;) {
        size_t pos = text.find(delimiter, start);
        if (pos == std::string_view::npos) {
            out.emplace_back(text.substr(start));
            break;
        }
        out.emplace_back(text.substr(start, pos - start));
        start = pos + delimiter.size();
    }
    return out;
}

std::string SplitStr(std::string_view text, std::string_view delimiter, int n) {
    if (n < 1 || delimiter.empty()) return n == 1 ? std::string(text) : std::string();
    size_t start = 0;
    for (int part = 1;; ++part) {
        size_t pos = text.find(delimiter, start);
        if (part == n)
            return std::string(
                text.substr(start, pos == std::string_view::npos ? text.npos : pos - start));
        if (pos == std::string_view::npos) return {};
        start = pos + delimiter.size();
    }
}

size_t CountByteNoting(std::string_view text, char counted, char noted,
                       std::vector<size_t>& places) {
    size_t count = 0;
    const char* const begin = text.data();
    const char* p = begin;
    const char* const end = p + text.size();
#if defined(__SSE2__)
    // Sixty-four bytes a run: each match subtracts -1 from its byte's counter, up to four
    // a run, and the counters are summed before any of them can pass 255. A byte noted is
    // rare (a page marker's "<"): the four blocks are tested for one at once.
    const __m128i wanted = _mm_set1_epi8(counted), marked = _mm_set1_epi8(noted),
                  zero = _mm_setzero_si128();
    auto load = [](const char* at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    };
    while (end - p >= 64) {
        __m128i counters = zero;
        for (int run = 0; run < 63 && end - p >= 64; ++run, p += 64) {
            const __m128i a = load(p), b = load(p + 16), c = load(p + 32), d = load(p + 48);
            counters = _mm_sub_epi8(
                counters,
                _mm_add_epi8(_mm_add_epi8(_mm_cmpeq_epi8(a, wanted), _mm_cmpeq_epi8(b, wanted)),
                             _mm_add_epi8(_mm_cmpeq_epi8(c, wanted), _mm_cmpeq_epi8(d, wanted))));
            const __m128i any =
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(a, marked), _mm_cmpeq_epi8(b, marked)),
                             _mm_or_si128(_mm_cmpeq_epi8(c, marked), _mm_cmpeq_epi8(d, marked)));
            if (_mm_movemask_epi8(any))
                for (size_t i = 0; i < 64; ++i)
                    if (p[i] == noted) places.push_back(size_t(p - begin) + i);
        }
        const __m128i sums = _mm_sad_epu8(counters, zero);
        count += size_t(_mm_cvtsi128_si32(sums)) + size_t(_mm_extract_epi16(sums, 4));
    }
#endif
    for (; p != end; ++p) {
        count += *p == counted;
        if (*p == noted) places.push_back(size_t(p - begin));
    }
    return count;
}

int CountOf(std::string_view text, std::string_view delimiter) {
    if (delimiter.empty()) return 0;
    int n = 0;
    for (size_t pos = text.find(delimiter); pos != std::string_view::npos;
         pos = text.find(delimiter, pos + delimiter.size()))
        ++n;
    return n;
}

std::vector<std::string> SplitIntoList(std::string_view text, std::string_view delimiter) {
    std::vector<std::string> out(1);
    if (text.empty() || delimiter.empty()) return out;
    std::string t(text);
    if (!EndsWith(t, delimiter)) t += delimiter;
    auto parts = Split(t, delimiter);
    parts.pop_back();  // the element after the final delimiter
    out.insert(out.end(), parts.begin(), parts.end());
    return out;
}

std::pair<std::string, std::string> SplitAtFirst(std::string_view text,
                                                 std::string_view delimiter) {
    size_t pos = delimiter.empty() ? std::string_view::npos : text.find(delimiter);
    if (pos == std::string_view::npos) return {std::string(text), {}};
    return {std::string(text.substr(0, pos)), std::string(text.substr(pos + delimiter.size()))};
}

std::string Join(const std::vector<std::string>& parts, std::string_view delimiter) {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i) out += delimiter;
        out += parts[i];
    }
    return out;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    size_t start = 0;
    for (size_t pos = text.find(from); pos != std::string_view::npos;
         pos = text.find(from, start)) {
        out.append(text.substr(start, pos - start));
        out.append(to);
        start = pos + from.size();
    }
    out.append(text.substr(start));
    return out;
}

namespace {
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
unsigned char Lower1252(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c == 0x8A || c == 0x8C || c == 0x8E) return c + 16;  // Š Œ Ž
    if (c == 0x9F) return 0xFF;                              // Ÿ
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    return c;
}
unsigned char Upper1252(unsigned char c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if (c == 0x9A || c == 0x9C || c == 0x9E) return c - 16;
    if (c == 0xFF) return 0x9F;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    return c;
}
}  // namespace

std::string ToLower(std::string_view s) {
    std::string out(s);
    for (auto& c : out) c = char(Lower1252(static_cast<unsigned char>(c)));
    return out;
}

std::string ToUpper(std::string_view s) {
    std::string out(s);
    for (auto& c : out) c = char(Upper1252(static_cast<unsigned char>(c)));
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower1252(static_cast<unsigned char>(a[i])) !=
            Lower1252(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return std::string(s.substr(b, e - b));
}

double Val(std::string_view s) {
    if (double v; PlainDecimal(s, v)) return v;
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    size_t start = i;
    const bool negative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    // The digits as a whole number and the count of them after the point, for the
    // quick path below.
    std::uint64_t mantissa = 0;
    size_t digits = 0, fraction = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i, ++digits)
        mantissa = mantissa * 10 + unsigned(s[i] - '0');
    if (i < s.size() && s[i] == '.') {
        ++i;
        for (; i < s.size() && IsDigit(s[i]); ++i, ++digits, ++fraction)
            mantissa = mantissa * 10 + unsigned(s[i] - '0');
    }
    if (digits == 0) return 0.0;
    bool exponent = false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && IsDigit(s[j])) {
            while (j < s.size() && IsDigit(s[j])) ++j;
            i = j;
            exponent = true;
        }
    }
    // Up to 15 digits the whole number and the power of ten are both exact doubles, so
    // one division rounds exactly as strtod does: the same value, bit for bit.
    if (!exponent && digits <= 15) {
        const double v = double(mantissa) / kPowersOfTen[fraction];
        return negative ? -v : v;
    }
    if (s[start] == '+') ++start;
    std::string num(s.substr(start, i - start));
    double v = std::strtod(num.c_str(), nullptr);
    return std::isfinite(v) ? v : 0.0;
}

bool ParseInt(std::string_view s, long long& value) {
    std::string t = Trim(s);
    if (t.empty()) return false;
    const char* b = t.data();
    const char* e = b + t.size();
    if (*b == '+') ++b;
    auto [p, ec] = std::from_chars(b, e, value);
    return ec == std::errc() && p == e;
}

int PrefixSearch(const std::vector<std::string>& entries, std::string_view typed) {
    if (typed.empty()) return -1;
    std::string want = ToUpper(typed);
    for (size_t i = 0; i < entries.size(); ++i)
        if (StartsWith(ToUpper(entries[i]), want)) return int(i);
    return -1;
}

namespace {

// Reads 1..maxDigits digits at pos; false when there are none.
bool ReadNumber(std::string_view s, size_t& pos, int maxDigits, int& value, int& digits) {
    value = 0;
    digits = 0;
    while (pos < s.size() && IsDigit(s[pos]) && digits < maxDigits) {
        value = value * 10 + (s[pos] - '0');
        ++pos;
        ++digits;
    }
    return digits > 0 && !(pos < s.size() && IsDigit(s[pos]));
}

void SkipBlanks(std::string_view s, size_t& pos) {
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
}

bool ParseDate(std::string_view s, int& y, int& mo, int& d, int& h, int& mi, int& se) {
    size_t pos = 0;
    SkipBlanks(s, pos);
    int a, b, c, da, db, dc;
    if (!ReadNumber(s, pos, 4, a, da)) return false;
    if (pos >= s.size() || (s[pos] != '/' && s[pos] != '-' && s[pos] != '.')) return false;
    char sep = s[pos++];
    if (!ReadNumber(s, pos, 2, b, db)) return false;
    if (pos >= s.size() || s[pos] != sep) return false;
    ++pos;
    if (!ReadNumber(s, pos, 4, c, dc)) return false;
    if (da == 4) {
        y = a, mo = b, d = c;
        if (dc > 2) return false;
    } else {
        if (da > 2 || dc == 3) return false;
        mo = a, d = b, y = c;
        if (dc <= 2) y += y < 30 ? 2000 : 1900;
    }
    if (mo < 1 || mo > 12 || d < 1 || d > 31) return false;
    h = mi = se = 0;
    SkipBlanks(s, pos);
    if (pos < s.size() && IsDigit(s[pos])) {
        int dh, dm, ds;
        if (!ReadNumber(s, pos, 2, h, dh)) return false;
        if (pos >= s.size() || s[pos] != ':') return false;
        ++pos;
        if (!ReadNumber(s, pos, 2, mi, dm)) return false;
        if (pos < s.size() && s[pos] == ':') {
            ++pos;
            if (!ReadNumber(s, pos, 2, se, ds)) return false;
        }
        SkipBlanks(s, pos);
        if (pos + 1 < s.size() &&
            (s[pos] == 'A' || s[pos] == 'a' || s[pos] == 'P' || s[pos] == 'p') &&
            (s[pos + 1] == 'M' || s[pos + 1] == 'm')) {
            bool pm = s[pos] == 'P' || s[pos] == 'p';
            if (h < 1 || h > 12) return false;
            if (h == 12) h = 0;
            if (pm) h += 12;
            pos += 2;
        }
        if (h > 23 || mi > 59 || se > 59) return false;
    }
    SkipBlanks(s, pos);
    return pos == s.size();
}

}  // namespace

std::string SortKeyDate(std::string_view cell) {
    int y, mo, d, h, mi, se;
    if (!ParseDate(cell, y, mo, d, h, mi, se)) return std::string(cell);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", y, mo, d, h, mi, se);
    return buf;
}

std::string SortKeyNumber(std::string_view cell) {
    double v = Val(cell);
    v = std::clamp(v, -1e18, 1e18);
    long long n = std::llround(v);
    char buf[32];
    if (n < 0)
        std::snprintf(buf, sizeof buf, "-%05lld", -n);
    else
        std::snprintf(buf, sizeof buf, "%05lld", n);
    return buf;
}

std::vector<size_t> SortListview(const std::vector<std::vector<std::string>>& rows, size_t column,
                                 SortKind kind, bool ascending) {
    std::vector<std::string> keys(rows.size());
    std::vector<double> numbers(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        std::string cell = column < rows[i].size() ? rows[i][column] : std::string();
        switch (kind) {
            case SortKind::Text:
                keys[i] = ToUpper(cell);
                break;
            case SortKind::Date:
                keys[i] = SortKeyDate(cell);
                break;
            // Five-digit keys order wrongly past 99999 and below zero; the value
            // itself gives the order those keys stand for.
            case SortKind::Number:
                numbers[i] = std::clamp(Val(cell), -1e18, 1e18);
                break;
        }
    }
    std::vector<size_t> order(rows.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (kind == SortKind::Number) {
            long long x = std::llround(numbers[a]), y = std::llround(numbers[b]);
            return ascending ? x < y : y < x;
        }
        return ascending ? keys[a] < keys[b] : keys[b] < keys[a];
    });
    return order;
}

}  // namespace text
