#pragma once
// Text helpers shared by every module. All texts are Windows-1252 bytes.
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace text {

// The n-th part (from 1) of text split at delimiter; empty when there is no such part.
std::string SplitStr(std::string_view text, std::string_view delimiter, int n);
// How often delimiter occurs in text (non-overlapping).
int CountOf(std::string_view text, std::string_view delimiter);
// How often the byte counted occurs, with the place of every byte noted added to places:
// a whole layout is looked through once, 64 bytes at a time.
size_t CountByteNoting(std::string_view text, char counted, char noted,
                       std::vector<size_t>& places);
// Element 0 stays empty, elements 1..n hold the parts; the delimiter is appended
// first when the text does not end with it.
std::vector<std::string> SplitIntoList(std::string_view text, std::string_view delimiter);
// Text before and after the first delimiter (both of the text / empty when absent).
std::pair<std::string, std::string> SplitAtFirst(std::string_view text, std::string_view delimiter);
// Plain split: "a,b," gives {"a","b",""}. An empty text gives no elements at all.
std::vector<std::string> Split(std::string_view text, std::string_view delimiter);

namespace detail {
// The pieces of text up to its end, or with kToLineEnd up to its first CR LF (a CR
// without a LF after it is text): the first N kept, all counted, and what was split
// given as line. The text is looked at sixteen bytes at a time where it can be (a byte
// at a time costs a branch per byte, a library call per piece costs more).
// Always inlined: a call for each label read cost more than many a split.
template <bool kToLineEnd, size_t N>
[[gnu::always_inline]] inline size_t SplitFirstPieces(std::string_view text, char delimiter,
                                                      std::array<std::string_view, N>& pieces,
                                                      std::string_view& line) {
    size_t count = 0;
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* start = begin;
    auto endPiece = [&](const char* at) {
        if (count < N) pieces[count] = {start, size_t(at - start)};
        ++count;
        start = at + 1;
    };
    auto endLine = [&](const char* at) {
        endPiece(at);
        line = {begin, size_t(at - begin)};
        return count;
    };
    const char* p = begin;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(delimiter), cr = _mm_set1_epi8('\r');
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        unsigned crs = 0;
        if constexpr (kToLineEnd) crs = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, cr)));
        auto hits = crs | unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted)));
        for (; hits; hits &= hits - 1) {
            const unsigned bit = unsigned(__builtin_ctz(hits));
            const char* at = p + bit;
            if (!(crs >> bit & 1u))
                endPiece(at);
            else if (at + 1 < end && at[1] == '\n')
                return endLine(at);
        }
    }
#endif
    for (; p != end; ++p) {
        if (kToLineEnd && *p == '\r' && p + 1 < end && p[1] == '\n') return endLine(p);
        if (*p == delimiter) endPiece(p);
    }
    return endLine(end);
}
}  // namespace detail

// The first pieces Split would give, as views into text, and how many there are in all.
// A reader of many labels calls it for each: nothing is allocated.
template <size_t N>
size_t FirstPieces(std::string_view text, char delimiter, std::array<std::string_view, N>& pieces) {
    if (text.empty()) return 0;
    std::string_view whole;
    return detail::SplitFirstPieces<false>(text, delimiter, pieces, whole);
}

// The first line of text (up to its first CR LF, or the whole text) as line, split as
// FirstPieces splits it, with the search for the line's end made in the same pass: a
// reader of many short lines looks at each byte once. A CR without a LF after it belongs
// to the line, as it does for Pieces at CR LF. The delimiter is no CR.
template <size_t N>
size_t FirstPiecesOfLine(std::string_view text, char delimiter,
                         std::array<std::string_view, N>& pieces, std::string_view& line) {
    return detail::SplitFirstPieces<true>(text, delimiter, pieces, line);
}

// The pieces Split gives, as views, one at a time and without a list: what a reader of many
// lines walks, so that no piece costs an allocation.
class Pieces {
  public:
    Pieces(std::string_view text, std::string_view delimiter)
        : rest_(text), delimiter_(delimiter), done_(text.empty()) {}
    // The next piece; false once every piece was given.
    bool Next(std::string_view& piece) {
        if (done_) return false;
        const size_t pos = delimiter_.size() == 1 ? FindByte(delimiter_[0])
                           : delimiter_.empty()   ? std::string_view::npos
                                                  : Find();
        if (pos == std::string_view::npos) {
            piece = rest_;
            done_ = true;
        } else {
            piece = rest_.substr(0, pos);
            rest_.remove_prefix(pos + delimiter_.size());
        }
        return true;
    }

