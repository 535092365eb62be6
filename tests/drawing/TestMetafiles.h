#pragma once
// Small metafiles written record by record: an 8.5 x 11 inch page with horizontal rules
// from x = 1 to 7.5 inches at the given heights (inches) and a caption at (1, 1) inch.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace testmeta {

struct Bytes {
    std::string b;
    Bytes& U16(int v) { return Put(std::uint32_t(v), 2); }
    Bytes& U32(std::int64_t v) { return Put(std::uint32_t(v), 4); }
    Bytes& Put(std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b += char((v >> (8 * i)) & 0xFF);
        return *this;
    }
    // WMF record: size in 16-bit words, function, 16-bit parameters.
    Bytes& Wmf(int function, const std::vector<int>& params) {
        U32(3 + std::int64_t(params.size())).U16(function);
        for (int p : params) U16(p);
        return *this;
    }
    // EMF record: type, size, 32-bit parameters.
    Bytes& Emf(int type, const std::vector<std::int64_t>& params) {
        U32(type).U32(8 + 4 * std::int64_t(params.size()));
        for (auto p : params) U32(p);
        return *this;
    }
};

// Units: 1/1000 inch.
inline std::string RuledWmf(const std::vector<double>& rules, const std::string& caption) {
    Bytes r;
    r.Wmf(0x020B, {0, 0}).Wmf(0x020C, {11000, 8500});  // window origin, extent (y, x)
    r.Wmf(0x02FA, {0, 20, 0, 0, 0}).Wmf(0x012D, {0});  // black 0.02 inch pen
    for (double y : rules)
        r.Wmf(0x0214, {int(y * 1000), 1000}).Wmf(0x0213, {int(y * 1000), 7500});  // move, line
    r.Wmf(0x02FB, {-300, 0, 0, 0, 700, 0, 0, 0, 0, 'A' | 'r' << 8, 'i' | 'a' << 8, 'l'});  // font
    r.Wmf(0x012D, {1});
    std::vector<int> text{int(caption.size())};
    std::string even = caption + std::string(caption.size() % 2, '\0');
    for (size_t i = 0; i < even.size(); i += 2) text.push_back(even[i] | even[i + 1] << 8);
    text.push_back(1000);
    text.push_back(1000);
    r.Wmf(0x0521, text).Wmf(0, {});  // text out, end of file
    Bytes f;
    f.U32(0x9AC6CDD7).U16(0).U16(0).U16(0).U16(8500).U16(11000).U16(1000).U32(0);
    int sum = 0;
    for (size_t i = 0; i < f.b.size(); i += 2)
        sum ^= std::uint8_t(f.b[i]) | std::uint8_t(f.b[i + 1]) << 8;
    f.U16(sum);
    f.U16(1).U16(9).U16(0x0300).U32(std::int64_t(9 + r.b.size() / 2)).U16(2).U32(64).U16(0);
    return f.b + r.b;
}

// Units: 1/100 inch, one device pixel each.
inline std::string RuledEmf(const std::vector<double>& rules, const std::string& caption) {
    Bytes r;
    r.Emf(38, {1, 0, 2, 0, 0}).Emf(37, {1});  // black pen, two hundredths wide
    for (double y : rules)
        r.Emf(27, {100, std::int64_t(y * 100)}).Emf(54, {750, std::int64_t(y * 100)});
    std::vector<std::int64_t> font{2, -30, 0, 0, 0, 700, 0, 0, 'A' | 'r' << 16, 'i' | 'a' << 16};
    font.push_back('l');
    font.resize(24);  // index and a LOGFONTW of 92 bytes
    r.Emf(82, font).Emf(37, {2});
    size_t chars = caption.size(), words = (chars + 1) / 2;
    // clang-format off
    std::vector<std::int64_t> text{0, 0, 850, 1100, 1, 0, 0,  // bounds, mode, scales
                                   100, 100, std::int64_t(chars), 76, 0, 0, 0, 850, 1100,
                                   std::int64_t(76 + 4 * words)};  // position ... advances
    // clang-format on
    for (size_t i = 0; i < chars; i += 2)
        text.push_back(std::uint8_t(caption[i]) | (i + 1 < chars ? caption[i + 1] << 16 : 0));
    text.insert(text.end(), chars, 12);  // character advances
    r.Emf(84, text).Emf(14, {0, 16, 20});
    std::int64_t bottom = 130;  // bounds: the extent of what is drawn
    for (double y : rules) bottom = std::max(bottom, std::int64_t(y * 100) + 1);
    Bytes h;  // bounds, frame (1/100 mm), " EMF", version, bytes, records, handles,
              // description, palette, device pixels and millimetres
    // clang-format off
    h.Emf(1, {99, 100, 751, bottom, 0, 0, 21590, 27940, 0x464D4520, 0x10000,
              std::int64_t(88 + r.b.size()), 0, 3, 0, 0, 0, 850, 1100, 216, 279});
    // clang-format on
    return h.b + r.b;
}

}  // namespace testmeta
