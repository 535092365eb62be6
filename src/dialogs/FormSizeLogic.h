#pragma once
// What the form settings dialog `frmSize` does, apart from its window: the entries of
// its five tabs, the dependencies between the Type check boxes, the print settings
// text, the checks on "OK" and what acceptance stores and asks the designer to refresh.
#include <string>
#include <vector>

struct FormSettings;
class FormSizeHost;
class UserInterface;

class FormSizeLogic {
  public:
    enum class Field { None, Width, Height, HorizontalShift, VerticalShift, NumberOfPages };

    static constexpr int kWhite = 16777215;   // enabled field background, empty swatch
    static constexpr int kGrey = 14737632;    // disabled field background
    static constexpr int kBlack = 0;          // border swatch of borders switched on
    static constexpr double kMinSize = 0.25;  // inches, either side
    static constexpr double kMaxShift = 2;    // horizontal shift, inches
    static constexpr const char* kTagPrefix = "GRID_TAG:";
    static constexpr const char* kTagHint = "Use TAB (Ctrl+Tab) as delimiter. Ex.: 1<TAB>value";
    static constexpr const char* kObgynNote =
        "Use labels ###TRIMESTER### and ###FETUS### to display selected values. Visible only "
        "when assigned.";

    explicit FormSizeLogic(FormSettings& settings) : settings_(settings) {}

    // Fills every entry from the settings and the current page size.
    void Load(double width, double height);

    // Layout and Other tabs, as typed.
    std::string width, height, horizontalShift, verticalShift, numberOfPages;
    // Type tab.
    bool interactive = false, posting = false, singleRecord = false, signpad = false,
         openLast = false, lookupPC = false, lookupDG = false, obgyn = false, saveImage = false,
         dataGrid = false;
    // Statements tab: lines separated by CR LF (a lone LF is taken as a line end too).
    bool isStatement = false;
    std::string gridTagText;
    // Print tab.
    bool borderYes = true, shadedYes = false;
    int borderColor = kBlack, shadeColor = kWhite;

    // "Interactive" clicked: the dependent boxes follow at once.
    void SetInteractive(bool on);
    void ApplyInteractiveDependencies();
    // Posting, signature pad, open last, single record and the three look-up/OB boxes.
    bool DependentOptionsEnabled() const { return interactive; }
    bool ObgynNoteVisible() const { return obgyn; }
    bool TagFieldEnabled() const { return isStatement; }
    int TagFieldBackground() const { return isStatement ? kWhite : kGrey; }
    bool PagesFieldEnabled() const;
    int PagesFieldBackground() const { return PagesFieldEnabled() ? kWhite : kGrey; }

    // The orientation options write the setting as soon as they are clicked.
    bool Landscape() const;
    void SetLandscape(bool landscape);

    // The four TAB-separated "BOX=" ... "SHADE_COLOR=" fields of the Print tab.
    std::string PrintSettingsText() const;
    void ReadPrintSettings(const std::string& text);

    // "OK": stores the print settings, then checks the entries; the first refusal is
    // shown through ui, FocusField() names the entry and nothing else is stored. On
    // success every value is stored and host is asked to refresh; true then.
    bool Ok(FormSizeHost& host, UserInterface& ui);
    // "Cancel" and the close box.
    void Cancel() { cancelled_ = true; }

    bool Cancelled() const { return cancelled_; }
    Field FocusField() const { return focus_; }
    // The accepted size, valid when not cancelled.
    float FormWidthValue() const { return widthValue_; }
    float FormHeightValue() const { return heightValue_; }

    // Statement tag entries shown one per line, and the lines stored back as entries.
    static std::string TagTextFromEntries(const std::vector<std::string>& entries);
    static std::vector<std::string> EntriesFromTagText(const std::string& text);

  private:
    bool Refuse(UserInterface& ui, Field field, const std::string& text, const std::string& title);

    FormSettings& settings_;
    bool cancelled_ = false;
    Field focus_ = Field::None;
    float widthValue_ = 0, heightValue_ = 0;
};