  private:
    // Fields are short: a plain loop finds most of their ends before a library call
    // would have returned, and memchr takes over for long pieces.
    size_t FindByte(char c) const {
        const size_t quick = rest_.size() < 32 ? rest_.size() : 32;
        for (size_t i = 0; i < quick; ++i)
            if (rest_[i] == c) return i;
        if (quick == rest_.size()) return std::string_view::npos;
        const void* hit = std::memchr(rest_.data() + quick, c, rest_.size() - quick);
        return hit ? size_t(static_cast<const char*>(hit) - rest_.data()) : std::string_view::npos;
    }
    size_t Find() const;

    std::string_view rest_, delimiter_;
    bool done_;
};
std::string Join(const std::vector<std::string>& parts, std::string_view delimiter);
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Letter case for Windows-1252 text (accented letters included).
std::string ToLower(std::string_view s);
std::string ToUpper(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);
std::string Trim(std::string_view s);

// Lenient number reading: leading blanks, a sign, digits with "." as decimal point
// and an optional exponent; whatever follows is ignored; no number reads as 0.
double Val(std::string_view s);

inline constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                          1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
// The layout's own numbers ("3.45", "8", "12.75"): nothing but digits and at most one
// point, up to fifteen bytes, as the whole number of their digits and the count of digits
// after the point; false for any other text, which Val reads. Always inline, so that each
// field read keeps a branch history of its own: a field of one shape on every line is
// read without a branch mispredicted.
[[gnu::always_inline]] inline bool PlainDecimalDigits(std::string_view s, std::uint64_t& digits,
                                                      size_t& scale) {
    if (s.size() - 1 >= 15) return false;
    std::uint64_t whole = 0;
    size_t point = 0;  // just after the point; 0 without one
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned digit = unsigned(static_cast<unsigned char>(s[i])) - '0';
        if (digit < 10)
            whole = whole * 10 + digit;
        else if (s[i] == '.' && point == 0)
            point = i + 1;
        else
            return false;
    }
    if (s.size() == 1 && point) return false;
    digits = whole;
    scale = point ? s.size() - point : 0;
    return true;
}
// The same number: fifteen digits and a power of ten are exact doubles, so the one
// division rounds as strtod does.
[[gnu::always_inline]] inline bool PlainDecimal(std::string_view s, double& value) {
    std::uint64_t digits;
    size_t scale;
    if (!PlainDecimalDigits(s, digits, scale)) return false;
    value = double(digits) / kPowersOfTen[scale];
    return true;
}
// Whole-text integer check (optional sign, digits, surrounding blanks allowed).
bool ParseInt(std::string_view s, long long& value);

// Type-ahead in a drop-down list or list view: the index of the first entry that
// begins with typed (compared in upper case), -1 when none does or typed is empty.
int PrefixSearch(const std::vector<std::string>& entries, std::string_view typed);

// Column kinds of SortListview. Text compares in upper case; the other two compare
// rewritten keys so that text order equals number or date order.
enum class SortKind { Text, Number, Date };

// A date and time as "yyyy/mm/dd hh:mm:ss". Understands "m/d/yyyy", "yyyy-mm-dd" and
// "yyyy/mm/dd", each optionally followed by "h:mm[:ss]" and "AM"/"PM". Text that is
// no date comes back unchanged (it then sorts as text among the dates).
std::string SortKeyDate(std::string_view cell);
// The number rounded to a whole, as five digits with leading zeros ("00042"); wider numbers
// keep all their digits. Negative numbers keep their sign.
std::string SortKeyNumber(std::string_view cell);

// Row order for sorting rows by one column: indices into rows, stable. Number keys
// are padded to the widest key of the column, so 100000 still sorts after 99999.
// A row without that column sorts as an empty cell.
std::vector<size_t> SortListview(const std::vector<std::vector<std::string>>& rows, size_t column,
                                 SortKind kind, bool ascending = true);

}  // namespace text
