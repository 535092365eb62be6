#pragma once
// The bars of a barcode item. Code 39: its symbols grow by a fixed width per
// character, which is what the barcode dialog's width ("for 10 characters") assumes,
// and every scanner reads it without a check digit.
#include <string>
#include <vector>

struct BarcodeSymbol {
    std::vector<bool> modules;  // one row, dark = true, quiet zones not included
    // The text could not be encoded (or names a field filled in at print time): the
    // bars are those of a sample value.
    bool sample = false;
};

// Never fails: a text that cannot be encoded gives the symbol of a sample value.
BarcodeSymbol EncodeBarcode(const std::string& text);
