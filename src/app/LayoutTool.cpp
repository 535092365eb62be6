#include "LayoutTool.h"

LayoutTool::LayoutTool(UserInterface& ui, std::unique_ptr<TextMetrics> metrics)
    : ui_(ui),
      metrics_(metrics ? std::move(metrics) : std::make_unique<FixedTextMetrics>()),
      canvas_(std::make_unique<CanvasModel>(model_, *metrics_)) {}

LayoutTool::~LayoutTool() = default;

bool LayoutTool::Open(const std::string& path) {
    LayoutReader reader(model_, *canvas_, *metrics_, ui_);
    return OpenLayoutFile(path, reader, model_, ui_);
}

std::string LayoutTool::Write() {
    LayoutWriter writer(model_, *canvas_, ui_);
    return writer.ReassembleData();
}

std::string LayoutTool::Summary() const {
    int prompts = int(model_.prompts.size());
    for (const auto& item : model_.items)
        if (item.itemKind == ItemKind::UserPrompt) ++prompts;
    return "pages " + std::to_string(model_.settings.numberOfPages) + ", items " +
           std::to_string(canvas_->ItemLabelCount()) + ", user prompts " + std::to_string(prompts) +
           ", shapes " + std::to_string(canvas_->ShapeCount());
}
