#pragma once
// What the line properties dialog `frmLineProps` keeps apart from its window: the
// border styles it offers and the two step fields of its move group.
#include <string>
#include <vector>

struct FormSettings;

class LinePropsLogic {
  public:
    static const std::vector<std::string>& BorderStyles();

    // Step fields of "Move Line", as typed.
    std::string horizontalStep, verticalStep;

    // Fills each empty step field with the stored shift of its direction; a step the
    // user typed stays. True when a field changed.
    bool UpdateShift(const FormSettings& settings);
};
