#pragma once
// The canvas without a window: what the command line and the tests read a layout
// into and write it from. Shapes and pictures are kept as their definition lines.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "layout/ControlSink.h"
#include "layout/FormModel.h"

class ControlStore : public ControlSink, public LayoutSource {
  public:
    // imagesFolder: where background pictures are looked for ("" = nowhere, so every
    // background definition of a page is kept).
    ControlStore(FormModel& model, const TextMetrics& metrics, std::string imagesFolder = {});

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
    void UpdateInteractive(bool) override {}
    void UpdateDataGridRecalc(bool) override {}
    void UpdatePageNumberSetting(int currentPage, int numberOfPages) override;
    void ShowPage(int page) override { currentPage_ = page; }

    // LayoutSource
    int LabelCount() const override { return int(labels_.size()); }
    const LabelControl* LabelAt(int index) const override;
    bool IsHotspotLabel(int) const override { return false; }
    bool IsBoxLabel(int) const override { return false; }
    bool IsSignatureBoxLabel(int) const override { return false; }
    std::string GetBackgroundImagesDefinitions() const override;
    std::string GetImagesDefinitions() const override;
    std::string GetHotspotShapesDefinitions() const override;
    std::string GetSignatureBoxShapesDefinitions() const override;
    std::string GetBoxShapesDefinitions() const override;
    std::string GetBarcodeWidthHeight(int index) const override;
    double PageWidth() const override { return pageWidth_; }
    double PageHeight() const override { return pageHeight_; }

    // Counts for summaries.
    int PageCount() const { return pages_; }
    int VisibleLabelCount() const;
    int ShapeCount() const;
    const LabelControl& Template() const { return labels_[0].control; }
    LabelControl& Template() { return labels_[0].control; }
    int CurrentPage() const { return currentPage_; }

  private:
    struct Entry {
        LabelControl control;
        bool loaded = true;
        bool barcode = false;
    };
    struct Definition {
        std::string line;
        int page;
    };
    int NewLabel(int page, bool barcode);
    static std::string Canonical(const std::string& line, const char* key);
    static std::string JoinLines(const std::vector<Definition>& defs, const char* key);

    FormModel& model_;
    const TextMetrics& metrics_;
    std::string imagesFolder_;
    std::deque<Entry> labels_;  // labels stay where they are while others are added
    std::vector<Definition> backgrounds_, images_, hotspots_, signatureBoxes_, boxes_;
    double pageWidth_ = 8.5, pageHeight_ = 11;
    int pages_ = 0;
    int currentPage_ = 0;
};
