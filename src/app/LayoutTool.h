#pragma once
// A layout read without a window, as the command-line tools use it.
#include <memory>
#include <string>

#include "layout/ControlStore.h"
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
    ControlStore& Store() { return *store_; }

  private:
    UserInterface& ui_;
    std::unique_ptr<TextMetrics> metrics_;
    FormModel model_;
    std::unique_ptr<ControlStore> store_;
};
