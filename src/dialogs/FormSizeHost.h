#pragma once
// The designer window as the form settings dialog sees it: the refreshes it asks for
// after accepting, and the page resize its caller applies with the accepted size.
class FormSizeHost {
  public:
    virtual ~FormSizeHost() = default;
    // Sets every page to width x height inches; keepBackground false reloads the
    // background picture of the page for the new size.
    virtual void SetPage(double width, double height, bool keepBackground) = 0;
    // The page count display and page buttons follow the stored number of pages.
    virtual void UpdatePageNumberSetting() = 0;
    // Shows or hides the hotspot and signature-box tools after the interactive flag changed.
    virtual void UpdateInteractive() = 0;
    // Refreshes the window after the data-grid flag changed.
    virtual void UpdateDataGridRecalc() = 0;
    // Calls UpdateShift of every item properties dialog that is open and visible, so
    // their step fields show the stored shifts.
    virtual void UpdateShiftOfOpenDialogs() = 0;
};
