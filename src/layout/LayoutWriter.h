#pragma once
// Builds the layout text of the open form from the canvas and the model.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "layout/ControlSink.h"
#include "layout/FormModel.h"
#include "layout/PageOrder.h"
#include "shell/UserInterface.h"

class LayoutWriter {
  public:
    // Reads the model and the canvas only: writing a form never changes it.
    LayoutWriter(const FormModel& model, const LayoutSource& canvas, UserInterface& ui);

    // The time stamp of the form in the server's forms list; without one the
    // settings' own stamp is written (a form that never came from a server has none).
    void SetListedTimeStamp(std::optional<std::string> stamp) { listedStamp_ = std::move(stamp); }

    // The whole layout text; the two outs give the picture definitions to upload. With
    // laterPages, the pages after the first were written already (as AppendPage writes
    // them) and only the header and the first page are written from the form. Empty
    // when the layout could not be written whole.
    std::string ReassembleData(std::string& backgroundImageLines, std::string& imageLines,
                               std::optional<std::string> laterPages = std::nullopt);
    std::string ReassembleData() {
        std::string a, b;
        return ReassembleData(a, b);
    }
    std::string GetUserPromptString(size_t promptIndex) const;
    // The lines of one page's labels, between its markers, onto out; the form's prompts
    // not placed on it go with the first page.
    void AppendPage(const std::vector<int>& labels, bool first, std::string& out);

  private:
    void AppendHeader(std::string& out, std::string& backgroundImageLines,
                      std::string& imageLines) const;
    // The label of index when its line is written, else nullptr.
    const LabelControl* WrittenLabel(int index) const;
    // The field of a database-field caption (without its "~"), or nullptr.
    const DatabaseFieldRef* FindField(std::string_view name) const;
    void AppendPromptCaption(int index, const LabelControl& label, std::string& out) const;
    // The line of a label onto out; false (nothing added) when it is not written.
    // prompt is room for a prompt's caption.
    bool AppendLabelLine(int index, std::string& out, std::string& prompt) const;
    // The line of a written label; caption is a prompt's definition or the label's
    // caption, which a database field's long name (when not empty) follows.
    void AppendLineOf(const LabelControl& label, std::string_view caption,
                      std::string_view longName, std::string_view linkData,
                      std::string_view barcodeSize, std::string& out) const;
    // The page's lines onto out, with the form's unplaced prompts on the first page.
    void FinishPage(ArrangedPage& page, std::string& out);

    const FormModel& model_;
    const LayoutSource& canvas_;
    UserInterface& ui_;
    std::optional<std::string> listedStamp_;
    bool promptsWritten_ = false;
    mutable size_t fieldHint_ = 0;  // the field after the last one FindField found
    ArrangedPage page_;             // kept for the room of the next page
};

// A layout a save sends in place of one written from the open form, as a file sent by a
// script is written a page at a time while it is read. It makes the checks and writes
// the text the open form's save would.
class PreparedLayout {
  public:
    virtual ~PreparedLayout() = default;
    // The checks of the labels against the form's definitions; false when the form is
    // not to be saved.
    virtual bool Validate(UserInterface& ui) = 0;
    // The whole layout text, with the time stamp given; empty when it cannot be written.
    virtual std::string Write(const std::string& listedStamp) = 0;
};

// The nine-part definition text of a prompt record.
std::string PromptDefinitionText(const FormItem& record);
// Writes a layout text to a local file (temporary file, then rename).
bool SaveDataToFile(const std::string& path, const std::string& text, UserInterface& ui);
// True when the layout has no items and no pictures.
bool ReportIsEmpty(const std::string& layoutText);
