#pragma once
// A layout read onto the canvas model without a window, as the command-line tools
// use it.
#include <memory>
#include <string>

#include "canvas/CanvasModel.h"
#include "layout/FormModel.h"
#include "layout/LayoutReader.h"
#include "layout/LayoutWriter.h"

class LayoutTool {
  public:
    explicit LayoutTool(UserInterface& ui);
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
