#pragma once
// Checks run before a form is saved: bound labels must still match a definition.
#include <string>

#include "layout/ControlSink.h"
#include "layout/FormModel.h"
#include "shell/UserInterface.h"

// Refreshes the item records from the visible labels.
bool BuildFormItemsArray(FormModel& model, const LayoutSource& canvas, UserInterface& ui);
// True when the form may be saved; with ask false a mismatch fails without a question.
bool ValidateDataBoundLabels(const FormModel& model, const LayoutSource& canvas, UserInterface& ui,
                             bool ask);
bool ValidateUserPromptsLabels(const FormModel& model, const LayoutSource& canvas,
                               UserInterface& ui, bool ask);
// First index whose prompt key is "^" + key, or -1.
int GetFormItemsArrayIndex(const FormModel& model, const std::string& key);
int GetUserPromptsArrayIndex(const FormModel& model, const std::string& key);
// The key of a prompt label: the caption after "^" up to the first blank, trimmed.
std::string PromptKeyOfCaption(const std::string& caption);
// Replaces the database-field list by the lines of a definitions file
// (long name TAB field name).
bool LoadDBFieldsList(const std::string& path, FormModel& model, UserInterface& ui);
