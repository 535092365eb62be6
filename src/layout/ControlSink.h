#pragma once
// The canvas as the layout reader and writer see it. The canvas model implements
// both, for the window and the headless tools alike.
#include <string>

#include "LabelControl.h"

// What the reader calls, in the order it reads a layout.
class ControlSink {
  public:
    virtual ~ControlSink() = default;
    // Removes every label control (highest index down to 1; label 0 is the template).
    virtual void UnloadAllLabels() = 0;
    virtual void UnloadAllImages() = 0;
    virtual void SetPage(double widthInches, double heightInches) = 0;
    // Creates the container of a page (0-based); called once per page, in order.
    virtual void LoadPageContainer(int page) = 0;
    // Definition lines as read (key, TAB, fields); page is 0-based.
    // True when the background image was placed and its file is a picture present
    // locally (the reader then skips the page's other background images).
    virtual bool LoadBackgroundImage(const std::string& line, int page) = 0;
    virtual void LoadImage(const std::string& line, int page) = 0;
    virtual void LoadHotspot(const std::string& line, int page) = 0;
    virtual void LoadSignatureBox(const std::string& line, int page) = 0;
    virtual void LoadBox(const std::string& line, int page, int boxOption) = 0;
    // New label from the template on the given page; returns its index (>= 1).
    virtual int LoadOneLabel(int page) = 0;
    virtual int LoadOneLabelForBarcode(int page) = 0;
    virtual LabelControl& Label(int index) = 0;
    // Barcode picture of a barcode label, after its line was applied.
    virtual void LoadBarcode(int index) = 0;
    virtual void UpdateInteractive(bool interactive) = 0;
    virtual void UpdateDataGridRecalc(bool dataGrid) = 0;
    virtual void UpdatePageNumberSetting(int currentPage, int numberOfPages) = 0;
    virtual void ShowPage(int page) = 0;
    // A read starts and ends (reads nest): a sink may hold what it would tell others of
    // each label until the read is over.
    virtual void BeginRead() {}
    virtual void EndRead() {}
    // After a layout was read: rebuild the database-field menu and the window caption.
    virtual void LoadDBFieldsMenuItems() {}
    virtual void UpdateCaption() {}
    // The time stamp the server lists for a picture the form names (after a save).
    virtual void UpdatePictureTimeStamp(const std::string& /*name*/, const std::string& /*stamp*/) {
    }
};

// What the writer reads.
class LayoutSource {
  public:
    virtual ~LayoutSource() = default;
    // Highest label index + 1; LabelAt gives nullptr for an index without a control.
    virtual int LabelCount() const = 0;
    virtual const LabelControl* LabelAt(int index) const = 0;
    // Companion labels of hotspots, boxes and signature boxes are never written.
    virtual bool IsHotspotLabel(int index) const = 0;
    virtual bool IsBoxLabel(int index) const = 0;
    virtual bool IsSignatureBoxLabel(int index) const = 0;
    // Any of the three: the writer asks once per label.
    virtual bool IsCompanionLabel(int index) const {
        return IsHotspotLabel(index) || IsBoxLabel(index) || IsSignatureBoxLabel(index);
    }
    // Ready definition lines ("Image:" TAB fields ...), joined by CR LF; empty when none.
    virtual std::string GetBackgroundImagesDefinitions() const = 0;
    virtual std::string GetImagesDefinitions() const = 0;
    virtual std::string GetHotspotShapesDefinitions() const = 0;
    virtual std::string GetSignatureBoxShapesDefinitions() const = 0;
    virtual std::string GetBoxShapesDefinitions() const = 0;
    // Barcode width and height text of a barcode label (fields 10 and 11, TAB
    // separated); empty for other labels.
    virtual std::string GetBarcodeWidthHeight(int index) const = 0;
    // Size of the current page container, in inches.
    virtual double PageWidth() const = 0;
    virtual double PageHeight() const = 0;
};
