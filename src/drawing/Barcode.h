#pragma once
// The bars of a barcode item. Code 39: its symbols grow by a fixed width per
// character, which is what the barcode dialog's width ("for 10 characters") assumes,
// and every scanner reads it without a check digit.
#include <string>
#include <vector>

struct BarcodeSymbol {
    std::vector<bool> modules;  // one row, dark = true, quiet zones not included
    // The text names a field filled in at print time: the bars are those of a sample
    // value.
    bool sample = false;
    // The text cannot be encoded: no bars (any would scan as other data).
    bool refused = false;
};

// Never fails: a field gives the symbol of a sample value, a text Code 39 cannot
// encode gives no bars and `refused`.
BarcodeSymbol EncodeBarcode(const std::string& text);
