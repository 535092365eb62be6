#pragma once
// Checks run before a form is saved: bound labels must still match a definition.
#include <string>
#include <vector>

#include "layout/ControlSink.h"
#include "layout/FormModel.h"
#include "shell/UserInterface.h"

// Refreshes the item records from the visible labels (those from index first on).
bool BuildFormItemsArray(FormModel& model, const LayoutSource& canvas, UserInterface& ui,
                         int first = 0);
// True for a prompt label without a definition of its own: refreshing its record takes
// one from another record of its key, anywhere on the form.
bool BorrowsPromptDefinition(const FormItem& record, const LabelControl& label);
// True when the form may be saved; with ask false a mismatch fails without a question.
bool ValidateDataBoundLabels(const FormModel& model, const LayoutSource& canvas, UserInterface& ui,
                             bool ask);
bool ValidateUserPromptsLabels(const FormModel& model, const LayoutSource& canvas,
                               UserInterface& ui, bool ask);
// A record whose prompt key the check of prompt labels takes as defined.
bool DefinesLivePrompt(const FormItem& record);
// The questions the two checks ask about the captions that do not match; true when
// there are none or the user saves anyway.
bool AcceptFieldMismatches(const std::vector<std::string>& captions, UserInterface& ui, bool ask);
bool AcceptPromptMismatches(const std::vector<std::string>& captions, UserInterface& ui, bool ask);
// First index whose prompt key is "^" + key, or -1.
int GetFormItemsArrayIndex(const FormModel& model, const std::string& key);
int GetUserPromptsArrayIndex(const FormModel& model, const std::string& key);
// The key of a prompt label: the caption after "^" up to the first blank, trimmed.
std::string PromptKeyOfCaption(std::string_view caption);
// Replaces the database-field list by the lines of a definitions file
// (long name TAB field name).
bool LoadDBFieldsList(const std::string& path, FormModel& model, UserInterface& ui);
