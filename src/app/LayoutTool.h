#pragma once
// A layout read onto the canvas model without a window, as the command-line tools
// use it.
#include <functional>
#include <memory>
#include <string>

#include "canvas/CanvasModel.h"
#include "layout/FormModel.h"
#include "layout/LayoutReader.h"
#include "layout/LayoutWriter.h"

// Fixed caption sizes, so a summary reads the same on every machine, but the fonts
// a machine really has, so a check reports a missing font as the window does.
class KnownFontsMetrics : public FixedTextMetrics {
  public:
    explicit KnownFontsMetrics(std::function<bool(const std::string&)> exists)
        : exists_(std::move(exists)) {}
    bool FontExists(const std::string& fontName) const override { return exists_(fontName); }

  private:
    std::function<bool(const std::string&)> exists_;
};

class LayoutTool {
  public:
    // Without metrics every font exists, so converting keeps the fonts a layout names.
    explicit LayoutTool(UserInterface& ui, std::unique_ptr<TextMetrics> metrics = {});
    ~LayoutTool();
    bool Open(const std::string& path);
    std::string Write();
    std::string Summary() const;
    FormModel& Model() { return model_; }
    CanvasModel& Canvas() { return *canvas_; }

  private:
    UserInterface& ui_;
    std::unique_ptr<TextMetrics> metrics_;
    FormModel model_;
    std::unique_ptr<CanvasModel> canvas_;
};
