#pragma once
// One undo step: the records an edit touched, as they were before it and after it. A
// step puts them back at their own indices, so nothing else of the form is read, written
// or renumbered. Qt-free.
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "canvas/CanvasModel.h"

// A label index as a step keeps it: the canvas's label, its item and its linked data.
struct LabelState {
    int index = 0;
    CanvasLabel label;
    FormItem item;
    std::string linked;
};

// What the form holds besides its labels and shapes: settings, prompts, pages. The
// lists that only grow while a form is open (data fields, grid cells) are compared by
// their length.
struct FormPart {
    FormSettings settings;
    std::vector<FormItem> prompts;
    std::vector<std::string> staticListsUsed;
    std::shared_ptr<const std::vector<DatabaseFieldRef>> databaseFields;
    std::shared_ptr<const std::vector<GridItem>> gridItems;
    double pageWidth = 8.5, pageHeight = 11;
    int pages = 1;
    bool interactive = false, dataGrid = false;
};

struct CanvasStep {
    std::vector<std::pair<LabelState, LabelState>> labels;  // before, after
    std::shared_ptr<const ShapeRecords> shapesBefore, shapesAfter;
    std::shared_ptr<const FormPart> formBefore, formAfter;

    bool Empty() const { return labels.empty() && !shapesBefore && !formBefore; }
    // Bytes of the labels it keeps (the shared parts are counted by their holder).
    std::size_t LabelBytes() const;
};
