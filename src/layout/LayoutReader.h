#pragma once
// The one place that reads the layout grammar: header, page blocks, item lines.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "layout/ControlSink.h"
#include "layout/FormModel.h"
#include "shell/UserInterface.h"

class ItemFields;

// The text after a layout's header, a page at a time: the pieces between its "<PAGE>"
// markers, whether they are held in memory or read one by one from a file.
class LayoutPages {
  public:
    virtual ~LayoutPages() = default;
    virtual size_t Count() const = 0;
    // The line ends in all of them, which bound the items they hold.
    virtual size_t LineEnds() const = 0;
    // The next piece, valid until the next call, and where each "</PAGE>" in it begins;
    // false after the last.
    virtual bool Next(std::string_view& piece, std::vector<size_t>& pageEnds) = 0;
};

// Where each "</PAGE>" in a piece begins.
std::vector<size_t> PageEndsIn(std::string_view piece);

// The pieces of the text after a header, as views into it.
class LayoutPageTexts : public LayoutPages {
  public:
    // The markers and line ends are all found in one pass over the text.
    explicit LayoutPageTexts(std::string_view afterHeader);
    size_t Count() const override { return pieces_.size(); }
    size_t LineEnds() const override { return lineEnds_; }
    bool Next(std::string_view& piece, std::vector<size_t>& pageEnds) override;
    const std::vector<std::string_view>& Pieces() const { return pieces_; }

  private:
    std::vector<std::string_view> pieces_;
    std::vector<std::vector<size_t>> pageEnds_;  // of each piece
    size_t lineEnds_ = 0;
    size_t next_ = 0;
};

// The header text and what follows it, as views into layout; false when the end marker
// does not follow the start marker.
bool SplitAtHeader(std::string_view layout, std::string_view& header, std::string_view& rest);

class LayoutReader {
  public:
    LayoutReader(FormModel& model, ControlSink& canvas, const TextMetrics& metrics,
                 UserInterface& ui);

    // The font a label falls back to when its own cannot be set.
    void SetDefaultFont(std::string fontName) { defaultFont_ = std::move(fontName); }
    // Told as each page of a multi-page form has been read, before the next one is, so
    // a large form can be taken a page at a time; false ends the read there, unreported.
    void SetPageRead(std::function<bool(int page)> pageRead) { pageRead_ = std::move(pageRead); }

    // Entry of every open: multi-page or single-page reader after the settings' mode.
    bool BuildForm(const std::string& layoutText, int boxOption = 0);
    bool LoadForm(const std::string& layoutText, int boxOption = 0);
    // The multi-page reader, from a header and the pages after it given apart, so that a
    // large file need not be held whole while its form is built.
    bool BuildForm(std::string_view header, LayoutPages& pages, int boxOption = 0);
    // Item lines of one page onto the container of page (0-based).
    bool LoadOnePage(std::string_view pageText, int page);
    // The older reader: a few header keys, every item line on one page.
    bool LoadSinglePageForm(const std::string& layoutText);

  private:
    struct Definitions {
        std::vector<std::string> backgroundImages, images, hotspots, signatureBoxes, boxes;
    };
    bool LoadForm(const std::string_view* header, LayoutPages& pages, int boxOption);
    bool LoadPageParts(const std::vector<std::string_view>& parts, int page);
    bool LoadOneLine(std::string_view line, const ItemFields& f, int page);
    // True for a prompt of a fixed width.
    bool ReadUserPromptCaption(std::string_view caption, FormItem& record, LabelControl& label);
    void PlaceDefinitions(const Definitions& defs, int page, int boxOption);
    void ReadPageLine(const std::vector<std::string>& fields);
    void FinishRead();

    FormModel& model_;
    ControlSink& canvas_;
    const TextMetrics& metrics_;
    UserInterface& ui_;
    std::string defaultFont_ = "Arial";
    std::function<bool(int page)> pageRead_;
    // The font field of the label read last and the font it was given, for the next
    // label, which most often names the same one: looked up anew on every page.
    struct {
        std::string field;
        CodeText name;
        bool exists = false;
    } lastFont_;
};

// Parts of a "^" prompt definition into a record; false for fewer than three parts.
// Throws LayoutValueError for a required flag or prompt number that is not one.
bool ParsePromptDefinition(std::string_view definition, FormItem& record);
// The tool tip of an item read with its label: its kind digit, plus a prompt's
// definition parts.
std::string ItemToolTip(const FormItem& record);
// The tool tip a label shows, given its item.
std::string LabelToolTip(const LabelControl& label, const FormItem& item);

// Server reply -> layout text: just the header and what follows it, framing dropped.
std::string PrepareLayoutData(const std::string& reply);
// The same in reply's own buffer, for a form too large to hold twice.
std::string PrepareLayoutData(std::string&& reply);
// The layout with its "TimeStamp:" value replaced; unchanged without a stamp.
std::string UpdateDataWithTimeStamp(std::string_view layoutText,
                                    const std::optional<std::string>& timeStamp);

// Opens a local ".ldt" and builds the form; a multi-page form's pages are read one at a
// time, never the whole text beside the form it makes. On success the form code
// becomes the file's base name and updateProps (when given) may take the listed
// properties from the server's forms list.
bool OpenLayoutFile(const std::string& path, LayoutReader& reader, FormModel& model,
                    UserInterface& ui,
                    const std::function<void(FormSettings&)>& updateCurrReportProps = {});

// A value the layout holds where a number or a truth value must be; carries the
// error number and text shown to the user.
struct LayoutValueError {
    int number;
    std::string description;
};
long long LayoutInteger(std::string_view value, long long min, long long max);
// The number of pages: an integer written without blanks, sign only "-".
long long LayoutPageCount(std::string_view value);
bool LayoutBoolean(std::string_view value);
