#pragma once
// The one rule for the numeric fields of the item dialogs (label, box, hotspot,
// signature box, image, barcode, grid): a field holds one number within its limits,
// an item's whole rectangle lies on the page, a move step is 0 to 2 inches. A refused
// field is named in one message, "Please enter a number from LOW to HIGH.", titled by
// the field, and shows its previous value again; a taken one shows three decimals.
#include <string>

#include "canvas/CanvasModel.h"

class UserInterface;

namespace numberfields {

constexpr double kLargestStep = 2;       // inches
constexpr double kSmallestSize = 0.001;  // the smallest size three decimals show

// "0.000"
std::string Inches(double value);

// One field: a number from low to high. Otherwise the message, the field shows `now`
// again and false.
bool Read(std::string& field, const char* title, double low, double high, double now,
          UserInterface& ui, double& out);

// The two step fields; when both are taken they become the shared shift (and show it),
// when one is refused both show the shared shift again.
bool ReadStep(std::string& horizontal, std::string& vertical, FormSettings& settings,
              UserInterface& ui, double& h, double& v);

// An item's four fields. The sizes first (at most the page's), then left and top (at
// most the page less the size), so the whole rectangle lies on the page.
struct RectFields {
    std::string& left;
    std::string& top;
    std::string& width;
    std::string& height;
};
bool ReadRect(RectFields fields, const Rect& now, double pageWidth, double pageHeight,
              UserInterface& ui, Rect& out);

}  // namespace numberfields
