#pragma once
// The designer window's state without widgets: the indexed controls of every page,
// the shape and picture records behind them, and the window's own flags. The
// layout reader builds it through ControlSink; the writer reads it through
// LayoutSource. An index is never reused while a form is open: deleting hides a
// control and clears its record, a new control takes the highest index + 1.
#include <string>
#include <vector>

#include "layout/ControlSink.h"
#include "layout/FormModel.h"

struct Rect {
    double left = 0, top = 0, width = 0, height = 0;  // inches
};

struct HotspotRecord {
    Rect r;
    bool active = false;
    int page = 0;  // 0-based
    std::string kind;
    int label = 0;  // companion label index
};
struct SignatureBoxRecord {
    Rect r;
    bool active = false;
    int page = 0;
    bool signaturePad = false;
    int label = 0;
};
struct BoxRecord {
    Rect r;
    int styleCode = 6;  // style list position 0..5; 6 = none
    int borderWidth = 1;
    int hideInPreview = 0;
    long long borderColor = 0;
    bool active = false;
    int page = 0;
    int option = 0;
    int label = 0;
};
struct ImageRecord {
    std::string line;  // fields after the key, as read
    Rect r;
    std::string name, path;
    bool active = false;
    int page = 0;
};
struct BackgroundRecord {
    std::string line;
    std::string name;
    bool active = false;
    bool placed = false;
    int page = 0;
};
struct BarcodeRecord {
    int label = 0;
    bool active = false;
};

// Written style from the stored code, and back.
int BoxStyleFromCode(int code);
int BoxCodeFromStyle(int style);

struct CanvasWindowState {
    int currentPage = 0;  // 0-based
    bool insertMode = false;
    bool guideLines = false;
    bool pickTopLeft = false, pickBottomRight = false;
    int scrollX = 0, scrollY = 0;  // twips
};

class CanvasModel : public ControlSink, public LayoutSource {
  public:
    CanvasModel(FormModel& model, const TextMetrics& metrics, std::string imagesFolder = {});

    // ControlSink
    void UnloadAllLabels() override;
    void UnloadAllImages() override;
    void SetPage(double widthInches, double heightInches) override;
    void LoadPageContainer(int page) override;
    bool LoadBackgroundImage(const std::string& line, int page) override;
    void LoadImage(const std::string& line, int page) override;
    void LoadHotspot(const std::string& line, int page) override;
    void LoadSignatureBox(const std::string& line, int page) override;
    void LoadBox(const std::string& line, int page, int boxOption) override;
    int LoadOneLabel(int page) override;
    int LoadOneLabelForBarcode(int page) override;
    LabelControl& Label(int index) override;
    void LoadBarcode(int index) override;
    void UpdateInteractive(bool v) override { interactive_ = v; }
    void UpdateDataGridRecalc(bool v) override { dataGrid_ = v; }
    void UpdatePageNumberSetting(int currentPage, int numberOfPages) override;
    void ShowPage(int page) override;

    // LayoutSource
    int LabelCount() const override { return int(labels_.size()); }
    const LabelControl* LabelAt(int index) const override;
    bool IsHotspotLabel(int index) const override;
    bool IsBoxLabel(int index) const override;
    bool IsSignatureBoxLabel(int index) const override;
    std::string GetBackgroundImagesDefinitions() const override;
    std::string GetImagesDefinitions() const override;
    std::string GetHotspotShapesDefinitions() const override;
    std::string GetSignatureBoxShapesDefinitions() const override;
    std::string GetBoxShapesDefinitions() const override;
    std::string GetBarcodeWidthHeight(int index) const override;
    double PageWidth() const override { return pageWidth_; }
    double PageHeight() const override { return pageHeight_; }

    // Hides a label (and clears the record of the item it belongs to).
    void DeleteLabel(int index);
    // A new box on a page; returns the box index.
    int AddBox(const Rect& r, int page);
    void DeleteBox(int index);

    int PageCount() const { return pages_; }
    CanvasWindowState& Window() { return window_; }
    const CanvasWindowState& Window() const { return window_; }
    const std::vector<HotspotRecord>& Hotspots() const { return hotspots_; }
    const std::vector<SignatureBoxRecord>& SignatureBoxes() const { return signatures_; }
    const std::vector<BoxRecord>& Boxes() const { return boxes_; }
    const std::vector<ImageRecord>& Images() const { return images_; }
    const std::vector<BackgroundRecord>& Backgrounds() const { return backgrounds_; }
    const std::vector<BarcodeRecord>& Barcodes() const { return barcodes_; }
    bool Interactive() const { return interactive_; }

  private:
    enum class Companion { None, Hotspot, Box, Signature };
    struct Entry {
        LabelControl control;
        bool loaded = true;
        bool barcode = false;
        Companion companion = Companion::None;
    };
    int NewLabel(int page, bool barcode, Companion companion);
    static Rect ReadRect(const std::string& line);
    bool SafeName(const std::string& name) const;

    FormModel& model_;
    const TextMetrics& metrics_;
    std::string imagesFolder_;
    std::vector<Entry> labels_;
    std::vector<HotspotRecord> hotspots_;
    std::vector<SignatureBoxRecord> signatures_;
    std::vector<BoxRecord> boxes_;
    std::vector<ImageRecord> images_;
    std::vector<BackgroundRecord> backgrounds_;
    std::vector<BarcodeRecord> barcodes_;
    CanvasWindowState window_;
    double pageWidth_ = 8.5, pageHeight_ = 11;
    int pages_ = 1;
    bool interactive_ = false, dataGrid_ = false;
};
