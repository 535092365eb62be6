#pragma once
// Cut, copy and paste: the selection travels as layout text, written by the layout
// writer and read back by the layout reader, so that it crosses pages, forms and
// running designers exactly as a form does, and no other code learns the grammar.
#include <string>
#include <string_view>

#include "canvas/CanvasEditor.h"

class UserInterface;

namespace clipboard {

// The type the layout text carries on the system clipboard (beside plain text).
inline constexpr const char* kMimeType = "application/x-formdesigner-layout";

// The selected labels and the marked pictures and shapes as a layout of one page;
// "" when nothing is selected.
std::string CopySelection(const CanvasEditor& editor, const CanvasModel& canvas,
                          const FormModel& model, const TextMetrics& metrics);

// Whether a text is a layout at all (plain text on the clipboard may be anything).
bool IsLayoutText(std::string_view text);

// Where pasted items go: their common top-left corner at a point, or moved by an
// offset from where they were copied. Either way they stay on the page.
struct Placement {
    bool atPoint = false;
    double x = 0, y = 0;    // inches, with atPoint
    double dx = 0, dy = 0;  // inches, without
};

// Places the items of a layout text on a page; they become the selection. Returns the
// number of items placed: 0, with nothing changed, when the text holds none or cannot
// be read (the reader says why through ui).
int Paste(CanvasEditor& editor, CanvasModel& canvas, FormModel& model, const TextMetrics& metrics,
          UserInterface& ui, const std::string& layoutText, int page, const Placement& where);

}  // namespace clipboard
