#pragma once
// File > "Preview with Sample Data": the open form drawn with a sample value in every
// data-field label and its default in every user prompt, every page one under another,
// the labels whose sample does not fit on a red ground and listed above the pages.
#include <string>

class DesignerProgram;
class QWidget;

// layoutText: the open form as the writer gives it. The catalogue's types are asked of
// the server when the designer is connected; otherwise the fields' names decide.
void ShowSamplePreview(QWidget* parent, DesignerProgram& program, const std::string& layoutText);
