#pragma once
// What a barcode item's text may be. Its bars are Code 39, which holds digits, capital
// letters, the space and "-.$/+%" only; a text beginning with "^" or "~" names a field
// filled in when the form is run, and shows the bars of a sample value until then.
// Any other text would scan as other data than it says, so it gets no bars.
#include <string_view>

namespace barcodetext {

inline constexpr std::string_view kCode39Characters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ -.$/+%";

enum class Kind { Encodable, Field, Refused };

inline Kind Classify(std::string_view text) {
    if (!text.empty() && (text[0] == '^' || text[0] == '~')) return Kind::Field;
    if (text.empty() || text.find_first_not_of(kCode39Characters) != std::string_view::npos)
        return Kind::Refused;
    return Kind::Encodable;
}

}  // namespace barcodetext
