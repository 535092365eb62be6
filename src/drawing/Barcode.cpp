#include "drawing/Barcode.h"

#include <zint.h>

#include <memory>

#include "layout/BarcodeText.h"

namespace {

constexpr const char* kSampleValue = "1234567890";

bool Encode(const std::string& text, std::vector<bool>& modules) {
    // The library would read lower case as upper case: the symbol would not say what
    // the text says.
    if (barcodetext::Classify(text) != barcodetext::Kind::Encodable) return false;
    std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> symbol(ZBarcode_Create(), ZBarcode_Delete);
    if (!symbol) return false;
    symbol->symbology = BARCODE_CODE39;
    int rc = ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(text.data()),
                             int(text.size()));
    if (rc >= ZINT_ERROR || symbol->rows < 1 || symbol->width < 1) return false;
    modules.assign(size_t(symbol->width), false);
    for (int col = 0; col < symbol->width; ++col)
        modules[size_t(col)] = (symbol->encoded_data[0][col >> 3] >> (col & 7)) & 1;
    return true;
}

}  // namespace

BarcodeSymbol EncodeBarcode(const std::string& text) {
    BarcodeSymbol s;
    // A field ("^" reference, or "~" as a data field shows) is filled in when the form
    // is printed: until then the bars of a sample value.
    if (barcodetext::Classify(text) == barcodetext::Kind::Field) {
        s.sample = true;
        Encode(kSampleValue, s.modules);
    } else if (!Encode(text, s.modules)) {
        s.modules.clear();
        s.refused = true;
    }
    return s;
}
